#pragma once

#include "engines/library/LibraryEngine.h"
#include "engines/playback/AudioEngine.h"
#include "engines/playback/QueueEngine.h"
#include "engines/playback/WaveformGenerator.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QUuid>
#include <optional>

namespace kivo {

// The logic of the player bar: which copy of the current song and which
// duration it shows, the issue text from the queue engine's two errors, the
// queue panel's visibility and the current song's waveform. Main thread only;
// the engines outlive it.
class PlayerBarPresenter : public QObject {
    Q_OBJECT
public:
    static constexpr qint64 waveformPointCount = 360;

    PlayerBarPresenter(AudioEngine& audio, QueueEngine& queue, LibraryEngine& library,
        WaveformGenerator& waveforms, QObject* parent = nullptr);

    AudioEngine& audioEngine() const { return m_audio; }
    QueueEngine& queueEngine() const { return m_queue; }

    // The track block is 22% of the bar, kept within 220...290.
    static double leftBlockWidth(double barWidth);
    // The volume control fits from this bar width on.
    static bool showsVolume(double barWidth) { return barWidth >= 1020; }

    // The library's newest copy of `track`, else `track` itself, so that
    // edits show while the engine still plays the copy it started with.
    Track displayTrack(const Track& track) const;
    // The longer of the player's and the song's own duration; 0 when not positive.
    double displayDuration(const Track& displayTrack) const;

    // The playback error's text, else the saving error's, else nothing. A
    // playback error lasts until dismissed or until a song plays again.
    std::optional<QString> issueMessage() const;
    // Clears both errors, whichever was shown.
    void dismissIssue();

    bool isQueueVisible() const { return m_queueVisible; }
    void toggleQueue();

    // Passed on unchanged: the engine clamps.
    void seek(double seconds) { m_audio.seek(seconds); }

    // The current song's peaks; empty while computing or when they failed.
    const QList<float>& waveformPeaks() const { return m_peaks; }
    bool isWaveformLoading() const { return m_waveformLoading; }

Q_SIGNALS:
    void waveformChanged();
    void queueVisibleChanged(bool visible);
    void issueMessageChanged(const std::optional<QString>& message);

private:
    void currentTrackChanged(const std::optional<Track>& track);
    QCoro::Task<> runWaveform(quint64 generation, Track track);
    void setWaveform(QList<float> peaks, bool loading);

    AudioEngine& m_audio;
    QueueEngine& m_queue;
    LibraryEngine& m_library;
    WaveformGenerator& m_waveforms;
    QList<float> m_peaks;
    bool m_waveformLoading = false;
    bool m_queueVisible = false;
    // The song the waveform runs for and the number of the newest run: only
    // that run may change the peaks or the loading state, so a late or failed
    // run for an earlier song never touches what the current one shows.
    std::optional<QUuid> m_waveformKey;
    quint64 m_waveformGeneration = 0;
};

} // namespace kivo
