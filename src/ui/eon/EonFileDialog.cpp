#include "ui/eon/EonFileDialog.h"

#include "model/UserDefaults.h"

#include <QDir>
#include <QFileDialog>
#include <QHash>
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
            rememberFolder(purpose, dialog->directory().absolutePath());
        }
    });
    return dialog;
}

} // namespace kivo
