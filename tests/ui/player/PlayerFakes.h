#pragma once

#include "engines/playback/WaveformGenerator.h"
#include "support/ScriptedAudioEngine.h"
#include "support/ScriptedLibraryEngine.h"
#include "support/ScriptedQueueEngine.h"
#include "support/StubArtworkCache.h"

#include <QBuffer>
#include <QColor>
#include <QCoreApplication>
#include <QFuture>
#include <QImage>
#include <QPromise>
#include <QStringList>
#include <memory>
#include <qcoro/qcorofuture.h>

namespace kivo::test {

inline Track song(const QString& title, double duration = 200)
{
    Track track;
    track.id = QUuid::createUuid();
    track.title = title;
    track.duration = duration;
    return track;
}

// A one-colour 4×4 PNG.
inline QByteArray png(const QColor& color)
{
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(color);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// Artwork whose loads finish when the test says so, in any order.
class ManualArtworkCache : public StubArtworkCache {
public:
    struct Load {
        QUuid trackID;
        QPromise<void> promise;
        std::optional<QByteArray> bytes;
    };
    QList<std::shared_ptr<Load>> loads;

    QCoro::Task<std::optional<QByteArray>> retrieveArtwork(Track track) override
    {
        auto load = std::make_shared<Load>();
        load->trackID = track.id;
        load->promise.start();
        loads.append(load);
        co_await load->promise.future();
        co_return load->bytes;
    }
    void finish(qsizetype index, std::optional<QByteArray> bytes)
    {
        loads[index]->bytes = std::move(bytes);
        loads[index]->promise.finish();
        for (int i = 0; i < 5; ++i) {
            QCoreApplication::processEvents();
        }
    }
    void announceChange() { Q_EMIT cacheVersionChanged(QUuid::createUuid()); }
};

// A generator whose runs finish when the test says so.
class FakeWaveformGenerator : public WaveformGenerator {
public:
    struct Run {
        Track track;
        QPromise<void> promise;
        bool fail = false;
        QList<float> peaks;
    };
    QList<std::shared_ptr<Run>> runs;

    QCoro::Task<Waveform> generateWaveform(Track track, qint64) override
    {
        auto run = std::make_shared<Run>();
        run->track = track;
        run->promise.start();
        runs.append(run);
        co_await run->promise.future();
        if (run->fail) {
            throw WaveformError::generationFailed();
        }
        co_return Waveform { run->peaks, track.id };
    }
    void finish(qsizetype index, QList<float> peaks, bool fail = false)
    {
        runs[index]->peaks = std::move(peaks);
        runs[index]->fail = fail;
        runs[index]->promise.finish();
        for (int i = 0; i < 5; ++i) {
            QCoreApplication::processEvents();
        }
    }
    qint64 currentPeakIndex(double, qint64) const override { return 0; }
    void invalidateCache(const QUuid&) override { }
    QCoro::Task<> clearWaveformCache() override { co_return; }
};

} // namespace kivo::test
