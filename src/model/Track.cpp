#include "model/Track.h"

#include "model/FlatObjectReader.h"
#include "model/SharedTexts.h"
#include "model/TextRules.h"

#include <QHash>
#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

using ::qHash;

TrackError::TrackError(Case errorCase, QString filename)
    : m_case(errorCase)
    , m_filename(std::move(filename))
    , m_what(errorDescription().toStdString())
{
}

TrackError TrackError::invalidFilename(const QString& filename)
{
    return TrackError(Case::InvalidFilename, filename);
}

QString TrackError::errorDescription() const
{
    return u"The filename '"_s + m_filename
        + u"' is invalid. Filenames cannot contain a forward slash ('/')."_s;
}

qint64 Track::clampedRating(qint64 rating)
{
    return std::clamp(rating, minRating, maxRating);
}

QString Track::fileFormat() const
{
    const QString name = fileURL.fileName();
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? QString() : name.mid(dot + 1);
}

Track Track::make(const QUuid& id, const TrackFileURL& fileURL, const QString& filename,
    const QString& title, double duration, const Date& dateAdded,
    const std::optional<QByteArray>& securityScopedBookmark)
{
    if (filename.contains(u'/')) {
        throw TrackError::invalidFilename(filename);
    }
    Track track;
    track.id = id;
    track.fileURL = fileURL;
    track.filename = filename;
    track.title = title;
    track.duration = duration;
    track.dateAdded = dateAdded;
    track.securityScopedBookmark = securityScopedBookmark;
    return track;
}

const TrackRareTexts& Track::rareTexts() const
{
    static const TrackRareTexts none;
    return m_rareTexts ? *m_rareTexts : none;
}

void Track::setRareText(
    OptionalNullable<QString> TrackRareTexts::*field, OptionalNullable<QString> value)
{
    if (!m_rareTexts) {
        if (!value) {
            return;
        }
        m_rareTexts = new TrackRareTexts;
    }
    m_rareTexts.data()->*field = std::move(value);
    // A song that lost its last rare text holds no block, as one that never had one.
    if (m_rareTexts->isEmpty()) {
        m_rareTexts.reset();
    }
}

void Track::setComposer(OptionalNullable<QString> value)
{
    setRareText(&TrackRareTexts::composer, std::move(value));
}

void Track::setAlbumArtist(OptionalNullable<QString> value)
{
    setRareText(&TrackRareTexts::albumArtist, std::move(value));
}

void Track::setComments(OptionalNullable<QString> value)
{
    setRareText(&TrackRareTexts::comments, std::move(value));
}

void Track::setLyrics(OptionalNullable<QString> value)
{
    setRareText(&TrackRareTexts::lyrics, std::move(value));
}

namespace {

bool textEqual(const QString& a, const QString& b)
{
    return text::equal(a, b);
}

bool textEqual(const OptionalNullable<QString>& a, const OptionalNullable<QString>& b)
{
    return a.has_value() == b.has_value() && (!a || text::equal(*a, *b));
}

template <typename Optional> void hashOptional(size_t& seed, const Optional& value)
{
    seed = qHashMulti(seed, value.has_value());
    if (value) {
        seed = qHash(*value, seed);
    }
}

void hashText(size_t& seed, const OptionalNullable<QString>& value)
{
    seed = qHashMulti(seed, value.has_value());
    if (value) {
        seed = text::hash(*value, seed);
    }
}

// Names repeat across many songs: decode them into shared buffers.
std::optional<QString> sharedName(std::optional<QString> name)
{
    if (name) {
        name = sharedtexts::intern(*name);
    }
    return name;
}

std::optional<QByteArray> tightBytes(std::optional<QByteArray> bytes)
{
    if (bytes && bytes->capacity() > bytes->size()) {
        bytes = QByteArray(bytes->constData(), bytes->size());
    }
    return bytes;
}

// Stored file URLs are nearly always this program's own encoding of a local
// path. Rebuilt from that path (and checked to encode back to exactly the
// stored text) they skip the general parser, which takes several times as
// long; anything else is parsed as before.
template <typename Reader> TrackFileURL decodeFileUrl(const Reader& reader)
{
    if (const std::optional<std::string_view> stored = reader.stringBytes("fileURL")) {
        const std::string_view text = *stored;
        constexpr qsizetype schemeLength = 7; // "file://", before the path's "/"
        if (text.starts_with("file:///")) {
            const QString path = QUrl::fromPercentEncoding(QByteArray::fromRawData(
                text.data() + schemeLength, qsizetype(text.size()) - schemeLength));
            // The encoding is plain ASCII: other stored bytes never match.
            if (QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded)
                == QLatin1StringView(text.data(), qsizetype(text.size()))) {
                return TrackFileURL::fromLocalFile(path);
            }
        }
    }
    const QUrl url = reader.requiredUrl("fileURL");
    // Kept only when the next save writes it so that it reads back the same.
    if (json::fileUrlFromText(json::fileUrlText(url)) != url) {
        reader.fail("fileURL", u"The URL would not be stored as it was read."_s);
    }
    return TrackFileURL::fromText(reader.requiredString("fileURL"));
}

} // namespace

