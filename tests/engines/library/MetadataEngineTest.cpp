// The engine's own rules (mapping, last item, title fallback, bitrate, refusal
// to write), checked against a media layer that says exactly what a test wants.
#include "engines/library/MetadataEngineImpl.h"
#include "support/Await.h"
#include "support/TempDir.h"

#include <QFile>
#include <QFileInfo>
#include <atomic>
#include <gtest/gtest.h>
#include <limits>

using namespace Qt::Literals::StringLiterals;

namespace kivo {
namespace {

using test::settle;
using Rate = std::optional<qint64>;
constexpr double inf = std::numeric_limits<double>::infinity();

// What the fake layer reports for every path; `fails` names the load that throws.
struct FakeFile {
    QList<MediaMetadataItem> items;
    double duration = 1.0;
    // Filled, not brace-listed: GCC's -O3 misreads a braced list of optionals
    // as uninitialised (-Wmaybe-uninitialized) and a Release build stops.
    QList<MediaAudioTrack> tracks = QList<MediaAudioTrack>(1, MediaAudioTrack { 44100.0 });
    enum class Load { none, metadata, duration, tracks } fails = Load::none;
};

FakeFile failing(FakeFile::Load load)
{
    FakeFile file;
    file.fails = load;
    return file;
}

struct FakeAsset final : MediaAsset {
    explicit FakeAsset(FakeFile faked)
        : file(std::move(faked))
    {
    }
    QList<MediaMetadataItem> loadMetadata() override { return check(Load::metadata).items; }
    double loadDuration() override { return check(Load::duration).duration; }
    QList<MediaAudioTrack> loadAudioTracks() override { return check(Load::tracks).tracks; }

    using Load = FakeFile::Load;
    const FakeFile& check(Load load) const
    {
        if (file.fails == load) {
            throw load == Load::metadata ? MediaProbeError::unsupportedFormat({})
                                         : MediaProbeError::unreadable({});
        }
        return file;
    }
    FakeFile file;
};

// Set before a read; read-only while reads run.
struct FakeProbe final : MediaProbe {
    std::unique_ptr<MediaAsset> openAsset(const QString&) const override
    {
        ++opens;
        return std::make_unique<FakeAsset>(file);
    }
    FakeFile file;
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
    // A file of `size` bytes at `name` (none when negative), described by `file`.
    QUrl fixture(const QString& name, const FakeFile& file, qint64 size = 1000)
    {
        QFile out(path(name));
        EXPECT_TRUE(size < 0 || (out.open(QIODevice::WriteOnly) && out.resize(size)));
        probe->file = file;
        return QUrl::fromLocalFile(path(name));
    }
    test::Settled<ExtractedMetadata> read(const QUrl& url)
    {
        return QCoro::waitFor(settle(engine.readMetadata(url)));
    }
    test::Settled<std::optional<QByteArray>> extract(const QUrl& url)
    {
        return QCoro::waitFor(settle(engine.extractArtwork(url)));
    }

