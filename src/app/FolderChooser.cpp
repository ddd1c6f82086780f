#include "app/FolderChooser.h"

#include "ui/eon/EonFileDialog.h"

#include <QFileDialog>
#include <QListView>
#include <QTreeView>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

void DialogFolderChooser::chooseFolders(QWidget* parent, std::function<void(QList<QUrl>)> done)
{
    QFileDialog* dialog = makeEonFileDialog(parent, u"Add Folder to Library"_s, u"music"_s);
    dialog->setFileMode(QFileDialog::Directory);
    dialog->setOption(QFileDialog::ShowDirsOnly);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    // QFileDialog picks one folder in Directory mode; its views allow more.
    for (QAbstractItemView* view :
        { static_cast<QAbstractItemView*>(dialog->findChild<QListView*>(u"listView"_s)),
            static_cast<QAbstractItemView*>(dialog->findChild<QTreeView*>()) }) {
        if (view) {
            view->setSelectionMode(QAbstractItemView::ExtendedSelection);
        }
    }
    QObject::connect(dialog, &QFileDialog::finished, dialog, [dialog, done](int result) {
        done(result == QDialog::Accepted ? dialog->selectedUrls() : QList<QUrl>());
    });
    dialog->open();
}

} // namespace kivo
