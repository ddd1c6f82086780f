#pragma once

#include "model/CompactOptional.h"
#include "model/Date.h"
#include "model/JsonCodec.h"
#include "model/TrackFileURL.h"

#include <QByteArray>
#include <QMetaType>
#include <QSharedData>
#include <QSharedDataPointer>
#include <QString>
#include <QUuid>
#include <exception>
#include <optional>
#include <string>
#include <string_view>

namespace kivo {

class TrackError : public std::exception {
public:
    enum class Case { InvalidFilename };

    static TrackError invalidFilename(const QString& filename);

    Case errorCase() const { return m_case; }
    const QString& filename() const { return m_filename; }
    QString errorDescription() const;
    const char* what() const noexcept override { return m_what.c_str(); }

private:
    TrackError(Case errorCase, QString filename);
    Case m_case;
    QString m_filename;
    std::string m_what;
};

// The texts that most songs lack. A song keeps them apart from its own
// record, and none at all when it has none: the library copies a list of
// every record when it grows, and inline they would make each record a
// quarter larger.
struct TrackRareTexts : QSharedData {
    OptionalNullable<QString> composer;
    OptionalNullable<QString> albumArtist;
    OptionalNullable<QString> comments;
    OptionalNullable<QString> lyrics;

    bool isEmpty() const { return !composer && !albumArtist && !comments && !lyrics; }
};

// One song of the library. A plain value: changes are made on a copy that the
// library then stores in place of the old one (matched by id). `id`, `fileURL`
// and `filename` are fixed once the track exists. The optional fields keep
// their absence in the value itself (see CompactOptional): the library holds
// several lists of every track.
struct Track {
    QUuid id;
    TrackFileURL fileURL;
    QString filename;
    OptionalNullable<QByteArray> securityScopedBookmark;
    QString title;
    double duration = 0;
    OptionalNullable<QString> artist;
    OptionalNullable<QString> album;
    OptionalNullable<QString> genre;
    OptionalInt year;
    OptionalInt trackNumber;
    OptionalInt discNumber;
    OptionalInt bpm;
    qint64 rating = 0;
    OptionalInt bitrate;
    OptionalInt sampleRate;
    std::optional<Date> dateAdded;

    const OptionalNullable<QString>& composer() const { return rareTexts().composer; }
    const OptionalNullable<QString>& albumArtist() const { return rareTexts().albumArtist; }
    const OptionalNullable<QString>& comments() const { return rareTexts().comments; }
    const OptionalNullable<QString>& lyrics() const { return rareTexts().lyrics; }
    void setComposer(OptionalNullable<QString> value);
    void setAlbumArtist(OptionalNullable<QString> value);
    void setComments(OptionalNullable<QString> value);
    void setLyrics(OptionalNullable<QString> value);

    // Stars run from none to five. A stored rating outside is kept as it is and
    // shown or written back clamped.
    static constexpr qint64 minRating = 0;
    static constexpr qint64 maxRating = 5;
    static qint64 clampedRating(qint64 rating);

    // A favourite is a song rated four stars or more.
    bool isFavorite() const { return rating >= 4; }
    // The rating that flips isFavorite(): five stars for a song that is not a
    // favourite, none for one that is.
    qint64 toggledFavoriteRating() const { return isFavorite() ? minRating : maxRating; }

    // The path extension of the song's file, as it is written (empty when it
    // has none): what the format column shows and sorts by.
    QString fileFormat() const;

    // Throws TrackError when `filename` contains "/".
    static Track make(const QUuid& id, const TrackFileURL& fileURL, const QString& filename,
        const QString& title, double duration, const Date& dateAdded,
        const std::optional<QByteArray>& securityScopedBookmark = std::nullopt);

    // Every field equal (texts by canonical equivalence).
    bool operator==(const Track& other) const;

    // Throws JsonCodingError(Encoding) for a non-finite duration or date.
    Json toJson() const;
    // Throws JsonCodingError(Decoding) naming the first bad key.
    static Track fromJson(const Json& object, const QString& path = {});
    // As fromJson() on the stored record bytes[begin, end), named "[index]"
    // in errors. Plain records are read without building a JSON tree.
    // `inEncoderForm` tells whether those bytes are exactly what toJson()
    // of the result writes, so that a save may copy them.
    static Track fromJsonText(const QByteArray& bytes, qsizetype begin, qsizetype end,
        qsizetype index, bool& inEncoderForm);
    // The record read without a JSON tree; nullopt for one that only a full
    // parse can decode (or reject) exactly.
    static std::optional<Track> fromFlatJson(std::string_view text, bool* inEncoderForm = nullptr);

private:
    const TrackRareTexts& rareTexts() const;
    void setRareText(
        OptionalNullable<QString> TrackRareTexts::*field, OptionalNullable<QString> value);

    // Null while every rare text is absent.
    QSharedDataPointer<TrackRareTexts> m_rareTexts;
};

size_t qHash(const Track& track, size_t seed = 0);

} // namespace kivo

// Every member moves by its bytes, so a growing list of 200,000 tracks is
// reallocated in place rather than copied track by track.
Q_DECLARE_TYPEINFO(kivo::Track, Q_RELOCATABLE_TYPE);

Q_DECLARE_METATYPE(kivo::Track)
