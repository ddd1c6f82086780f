#include "app/FolderChooser.h"

#include <QFileDialog>
#include <QListView>
#include <QTreeView>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

void DialogFolderChooser::chooseFolders(QWidget* parent, std::function<void(QList<QUrl>)> done)
{
    auto* dialog = new QFileDialog(parent, u"Add Folder to Library"_s);
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setFileMode(QFileDialog::Directory);
    dialog->setOption(QFileDialog::ShowDirsOnly);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setWindowModality(Qt::WindowModal);
    // QFileDialog picks one folder in Directory mode; its views allow more.
    for (QAbstractItemView* view :
        { static_cast<QAbstractItemView*>(dialog->findChild<QListView*>(u"listView"_s)),
            static_cast<QAbstractItemView*>(dialog->findChild<QTreeView*>()) }) {
        if (view) {
            view->setSelectionMode(QAbstractItemView::ExtendedSelection);
        }
    }
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(dialog, &QFileDialog::finished, dialog, [dialog, done](int result) {
        done(result == QDialog::Accepted ? dialog->selectedUrls() : QList<QUrl>());
    });
    dialog->open();
}

} // namespace kivo
