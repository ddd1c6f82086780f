#pragma once

#include <QList>
#include <QUrl>
#include <functional>

class QWidget;

namespace kivo {

// Asks the user for one or more folders. `done` gets them in the order the
// user chose them, or an empty list when the user cancelled; it is never
// called while the chooser is still asking. Tests replace the chooser.
class FolderChooser {
public:
    virtual ~FolderChooser() = default;
    virtual void chooseFolders(QWidget* parent, std::function<void(QList<QUrl>)> done) = 0;
};

// A non-native, window-modal QFileDialog for folders, shown with open().
class DialogFolderChooser final : public FolderChooser {
public:
    void chooseFolders(QWidget* parent, std::function<void(QList<QUrl>)> done) override;
};

} // namespace kivo
