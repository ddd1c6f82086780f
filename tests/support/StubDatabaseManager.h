#pragma once

#include "model/DatabaseManager.h"

namespace kivo::test {

// A store that holds nothing and keeps nothing: fakes override only what
// their test watches.
class StubDatabaseManager : public DatabaseManager {
public:
    QUrl databaseURL() const override { return {}; }
    QCoro::Task<void> eraseAllData() override { co_return; }
    QCoro::Task<void> saveTracks(QList<Track>) override { co_return; }
    QCoro::Task<QList<Track>> loadAllTracks() override { co_return QList<Track> {}; }
    QCoro::Task<std::optional<Track>> fetchTrack(QUuid) override { co_return std::nullopt; }
    QCoro::Task<void> deleteTracks(QList<Track>) override { co_return; }
    void savePlaylists(const QList<Playlist>&) override { }
    QList<Playlist> loadAllPlaylists() override { return {}; }
    void deletePlaylist(const QUuid&) override { }
    void recordPlayback(const QUuid&, const Date&) override { }
    PlaybackStatistics fetchStatistics(const QUuid&) override { return {}; }
    void setPreferenceJson(const Json&, const QString&) override { }
    std::optional<Json> preferenceJson(const QString&) const override { return std::nullopt; }
    void savePlaybackState(const PlaybackStateSnapshot&) override { }
    std::optional<PlaybackStateSnapshot> loadPlaybackState() override { return std::nullopt; }
};

} // namespace kivo::test
