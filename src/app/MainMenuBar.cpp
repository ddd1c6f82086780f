#include "app/MainMenuBar.h"

#include "app/AboutToolbarButton.h"
#include "ui/eon/EonMetrics.h"

#include <QAction>
#include <QHBoxLayout>
#include <QMenu>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

namespace {

// Menu texts show "&" as itself, never as a mnemonic marker.
QString actionText(const QString& title)
{
    QString text = title;
    return text.replace(u'&', u"&&"_s);
}

} // namespace

MainMenuBar::MainMenuBar(MainMenuBarCommands& commands, QWidget* parent)
    : QMenuBar(parent)
    , m_commands(commands)
    , m_aboutButton(new AboutToolbarButton(this))
{
    setObjectName(u"menuBar"_s);
    setNativeMenuBar(false);
    auto* corner = new QWidget(this);
    auto* cornerLayout = new QHBoxLayout(corner);
    cornerLayout->setContentsMargins(0, 0, eon::spaceM, 0);
    cornerLayout->addWidget(m_aboutButton);
    setCornerWidget(corner, Qt::TopRightCorner);

    for (const MenuDescription& description : MainMenuBarCommands::menus()) {
        QMenu* menu = addMenu(description.title);
        m_menus << menu;
        // A menu opened after a change nobody announced still shows the truth.
        connect(menu, &QMenu::aboutToShow, this, &MainMenuBar::refresh);
        for (const std::optional<MenuCommand>& entry : description.entries) {
            if (!entry) {
                menu->addSeparator();
                continue;
            }
            const MenuCommand command = *entry;
            auto* action = new QAction(menu);
            action->setShortcutContext(Qt::WindowShortcut);
            // Triggering re-checks the condition; the checkmark is then read
            // back from the state, not left as Qt toggled it.
            connect(action, &QAction::triggered, this, [this, command] {
                m_commands.trigger(command);
                refresh();
            });
            menu->addAction(action);
            m_actions.insert(command, action);
        }
    }
    connect(&commands, &MainMenuBarCommands::itemsChanged, this, &MainMenuBar::refresh);
    connect(m_aboutButton, &QAbstractButton::clicked, this,
        [this] { m_commands.trigger(MenuCommand::about); });
    refresh();
}

void MainMenuBar::refresh()
{
    for (auto it = m_actions.cbegin(); it != m_actions.cend(); ++it) {
        const MenuItemState state = m_commands.item(it.key());
        QAction* action = it.value();
        action->setText(actionText(state.title));
        action->setShortcut(state.shortcut);
        action->setEnabled(state.isEnabled);
        action->setCheckable(state.isCheckable);
        action->setChecked(state.isChecked);
    }
}

} // namespace kivo
