#include "ui/editing/SongArtworkEditor.h"
#include "EditingFakes.h"

#include <gtest/gtest.h>

using namespace kivo;
using namespace kivo::test;
using namespace Qt::Literals::StringLiterals;

namespace {

QString text(const std::optional<QByteArray>& bytes)
{
    return bytes ? QString::fromUtf8(*bytes) : u"none"_s;
}

QString planText(const ArtworkCommit& plan)
{
    switch (plan.kind) {
    case ArtworkCommit::Kind::store:
        return u"store:"_s + QString::fromUtf8(plan.data);
    case ArtworkCommit::Kind::evict:
        return u"evict"_s;
    case ArtworkCommit::Kind::nothing:
        break;
    }
    return u"nothing"_s;
}

struct Fixture {
    ScriptedArtworkCache cache;
    FakeMetadataEngine metadata;
    Track track = sampleTrack();

    std::unique_ptr<SongArtworkEditor> editor()
    {
        return std::make_unique<SongArtworkEditor>(track, cache, metadata, fakeLoad);
    }
};

} // namespace

TEST(SongArtworkEditor, LoadsFromTheCacheThenTheFile)
{
    struct Case {
        const char* cached;
        const char* embedded;
        bool broken;
        const char* shown;
        const char* cacheCalls;
    };
    const Case cases[] = {
        { "cached", "embedded", false, "cached", "" },
        { nullptr, "embedded", false, "embedded", "store:embedded" },
        { nullptr, nullptr, false, "none", "" },
        { nullptr, "embedded", true, "none", "" },
    };
    for (const Case& c : cases) {
        Fixture f;
        if (c.cached) {
            f.cache.artwork.insert(f.track.id, c.cached);
        }
        if (c.embedded) {
            f.metadata.embedded.insert(f.track.fileURL, c.embedded);
        }
        f.metadata.broken = c.broken;
        auto editor = f.editor();
        QCoro::waitFor(editor->load());
        EXPECT_EQ(text(editor->artworkData()), QString::fromUtf8(c.shown));
        EXPECT_EQ(text(editor->initialArtworkData()), QString::fromUtf8(c.shown));
        EXPECT_EQ(f.cache.calls.join(u' '), QString::fromUtf8(c.cacheCalls));
    }
}

TEST(SongArtworkEditor, CommitTable)
{
    // (loaded artwork, user action) -> what Save does to the cache
    struct Case {
        const char* loaded;
        std::function<void(SongArtworkEditor&)> act;
        const char* plan;
    };
    auto pick = [](const char* name) {
        return [name](SongArtworkEditor& e) { QCoro::waitFor(e.choose(picked(name))); };
    };
    auto nothing = [](SongArtworkEditor&) {};
    auto remove = [](SongArtworkEditor& e) { e.remove(); };
    const Case cases[] = {
        { "old", nothing, "nothing" },
        { nullptr, nothing, "nothing" },
        { nullptr, pick("new.png"), "store:new.png" },
        { "old", pick("new.png"), "store:new.png" },
        { "old", remove, "evict" },
        { nullptr, remove, "nothing" },
        { "same.png",
            [&](SongArtworkEditor& e) {
                e.remove();
                pick("same.png")(e);
            },
            "nothing" },
        { nullptr,
            [&](SongArtworkEditor& e) {
                pick("first.png")(e);
                pick("second.png")(e);
            },
            "store:second.png" },
    };
    for (const Case& c : cases) {
        Fixture f;
        if (c.loaded) {
            f.cache.artwork.insert(f.track.id, c.loaded);
        }
        auto editor = f.editor();
        QCoro::waitFor(editor->load());
        c.act(*editor);
        EXPECT_EQ(planText(editor->commitPlan()), QString::fromUtf8(c.plan));
    }
}

TEST(SongArtworkEditor, AFailedChoiceKeepsTheArtwork)
{
    for (const char* name : { "big.png", "wide.png", "notes.png", "gone.png" }) {
        Fixture f;
        f.cache.artwork.insert(f.track.id, "old");
        auto editor = f.editor();
        QCoro::waitFor(editor->load());
        QCoro::waitFor(editor->choose(picked(name)));
        EXPECT_EQ(text(editor->artworkData()), u"old"_s) << name;
        EXPECT_EQ(planText(editor->commitPlan()), u"nothing"_s) << name;
    }
}

TEST(SongArtworkEditor, ALateInitialLoadNeverOverwritesTheUsersChoice)
{
    for (const bool removes : { false, true }) {
        Fixture f;
        f.cache.artwork.insert(f.track.id, "old");
        auto editor = f.editor();
        QCoro::Task<> loading = editor->load(); // still waiting on the cache
        if (removes) {
            editor->remove();
        } else {
            QCoro::Task<> choosing = editor->choose(picked("new.png"));
            QCoro::waitFor(std::move(choosing));
        }
        QCoro::waitFor(std::move(loading));
        EXPECT_EQ(text(editor->artworkData()), removes ? u"none"_s : u"new.png"_s);
        EXPECT_EQ(text(editor->initialArtworkData()), u"old"_s);
        EXPECT_EQ(planText(editor->commitPlan()), removes ? u"evict"_s : u"store:new.png"_s);
    }
}

TEST(SongArtworkEditor, ArtworkIsCommittedOnlyAfterTheLibraryAcceptedTheSave)
{
    for (const bool accepted : { true, false }) {
        Fixture f;
        auto editor = f.editor();
        QCoro::waitFor(editor->load());
        QCoro::waitFor(editor->choose(picked("new.png")));
        QStringList order;
        auto save = [&](Track) -> QCoro::Task<bool> {
            order << u"save"_s;
            QCoro::Task<> turn = oneTurn();
            co_await std::move(turn);
            co_return accepted;
        };
        const bool result
            = QCoro::waitFor(saveThenCommitArtwork(save, f.track, editor->commitPlan(), &f.cache));
        order += f.cache.calls;
        EXPECT_EQ(result, accepted);
        EXPECT_EQ(order.join(u' '), accepted ? u"save store:new.png"_s : u"save"_s);
    }
}

TEST(SongArtworkEditor, StoreFailuresAreSilent)
{
    Fixture f;
    f.cache.failingWrites = { 1, 2 };
    f.metadata.embedded.insert(f.track.fileURL, "embedded");
    auto editor = f.editor();
    QCoro::waitFor(editor->load());
    EXPECT_EQ(text(editor->artworkData()), u"embedded"_s);
    QCoro::waitFor(editor->choose(picked("new.png")));
    QCoro::waitFor(SongArtworkEditor::commit(&f.cache, editor->commitPlan(), f.track));
    EXPECT_EQ(f.cache.calls.join(u' '), u"store:embedded store:new.png"_s);
}
