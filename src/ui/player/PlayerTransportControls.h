#pragma once

#include "engines/playback/AudioEngine.h"
#include "engines/playback/QueueEngine.h"
#include "ui/eon/EonPressButtonStyle.h"

#include <QWidget>

namespace kivo {

class EonIconButton;
class PlayerRepeatButton;

// The round amber play/pause button; a spinner replaces its symbol while buffering.
class PlayPauseButton : public EonPressButton {
    Q_OBJECT
    Q_PROPERTY(QString symbolName READ symbolName)
public:
    explicit PlayPauseButton(QWidget* parent = nullptr);
    const QString& symbolName() const { return m_symbolName; }
    bool isBusy() const { return m_busy; }
    void setState(const QString& symbolName, bool busy);

protected:
    void paintLabel(QPainter& painter, const QRectF& bounds) override;
    void paintPressed(QPainter& painter, const QRectF& bounds, double progress) override;
    void timerEvent(QTimerEvent* event) override;

private:
    QString m_symbolName;
    bool m_busy = false;
    int m_spinTimer = 0;
    int m_spinStep = 0;
};

// Shuffle, previous, play/pause, next and repeat. Follows both engines'
// published state and calls their operations.
class PlayerTransportControls : public QWidget {
    Q_OBJECT
public:
    PlayerTransportControls(AudioEngine& audio, QueueEngine& queue, QWidget* parent = nullptr);

    EonIconButton& shuffleButton() const { return *m_shuffle; }
    EonIconButton& previousButton() const { return *m_previous; }
    PlayPauseButton& playPauseButton() const { return *m_playPause; }
    EonIconButton& nextButton() const { return *m_next; }
    PlayerRepeatButton& repeatButton() const { return *m_repeat; }

    void refresh();

private:
    AudioEngine& m_audio;
    QueueEngine& m_queue;
    EonIconButton* m_shuffle;
    EonIconButton* m_previous;
    PlayPauseButton* m_playPause;
    EonIconButton* m_next;
    PlayerRepeatButton* m_repeat;
};

} // namespace kivo
