#include "platform/MediaProbeImpl.h"
#include "support/TempDir.h"
#include "support/WavWriter.h"

#include <QFile>
#include <QRandomGenerator>
#include <cmath>
#include <gtest/gtest.h>

#include <taglib/attachedpictureframe.h>
#include <taglib/fileref.h>
#include <taglib/id3v2tag.h>
#include <taglib/mp4file.h>
#include <taglib/tpropertymap.h>
#include <taglib/wavfile.h>

using namespace Qt::Literals::StringLiterals;

namespace kivo {
namespace {

class MediaProbeTest : public test::TempDirTest {
protected:
    QString makeWav(const QString& name, double seconds = 1.0)
    {
        const QString file = path(name);
        EXPECT_TRUE(
            test::writeWav(file, { .sampleRate = 44100, .channels = 1, .seconds = seconds }));
        return file;
    }

    static void expectUnsupported(MediaAsset& asset, const std::string& label)
    {
        const auto isUnsupported = [](const MediaProbeError& error) {
            return error.errorCase() == MediaProbeError::Case::unsupportedFormat;
        };
        try {
            asset.loadMetadata();
            ADD_FAILURE() << label << ": metadata loaded";
        } catch (const MediaProbeError& error) {
            EXPECT_TRUE(isUnsupported(error)) << label;
        }
        // Every later load fails the same way.
        EXPECT_THROW(asset.loadDuration(), MediaProbeError) << label;
        EXPECT_THROW(asset.loadAudioTracks(), MediaProbeError) << label;
    }

    const std::optional<MediaMetadataItem> findItem(
        const QList<MediaMetadataItem>& items, QLatin1StringView key)
    {
        for (const MediaMetadataItem& item : items) {
            if (item.commonKey == QString(key)) {
                return item;
            }
        }
        return std::nullopt;
    }

