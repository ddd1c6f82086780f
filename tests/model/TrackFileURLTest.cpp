#include "model/TrackFileURL.h"
#include "model/Track.h"

#include <QHash>
#include <gtest/gtest.h>

using namespace kivo;
using namespace Qt::Literals::StringLiterals;

namespace {

// Local files (plain, odd and unusual forms), other URLs and the empty one.
QList<QUrl> locations()
{
    QList<QUrl> urls;
    for (const QString& path : { u"/music/My Song.mp3"_s, u"/m/Caf\u00e9/\u266b 100% #1?[2].mp3"_s,
             u"/m//twice/./a.mp3"_s, u"/"_s, u"/m/dir/"_s }) {
        urls.push_back(QUrl::fromLocalFile(path));
    }
    for (const QString& text : { u"file:/music/My%20Song.mp3"_s, u"file://server/share/a.mp3"_s,
             u"file:///m/a%2Fb.mp3"_s, u"file:///m/a#b#c%23d"_s, u"file:///m/a.mp3?q"_s,
             u"https://example.com/a%20b.mp3"_s, u"relative/a.mp3"_s, u"/rooted"_s }) {
        urls.push_back(QUrl(text, QUrl::StrictMode));
    }
    urls.push_back(QUrl());
    return urls;
}

template <typename Location> QString describe(const Location& l)
{
    return u"%1%2%3 [%4] [%5] [%6] %7"_s.arg(int(l.isEmpty()))
        .arg(int(l.isValid()))
        .arg(int(l.isLocalFile()))
        .arg(l.toLocalFile(), l.path(), l.fileName(), l.toString(QUrl::FullyEncoded));
}

} // namespace

namespace kivo {
void PrintTo(const TrackFileURL& location, std::ostream* out)
{
    *out << location.toString().toStdString();
}
} // namespace kivo

TEST(TrackFileURL, GivesBackTheQUrlItWasMadeFromAndItsStoredText)
{
    for (const QUrl& url : locations()) {
        const TrackFileURL location(url);
        EXPECT_EQ(describe(location), describe(url));
        EXPECT_EQ(describe(location.toUrl()), describe(url));
        EXPECT_TRUE(location.toUrl() == url && location == url) << describe(url).toStdString();
        if (url.isLocalFile()) {
            const QString path = url.toLocalFile();
            EXPECT_EQ(
                describe(TrackFileURL::fromLocalFile(path)), describe(QUrl::fromLocalFile(path)));
        }
        if (url.isEmpty() || url.isRelative()) {
            continue;
        }
        // Through a track's record and back, the text as a save writes it.
        Track track = Track::make(QUuid(), location, u"f"_s, u"t"_s, 1, Date { 0 });
        const std::string record = track.toJson().dump();
        EXPECT_EQ(track.toJson()["fileURL"], json::fileUrlText(url).toStdString());
        bool inEncoderForm = false;
        const Track read = Track::fromJsonText(
            QByteArray::fromStdString(record), 0, record.size(), 0, inEncoderForm);
        EXPECT_TRUE(inEncoderForm) << record;
        EXPECT_EQ(describe(read.fileURL), describe(url));
        EXPECT_EQ(read.fileURL, location);
    }
}

TEST(TrackFileURL, EqualityAndHashAgreeWithQUrls)
{
    QList<QUrl> urls = locations();
    urls.push_back(QUrl(u"FILE:///music/My%20Song.mp3"_s, QUrl::StrictMode));
    urls.push_back(QUrl(u"file:///music/My%20Song.mp3"_s, QUrl::StrictMode));
    for (const QUrl& a : urls) {
        for (const QUrl& b : urls) {
            const bool same = TrackFileURL(a) == TrackFileURL(b);
            EXPECT_EQ(same, a == b)
                << describe(a).toStdString() << " / " << describe(b).toStdString();
            if (same) {
                EXPECT_EQ(qHash(TrackFileURL(a), 7), qHash(TrackFileURL(b), 7));
            }
        }
    }
    EXPECT_EQ(TrackFileURL(), TrackFileURL(QUrl()));
    EXPECT_EQ(TrackFileURL().toUrl(), QUrl());
}
