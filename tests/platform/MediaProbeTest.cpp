#include "platform/MediaProbeImpl.h"
#include "support/TempDir.h"
#include "support/WavWriter.h"

#include <QBuffer>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QRandomGenerator>
#include <gtest/gtest.h>

#include <taglib/asffile.h>
#include <taglib/id3v2tag.h>

using namespace Qt::Literals::StringLiterals;

namespace kivo {
namespace {

class MediaProbeTest : public test::TempDirTest {
protected:
    QString makeWav(const QString& name, double seconds = 1.0)
    {
        EXPECT_TRUE(
            test::writeWav(path(name), { .sampleRate = 44100, .channels = 1, .seconds = seconds }));
        return path(name);
    }

    // The case every load fails with, or nothing when the file reads as audio.
    std::optional<MediaProbeError> failureOf(const QString& file)
    {
        const auto asset = probe.openAsset(file);
        try {
            asset->loadMetadata();
        } catch (const MediaProbeError& error) {
            // Every later load fails the same way.
            EXPECT_THROW(asset->loadDuration(), MediaProbeError);
            EXPECT_THROW(asset->loadAudioTracks(), MediaProbeError);
            return error;
        }
        return std::nullopt;
    }

    static std::optional<QString> textOf(
        const QList<MediaMetadataItem>& items, QLatin1StringView key)
    {
        for (const MediaMetadataItem& item : items) {
            if (item.commonKey == QString(key)) {
                return item.textValue;
            }
        }
        return std::nullopt;
    }

