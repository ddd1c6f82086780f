// The Eon style's controls, grabbed offscreen: each check is a look that was
// once wrong (invisible dividers, no tick, no disabled look, Fusion's bars).

#include "ui/eon/EonStyle.h"
#include "ui/eon/EonAppearance.h"
#include "ui/eon/EonFocusRing.h"
#include "ui/eon/EonIconButton.h"
#include "ui/eon/EonPalette.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QStyleOption>
#include <QTest>
#include <cmath>
#include <gtest/gtest.h>

using namespace kivo;
using namespace Qt::Literals::StringLiterals;

namespace {

int difference(QColor a, QColor b)
{
    return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green())
        + std::abs(a.blue() - b.blue());
}

// Pixels of `image` inside `rect` for which `test` holds.
int countPixels(const QImage& image, const QRect& rect, const std::function<bool(QColor)>& test)
{
    int count = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        for (int x = rect.left(); x <= rect.right(); ++x) {
            count += test(image.pixelColor(x, y)) ? 1 : 0;
        }
    }
    return count;
}

bool isReddish(QColor c)
{
    return c.red() > 150 && c.red() > c.green() + 80;
}

class EonStyleTest : public ::testing::Test {
protected:
    void SetUp() override { applyEonAppearance(); }
};

TEST_F(EonStyleTest, MenusShowTheirEdgeTheirSeparatorsAndDestructiveItems)
{
    QMenu menu;
    QAction* play = menu.addAction(u"Play Now"_s);
    QAction* separator = menu.addSeparator();
    QAction* remove = menu.addAction(u"Remove Column"_s);
    remove->setProperty(EonStyle::destructiveProperty, true);
    menu.adjustSize();
    const QImage image = menu.grab().toImage();

    const QRect line = menu.actionGeometry(separator);
    const QColor panel = image.pixelColor(menu.width() / 2, menu.actionGeometry(play).top() + 1);
    const QColor divider = image.pixelColor(menu.width() / 2, line.center().y());
    EXPECT_GE(difference(divider, panel), 30)
        << divider.name().toStdString() << " on " << panel.name().toStdString();
    const QColor edge = image.pixelColor(menu.width() / 2, 0);
    EXPECT_GE(difference(edge, panel), 30)
        << edge.name().toStdString() << " on " << panel.name().toStdString();

    EXPECT_GT(countPixels(image, menu.actionGeometry(remove), isReddish), 10);
    EXPECT_EQ(countPixels(image, menu.actionGeometry(play), isReddish), 0);
}

TEST_F(EonStyleTest, DisabledIconButtonsAreDimmed)
{
    const auto ink = [](EonIconButton& button) {
        const QImage image = button.grab().toImage();
        const QColor background = image.pixelColor(0, 0);
        int total = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                total += difference(image.pixelColor(x, y), background);
            }
        }
        return total;
    };
    EonIconButton enabled(u"play.fill"_s, 30, true);
    EonIconButton disabled(u"play.fill"_s, 30, true);
    disabled.setEnabled(false);
    const int enabledInk = ink(enabled);
    EXPECT_GT(enabledInk, 0);
    EXPECT_LT(ink(disabled), enabledInk * 6 / 10);
}

TEST_F(EonStyleTest, TickedCheckboxesDrawATick)
{
    QCheckBox box(u"Genre"_s);
    box.setChecked(true);
    box.adjustSize();
    QStyleOptionButton option;
    option.initFrom(&box);
    const QRect indicator
        = box.style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, &box);
    const QImage image = box.grab().toImage();
    const int accent
        = countPixels(image, indicator, [](QColor c) { return difference(c, eonAccent()) < 40; });
    // The tick is dark ink inside the accent square.
    const QRect inner = indicator.adjusted(3, 3, -3, -3);
    const int tick = countPixels(image, inner, [](QColor c) { return c.lightness() < 60; });
    EXPECT_GT(accent, 40);
    EXPECT_GT(tick, 6);

    box.setChecked(false);
    const QImage unticked = box.grab().toImage();
    EXPECT_EQ(
        countPixels(unticked, indicator, [](QColor c) { return difference(c, eonAccent()) < 40; }),
        0);
}

TEST_F(EonStyleTest, SliderHandlesAreRoundAndAccentTinted)
{
    QSlider slider(Qt::Horizontal);
    slider.setRange(0, 100);
    slider.setValue(50);
    slider.setFixedSize(120, 20);
    const QImage image = slider.grab().toImage();
    const QColor centre = image.pixelColor(60, 10);
    EXPECT_LT(difference(centre, eonAccentBright()), 24) << centre.name().toStdString();
    // Round: the handle's bounding corner is not handle-coloured.
    const QColor corner = image.pixelColor(54, 4);
    EXPECT_GT(difference(corner, eonAccentBright()), 60) << corner.name().toStdString();
    // The part below the value is filled with the accent, the rest is not.
    EXPECT_LT(difference(image.pixelColor(30, 10), eonAccent()), 24);
    EXPECT_GT(difference(image.pixelColor(90, 10), eonAccent()), 100);
}

