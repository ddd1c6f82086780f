#pragma once

#include "ui/player/WaveformSeekGeometry.h"

#include <QImage>
#include <QList>
#include <QPointer>
#include <QWidget>
#include <functional>

namespace kivo {

// The waveform seek bar: bars from the peaks, tinted up to the position, a
// playhead and a time bubble while dragging. Knows nothing of the engines:
// seeks leave as seconds through `onSeek`.
class CompactWaveformSeekView : public QWidget {
    Q_OBJECT
public:
    explicit CompactWaveformSeekView(QWidget* parent = nullptr);

    void setPeaks(const QList<float>& peaks);
    void setProgress(double progress);
    void setDuration(double duration);
    void setLoading(bool loading);
    void setOnSeek(std::function<void(double)> onSeek) { m_onSeek = std::move(onSeek); }

    const QList<float>& peaks() const { return m_peaks; }
    double progress() const { return m_progress; }
    double duration() const { return m_duration; }
    bool isLoading() const { return m_loading; }
    const std::optional<double>& scrubProgress() const { return m_scrub.scrubProgress(); }
    // The spoken value: the displayed position as time text.
    QString accessibleValue() const;
    // The spoken adjustment: five seconds forward (+1) or back (-1) from the
    // displayed position, as the arrow keys do.
    void stepBy(int direction);
    // A position set from outside (assistive technology), kept inside the
    // track; a value that is not a number is ignored.
    void seekTo(double seconds);
    // The displayed position in seconds, inside the track.
    double displayedSeconds() const;

    // Draws the whole bar into `painter` at the widget's size (also used by the benchmark).
    void paintBar(QPainter& painter) const;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void seek(double seconds);
    void updateBubble();
    void notifyAccessibleValue();

    QList<float> m_peaks;
    double m_progress = 0;
    double m_duration = 0;
    bool m_loading = false;
    bool m_hovering = false;
    waveformseek::Scrub m_scrub;
    std::function<void(double)> m_onSeek;
    // The value a screen reader last heard.
    QString m_announcedValue;
    QPointer<QWidget> m_bubble;
    // The bars in the played and the unplayed tint, for these peaks and size.
    mutable struct {
        QSize size;
        QList<float> peaks;
        QImage images[2];
    } m_barCache;
};

} // namespace kivo
