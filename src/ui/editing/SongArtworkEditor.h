#pragma once

#include "model/Track.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QUrl>
#include <functional>
#include <optional>
#include <qcoro/qcorotask.h>

namespace kivo {

class ArtworkCache;
class MetadataEngine;

// What saving the song editor does to the song's cached artwork.
struct ArtworkCommit {
    enum class Kind { nothing, store, evict };
    Kind kind = Kind::nothing;
    QByteArray data; // the bytes to store
    bool operator==(const ArtworkCommit&) const = default;
};

// The artwork section of the single-song editor: the artwork it shows, the
// artwork as found when the sheet opened, and what Save does with the two.
// Artwork lives only in the cache; the audio file is never written.
class SongArtworkEditor : public QObject {
    Q_OBJECT
public:
    // Reads a picked file: its bytes once checked (size, type, pixels), or
    // throws ArtworkFileError. The default is loadArtworkFileData().
    using FileLoader = std::function<QCoro::Task<QByteArray>(QUrl)>;

    SongArtworkEditor(Track track, ArtworkCache& cache, MetadataEngine& metadata,
        FileLoader loader = {}, QObject* parent = nullptr);

    // Shown by the preview; kept by Save.
    const std::optional<QByteArray>& artworkData() const { return m_artwork; }
    // As found by the load: the baseline Save compares with.
    const std::optional<QByteArray>& initialArtworkData() const { return m_initial; }

    // The cache first, then the audio file (whose artwork is then cached; a
    // failed store is ignored). Once the user has chosen or removed artwork
    // the result only becomes the baseline, never the preview.
    QCoro::Task<> load();
    // A picked file replaces the artwork; a file that fails the loader's
    // checks changes nothing.
    QCoro::Task<> choose(QUrl url);
    void remove();

    // Store when the artwork differs from the baseline, evict when it was
    // removed, else nothing.
    ArtworkCommit commitPlan() const;
    // Carries out `plan` for `track`; failures are dropped (the song itself is
    // saved already). Does not need the editor to be alive.
    static QCoro::Task<> commit(QPointer<ArtworkCache> cache, ArtworkCommit plan, Track track);

Q_SIGNALS:
    void artworkChanged();

private:
    void show(std::optional<QByteArray> artwork);

    Track m_track;
    QPointer<ArtworkCache> m_cache;
    QPointer<MetadataEngine> m_metadata;
    FileLoader m_loader;
    std::optional<QByteArray> m_artwork;
    std::optional<QByteArray> m_initial;
    bool m_userChose = false;
    int m_choiceGeneration = 0;
};

// Hands `edited` to `save` (true: the library accepted it) and only then
// commits the artwork, so a failed save leaves the cache as it was.
QCoro::Task<bool> saveThenCommitArtwork(std::function<QCoro::Task<bool>(Track)> save, Track edited,
    ArtworkCommit plan, QPointer<ArtworkCache> cache);

} // namespace kivo
