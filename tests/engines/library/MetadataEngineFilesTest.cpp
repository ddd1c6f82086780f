// Real files of every supported type, made with the ffmpeg command and tagged
// with TagLib, read through the engine and the real media layer.
#include "MetadataEngineFixtures.h"
#include "engines/library/MetadataEngineImpl.h"
#include "support/TempDir.h"
#include "support/WavWriter.h"

#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace kivo {
namespace {

using test::settle;

struct FormatCase {
    const char* extension;
    QStringList ffmpegArguments;
    const char* coverFormat; // "PNG" or "JPEG"
};

void PrintTo(const FormatCase& format, std::ostream* out)
{
    *out << format.extension;
}

class MetadataEngineFilesTest : public test::TempDirTest {
protected:
    // A one-second 44.1 kHz mono tone as `name` (of any supported type).
    QString makeAudio(const QString& name, const QStringList& ffmpegArguments = {})
    {
        const QString wav = path(u"source-"_s + name + u".wav"_s);
        EXPECT_TRUE(test::writeWav(wav, { .sampleRate = 44100, .channels = 1, .seconds = 1.0 }));
        if (name.endsWith(u".wav"_s)) {
            EXPECT_TRUE(QFile::rename(wav, path(name)));
        } else {
            EXPECT_TRUE(test::transcode(wav, path(name), ffmpegArguments)) << name.toStdString();
        }
        return path(name);
    }

    test::Settled<ExtractedMetadata> read(const QString& file)
    {
        return QCoro::waitFor(settle(engine.readMetadata(QUrl::fromLocalFile(file))));
    }

    test::Settled<std::optional<QByteArray>> artwork(const QString& file)
    {
        return QCoro::waitFor(settle(engine.extractArtwork(QUrl::fromLocalFile(file))));
    }

    static qint64 expectedBitrate(const QString& file, double duration)
    {
        return qint64(double(QFileInfo(file).size()) * 8.0 / duration / 1000.0);
    }

