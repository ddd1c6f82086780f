#pragma once

#include "model/DatabaseManager.h"
#include "support/StubLibraryEngine.h"

#include <QSet>
#include <QStringList>
#include <algorithm>
#include <chrono>
#include <optional>
#include <qcoro/qcorotimer.h>
#include <stdexcept>

namespace kivo::test {

// A library over a list that tests script. Writes replace tracks by id,
// removals take them out, restores put them back; `hold` keeps every write
// waiting until it is false again, `failWith` makes the next writes throw that
// text, and `calls` logs "update:<title>=<rating>", "remove:<title>[:file]",
// "restore:<title>". Updates are counted in `updates`; the ones whose number
// (from 1) is in `failingUpdates` fail as a read-only disk, and an update of a
// song the list does not hold fails as the real library's does. An import
// records what it was handed, appends a song for every location it does not
// hold yet (unless its file name is in `failingFiles`) and then fails when
// `importFailure` is set, like the engine's summary of failed files. Adding
// folders records their paths in `added` and then fails with `failWith` when it
// is set. The load state is set by the test.
class ScriptedLibraryEngine final : public StubLibraryEngine {
public:
    QList<Track> tracks;
    QStringList calls;
    bool hold = false;
    QString failWith;
    LibraryLoadState state = LibraryLoadState::loaded;
    std::exception_ptr error;
    QList<QList<QUrl>> imports;
    QStringList added;
    QStringList failingFiles;
    std::optional<QString> importFailure;
    int updates = 0;
    QSet<int> failingUpdates;

    QList<Track> allTracks() const override { return tracks; }
    std::optional<Track> byID(const QUuid& id) const
    {
        const auto at = std::find_if(
            tracks.cbegin(), tracks.cend(), [&](const Track& track) { return track.id == id; });
        return at == tracks.cend() ? std::nullopt : std::optional(*at);
    }

    void publish(QList<Track> list)
    {
        tracks = std::move(list);
        Q_EMIT tracksChanged(tracks);
    }
    LibraryLoadState loadState() const override { return state; }
    std::exception_ptr loadError() const override { return error; }
    void setLoadState(LibraryLoadState newState, std::exception_ptr newError = nullptr)
    {
        state = newState;
        error = std::move(newError);
        Q_EMIT loadStateChanged(state);
    }

    QCoro::Task<> addFolders(QList<QUrl> folders) override
    {
        for (const QUrl& folder : folders) {
            added << folder.toLocalFile();
        }
        if (!failWith.isEmpty()) {
            throw std::runtime_error(failWith.toStdString());
        }
        co_return;
    }
    QCoro::Task<> importFiles(QList<QUrl> urls) override
    {
        imports.push_back(urls);
        for (const QUrl& url : urls) {
            const bool known = std::any_of(tracks.cbegin(), tracks.cend(),
                [&url](const Track& track) { return track.fileURL == url; });
            if (!known && !failingFiles.contains(url.fileName())) {
                tracks.push_back(Track::make(
                    QUuid::createUuid(), url, url.fileName(), url.fileName(), 61, Date { 0 }));
            }
        }
        Q_EMIT tracksChanged(tracks);
        if (importFailure) {
            throw DatabaseError::writeFailed(*importFailure);
        }
        co_return;
    }

    QCoro::Task<> updateTracks(QList<Track> changed) override
    {
        for (const Track& track : changed) {
            calls << QStringLiteral("update:%1=%2").arg(track.title).arg(track.rating);
        }
        QCoro::Task<> waiting = wait();
        co_await std::move(waiting);
        if (failingUpdates.contains(++updates)) {
            throw DatabaseError::writeFailed(QStringLiteral("Disk is read-only."));
        }
        if (std::any_of(changed.cbegin(), changed.cend(),
                [&](const Track& track) { return !byID(track.id); })) {
            throw DatabaseError::writeFailed(
                QStringLiteral("One or more tracks are no longer in the local library."));
        }
        for (const Track& track : changed) {
            *std::find_if(tracks.begin(), tracks.end(), [&](const Track& t) {
                return t.id == track.id;
            }) = track;
        }
        Q_EMIT tracksChanged(tracks);
    }
    QCoro::Task<> removeTrack(Track track, bool deleteFile) override
    {
        calls << QStringLiteral("remove:") + track.title
                + (deleteFile ? QStringLiteral(":file") : QString());
        QCoro::Task<> waiting = wait();
        co_await std::move(waiting);
        tracks.removeIf([&](const Track& t) { return t.id == track.id; });
        Q_EMIT tracksChanged(tracks);
    }
    QCoro::Task<> restoreTrack(Track track) override
    {
        calls << QStringLiteral("restore:") + track.title;
        QCoro::Task<> waiting = wait();
        co_await std::move(waiting);
        tracks.push_back(track);
        Q_EMIT tracksChanged(tracks);
    }

private:
    QCoro::Task<> wait()
    {
        do {
            QCoro::Task<> turn = QCoro::sleepFor(std::chrono::milliseconds(1));
            co_await std::move(turn);
        } while (hold);
        if (!failWith.isEmpty()) {
            throw std::runtime_error(failWith.toStdString());
        }
    }
};

} // namespace kivo::test
