#pragma once

#include "support/Await.h"
#include <QByteArray>
#include <QString>
#include <exception>
#include <optional>

namespace kivo::test {

// Tags written into generated fixtures. Date, track number and comment are
// there to show that the engine leaves those fields alone.
struct FixtureTags {
    QString title;
    QString artist;
    QString album;
    QString genre;
    QString composer;
    QString albumArtist;
    QString date = QStringLiteral("1999");
    QString trackNumber = QStringLiteral("7");
    QString comment = QStringLiteral("a comment");
};

// A small picture encoded as "PNG" or "JPEG".
QByteArray makeCoverImage(const char* format);

// Writes `tags` (and `cover`, when given, as the one embedded picture) into the
// file with TagLib, in the way its container keeps pictures.
bool tagWithTagLib(
    const QString& path, const FixtureTags& tags, const std::optional<QByteArray>& cover);

// An ID3v2 tag block for containers TagLib cannot open (raw ADTS AAC): put it
// in front of the audio data.
QByteArray renderID3v2(const FixtureTags& tags, const std::optional<QByteArray>& cover);

} // namespace kivo::test
