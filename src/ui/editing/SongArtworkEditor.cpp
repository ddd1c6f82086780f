#include "ui/editing/SongArtworkEditor.h"

#include "engines/artwork/ArtworkCache.h"
#include "engines/artwork/ArtworkImageLoader.h"
#include "engines/library/MetadataEngine.h"
#include "model/Logging.h"

namespace kivo {

SongArtworkEditor::SongArtworkEditor(
    Track track, ArtworkCache& cache, MetadataEngine& metadata, FileLoader loader, QObject* parent)
    : QObject(parent)
    , m_track(std::move(track))
    , m_cache(&cache)
    , m_metadata(&metadata)
    , m_loader(loader ? std::move(loader)
                      : FileLoader([](QUrl url) { return loadArtworkFileData(std::move(url)); }))
{
}

void SongArtworkEditor::show(std::optional<QByteArray> artwork)
{
    m_artwork = std::move(artwork);
    Q_EMIT artworkChanged();
}

QCoro::Task<> SongArtworkEditor::load()
{
    QPointer<SongArtworkEditor> self(this);
    if (!m_cache) {
        co_return;
    }
    const Track track = m_track;
    QPointer<ArtworkCache> cache = m_cache;
    QCoro::Task<std::optional<QByteArray>> retrieving = cache->retrieveArtwork(track);
    std::optional<QByteArray> found = co_await std::move(retrieving);
    if (!self) {
        co_return;
    }
    const bool fromFile = !found;
    if (fromFile) {
        if (!m_metadata) {
            co_return;
        }
        try {
            QCoro::Task<std::optional<QByteArray>> extracting
                = m_metadata->extractArtwork(track.fileURL);
            found = co_await std::move(extracting);
        } catch (const std::exception& error) {
            qCInfo(logging::editing) << "artwork extraction failed:" << error.what();
            co_return;
        }
        if (!self || !found) {
            co_return;
        }
    }
    m_initial = found;
    if (!m_userChose) {
        show(found);
    }
    if (fromFile && cache) {
        try {
            QCoro::Task<> storing = cache->storeArtwork(*found, track);
            co_await std::move(storing);
        } catch (const std::exception& error) {
            qCInfo(logging::editing) << "artwork store failed:" << error.what();
        }
    }
}

QCoro::Task<> SongArtworkEditor::choose(QUrl url)
{
    QPointer<SongArtworkEditor> self(this);
    const int generation = ++m_choiceGeneration;
    QByteArray bytes;
    try {
        QCoro::Task<QByteArray> loading = m_loader(std::move(url));
        bytes = co_await std::move(loading);
    } catch (const std::exception& error) {
        qCInfo(logging::editing) << "picked artwork refused:" << error.what();
        co_return;
    }
    // A later pick or a removal since then wins.
    if (!self || generation != m_choiceGeneration) {
        co_return;
    }
    m_userChose = true;
    show(std::move(bytes));
}

void SongArtworkEditor::remove()
{
    ++m_choiceGeneration;
    m_userChose = true;
    show(std::nullopt);
}

ArtworkCommit SongArtworkEditor::commitPlan() const
{
    if (m_artwork && m_initial != m_artwork) {
        return { ArtworkCommit::Kind::store, *m_artwork };
    }
    if (!m_artwork && m_initial) {
        return { ArtworkCommit::Kind::evict, {} };
    }
    return {};
}

QCoro::Task<> SongArtworkEditor::commit(
    QPointer<ArtworkCache> cache, ArtworkCommit plan, Track track)
{
    if (!cache) {
        co_return;
    }
    switch (plan.kind) {
    case ArtworkCommit::Kind::store:
        try {
            QCoro::Task<> storing = cache->storeArtwork(plan.data, track);
            co_await std::move(storing);
        } catch (const std::exception& error) {
            qCInfo(logging::editing) << "artwork store failed:" << error.what();
        }
        break;
    case ArtworkCommit::Kind::evict:
        cache->evictArtwork(track);
        break;
    case ArtworkCommit::Kind::nothing:
        break;
    }
}

QCoro::Task<bool> saveThenCommitArtwork(std::function<QCoro::Task<bool>(Track)> save, Track edited,
    ArtworkCommit plan, QPointer<ArtworkCache> cache)
{
    bool accepted = false;
    try {
        QCoro::Task<bool> saving = save(edited);
        accepted = co_await std::move(saving);
    } catch (const std::exception& error) {
        qCInfo(logging::editing) << "song save failed:" << error.what();
    }
    if (accepted) {
        QCoro::Task<> committing
            = SongArtworkEditor::commit(cache, std::move(plan), std::move(edited));
        co_await std::move(committing);
    }
    co_return accepted;
}

} // namespace kivo
