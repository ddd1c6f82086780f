#pragma once

#include "engines/artwork/SharedMetadataDraft.h"
#include "engines/artwork/SharedTrackMetadataPatch.h"
#include "model/Track.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QUrl>
#include <functional>
#include <optional>
#include <qcoro/qcorotask.h>

namespace kivo {

// The state of the shared (bulk) editor for two or more songs: the draft the
// user edits field by field, the replacement artwork being chosen, and the
// presenter's saving flag and error. It builds the one patch Apply hands on;
// it writes nothing itself.
class SharedEditorForm : public QObject {
    Q_OBJECT
public:
    enum class Field {
        artist,
        album,
        albumArtist,
        genre,
        year,
        discNumber,
        composer,
        comments,
        bpm
    };
    // Reads a picked image: its bytes once checked, or throws ArtworkFileError.
    // The default is loadArtworkFileData().
    using FileLoader = std::function<QCoro::Task<QByteArray>(QUrl)>;

    explicit SharedEditorForm(
        const QList<Track>& tracks, FileLoader loader = {}, QObject* parent = nullptr);

    const SharedMetadataDraft& draft() const { return m_draft; }
    qsizetype songCount() const { return m_songCount; }
    QString subtitle() const; // "3 songs selected"

    // Editing the draft. Values of fields that are off are kept, not written.
    void setValue(Field which, const QString& value);
    void setApplied(Field which, bool applied);
    void setRatingApplied(bool applied);
    // Star n sets the rating to n, or to 0 when it already is n; only while
    // the rating is on and nothing is being saved.
    void tapStar(int n);

    const AppliedTextMetadataDraft& field(Field which) const;
    QString placeholder(Field which) const; // "Mixed" or "Empty"
    bool isEditable(Field which) const; // on and not saving
    bool starsEnabled() const;
    // "Mixed" beside the stars: the songs' ratings differ and the rating is off.
    bool showsMixedRating() const;
    int litStars() const;

    // The first of: year, disc number and BPM range messages, the artwork
    // error, the presenter's error.
    std::optional<QString> message() const;
    // Apply needs a patch that changes something, valid numbers, no artwork
    // error, and neither a save nor an artwork read under way. A presenter
    // error does not block a retry.
    bool canApply() const;
    QString applyLabel() const; // "Apply to N Songs" or "Applying…"
    // The patch Apply hands on; nothing while Apply is disabled.
    std::optional<SharedTrackMetadataPatch> applyPatch() const;

    // Artwork.
    bool isLoadingArtwork() const { return m_isLoadingArtwork; }
    const std::optional<QString>& artworkError() const { return m_artworkError; }
    bool hasReplacementArtwork() const { return m_draft.replacementArtworkData.has_value(); }
    bool artworkButtonsEnabled() const { return !m_isSaving && !m_isLoadingArtwork; }
    QString chooseArtworkLabel() const;
    QString artworkExplanation() const;
    // The picker opens: an earlier artwork error is cleared.
    void beginChoosingArtwork();
    // The picker itself failed: its text is shown, nothing else changes.
    void artworkPickFailed(const QString& description);
    // Reads the picked file; success replaces the replacement artwork, a
    // failure shows its text and keeps any earlier replacement.
    QCoro::Task<> loadArtwork(QUrl url);
    // Drops the replacement: every song keeps its own artwork.
    void keepExistingArtwork();

    // Set by the presenter; the draft is kept through both.
    bool isSaving() const { return m_isSaving; }
    void setSaving(bool saving);
    const std::optional<QString>& errorMessage() const { return m_errorMessage; }
    void setErrorMessage(const std::optional<QString>& message);

Q_SIGNALS:
    void changed();

private:
    AppliedTextMetadataDraft& mutableField(Field which);
    std::optional<QString> numberMessage() const;

    SharedMetadataDraft m_draft;
    qsizetype m_songCount;
    FileLoader m_loader;
    bool m_isLoadingArtwork = false;
    std::optional<QString> m_artworkError;
    bool m_isSaving = false;
    std::optional<QString> m_errorMessage;
};

} // namespace kivo
