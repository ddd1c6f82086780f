#include "ui/eon/EonSheetKeys.h"

#include "ui/eon/EonCloseButton.h"
#include "ui/eon/EonTabOrder.h"
#include "ui/eon/KeyModifiers.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextEdit>
#include <QWidget>
#include <algorithm>

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

bool isTextField(const QWidget* widget)
{
    const auto* picker = qobject_cast<const QComboBox*>(widget);
    return qobject_cast<const QLineEdit*>(widget) || qobject_cast<const QAbstractSpinBox*>(widget)
        || qobject_cast<const QTextEdit*>(widget) || qobject_cast<const QPlainTextEdit*>(widget)
        || (picker && picker->isEditable());
}

bool canTakeFocus(const QWidget* widget, const QWidget* sheet)
{
    return widget && widget->isEnabled() && widget->isVisibleTo(sheet);
}

} // namespace

QWidget* EonSheetKeys::initialFocus(QWidget* sheet, QAbstractButton* save)
{
    QList<QWidget*> controls = EonTabOrder::readingOrder(sheet);
    controls.removeIf([sheet](const QWidget* each) { return !canTakeFocus(each, sheet); });
    const auto field = std::find_if(controls.cbegin(), controls.cend(), isTextField);
    if (field != controls.cend()) {
        return *field;
    }
    if (canTakeFocus(save, sheet)) {
        return save;
    }
    const auto preferred = std::find_if(controls.cbegin(), controls.cend(), [](QWidget* each) {
        const auto* push = qobject_cast<const QPushButton*>(each);
        return push && push->isDefault();
    });
    if (preferred != controls.cend()) {
        return *preferred;
    }
    // Fields that all start switched off: the first switch that turns one on.
    const auto toggle = std::find_if(controls.cbegin(), controls.cend(), [](QWidget* each) {
        const auto* button = qobject_cast<const QAbstractButton*>(each);
        return button && button->isCheckable();
    });
    if (toggle != controls.cend()) {
        return *toggle;
    }
    // Not the close button in the corner (Space would close the sheet), nor
    // a scroll area round the controls themselves.
    const auto first = std::find_if(controls.cbegin(), controls.cend(), [](QWidget* each) {
        const auto* area = qobject_cast<const QAbstractScrollArea*>(each);
        return !dynamic_cast<const EonCloseButton*>(each)
            && !(area && area->viewport()->findChild<QWidget*>());
    });
    return first != controls.cend() ? *first : nullptr;
}

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
    if (event->type() == QEvent::Show) {
        auto* sheet = static_cast<QWidget*>(watched);
        // A focus the sheet chose itself stands.
        if (sheet->isWindow() && !sheet->focusWidget()) {
            if (QWidget* first = initialFocus(sheet, m_save)) {
                first->setFocus(Qt::OtherFocusReason);
            }
        }
        return false;
    }
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
