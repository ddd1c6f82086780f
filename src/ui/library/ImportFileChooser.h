#pragma once

#include <QList>
#include <QUrl>
#include <functional>

class QWidget;

namespace kivo {

// Asks the user for audio files to import. `done` gets the chosen files in
// the chooser's order, or nothing when the user cancelled; it is never called
// while the chooser is still asking. Tests replace the chooser; the program
// uses a window-modal file dialog.
class ImportFileChooser {
public:
    virtual ~ImportFileChooser() = default;
    virtual void chooseAudioFiles(QWidget* parent, std::function<void(QList<QUrl>)> done) = 0;
};

// A non-native QFileDialog titled "Import Songs" with the accept button
// "Import": several existing files, no folders, the supported audio types.
class DialogImportFileChooser final : public ImportFileChooser {
public:
    void chooseAudioFiles(QWidget* parent, std::function<void(QList<QUrl>)> done) override;
};

} // namespace kivo
