#pragma once

#include "app/MainMenuBarCommands.h"

#include <QMap>
#include <QMenuBar>

class QAction;
class QMenu;

namespace kivo {

class AboutToolbarButton;

// The menu bar's widgets: one QMenu per menu and one QAction per item, drawn
// from the commands' state whenever it changes and forwarding each trigger.
// The About button sits at its trailing end, where a toolbar's primary
// action would.
class MainMenuBar : public QMenuBar {
    Q_OBJECT
public:
    explicit MainMenuBar(MainMenuBarCommands& commands, QWidget* parent = nullptr);

    QAction& action(MenuCommand command) const { return *m_actions.value(command); }
    QList<QAction*> itemActions() const { return m_actions.values(); }
    // In the order of MainMenuBarCommands::menus().
    QMenu& menu(qsizetype index) const { return *m_menus.at(index); }
    AboutToolbarButton& aboutButton() const { return *m_aboutButton; }

    // Reads every item's title, key, enabled and checked state again.
    void refresh();

private:
    MainMenuBarCommands& m_commands;
    QList<QMenu*> m_menus;
    QMap<MenuCommand, QAction*> m_actions;
    AboutToolbarButton* m_aboutButton;
};

} // namespace kivo
