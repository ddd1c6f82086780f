#include "ui/eon/EonFileDialog.h"

#include <QDir>
#include <QFileDialog>
#include <QHash>
#include <QWidget>

namespace kivo {

namespace {

// Main thread only, like every dialog.
QHash<QString, QString>& lastFolders()
{
    static QHash<QString, QString> folders;
    return folders;
}

} // namespace

QFileDialog* makeEonFileDialog(QWidget* parent, const QString& title, const QString& purpose)
{
    auto* dialog = new QFileDialog(parent ? parent->window() : nullptr, title);
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setWindowModality(Qt::WindowModal);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    const QString last = lastFolders().value(purpose);
    dialog->setDirectory(!last.isEmpty() && QDir(last).exists() ? last : QDir::homePath());
    QObject::connect(dialog, &QFileDialog::finished, dialog, [dialog, purpose](int result) {
        if (result == QDialog::Accepted) {
            lastFolders().insert(purpose, dialog->directory().absolutePath());
        }
    });
    return dialog;
}

} // namespace kivo
