#include "app/MainMenuBar.h"

#include "app/AboutToolbarButton.h"
#include "ui/eon/EonPalette.h"

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

QString css(const QColor& color)
{
    return u"rgba(%1, %2, %3, %4)"_s.arg(color.red())
        .arg(color.green())
        .arg(color.blue())
        .arg(color.alphaF());
}

// The open menus in the Eon colours: a raised panel with a hairline edge, an
// accent wash under the pointer and visible dividers.
QString menuStyleSheet()
{
    return uR"(QMenu { background: %1; border: 1px solid %2; padding: 4px; }
QMenu::item { color: %3; padding: 5px 22px 5px 26px; border-radius: 5px; }
QMenu::item:selected { background: %4; }
QMenu::item:disabled { color: %5; }
QMenu::separator { height: 1px; background: %2; margin: 4px 8px; }
QMenu::indicator { width: 14px; left: 7px; })"_s.arg(css(eonSurfaceRaised()), css(eonHairline()),
        css(eonTextPrimary()), css(eonWithOpacity(eonAccent(), 0.24)), css(eonTextTertiary()));
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
    cornerLayout->setContentsMargins(0, 0, 8, 0);
    cornerLayout->addWidget(m_aboutButton);
    setCornerWidget(corner, Qt::TopRightCorner);

    for (const MenuDescription& description : MainMenuBarCommands::menus()) {
        QMenu* menu = addMenu(description.title);
        menu->setStyleSheet(menuStyleSheet());
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
