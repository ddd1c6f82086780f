#include "ui/player/PlayerBarPresenter.h"

#include "model/ErrorText.h"

#include <QPointer>
#include <algorithm>

namespace kivo {

PlayerBarPresenter::PlayerBarPresenter(AudioEngine& audio, QueueEngine& queue,
    LibraryEngine& library, WaveformGenerator& waveforms, QObject* parent)
    : QObject(parent)
    , m_audio(audio)
    , m_queue(queue)
    , m_library(library)
    , m_waveforms(waveforms)
{
    connect(&m_audio, &AudioEngine::currentTrackChanged, this,
        &PlayerBarPresenter::currentTrackChanged);
    const auto issueChanged = [this] { Q_EMIT issueMessageChanged(issueMessage()); };
    connect(&m_queue, &QueueEngine::lastPlaybackErrorChanged, this, issueChanged);
    connect(&m_queue, &QueueEngine::lastPersistenceErrorChanged, this, issueChanged);
    // A song that plays again ends the playback issue; a saving issue then shows.
    connect(&m_audio, &AudioEngine::playbackStateChanged, this, [this](PlaybackState state) {
        if (state == PlaybackState::playing && m_queue.lastPlaybackError()) {
            m_queue.reportPlaybackError(nullptr);
        }
    });
    currentTrackChanged(m_audio.currentTrack());
}

double PlayerBarPresenter::leftBlockWidth(double barWidth)
{
    return std::clamp(barWidth * 0.22, 220.0, 290.0);
}

Track PlayerBarPresenter::displayTrack(const Track& track) const
{
    const QList<Track> tracks = m_library.allTracks();
    const auto found = std::find_if(tracks.cbegin(), tracks.cend(),
        [&track](const Track& candidate) { return candidate.id == track.id; });
    return found != tracks.cend() ? *found : track;
}

double PlayerBarPresenter::displayDuration(const Track& displayTrack) const
{
    const double player = m_audio.duration();
    const double stored = displayTrack.duration;
    const double result = player <= stored ? stored : player;
    return result > 0 ? result : 0;
}

std::optional<QString> PlayerBarPresenter::issueMessage() const
{
    if (const std::exception_ptr playback = m_queue.lastPlaybackError()) {
        return describeError(playback);
    }
    if (const std::exception_ptr saving = m_queue.lastPersistenceError()) {
        return describeError(saving);
    }
    return std::nullopt;
}

void PlayerBarPresenter::dismissIssue()
{
    m_queue.clearReportedErrors();
}

void PlayerBarPresenter::toggleQueue()
{
    m_queueVisible = !m_queueVisible;
    Q_EMIT queueVisibleChanged(m_queueVisible);
}

void PlayerBarPresenter::currentTrackChanged(const std::optional<Track>& track)
{
    const std::optional<QUuid> key
        = track ? std::optional<QUuid>(track->id) : std::optional<QUuid>();
    if (key == m_waveformKey && m_waveformGeneration > 0) {
        return;
    }
    m_waveformKey = key;
    const quint64 generation = ++m_waveformGeneration;
    if (!track) {
        setWaveform({}, false);
        return;
    }
    setWaveform({}, true);
    runWaveform(generation, *track);
}

QCoro::Task<> PlayerBarPresenter::runWaveform(quint64 generation, Track track)
{
    const QPointer<PlayerBarPresenter> self(this);
    QList<float> peaks;
    try {
        peaks = (co_await m_waveforms.generateWaveform(track, waveformPointCount)).peaks;
    } catch (...) {
        peaks.clear(); // not shown: the bar draws its placeholder
    }
    if (!self || generation != m_waveformGeneration) {
        co_return;
    }
    const std::optional<Track> current = m_audio.currentTrack();
    setWaveform(current && current->id == track.id ? peaks : QList<float>(), false);
}

void PlayerBarPresenter::setWaveform(QList<float> peaks, bool loading)
{
    m_peaks = std::move(peaks);
    m_waveformLoading = loading;
    Q_EMIT waveformChanged();
}

} // namespace kivo
