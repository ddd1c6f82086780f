#pragma once

#include "engines/artwork/ArtworkCache.h"
#include "model/Track.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <exception>
#include <optional>
#include <qcoro/qcorotask.h>
#include <string>

namespace kivo {

// Why a shared artwork change was refused or could not be completed.
class ArtworkBatchTransactionError : public std::exception {
public:
    enum class Case { undoLimitExceeded, updateFailed, rollbackFailed, invalidSnapshot };

    static ArtworkBatchTransactionError undoLimitExceeded(qint64 maximumMegabytes);
    // `update`: the description of the error that stopped the update.
    static ArtworkBatchTransactionError updateFailed(const QString& update);
    static ArtworkBatchTransactionError rollbackFailed(
        const QString& update, const QString& rollback);
    static ArtworkBatchTransactionError invalidSnapshot();

    Case errorCase() const { return m_case; }
    qint64 maximumMegabytes() const { return m_maximumMegabytes; }
    const QString& updateDescription() const { return m_update; }
    const QString& rollbackDescription() const { return m_rollback; }
    QString errorDescription() const;
    const char* what() const noexcept override { return m_what.c_str(); }

    bool operator==(const ArtworkBatchTransactionError& other) const;

private:
    ArtworkBatchTransactionError(
        Case errorCase, qint64 maximumMegabytes, QString update, QString rollback);

    Case m_case;
    qint64 m_maximumMegabytes;
    QString m_update;
    QString m_rollback;
    std::string m_what;
};

// The artwork of an ordered set of tracks (or that they have none), kept so
// that a shared artwork change can be rolled back and undone. A plain value.
struct ArtworkBatchSnapshot {
    struct Entry {
        Track track; // only its id is used for matching and writing
        std::optional<QByteArray> artworkData; // absent: the track has no artwork

        bool operator==(const Entry&) const = default;
    };

    QList<Entry> entries;

    bool operator==(const ArtworkBatchSnapshot&) const = default;

    // The most artwork one snapshot may capture, so that an undo step's memory
    // stays bounded.
    static constexpr qint64 undoLimitBytes = 268435456;
    static constexpr qint64 undoLimitMegabytes = 256;

    // The tracks' current artwork, read one at a time in order. Throws
    // ArtworkBatchTransactionError(undoLimitExceeded) once the total passes the
    // limit, and the cache's error for artwork that exists but cannot be read:
    // taking it for "no artwork" would let a rollback delete the only copy.
    static QCoro::Task<ArtworkBatchSnapshot> capture(QList<Track> tracks, ArtworkCache* cache);

    // Every track with the same bytes.
    static ArtworkBatchSnapshot replacing(const QList<Track>& tracks, const QByteArray& artwork);

    // Both cover the same songs, each listed once; order and bytes are not compared.
    static bool matches(const ArtworkBatchSnapshot& a, const ArtworkBatchSnapshot& b);

    // Stores or removes each entry's artwork in order; the first error stops
    // it and is rethrown unchanged (earlier entries stay written).
    static QCoro::Task<> write(ArtworkBatchSnapshot snapshot, ArtworkCache* cache);

    // Writes `target`; when that fails, writes all of `restoring` back. Throws
    // ArtworkBatchTransactionError: invalidSnapshot (nothing written) when the
    // two do not match, updateFailed after a successful rollback,
    // rollbackFailed when the rollback failed too.
    static QCoro::Task<> apply(
        ArtworkBatchSnapshot target, ArtworkBatchSnapshot restoring, ArtworkCache* cache);
};

} // namespace kivo
