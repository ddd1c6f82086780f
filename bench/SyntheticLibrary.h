#pragma once

#include "model/Track.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <QUuid>
#include <map>
#include <random>

// A reproducible library of plausible tracks for benchmarks: the same seed
// gives the same tracks. About one artist per 20 tracks and one album per 10,
// 25 genres, bookmarks of the size the file-access layer makes, and the
// optional tags filled as often as a real collection fills them.
namespace kivo::bench {

inline QList<Track> makeSyntheticLibrary(int count, unsigned seed = 2001)
{
    using namespace Qt::Literals::StringLiterals;
    std::mt19937 random(seed);
    auto pick = [&](int bound) { return int(random() % unsigned(std::max(bound, 1))); };
    auto chance = [&](int percent) { return pick(100) < percent; };

    static const QStringList words { u"Blue"_s, u"Night"_s, u"River"_s, u"Echo"_s, u"Glass"_s,
        u"Summer"_s, u"Static"_s, u"Golden"_s, u"Northern"_s, u"Lights"_s, u"Paper"_s, u"Hearts"_s,
        u"Signal"_s, u"Café"_s, u"Motion"_s, u"Velvet"_s, u"Orbit"_s, u"Stone"_s, u"Wild"_s,
        u"Ghost"_s };
    static const QStringList genres { u"Rock"_s, u"Pop"_s, u"Jazz"_s, u"Electronic"_s,
        u"Classical"_s, u"Hip-Hop"_s, u"Folk"_s, u"Soul"_s, u"Blues"_s, u"Metal"_s, u"Ambient"_s,
        u"Country"_s, u"Reggae"_s, u"Funk"_s, u"Punk"_s, u"Indie"_s, u"House"_s, u"Techno"_s,
        u"Latin"_s, u"R&B"_s, u"Disco"_s, u"Gospel"_s, u"Ska"_s, u"Trance"_s, u"Soundtrack"_s };
    static const QStringList extensions { u"mp3"_s, u"m4a"_s, u"flac"_s, u"wav"_s, u"ogg"_s };
    auto phrase = [&](int length) {
        QStringList parts;
        for (int i = 0; i < length; ++i) {
            parts.push_back(words[pick(int(words.size()))]);
        }
        return parts.join(u' ');
    };
    auto uuid = [&] {
        QUuid id;
        id.data1 = random();
        id.data2 = ushort(random());
        id.data3 = ushort((random() & 0x0fff) | 0x4000);
        for (uchar& byte : id.data4) {
            byte = uchar(random());
        }
        id.data4[0] = uchar((id.data4[0] & 0x3f) | 0x80);
        return id;
    };

    const int artistCount = std::max(count / 20, 1);
    const int albumCount = std::max(count / 10, 1);
    QStringList artists;
    for (int i = 0; i < artistCount; ++i) {
        artists.push_back(phrase(1 + pick(2)) + u' ' + QString::number(i));
    }
    QStringList albums;
    QList<int> albumArtist;
    for (int i = 0; i < albumCount; ++i) {
        albums.push_back(phrase(1 + pick(3)) + u' ' + QString::number(i));
        albumArtist.push_back(pick(artistCount));
    }
    QList<Track> tracks;
    tracks.reserve(count);
    for (int i = 0; i < count; ++i) {
        const int album = pick(albumCount);
        const QString& artist = artists[albumArtist[album]];
        const QString& albumName = albums[album];
        const QString title = phrase(1 + pick(4));
        const int number = 1 + pick(14);
        const QString filename = u"%1 %2.%3"_s.arg(number, 2, 10, QLatin1Char('0'))
                                     .arg(title, extensions[pick(int(extensions.size()))]);
        const QString path = u"/home/listener/Music/%1/%2/%3"_s.arg(artist, albumName, filename);

        Track track = Track::make(uuid(), QUrl::fromLocalFile(path), filename, title,
            120.0 + pick(300000) / 1000.0,
            Date { 600000000.0 + pick(200000000) + pick(1000) / 1000.0 });
        // Same size as a real bookmark: magic, version, device, inode, path.
        QByteArray bookmark(25, '\x01');
        bookmark += path.toUtf8();
        track.securityScopedBookmark = bookmark;
        track.artist = artist;
        track.album = albumName;
        track.genre = genres[pick(int(genres.size()))];
        track.year = 1960 + pick(65);
        track.trackNumber = number;
        track.discNumber = 1;
        if (chance(30)) {
            track.setComposer(phrase(2));
        }
        if (chance(40)) {
            track.setAlbumArtist(artist);
        }
        if (chance(5)) {
            track.setComments(phrase(6));
        }
        if (chance(20)) {
            track.bpm = 70 + pick(110);
        }
        if (chance(2)) {
            track.setLyrics(phrase(80));
        }
        track.rating = pick(6);
        track.bitrate = chance(50) ? 320 : 256;
        track.sampleRate = chance(80) ? 44100 : 48000;
        tracks.push_back(std::move(track));
    }
    return tracks;
}

// The library of `count` tracks (default seed), made once per size.
inline const QList<Track>& syntheticLibraryOf(qsizetype count)
{
    static std::map<qsizetype, QList<Track>> made;
    auto found = made.find(count);
    if (found == made.end()) {
        found = made.emplace(count, makeSyntheticLibrary(int(count))).first;
    }
    return found->second;
}

} // namespace kivo::bench
