#include "ui/songtable/TrackTableLayoutState.h"
#include "SongTableTestSupport.h"
#include "platform/UndoManager.h"
#include "platform/UserDefaults.h"
#include "ui/songtable/TrackTableHeaderDrags.h"

#include <QMap>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace kivo {
namespace {

using ID = TrackTableColumnID;
const QString key = TrackTableLayoutState::defaultsKey;

class RecordingDefaults : public UserDefaults {
public:
    std::optional<Value> value(const QString& k) const override
    {
        return values.contains(k) ? std::optional(values[k]) : std::nullopt;
    }
    bool setValue(const QString& k, const Value& value) override
    {
        if (failWrites) {
            return false;
        }
        values[k] = value;
        ++writes;
        return true;
    }
    void removeValue(const QString& k) override { values.remove(k); }
    QByteArray stored() const { return dataValue(key).value_or("<none>"_ba); }

    QMap<QString, Value> values;
    int writes = 0;
    bool failWrites = false;
};

// "title artist@300 genre[110]": a fresh column by name, its width when it
// differs from the default, a collapsed one with its expanded width in brackets.
QString describe(const TrackTableColumnLayout& columns)
{
    if (columns == TrackTableLayoutState::defaultColumns()) {
        return u"<default>"_s;
    }
    QStringList parts;
    for (const TrackTableColumnConfiguration& c : columns) {
        QString part = rawValue(c.id);
        if (c.isCollapsed) {
            part += u"[%1]"_s.arg(c.expandedWidth);
            if (c.width != collapsedColumnWidth) {
                part += u"!"_s;
            }
        } else if (c.width != c.expandedWidth) {
            part += u"@%1/%2"_s.arg(c.width).arg(c.expandedWidth);
        } else if (c.width != widthLimits(c.id).defaultWidth) {
            part += u"@%1"_s.arg(c.width);
        }
        parts << part;
    }
    return parts.join(u' ');
}

TrackTableColumnConfiguration column(ID id, double width, double expanded, bool collapsed = false)
{
    return { id, width, expanded, collapsed };
}

TEST(TrackTableColumn, NamesAndSortClicks)
{
    EXPECT_EQ(allTrackTableColumnIDs().size(), 12);
    EXPECT_EQ(rawValue(ID::albumArtist), u"albumArtist");
    EXPECT_EQ(title(ID::trackNumber), u"Track #");
    EXPECT_EQ(symbolName(ID::dateAdded), u"calendar.badge.plus");
    EXPECT_EQ(trackTableColumnIDFromRawValue(u"sampleRate"_s), ID::sampleRate);
    EXPECT_FALSE(trackTableColumnIDFromRawValue(u"Title"_s));
    EXPECT_FALSE(trackTableColumnIDFromRawValue(u"rating"_s));

    const TrackSortOrder byTitleDown { TrackSortField::title, false };
    EXPECT_EQ(sortOrderAfterHeaderClick(ID::title, byTitleDown),
        (TrackSortOrder { TrackSortField::title, true }));
    EXPECT_EQ(sortOrderAfterHeaderClick(ID::format, byTitleDown),
        (TrackSortOrder { TrackSortField::format, true }));
}

TEST(TrackTableLayoutState, NormalisationClampsAndDropsRepeatedColumns)
{
    const double nan = std::nan("");
    const double inf = INFINITY;
    const TrackTableColumnLayout raw { column(ID::title, 10, 1000), column(ID::year, 161, nan),
        column(ID::bitrate, 75.5, 190), column(ID::genre, 80, 80),
        column(ID::artist, 300, 500, true), column(ID::duration, inf, nan),
        column(ID::title, 300, 300), column(ID::format, -inf, 1) };
    EXPECT_EQ(describe(TrackTableLayoutState::normalizedColumns(raw)),
        u"title@120/420 year@160/70 bitrate@76/190 genre@80 artist[320] duration format@80/64");
    EXPECT_TRUE(TrackTableLayoutState::normalizedColumns({}).isEmpty());
    EXPECT_NE(column(ID::title, 220, 220), column(ID::title, 220, 221));
}

TEST(TrackTableLayoutState, LoadingKeepsTheStoredBytesAndRecoversFromBadOnes)
{
    const QString invalid = TrackTableLayoutState::invalidLayoutMessage;
    struct Case {
        std::optional<UserDefaults::Value> stored;
        QString layout;
        QString message;
    };
    const Case cases[] = {
        { std::nullopt, u"<default>"_s, {} },
        { u"[]"_s, u"<default>"_s, {} }, // text, not bytes: reads as absent
        { "[]"_ba, u""_s, {} },
        { R"([{"id":"title","width":10,"expandedWidth":1000,"isCollapsed":false}])"_ba,
            u"title@120/420"_s, {} },
        { R"([{"id":"artist","width":200,"expandedWidth":200,"isCollapsed":false,"x":[1]},)"
          R"({"id":"year","width":1e300,"expandedWidth":70,"isCollapsed":true},)"
          R"({"id":"artist","width":100,"expandedWidth":100,"isCollapsed":false}])"_ba,
            u"artist@200 year[70]"_s, {} },
        { "not json"_ba, u"<default>"_s, invalid },
        { "{}"_ba, u"<default>"_s, invalid },
        { R"([{"id":"year","width":1e400,"expandedWidth":70,"isCollapsed":true}])"_ba,
            u"<default>"_s, invalid },
        { "\xff\xfe"_ba, u"<default>"_s, invalid },
        { R"([{"id":"title","width":220,"expandedWidth":220,"isCollapsed":false},)"
          R"({"id":"rating","width":80,"expandedWidth":80,"isCollapsed":false}])"_ba,
            u"<default>"_s, invalid },
        { R"([{"id":"Title","width":220,"expandedWidth":220,"isCollapsed":false}])"_ba,
            u"<default>"_s, invalid },
        { R"([{"id":"title","width":220,"isCollapsed":false}])"_ba, u"<default>"_s, invalid },
        { R"([{"id":"title","width":null,"expandedWidth":220,"isCollapsed":false}])"_ba,
            u"<default>"_s, invalid },
        { R"([{"id":"title","width":"220","expandedWidth":220,"isCollapsed":false}])"_ba,
            u"<default>"_s, invalid },
        { R"([{"id":"title","width":220,"expandedWidth":220,"isCollapsed":1}])"_ba, u"<default>"_s,
            invalid },
    };
    for (const Case& c : cases) {
        auto defaults = std::make_shared<RecordingDefaults>();
        if (c.stored) {
            defaults->values[key] = *c.stored;
        }
        const TrackTableLayoutState state(defaults);
        const QByteArray label = c.stored ? defaults->stored() : "<none>"_ba;
        EXPECT_EQ(describe(state.columns()), c.layout) << label.constData();
        EXPECT_EQ(state.recoveryMessage(), c.message) << label.constData();
        EXPECT_EQ(defaults->writes, 0) << label.constData();
    }

    auto empty = std::make_shared<RecordingDefaults>();
    empty->values[key] = "[]"_ba;
    EXPECT_EQ(TrackTableLayoutState(empty).totalWidth(), 132);
    EXPECT_EQ(TrackTableLayoutState(std::make_shared<RecordingDefaults>()).totalWidth(), 1532);
}

TEST(TrackTableLayoutState, SavesExactBytesThatSurviveARestart)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(u"settings.json"_s);
    {
        TrackTableLayoutState state(std::make_shared<SettingsUserDefaults>(file));
        state.applyColumns({ column(ID::title, 220, 220), column(ID::genre, 48, 110.25, true) },
            u"Restore Song Columns"_s, nullptr);
        EXPECT_EQ(SettingsUserDefaults(file).dataValue(key),
            R"([{"id":"title","width":220,"expandedWidth":220,"isCollapsed":false},)"
            R"({"id":"genre","width":48,"expandedWidth":110.25,"isCollapsed":true}])"_ba);
        state.setWidth(150.5, ID::artist); // not shown: nothing happens
        state.setWidth(300.5, ID::title);
    }
    const TrackTableLayoutState reloaded(std::make_shared<SettingsUserDefaults>(file));
    EXPECT_EQ(describe(reloaded.columns()), u"title@300.5 genre[110.25]");
    EXPECT_TRUE(reloaded.recoveryMessage().isEmpty());
}

