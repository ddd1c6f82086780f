#include "ui/songtable/TrackFavoriteState.h"

#include "engines/library/LibraryEngine.h"
#include "model/ErrorText.h"
#include "model/StartDetached.h"

#include <exception>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

TrackFavoriteState::TrackFavoriteState(LibraryEngine& library, QObject* parent)
    : QObject(parent)
    , m_library(&library)
{
    connect(&library, &LibraryEngine::tracksChanged, this, [this] {
        refreshCurrent();
        Q_EMIT changed();
    });
}

void TrackFavoriteState::setTrack(std::optional<Track> track)
{
    const bool otherSong = (track ? track->id : QUuid()) != (m_track ? m_track->id : QUuid());
    m_track = std::move(track);
    if (otherSong) {
        ++m_generation;
        m_pendingValue.reset();
        m_isSaving = false;
    }
    refreshCurrent();
    Q_EMIT changed();
}

void TrackFavoriteState::refreshCurrent()
{
    m_current = m_track;
    if (!m_track || !m_library) {
        return;
    }
    const QList<Track> tracks = m_library->allTracks();
    for (const Track& track : tracks) {
        if (track.id == m_track->id) {
            m_current = track;
            return;
        }
    }
}

bool TrackFavoriteState::isFavorite() const
{
    if (m_pendingValue) {
        return *m_pendingValue;
    }
    return m_current && m_current->isFavorite();
}

void TrackFavoriteState::clearError()
{
    if (m_errorMessage) {
        m_errorMessage.reset();
        Q_EMIT changed();
    }
}

QString TrackFavoriteState::symbolName() const
{
    return isFavorite() ? u"heart.fill"_s : u"heart"_s;
}

QString TrackFavoriteState::label() const
{
    return isFavorite() ? u"Remove from Favorites"_s : u"Add to Favorites"_s;
}

QString TrackFavoriteState::alertTitle()
{
    return u"Favorite Could Not Be Updated"_s;
}

QString TrackFavoriteState::alertMessage(const std::optional<QString>& errorMessage)
{
    return errorMessage && !errorMessage->isEmpty() ? *errorMessage
                                                    : u"The library could not save this change."_s;
}

void TrackFavoriteState::toggle()
{
    if (m_isSaving || !m_current || !m_library) {
        return;
    }
    const bool current = isFavorite();
    Track changed = *m_current;
    changed.rating = changed.toggledFavoriteRating();
    m_pendingValue = !current;
    m_isSaving = true;
    Q_EMIT this->changed();
    startDetached(write(std::move(changed), m_generation));
}

QCoro::Task<> TrackFavoriteState::write(Track changed, quint64 generation)
{
    const QPointer<TrackFavoriteState> self(this);
    const QPointer<LibraryEngine> library = m_library;
    std::optional<QString> failure;
    try {
        QCoro::Task<> updating = library->updateTracks({ changed });
        co_await std::move(updating);
    } catch (...) {
        // A failure with no text of its own gets the alert's general message.
        failure = describeError(std::current_exception(), QString());
    }
    // The heart may be gone, or show another song by now.
    if (!self || self->m_generation != generation) {
        co_return;
    }
    if (failure) {
        self->m_errorMessage = *failure;
    }
    self->m_pendingValue.reset();
    self->m_isSaving = false;
    self->refreshCurrent();
    Q_EMIT self->changed();
}

} // namespace kivo
