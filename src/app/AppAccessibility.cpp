#include "app/AppAccessibility.h"

#include "app/MainMenuBar.h"
#include "ui/eon/EonAccessibleElement.h"

#include "ui/editing/EditingAccessible.h"
#include "ui/library/LibraryAccessible.h"
#include "ui/player/PlayerAccessible.h"
#include "ui/songtable/TrackTableAccessible.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QAction>

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

QAccessibleInterface* appAccessible(const QString& className, QObject* object)
{
    if (auto* bar = qobject_cast<MainMenuBar*>(object)) {
        return new MenuBarAccessible(bar);
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