TEST(TrackTableLayoutState, EveryChangeIsSavedAndUndoneUnderItsName)
{
    auto defaults = std::make_shared<RecordingDefaults>();
    UndoManager undo;
    TrackTableLayoutState state(defaults);
    state.applyColumns({ TrackTableLayoutState::freshColumn(ID::title),
                           TrackTableLayoutState::freshColumn(ID::artist),
                           TrackTableLayoutState::freshColumn(ID::duration) },
        {}, nullptr);

    using Step = std::function<void()>;
    const struct {
        Step change;
        QString layout;
        QString actionName;
    } steps[] = {
        { [&] { state.setColumnVisible(ID::year, true, &undo); }, u"title artist year duration"_s,
            u"Show Song Column"_s },
        { [&] { state.setColumnVisible(ID::artist, false, &undo); }, u"title year duration"_s,
            u"Remove Song Column"_s },
        { [&] { state.setWidth(300, ID::title); }, u"title@300 year duration"_s,
            u"Remove Song Column"_s },
        { [&] { state.toggleCollapsed(ID::title, &undo); }, u"title[300] year duration"_s,
            u"Toggle Song Column"_s },
        { [&] { state.toggleCollapsed(ID::title, &undo); }, u"title@300 year duration"_s,
            u"Toggle Song Column"_s },
        { [&] { state.resetWidth(ID::title, &undo); }, u"title year duration"_s,
            u"Reset Song Column Width"_s },
        { [&] { state.moveColumn(ID::duration, ID::title, &undo); }, u"duration title year"_s,
            u"Reorder Song Columns"_s },
        { [&] { state.moveColumn(ID::duration, ID::year, &undo); }, u"title year duration"_s,
            u"Reorder Song Columns"_s },
        { [&] { // a width drag: live steps, then one undo step
             const TrackTableColumnLayout start = state.columns();
             state.toggleCollapsed(ID::year, nullptr);
             state.setWidth(1000, ID::year);
             state.setWidth(100, ID::year);
             state.registerUndo(start, u"Resize Song Column"_s, &undo);
         },
            u"title year@100 duration"_s, u"Resize Song Column"_s },
        { [&] {
             state.applyColumns(
                 TrackTableLayoutState::defaultColumns(), u"Restore Song Columns"_s, &undo);
         },
            u"<default>"_s, u"Restore Song Columns"_s },
        { [&] { state.setColumnVisible(ID::duration, false, &undo); },
            u"title artist album albumArtist genre year trackNumber bitrate sampleRate format "
            u"dateAdded"_s,
            u"Remove Song Column"_s },
    };
    QStringList layouts { describe(state.columns()) };
    for (const auto& step : steps) {
        const int writes = defaults->writes;
        step.change();
        EXPECT_EQ(describe(state.columns()), step.layout);
        EXPECT_EQ(undo.undoActionName(), step.actionName) << step.layout.toStdString();
        EXPECT_GT(defaults->writes, writes);
        EXPECT_EQ(defaults->stored(), encodeColumnLayout(state.columns()));
        layouts << step.layout;
    }

    // Nothing that leaves the layout as it is saves or registers anything.
    QSignalSpy undoChanges(&undo, &UndoManager::stateChanged);
    const int writes = defaults->writes;
    state.setColumnVisible(ID::title, true, &undo);
    state.setColumnVisible(ID::duration, false, &undo);
    state.toggleCollapsed(ID::duration, &undo);
    state.resetWidth(ID::duration, &undo);
    state.resetWidth(ID::title, &undo);
    state.moveColumn(ID::title, ID::title, &undo);
    state.moveColumn(ID::duration, ID::title, &undo);
    state.setWidth(500, ID::duration);
    state.registerUndo(state.columns(), u"Resize Song Column"_s, &undo);
    TrackTableColumnLayout same = state.columns();
    same.push_back(column(ID::title, 1, 1)); // normalises away
    state.applyColumns(same, u"Restore Song Columns"_s, &undo);
    EXPECT_EQ(defaults->writes, writes);
    EXPECT_EQ(undoChanges.count(), 0);

    for (qsizetype i = layouts.size() - 2; i >= 0; --i) {
        if (i == 2) {
            continue; // the live resize had no step: undoing the hide skips it
        }
        undo.undo();
        EXPECT_EQ(describe(state.columns()), layouts[i]) << i;
        EXPECT_EQ(defaults->stored(), encodeColumnLayout(state.columns()));
    }
    EXPECT_FALSE(undo.canUndo());
    EXPECT_EQ(undo.redoActionName(), u"Show Song Column");
    undo.redo();
    EXPECT_EQ(describe(state.columns()), u"title artist year duration");
    EXPECT_EQ(undo.undoActionName(), u"Show Song Column");
}

