#pragma once

#include <QString>
#include <QUrl>
#include <functional>

class QWidget;

namespace kivo {

// Asks the user for one image file. `done` gets the file, or nothing when the
// user cancelled; it is never called while the chooser is still asking.
// Tests replace the chooser; the program uses a window-modal file dialog.
class ImageFileChooser {
public:
    virtual ~ImageFileChooser() = default;
    virtual void chooseImage(QWidget* parent, std::function<void(QUrl)> done) = 0;
};

// A non-native QFileDialog titled "Choose Artwork" for image files, shown
// with open(). An empty accept label keeps the dialog's own.
class DialogImageFileChooser final : public ImageFileChooser {
public:
    explicit DialogImageFileChooser(QString acceptLabel = {})
        : m_acceptLabel(std::move(acceptLabel))
    {
    }
    void chooseImage(QWidget* parent, std::function<void(QUrl)> done) override;

private:
    QString m_acceptLabel;
};

} // namespace kivo