    LocalMediaProbe probe;
};

TEST_F(MediaProbeTest, WavGivesExactDurationAndStreams)
{
    const auto asset = probe.openAsset(makeWav(u"tone.wav"_s, 2.5));
    EXPECT_DOUBLE_EQ(asset->loadDuration(), 2.5);
    const QList<MediaAudioTrack> tracks = asset->loadAudioTracks();
    ASSERT_EQ(tracks.size(), 1);
    EXPECT_EQ(tracks.first().sampleRate, 44100.0);
    EXPECT_TRUE(asset->loadMetadata().isEmpty());
}

TEST_F(MediaProbeTest, RandomBytesWithAnAudioNameAreNotAudio)
{
    QRandomGenerator random(42);
    for (const QString& name : { u"noise.mp3"_s, u"noise.aac"_s, u"noise.wma"_s, u"noise.ogg"_s }) {
        QByteArray bytes(100'000, Qt::Uninitialized);
        random.fillRange(reinterpret_cast<quint32*>(bytes.data()), bytes.size() / 4);
        const auto asset = probe.openAsset(writeFile(name, bytes));
        expectUnsupported(*asset, name.toStdString());
    }
    // A genuine tag in front of noise does not make it audio either.
    TagLib::ID3v2::Tag tag;
    tag.setTitle("Not a song");
    const TagLib::ByteVector rendered = tag.render();
    QByteArray noise(50'000, Qt::Uninitialized);
    random.fillRange(reinterpret_cast<quint32*>(noise.data()), noise.size() / 4);
    const auto tagged = probe.openAsset(
        writeFile(u"tagged-noise.mp3"_s, QByteArray(rendered.data(), rendered.size()) + noise));
    expectUnsupported(*tagged, "tagged noise");
}

TEST_F(MediaProbeTest, AnUnknownDurationIsZeroNeverNaN)
{
    // A valid header with no samples: FFmpeg knows no duration at all.
    const auto headerOnly
        = probe.openAsset(writeFile(u"header.wav"_s, test::makeWavFromSamples({}, 44100, 1)));
    const double duration = headerOnly->loadDuration();
    EXPECT_TRUE(std::isfinite(duration));
    EXPECT_EQ(duration, 0.0);
    EXPECT_EQ(headerOnly->loadAudioTracks().value(0).sampleRate, 44100.0);
}

TEST_F(MediaProbeTest, NamesThatLookLikeAddressesStayLocalFiles)
{
    // FFmpeg would take these for protocols without the "file:" prefix.
    for (const QString& name :
        { u"concat:a.wav|b.wav"_s, u"http:example.wav"_s, u"subfile,,start,0,end,0,,:x.wav"_s }) {
        const auto asset = probe.openAsset(makeWav(name));
        EXPECT_DOUBLE_EQ(asset->loadDuration(), 1.0) << name.toStdString();
    }
    // A path that is an address names no file here.
    const auto remote = probe.openAsset(u"http://127.0.0.1:9/song.mp3"_s);
    try {
        remote->loadDuration();
        ADD_FAILURE() << "a remote address was read";
    } catch (const MediaProbeError& error) {
        EXPECT_EQ(error.errorCase(), MediaProbeError::Case::fileNotFound);
    }
}

TEST_F(MediaProbeTest, TagsCarryCommonKeysWithArtworkLast)
{
    const QString file = makeWav(u"tagged.wav"_s);
    {
        TagLib::RIFF::WAV::File wav(QFile::encodeName(file).constData());
        TagLib::PropertyMap properties;
        properties.replace("TITLE", TagLib::StringList("Dawn"));
        properties.replace("DATE", TagLib::StringList("2001"));
        properties.replace("TRACKNUMBER", TagLib::StringList("3"));
        wav.setProperties(properties);
        auto* picture = new TagLib::ID3v2::AttachedPictureFrame;
        picture->setPicture(TagLib::ByteVector("\x89PNG-bytes", 10));
        wav.ID3v2Tag()->addFrame(picture);
        ASSERT_TRUE(wav.save());
    }
    const QList<MediaMetadataItem> items = probe.openAsset(file)->loadMetadata();
    EXPECT_EQ(findItem(items, MediaCommonKey::title)->textValue, u"Dawn"_s);
    EXPECT_EQ(findItem(items, MediaCommonKey::creationDate)->textValue, u"2001"_s);
    const auto trackNumber = std::find_if(items.cbegin(), items.cend(),
        [](const MediaMetadataItem& item) { return item.textValue == u"3"_s; });
    ASSERT_NE(trackNumber, items.cend());
    EXPECT_FALSE(trackNumber->commonKey);
    ASSERT_FALSE(items.isEmpty());
    EXPECT_EQ(items.last().commonKey, QString(MediaCommonKey::artwork));
    EXPECT_EQ(items.last().dataValue, QByteArray("\x89PNG-bytes", 10));
}

TEST_F(MediaProbeTest, AFileWithTheWrongExtensionStillGivesItsTags)
{
    // TagLib goes by the name and finds no MP3 frames; FFmpeg reads the content.
    const QString m4a = path(u"real.m4a"_s);
    ASSERT_TRUE(test::transcode(makeWav(u"source.wav"_s), m4a, { u"-c:a"_s, u"aac"_s }));
    {
        TagLib::MP4::File file(QFile::encodeName(m4a).constData());
        file.tag()->setTitle("Hidden Identity");
        ASSERT_TRUE(file.save());
    }
    const QString renamed = path(u"disguised.mp3"_s);
    ASSERT_TRUE(QFile::rename(m4a, renamed));
    const auto asset = probe.openAsset(renamed);
    const QList<MediaMetadataItem> items = asset->loadMetadata();
    const auto title = findItem(items, MediaCommonKey::title);
    ASSERT_TRUE(title);
    EXPECT_EQ(title->textValue, u"Hidden Identity"_s);
    EXPECT_NEAR(asset->loadDuration(), 1.0, 0.1);
}

} // namespace
} // namespace kivo
