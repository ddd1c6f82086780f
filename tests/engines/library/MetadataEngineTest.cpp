// The engine's own rules (mapping, last item, title fallback, bitrate, refusal
// to write), checked against a media layer that says exactly what a test wants.
#include "MetadataEngineFixtures.h"
#include "engines/library/MetadataEngineImpl.h"
#include "support/TempDir.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QThreadPool>
#include <atomic>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <vector>

using namespace Qt::Literals::StringLiterals;

namespace kivo {
namespace {

using test::settle;

// What the fake layer reports for one path.
struct FakeFile {
    QList<MediaMetadataItem> items;
    double duration = 1.0;
    QList<MediaAudioTrack> tracks { MediaAudioTrack { 44100.0 } };
    bool metadataFails = false;
    bool durationFails = false;
    bool tracksFail = false;
};

class FakeAsset final : public MediaAsset {
public:
    FakeAsset(QString path, std::optional<FakeFile> file)
        : m_path(std::move(path))
        , m_file(std::move(file))
    {
    }

    QList<MediaMetadataItem> loadMetadata() override
    {
        if (!m_file || m_file->metadataFails) {
            throw MediaProbeError::unsupportedFormat(m_path);
        }
        return m_file->items;
    }
    double loadDuration() override
    {
        if (!m_file || m_file->durationFails) {
            throw MediaProbeError::unreadable(m_path);
        }
        return m_file->duration;
    }
    QList<MediaAudioTrack> loadAudioTracks() override
    {
        if (!m_file || m_file->tracksFail) {
            throw MediaProbeError::unreadable(m_path);
        }
        return m_file->tracks;
    }

private:
    QString m_path;
    std::optional<FakeFile> m_file;
};

// Filled before any read; read-only while reads run.
class FakeProbe final : public MediaProbe {
public:
    std::unique_ptr<MediaAsset> openAsset(const QString& path) const override
    {
        ++opens;
        const auto found = files.constFind(path);
        return std::make_unique<FakeAsset>(
            path, found == files.cend() ? std::nullopt : std::optional<FakeFile>(*found));
    }

    QHash<QString, FakeFile> files;
    mutable std::atomic<int> opens { 0 };
};

MediaMetadataItem item(QLatin1StringView key, std::optional<QString> text)
{
    return { QString(key), std::move(text), std::nullopt };
}

MediaMetadataItem artwork(std::optional<QByteArray> bytes)
{
    return { QString(MediaCommonKey::artwork), std::nullopt, std::move(bytes) };
}

class MetadataEngineTest : public test::TempDirTest {
protected:
    // A file of `size` bytes at `name`, described to the engine by `file`.
    QUrl fixture(const QString& name, const FakeFile& file, qint64 size = 1000)
    {
        const QString full = path(name);
        QFile out(full);
        EXPECT_TRUE(out.open(QIODevice::WriteOnly) && out.resize(size));
        probe->files.insert(full, file);
        return QUrl::fromLocalFile(full);
    }

    test::Settled<ExtractedMetadata> read(const QUrl& url)
    {
        return QCoro::waitFor(settle(engine.readMetadata(url)));
    }

