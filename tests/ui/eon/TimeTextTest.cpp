#include "ui/eon/TimeText.h"

#include <QString>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

using namespace kivo;
using namespace Qt::Literals::StringLiterals;

namespace {
constexpr double inf = std::numeric_limits<double>::infinity();
} // namespace

TEST(FormatTime, RoundsHalvesAwayFromZeroAndGivesZeroForNonPositiveOrNonFinite)
{
    for (double zero : { 0.0, -0.0, -5.0, std::nan(""), inf, -inf, 1e300, 0.3 }) {
        EXPECT_EQ(formatTime(zero), u"0:00"_s) << zero;
    }
    const std::pair<double, QString> cases[] = {
        { 0.5, u"0:01"_s },
        { 59.4, u"0:59"_s },
        { 59.5, u"1:00"_s },
        { 3599.4, u"59:59"_s },
        { 3599.5, u"1:00:00"_s },
        { 7325, u"2:02:05"_s },
        { 360000 + 61, u"100:01:01"_s },
    };
    for (const auto& [seconds, text] : cases) {
        EXPECT_EQ(formatTime(seconds), text) << seconds;
    }
}

TEST(ParseTimeText, ColonAndNumberFormsOrNothing)
{
    const std::pair<QString, std::optional<double>> cases[] = {
        { u" \t\n "_s, 0.0 },
        { u"1:30"_s, 90.0 },
        { u"  01:02:03 \n"_s, 3723.0 },
        { u"1::30"_s, 90.0 },
        { u"1:30:"_s, 90.0 },
        { u"1::2"_s, 62.0 },
        { u"1:75"_s, 135.0 },
        { u"+1:+05"_s, 65.0 },
        { u"1:-30"_s, 30.0 },
        { u"-1:30"_s, -30.0 },
        { u"0:-9223372036854775808"_s, -9223372036854775808.0 }, // extremes that still fit
        { u"215.5"_s, 215.5 },
        { u"+7"_s, 7.0 },
        { u"1e2"_s, 100.0 },
        { u"inf"_s, inf },
    };
    for (const auto& [text, seconds] : cases) {
        EXPECT_EQ(parseTimeText(text), seconds) << text.toStdString();
    }
    EXPECT_FALSE(std::signbit(*parseTimeText(u"-0"_s)));

    for (const QString& text :
        { u":30"_s, u"1:2:3:4"_s, u"1:x"_s, u"1: 30"_s, u"1.5:30"_s, u"1:+"_s, u"1:\u0661"_s,
            u":"_s, u"1:99999999999999999999"_s, u"9223372036854775807:1"_s,
            u"-9223372036854775808:0:0"_s, u"-3"_s, u"-2.5"_s, u"nan"_s, u"abc"_s, u"2,5"_s,
            u"2.5s"_s, u"1e"_s, u"2 5"_s, u"+"_s, u"\u0662"_s, QString(u"5\0x"_s) }) {
        EXPECT_EQ(parseTimeText(text), std::nullopt) << text.toStdString();
    }
}
