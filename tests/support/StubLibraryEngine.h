#pragma once

#include "engines/library/LibraryEngine.h"

namespace kivo::test {

// A library that holds nothing and does nothing: fakes override only what their
// test watches.
class StubLibraryEngine : public LibraryEngine {
public:
    QList<Track> allTracks() const override { return {}; }
    QCoro::Task<> addFolders(QList<QUrl>) override { co_return; }
    QCoro::Task<> importFiles(QList<QUrl>) override { co_return; }
    QCoro::Task<> rescanLibrary() override { co_return; }
    QCoro::Task<> loadLibraryFromDisk() override { co_return; }
    QList<Track> search(const QString&) const override { return {}; }
    QList<Track> getMostPlayed(qsizetype) const override { return {}; }
    QList<Track> getRecentlyAdded(qsizetype) const override { return {}; }
    QList<Track> getFavorites() const override { return {}; }
    QCoro::Task<> updateTrack(Track) override { co_return; }
    QCoro::Task<> updateTracks(QList<Track>) override { co_return; }
    QCoro::Task<> removeTrack(Track, bool) override { co_return; }
    QCoro::Task<> restoreTrack(Track) override { co_return; }
};

} // namespace kivo::test
