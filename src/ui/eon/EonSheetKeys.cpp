#include "ui/eon/EonSheetKeys.h"

#include "ui/eon/KeyModifiers.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QWidget>

namespace kivo {

EonSheetKeys::EonSheetKeys(
    QWidget* sheet, std::function<void()> cancel, QAbstractButton* save, ReturnKey returnKey)
    : QObject(sheet)
    , m_cancel(std::move(cancel))
    , m_save(save)
    , m_returnKey(returnKey)
{
    sheet->installEventFilter(this);
}

void EonSheetKeys::pressSave()
{
    if (m_save && m_save->isEnabled() && !m_save->isHidden()) {
        m_save->click();
    }
}

bool EonSheetKeys::eventFilter(QObject* watched, QEvent* event)
{
    // The sheet sees a key only after its focused child declined it: a text
    // field's editing keys and a multi-line field's Return stay the field's.
    if (event->type() != QEvent::KeyPress) {
        return QObject::eventFilter(watched, event);
    }
    auto* key = static_cast<QKeyEvent*>(event);
    const Qt::KeyboardModifiers modifiers = key->modifiers() & keys::anyModifier;
    if (modifiers != Qt::NoModifier && modifiers != keys::command) {
        return false;
    }
    const bool command = modifiers == keys::command;
    if (key->key() == Qt::Key_Escape) {
        m_cancel();
        return true;
    }
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        if (command || m_returnKey == ReturnKey::saves) {
            pressSave();
        }
        return true;
    }
    return false;
}

} // namespace kivo
