#include "engines/playback/QueueEngine.h"

#include <QSet>

#include <algorithm>
#include <array>
#include <cmath>

namespace kivo {

namespace {
constexpr std::array<const char16_t*, 3> repeatTexts { u"off", u"track", u"all" };
constexpr std::array<const char16_t*, 3> shuffleTexts { u"off", u"standard", u"smart" };

template <typename Mode>
std::optional<Mode> fromText(const std::array<const char16_t*, 3>& texts, const QString& text)
{
    for (size_t i = 0; i < texts.size(); ++i) {
        if (text == QStringView(texts[i])) {
            return Mode(i);
        }
    }
    return std::nullopt;
}
} // namespace

namespace {
QList<QUuid> idsOf(const QList<Track>& tracks)
{
    QList<QUuid> ids;
    ids.reserve(tracks.size());
    for (const Track& track : tracks) {
        ids.push_back(track.id);
    }
    return ids;
}
} // namespace

QList<QUuid> QueueEngine::upcomingIDs() const
{
    return idsOf(upcoming());
}

QList<QUuid> QueueEngine::historyIDs() const
{
    return idsOf(history());
}

std::optional<Track> QueueEngine::upcomingTrack(qsizetype position) const
{
    const QList<Track> tracks = upcoming();
    return position >= 0 && position < tracks.size() ? std::optional(tracks[position])
                                                     : std::nullopt;
}

std::optional<Track> QueueEngine::historyTrack(qsizetype position) const
{
    const QList<Track> tracks = history();
    return position >= 0 && position < tracks.size() ? std::optional(tracks[position])
                                                     : std::nullopt;
}

QString repeatModeText(RepeatMode mode)
{
    return QString::fromUtf16(repeatTexts[size_t(mode)]);
}

std::optional<RepeatMode> repeatModeFromText(const QString& text)
{
    return fromText<RepeatMode>(repeatTexts, text);
}

QString shuffleModeText(ShuffleMode mode)
{
    return QString::fromUtf16(shuffleTexts[size_t(mode)]);
}

std::optional<ShuffleMode> shuffleModeFromText(const QString& text)
{
    return fromText<ShuffleMode>(shuffleTexts, text);
}

QList<QUuid> playbackOrderWithin(QList<QUuid> order, const QUuid& current,
    const QList<QUuid>& upcoming, const QList<QUuid>& history)
{
    QSet<QUuid> restored;
    restored.reserve(upcoming.size() + history.size() + 1);
    restored.insert(current);
    for (const QList<QUuid>* list : { &upcoming, &history }) {
        for (const QUuid& id : *list) {
            restored.insert(id);
        }
    }
    order.removeIf([&](const QUuid& id) { return !restored.contains(id); });
    return order;
}

std::optional<ResolvedPlaybackSession> resolvePlaybackSession(
    const PlaybackStateSnapshot& snapshot, const TrackLookup& trackWithID)
{
    const auto resolve = [&](const QList<QUuid>& ids, const std::optional<QUuid>& skipped) {
        QList<QUuid> kept;
        kept.reserve(ids.size());
        for (const QUuid& id : ids) {
            if (id != skipped && trackWithID(id)) {
                kept.push_back(id);
            }
        }
        return kept;
    };

    const Track* current = nullptr;
    if (snapshot.currentTrackID) {
        current = trackWithID(*snapshot.currentTrackID);
    }
    for (qsizetype i = 0; !current && i < snapshot.upcomingTrackIDs.size(); ++i) {
        current = trackWithID(snapshot.upcomingTrackIDs[i]);
    }
    if (!current) {
        return std::nullopt;
    }

    ResolvedPlaybackSession session;
    session.currentTrack = *current;
    session.upcoming = resolve(snapshot.upcomingTrackIDs, session.currentTrack.id);
    session.history = resolve(snapshot.historyTrackIDs, session.currentTrack.id);
    if (snapshot.playbackOrderTrackIDs) {
        // Limited here, off the window's thread: a saved order may name the
        // whole library.
        session.playbackOrder = playbackOrderWithin(*snapshot.playbackOrderTrackIDs,
            session.currentTrack.id, session.upcoming, session.history);
    }
    session.repeatMode = repeatModeFromText(snapshot.repeatMode).value_or(RepeatMode::off);
    session.shuffleMode = shuffleModeFromText(snapshot.shuffleMode).value_or(ShuffleMode::off);
    const double time = snapshot.currentTime;
    session.currentTime = std::isfinite(time) && time > 0 ? time : 0.0;
    const float volume = snapshot.volume.value_or(1.0f);
    session.volume = volume > 0 ? std::min(volume, 1.0f) : 0.0f;
    return session;
}

} // namespace kivo
