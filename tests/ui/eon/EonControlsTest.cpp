#include "ui/eon/EonFonts.h"
#include "ui/eon/EonIconButton.h"
#include "ui/eon/EonPalette.h"
#include "ui/eon/EonTextElision.h"
#include "ui/eon/MediumDateFormatter.h"

#include <QFontMetrics>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using namespace kivo;
using namespace Qt::Literals::StringLiterals;

namespace {

TEST(EonControlsTest, IconButtonLooksFollowActiveAndHover)
{
    const QColor none(Qt::transparent);
    const QColor accentRing = eonWithOpacity(eonAccent(), 0.34);
    // active, hovering -> icon, fill, outline
    const std::tuple<bool, bool, QColor, QColor, QColor> cases[] = {
        { false, false, eonTextSecondary(), eonWithOpacity(eonSurfaceRaised(), 0), none },
        { false, true, eonTextSecondary(), eonWithOpacity(eonSurfaceRaised(), 0.92), accentRing },
        { true, false, eonAccent(), eonAccentWash(), accentRing },
        { true, true, eonAccent(), eonAccentWash(), accentRing },
    };
    for (const auto& [active, hovering, icon, fill, outline] : cases) {
        const EonIconButtonLook look = EonIconButtonLook::forState(active, hovering);
        EXPECT_EQ(look.icon, icon) << active << hovering;
        EXPECT_EQ(look.fill, fill) << active << hovering;
        EXPECT_EQ(look.outline.alpha() ? look.outline : none, outline) << active << hovering;
    }
}

TEST(EonControlsTest, IconButtonSpeaksItsLabelElseItsSymbolAndShrinksWhilePressed)
{
    EonIconButton button(u"shuffle"_s, 34);
    EXPECT_EQ(button.size(), QSize(34, 34));
    EXPECT_EQ(button.accessibleName(), u"shuffle");
    button.setAccessibilityLabel(u"Shuffle"_s);
    EXPECT_EQ(button.accessibleName(), u"Shuffle");

    QSignalSpy clicked(&button, &QAbstractButton::clicked);
    button.show();
    QTest::mousePress(&button, Qt::LeftButton);
    EXPECT_TRUE(QTest::qWaitFor([&] { return button.pressProgress() == 1.0; }, 5000));
    EXPECT_DOUBLE_EQ(EonPressButtonStyle::scale(button.pressProgress()), 0.92);
    EXPECT_DOUBLE_EQ(EonPressButtonStyle::opacity(button.pressProgress()), 0.78);
    QTest::mouseRelease(&button, Qt::LeftButton);
    EXPECT_TRUE(QTest::qWaitFor([&] { return button.pressProgress() == 0.0; }, 5000));
    EXPECT_EQ(clicked.count(), 1);
}

TEST(EonControlsTest, MediumDatesFollowTheLocale)
{
    // Noon UTC, so that every time zone within twelve hours shows the same day.
    const Date date
        = Date::fromDateTime(QDateTime(QDate(2026, 12, 9), QTime(12, 0), QTimeZone::utc()));
    EXPECT_EQ(formatMediumDate(date, u"en_US"_s), u"Dec 9, 2026");
    EXPECT_EQ(formatMediumDate(date, u"de_DE"_s), u"09.12.2026");
    EXPECT_FALSE(formatMediumDate(date).isEmpty());
}

} // namespace

namespace {

TEST(EonControlsTest, LongTextsAreCutToTheirLinesWithAnEllipsis)
{
    const QFont font = eonFont(11, QFont::DemiBold);
    const QString shortText = u"The last track is no longer available."_s;
    EXPECT_EQ(elideToLines(shortText, font, 400, 2), shortText);
    const QString longText = shortText.repeated(8);
    const QString cut = elideToLines(longText, font, 400, 2);
    EXPECT_TRUE(cut.endsWith(QChar(0x2026)));
    EXPECT_TRUE(longText.startsWith(cut.chopped(1).trimmed().left(cut.size() / 2)));
    const QRect bounds
        = QFontMetrics(font).boundingRect(QRect(0, 0, 400, 1000), Qt::TextWordWrap, cut);
    EXPECT_LE(bounds.height(), 2 * QFontMetrics(font).lineSpacing());
}

} // namespace