bool Track::operator==(const Track& o) const
{
    return id == o.id && fileURL == o.fileURL && textEqual(filename, o.filename)
        && securityScopedBookmark == o.securityScopedBookmark && textEqual(title, o.title)
        && duration == o.duration && textEqual(artist, o.artist) && textEqual(album, o.album)
        && textEqual(genre, o.genre) && year == o.year && trackNumber == o.trackNumber
        && discNumber == o.discNumber && textEqual(composer(), o.composer())
        && textEqual(albumArtist(), o.albumArtist()) && textEqual(comments(), o.comments())
        && bpm == o.bpm && textEqual(lyrics(), o.lyrics()) && rating == o.rating
        && bitrate == o.bitrate && sampleRate == o.sampleRate && dateAdded == o.dateAdded;
}

size_t qHash(const Track& t, size_t seed)
{
    seed = qHashMulti(seed, t.id, t.fileURL);
    seed = text::hash(t.filename, seed);
    hashOptional(seed, t.securityScopedBookmark);
    seed = text::hash(t.title, seed);
    seed = qHash(t.duration, seed);
    hashText(seed, t.artist);
    hashText(seed, t.album);
    hashText(seed, t.genre);
    hashOptional(seed, t.year);
    hashOptional(seed, t.trackNumber);
    hashOptional(seed, t.discNumber);
    hashText(seed, t.composer());
    hashText(seed, t.albumArtist());
    hashText(seed, t.comments());
    hashOptional(seed, t.bpm);
    hashText(seed, t.lyrics());
    seed = qHash(t.rating, seed);
    hashOptional(seed, t.bitrate);
    hashOptional(seed, t.sampleRate);
    seed = qHashMulti(seed, t.dateAdded.has_value());
    if (t.dateAdded) {
        seed = qHash(t.dateAdded->secondsSinceReferenceDate, seed);
    }
    return seed;
}

Json Track::toJson() const
{
    using namespace json;
    Json o = Json::object();
    putUuid(o, "id", id);
    putUrl(o, "fileURL", fileURL);
    putString(o, "filename", filename);
    putString(o, "title", title);
    putDouble(o, "duration", duration);
    putOptional(
        o, "securityScopedBookmark", std::optional<QByteArray>(securityScopedBookmark), putBytes);
    putOptional(o, "artist", std::optional<QString>(artist), putString);
    putOptional(o, "album", std::optional<QString>(album), putString);
    putOptional(o, "genre", std::optional<QString>(genre), putString);
    putOptional(o, "year", std::optional<qint64>(year), putInt);
    putOptional(o, "trackNumber", std::optional<qint64>(trackNumber), putInt);
    putOptional(o, "discNumber", std::optional<qint64>(discNumber), putInt);
    putOptional(o, "composer", std::optional<QString>(composer()), putString);
    putOptional(o, "albumArtist", std::optional<QString>(albumArtist()), putString);
    putOptional(o, "comments", std::optional<QString>(comments()), putString);
    putOptional(o, "bpm", std::optional<qint64>(bpm), putInt);
    putOptional(o, "lyrics", std::optional<QString>(lyrics()), putString);
    putInt(o, "rating", rating);
    putOptional(o, "bitrate", std::optional<qint64>(bitrate), putInt);
    putOptional(o, "sampleRate", std::optional<qint64>(sampleRate), putInt);
    putOptional(o, "dateAdded", dateAdded, putDate);
    return o;
}

