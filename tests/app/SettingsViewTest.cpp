#include "app/SettingsView.h"
#include "app/SettingsControls.h"
#include "app/SymbolTextButton.h"
#include "platform/UndoManager.h"
#include "platform/UserDefaults.h"
#include "support/TempDir.h"
#include "ui/songtable/TrackTableLayoutState.h"

#include <QSlider>
#include <QStringList>
#include <gtest/gtest.h>

using namespace kivo;
using namespace Qt::Literals::StringLiterals;

namespace {

using ID = TrackTableColumnID;

class SettingsViewTest : public test::TempDirTest {
protected:
    std::shared_ptr<UserDefaults> defaults
        = std::make_shared<SettingsUserDefaults>(path(u"settings.json"_s));
    TrackTableLayoutState layout { defaults };
    UndoManager undo;
};

// The texts beside the sliders and the switches' states, in sheet order.
QString shown(const SettingsView& sheet)
{
    QStringList parts;
    parts << (sheet.accentSwitch().isChecked() ? u"artwork accent"_s : u"manual accent"_s);
    parts << (sheet.manualAccentRow().isHidden() ? u"no colour row"_s : u"colour row"_s);
    parts << sheet.transparencySlider().valueText();
    parts << (sheet.compactSwitch().isChecked() ? u"compact"_s : u"regular"_s);
    parts << sheet.cornerRadiusSlider().valueText() << sheet.fontScaleSlider().valueText();
    parts << sheet.animationSpeedPicker()
                 .segment(sheet.animationSpeedPicker().selectedIndex())
                 .text();
    return parts.join(u", "_s);
}

TEST_F(SettingsViewTest, StartsFromItsOwnValuesAndTheColourRowFollowsTheAccentSwitch)
{
    SettingsView sheet(layout, &undo);
    EXPECT_EQ(sheet.size(), SettingsView::fixedSize);
    EXPECT_EQ(sheet.presenter().values(), SettingsValues());
    EXPECT_EQ(shown(sheet), u"artwork accent, no colour row, 78%, regular, 8px, 100%, Smooth");

    sheet.accentSwitch().click();
    sheet.compactSwitch().click();
    sheet.animationSpeedPicker().segment(0).click();
    EXPECT_EQ(shown(sheet), u"manual accent, colour row, 78%, compact, 8px, 100%, Instant");
    EXPECT_FALSE(sheet.presenter().values().useDynamicAccent);
    EXPECT_EQ(sheet.presenter().values().animationSpeed, 0.0);

    // Nothing leaves the sheet: a new one starts afresh.
    EXPECT_EQ(shown(SettingsView(layout, &undo)),
        u"artwork accent, no colour row, 78%, regular, 8px, 100%, Smooth");
}

TEST_F(SettingsViewTest, SlidersReachTheirEndsAndTruncateTheirTexts)
{
    SettingsView sheet(layout, &undo);
    QStringList ends;
    for (SettingsSlider* slider :
        { &sheet.transparencySlider(), &sheet.cornerRadiusSlider(), &sheet.fontScaleSlider() }) {
        slider->slider().setValue(slider->slider().minimum());
        ends << slider->valueText();
        slider->slider().setValue(slider->slider().maximum());
        ends << slider->valueText();
    }
    EXPECT_EQ(ends.join(u' '), u"40% 100% 0px 16px 80% 120%");
    EXPECT_EQ(sheet.presenter().values().fontSizeScale, 1.2);

    const struct {
        double value;
        const char16_t* percent;
        const char16_t* pixels;
    } cases[] = {
        { 0.78, u"78%", u"0px" },
        { 0.999, u"99%", u"0px" },
        { 0.29, u"29%", u"0px" },
        { 8.9, u"890%", u"8px" },
    };
    for (const auto& each : cases) {
        EXPECT_EQ(SettingsPresenter::percentText(each.value), QString::fromUtf16(each.percent));
        EXPECT_EQ(SettingsPresenter::pixelText(each.value), QString::fromUtf16(each.pixels));
    }
}

TEST_F(SettingsViewTest, ColumnCardChangesTheSharedLayoutWithUndo)
{
    SettingsView sheet(layout, &undo);
    EXPECT_EQ(sheet.columnCountText(), u"12/12");
    EXPECT_FALSE(sheet.restoreButton().isEnabled());

    sheet.columnToggle(ID::artist).click();
    sheet.columnToggle(ID::genre).click();
    EXPECT_EQ(sheet.columnCountText(), u"10/12");
    EXPECT_FALSE(layout.isVisible(ID::artist));
    EXPECT_FALSE(sheet.columnToggle(ID::genre).isChecked());
    EXPECT_TRUE(sheet.restoreButton().isEnabled());
    EXPECT_EQ(undo.undoMenuItemTitle(), u"Undo Remove Song Column");
    undo.undo();
    EXPECT_EQ(sheet.columnCountText(), u"11/12");
    EXPECT_TRUE(sheet.columnToggle(ID::genre).isChecked());

    sheet.restoreButton().click();
    EXPECT_EQ(sheet.columnCountText(), u"12/12");
    EXPECT_EQ(layout.columns(), TrackTableLayoutState::defaultColumns());
    EXPECT_FALSE(sheet.restoreButton().isEnabled());
    EXPECT_EQ(undo.undoMenuItemTitle(), u"Undo Restore Song Columns");
    undo.undo();
    EXPECT_EQ(sheet.columnCountText(), u"11/12");
    EXPECT_FALSE(sheet.columnToggle(ID::artist).isChecked());

    layout.setRecoveryMessage(TrackTableLayoutState::invalidLayoutMessage);
    EXPECT_EQ(sheet.presenter().recoveryMessage(), TrackTableLayoutState::invalidLayoutMessage);
}

} // namespace
