#include "platform/MediaProbeImpl.h"

#include "model/Logging.h"

#include <QFile>
#include <QFileInfo>
#include <cmath>
#include <mutex>

#include <taglib/aifffile.h>
#include <taglib/asffile.h>
#include <taglib/attachedpictureframe.h>
#include <taglib/fileref.h>
#include <taglib/flacfile.h>
#include <taglib/id3v2tag.h>
#include <taglib/mp4file.h>
#include <taglib/mpegfile.h>
#include <taglib/tdebuglistener.h>
#include <taglib/tpropertymap.h>
#include <taglib/wavfile.h>
#include <taglib/xiphcomment.h>

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/dict.h>
#include <libavutil/log.h>
}

using namespace Qt::Literals::StringLiterals;

namespace kivo {

// ---- errors ------------------------------------------------------------------

MediaProbeError::MediaProbeError(Case errorCase, QString path)
    : m_case(errorCase)
    , m_path(std::move(path))
    , m_what(errorDescription().toStdString())
{
}

MediaProbeError MediaProbeError::fileNotFound(const QString& path)
{
    return { Case::fileNotFound, path };
}

MediaProbeError MediaProbeError::unreadable(const QString& path)
{
    return { Case::unreadable, path };
}

MediaProbeError MediaProbeError::unsupportedFormat(const QString& path)
{
    return { Case::unsupportedFormat, path };
}

MediaProbeError MediaProbeError::notLocalFile(const QString& location)
{
    return { Case::notLocalFile, location };
}

QString MediaProbeError::errorDescription() const
{
    switch (m_case) {
    case Case::fileNotFound:
        return u"The file doesn't exist."_s;
    case Case::unreadable:
        return u"The file couldn't be read."_s;
    case Case::unsupportedFormat:
        return u"The file isn't in a supported audio format."_s;
    case Case::notLocalFile:
        return u"Only files on this computer can be read."_s;
    }
    return {};
}

namespace {

// ---- process-wide set-up -------------------------------------------------------

class SilentTagLibListener final : public TagLib::DebugListener {
public:
    void printMessage(const TagLib::String&) override { }
};

void silenceMediaLibraries()
{
    static std::once_flag once;
    std::call_once(once, [] {
        // Broken files are reported through our own errors; the libraries'
        // own chatter on stderr helps nobody.
        av_log_set_level(AV_LOG_QUIET);
        static SilentTagLibListener listener;
        TagLib::setDebugListener(&listener);
    });
}

// The containers of the audio types the library imports. Every other demuxer
// (playlists, image sequences, text) stays out of reach of a file's contents.
constexpr const char* audioDemuxers = "mp3,mov,mp4,m4a,wav,w64,flac,aac,ogg,asf,aiff";

// ---- tag names -------------------------------------------------------------------

struct KeyMapping {
    const char* name; // as TagLib's property map or FFmpeg's dictionary names it
    QLatin1StringView commonKey;
};

constexpr KeyMapping commonKeys[] = {
    { "TITLE", MediaCommonKey::title },
    { "ARTIST", MediaCommonKey::artist },
    { "ALBUM", MediaCommonKey::albumName },
    { "GENRE", MediaCommonKey::genre },
    { "COMPOSER", MediaCommonKey::composer },
    { "ALBUMARTIST", MediaCommonKey::albumArtist },
    { "ALBUM_ARTIST", MediaCommonKey::albumArtist },
    { "DATE", MediaCommonKey::creationDate },
    { "TRACKNUMBER", MediaCommonKey::trackNumber },
    { "TRACK", MediaCommonKey::trackNumber },
    { "DISCNUMBER", MediaCommonKey::discNumber },
    { "DISC", MediaCommonKey::discNumber },
    { "COPYRIGHT", MediaCommonKey::copyrights },
    { "LABEL", MediaCommonKey::publisher },
    { "PUBLISHER", MediaCommonKey::publisher },
    { "LANGUAGE", MediaCommonKey::language },
};

std::optional<QString> commonKeyFor(const QString& name)
{
    for (const auto& mapping : commonKeys) {
        if (name.compare(QLatin1StringView(mapping.name), Qt::CaseInsensitive) == 0) {
            return QString(mapping.commonKey);
        }
    }
    return std::nullopt;
}

QString toQString(const TagLib::String& text)
{
    const std::string utf8 = text.to8Bit(true);
    return QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
}

QByteArray toBytes(const TagLib::ByteVector& bytes)
{
    return QByteArray(bytes.data(), qsizetype(bytes.size()));
}

MediaMetadataItem artworkItem(QByteArray bytes)
{
    return { QString(MediaCommonKey::artwork), std::nullopt, std::move(bytes) };
}

// ---- TagLib ------------------------------------------------------------------------

void appendID3v2Pictures(TagLib::ID3v2::Tag* tag, QList<MediaMetadataItem>& items)
{
    if (tag == nullptr) {
        return;
    }
    for (TagLib::ID3v2::Frame* frame : tag->frameList("APIC")) {
        if (auto* picture = dynamic_cast<TagLib::ID3v2::AttachedPictureFrame*>(frame)) {
            items.append(artworkItem(toBytes(picture->picture())));
        }
    }
}

void appendXiphPictures(TagLib::Ogg::XiphComment* comment, QList<MediaMetadataItem>& items)
{
    if (comment == nullptr) {
        return;
    }
    for (TagLib::FLAC::Picture* picture : comment->pictureList()) {
        items.append(artworkItem(toBytes(picture->data())));
    }
}

// Artwork has no common API in TagLib: each container keeps it its own way.
void appendPictures(TagLib::File* file, QList<MediaMetadataItem>& items)
{
    using namespace TagLib;
    if (auto* mpeg = dynamic_cast<MPEG::File*>(file)) {
        appendID3v2Pictures(mpeg->hasID3v2Tag() ? mpeg->ID3v2Tag() : nullptr, items);
    } else if (auto* wav = dynamic_cast<RIFF::WAV::File*>(file)) {
        appendID3v2Pictures(wav->hasID3v2Tag() ? wav->ID3v2Tag() : nullptr, items);
    } else if (auto* aiff = dynamic_cast<RIFF::AIFF::File*>(file)) {
        appendID3v2Pictures(aiff->hasID3v2Tag() ? aiff->tag() : nullptr, items);
    } else if (auto* mp4 = dynamic_cast<MP4::File*>(file)) {
        if (MP4::Tag* tag = mp4->tag(); tag != nullptr && tag->contains("covr")) {
            for (const MP4::CoverArt& cover : tag->item("covr").toCoverArtList()) {
                items.append(artworkItem(toBytes(cover.data())));
            }
        }
    } else if (auto* flac = dynamic_cast<FLAC::File*>(file)) {
        for (FLAC::Picture* picture : flac->pictureList()) {
            items.append(artworkItem(toBytes(picture->data())));
        }
        appendXiphPictures(flac->hasXiphComment() ? flac->xiphComment() : nullptr, items);
    } else if (auto* asf = dynamic_cast<ASF::File*>(file)) {
        if (ASF::Tag* tag = asf->tag()) {
            for (const ASF::Attribute& attribute : tag->attribute("WM/Picture")) {
                const ASF::Picture picture = attribute.toPicture();
                if (picture.isValid()) {
                    items.append(artworkItem(toBytes(picture.picture())));
                }
            }
        }
    } else {
        // Ogg Vorbis, Opus, Speex and Ogg FLAC keep pictures in the comment.
        appendXiphPictures(dynamic_cast<Ogg::XiphComment*>(file->tag()), items);
    }
}

// The tags as TagLib reads them, or nothing when TagLib does not know the file
// as audio (it happily opens some non-audio files and reports no length).
std::optional<QList<MediaMetadataItem>> readTagLibItems(const QString& path)
{
    const TagLib::FileRef ref(
        QFile::encodeName(path).constData(), true, TagLib::AudioProperties::Fast);
    if (ref.isNull() || ref.audioProperties() == nullptr
        || ref.audioProperties()->lengthInMilliseconds() <= 0) {
        return std::nullopt;
    }
    QList<MediaMetadataItem> items;
    const TagLib::PropertyMap properties = ref.file()->properties();
    for (const auto& [name, values] : properties) {
        const std::optional<QString> commonKey = commonKeyFor(toQString(name));
        for (const TagLib::String& value : values) {
            items.append({ commonKey, toQString(value), std::nullopt });
        }
    }
    appendPictures(ref.file(), items);
    return items;
}

// ---- FFmpeg ------------------------------------------------------------------------

struct FormatContextCloser {
    void operator()(AVFormatContext* context) const { avformat_close_input(&context); }
};
using FormatContext = std::unique_ptr<AVFormatContext, FormatContextCloser>;

// FFmpeg grows its probe buffer step by step until a leading ID3v2 tag fits,
// running every demuxer's probe at each step: with embedded artwork that costs
// milliseconds per file. Probing the audio right after the tag once gives the
// same answer; when it is unsure, FFmpeg probes as usual.
const AVInputFormat* formatAfterID3v2(const QString& path, const QByteArray& location)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return nullptr;
    }
    const QByteArray header = file.read(10);
    if (header.size() < 10 || !header.startsWith("ID3")) {
        return nullptr;
    }
    const auto byte = [&header](int i) { return quint32(quint8(header[i])); };
    if ((byte(6) | byte(7) | byte(8) | byte(9)) & 0x80) {
        return nullptr; // not a valid synchsafe size
    }
    qint64 tagSize = 10 + (byte(6) << 21 | byte(7) << 14 | byte(8) << 7 | byte(9));
    if (byte(5) & 0x10) {
        tagSize += 10; // footer
    }
    if (!file.seek(tagSize)) {
        return nullptr;
    }
    QByteArray data = file.read(16 * 1024);
    const int size = int(data.size());
    if (size == 0) {
        return nullptr;
    }
    data.append(QByteArray(AVPROBE_PADDING_SIZE, '\0'));
    AVProbeData probe {};
    probe.filename = location.constData();
    probe.buf = reinterpret_cast<unsigned char*>(data.data());
    probe.buf_size = size;
    int score = 0;
    const AVInputFormat* format = av_probe_input_format3(&probe, 1, &score);
    return score > AVPROBE_SCORE_RETRY ? format : nullptr;
}

