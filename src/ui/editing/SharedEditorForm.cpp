#include "ui/editing/SharedEditorForm.h"

#include "engines/artwork/ArtworkImageLoader.h"

#include <QPointer>
#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

SharedEditorForm::SharedEditorForm(const QList<Track>& tracks, FileLoader loader, QObject* parent)
    : QObject(parent)
    , m_draft(SharedMetadataDraft::fromTracks(tracks))
    , m_songCount(tracks.size())
    , m_loader(loader ? std::move(loader)
                      : FileLoader([](QUrl url) { return loadArtworkFileData(std::move(url)); }))
{
}

QString SharedEditorForm::subtitle() const
{
    return u"%1 songs selected"_s.arg(m_songCount);
}

AppliedTextMetadataDraft& SharedEditorForm::mutableField(Field which)
{
    return const_cast<AppliedTextMetadataDraft&>(std::as_const(*this).field(which));
}

const AppliedTextMetadataDraft& SharedEditorForm::field(Field which) const
{
    switch (which) {
    case Field::artist:
        return m_draft.artist;
    case Field::album:
        return m_draft.album;
    case Field::albumArtist:
        return m_draft.albumArtist;
    case Field::genre:
        return m_draft.genre;
    case Field::year:
        return m_draft.year;
    case Field::discNumber:
        return m_draft.discNumber;
    case Field::composer:
        return m_draft.composer;
    case Field::comments:
        return m_draft.comments;
    case Field::bpm:
        break;
    }
    return m_draft.bpm;
}

void SharedEditorForm::setValue(Field which, const QString& value)
{
    if (m_isSaving || field(which).value == value) {
        return;
    }
    mutableField(which).value = value;
    Q_EMIT changed();
}

void SharedEditorForm::setApplied(Field which, bool applied)
{
    if (field(which).isApplied == applied) {
        return;
    }
    mutableField(which).isApplied = applied;
    Q_EMIT changed();
}

void SharedEditorForm::setRatingApplied(bool applied)
{
    if (m_draft.isRatingApplied == applied) {
        return;
    }
    m_draft.isRatingApplied = applied;
    Q_EMIT changed();
}

void SharedEditorForm::tapStar(int n)
{
    if (!starsEnabled()) {
        return;
    }
    m_draft.rating = m_draft.rating == n ? 0 : n;
    Q_EMIT changed();
}

QString SharedEditorForm::placeholder(Field which) const
{
    return field(which).hadMixedValues ? u"Mixed"_s : u"Empty"_s;
}

bool SharedEditorForm::isEditable(Field which) const
{
    return field(which).isApplied && !m_isSaving;
}

bool SharedEditorForm::starsEnabled() const
{
    return m_draft.isRatingApplied && !m_isSaving;
}

bool SharedEditorForm::showsMixedRating() const
{
    return m_draft.hadMixedRatings && !m_draft.isRatingApplied;
}

int SharedEditorForm::litStars() const
{
    return static_cast<int>(Track::clampedRating(m_draft.rating));
}

std::optional<QString> SharedEditorForm::numberMessage() const
{
    if (auto year = SharedMetadataDraft::validationMessage(m_draft.year, u"Year"_s, 0, 9999)) {
        return year;
    }
    if (auto disc
        = SharedMetadataDraft::validationMessage(m_draft.discNumber, u"Disc number"_s, 1, 999)) {
        return disc;
    }
    return SharedMetadataDraft::validationMessage(m_draft.bpm, u"BPM"_s, 1, 999);
}

std::optional<QString> SharedEditorForm::message() const
{
    if (auto number = numberMessage()) {
        return number;
    }
    return m_artworkError ? m_artworkError : m_errorMessage;
}

bool SharedEditorForm::canApply() const
{
    return !m_draft.makePatch().changesNothing() && !numberMessage() && !m_artworkError
        && !m_isSaving && !m_isLoadingArtwork;
}

QString SharedEditorForm::applyLabel() const
{
    return m_isSaving ? u"Applying…"_s : u"Apply to %1 Songs"_s.arg(m_songCount);
}

std::optional<SharedTrackMetadataPatch> SharedEditorForm::applyPatch() const
{
    if (!canApply()) {
        return std::nullopt;
    }
    return m_draft.makePatch();
}

QString SharedEditorForm::chooseArtworkLabel() const
{
    return hasReplacementArtwork() ? u"Replace Artwork…"_s : u"Choose Artwork…"_s;
}

QString SharedEditorForm::artworkExplanation() const
{
    return hasReplacementArtwork()
        ? u"This image will replace the artwork on all %1 selected songs."_s.arg(m_songCount)
        : u"Choose an image only if you want to replace the artwork on all %1 selected songs."_s
              .arg(m_songCount);
}

void SharedEditorForm::beginChoosingArtwork()
{
    m_artworkError.reset();
    Q_EMIT changed();
}

void SharedEditorForm::artworkPickFailed(const QString& description)
{
    m_artworkError = description;
    Q_EMIT changed();
}

QCoro::Task<> SharedEditorForm::loadArtwork(QUrl url)
{
    if (m_isLoadingArtwork || m_isSaving) {
        co_return;
    }
    QPointer<SharedEditorForm> self(this);
    m_isLoadingArtwork = true;
    m_artworkError.reset();
    Q_EMIT changed();
    std::optional<QByteArray> bytes;
    std::optional<QString> failure;
    try {
        QCoro::Task<QByteArray> loading = m_loader(std::move(url));
        bytes = co_await std::move(loading);
    } catch (const ArtworkFileError& error) {
        failure = error.errorDescription();
    } catch (const std::exception& error) {
        failure = ArtworkFileError::unreadable(QString::fromUtf8(error.what())).errorDescription();
    }
    if (!self) {
        co_return; // the sheet closed meanwhile
    }
    m_isLoadingArtwork = false;
    if (bytes) {
        m_draft.replacementArtworkData = std::move(bytes);
    } else {
        m_artworkError = failure;
    }
    Q_EMIT changed();
}

void SharedEditorForm::keepExistingArtwork()
{
    m_draft.replacementArtworkData.reset();
    m_artworkError.reset();
    Q_EMIT changed();
}

void SharedEditorForm::setSaving(bool saving)
{
    if (m_isSaving == saving) {
        return;
    }
    m_isSaving = saving;
    Q_EMIT changed();
}

void SharedEditorForm::setErrorMessage(const std::optional<QString>& message)
{
    if (m_errorMessage == message) {
        return;
    }
    m_errorMessage = message;
    Q_EMIT changed();
}

} // namespace kivo