    std::shared_ptr<FakeProbe> probe = std::make_shared<FakeProbe>();
    TavrenMetadataEngine engine { probe };
};

TEST_F(MetadataEngineTest, MapsTheNamedCommonKeysAndNothingElse)
{
    FakeFile file;
    file.items = {
        item(MediaCommonKey::title, u"Blue"_s),
        item(MediaCommonKey::artist, u"  Ana  "_s),
        item(MediaCommonKey::albumName, u"Tides"_s),
        item(MediaCommonKey::composer, u"Bo"_s),
        item(MediaCommonKey::albumArtist, u"Ana & Bo"_s),
        item(MediaCommonKey::genre, u"Jazz"_s),
        item(MediaCommonKey::creationDate, u"1999"_s),
        { std::nullopt, u"7"_s, std::nullopt }, // a track number: no common key
        item(QLatin1StringView("Title"), u"wrong case"_s),
        artwork(QByteArray("png")),
    };
    const auto result = read(fixture(u"song.mp3"_s, file));
    ASSERT_TRUE(result.value);
    const ExtractedMetadata& metadata = *result.value;
    EXPECT_EQ(metadata.title, u"Blue"_s);
    EXPECT_EQ(metadata.artist, u"  Ana  "_s); // stored as given, untrimmed
    EXPECT_EQ(metadata.album, u"Tides"_s);
    EXPECT_EQ(metadata.composer, u"Bo"_s);
    EXPECT_EQ(metadata.albumArtist, u"Ana & Bo"_s);
    EXPECT_EQ(metadata.genre, u"Jazz"_s);
    EXPECT_FALSE(metadata.year);
    EXPECT_FALSE(metadata.trackNumber);
    EXPECT_FALSE(metadata.discNumber);
    EXPECT_FALSE(metadata.comments);
    EXPECT_FALSE(metadata.bpm);
}

TEST_F(MetadataEngineTest, TheLastMatchingItemDecidesEvenWithoutText)
{
    FakeFile file;
    file.items = {
        item(MediaCommonKey::genre, u"Rock"_s),
        item(MediaCommonKey::type, u"Ambient"_s),
        item(MediaCommonKey::title, u"First"_s),
        item(MediaCommonKey::title, std::nullopt),
        item(MediaCommonKey::artist, u"A"_s),
        item(MediaCommonKey::artist, std::nullopt),
    };
    const auto result = read(fixture(u"Live.Set.flac"_s, file));
    ASSERT_TRUE(result.value);
    EXPECT_EQ(result.value->genre, u"Ambient"_s);
    EXPECT_FALSE(result.value->artist);
    EXPECT_EQ(result.value->title, u"Live.Set"_s); // cleared, then the file name
}

TEST_F(MetadataEngineTest, TitleFallsBackToTheFileNameOnlyWhenAbsent)
{
    FakeFile untitled;
    FakeFile emptyTitle;
    emptyTitle.items = { item(MediaCommonKey::title, QString()) };

    const auto songFinal = read(fixture(u"Song.Final.m4a"_s, untitled));
    const auto noDot = read(fixture(u"README"_s, untitled));
    const auto hidden = read(fixture(u".hidden"_s, untitled));
    const auto empty = read(fixture(u"Named.mp3"_s, emptyTitle));
    ASSERT_TRUE(songFinal.value && noDot.value && hidden.value && empty.value);
    EXPECT_EQ(songFinal.value->title, u"Song.Final"_s);
    EXPECT_EQ(noDot.value->title, u"README"_s);
    EXPECT_EQ(hidden.value->title, u".hidden"_s);
    EXPECT_EQ(empty.value->title, QString());
    // No items at all still gives the technical data.
    EXPECT_DOUBLE_EQ(songFinal.value->duration, 1.0);
    EXPECT_EQ(songFinal.value->sampleRate, 44100);
    EXPECT_FALSE(songFinal.value->artist);
}

TEST_F(MetadataEngineTest, BitrateComesFromFileSizeAndDuration)
{
    FakeFile twoHundredSeconds;
    twoHundredSeconds.duration = 200;
    FakeFile tenSeconds;
    tenSeconds.duration = 10;
    tenSeconds.tracks = { MediaAudioTrack { 48000.9 } };

    const auto a = read(fixture(u"a.mp3"_s, twoHundredSeconds, 4'000'000));
    const auto b = read(fixture(u"b.mp3"_s, tenSeconds, 1'234'567));
    ASSERT_TRUE(a.value && b.value);
    EXPECT_EQ(a.value->bitrate, 160);
    EXPECT_EQ(b.value->bitrate, 987); // 987.6536 with the fraction dropped
    EXPECT_EQ(b.value->sampleRate, 48000);
}

TEST_F(MetadataEngineTest, MissingTechnicalDataLeavesFieldsAbsentOrZero)
{
    FakeFile silent;
    silent.duration = 0;
    FakeFile noStreams;
    noStreams.tracks = {};
    FakeFile streamsFail;
    streamsFail.tracksFail = true;
    streamsFail.items = { item(MediaCommonKey::artist, u"Still here"_s) };
    FakeFile noDescription;
    noDescription.tracks = { MediaAudioTrack { std::nullopt } };

    const auto zero = read(fixture(u"zero.wav"_s, silent));
    ASSERT_TRUE(zero.value);
    EXPECT_FALSE(zero.value->bitrate);
    EXPECT_EQ(zero.value->sampleRate, 44100);

    for (const auto& [name, file] :
        { std::pair { u"none.wav"_s, noStreams }, std::pair { u"fails.wav"_s, streamsFail },
            std::pair { u"nodesc.wav"_s, noDescription } }) {
        const auto result = read(fixture(name, file));
        ASSERT_TRUE(result.value) << name.toStdString();
        EXPECT_FALSE(result.value->sampleRate || result.value->bitrate) << name.toStdString();
        EXPECT_EQ(
            result.value->artist, file.items.isEmpty() ? std::nullopt : file.items[0].textValue);
    }

    // The file vanished between the media read and the size: bitrate 0, not absent.
    const QString gone = path(u"gone.mp3"_s);
    probe->files.insert(gone, FakeFile {});
    const auto vanished = read(QUrl::fromLocalFile(gone));
    ASSERT_TRUE(vanished.value);
    EXPECT_EQ(vanished.value->bitrate, 0);
}

TEST_F(MetadataEngineTest, NonFiniteNumbersNeverReachTheRecord)
{
    FakeFile nanDuration;
    nanDuration.duration = std::numeric_limits<double>::quiet_NaN();
    FakeFile infiniteDuration;
    infiniteDuration.duration = std::numeric_limits<double>::infinity();
    FakeFile badRate;
    badRate.tracks = { MediaAudioTrack { std::numeric_limits<double>::infinity() } };
    FakeFile hugeRate;
    hugeRate.tracks = { MediaAudioTrack { 1e300 } };

    const auto nan = read(fixture(u"nan.mp3"_s, nanDuration));
    const auto inf = read(fixture(u"inf.mp3"_s, infiniteDuration));
    const auto bad = read(fixture(u"bad.mp3"_s, badRate));
    const auto huge = read(fixture(u"huge.mp3"_s, hugeRate));
    ASSERT_TRUE(nan.value && inf.value && bad.value && huge.value);
    EXPECT_EQ(nan.value->duration, 0.0);
    EXPECT_FALSE(nan.value->bitrate);
    EXPECT_EQ(inf.value->duration, 0.0);
    EXPECT_FALSE(bad.value->sampleRate);
    EXPECT_EQ(bad.value->bitrate, 8); // 1000 bytes over one second
    EXPECT_FALSE(huge.value->sampleRate);
}

TEST_F(MetadataEngineTest, ReadFailsWithTheMediaLayersError)
{
    FakeFile itemsFail;
    itemsFail.metadataFails = true;
    FakeFile durationFails;
    durationFails.durationFails = true;

    const auto items = read(fixture(u"items.mp3"_s, itemsFail));
    const auto duration = read(fixture(u"duration.mp3"_s, durationFails));
    const auto unknown = read(QUrl::fromLocalFile(path(u"unknown.mp3"_s)));
    EXPECT_FALSE(items.value);
    EXPECT_EQ(
        items.errorAs<MediaProbeError>()->errorCase(), MediaProbeError::Case::unsupportedFormat);
    EXPECT_EQ(duration.errorAs<MediaProbeError>()->errorCase(), MediaProbeError::Case::unreadable);
    EXPECT_TRUE(unknown.errorAs<MediaProbeError>());
}

TEST_F(MetadataEngineTest, OnlyLocalFilesAreHandedToTheMediaLayer)
{
    const auto remote = read(QUrl(u"http://127.0.0.1:9/song.mp3"_s));
    const auto artwork = QCoro::waitFor(settle(engine.extractArtwork(QUrl(u"rtsp://host/a"_s))));
    EXPECT_EQ(remote.errorAs<MediaProbeError>()->errorCase(), MediaProbeError::Case::notLocalFile);
    EXPECT_EQ(artwork.errorAs<MediaProbeError>()->errorCase(), MediaProbeError::Case::notLocalFile);
    EXPECT_EQ(probe->opens.load(), 0);
}

TEST_F(MetadataEngineTest, ArtworkIsTheFirstArtworkItemAsStored)
{
    FakeFile two;
    two.items = { item(MediaCommonKey::title, u"t"_s), artwork(QByteArray("first\0x", 7)),
        artwork(QByteArray("second")) };
    FakeFile firstEmpty;
    firstEmpty.items = { artwork(std::nullopt), artwork(QByteArray("second")) };
    FakeFile none;
    none.items = { item(MediaCommonKey::title, u"t"_s) };
    FakeFile broken;
    broken.metadataFails = true;

    const auto extract
        = [this](const QUrl& url) { return QCoro::waitFor(settle(engine.extractArtwork(url))); };
    EXPECT_EQ(extract(fixture(u"two.m4a"_s, two)).value, std::optional(QByteArray("first\0x", 7)));
    const auto empty = extract(fixture(u"empty.m4a"_s, firstEmpty));
    ASSERT_TRUE(empty.value);
    EXPECT_FALSE(*empty.value);
    const auto nothing = extract(fixture(u"none.m4a"_s, none));
    ASSERT_TRUE(nothing.value);
    EXPECT_FALSE(*nothing.value);
    EXPECT_TRUE(extract(fixture(u"broken.m4a"_s, broken)).errorAs<MediaProbeError>());
}

TEST_F(MetadataEngineTest, WritingAlwaysRefusesAndLeavesTheFileAlone)
{
    const QUrl url = fixture(u"keep.mp3"_s, FakeFile {}, 321);
    Track track;
    track.fileURL = url;
    const auto existing
        = QCoro::waitFor(settle(engine.writeMetadata(track, QByteArray("new artwork"))));
    const auto refusal = existing.errorAs<MetadataError>();
    ASSERT_TRUE(refusal);
    EXPECT_EQ(refusal->errorCase(), MetadataError::Case::tagWriteFailed);
    EXPECT_EQ(refusal->reason(),
        u"Physical tag writing is disabled until a non-destructive file replacement workflow is "
        "available. Local metadata edits are saved in the app library."_s);
    EXPECT_EQ(QFileInfo(url.toLocalFile()).size(), 321);

    track.fileURL = QUrl::fromLocalFile(path(u"deleted.mp3"_s));
    const auto missing = QCoro::waitFor(settle(engine.writeMetadata(track, std::nullopt)));
    const auto notFound = missing.errorAs<MetadataError>();
    ASSERT_TRUE(notFound);
    EXPECT_EQ(notFound->errorCase(), MetadataError::Case::fileNotFound);
    EXPECT_EQ(notFound->url(), track.fileURL);
    // No message of its own: the generic text of its case.
    EXPECT_EQ(notFound->errorDescription(),
        u"The operation couldn't be completed. (MetadataError error 0.)"_s);
}

TEST_F(MetadataEngineTest, ConcurrentReadsKeepTheirOwnResults)
{
    QThreadPool pool;
    pool.setMaxThreadCount(4);
    TavrenMetadataEngine pooled(probe, &pool);
    QList<QUrl> urls;
    for (int i = 0; i < 64; ++i) {
        FakeFile file;
        file.items = { item(MediaCommonKey::title, u"Track %1"_s.arg(i)) };
        file.duration = i + 1;
        urls.append(fixture(u"f%1.mp3"_s.arg(i), file));
    }
    std::vector<QCoro::Task<test::Settled<ExtractedMetadata>>> tasks;
    for (const QUrl& url : std::as_const(urls)) {
        tasks.push_back(settle(pooled.readMetadata(url)));
    }
    for (size_t i = 0; i < tasks.size(); ++i) {
        const auto result = QCoro::waitFor(tasks[i]);
        ASSERT_TRUE(result.value);
        EXPECT_EQ(result.value->title, u"Track %1"_s.arg(qsizetype(i)));
        EXPECT_DOUBLE_EQ(result.value->duration, double(i + 1));
    }
}

} // namespace
} // namespace kivo