TEST(TrackTableLayoutState, AFailedSaveKeepsTheChangeAndSaysSo)
{
    auto defaults = std::make_shared<RecordingDefaults>();
    TrackTableLayoutState state(defaults);
    defaults->failWrites = true;
    QSignalSpy messages(&state, &TrackTableLayoutState::recoveryMessageChanged);
    state.setColumnVisible(ID::genre, false, nullptr);
    EXPECT_FALSE(state.isVisible(ID::genre));
    EXPECT_EQ(state.recoveryMessage(),
        u"The song-column layout could not be saved: The settings file could not be written.");
    EXPECT_EQ(defaults->stored(), "<none>"_ba);
    EXPECT_EQ(messages.count(), 1);
    state.setRecoveryMessage({});
    EXPECT_TRUE(state.recoveryMessage().isEmpty());
}

TEST(TrackTableHeaderDrags, OnlyThisHeadersColumnsMoveAndADragResizesInOneStep)
{
    UndoManager undo;
    TrackTableLayoutState state(std::make_shared<RecordingDefaults>());
    state.applyColumns({ TrackTableLayoutState::freshColumn(ID::title),
                           TrackTableLayoutState::freshColumn(ID::artist),
                           TrackTableLayoutState::freshColumn(ID::duration) },
        {}, nullptr);
    TrackTableHeaderDrags drags(state, &undo);

    EXPECT_FALSE(drags.drop(ID::title, true)); // no drag under way
    EXPECT_EQ(drags.beginReorderDrag(ID::artist), u"artist");
    EXPECT_FALSE(drags.drop(ID::title, false)); // text from elsewhere
    EXPECT_TRUE(drags.drop(ID::duration, true));
    drags.endReorderDrag();
    EXPECT_EQ(describe(state.columns()), u"title duration artist");
    EXPECT_EQ(undo.undoActionName(), u"Reorder Song Columns");

    drags.beginReorderDrag(ID::title);
    drags.endReorderDrag(); // cancelled: a later drop finds nothing to move
    EXPECT_FALSE(drags.acceptsDrop(true));
    EXPECT_FALSE(drags.drop(ID::artist, true));
    drags.beginReorderDrag(ID::title);
    EXPECT_TRUE(drags.drop(ID::title, true)); // onto itself: nothing moves
    EXPECT_FALSE(drags.draggingColumn());
    EXPECT_EQ(describe(state.columns()), u"title duration artist");

    QSignalSpy steps(&undo, &UndoManager::stateChanged);
    for (const double translation : { 20.0, 100.0, 200.0 }) {
        drags.resizeDragMoved(ID::artist, translation);
    }
    EXPECT_EQ(describe(state.columns()), u"title duration artist@320");
    drags.resizeDragEnded();
    EXPECT_EQ(steps.count(), 1);
    EXPECT_EQ(undo.undoActionName(), u"Resize Song Column");
    drags.resizeDragMoved(ID::artist, 5);
    drags.resizeDragMoved(ID::artist, 0);
    drags.resizeDragEnded(); // back where it started: no step
    EXPECT_EQ(steps.count(), 1);
    drags.resizeDragMoved(ID::artist, std::nan(""));
    drags.resizeDragEnded();
    EXPECT_EQ(describe(state.columns()), u"title duration artist");
    undo.undo();
    undo.undo();
    EXPECT_EQ(describe(state.columns()), u"title duration artist");
    undo.undo();
    EXPECT_EQ(describe(state.columns()), u"title artist duration");
}

} // namespace
} // namespace kivo
