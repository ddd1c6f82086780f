#include "PlayerFakes.h"
#include "ui/player/PlayerBarPresenter.h"
#include "ui/player/PlayerPressStyle.h"
#include "ui/player/PlayerTransportState.h"
#include "ui/player/PlayerVolumePresenter.h"
#include "ui/player/QueueListModel.h"
#include "ui/player/WaveformSeekGeometry.h"

#include "support/ModelChecks.h"
#include <QImage>
#include <gtest/gtest.h>
#include <limits>

using namespace Qt::Literals::StringLiterals;

namespace kivo::test {
namespace {

namespace ws = waveformseek;
constexpr double inf = std::numeric_limits<double>::infinity();
constexpr double nan = std::numeric_limits<double>::quiet_NaN();

TEST(PlayerPressStyle, SpringSettlesOnThePressAndDarkensByCoverage)
{
    const QEasingCurve spring = PlayerPressStyle::springCurve();
    EXPECT_DOUBLE_EQ(spring.valueForProgress(0), 0);
    EXPECT_DOUBLE_EQ(spring.valueForProgress(1), 1);
    double highest = 0;
    for (int i = 0; i <= 100; ++i) {
        highest = std::max(highest, spring.valueForProgress(i / 100.0));
    }
    // Damped below critical: a small overshoot, then it settles.
    EXPECT_GT(highest, 1.0);
    EXPECT_LT(highest, 1.1);
    EXPECT_NEAR(spring.valueForProgress(0.99), 1.0, 0.002);
    EXPECT_DOUBLE_EQ(PlayerPressStyle::scale(1), 0.93);

    // Premultiplied: a half-covered pixel darkens by half as much.
    QImage layer(3, 1, QImage::Format_ARGB32_Premultiplied);
    auto* pixels = reinterpret_cast<QRgb*>(layer.scanLine(0));
    pixels[0] = qRgba(255, 255, 255, 255);
    pixels[1] = qRgba(100, 100, 100, 128);
    pixels[2] = qRgba(0, 0, 0, 0);
    PlayerPressStyle::darken(layer, PlayerPressStyle::pressedDarkening);
    EXPECT_EQ(pixels[0], qRgba(235, 235, 235, 255));
    EXPECT_EQ(pixels[1], qRgba(90, 90, 90, 128));
    EXPECT_EQ(pixels[2], qRgba(0, 0, 0, 0));
}

TEST(WaveformSeekGeometry, BarsFollowCanvasWidthAndPeaks)
{
    const QList<float> peaks360(360, 0.5f);
    struct Case {
        QList<float> peaks;
        double width;
        qsizetype count;
        double barWidth;
        qsizetype lastSample;
    };
    for (const Case& c : {
             Case { peaks360, 600, 200, 1.68, 359 },
             Case { peaks360, 1200, 360, 3.3333 * 0.56, 359 },
             Case { peaks360, 2, 1, 1.12, 0 }, // n = 0 still draws one bar
             Case { { 0.2f, 0.9f }, 800, 2, 2.4, 1 },
             Case { {}, 600, 96, 2.4, 95 }, // the placeholder
         }) {
        const QList<ws::Bar> bars = ws::bars(c.peaks, c.width, 20, 0);
        ASSERT_EQ(bars.size(), c.count) << c.width;
        EXPECT_NEAR(bars[0].rect.width(), c.barWidth, 0.01) << c.width;
        EXPECT_EQ(bars.last().sampleIndex, c.lastSample) << c.width;
    }
    const QList<ws::Bar> bars = ws::bars(peaks360, 600, 20, 0);
    EXPECT_EQ(bars[100].sampleIndex, qsizetype(100.0 / 199 * 359));
    EXPECT_NEAR(bars[1].rect.left() - bars[0].rect.left(), 3.0, 1e-9);
    EXPECT_TRUE(bars[0].played); // fraction 0 tints the first bar only
    EXPECT_FALSE(bars[1].played);
    // Two bars sit at positions 0 and 1.
    EXPECT_EQ(ws::bars({ 0.2f, 0.9f }, 800, 20, 0)[1].position, 1.0);
}

TEST(WaveformSeekGeometry, HeightsPlaceholderAndUnusableInput)
{
    const QList<ws::Bar> bars = ws::bars({ 0.0f, 1.5f, float(nan) }, 900, 40, 1);
    EXPECT_NEAR(bars[0].rect.height(), 40 * 0.08 * 0.82, 1e-6);
    EXPECT_NEAR(bars[1].rect.height(), 40 * 0.82, 1e-6);
    EXPECT_NEAR(bars[2].rect.height(), 40 * 0.08 * 0.82, 1e-6); // a non-finite peak is silence
    EXPECT_NEAR(ws::bars({ 1.0f }, 9, 20, 0)[0].rect.height(), 16.4, 1e-6);
    EXPECT_NEAR(ws::bars({ 0.0f }, 9, 1, 0)[0].rect.height(), 2.0, 1e-9);
    EXPECT_NEAR(ws::placeholderPeaks()[0], 0.12f, 1e-6);
    EXPECT_NEAR(ws::placeholderPeaks()[4], std::abs(std::sin(0.38 * 4)) * 0.18 + 0.12, 1e-6);
    EXPECT_EQ(ws::placeholderPeaks().size(), 96);
    for (const double width : { inf, nan, 0.0, -5.0 }) {
        EXPECT_TRUE(ws::bars({ 0.5f }, width, 20, 0).isEmpty()) << width;
    }
}

TEST(WaveformSeekGeometry, SeekFractionsFromPressDragRelease)
{
    EXPECT_EQ(ws::seekFraction(50, 200), 0.25);
    EXPECT_EQ(ws::seekFraction(-10, 200), 0);
    EXPECT_EQ(ws::seekFraction(300, 200), 1);
    EXPECT_EQ(ws::seekFraction(nan, 200), 0);
    EXPECT_EQ(ws::seekFraction(10, 0), 0);
    EXPECT_EQ(ws::seekFraction(10, inf), 0);

    ws::Scrub scrub;
    EXPECT_EQ(scrub.press(100, 200, 200), 100);
    EXPECT_EQ(scrub.scrubProgress(), 0.5);
    EXPECT_EQ(scrub.displayedFraction(0.1), 0.5);
    EXPECT_EQ(scrub.drag(500, 200, 200), 200);
    EXPECT_EQ(scrub.release(100, 200, 200), 100);
    EXPECT_FALSE(scrub.scrubProgress());
    EXPECT_EQ(scrub.displayedFraction(0.1), 0.1);
    EXPECT_EQ(scrub.press(100, 200, nan), 0); // no usable duration sends 0

    EXPECT_EQ(ws::accessibilityStep(-1, 3.0 / 200, 200), 0);
    EXPECT_EQ(ws::accessibilityStep(+1, 198.0 / 200, 200), 200);
    EXPECT_EQ(ws::accessibilityStep(+1, 0.5, 200), 105);
    EXPECT_EQ(ws::playheadOffset(0, 300), 4);
    EXPECT_EQ(ws::bubbleOffset(0, 300), 0);
    EXPECT_EQ(ws::bubbleOffset(1, 300), 250);
}

struct BarFixture : ::testing::Test {
    ScriptedAudioEngine audio;
    ScriptedQueueEngine queue;
    ScriptedLibraryEngine library;
    FakeWaveformGenerator waveforms;
};

TEST_F(BarFixture, LayoutRulesAndDisplayedCopy)
{
    EXPECT_EQ(PlayerBarPresenter::leftBlockWidth(900), 220);
    EXPECT_NEAR(PlayerBarPresenter::leftBlockWidth(1100), 242, 1e-9);
    EXPECT_EQ(PlayerBarPresenter::leftBlockWidth(1400), 290);
    EXPECT_FALSE(PlayerBarPresenter::showsVolume(1019));
    EXPECT_TRUE(PlayerBarPresenter::showsVolume(1020));

    PlayerBarPresenter bar(audio, queue, library, waveforms);
    Track played = song(u"Old title"_s, 180);
    Track edited = played;
    edited.title = u"New title"_s;
    library.tracks = { song(u"Other"_s), edited };
    EXPECT_EQ(bar.displayTrack(played).title, u"New title");
    library.tracks.clear();
    EXPECT_EQ(bar.displayTrack(played).title, u"Old title");

    audio.engineDuration = 170; // the stored duration is longer: it wins
    EXPECT_EQ(bar.displayDuration(played), 180);
    audio.engineDuration = 190;
    EXPECT_EQ(bar.displayDuration(played), 190);
    audio.engineDuration = 0;
    played.duration = 0;
    EXPECT_EQ(bar.displayDuration(played), 0);
    bar.seek(12.5);
    EXPECT_EQ(audio.calls, QStringList { u"seek:12.5"_s });
}

TEST_F(BarFixture, PlaybackErrorWinsAndDismissClearsBoth)
{
    PlayerBarPresenter bar(audio, queue, library, waveforms);
    EXPECT_FALSE(bar.issueMessage());
    queue.persistenceError = std::make_exception_ptr(std::runtime_error("Disk full"));
    EXPECT_EQ(bar.issueMessage(), u"Disk full"_s);
    queue.playbackError = std::make_exception_ptr(AudioPlaybackError::audioEngineUnavailable());
    EXPECT_EQ(bar.issueMessage(), AudioPlaybackError::audioEngineUnavailable().errorDescription());
    bar.dismissIssue();
    EXPECT_FALSE(bar.issueMessage());

    EXPECT_FALSE(bar.isQueueVisible());
    bar.toggleQueue();
    EXPECT_TRUE(bar.isQueueVisible());
}

TEST_F(BarFixture, OnlyTheNewestWaveformRunChangesTheBar)
{
    const Track first = song(u"First"_s);
    const Track second = song(u"Second"_s);
    PlayerBarPresenter bar(audio, queue, library, waveforms);
    EXPECT_FALSE(bar.isWaveformLoading());

    audio.setCurrent(first);
    EXPECT_TRUE(bar.isWaveformLoading());
    audio.setCurrent(first); // same song: no new run
    ASSERT_EQ(waveforms.runs.size(), 1);
    audio.setCurrent(second);
    ASSERT_EQ(waveforms.runs.size(), 2);

    // The first song's run finishing late, or failing, changes nothing.
    waveforms.finish(0, { 0.9f });
    EXPECT_TRUE(bar.waveformPeaks().isEmpty());
    EXPECT_TRUE(bar.isWaveformLoading());
    waveforms.finish(1, { 0.3f, 0.4f });
    EXPECT_EQ(bar.waveformPeaks(), (QList<float> { 0.3f, 0.4f }));
    EXPECT_FALSE(bar.isWaveformLoading());

    audio.setCurrent(first);
    audio.setCurrent(second);
    waveforms.finish(2, {}, true);
    EXPECT_TRUE(bar.isWaveformLoading());
    waveforms.finish(3, {}, true); // the current song's own failure empties
    EXPECT_TRUE(bar.waveformPeaks().isEmpty());
    EXPECT_FALSE(bar.isWaveformLoading());

    audio.setCurrent(std::nullopt);
    EXPECT_FALSE(bar.isWaveformLoading());
}

TEST_F(BarFixture, TransportStatesCyclesAndActions)
{
    struct Case {
        PlaybackState state;
        bool hasSong;
        bool prev, playPause, buffering;
        QString symbol, text;
    };
    for (const Case& c : {
             Case { PlaybackState::playing, true, true, true, false, u"pause.fill"_s, u"Pause"_s },
             Case { PlaybackState::paused, true, true, true, false, u"play.fill"_s, u"Play"_s },
             Case { PlaybackState::buffering, true, true, false, true, u"play.fill"_s, u"Play"_s },
             Case { PlaybackState::stopped, false, false, false, false, u"play.fill"_s, u"Play"_s },
         }) {
        audio.state = c.state;
        audio.current = c.hasSong ? std::optional(song(u"A"_s)) : std::nullopt;
        const auto s = PlayerTransportState::read(audio, queue);
        EXPECT_EQ(s.previousEnabled, c.prev) << int(c.state);
        EXPECT_EQ(s.playPauseEnabled, c.playPause) << int(c.state);
        EXPECT_EQ(s.isBuffering, c.buffering) << int(c.state);
        EXPECT_EQ(s.playPauseSymbol, c.symbol) << int(c.state);
        EXPECT_EQ(s.playPauseText, c.text) << int(c.state);
    }
    // Next follows the queue engine: something upcoming, or a current song under repeat.
    queue.current = song(u"Last"_s);
    EXPECT_FALSE(PlayerTransportState::read(audio, queue).nextEnabled);
    queue.repeat = RepeatMode::track;
    EXPECT_TRUE(PlayerTransportState::read(audio, queue).nextEnabled);
    queue.repeat = RepeatMode::off;
    queue.current.reset();
    queue.upcomingList = { song(u"B"_s) };
    EXPECT_TRUE(PlayerTransportState::read(audio, queue).nextEnabled);

    QStringList repeatTexts;
    for (int i = 0; i < 3; ++i) {
        PlayerTransportState::cycleRepeat(queue);
        const auto s = PlayerTransportState::read(audio, queue);
        repeatTexts << s.repeatSymbol + u" | "_s + s.repeatLabel + u" | "_s + s.repeatHelp;
    }
    EXPECT_EQ(repeatTexts,
        (QStringList { u"repeat | Repeat All | Repeat All \u2014 click for Repeat One"_s,
            u"repeat.1 | Repeat One | Repeat One \u2014 click to turn repeat off"_s,
            u"repeat | Repeat Off | Repeat Off \u2014 click for Repeat All"_s }));

    queue.shuffle = ShuffleMode::smart;
    EXPECT_EQ(PlayerTransportState::read(audio, queue).shuffleHelp, u"Turn shuffle off");
    PlayerTransportState::toggleShuffle(queue);
    EXPECT_EQ(queue.shuffle, ShuffleMode::off);
    PlayerTransportState::toggleShuffle(queue);
    EXPECT_EQ(queue.shuffle, ShuffleMode::standard);

    audio.calls.clear();
    for (const PlaybackState state : { PlaybackState::playing, PlaybackState::paused,
             PlaybackState::stopped, PlaybackState::failed }) {
        audio.state = state;
        PlayerTransportState::playPause(audio);
    }
    EXPECT_EQ(audio.calls, (QStringList { u"pause"_s, u"resume"_s, u"resume"_s, u"resume"_s }));
}

TEST_F(BarFixture, VolumeMuteSymbolsAndOneSavePerFinishedChange)
{
    using V = PlayerVolumePresenter;
    struct Case {
        float volume;
        const char16_t* symbol;
    };
    for (const Case& c : { Case { 0.0f, u"speaker.slash.fill" },
             Case { 0.001f, u"speaker.slash.fill" }, Case { 0.3f, u"speaker.wave.1.fill" },
             Case { 0.4f, u"speaker.wave.2.fill" }, Case { 0.75f, u"speaker.wave.3.fill" } }) {
        EXPECT_EQ(V::symbolName(c.volume), QString::fromUtf16(c.symbol)) << c.volume;
    }
    EXPECT_EQ(V::muteLabel(0.001f), u"Unmute");
    EXPECT_EQ(V::muteLabel(0.5f), u"Mute");

    V volume(audio, queue);
    audio.engineVolume = 0.5f;
    volume.toggleMute();
    EXPECT_EQ(audio.engineVolume, 0);
    EXPECT_EQ(volume.lastAudibleVolume(), 0.5f);
    volume.toggleMute();
    EXPECT_EQ(audio.engineVolume, 0.5f);
    audio.engineVolume = 0.1f;
    volume.toggleMute();
    volume.toggleMute();
    EXPECT_EQ(audio.engineVolume, 0.25f); // the unmute floor
    EXPECT_EQ(queue.calls.size(), 4); // each mute and unmute saves once

    queue.calls.clear();
    volume.sliderEditingChanged(true);
    volume.sliderChanged(0.02);
    volume.sliderChanged(0.005);
    EXPECT_EQ(volume.lastAudibleVolume(), 0.02f);
    EXPECT_TRUE(queue.calls.isEmpty());
    volume.sliderEditingChanged(false);
    EXPECT_EQ(queue.calls.size(), 1);
    volume.sliderChanged(0.6); // a wheel or key step has no drag end: it saves itself
    EXPECT_EQ(queue.calls.size(), 2);
    EXPECT_EQ(audio.engineVolume, 0.6f);
}

TEST_F(BarFixture, QueueRowsAreMovedAndRemovedByPosition)
{
    const Track a = song(u"A"_s), b = song(u"B"_s), c = song(u"C"_s), d = song(u"D"_s),
                e = song(u"E"_s), h = song(u"H"_s);
    queue.current = song(u"Now"_s);
    queue.upcomingList = { a, b, a, c, d }; // A is listed twice
    queue.historyList = { h };
    QueueListModel model(queue);
    const auto tester = test::checkModel(&model);
    QStringList rows;
    for (int row = 0; row < model.rowCount(); ++row) {
        rows << model.index(row).data().toString();
    }
    EXPECT_EQ(rows.join(u','), u"NOW PLAYING,Now,UPCOMING,A,B,A,C,D,HISTORY,H");
    EXPECT_EQ(model.index(1).data(QueueListModel::ArtistRole).toString(), u"Unknown Artist");

    model.tap(1); // the NOW PLAYING row does nothing
    model.tap(5); // the second A starts from the first occurrence
    model.tap(9); // a history song not upcoming plays alone
    EXPECT_EQ(queue.calls, (QStringList { u"playNow@0"_s, u"playNow@0"_s }));
    ASSERT_EQ(queue.plays.size(), 2);
    EXPECT_EQ(joinedTitles(queue.plays[0].first), u"A B A C D");
    EXPECT_EQ(joinedTitles(queue.plays[1].first), u"H");

    queue.calls.clear();
    model.moveUpcoming({ 0 }, 5); // a drag to the end is one move, not one per row passed
    EXPECT_EQ(queue.calls, QStringList { u"move 0 4"_s });
    queue.upcomingList = { a, b, a, c, d };
    model.moveUpcoming({ 0 }, 3);
    EXPECT_EQ(queue.upcomingTitles(), u"B A A C D");
    queue.upcomingList = { a, b, a, c, d };
    model.moveUpcoming({ 4 }, 0);
    EXPECT_EQ(queue.upcomingTitles(), u"D A B A C");
    // Several rows land together before the destination, in their order.
    queue.upcomingList = { a, b, c, d, e };
    model.moveUpcoming({ 0, 2 }, 4);
    EXPECT_EQ(queue.upcomingTitles(), u"B D A C E");
    queue.upcomingList = { a, b, c, d, e };
    model.moveUpcoming({ 1, 4 }, 0);
    EXPECT_EQ(queue.upcomingTitles(), u"B E A C D");

    queue.upcomingList = { a, b, a, c, d };
    queue.calls.clear();
    model.removeUpcoming({ 1, 3 });
    EXPECT_EQ(queue.calls, (QStringList { u"remove 3"_s, u"remove 1"_s }));
    EXPECT_EQ(queue.upcomingTitles(), u"A A D");

    queue.current.reset();
    queue.upcomingList.clear();
    queue.historyList.clear();
    queue.publishLists();
    EXPECT_TRUE(model.isEmpty());
}

} // namespace
} // namespace kivo::test
