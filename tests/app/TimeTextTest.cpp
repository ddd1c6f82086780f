#include "app/TimeText.h"

#include <QString>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

using namespace kivo;
using namespace Qt::Literals::StringLiterals;

TEST(FormatTime, NonPositiveAndNonFiniteGiveZero)
{
    for (double value :
        { 0.0, -0.0, -1.0, -5.0, std::nan(""), std::numeric_limits<double>::infinity(),
            -std::numeric_limits<double>::infinity(), 0.3, 1e300 }) {
        EXPECT_EQ(formatTime(value), u"0:00"_s) << value;
    }
}

TEST(FormatTime, RoundsHalvesAwayFromZeroAndSwitchesFormAtAnHour)
{
    EXPECT_EQ(formatTime(0.5), u"0:01"_s);
    EXPECT_EQ(formatTime(59.4), u"0:59"_s);
    EXPECT_EQ(formatTime(59.5), u"1:00"_s);
    EXPECT_EQ(formatTime(61), u"1:01"_s);
    EXPECT_EQ(formatTime(3599.4), u"59:59"_s);
    EXPECT_EQ(formatTime(3599.5), u"1:00:00"_s);
    EXPECT_EQ(formatTime(3600), u"1:00:00"_s);
    EXPECT_EQ(formatTime(7325), u"2:02:05"_s);
    EXPECT_EQ(formatTime(36000), u"10:00:00"_s);
    EXPECT_EQ(formatTime(360000 + 61), u"100:01:01"_s);
}

TEST(ParseTimeText, BlankTextIsZero)
{
    EXPECT_EQ(parseTimeText(u""_s), 0.0);
    EXPECT_EQ(parseTimeText(u" \t\n "_s), 0.0);
}

TEST(ParseTimeText, ColonForms)
{
    EXPECT_EQ(parseTimeText(u"1:30"_s), 90.0);
    EXPECT_EQ(parseTimeText(u"  01:02:03 \n"_s), 3723.0);
    EXPECT_EQ(parseTimeText(u"1:02:03"_s), 3723.0);
    EXPECT_EQ(parseTimeText(u"1::30"_s), 90.0);
    EXPECT_EQ(parseTimeText(u"1:30:"_s), 90.0);
    EXPECT_EQ(parseTimeText(u"1::2"_s), 62.0);
    EXPECT_EQ(parseTimeText(u"1:75"_s), 135.0);
    EXPECT_EQ(parseTimeText(u"90:00"_s), 5400.0);
    EXPECT_EQ(parseTimeText(u"+1:+05"_s), 65.0);
    EXPECT_EQ(parseTimeText(u"1:-30"_s), 30.0);
    EXPECT_EQ(parseTimeText(u"-1:30"_s), -30.0);

    for (const QString& text : { u":30"_s, u"1:2:3:4"_s, u"1:x"_s, u"1: 30"_s, u"1.5:30"_s,
             u"1:+"_s, u"1:\u0661"_s, u":"_s, u"1:99999999999999999999"_s,
             u"9223372036854775807:1"_s, u"-9223372036854775808:0:0"_s }) {
        EXPECT_EQ(parseTimeText(text), std::nullopt) << text.toStdString();
    }
    // Extremes that still fit are read.
    EXPECT_EQ(parseTimeText(u"0:-9223372036854775808"_s), -9223372036854775808.0);
}

TEST(ParseTimeText, NumberForms)
{
    EXPECT_EQ(parseTimeText(u"2.5"_s), 2.5);
    EXPECT_EQ(parseTimeText(u"215.5"_s), 215.5);
    EXPECT_EQ(parseTimeText(u"+7"_s), 7.0);
    EXPECT_EQ(parseTimeText(u"1e2"_s), 100.0);
    EXPECT_EQ(parseTimeText(u"0"_s), 0.0);
    EXPECT_FALSE(std::signbit(*parseTimeText(u"-0"_s)));
    EXPECT_EQ(parseTimeText(u"inf"_s), std::numeric_limits<double>::infinity());

    for (const QString& text : { u"-3"_s, u"-2.5"_s, u"nan"_s, u"abc"_s, u"2,5"_s, u"2.5s"_s,
             u"1e"_s, u"2 5"_s, u"+"_s, u"\u0662"_s, QString(u"5\0x"_s) }) {
        EXPECT_EQ(parseTimeText(text), std::nullopt) << text.toStdString();
    }
}
