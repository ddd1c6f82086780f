#pragma once

#include <QString>

class QFileDialog;
class QWidget;

namespace kivo {

// The program's file choosers: a non-native QFileDialog (so the program's
// style draws it), window-modal over the window of `parent`, deleted when
// closed. It opens in the folder the user last accepted a chooser of the same
// `purpose` in during this run, else in the home folder. Callers set the mode
// and filters, connect to finished() and call open().
QFileDialog* makeEonFileDialog(QWidget* parent, const QString& title, const QString& purpose);

} // namespace kivo
