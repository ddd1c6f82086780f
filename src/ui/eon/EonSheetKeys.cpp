#include "ui/eon/EonSheetKeys.h"

#include "ui/KeyModifiers.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QShortcut>
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
    // Shortcuts, so that the Ctrl keys act from any field, a multi-line one included.
    const auto shortcut = [sheet](const QKeySequence& keys) {
        auto* made = new QShortcut(keys, sheet);
        made->setContext(Qt::WidgetWithChildrenShortcut);
        return made;
    };
    connect(shortcut(QKeySequence(keys::command | Qt::Key_Escape)), &QShortcut::activated, this,
        [this] { m_cancel(); });
    if (save) {
        for (const Qt::Key key : { Qt::Key_Return, Qt::Key_Enter }) {
            connect(shortcut(QKeySequence(keys::command | key)), &QShortcut::activated, this,
                &EonSheetKeys::pressSave);
        }
    }
}

void EonSheetKeys::pressSave()
{
    if (m_save && m_save->isEnabled() && !m_save->isHidden()) {
        m_save->click();
    }
}

bool EonSheetKeys::eventFilter(QObject* watched, QEvent* event)
{
    // The sheet sees a key only after its focused child declined it.
    if (event->type() != QEvent::KeyPress) {
        return QObject::eventFilter(watched, event);
    }
    auto* key = static_cast<QKeyEvent*>(event);
    if ((key->modifiers() & keys::anyModifier) != 0) {
        return false;
    }
    if (key->key() == Qt::Key_Escape) {
        m_cancel();
        return true;
    }
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        if (m_returnKey == ReturnKey::saves) {
            pressSave();
        }
        return true;
    }
    return false;
}

} // namespace kivo
