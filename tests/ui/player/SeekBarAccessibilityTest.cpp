#include "ui/player/CompactWaveformSeekView.h"
#include "ui/player/PlayerAccessible.h"

#include <QAccessible>
#include <QAccessibleInterface>
#include <gtest/gtest.h>

using namespace kivo;
using namespace Qt::Literals::StringLiterals;

TEST(SeekBarAccessibility, AStepMovesFiveSecondsFromTheShownPositionInsideTheTrack)
{
    QAccessible::installFactory(playerAccessible);
    CompactWaveformSeekView bar;
    bar.resize(300, 28);
    QList<double> seeks;
    bar.setOnSeek([&](double seconds) { seeks << seconds; });
    bar.setDuration(100);
    bar.setProgress(0.5);

    QAccessibleInterface* node = QAccessible::queryAccessibleInterface(&bar);
    ASSERT_TRUE(node && node->valueInterface() && node->actionInterface());
    EXPECT_EQ(node->role(), QAccessible::Slider);
    EXPECT_EQ(node->text(QAccessible::Name), u"Playback waveform");
    EXPECT_EQ(node->text(QAccessible::Value), u"0:50");
    EXPECT_EQ(node->valueInterface()->currentValue().toDouble(), 50);
    EXPECT_EQ(node->valueInterface()->minimumValue().toDouble(), 0);
    EXPECT_EQ(node->valueInterface()->maximumValue().toDouble(), 100);
    EXPECT_EQ(node->childCount(), 0);

    QAccessibleActionInterface& actions = *node->actionInterface();
    actions.doAction(QAccessibleActionInterface::increaseAction());
    actions.doAction(QAccessibleActionInterface::decreaseAction());
    bar.setProgress(0.03);
    actions.doAction(QAccessibleActionInterface::decreaseAction());
    bar.setProgress(0.98);
    actions.doAction(QAccessibleActionInterface::increaseAction());
    EXPECT_EQ(seeks, QList<double>({ 55, 45, 0, 100 }));

    // No usable duration: every step sends 0 and the value reads "0:00".
    bar.setDuration(std::nan(""));
    actions.doAction(QAccessibleActionInterface::increaseAction());
    EXPECT_EQ(seeks.last(), 0);
    EXPECT_EQ(node->text(QAccessible::Value), u"0:00");
    EXPECT_EQ(node->valueInterface()->maximumValue().toDouble(), 0);
}
