#include "app/AppAccessibility.h"

#include "app/MainMenuBar.h"
#include "app/SettingsControls.h"
#include "ui/eon/EonAccessibleElement.h"

#include "ui/editing/EditingAccessible.h"
#include "ui/library/LibraryAccessible.h"
#include "ui/player/PlayerAccessible.h"
#include "ui/songtable/TrackTableAccessible.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QAction>
#include <QSlider>

namespace kivo {

namespace {

// The menu bar's menus, then its corner (the About button): the stock menu
// bar lists only its menus, which would leave the corner unreachable.
class MenuBarAccessible : public QAccessibleWidget {
public:
    explicit MenuBarAccessible(MainMenuBar* bar)
        : QAccessibleWidget(bar, QAccessible::MenuBar)
    {
    }

    MainMenuBar* bar() const { return static_cast<MainMenuBar*>(widget()); }
    QWidget* corner() const { return bar()->cornerWidget(Qt::TopRightCorner); }
    QList<QAction*> menus() const
    {
        QList<QAction*> shown;
        for (QAction* action : bar()->actions()) {
            if (action->isVisible() && !action->isSeparator()) {
                shown << action;
            }
        }
        return shown;
    }

    int childCount() const override { return int(menus().size()) + (corner() ? 1 : 0); }

    QAccessibleInterface* child(int index) const override
    {
        const QList<QAction*> actions = menus();
        if (index == actions.size() && corner()) {
            return QAccessible::queryAccessibleInterface(corner());
        }
        if (index < 0 || index >= actions.size()) {
            return nullptr;
        }
        QAction* action = actions[index];
        return m_items.get(quintptr(action), [this, action] {
            auto* item = new EonAccessibleElement(
                bar(), const_cast<MenuBarAccessible*>(this), QAccessible::MenuItem);
            QPointer<QAction> guarded(action);
            item->exists = [this, guarded] { return guarded && menus().contains(guarded); };
            item->name = [guarded] { return QString(guarded->text()).remove(QLatin1Char('&')); };
            item->bounds = [this, guarded] { return bar()->actionGeometry(guarded); };
            item->press = [this, guarded] { bar()->setActiveAction(guarded); };
            return item;
        });
    }

    int indexOfChild(const QAccessibleInterface* child) const override
    {
        for (int i = 0; i < childCount(); ++i) {
            if (this->child(i) == child) {
                return i;
            }
        }
        return -1;
    }

private:
    mutable EonAccessibleChildren m_items;
};

// A settings slider reports the number the sheet shows beside it (78 for
// "78%"), not the positions of the control underneath.
class SettingsSliderAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    SettingsSliderAccessible(QSlider* slider, SettingsSlider* owner)
        : QAccessibleWidget(slider, QAccessible::Slider)
        , m_owner(owner)
    {
    }

    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Value ? m_owner->valueText() : QAccessibleWidget::text(t);
    }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::ValueInterface) {
            return static_cast<QAccessibleValueInterface*>(this);
        }
        return QAccessibleWidget::interface_cast(type);
    }

    QVariant currentValue() const override { return m_owner->shownValue(); }
    void setCurrentValue(const QVariant& value) override
    {
        m_owner->setShownValue(value.toDouble());
    }
    QVariant maximumValue() const override { return m_owner->shownMaximum(); }
    QVariant minimumValue() const override { return m_owner->shownMinimum(); }
    QVariant minimumStepSize() const override { return 1.0; }

private:
    QPointer<SettingsSlider> m_owner;
};

QAccessibleInterface* appAccessible(const QString& className, QObject* object)
{
    if (auto* bar = qobject_cast<MainMenuBar*>(object)) {
        return new MenuBarAccessible(bar);
    }
    if (auto* slider = qobject_cast<QSlider*>(object)) {
        if (auto* owner = qobject_cast<SettingsSlider*>(slider->parentWidget())) {
            return new SettingsSliderAccessible(slider, owner);
        }
    }
    for (auto* factory :
        { songTableAccessible, playerAccessible, libraryAccessible, editingAccessible }) {
        if (QAccessibleInterface* made = factory(className, object)) {
            return made;
        }
    }
    return nullptr;
}

} // namespace

void installAppAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(appAccessible);
        return true;
    }();
    Q_UNUSED(installed);
}

} // namespace kivo
