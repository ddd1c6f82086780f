#pragma once

#include <QString>
#include <memory>

class QFileDialog;
class QWidget;

namespace kivo {

class UserDefaults;

// The program's file choosers: a non-native QFileDialog (so the program's
// style draws it), window-modal over the window of `parent`, deleted when
// closed. It opens in the folder the user last accepted a chooser of the same
// `purpose` in, else in the home folder. Callers set the mode and filters,
// connect to finished() and call open().
QFileDialog* makeEonFileDialog(QWidget* parent, const QString& title, const QString& purpose);

// From now on the choosers' last folders are kept in `defaults`, so they hold
// across restarts; null keeps them for this run only (the default).
void keepEonFileDialogFoldersIn(std::shared_ptr<UserDefaults> defaults);

} // namespace kivo
