#include "LibraryFakes.h"
#include "engines/library/PlaylistEngine.h"
#include "ui/eon/EonSymbolButton.h"
#include "ui/library/SmartPlaylistSetupPresenter.h"
#include "ui/library/SmartPlaylistSetupView.h"
#include "ui/library/SmartRuleRowView.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>
#include <stdexcept>

using namespace Qt::Literals::StringLiterals;

namespace kivo::test {
namespace {

// Records smart playlist creations; fails them while `failing` is set.
class RecordingPlaylistEngine : public PlaylistEngine {
public:
    QStringList created; // "name|criteria|parent"
    bool failing = false;

    Playlist createSmartPlaylist(
        const QString& name, const QString& criteria, const std::optional<QUuid>& parent) override
    {
        if (failing) {
            throw std::runtime_error("The playlist store could not be written.");
        }
        created.append(name + u'|' + criteria + u'|' + (parent ? u"folder"_s : u"top"_s));
        return {};
    }
    QList<Playlist> rootPlaylists() const override { return {}; }
    Playlist createPlaylist(const QString&, const std::optional<QUuid>&) override { return {}; }
    Playlist createFolder(const QString&, const std::optional<QUuid>&) override { return {}; }
    void rename(const QUuid&, const QString&) override { }
    Playlist duplicate(const QUuid&) override { return {}; }
    void deletePlaylist(const QUuid&) override { }
    void addTracks(const QList<Track>&, const QUuid&) override { }
    void removeTracks(const QList<qsizetype>&, const QUuid&) override { }
    void move(const QUuid&, const std::optional<QUuid>&, qint64) override { }
    void toggleFavorite(const QUuid&) override { }
    void updateMetadata(const QUuid&, const std::optional<QString>&, const QStringList&) override {
    }
    void queuePlaylist(const QUuid&) override { }
    std::optional<Playlist> getPlaylist(const QUuid&) const override { return std::nullopt; }
    QList<Track> getTracks(const QUuid&) const override { return {}; }
};

class SmartPlaylistSetupTest : public testing::Test {
protected:
    RecordingPlaylistEngine engine;
    int cancels = 0;
    SmartPlaylistSetupPresenter presenter { engine, [this] { ++cancels; } };
};

TEST_F(SmartPlaylistSetupTest, CreateNeedsANameAsStoredAndOneRuleStaysRemovable)
{
    EXPECT_EQ(presenter.playlistName(), u"Untitled Smart Playlist");
    EXPECT_TRUE(presenter.matchAllRules());
    ASSERT_EQ(presenter.rules().size(), 1);
    EXPECT_EQ(smartCriteriaText(presenter.rules(), true), u"Artist contains ");
    EXPECT_TRUE(presenter.canCreate());
    EXPECT_FALSE(presenter.canRemoveRules());

    presenter.setPlaylistName(u""_s);
    EXPECT_FALSE(presenter.canCreate());
    EXPECT_FALSE(presenter.create());
    presenter.setPlaylistName(u" "_s);
    EXPECT_TRUE(presenter.canCreate());

    presenter.addRule();
    EXPECT_TRUE(presenter.canRemoveRules());
    const QUuid first = presenter.rules()[0].id;
    presenter.removeRule(first);
    EXPECT_EQ(presenter.rules().size(), 1);
    EXPECT_NE(presenter.rules()[0].id, first);
    EXPECT_FALSE(presenter.canRemoveRules());
    EXPECT_TRUE(engine.created.isEmpty());
    EXPECT_EQ(cancels, 0);
}

TEST_F(SmartPlaylistSetupTest, CreateHandsTheCriteriaOverAndAFailureKeepsEverythingForARetry)
{
    presenter.setPlaylistName(u"  Late Night "_s);
    presenter.setMatchAllRules(false);
    presenter.addRule();
    SmartRule second = presenter.rules()[1];
    second.property = SmartRuleProperty::genre;
    second.condition = SmartRuleCondition::isExactly;
    second.value = u"Jazz"_s;
    presenter.updateRule(second);

    engine.failing = true;
    testing::internal::CaptureStdout();
    EXPECT_FALSE(presenter.create());
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
        "Failed to create smart playlist: The playlist store could not be written.\n");
    EXPECT_EQ(cancels, 0);
    EXPECT_EQ(presenter.rules().size(), 2);

    engine.failing = false;
    EXPECT_TRUE(presenter.create());
    EXPECT_EQ(
        engine.created, QStringList { u"  Late Night |Artist contains  OR Genre is Jazz|top"_s });
    EXPECT_EQ(cancels, 1);
    EXPECT_EQ(presenter.playlistName(), u"  Late Night "); // nothing is reset

    SmartPlaylistSetupPresenter withoutHost(engine);
    withoutHost.cancel(); // nothing to call
    EXPECT_TRUE(withoutHost.create());
}

TEST_F(SmartPlaylistSetupTest, TheSheetEditsThroughItsControls)
{
    SmartPlaylistSetupView sheet(presenter);
    sheet.show();
    EXPECT_EQ(sheet.size(), QSize(550, 480));
    EXPECT_EQ(sheet.nameField()->text(), u"Untitled Smart Playlist");
    ASSERT_EQ(sheet.ruleRows().size(), 1);
    EXPECT_FALSE(sheet.ruleRows()[0]->removeButton()->isEnabled());

    sheet.nameField()->selectAll();
    QTest::keyClick(sheet.nameField(), Qt::Key_Backspace);
    EXPECT_FALSE(sheet.createButton()->isEnabled());
    QTest::keyClicks(sheet.nameField(), u"Focus"_s);
    EXPECT_TRUE(sheet.createButton()->isEnabled());

    sheet.matchPicker()->setCurrentIndex(1);
    QTest::mouseClick(sheet.addRuleButton(), Qt::LeftButton);
    ASSERT_EQ(sheet.ruleRows().size(), 2);
    EXPECT_TRUE(sheet.ruleRows()[0]->removeButton()->isEnabled());
    SmartRuleRowView* row = sheet.ruleRows()[1];
    QStringList properties;
    for (int i = 0; i < row->propertyPicker()->count(); ++i) {
        properties.append(row->propertyPicker()->itemText(i));
    }
    EXPECT_EQ(properties.join(u'|'), u"Artist|Album|Genre|Year|BPM|Rating|Play Count|Date Added");
    row->propertyPicker()->setCurrentIndex(3);
    row->conditionPicker()->setCurrentIndex(4);
    QTest::keyClicks(row->valueField(), u"1990"_s);

    QTest::mouseClick(sheet.ruleRows()[0]->removeButton(), Qt::LeftButton);
    QCoreApplication::processEvents();
    ASSERT_EQ(sheet.ruleRows().size(), 1);
    EXPECT_FALSE(sheet.ruleRows()[0]->removeButton()->isEnabled());

    QTest::mouseClick(sheet.createButton(), Qt::LeftButton);
    EXPECT_EQ(engine.created, QStringList { u"Focus|Year < 1990|top"_s });
    EXPECT_EQ(cancels, 1);
    QTest::mouseClick(sheet.cancelButton(), Qt::LeftButton);
    EXPECT_EQ(cancels, 2);
}

} // namespace
} // namespace kivo::test
