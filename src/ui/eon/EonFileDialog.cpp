#include "ui/eon/EonFileDialog.h"

#include "model/UserDefaults.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHash>
#include <QHeaderView>
#include <QTimer>
#include <QTreeView>
#include <QWidget>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

namespace {

// Main thread only, like every dialog.
std::shared_ptr<UserDefaults>& folderStore()
{
    static std::shared_ptr<UserDefaults> store;
    return store;
}

QHash<QString, QString>& lastFoldersThisRun()
{
    static QHash<QString, QString> folders;
    return folders;
}

QString folderKey(const QString& purpose)
{
    return u"fileChooser."_s + purpose + u".folder"_s;
}

QString lastFolder(const QString& purpose)
{
    if (const std::shared_ptr<UserDefaults>& store = folderStore()) {
        return store->stringValue(folderKey(purpose)).value_or(QString());
    }
    return lastFoldersThisRun().value(purpose);
}

void rememberFolder(const QString& purpose, const QString& folder)
{
    if (const std::shared_ptr<UserDefaults>& store = folderStore()) {
        // A folder that cannot be written costs only the next start's folder.
        store->setValue(folderKey(purpose), folder);
    } else {
        lastFoldersThisRun().insert(purpose, folder);
    }
}

// Where the next chooser opens: beside what was chosen, not wherever the
// dialog was browsing (a typed path or a folder picked inside another would
// be lost). A chosen folder's parent, so it can be picked again among its
// siblings; for files, their folder.
QString folderOfChoice(const QFileDialog& dialog)
{
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty()) {
        return {};
    }
    const QFileInfo first(chosen.first());
    if (dialog.fileMode() == QFileDialog::Directory) {
        return QFileInfo(first.absoluteFilePath()).path();
    }
    // Accepted with no file picked, a chooser reports the folder it shows.
    return first.isDir() ? first.absoluteFilePath() : first.absolutePath();
}

// The detail view's columns take the width of their widest cell, Name the
// rest. They are fitted when a folder's entries arrive rather than on every
// layout, so a large folder is measured once (the view samples a bounded
// number of rows).
void fitColumnsToContent(QFileDialog& dialog)
{
    auto* view = dialog.findChild<QTreeView*>(u"treeView"_s);
    if (!view || !view->model()) {
        return;
    }
    QHeaderView* header = view->header();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(0, QHeaderView::Stretch);
    auto* fitting = new QTimer(view);
    fitting->setSingleShot(true);
    fitting->setInterval(0);
    QObject::connect(fitting, &QTimer::timeout, view, [view] {
        for (int column = 1; column < view->model()->columnCount(view->rootIndex()); ++column) {
            view->resizeColumnToContents(column);
        }
    });
    auto refit = [fitting] { fitting->start(); };
    QAbstractItemModel* model = view->model();
    QObject::connect(model, &QAbstractItemModel::rowsInserted, fitting, refit);
    QObject::connect(model, &QAbstractItemModel::dataChanged, fitting, refit);
    QObject::connect(model, &QAbstractItemModel::layoutChanged, fitting, refit);
    QObject::connect(model, &QAbstractItemModel::modelReset, fitting, refit);
    if (auto* files = qobject_cast<QFileSystemModel*>(model)) {
        QObject::connect(files, &QFileSystemModel::directoryLoaded, fitting, refit);
    }
    QObject::connect(&dialog, &QFileDialog::directoryEntered, fitting, refit);
    refit();
}

} // namespace

void keepEonFileDialogFoldersIn(std::shared_ptr<UserDefaults> defaults)
{
    folderStore() = std::move(defaults);
}

QFileDialog* makeEonFileDialog(QWidget* parent, const QString& title, const QString& purpose)
{
    auto* dialog = new QFileDialog(parent ? parent->window() : nullptr, title);
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setWindowModality(Qt::WindowModal);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    const QString last = lastFolder(purpose);
    dialog->setDirectory(!last.isEmpty() && QDir::isAbsolutePath(last) && QDir(last).exists()
            ? last
            : QDir::homePath());
    QObject::connect(dialog, &QFileDialog::finished, dialog, [dialog, purpose](int result) {
        if (result == QDialog::Accepted) {
            const QString folder = folderOfChoice(*dialog);
            if (!folder.isEmpty()) {
                rememberFolder(purpose, folder);
            }
        }
    });
    fitColumnsToContent(*dialog);
    return dialog;
}

} // namespace kivo
