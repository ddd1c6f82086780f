// Pages of the player bar: the bar in its states and widths, the queue panel,
// the waveform seek bar and the volume control.
#include "../../tests/support/StubAudioEngine.h"
#include "../../tests/support/StubQueueEngine.h"
#include "Gallery.h"
#include "app/DIContainer.h"
#include "engines/artwork/ArtworkCacheImpl.h"
#include "engines/library/LibraryEngineImpl.h"
#include "ui/eon/EonPalette.h"
#include "ui/player/BottomPlayerView.h"
#include "ui/player/CompactWaveformSeekView.h"
#include "ui/player/PlayerVolumeControl.h"

#include <QAbstractItemView>
#include <QCoreApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QVBoxLayout>
#include <cmath>

using namespace Qt::Literals::StringLiterals;

namespace kivo::gallery {

namespace {

Track sample(const QString& title, const std::optional<QString>& artist, double duration)
{
    Track track;
    track.id = QUuid::createUuid();
    track.title = title;
    track.artist = artist;
    track.duration = duration;
    return track;
}

QList<float> samplePeaks()
{
    QList<float> peaks;
    for (int i = 0; i < 360; ++i) {
        peaks.append(
            float(0.25 + 0.55 * std::abs(std::sin(i * 0.09)) * (0.6 + 0.4 * std::cos(i * 0.021))));
    }
    return peaks;
}

class SampleAudio : public test::StubAudioEngine {
public:
    std::optional<Track> track;
    PlaybackState state = PlaybackState::playing;
    float level = 0.7f;
    PlaybackState playbackState() const override { return state; }
    std::optional<Track> currentTrack() const override { return track; }
    double currentTime() const override { return track ? track->duration * 0.3 : 0; }
    double duration() const override { return track ? track->duration : 0; }
    double progress() const override { return track ? 0.3 : 0; }
    bool isPlaying() const override { return state == PlaybackState::playing; }
    float volume() const override { return level; }
    void setVolume(float volume) override { level = volume; }
};

class SampleQueue : public test::StubQueueEngine {
public:
    std::optional<Track> current;
    QList<Track> next;
    QList<Track> played;
    std::exception_ptr error;
    std::optional<Track> currentTrack() const override { return current; }
    QList<Track> upcoming() const override { return next; }
    QList<Track> history() const override { return played; }
    RepeatMode repeatMode() const override { return RepeatMode::all; }
    std::exception_ptr lastPlaybackError() const override { return error; }
};

class SampleWaveforms : public WaveformGenerator {
public:
    QCoro::Task<Waveform> generateWaveform(Track track, qint64) override
    {
        co_return Waveform { samplePeaks(), track.id };
    }
    qint64 currentPeakIndex(double, qint64) const override { return 0; }
    void invalidateCache(const QUuid&) override { }
    QCoro::Task<> clearWaveformCache() override { co_return; }
};

struct BarOptions {
    bool hasSong = true;
    PlaybackState state = PlaybackState::playing;
    std::optional<QString> error;
    bool queueOpen = false;
};

// A window-sized host: a stand-in for the content above, and the bar below.
class BarSample : public QWidget {
public:
    BarSample(Context& context, const BarOptions& options, bool fullHeight)
    {
        Track now = sample(u"Midnight Signal Over the Harbour"_s, u"Aurora Lane"_s, 245);
        if (options.hasSong) {
            m_audio.track = now;
            m_queue.current = now;
        }
        m_audio.state = options.state;
        m_queue.next = { sample(u"Glass Horizon"_s, u"Pale Echo"_s, 201),
            sample(u"Slow Tide"_s, std::nullopt, 318),
            sample(u"Glass Horizon"_s, u"Pale Echo"_s, 201),
            sample(u"Lanterns"_s, u"North Avenue Collective"_s, 187) };
        m_queue.played = { sample(u"First Light"_s, u"Aurora Lane"_s, 232) };
        if (options.error) {
            m_queue.error
                = std::make_exception_ptr(std::runtime_error(options.error->toStdString()));
        }
        DIContainer& container = context.container();
        auto* column = new QVBoxLayout(this);
        column->setContentsMargins(0, 0, 0, 0);
        column->setSpacing(0);
        if (fullHeight) {
            column->addStretch(1);
        }
        m_bar = new BottomPlayerView(
            { m_audio, m_queue, container.libraryEngine(), container.artworkCache(), m_waveforms },
            this, this);
        column->addWidget(m_bar);
        if (options.queueOpen) {
            m_bar->presenter().toggleQueue();
        }
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), eonWindowGradient().toLinearGradient());
        // Song-table rows stand in for the content behind the panel.
        painter.setPen(eonTextSecondary());
        for (int y = 60; y < height() - 130; y += 42) {
            painter.fillRect(QRect(0, y + 41, width(), 1), eonHairline());
            // Across the width, so that a banner over them shows whether they read through.
            painter.drawText(QRect(60, y, 400, 42), Qt::AlignVCenter, u"Song row %1"_s.arg(y / 42));
            painter.drawText(QRect(420, y, 300, 42), Qt::AlignVCenter, u"Big Album"_s);
            painter.drawText(QRect(740, y, 300, 42), Qt::AlignVCenter, u"Aurora Lane"_s);
        }
    }

private:
    SampleAudio m_audio;
    SampleQueue m_queue;
    SampleWaveforms m_waveforms;
    BottomPlayerView* m_bar;
};

