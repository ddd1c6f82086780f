#include "app/PlaybackNavigationShortcutMonitor.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTableView>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

using namespace kivo;
using namespace Qt::Literals::StringLiterals;

namespace {

using Action = PlaybackNavigationKeyAction;

TEST(PlaybackNavigationShortcutMonitorTest, OnlyBareFirstPressesOfLeftAndRightCount)
{
    const std::tuple<int, Qt::KeyboardModifiers, bool, Action> cases[] = {
        { Qt::Key_Left, Qt::NoModifier, false, Action::previous },
        { Qt::Key_Right, Qt::NoModifier, false, Action::next },
        { Qt::Key_Right, Qt::KeypadModifier, false,
            Action::next }, // the keypad flag is no modifier
        { Qt::Key_Right, Qt::NoModifier, true, Action::ignore }, // auto-repeat
        { Qt::Key_Right, Qt::ShiftModifier, false, Action::ignore },
        { Qt::Key_Right, Qt::ControlModifier, false, Action::ignore },
        { Qt::Key_Left, Qt::AltModifier, false, Action::ignore },
        { Qt::Key_Left, Qt::MetaModifier, false, Action::ignore },
        { Qt::Key_Up, Qt::NoModifier, false, Action::ignore },
        { Qt::Key_A, Qt::NoModifier, false, Action::ignore },
    };
    for (const auto& [key, modifiers, repeat, expected] : cases) {
        EXPECT_EQ(PlaybackNavigationShortcutMonitor::classifyKey(key, modifiers, repeat), expected)
            << key << " " << modifiers.toInt() << " " << repeat;
    }
}

TEST(PlaybackNavigationShortcutMonitorTest, WidgetsThatUseTheArrowsKeepThem)
{
    QLineEdit line;
    QPlainTextEdit text;
    QSpinBox spin;
    QSlider slider;
    QTableView table;
    QComboBox combo;
    QPushButton button;
    QLabel label;
    QWidget custom;
    custom.setProperty(PlaybackNavigationShortcutMonitor::usesArrowKeysProperty, true);
    for (QWidget* keeps :
        std::initializer_list<QWidget*> { &line, &text, &spin, &slider, &table, &combo, &custom }) {
        EXPECT_TRUE(PlaybackNavigationShortcutMonitor::usesArrowKeys(keeps))
            << keeps->metaObject()->className();
    }
    QTableView rows; // a list of rows that leaves Left and Right to playback
    rows.setProperty(PlaybackNavigationShortcutMonitor::usesArrowKeysProperty, false);
    for (QWidget* passes : std::initializer_list<QWidget*> { &label, &rows, nullptr }) {
        EXPECT_FALSE(PlaybackNavigationShortcutMonitor::usesArrowKeys(passes));
    }
}

class ArrowKeyWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto* layout = new QVBoxLayout(&window);
        content->setFocusPolicy(Qt::StrongFocus);
        layout->addWidget(content);
        layout->addWidget(field);
        window.resize(300, 200);
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        content->setFocus();
    }

    // Sends a key press the way the window system delivers it.
    void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, bool repeat = false)
    {
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : &window;
        QKeyEvent event(QEvent::KeyPress, key, modifiers, QString(), repeat);
        QApplication::sendEvent(target, &event);
    }

    QWidget window;
    QWidget* content = new QWidget; // takes the focus but not the arrows
    QLineEdit* field = new QLineEdit(u"some text"_s);
    QStringList calls;
    bool canPlayNext = true;
    PlaybackNavigationShortcutMonitor monitor { &window,
        [this] {
            return PlaybackNavigationConfiguration { true, canPlayNext,
                [this] { calls << u"previous"_s; }, [this] { calls << u"next"_s; } };
        } };
};

TEST_F(ArrowKeyWindowTest, BareArrowsStepOnceAndModifiersRepeatsAndImpossibleStepsDoNothing)
{
    press(Qt::Key_Right);
    press(Qt::Key_Right, Qt::NoModifier, true); // held down
    press(Qt::Key_Right, Qt::NoModifier, true);
    for (const auto modifier :
        { Qt::ShiftModifier, Qt::ControlModifier, Qt::AltModifier, Qt::MetaModifier }) {
        press(Qt::Key_Right, modifier);
    }
    press(Qt::Key_Left);
    canPlayNext = false;
    press(Qt::Key_Right);
    EXPECT_EQ(calls.join(u", "_s), u"next, previous");
}

TEST_F(ArrowKeyWindowTest, AFocusedTextFieldAndAnOpenModalDialogKeepTheArrows)
{
    field->setFocus();
    field->setCursorPosition(0);
    press(Qt::Key_Right);
    EXPECT_EQ(field->cursorPosition(), 1);

    content->setFocus();
    QDialog dialog(&window);
    dialog.setWindowModality(Qt::WindowModal);
    dialog.open();
    QApplication::processEvents();
    press(Qt::Key_Right);
    dialog.close();
    EXPECT_TRUE(calls.isEmpty());
}

} // namespace
