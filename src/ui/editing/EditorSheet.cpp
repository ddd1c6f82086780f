#include "ui/editing/EditorSheet.h"

#include "ui/eon/EonSheetKeys.h"

#include <QCloseEvent>

namespace kivo {

EditorSheet::EditorSheet(QWidget* parent)
    : QDialog(parent)
{
}

void EditorSheet::present()
{
    setWindowModality(Qt::WindowModal);
    open();
}

void EditorSheet::requestCancel()
{
    if (!refusesCancel()) {
        Q_EMIT cancelRequested();
    }
}

void EditorSheet::reject()
{
    requestCancel();
}

void EditorSheet::installKeys(QAbstractButton* save)
{
    new EonSheetKeys(
        this, [this] { requestCancel(); }, save);
}

void EditorSheet::closeEvent(QCloseEvent* event)
{
    // The window manager's close is a Cancel: the presenter decides.
    event->ignore();
    requestCancel();
}

} // namespace kivo
