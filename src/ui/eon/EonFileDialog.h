#pragma once

#include <QString>
#include <memory>

class QFileDialog;
class QWidget;

namespace kivo {

class UserDefaults;

// The program's file choosers: a non-native QFileDialog (so the program's
// style draws it), window-modal over the window of `parent`, deleted when
// closed. It opens where the user last chose something in a chooser of the
// same `purpose` (the folder of the chosen files, or a chosen folder's
// parent), else in the home folder. Its detail columns fit their content.
// Callers set the mode and filters, connect to finished() and call open().
QFileDialog* makeEonFileDialog(QWidget* parent, const QString& title, const QString& purpose);

// From now on the choosers' last folders are kept in `defaults`, so they hold
// across restarts; null keeps them for this run only (the default).
void keepEonFileDialogFoldersIn(std::shared_ptr<UserDefaults> defaults);

} // namespace kivo