    TavrenMetadataEngine engine;
};

TEST_F(MetadataEngineFilesTest, PlainWavGivesTechnicalDataAndTheFileNameAsTitle)
{
    const QString file = makeAudio(u"Morning Light.wav"_s);
    const auto result = read(file);
    ASSERT_TRUE(result.value);
    const ExtractedMetadata& metadata = *result.value;
    EXPECT_DOUBLE_EQ(metadata.duration, 1.0);
    EXPECT_EQ(metadata.sampleRate, 44100);
    // 88,244 bytes over one second.
    EXPECT_EQ(metadata.bitrate, 705);
    EXPECT_EQ(metadata.title, u"Morning Light"_s);
    EXPECT_FALSE(metadata.artist || metadata.album || metadata.genre || metadata.composer
        || metadata.albumArtist);
    const auto cover = artwork(file);
    ASSERT_TRUE(cover.value);
    EXPECT_FALSE(*cover.value);
}

class MetadataEngineFormatTest : public MetadataEngineFilesTest,
                                 public ::testing::WithParamInterface<FormatCase> { };

TEST_P(MetadataEngineFormatTest, ReadsMappedTagsAndTheExactArtwork)
{
    const FormatCase& format = GetParam();
    const QString extension = QString::fromLatin1(format.extension);
    const QString file = makeAudio(u"fixture."_s + extension, format.ffmpegArguments);
    const test::FixtureTags tags { .title = u"Título ünïcode"_s,
        .artist = u"The Artist"_s,
        .album = u"An Album"_s,
        .genre = u"Ambient"_s,
        .composer = u"A Composer"_s,
        .albumArtist = u"Various"_s };
    const QByteArray cover = test::makeCoverImage(format.coverFormat);
    ASSERT_FALSE(cover.isEmpty());
    if (extension == u"aac"_s) {
        // TagLib cannot open raw ADTS; an ID3v2 block in front is how such
        // files carry tags.
        QFile audio(file);
        ASSERT_TRUE(audio.open(QIODevice::ReadWrite));
        const QByteArray data = audio.readAll();
        audio.seek(0);
        audio.write(test::renderID3v2(tags, cover) + data);
    } else {
        ASSERT_TRUE(test::tagWithTagLib(file, tags, cover));
    }

    const auto result = read(file);
    ASSERT_TRUE(result.value) << result.errorAs<MediaProbeError>()->what();
    const ExtractedMetadata& metadata = *result.value;
    EXPECT_EQ(metadata.title, tags.title);
    EXPECT_EQ(metadata.artist, tags.artist);
    EXPECT_EQ(metadata.album, tags.album);
    EXPECT_EQ(metadata.genre, tags.genre);
    EXPECT_EQ(metadata.composer, tags.composer);
    EXPECT_EQ(metadata.albumArtist, tags.albumArtist);
    // The file carries a date, a track number and a comment; none is read.
    EXPECT_FALSE(metadata.year || metadata.trackNumber || metadata.comments);
    EXPECT_NEAR(metadata.duration, 1.0, 0.1);
    EXPECT_EQ(metadata.sampleRate, 44100);
    EXPECT_EQ(metadata.bitrate, expectedBitrate(file, metadata.duration));

    const auto extracted = artwork(file);
    ASSERT_TRUE(extracted.value);
    ASSERT_TRUE(*extracted.value);
    EXPECT_EQ(**extracted.value, cover);
}

INSTANTIATE_TEST_SUITE_P(EveryType, MetadataEngineFormatTest,
    ::testing::Values(FormatCase { "mp3", { u"-c:a"_s, u"libmp3lame"_s }, "JPEG" },
        FormatCase { "m4a", { u"-c:a"_s, u"aac"_s }, "PNG" }, FormatCase { "flac", {}, "PNG" },
        FormatCase { "ogg", { u"-c:a"_s, u"libvorbis"_s }, "JPEG" },
        FormatCase { "wma", { u"-c:a"_s, u"wmav2"_s }, "PNG" }, FormatCase { "aiff", {}, "JPEG" },
        FormatCase { "wav", {}, "PNG" }, FormatCase { "aac", { u"-c:a"_s, u"aac"_s }, "JPEG" }),
    [](const auto& info) { return std::string(info.param.extension); });

TEST_F(MetadataEngineFilesTest, FilesThatAreNotAudioFailWithAClearError)
{
    const QString text = writeFile(u"notes.mp3"_s, "These are liner notes, not an MP3 file.\n");
    const QString empty = writeFile(u"empty.wav"_s, QByteArray());
    const QString flac = makeAudio(u"whole.flac"_s);
    QFile whole(flac);
    ASSERT_TRUE(whole.open(QIODevice::ReadOnly));
    const QString truncated = writeFile(u"truncated.flac"_s, whole.read(60));
    const QString random = writeFile(u"noise.m4a"_s, QByteArray(4096, '\x5a'));

    for (const QString& file : { text, empty, truncated, random }) {
        const auto result = read(file);
        EXPECT_FALSE(result.value) << file.toStdString();
        const auto error = result.errorAs<MediaProbeError>();
        ASSERT_TRUE(error) << file.toStdString();
        EXPECT_EQ(error->errorCase(), MediaProbeError::Case::unsupportedFormat);
        EXPECT_EQ(error->errorDescription(), u"The file isn't in a supported audio format."_s);
        EXPECT_TRUE(artwork(file).errorAs<MediaProbeError>()) << file.toStdString();
    }
    const auto missing = read(path(u"missing.mp3"_s));
    EXPECT_EQ(missing.errorAs<MediaProbeError>()->errorCase(), MediaProbeError::Case::fileNotFound);
    const auto folder = read(path());
    EXPECT_EQ(folder.errorAs<MediaProbeError>()->errorCase(), MediaProbeError::Case::unreadable);
}

} // namespace
} // namespace kivo