void appendDictionary(const AVDictionary* dictionary, QList<MediaMetadataItem>& items)
{
    const AVDictionaryEntry* entry = nullptr;
    while ((entry = av_dict_get(dictionary, "", entry, AV_DICT_IGNORE_SUFFIX)) != nullptr) {
        items.append({ commonKeyFor(QString::fromUtf8(entry->key)), QString::fromUtf8(entry->value),
            std::nullopt });
    }
}

class LocalMediaAsset final : public MediaAsset {
public:
    explicit LocalMediaAsset(QString path)
        : m_path(std::move(path))
    {
    }

    QList<MediaMetadataItem> loadMetadata() override
    {
        open();
        if (!m_items) {
            m_items = readTagLibItems(m_path);
            if (!m_items) {
                m_items = ffmpegItems();
            }
        }
        return *m_items;
    }

    double loadDuration() override
    {
        open();
        return m_duration;
    }

    QList<MediaAudioTrack> loadAudioTracks() override
    {
        open();
        return m_audioTracks;
    }

private:
    // FFmpeg decides whether the file is audio at all; every load fails alike
    // when it is not.
    void open()
    {
        if (m_error) {
            throw *m_error;
        }
        if (m_context) {
            return;
        }
        try {
            openContext();
        } catch (const MediaProbeError& error) {
            m_error = error;
            throw;
        }
    }

