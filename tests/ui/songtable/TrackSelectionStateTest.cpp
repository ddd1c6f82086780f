#include "ui/songtable/TrackSelectionState.h"
#include "SongTableTestSupport.h"

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace kivo {
namespace {

using Mode = TrackSelectionMode;

// Rows named by single letters; "abcde" is five songs, "abca" lists a twice.
QUuid id(char16_t name)
{
    return QUuid::fromString(
        u"00000000-0000-0000-0000-0000000000%1"_s.arg(int(name), 2, 16, QLatin1Char('0')));
}

QList<QUuid> rows(const QString& names)
{
    QList<QUuid> ids;
    for (const QChar name : names) {
        ids.push_back(id(name.unicode()));
    }
    return ids;
}

// "{a b c} @c": the selection in name order and the anchor.
QString describe(const TrackSelectionState& state)
{
    QString names;
    for (char16_t c = u'a'; c <= u'z'; ++c) {
        if (state.isSelected(id(c))) {
            names += (names.isEmpty() ? u""_s : u" "_s) + QChar(c);
        }
    }
    QString anchor = u"-"_s;
    for (char16_t c = u'a'; c <= u'z'; ++c) {
        if (state.anchorID() == id(c)) {
            anchor = QChar(c);
        }
    }
    return u"{"_s + names + u"} @"_s + anchor;
}

TEST(TrackSelectionState, ClicksFollowTheirModesAndPivotOnTheAnchor)
{
    const QList<QUuid> abcde = rows(u"abcde"_s);
    struct Click {
        QString list;
        char16_t row;
        Mode mode;
        QString expected;
    };
    // Each sequence starts from an empty selection.
    const std::vector<std::vector<Click>> sequences {
        { { u"abcde"_s, u'c', Mode::single, u"{c} @c"_s },
            { u"abcde"_s, u'e', Mode::range, u"{c d e} @c"_s },
            { u"abcde"_s, u'a', Mode::range, u"{a b c} @c"_s } },
        { { u"abcde"_s, u'a', Mode::single, u"{a} @a"_s },
            { u"abcde"_s, u'd', Mode::rangeAdding, u"{a b c d} @a"_s },
            { u"abcde"_s, u'b', Mode::toggle, u"{a c d} @b"_s }, // deselected, still the anchor
            { u"abcde"_s, u'e', Mode::range, u"{b c d e} @b"_s } },
        // No anchor yet: a range click is a plain click, a range-adding one a toggle.
        { { u"abcde"_s, u'd', Mode::range, u"{d} @d"_s } },
        { { u"abcde"_s, u'd', Mode::rangeAdding, u"{d} @d"_s },
            { u"abcde"_s, u'b', Mode::rangeAdding, u"{b c d} @d"_s } },
        // Rows that left the list are pruned first and a lost anchor moves.
        { { u"abcde"_s, u'b', Mode::single, u"{b} @b"_s },
            { u"abcde"_s, u'd', Mode::toggle, u"{b d} @d"_s },
            { u"abcde"_s, u'b', Mode::rangeAdding, u"{b c d} @d"_s },
            { u"ace"_s, u'e', Mode::range, u"{c e} @c"_s } },
        { { u"abcde"_s, u'b', Mode::single, u"{b} @b"_s },
            { u"ac"_s, u'c', Mode::range, u"{c} @c"_s } },
    };
    for (const auto& sequence : sequences) {
        TrackSelectionState state;
        for (const Click& click : sequence) {
            const QList<QUuid> list = rows(click.list);
            state.select(id(click.row), list, click.mode);
            EXPECT_EQ(describe(state), click.expected) << click.list.toStdString();
        }
    }

    // A song listed twice: the range runs between the rows actually clicked.
    TrackSelectionState twice;
    const QList<QUuid> abcab = rows(u"abcab"_s);
    twice.select(3, abcab, Mode::single); // the second a
    twice.select(4, abcab, Mode::range);
    EXPECT_EQ(describe(twice), u"{a b} @a");
    twice.select(2, abcab, Mode::range);
    EXPECT_EQ(describe(twice), u"{a c} @a");
    twice.select(99, abcab, Mode::single); // no such row
    EXPECT_EQ(describe(twice), u"{a c} @a");

    TrackSelectionState other; // an id that is not listed falls back to the plain rule
    other.select(id(u'a'), abcde, Mode::single);
    other.select(id(u'z'), abcde, Mode::range);
    EXPECT_EQ(describe(other), u"{z} @z");
}

TEST(TrackSelectionState, SelectAllDeselectAndEquality)
{
    TrackSelectionState state;
    state.selectAll({});
    EXPECT_EQ(describe(state), u"{} @-");
    state.selectAll(rows(u"abcde"_s));
    EXPECT_EQ(describe(state), u"{a b c d e} @a");
    state.select(id(u'c'), rows(u"abcde"_s), Mode::range);
    EXPECT_EQ(describe(state), u"{a b c} @a");

    state.deselect(id(u'b')); // not the anchor: it stays
    EXPECT_EQ(describe(state), u"{a c} @a");
    state.deselect(id(u'a')); // the anchor moves to what remains
    EXPECT_EQ(describe(state), u"{c} @c");
    state.deselect(id(u'c'));
    EXPECT_EQ(describe(state), u"{} @-");

    TrackSelectionState a;
    TrackSelectionState b;
    a.select(id(u'a'), rows(u"ab"_s), Mode::single);
    a.select(id(u'b'), rows(u"ab"_s), Mode::toggle);
    b.selectAll(rows(u"ab"_s));
    EXPECT_EQ(a.selectedIDs(), b.selectedIDs());
    EXPECT_FALSE(a == b); // anchors b and a
    a.clear();
    EXPECT_TRUE(a == TrackSelectionState());

    EXPECT_EQ(selectionModeFor(Qt::NoModifier | Qt::AltModifier), Mode::single);
    EXPECT_EQ(selectionModeFor(Qt::ControlModifier | Qt::MetaModifier), Mode::toggle);
    EXPECT_EQ(selectionModeFor(Qt::ShiftModifier), Mode::range);
    EXPECT_EQ(selectionModeFor(Qt::ShiftModifier | Qt::ControlModifier), Mode::rangeAdding);
}

TEST(TrackSelectionState, TheLeadIsTheRowLastClickedAndGoesWithItsSong)
{
    const QList<QUuid> abca = rows(u"abca"_s);
    TrackSelectionState state;
    EXPECT_EQ(state.leadRow(abca), -1);
    state.select(3, abca, Mode::single); // the second a: that very row
    EXPECT_EQ(state.leadRow(abca), 3);
    state.select(1, abca, Mode::range); // a Shift-click moves the lead, not the anchor
    EXPECT_EQ(state.leadRow(abca), 1);
    EXPECT_EQ(describe(state), u"{a b c} @a");
    state.select(2, abca, Mode::toggle); // a Ctrl-click leads even when it deselects
    EXPECT_EQ(state.leadRow(abca), 2);
    EXPECT_EQ(state.leadRow(rows(u"cab"_s)), 0); // re-sorted: the lead follows its song
    state.selectAll(abca);
    EXPECT_EQ(state.leadRow(abca), 3); // the keys go on from the end
    state.retainVisible({ id(u'b') });
    EXPECT_EQ(state.leadRow(rows(u"b"_s)), -1);
    state.selectAll(abca);
    state.clear();
    EXPECT_EQ(state.leadRow(abca), -1);
}

} // namespace
} // namespace kivo