// The upcoming row's context menu, opened on the laid-out queue panel.
std::unique_ptr<QWidget> queueMenuPage(Context& context)
{
    BarSample bar(context, BarOptions { true, PlaybackState::playing, std::nullopt, true }, true);
    bar.resize(1320, 600);
    bar.show();
    QCoreApplication::processEvents();
    auto* list = bar.findChild<QAbstractItemView*>(u"player.queue.list"_s);
    auto stage = std::make_unique<Stage>(1);
    stage->add(u"upcoming row menu"_s, popupMenuPicture(&bar, [&bar, list] {
        for (int row = 0; list && row < list->model()->rowCount(); ++row) {
            if (!bar.findChildren<QMenu*>().isEmpty()) {
                break;
            }
            Q_EMIT list->customContextMenuRequested(
                list->visualRect(list->model()->index(row, 0)).center());
        }
    }));
    return stage;
}

Page barPage(Context& context, const QString& name, int width, BarOptions options,
    int height = BottomPlayerView::barHeight)
{
    return { name, { width, height }, [&context, options, height] {
                return std::make_unique<BarSample>(
                    context, options, height > BottomPlayerView::barHeight);
            } };
}

std::unique_ptr<QWidget> seekBarPage()
{
    auto stage = std::make_unique<Stage>(2);
    const auto add = [&stage](const QString& caption, const QList<float>& peaks, double progress,
                         bool loading, std::optional<double> scrubX) {
        auto* holder = new QWidget;
        holder->setFixedSize(440, 64);
        auto* bar = new CompactWaveformSeekView(holder);
        bar->setGeometry(10, 30, 420, 28);
        bar->setPeaks(peaks);
        bar->setProgress(progress);
        bar->setDuration(245);
        bar->setLoading(loading);
        if (scrubX) {
            QMouseEvent press(QEvent::MouseButtonPress, QPointF(*scrubX, 14), QPointF(*scrubX, 14),
                Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
            QCoreApplication::sendEvent(bar, &press);
        }
        stage->add(caption, holder);
    };
    add(u"placeholder (no peaks)"_s, {}, 0, false, std::nullopt);
    add(u"loading"_s, {}, 0, true, std::nullopt);
    add(u"peaks, progress 0.3"_s, samplePeaks(), 0.3, false, std::nullopt);
    add(u"scrubbing at 0.62"_s, samplePeaks(), 0.3, false, 420 * 0.62);
    return stage;
}

std::unique_ptr<QWidget> volumePage()
{
    auto stage = std::make_unique<Stage>(4);
    static SampleAudio audios[4];
    static SampleQueue queue;
    const float levels[] = { 0.0f, 0.3f, 0.5f, 0.9f };
    for (int i = 0; i < 4; ++i) {
        audios[i].level = levels[i];
        stage->add(
            u"volume %1"_s.arg(double(levels[i])), new PlayerVolumeControl(audios[i], queue));
    }
    return stage;
}

} // namespace

void addPlayerPages(QList<Page>& pages, Context& context)
{
    const QString longMessage
        = u"The file “Midnight Signal Over the Harbour.flac” could not be "
          "opened because it is no longer in the folder it was imported from. "
          "Move it back or import it again, then try once more."_s;
    pages.append(barPage(context, u"player-bar-1000"_s, 1000, {}));
    pages.append(barPage(context, u"player-bar-1320"_s, 1320, {}));
    pages.append(barPage(context, u"player-bar-empty"_s, 1320,
        BarOptions { false, PlaybackState::stopped, std::nullopt, false }));
    pages.append(barPage(context, u"player-bar-buffering"_s, 1320,
        BarOptions { true, PlaybackState::buffering, std::nullopt, false }));
    pages.append(barPage(context, u"player-bar-banner"_s, 1320,
        BarOptions { true, PlaybackState::playing, longMessage, false }, 220));
    pages.append(barPage(context, u"player-bar-queue"_s, 1320,
        BarOptions { true, PlaybackState::playing, std::nullopt, true }, 600));
    pages.append({ u"player-seek-bar"_s, { 920, 200 }, seekBarPage });
    pages.append({ u"player-volume"_s, { 720, 90 }, volumePage });
    pages.append(
        { u"player-queue-menu"_s, { 320, 140 }, [&context] { return queueMenuPage(context); } });
}

} // namespace kivo::gallery