namespace {

// An optional integer field. The compact record keeps "absent" as the least
// 64-bit integer, so that one stored value is refused rather than read as none.
template <typename Reader> OptionalInt optionalCompactInt(const Reader& r, const char* key)
{
    const std::optional<qint64> value = r.optionalInt(key);
    if (value && !LeastMeansAbsent::canHold(*value)) {
        r.fail(key, u"The number %1 is out of this field's range."_s.arg(*value));
    }
    return value;
}

// Both readers, the tree's and the flat text's, decode through this one body.
template <typename Reader> Track decodeTrack(const Reader& r)
{
    Track t;
    t.id = r.requiredUuid("id");
    t.fileURL = decodeFileUrl(r);
    t.filename = r.requiredString("filename");
    t.title = r.requiredString("title");
    t.duration = r.requiredDouble("duration");
    t.securityScopedBookmark = tightBytes(r.optionalBytes("securityScopedBookmark"));
    t.artist = sharedName(r.optionalString("artist"));
    t.album = sharedName(r.optionalString("album"));
    t.genre = sharedName(r.optionalString("genre"));
    t.year = optionalCompactInt(r, "year");
    t.trackNumber = optionalCompactInt(r, "trackNumber");
    t.discNumber = optionalCompactInt(r, "discNumber");
    t.setComposer(sharedName(r.optionalString("composer")));
    t.setAlbumArtist(sharedName(r.optionalString("albumArtist")));
    t.setComments(r.optionalString("comments"));
    t.bpm = optionalCompactInt(r, "bpm");
    t.setLyrics(r.optionalString("lyrics"));
    t.rating = r.optionalInt("rating").value_or(0);
    t.bitrate = optionalCompactInt(r, "bitrate");
    t.sampleRate = optionalCompactInt(r, "sampleRate");
    t.dateAdded = r.optionalDate("dateAdded");
    if (!t.dateAdded) {
        t.dateAdded = Date::now();
    }
    return t;
}

constexpr std::string_view trackKeys[]
    = { "id", "fileURL", "filename", "title", "duration", "securityScopedBookmark", "artist",
          "album", "genre", "year", "trackNumber", "discNumber", "composer", "albumArtist",
          "comments", "bpm", "lyrics", "rating", "bitrate", "sampleRate", "dateAdded" };

} // namespace

Track Track::fromJson(const Json& object, const QString& path)
{
    return decodeTrack(json::ObjectReader(object, path));
}

std::optional<Track> Track::fromFlatJson(std::string_view text, bool* inEncoderForm)
{
    json::FlatObjectReader reader(trackKeys);
    if (!reader.read(text)) {
        return std::nullopt;
    }
    try {
        Track track = decodeTrack(reader);
        if (inEncoderForm) {
            // The two keys the encoder writes also for a record without them.
            *inEncoderForm = reader.inEncoderForm() && reader.contains("rating")
                && reader.contains("dateAdded");
        }
        return track;
    } catch (const json::FlatObjectReader::Unsure&) {
        return std::nullopt;
    }
}

Track Track::fromJsonText(
    const QByteArray& bytes, qsizetype begin, qsizetype end, qsizetype index, bool& inEncoderForm)
{
    const std::string_view text(bytes.constData() + begin, size_t(end - begin));
    if (std::optional<Track> track = fromFlatJson(text, &inEncoderForm)) {
        return std::move(*track);
    }
    const QString path = u'[' + QString::number(index) + u']';
    Track track = fromJson(json::parseRange(bytes, begin, end, path), path);
    // Seldom here: compared with its encoding.
    inEncoderForm = track.toJson().dump() == text;
    return track;
}

} // namespace kivo
