#include "engines/playback/AudioEngineImpl.h"
#include "platform/SecurityScopedResource.h"

#include "AudioEngineTestSupport.h"
#include "support/TempDir.h"
#include "support/WavWriter.h"

#include <QTest>
#include <QUuid>
#include <gmock/gmock.h>

using namespace Qt::Literals::StringLiterals;
using ::testing::ElementsAre;

namespace kivo {
namespace {

// The engine on the real player (the sound server's sink, or the silent
// output without one) and real files.
class AudioEngineFileTest : public test::TempDirTest {
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        engine = std::make_unique<TavrenAudioEngine>();
        engine->setDelegate(&delegate);
    }

    void TearDown() override { FileAccessPlatform::setShared(nullptr); }

    static Track trackAt(const QString& file, const QString& title)
    {
        return Track::make(QUuid::createUuid(), QUrl::fromLocalFile(file),
            QFileInfo(file).fileName(), title, 1.0, Date::now());
    }

    Track tone(const QString& name, double seconds)
    {
        return trackAt(
            writeFile(name,
                test::makeWav(test::WavSpec {
                    .sampleRate = 44100, .channels = 2, .seconds = seconds, .amplitude = 0.05 })),
            name);
    }

    template <typename E> E failure(const Track& track)
    {
        try {
            engine->play(track);
        } catch (const E& error) {
            return error;
        }
        ADD_FAILURE() << "played " << track.title.toStdString();
        throw std::logic_error("played");
    }

    test::RecordingDelegate delegate;
    std::unique_ptr<TavrenAudioEngine> engine;
};

TEST_F(AudioEngineFileTest, PlaysAFileToItsEndWithProgressOnTheWay)
{
    engine->play(tone(u"short.wav"_s, 0.6));
    ASSERT_TRUE(QTest::qWaitFor([&] { return delegate.events.contains(u"finish"_s); }, 15000));
    const QStringList events = delegate.take();
    ASSERT_GE(events.size(), 6);
    EXPECT_THAT(events.mid(0, 4),
        ElementsAre(
            u"state:buffering"_s, u"track:short.wav"_s, u"time:0.00"_s, u"state:playing"_s));
    EXPECT_THAT(events.mid(events.size() - 2), ElementsAre(u"state:stopped"_s, u"finish"_s));
    double last = 0;
    int ticks = 0;
    for (const QString& event : events.mid(4, events.size() - 6)) {
        ASSERT_TRUE(event.startsWith(u"time:"_s)) << event.toStdString();
        const double time = event.mid(5).toDouble();
        EXPECT_GE(time, last);
        last = time;
        ++ticks;
    }
    EXPECT_GE(ticks, 4); // every 0.05 s for 0.6 s
    EXPECT_EQ(engine->currentTime(), 0.6);
    EXPECT_EQ(engine->playbackState(), PlaybackState::stopped);
}

TEST_F(AudioEngineFileTest, FilesThatCannotPlayGiveTheirErrors)
{
    const Track text = trackAt(writeFile(u"text.mp3"_s, "just some words\n"), u"Text"_s);
    auto error = failure<AudioPlaybackError>(text);
    EXPECT_EQ(error.errorCase(), AudioPlaybackError::Case::unreadableFile);
    EXPECT_EQ(error.errorDescription(),
        u"The audio file at "_s + text.fileURL.toLocalFile()
            + u" could not be opened: The file is not in a recognized audio format."_s);

    const Track noFrames
        = trackAt(writeFile(u"empty.wav"_s, test::makeWavFromSamples({}, 44100, 2)), u"NoFrames"_s);
    error = failure<AudioPlaybackError>(noFrames);
    EXPECT_EQ(error.errorCase(), AudioPlaybackError::Case::emptyFile);

    // A song deleted after it was added (its bookmark made while it was there),
    // through the real access layer.
    const QString doomed = writeFile(u"gone.mp3"_s, "audio");
    Track gone = trackAt(doomed, u"Gone"_s);
    gone.securityScopedBookmark = SecurityScopedResource::makeBookmark(gone.fileURL);
    QFile::remove(doomed);
    for (const Track& track : { gone, trackAt(doomed, u"Unbookmarked"_s) }) {
        error = failure<AudioPlaybackError>(track);
        EXPECT_EQ(
            error.errorDescription(), u"The audio file could not be found at "_s + doomed + u"."_s);
    }

    EXPECT_EQ(engine->playbackState(), PlaybackState::failed);
    EXPECT_EQ(delegate.errors.size(), 4u);
}

} // namespace
} // namespace kivo
