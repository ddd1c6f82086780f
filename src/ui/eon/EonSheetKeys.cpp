#include "ui/eon/EonSheetKeys.h"

#include "ui/eon/EonTabOrder.h"
#include "ui/eon/KeyModifiers.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace kivo {

namespace {

// Puts the sheet's Tab chain in reading order when it shows and before each
// Tab inside it: its fields come and go with what it edits.
class SheetTabOrder : public QObject {
public:
    SheetTabOrder(QWidget* sheet, QObject* parent)
        : QObject(parent)
        , m_sheet(sheet)
    {
        qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const bool shown = event->type() == QEvent::Show && watched == m_sheet;
        const bool tab = event->type() == QEvent::KeyPress && watched->isWidgetType()
            && (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Tab
                || static_cast<QKeyEvent*>(event)->key() == Qt::Key_Backtab)
            && m_sheet->isAncestorOf(static_cast<QWidget*>(watched));
        if (shown || tab) {
            EonTabOrder::orderByReading(m_sheet);
        }
        return false;
    }

private:
    QWidget* m_sheet;
};

} // namespace

EonSheetKeys::EonSheetKeys(
    QWidget* sheet, std::function<void()> cancel, QAbstractButton* save, ReturnKey returnKey)
    : QObject(sheet)
    , m_cancel(std::move(cancel))
    , m_save(save)
    , m_returnKey(returnKey)
{
    sheet->installEventFilter(this);
    new SheetTabOrder(sheet, this);
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