    std::shared_ptr<FakeProbe> probe = std::make_shared<FakeProbe>();
    TavrenMetadataEngine engine { probe };
};

TEST_F(MetadataEngineTest, MapsTheNamedCommonKeysAndTheLastItemDecides)
{
    FakeFile file;
    file.items = {
        item(MediaCommonKey::title, u"Blue"_s),
        item(MediaCommonKey::artist, u"  Ana  "_s),
        item(MediaCommonKey::albumName, u"Tides"_s),
        item(MediaCommonKey::albumName, std::nullopt), // the last item clears, even without text
        item(MediaCommonKey::composer, u"Bo"_s),
        item(MediaCommonKey::albumArtist, u"Ana & Bo"_s),
        item(MediaCommonKey::genre, u"Rock"_s),
        item(MediaCommonKey::type, u"Ambient"_s),
        item(MediaCommonKey::creationDate, u"1999"_s),
        { std::nullopt, u"7"_s, std::nullopt }, // no common key: ignored
        item(QLatin1StringView("Title"), u"wrong case"_s),
        artwork(QByteArray("png")),
    };
    const auto result = read(fixture(u"song.mp3"_s, file));
    ASSERT_TRUE(result.value);
    const ExtractedMetadata& metadata = *result.value;
    EXPECT_EQ(metadata.title, u"Blue"_s);
    EXPECT_EQ(metadata.artist, u"  Ana  "_s); // stored as given, untrimmed
    EXPECT_FALSE(metadata.album);
    EXPECT_EQ(metadata.composer, u"Bo"_s);
    EXPECT_EQ(metadata.albumArtist, u"Ana & Bo"_s);
    EXPECT_EQ(metadata.genre, u"Ambient"_s);
    EXPECT_EQ(metadata.year, 1999);
    EXPECT_FALSE(metadata.trackNumber || metadata.discNumber || metadata.comments || metadata.bpm);

    // Without a title item, or with one cleared, the file name stands in.
    const struct {
        QString name;
        QList<MediaMetadataItem> items;
        QString title;
    } titles[] = {
        { u"Song.Final.m4a"_s, {}, u"Song.Final"_s },
        { u"README"_s, {}, u"README"_s },
        { u".hidden"_s, {}, u".hidden"_s },
        { u"Named.mp3"_s, { item(MediaCommonKey::title, QString()) }, QString() },
        { u"Live.Set.flac"_s,
            { item(MediaCommonKey::title, u"First"_s), item(MediaCommonKey::title, {}) },
            u"Live.Set"_s },
    };
    for (const auto& c : titles) {
        const auto named = read(fixture(c.name, FakeFile { .items = c.items }));
        ASSERT_TRUE(named.value) << c.name.toStdString();
        EXPECT_EQ(named.value->title, c.title) << c.name.toStdString();
    }
}

TEST_F(MetadataEngineTest, NumberTagsGiveTheLeadingNumberInTheEditorsRange)
{
    using Number = std::optional<qint64>;
    const struct {
        QString text;
        Number year, track, disc;
    } cases[] = {
        { u"3"_s, 3, 3, 3 },
        { u" 03/12 "_s, 3, 3, 3 },
        { u"2019-05-03"_s, 2019, {}, {} },
        { u"2019-05-03T10:00:00Z"_s, 2019, {}, {} },
        { u"1000"_s, 1000, 1000, {} },
        { u"10000"_s, {}, {}, {} },
        { u"0"_s, {}, {}, {} },
        { u"0/12"_s, {}, {}, {} },
        { u"-3"_s, {}, {}, {} },
        { u"3a"_s, {}, {}, {} },
        { u"/12"_s, {}, {}, {} },
        { u"99999999999999999999"_s, {}, {}, {} },
        { QString(), {}, {}, {} },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        FakeFile file;
        file.items = { item(MediaCommonKey::creationDate, c.text),
            item(MediaCommonKey::trackNumber, c.text), item(MediaCommonKey::discNumber, c.text) };
        const auto result = read(fixture(u"song.mp3"_s, file));
        ASSERT_TRUE(result.value);
        EXPECT_EQ(result.value->year, c.year);
        EXPECT_EQ(result.value->trackNumber, c.track);
        EXPECT_EQ(result.value->discNumber, c.disc);
    }

    // A later unreadable item leaves the number an earlier one gave.
    FakeFile twice;
    twice.items = { item(MediaCommonKey::trackNumber, u"4"_s),
        item(MediaCommonKey::trackNumber, u"x"_s), item(MediaCommonKey::discNumber, std::nullopt) };
    const auto result = read(fixture(u"song.mp3"_s, twice));
    ASSERT_TRUE(result.value);
    EXPECT_EQ(result.value->trackNumber, 4);
    EXPECT_FALSE(result.value->discNumber);
}

TEST_F(MetadataEngineTest, TechnicalDataIsFiniteAndAbsentWhenUnknown)
{
    const struct {
        QString name;
        double duration;
        QList<MediaAudioTrack> tracks;
        qint64 size; // negative: the file vanished before its size was taken
        double expectedDuration;
        Rate sampleRate;
        Rate bitrate;
        bool tracksFail = false;
    } cases[] = {
        { u"a.mp3"_s, 200, { { 44100.0 } }, 4'000'000, 200, 44100, 160 },
        { u"b.mp3"_s, 10, { { 48000.9 } }, 1'234'567, 10, 48000, 987 }, // fractions dropped
        { u"zero.wav"_s, 0, { { 44100.0 } }, 1000, 0, 44100, {} },
        { u"none.wav"_s, 1, {}, 1000, 1, {}, {} },
        { u"fails.wav"_s, 1, { { 44100.0 } }, 1000, 1, {}, {}, true },
        { u"nodesc.wav"_s, 1, { { std::nullopt } }, 1000, 1, {}, {} },
        { u"nan.mp3"_s, std::nan(""), { { 44100.0 } }, 1000, 0, 44100, {} },
        { u"inf.mp3"_s, inf, { { 44100.0 } }, 1000, 0, 44100, {} },
        { u"bad.mp3"_s, 1, { { inf } }, 1000, 1, {}, 8 },
        { u"huge.mp3"_s, 1, { { 1e300 } }, 1000, 1, {}, 8 },
        { u"gone.mp3"_s, 1, { { 44100.0 } }, -1, 1, 44100, 0 },
    };
    for (const auto& c : cases) {
        FakeFile file { .items = { item(MediaCommonKey::artist, u"Still here"_s) },
            .duration = c.duration,
            .tracks = c.tracks,
            .fails = c.tracksFail ? FakeFile::Load::tracks : FakeFile::Load::none };
        const auto result = read(fixture(c.name, file, c.size));
        ASSERT_TRUE(result.value) << c.name.toStdString();
        EXPECT_EQ(result.value->duration, c.expectedDuration) << c.name.toStdString();
        EXPECT_EQ(result.value->sampleRate, c.sampleRate) << c.name.toStdString();
        EXPECT_EQ(result.value->bitrate, c.bitrate) << c.name.toStdString();
        EXPECT_EQ(result.value->artist, u"Still here"_s) << c.name.toStdString();
    }
}

TEST_F(MetadataEngineTest, OnlyLocalFilesReachTheMediaLayerWhoseErrorsPassThrough)
{
    const auto remote = read(QUrl(u"http://127.0.0.1:9/song.mp3"_s));
    EXPECT_EQ(remote.errorAs<MediaProbeError>()->errorCase(), MediaProbeError::Case::notLocalFile);
    EXPECT_EQ(extract(QUrl(u"rtsp://host/a"_s)).errorAs<MediaProbeError>()->errorCase(),
        MediaProbeError::Case::notLocalFile);
    EXPECT_EQ(probe->opens.load(), 0);

    const auto items = read(fixture(u"items.mp3"_s, failing(FakeFile::Load::metadata)));
    EXPECT_FALSE(items.value);
    EXPECT_EQ(
        items.errorAs<MediaProbeError>()->errorCase(), MediaProbeError::Case::unsupportedFormat);
    const auto duration = read(fixture(u"duration.mp3"_s, failing(FakeFile::Load::duration)));
    EXPECT_EQ(duration.errorAs<MediaProbeError>()->errorCase(), MediaProbeError::Case::unreadable);
}

TEST_F(MetadataEngineTest, ArtworkIsTheFirstArtworkItemAsStored)
{
    const std::pair<QList<MediaMetadataItem>, std::optional<QByteArray>> cases[] = {
        { { item(MediaCommonKey::title, u"t"_s), artwork(QByteArray("first\0x", 7)),
              artwork(QByteArray("second")) },
            QByteArray("first\0x", 7) },
        { { artwork(std::nullopt), artwork(QByteArray("later")) }, std::nullopt },
        { { item(MediaCommonKey::title, u"t"_s) }, std::nullopt },
    };
    for (const auto& [items, expected] : cases) {
        using Result = std::optional<std::optional<QByteArray>>;
        EXPECT_EQ(extract(fixture(u"a.m4a"_s, { .items = items })).value, Result(expected));
    }
    EXPECT_TRUE(extract(fixture(u"broken.m4a"_s, failing(FakeFile::Load::metadata)))
                    .errorAs<MediaProbeError>());
}

TEST_F(MetadataEngineTest, WritingAlwaysRefusesAndLeavesTheFileAlone)
{
    Track track;
    track.fileURL = fixture(u"keep.mp3"_s, FakeFile {}, 321);
    const auto refusal = QCoro::waitFor(settle(engine.writeMetadata(track, QByteArray("new art"))))
                             .errorAs<MetadataError>();
    ASSERT_TRUE(refusal);
    EXPECT_EQ(refusal->errorCase(), MetadataError::Case::tagWriteFailed);
    EXPECT_EQ(refusal->reason(),
        u"Physical tag writing is disabled until a non-destructive file replacement workflow is "
        "available. Local metadata edits are saved in the app library."_s);
    EXPECT_EQ(QFileInfo(track.fileURL.toLocalFile()).size(), 321);

    track.fileURL = QUrl::fromLocalFile(path(u"deleted.mp3"_s));
    const auto notFound = QCoro::waitFor(settle(engine.writeMetadata(track, std::nullopt)))
                              .errorAs<MetadataError>();
    ASSERT_TRUE(notFound);
    EXPECT_EQ(notFound->errorCase(), MetadataError::Case::fileNotFound);
    EXPECT_EQ(notFound->url(), track.fileURL);
    // No message of its own: the generic text of its case.
    EXPECT_EQ(notFound->errorDescription(),
        u"The operation couldn't be completed. (MetadataError error 0.)"_s);
}

} // namespace
} // namespace kivo