    void openContext()
    {
        const QFileInfo info(m_path);
        if (!info.exists()) {
            throw MediaProbeError::fileNotFound(m_path);
        }
        if (!info.isFile() || !info.isReadable()) {
            throw MediaProbeError::unreadable(m_path);
        }
        // The "file:" prefix and the protocol list keep FFmpeg from reading any
        // name as a network address, whatever the path looks like.
        const QByteArray location = "file:" + QFile::encodeName(info.absoluteFilePath());
        AVFormatContext* raw = nullptr;
        int opened = -1;
        if (const AVInputFormat* format = formatAfterID3v2(m_path, location)) {
            opened = openInput(&raw, location, format);
        }
        if (opened < 0) {
            opened = openInput(&raw, location, nullptr);
        }
        if (opened < 0) {
            if (opened == AVERROR(ENOENT)) {
                throw MediaProbeError::fileNotFound(m_path);
            }
            if (opened == AVERROR(EACCES) || opened == AVERROR(EISDIR)) {
                throw MediaProbeError::unreadable(m_path);
            }
            throw MediaProbeError::unsupportedFormat(m_path);
        }
        FormatContext context(raw);
        // Containers whose header gives the rate and the length need no
        // stream analysis, which for PCM means reading the whole file.
        if (!headerIsComplete(context.get())
            && avformat_find_stream_info(context.get(), nullptr) < 0) {
            throw MediaProbeError::unsupportedFormat(m_path);
        }
        AVStream* firstAudio = nullptr;
        bool hasSampleRate = false;
        for (unsigned i = 0; i < context->nb_streams; ++i) {
            AVStream* stream = context->streams[i];
            if (stream->codecpar->codec_type != AVMEDIA_TYPE_AUDIO
                || stream->codecpar->codec_id == AV_CODEC_ID_NONE) {
                continue;
            }
            if (firstAudio == nullptr) {
                firstAudio = stream;
            }
            const int rate = stream->codecpar->sample_rate;
            hasSampleRate = hasSampleRate || rate > 0;
            m_audioTracks.append({ rate > 0 ? std::optional<double>(rate) : std::nullopt });
        }
        // Random bytes can pass for an MP3 or ADTS stream by their name alone;
        // what FFmpeg finds then has no sample rate.
        if (firstAudio == nullptr || !hasSampleRate) {
            throw MediaProbeError::unsupportedFormat(m_path);
        }
        m_duration = durationOf(context.get(), firstAudio);
        m_firstAudio = firstAudio;
        m_context = std::move(context);
    }

