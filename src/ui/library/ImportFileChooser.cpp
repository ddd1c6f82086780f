#include "ui/library/ImportFileChooser.h"

#include "model/AudioImportSupport.h"
#include "ui/eon/EonFileDialog.h"

#include <QFileDialog>
#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

void DialogImportFileChooser::chooseAudioFiles(
    QWidget* parent, std::function<void(QList<QUrl>)> done)
{
    QFileDialog* dialog = makeEonFileDialog(parent, u"Import Songs"_s, u"music"_s);
    dialog->setFileMode(QFileDialog::ExistingFiles);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setLabelText(QFileDialog::Accept, u"Import"_s);
    QStringList extensions = AudioImportSupport::supportedAudioExtensions().values();
    std::sort(extensions.begin(), extensions.end());
    QStringList patterns;
    for (const QString& extension : std::as_const(extensions)) {
        // The dialog matches case-sensitively; "SONG.MP3" is an mp3 too.
        patterns << u"*."_s + extension << u"*."_s + extension.toUpper();
    }
    dialog->setNameFilter(u"Audio Files (%1)"_s.arg(patterns.join(u' ')));
    QObject::connect(dialog, &QFileDialog::finished, dialog, [dialog, done](int result) {
        done(result == QDialog::Accepted ? dialog->selectedUrls() : QList<QUrl>());
    });
    dialog->open();
}

} // namespace kivo
