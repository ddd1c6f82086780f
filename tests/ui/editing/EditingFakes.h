#pragma once

#include "engines/artwork/ArtworkImageLoader.h"
#include "model/Track.h"
#include "support/ScriptedArtworkCache.h"
#include "support/StubMetadataEngine.h"

#include <QHash>
#include <QStringList>
#include <chrono>
#include <qcoro/qcorotimer.h>
#include <stdexcept>

namespace kivo::test {

// One event-loop turn, as a real engine's wait would give.
inline QCoro::Task<> oneTurn()
{
    QCoro::Task<> pause = QCoro::sleepFor(std::chrono::milliseconds(0));
    co_await std::move(pause);
}

inline Track sampleTrack(const QString& title = QStringLiteral("Song"))
{
    const QUrl url = QUrl::fromLocalFile(QStringLiteral("/music/%1.flac").arg(title));
    return Track::make(QUuid::createUuid(), url, url.fileName(), title, 216, Date::now());
}

// Embedded artwork by file URL; an unknown file has none, `broken` throws.
class FakeMetadataEngine final : public StubMetadataEngine {
public:
    QHash<QUrl, QByteArray> embedded;
    bool broken = false;

    QCoro::Task<std::optional<QByteArray>> extractArtwork(QUrl url) override
    {
        QCoro::Task<> turn = oneTurn();
        co_await std::move(turn);
        if (broken) {
            throw std::runtime_error("unreadable tags");
        }
        const auto at = embedded.constFind(url);
        co_return at == embedded.cend() ? std::nullopt : std::optional(*at);
    }
};

// A file loader over named files: "big.png" is too large, "wide.png" too
// wide, "notes.png" no image, "gone.png" unreadable; any other name gives its
// own name as the bytes.
inline QCoro::Task<QByteArray> fakeLoad(QUrl url)
{
    QCoro::Task<> turn = oneTurn();
    co_await std::move(turn);
    const QString name = url.fileName();
    if (name == u"big.png") {
        throw ArtworkFileError::fileTooLarge(maximumArtworkFileMegabytes);
    }
    if (name == u"wide.png") {
        throw ArtworkFileError::excessiveDimensions();
    }
    if (name == u"notes.png") {
        throw ArtworkFileError::invalidImage();
    }
    if (name == u"gone.png") {
        throw ArtworkFileError::unreadable(QStringLiteral("No such file"));
    }
    co_return name.toUtf8();
}

inline QUrl picked(const char* name)
{
    return QUrl::fromLocalFile(QStringLiteral("/pictures/") + QString::fromUtf8(name));
}

} // namespace kivo::test