    static int openInput(
        AVFormatContext** context, const QByteArray& location, const AVInputFormat* format)
    {
        AVDictionary* options = nullptr;
        av_dict_set(&options, "protocol_whitelist", "file", 0);
        av_dict_set(&options, "format_whitelist", audioDemuxers, 0);
        const int opened = avformat_open_input(context, location.constData(), format, &options);
        av_dict_free(&options);
        return opened;
    }

    static bool headerIsComplete(const AVFormatContext* context)
    {
        for (unsigned i = 0; i < context->nb_streams; ++i) {
            const AVStream* stream = context->streams[i];
            if (stream->codecpar->codec_type == AVMEDIA_TYPE_AUDIO) {
                return stream->codecpar->codec_id != AV_CODEC_ID_NONE
                    && stream->codecpar->sample_rate > 0 && stream->duration != AV_NOPTS_VALUE
                    && stream->duration > 0;
            }
        }
        return false;
    }

    static double durationOf(const AVFormatContext* context, const AVStream* audio)
    {
        double seconds = 0;
        if (context->duration != AV_NOPTS_VALUE && context->duration > 0) {
            seconds = double(context->duration) / AV_TIME_BASE;
        } else if (audio->duration != AV_NOPTS_VALUE && audio->duration > 0) {
            seconds = double(audio->duration) * av_q2d(audio->time_base);
        }
        // An unknown or indefinite length counts as none: a NaN here would
        // make every store that keeps the track unwritable.
        return std::isfinite(seconds) && seconds > 0 ? seconds : 0.0;
    }

    QList<MediaMetadataItem> ffmpegItems() const
    {
        QList<MediaMetadataItem> items;
        appendDictionary(m_context->metadata, items);
        // Ogg keeps its comments on the stream rather than the container.
        appendDictionary(m_firstAudio->metadata, items);
        for (unsigned i = 0; i < m_context->nb_streams; ++i) {
            const AVStream* stream = m_context->streams[i];
            if ((stream->disposition & AV_DISPOSITION_ATTACHED_PIC) != 0
                && stream->attached_pic.size > 0) {
                items.append(
                    artworkItem(QByteArray(reinterpret_cast<const char*>(stream->attached_pic.data),
                        stream->attached_pic.size)));
            }
        }
        return items;
    }

    QString m_path;
    FormatContext m_context;
    const AVStream* m_firstAudio = nullptr;
    std::optional<MediaProbeError> m_error;
    double m_duration = 0;
    QList<MediaAudioTrack> m_audioTracks;
    std::optional<QList<MediaMetadataItem>> m_items;
};

} // namespace

LocalMediaProbe::LocalMediaProbe()
{
    silenceMediaLibraries();
}

std::unique_ptr<MediaAsset> LocalMediaProbe::openAsset(const QString& path) const
{
    return std::make_unique<LocalMediaAsset>(path);
}

} // namespace kivo