TEST_F(EonStyleTest, ScrollBarsAreThinArrowlessAndHiddenWhenTheContentFits)
{
    QScrollArea area;
    area.resize(200, 200);
    auto* content = new QWidget;
    content->setFixedSize(150, 100);
    area.setWidget(content);
    area.show();
    QApplication::processEvents();
    EXPECT_FALSE(area.verticalScrollBar()->isVisible());

    content->setFixedSize(150, 1000);
    QApplication::processEvents();
    QScrollBar* bar = area.verticalScrollBar();
    ASSERT_TRUE(bar->isVisible());
    EXPECT_EQ(bar->width(), EonStyle::scrollBarExtent);

    QStyleOptionSlider option;
    option.initFrom(bar);
    option.orientation = Qt::Vertical;
    option.minimum = bar->minimum();
    option.maximum = bar->maximum();
    option.sliderPosition = bar->sliderPosition();
    option.pageStep = bar->pageStep();
    for (const auto arrow : { QStyle::SC_ScrollBarAddLine, QStyle::SC_ScrollBarSubLine }) {
        EXPECT_TRUE(
            bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, arrow, bar).isEmpty());
    }
    const QRect thumb = bar->style()->subControlRect(
        QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, bar);
    const QImage image = bar->grab().toImage();
    const QColor thumbColour = image.pixelColor(thumb.center());
    const QColor groove = image.pixelColor(thumb.center().x(), thumb.bottom() + 20);
    EXPECT_GE(difference(thumbColour, groove), 60)
        << thumbColour.name().toStdString() << groove.name().toStdString();
}

TEST_F(EonStyleTest, PickersShowAChevronAndDimWhenDisabled)
{
    QComboBox picker;
    picker.addItems({ u"ALL"_s, u"ANY"_s });
    picker.setFixedSize(120, 28);
    QStyleOptionComboBox option;
    option.initFrom(&picker);
    const QRect arrow = picker.style()->subControlRect(
        QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxArrow, &picker);
    const auto bright = [](QColor c) { return c.lightness() > 120; };
    const QImage image = picker.grab().toImage();
    const int chevron = countPixels(image, arrow, bright);
    EXPECT_GT(chevron, 4);

    picker.setEnabled(false);
    const QImage disabled = picker.grab().toImage();
    EXPECT_LT(countPixels(disabled, arrow, bright), chevron);

    // The open list sits on the menus' raised surface.
    picker.setEnabled(true);
    picker.showPopup();
    const QImage list = picker.view()->window()->grab().toImage();
    picker.hidePopup();
    const QColor below = list.pixelColor(list.width() - 10, list.height() - 10);
    EXPECT_LT(difference(below, eonSurfaceRaised()), 12) << below.name().toStdString();
}

TEST_F(EonStyleTest, AlertButtonsShowTheirRole)
{
    // Beside a default Cancel a destructive button is plain with a red label;
    // as the default it is filled red.
    QPushButton destructive(u"Delete Permanently"_s);
    destructive.setProperty(EonStyle::destructiveProperty, true);
    QPushButton destructiveDefault(u"Delete"_s);
    destructiveDefault.setProperty(EonStyle::destructiveProperty, true);
    destructiveDefault.setDefault(true);
    QPushButton plain(u"Cancel"_s);
    for (QPushButton* button : { &destructive, &destructiveDefault, &plain }) {
        button->setFixedSize(160, 30);
    }
    const QRect body(6, 8, 10, 14); // left of the text, inside the panel
    const QImage quiet = destructive.grab().toImage();
    EXPECT_EQ(countPixels(quiet, body, isReddish), 0);
    EXPECT_GT(countPixels(quiet, quiet.rect(), isReddish), 30);
    EXPECT_GT(countPixels(destructiveDefault.grab().toImage(), body, isReddish), 100);
    EXPECT_EQ(countPixels(plain.grab().toImage(), plain.rect(), isReddish), 0);
}