    LocalMediaProbe probe;
};

TEST_F(MediaProbeTest, WavGivesExactDurationAndAnUnknownDurationIsZeroNeverNaN)
{
    const auto asset = probe.openAsset(makeWav(u"tone.wav"_s, 2.5));
    EXPECT_DOUBLE_EQ(asset->loadDuration(), 2.5);
    const QList<MediaAudioTrack> tracks = asset->loadAudioTracks();
    ASSERT_EQ(tracks.size(), 1);
    EXPECT_EQ(tracks.first().sampleRate, 44100.0);
    EXPECT_TRUE(asset->loadMetadata().isEmpty());

    // A valid header with no samples: FFmpeg knows no duration at all.
    const auto headerOnly
        = probe.openAsset(writeFile(u"header.wav"_s, test::makeWavFromSamples({}, 44100, 1)));
    EXPECT_EQ(headerOnly->loadDuration(), 0.0);
    EXPECT_EQ(headerOnly->loadAudioTracks().value(0).sampleRate, 44100.0);
}

// One file per way of keeping tags and pictures, made with the ffmpeg command.
TEST_F(MediaProbeTest, EachContainerGivesCommonKeysAndTheExactArtworkLast)
{
    QByteArray cover;
    QBuffer buffer(&cover);
    QImage image(12, 8, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    ASSERT_TRUE(buffer.open(QIODevice::WriteOnly) && image.save(&buffer, "PNG"));
    const QString png = writeFile(u"cover.png"_s, cover);
    QByteArray flacPicture; // type, MIME type, description, size and depth, data
    QDataStream(&flacPicture, QIODevice::WriteOnly)
        << quint32(3) << QByteArray("image/png") << quint32(0) << quint32(0) << quint32(0)
        << quint32(0) << quint32(0) << cover;

    const QList<std::pair<QLatin1StringView, QString>> tags {
        { MediaCommonKey::title, u"Título ünïcode"_s },
        { MediaCommonKey::artist, u"The Artist"_s },
        { MediaCommonKey::albumName, u"An Album"_s },
        { MediaCommonKey::genre, u"Ambient"_s },
        { MediaCommonKey::composer, u"A Composer"_s },
        { MediaCommonKey::albumArtist, u"Various"_s },
        { MediaCommonKey::creationDate, u"1999"_s },
    };
    QStringList tagArguments;
    for (const auto& [option, value] :
        { std::pair { "title", tags[0].second }, std::pair { "artist", tags[1].second },
            std::pair { "album", tags[2].second }, std::pair { "genre", tags[3].second },
            std::pair { "composer", tags[4].second }, std::pair { "album_artist", tags[5].second },
            std::pair { "date", tags[6].second }, std::pair { "track", u"7"_s } }) {
        tagArguments << u"-metadata"_s << QString::fromLatin1(option) + u'=' + value;
    }
    const QStringList attached { u"-i"_s, png, u"-map"_s, u"0:a"_s, u"-map"_s, u"1"_s, u"-c:v"_s,
        u"copy"_s, u"-disposition:v"_s, u"attached_pic"_s };
    const std::pair<QString, QStringList> formats[] = {
        { u"mp3"_s, attached + QStringList { u"-c:a"_s, u"libmp3lame"_s } },
        { u"m4a"_s, attached + QStringList { u"-c:a"_s, u"aac"_s } },
        { u"flac"_s, attached },
        { u"ogg"_s,
            { u"-c:a"_s, u"libvorbis"_s, u"-metadata"_s,
                u"METADATA_BLOCK_PICTURE="_s + QString::fromLatin1(flacPicture.toBase64()) } },
        { u"wma"_s, { u"-c:a"_s, u"wmav2"_s } },
        { u"aac"_s, { u"-c:a"_s, u"aac"_s } },
    };
    const QString wav = makeWav(u"source.wav"_s);
    for (const auto& [extension, arguments] : formats) {
        SCOPED_TRACE(extension.toStdString());
        const QString file = path(u"fixture."_s + extension);
        ASSERT_TRUE(test::transcode(wav, file, arguments + tagArguments));
        if (extension == u"wma"_s) {
            TagLib::ASF::File wma(QFile::encodeName(file).constData());
            TagLib::ASF::Picture picture;
            picture.setMimeType("image/png");
            picture.setPicture(TagLib::ByteVector(cover.constData(), uint(cover.size())));
            wma.tag()->setAttribute("WM/Picture", TagLib::ASF::Attribute(picture));
            wma.tag()->setYear(1999); // FFmpeg writes "date", which no player reads
            ASSERT_TRUE(wma.save());
        } else if (extension == u"aac"_s) {
            // Raw ADTS carries tags as an ID3v2 block in front: the MP3's.
            QFile mp3(path(u"fixture.mp3"_s));
            QFile aac(file);
            ASSERT_TRUE(mp3.open(QIODevice::ReadOnly) && aac.open(QIODevice::ReadWrite));
            const QByteArray id3 = mp3.read(10);
            const auto size = [&id3](int i) { return qsizetype(quint8(id3[i])) << (7 * (9 - i)); };
            const QByteArray audio = aac.readAll();
            aac.seek(0);
            aac.write(id3 + mp3.read(size(6) + size(7) + size(8) + size(9)) + audio);
        }

        const auto asset = probe.openAsset(file);
        const QList<MediaMetadataItem> items = asset->loadMetadata();
        for (const auto& [key, value] : tags) {
            EXPECT_EQ(textOf(items, key), value) << key.data();
        }
        EXPECT_EQ(textOf(items, MediaCommonKey::trackNumber), u"7"_s);
        ASSERT_FALSE(items.isEmpty());
        EXPECT_EQ(items.last().commonKey, QString(MediaCommonKey::artwork));
        EXPECT_EQ(items.last().dataValue, cover);
        EXPECT_NEAR(asset->loadDuration(), 1.0, 0.1);
        EXPECT_EQ(asset->loadAudioTracks().value(0).sampleRate, 44100.0);
    }

    // TagLib goes by the name and finds no MP3 frames; FFmpeg reads the content.
    ASSERT_TRUE(QFile::rename(path(u"fixture.m4a"_s), path(u"disguised.mp3"_s)));
    const auto disguised = probe.openAsset(path(u"disguised.mp3"_s));
    EXPECT_EQ(textOf(disguised->loadMetadata(), MediaCommonKey::title), tags[0].second);
    EXPECT_NEAR(disguised->loadDuration(), 1.0, 0.1);
}

TEST_F(MediaProbeTest, FilesThatAreNotAudioFailWithAClearError)
{
    QRandomGenerator random(42);
    const auto noise = [&random](qsizetype size) {
        QByteArray bytes(size, Qt::Uninitialized);
        random.fillRange(reinterpret_cast<quint32*>(bytes.data()), bytes.size() / 4);
        return bytes;
    };
    // A genuine tag in front of noise does not make it audio either.
    TagLib::ID3v2::Tag tag;
    tag.setTitle("Not a song");
    const TagLib::ByteVector rendered = tag.render();
    QFile flac(path(u"whole.flac"_s));
    ASSERT_TRUE(test::transcode(makeWav(u"whole.wav"_s), flac.fileName()));
    ASSERT_TRUE(flac.open(QIODevice::ReadOnly));

    const std::pair<QString, QByteArray> unsupported[] = {
        { u"notes.mp3"_s, "These are liner notes, not an MP3 file.\n" },
        { u"empty.wav"_s, QByteArray() },
        { u"truncated.flac"_s, flac.read(60) },
        { u"noise.mp3"_s, noise(100'000) },
        { u"noise.aac"_s, noise(100'000) },
        { u"noise.wma"_s, noise(100'000) },
        { u"noise.ogg"_s, noise(100'000) },
        { u"tagged-noise.mp3"_s, QByteArray(rendered.data(), rendered.size()) + noise(50'000) },
    };
    for (const auto& [name, bytes] : unsupported) {
        const auto error = failureOf(writeFile(name, bytes));
        ASSERT_TRUE(error) << name.toStdString();
        EXPECT_EQ(error->errorCase(), MediaProbeError::Case::unsupportedFormat);
        EXPECT_EQ(error->errorDescription(), u"The file isn't in a supported audio format."_s);
    }
    EXPECT_EQ(failureOf(path(u"missing.mp3"_s))->errorCase(), MediaProbeError::Case::fileNotFound);
    EXPECT_EQ(failureOf(path())->errorCase(), MediaProbeError::Case::unreadable);
}

TEST_F(MediaProbeTest, NamesThatLookLikeAddressesStayLocalFiles)
{
    // FFmpeg would take these for protocols without the "file:" prefix.
    for (const QString& name :
        { u"concat:a.wav|b.wav"_s, u"http:example.wav"_s, u"subfile,,start,0,end,0,,:x.wav"_s }) {
        EXPECT_DOUBLE_EQ(probe.openAsset(makeWav(name))->loadDuration(), 1.0) << name.toStdString();
    }
    // A path that is an address names no file here.
    EXPECT_EQ(failureOf(u"http://127.0.0.1:9/song.mp3"_s)->errorCase(),
        MediaProbeError::Case::fileNotFound);
}

} // namespace
} // namespace kivo
