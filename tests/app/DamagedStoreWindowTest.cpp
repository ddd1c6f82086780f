// The window over stores that cannot be read: it says so, and nothing is
// written over them or over what was derived from them.
#include "AppOnTempFolder.h"
#include "app/MainLayoutView.h"
#include "app/MainWindow.h"
#include "app/RecoveryBannerView.h"
#include "engines/library/PlaylistEngineImpl.h"
#include "model/DatabaseManagerImpl.h"
#include "model/StoreFile.h"
#include "support/Await.h"
#include "support/TempDir.h"
#include "ui/library/SongsView.h"
#include "ui/songtable/TrackListView.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QTest>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace kivo;
using namespace Qt::Literals::StringLiterals;

namespace {

class DamagedStoreWindowTest : public test::TempDirTest {
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        QDir().mkpath(path(u"data"_s));
    }

    // Starts the program with its window up.
    MainLayoutView& start()
    {
        app = test::startAppIn(dir.path());
        EXPECT_TRUE(app->container().isBootstrapFinished());
        app->mainWindow().show();
        return app->mainWindow().layoutView();
    }

    QByteArray readFile(const QString& relative) const
    {
        QFile file(path(relative));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
    }

    QString bannerText() const
    {
        const RecoveryBannerView& banner = app->mainWindow().layoutView().banner();
        return banner.isVisible() ? banner.message() : u"(none)"_s;
    }

    QString emptyStateTitle() const
    {
        auto* songs = qobject_cast<SongsView*>(app->mainWindow().layoutView().contentScreen());
        return songs ? songs->trackList().controller().emptyState().title : u"(no songs)"_s;
    }

    std::unique_ptr<TavrenMediaStudioApp> app;
};

TEST_F(DamagedStoreWindowTest, AnUnreadableLibraryIsNamedAndQuittingLeavesTheSessionAsItWas)
{
    {
        TavrenDatabaseManager store(
            path(u"data"_s), std::make_shared<SettingsUserDefaults>(path(u"settings.json"_s)));
        const Track song = Track::make(QUuid::createUuid(),
            QUrl::fromLocalFile(path(u"song.wav"_s)), u"song.wav"_s, u"Song"_s, 1, Date::now());
        test::await(store.saveTracks({ song }));
        PlaybackStateSnapshot session;
        session.currentTrackID = song.id;
        session.repeatMode = session.shuffleMode = u"off"_s;
        store.savePlaybackState(session);
    }
    const QByteArray session = readFile(u"data/playback_state.json"_s);
    const QString tracks = path(u"data/tracks.json"_s);
    struct Damage {
        const char* name;
        std::function<void()> apply;
        QString reason;
    };
    const QList<Damage> damages {
        { "corrupt", [&] { writeFile(u"data/tracks.json"_s, "[{\"id\":"); },
            u"Its content is damaged."_s },
        { "cut to 0 bytes", [&] { writeFile(u"data/tracks.json"_s, ""); }, u"It is empty."_s },
        { "a folder", [&] { QDir().mkpath(tracks); }, u"Is a directory."_s },
        { "a FIFO", [&] { ::mkfifo(QFile::encodeName(tracks).constData(), 0600); },
            u"It is not a regular file."_s },
    };
    for (const Damage& damage : damages) {
        SCOPED_TRACE(damage.name);
        QFile::remove(tracks);
        damage.apply();
        start();
        EXPECT_EQ(bannerText(),
            u"The library file “tracks.json” could not be read: "_s + damage.reason
                + u" Nothing was changed."_s);
        EXPECT_EQ(emptyStateTitle(), u"The library could not be read"_s);

        Q_EMIT qApp->applicationStateChanged(Qt::ApplicationInactive);
        app->mainWindow().close();
        app.reset();
        EXPECT_EQ(readFile(u"data/playback_state.json"_s), session);
        QDir(tracks).removeRecursively();
    }
}

TEST_F(DamagedStoreWindowTest, ADamagedOrHugePlaylistStoreIsNamedWithTheWindowUpAndKept)
{
    const QString store = u"data/playlist_records.json"_s;
    {
        SCOPED_TRACE("damaged");
        writeFile(store, "[{\"id\":");
        start();
        EXPECT_EQ(bannerText(),
            u"The playlist file “playlist_records.json” could not be read: Its content is "
            u"damaged. Nothing was changed."_s);
        EXPECT_TRUE(app->container().playlistEngine().rootPlaylists().isEmpty());
        app->mainWindow().close();
        app.reset();
        EXPECT_EQ(readFile(store), "[{\"id\":");
    }
    SCOPED_TRACE("huge");
    QFile huge(writeFile(store, "[]"));
    ASSERT_TRUE(huge.resize(storefile::maximumFileSize)); // sparse: takes no space
    start();
    EXPECT_EQ(bannerText(),
        u"The playlist file “playlist_records.json” could not be read: It is 2 GiB or larger. "
        u"Nothing was changed."_s);
    EXPECT_EQ(emptyStateTitle(), u"No songs in library"_s);
    EXPECT_TRUE(app->container().playlistEngine().rootPlaylists().isEmpty());
    app.reset();
    EXPECT_EQ(QFileInfo(huge).size(), storefile::maximumFileSize);
}

} // namespace