TEST_F(EonStyleTest, PushButtonsPadTheirLabelAndRingTheWholeButtonOnKeyboardFocus)
{
    QWidget window;
    auto* first = new QPushButton(u"Cancel"_s, &window);
    auto* second = new QPushButton(u"Delete Permanently"_s, &window);
    second->setProperty(EonStyle::prominentProperty, true);
    auto* third = new QPushButton(u"Add"_s, &window);
    third->setStyleSheet(
        u"QPushButton { background: #333; border: none; border-radius: 6px; padding: 4px; }"_s);
    const int label = second->fontMetrics().horizontalAdvance(second->text());
    EXPECT_GE(second->sizeHint().width(), label + 2 * EonStyle::pushButtonPadding);
    EXPECT_GE(second->sizeHint().height(), EonStyle::pushButtonMinimumHeight);
    first->setGeometry(10, 10, 200, 30);
    second->setGeometry(10, 60, 200, 30);
    third->setGeometry(10, 110, 200, 30);
    window.resize(240, 160);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    first->setFocus();
    QTest::keyClick(&window, Qt::Key_Tab);
    ASSERT_TRUE(second->hasFocus());

    const auto isAccent = [](QColor c) { return difference(c, eonAccent()) < 60; };
    const auto isRing = [](QColor c) { return difference(c, EonFocusRing::colour()) < 60; };
    // Prominent: the accent fills the body. Not focused: no ring.
    const QImage plain = first->grab().toImage();
    EXPECT_EQ(countPixels(plain, QRect(0, 12, 3, 6), isAccent), 0);
    EXPECT_EQ(countPixels(plain, QRect(5, 12, 6, 6), isAccent), 0);
    const QImage focused = second->grab().toImage();
    EXPECT_GT(countPixels(focused, QRect(6, 12, 6, 6), isAccent), 30);
    // The ring runs along the button's edge, not round its label, also on a
    // button drawn by a style sheet.
    QTest::keyClick(&window, Qt::Key_Tab);
    ASSERT_TRUE(third->hasFocus());
    const QImage sheeted = third->grab().toImage();
    EXPECT_GT(countPixels(sheeted, QRect(0, 12, 2, 6), isRing), 3);
    EXPECT_EQ(countPixels(sheeted, QRect(5, 3, 80, 24), isAccent), 0);
    QTest::keyClick(&window, Qt::Key_Tab);
    ASSERT_TRUE(first->hasFocus());
    const QImage ringed = first->grab().toImage();
    EXPECT_GT(countPixels(ringed, QRect(0, 12, 2, 6), isRing), 3);
    EXPECT_EQ(countPixels(ringed, QRect(5, 12, 6, 6), isAccent), 0);
}

TEST_F(EonStyleTest, MnemonicsAreUnderlinedOnlyWhileAltIsHeld)
{
    auto* style = qobject_cast<EonStyle*>(QApplication::style());
    ASSERT_TRUE(style);
    QWidget window;
    window.show();
    EXPECT_FALSE(style->styleHint(QStyle::SH_UnderlineShortcut));
    QTest::keyPress(&window, Qt::Key_Alt, Qt::AltModifier);
    EXPECT_TRUE(style->styleHint(QStyle::SH_UnderlineShortcut));
    QTest::keyRelease(&window, Qt::Key_Alt);
    EXPECT_FALSE(style->styleHint(QStyle::SH_UnderlineShortcut));
}

} // namespace

// The ring stands out from the dark around a control and, through its dark
// inner band, from the control itself: an amber button, an outlined one.
TEST(EonFocusRingTest, ContrastsWithTheControlAndItsSurroundingsAndStandsClearOfTheEdge)
{
    const auto luminance = [](QColor c) {
        const auto channel = [](double v) {
            return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF())
            + 0.0722 * channel(c.blueF());
    };
    const auto contrast = [&](QColor a, QColor b) {
        const double la = luminance(a), lb = luminance(b);
        return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
    };
    for (const QColor& control : { eonAccent(), eonAccentBright(), eonSurfaceRaised() }) {
        QImage image(40, 24, QImage::Format_ARGB32);
        image.fill(control);
        QPainter painter(&image);
        // The control's own outline runs along its edge.
        painter.setPen(QPen(eonAccent(), 1));
        painter.drawRect(QRectF(image.rect()).adjusted(0.5, 0.5, -0.5, -0.5));
        EonFocusRing::paint(painter, image.rect(), 6);
        painter.end();
        const QColor ring = image.pixelColor(0, 12);
        const QColor inner = image.pixelColor(2, 12);
        for (const QColor& around : { eonCanvas(), eonSurface(), eonSurfaceRaised() }) {
            EXPECT_GE(contrast(ring, around), 3) << qPrintable(around.name());
        }
        EXPECT_GE(contrast(ring, inner), 3) << qPrintable(control.name());
        EXPECT_GE(std::max(contrast(inner, control), contrast(ring, control)), 3)
            << qPrintable(control.name());
        EXPECT_NE(ring, eonAccent());
    }
}
