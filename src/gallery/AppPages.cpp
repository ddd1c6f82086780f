// Pages of the menu bar, the settings sheet and the About window.
#include "Gallery.h"
#include "app/AboutToolbarButton.h"
#include "app/AboutView.h"
#include "app/AppIdentity.h"
#include "app/DIContainer.h"
#include "app/FolderChooser.h"
#include "app/LinkOpener.h"
#include "app/MainMenuBar.h"
#include "app/MainMenuBarCommands.h"
#include "app/SettingsView.h"
#include "app/WorkspacePanelState.h"
#include "engines/library/LibraryEngineImpl.h"
#include "engines/playback/AudioEngineImpl.h"
#include "engines/playback/QueueEngineImpl.h"
#include "platform/UndoManager.h"
#include "ui/songtable/TrackListSelectionCommands.h"
#include "ui/songtable/TrackTableLayoutState.h"

#include <QCoreApplication>
#include <QEnterEvent>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace kivo::gallery {

namespace {

// Nothing is ever opened from the gallery.
class NoLinks : public LinkOpener {
public:
    bool openLink(const QUrl&) override { return false; }
};

class NoFolders : public FolderChooser {
public:
    void chooseFolders(QWidget*, std::function<void(QList<QUrl>)> done) override { done({}); }
};

// One menu of the bar, opened, over the sample engines; with a list of 10
// songs and 2 selected, or with no list at all.
class MenuPage : public Stage {
public:
    MenuPage(Context& context, qsizetype menuIndex, bool withList)
        : Stage(1)
        , m_panels(context.freshDefaults())
        , m_commands({ context.container().libraryEngine(), context.container().audioEngine(),
              context.container().queueEngine(), m_panels, m_undo, &m_folders })
        , m_bar(m_commands)
    {
        if (withList) {
            m_target.update(10, 2);
            m_commands.setCommandTarget(&m_target);
        }
        m_undo.registerUndo(u"Remove Song Column"_s, [](UndoInverse) {});
        m_bar.refresh();
        QMenu& menu = m_bar.menu(menuIndex);
        menu.adjustSize();
        auto* picture = new QLabel;
        picture->setPixmap(menu.grab());
        QString title = MainMenuBarCommands::menus().at(menuIndex).title;
        add(title.remove(u'&')
                + (withList ? u" menu, a list of 10 songs with 2 selected"_s
                            : u" menu, no song list"_s),
            picture);
    }

private:
    WorkspacePanelState m_panels;
    UndoManager m_undo;
    NoFolders m_folders;
    TrackListSelectionCommandTarget m_target;
    MainMenuBarCommands m_commands;
    MainMenuBar m_bar;
};

// A window drawn inside the page rather than on its own.
void embed(QWidget* window, QWidget* page)
{
    window->setWindowFlags(Qt::Widget);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(window);
}

// The settings sheet over its own column layout.
class SettingsPage : public QWidget {
public:
    SettingsPage(Context& context, bool hideColumn)
        : m_layout(context.freshDefaults())
    {
        auto* sheet = new SettingsView(m_layout, &m_undo);
        embed(sheet, this);
        if (hideColumn) {
            sheet->columnToggle(TrackTableColumnID::artist).click();
            // Scrolled down to the column card.
            QScrollArea* scroll = sheet->findChild<QScrollArea*>();
            scroll->widget()->adjustSize();
            scroll->verticalScrollBar()->setValue(scroll->verticalScrollBar()->maximum());
            m_scroll = scroll;
        }
    }

protected:
    void showEvent(QShowEvent*) override
    {
        if (m_scroll) {
            m_scroll->verticalScrollBar()->setValue(m_scroll->verticalScrollBar()->maximum());
        }
    }

private:
    TrackTableLayoutState m_layout;
    UndoManager m_undo;
    QScrollArea* m_scroll = nullptr;
};

class AboutPage : public QWidget {
public:
    explicit AboutPage(bool withLinkError)
    {
        auto* about = new AboutView(m_links);
        embed(about, this);
        if (withLinkError) {
            about->linkButton(AboutLink::Kind::supportMail).click();
        }
    }

private:
    NoLinks m_links;
};

std::unique_ptr<QWidget> aboutButtonPage()
{
    auto stage = std::make_unique<Stage>(2);
    stage->add(u"at rest"_s, new AboutToolbarButton);
    auto* hovered = new AboutToolbarButton;
    QEnterEvent enter(QPointF(13, 13), QPointF(13, 13), QPointF(13, 13));
    QCoreApplication::sendEvent(hovered, &enter);
    stage->add(u"hovered"_s, hovered);
    return stage;
}

// The program's icon at the sizes a desktop shows it, each drawn as the
// window system gets it: the small ones on a dark and on a light title bar
// (another desktop's colours, not this program's), the large ones on the page.
std::unique_ptr<QWidget> appIconPage()
{
    auto stage = std::make_unique<Stage>(6);
    const QColor panels[] = { QColor(0x2b, 0x2b, 0x2b), QColor(0xf0, 0xf0, 0xf0) };
    for (const QColor& panel : panels) {
        for (const int side : { 16, 24, 32, 48 }) {
            QPixmap tile(64, 64);
            tile.fill(panel);
            QPainter painter(&tile);
            const int at = (64 - side) / 2;
            painter.drawPixmap(at, at, appIcon().pixmap(side));
            painter.end();
            auto* icon = new QLabel;
            icon->setPixmap(tile);
            icon->setFixedSize(64, 64);
            stage->add(
                u"%1 px, %2"_s.arg(side).arg(panel.lightness() < 128 ? u"dark"_s : u"light"_s),
                icon);
        }
        stage->add({}, new QWidget);
        stage->add({}, new QWidget);
    }
    for (const int side : { 64, 128 }) {
        auto* icon = new QLabel;
        icon->setPixmap(appIcon().pixmap(side));
        icon->setFixedSize(side, side);
        stage->add(u"%1 px"_s.arg(side), icon);
    }
    return stage;
}

} // namespace

void addAppPages(QList<Page>& pages, Context& context)
{
    const char16_t* names[] = { u"file", u"edit", u"playback", u"workspace", u"help" };
    for (qsizetype index = 0; index < MainMenuBarCommands::menus().size(); ++index) {
        for (const bool withList : { true, false }) {
            pages.append({ u"menu-"_s + QString::fromUtf16(names[index])
                    + (withList ? u"-list"_s : u"-no-list"_s),
                { 520, 340 }, [&context, index, withList] {
                    return std::make_unique<MenuPage>(context, index, withList);
                } });
        }
    }
    pages.append({ u"settings-sheet"_s, SettingsView::fixedSize,
        [&context] { return std::make_unique<SettingsPage>(context, false); } });
    pages.append({ u"settings-sheet-column-hidden"_s, SettingsView::fixedSize,
        [&context] { return std::make_unique<SettingsPage>(context, true); } });
    pages.append({ u"about-window"_s, AboutView::fixedSize,
        [] { return std::make_unique<AboutPage>(false); } });
    pages.append({ u"about-window-link-error"_s, AboutView::fixedSize,
        [] { return std::make_unique<AboutPage>(true); } });
    pages.append({ u"about-toolbar-button"_s, { 320, 160 }, aboutButtonPage });
    pages.append({ u"app-icon"_s, { 640, 480 }, appIconPage });
}

} // namespace kivo::gallery
