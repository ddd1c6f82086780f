#include "SongTableTestSupport.h"
#include "ui/songtable/TrackListSelectionCommands.h"
#include "ui/songtable/TrackListShortcutMonitor.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace kivo {
namespace {

TEST(TrackListSelectionCommandTarget, CountsAreClampedAndAnnouncedOnlyWhenTheyChange)
{
    TrackListSelectionCommandTarget target;
    QSignalSpy tracks(&target, &TrackListSelectionCommandTarget::trackCountChanged);
    QSignalSpy selection(&target, &TrackListSelectionCommandTarget::selectionCountChanged);
    target.update(-3, 5);
    EXPECT_EQ(std::pair(target.trackCount(), target.selectionCount()), std::pair(0, 0));
    EXPECT_EQ(tracks.count() + selection.count(), 0);
    target.update(10, 12);
    EXPECT_EQ(std::pair(target.trackCount(), target.selectionCount()), std::pair(10, 10));
    target.update(10, 12);
    target.update(10, -1);
    EXPECT_EQ(tracks.count(), 1);
    EXPECT_EQ(selection.count(), 2);

    QList<TrackListSelectionCommand> received;
    QObject::connect(&target, &TrackListSelectionCommandTarget::commandSent,
        [&](TrackListSelectionCommand command) { received << command; });
    target.send(TrackListSelectionCommand::editSelection);
    EXPECT_EQ(received, QList { TrackListSelectionCommand::editSelection });
}

// A window with a Ctrl+A menu action, the song list, text inputs and a button.
class ShortcutWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto* layout = new QVBoxLayout(&window);
        list = new QWidget;
        list->setFocusPolicy(Qt::StrongFocus);
        field = new QLineEdit;
        spin = new QSpinBox;
        button = new QPushButton(u"Play"_s);
        layout->addWidget(list);
        layout->addWidget(field);
        layout->addWidget(spin);
        layout->addWidget(button);
        auto* menuAction = new QAction(u"Select All"_s, &window);
        menuAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A));
        window.addAction(menuAction);
        QObject::connect(menuAction, &QAction::triggered, [this] { log << u"menu"_s; });

        monitor = new TrackListShortcutMonitor(list);
        monitor->setConfiguration({ true, true, true, true, [this] { log << u"select"_s; },
            [this] { log << u"deselect"_s; }, [this] { log << u"edit"_s; } });
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        list->setFocus();
    }

    // What one key press did, sent to the focused widget.
    QString press(Qt::Key key, Qt::KeyboardModifiers modifiers)
    {
        log.clear();
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : &window;
        QTest::keyClick(target, key, modifiers);
        return log.join(u' ');
    }

    QWidget window;
    QWidget* list = nullptr;
    QLineEdit* field = nullptr;
    QSpinBox* spin = nullptr;
    QPushButton* button = nullptr;
    TrackListShortcutMonitor* monitor = nullptr;
    QStringList log;
};

TEST_F(ShortcutWindow, ListShortcutsWinOverTheMenuAndOthersPassOn)
{
    const Qt::KeyboardModifiers ctrl = Qt::ControlModifier;
    const Qt::KeyboardModifiers meta = Qt::MetaModifier;
    const Qt::KeyboardModifiers shift = Qt::ShiftModifier;
    const Qt::KeyboardModifiers alt = Qt::AltModifier;
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        QString result;
    } cases[] = {
        { Qt::Key_A, ctrl, u"select"_s }, // consumed: the menu's Ctrl+A does not run too
        { Qt::Key_A, meta, u"select"_s },
        { Qt::Key_A, ctrl | alt, u"select"_s }, // Alt is ignored
        { Qt::Key_A, ctrl | Qt::KeypadModifier, u"select"_s },
        { Qt::Key_A, ctrl | shift, u"deselect"_s },
        { Qt::Key_A, meta | shift, u"deselect"_s },
        { Qt::Key_E, ctrl, u"edit"_s },
        { Qt::Key_E, ctrl | alt, u"edit"_s },
        { Qt::Key_E, meta, u""_s },
        { Qt::Key_E, ctrl | shift, u""_s },
        { Qt::Key_A, ctrl | meta, u""_s },
        { Qt::Key_A, Qt::NoModifier, u""_s },
    };
    for (const auto& c : cases) {
        EXPECT_EQ(press(c.key, c.modifiers), c.result)
            << QKeySequence(c.key | c.modifiers).toString().toStdString();
    }

    // Not allowed now: the key goes on to the menu.
    monitor->setConfiguration({ true, false, false, false, [this] { log << u"select"_s; },
        [this] { log << u"deselect"_s; }, [this] { log << u"edit"_s; } });
    EXPECT_EQ(press(Qt::Key_A, ctrl), u"menu");
    EXPECT_EQ(press(Qt::Key_A, ctrl | shift), u"");
    EXPECT_EQ(press(Qt::Key_E, ctrl), u"");
}

TEST_F(ShortcutWindow, NothingWhileTypingDisabledHiddenOrInactive)
{
    field->setFocus();
    EXPECT_EQ(press(Qt::Key_A, Qt::ControlModifier), u"");
    EXPECT_EQ(field->selectedText(), field->text()); // the field's own select-all
    spin->setFocus();
    EXPECT_EQ(press(Qt::Key_E, Qt::ControlModifier), u"");

    list->setFocus();
    auto configuration = monitor->configuration();
    configuration.isEnabled = false; // an editor sheet is open
    monitor->setConfiguration(configuration);
    EXPECT_EQ(press(Qt::Key_A, Qt::ControlModifier), u"menu");
    configuration.isEnabled = true;
    monitor->setConfiguration(configuration);

    list->hide();
    button->setFocus();
    EXPECT_EQ(press(Qt::Key_A, Qt::ControlModifier), u"menu");
    list->show();
    list->setFocus();
    EXPECT_EQ(press(Qt::Key_A, Qt::ControlModifier), u"select");

    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    log.clear();
    QTest::keyClick(list, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(log.join(u' '), u"");

    delete monitor; // gone with its list: keys pass on
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    list->setFocus();
    EXPECT_EQ(press(Qt::Key_A, Qt::ControlModifier), u"menu");
}

} // namespace
} // namespace kivo
