#include "ui/editing/ImageFileChooser.h"

#include "ui/eon/EonFileDialog.h"

#include <QFileDialog>
#include <QImageReader>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

void DialogImageFileChooser::chooseImage(QWidget* parent, std::function<void(QUrl)> done)
{
    QFileDialog* dialog = makeEonFileDialog(parent, u"Choose Artwork"_s, u"artwork"_s);
    dialog->setFileMode(QFileDialog::ExistingFile);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    if (!m_acceptLabel.isEmpty()) {
        dialog->setLabelText(QFileDialog::Accept, m_acceptLabel);
    }
    QStringList patterns;
    for (const QByteArray& suffix : QImageReader::supportedImageFormats()) {
        patterns << u"*."_s + QString::fromLatin1(suffix);
    }
    dialog->setNameFilter(u"Images (%1)"_s.arg(patterns.join(u' ')));
    QObject::connect(dialog, &QFileDialog::finished, dialog, [dialog, done](int result) {
        const QList<QUrl> urls = dialog->selectedUrls();
        done(result == QDialog::Accepted && !urls.isEmpty() ? urls.first() : QUrl());
    });
    dialog->open();
}

} // namespace kivo
