#include "engines/artwork/ArtworkBatchSnapshot.h"

#include "model/ErrorText.h"

#include <QSet>
#include <QUuid>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

namespace {

// The ids of the entries, or nothing when one is listed twice.
std::optional<QSet<QUuid>> distinctIDs(const ArtworkBatchSnapshot& snapshot)
{
    QSet<QUuid> ids;
    ids.reserve(snapshot.entries.size());
    for (const ArtworkBatchSnapshot::Entry& entry : snapshot.entries) {
        ids.insert(entry.track.id);
    }
    if (ids.size() != snapshot.entries.size()) {
        return std::nullopt;
    }
    return ids;
}

} // namespace

ArtworkBatchTransactionError::ArtworkBatchTransactionError(
    Case errorCase, qint64 maximumMegabytes, QString update, QString rollback)
    : m_case(errorCase)
    , m_maximumMegabytes(maximumMegabytes)
    , m_update(std::move(update))
    , m_rollback(std::move(rollback))
    , m_what(errorDescription().toStdString())
{
}

ArtworkBatchTransactionError ArtworkBatchTransactionError::undoLimitExceeded(
    qint64 maximumMegabytes)
{
    return { Case::undoLimitExceeded, maximumMegabytes, {}, {} };
}

ArtworkBatchTransactionError ArtworkBatchTransactionError::updateFailed(const QString& update)
{
    return { Case::updateFailed, 0, update, {} };
}

ArtworkBatchTransactionError ArtworkBatchTransactionError::rollbackFailed(
    const QString& update, const QString& rollback)
{
    return { Case::rollbackFailed, 0, update, rollback };
}

ArtworkBatchTransactionError ArtworkBatchTransactionError::invalidSnapshot()
{
    return { Case::invalidSnapshot, 0, {}, {} };
}

QString ArtworkBatchTransactionError::errorDescription() const
{
    switch (m_case) {
    case Case::undoLimitExceeded:
        return u"The existing artwork exceeds the "_s + QString::number(m_maximumMegabytes)
            + u" MB safe undo limit. Select fewer songs and try again."_s;
    case Case::updateFailed:
        return u"The shared artwork could not be applied. Existing artwork was restored. "_s
            + m_update;
    case Case::rollbackFailed:
        return u"The shared artwork update failed ("_s + m_update
            + u"), and automatic recovery also failed ("_s + m_rollback + u")."_s;
    case Case::invalidSnapshot:
        return u"The shared artwork operation was cancelled because its song set changed."_s;
    }
    return {};
}

bool ArtworkBatchTransactionError::operator==(const ArtworkBatchTransactionError& other) const
{
    return m_case == other.m_case && m_maximumMegabytes == other.m_maximumMegabytes
        && m_update == other.m_update && m_rollback == other.m_rollback;
}

QCoro::Task<ArtworkBatchSnapshot> ArtworkBatchSnapshot::capture(
    QList<Track> tracks, ArtworkCache* cache)
{
    ArtworkBatchSnapshot snapshot;
    snapshot.entries.reserve(tracks.size());
    qint64 total = 0;
    for (const Track& track : tracks) {
        QCoro::Task<std::optional<QByteArray>> reading = cache->retrieveArtworkForRollback(track);
        std::optional<QByteArray> artwork = co_await std::move(reading);
        // Each size is below 2^63 and so is the running total, so this cannot overflow.
        total += artwork ? artwork->size() : 0;
        if (total > undoLimitBytes) {
            throw ArtworkBatchTransactionError::undoLimitExceeded(undoLimitMegabytes);
        }
        snapshot.entries.push_back({ track, std::move(artwork) });
    }
    co_return snapshot;
}

ArtworkBatchSnapshot ArtworkBatchSnapshot::replacing(
    const QList<Track>& tracks, const QByteArray& artwork)
{
    ArtworkBatchSnapshot snapshot;
    snapshot.entries.reserve(tracks.size());
    for (const Track& track : tracks) {
        snapshot.entries.push_back({ track, artwork });
    }
    return snapshot;
}

bool ArtworkBatchSnapshot::matches(const ArtworkBatchSnapshot& a, const ArtworkBatchSnapshot& b)
{
    const std::optional<QSet<QUuid>> idsOfA = distinctIDs(a);
    if (!idsOfA) {
        return false;
    }
    const std::optional<QSet<QUuid>> idsOfB = distinctIDs(b);
    return idsOfB && *idsOfA == *idsOfB;
}

QCoro::Task<> ArtworkBatchSnapshot::write(ArtworkBatchSnapshot snapshot, ArtworkCache* cache)
{
    for (const Entry& entry : snapshot.entries) {
        if (entry.artworkData) {
            QCoro::Task<> storing = cache->storeArtwork(*entry.artworkData, entry.track);
            co_await std::move(storing);
        } else {
            QCoro::Task<> removing = cache->removeArtwork(entry.track);
            co_await std::move(removing);
        }
    }
}

QCoro::Task<> ArtworkBatchSnapshot::apply(
    ArtworkBatchSnapshot target, ArtworkBatchSnapshot restoring, ArtworkCache* cache)
{
    if (!matches(target, restoring)) {
        throw ArtworkBatchTransactionError::invalidSnapshot();
    }
    std::exception_ptr updateError;
    try {
        QCoro::Task<> writing = write(std::move(target), cache);
        co_await std::move(writing);
        co_return;
    } catch (...) {
        updateError = std::current_exception();
    }
    // Every entry is written back, also those the update never reached.
    std::exception_ptr rollbackError;
    try {
        QCoro::Task<> writing = write(std::move(restoring), cache);
        co_await std::move(writing);
    } catch (...) {
        rollbackError = std::current_exception();
    }
    if (rollbackError) {
        throw ArtworkBatchTransactionError::rollbackFailed(
            describeError(updateError), describeError(rollbackError));
    }
    throw ArtworkBatchTransactionError::updateFailed(describeError(updateError));
}

} // namespace kivo
