#pragma once

#include "model/Track.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <optional>
#include <qcoro/qcorotask.h>

namespace kivo {

class LibraryEngine;

// The favourite heart of one song: a song rated above 3 is a favourite, and
// switching writes 5 or 0 through the library. The new state shows at once
// while the write runs; further presses wait for it; a failed write puts the
// library's rating back and keeps the error text until the user dismisses it.
// The song shown is always the library's newest copy of the one handed in.
// Main thread only.
class TrackFavoriteState : public QObject {
    Q_OBJECT
public:
    explicit TrackFavoriteState(LibraryEngine& library, QObject* parent = nullptr);

    // The song handed in by the owner; nothing shows an inactive heart. A
    // different song drops the wait for the previous one.
    void setTrack(std::optional<Track> track);
    // The library's copy of the song handed in, else that song itself.
    const std::optional<Track>& currentTrack() const { return m_current; }

    bool isFavorite() const;
    bool isSaving() const { return m_isSaving; }
    // The last failed write's text; the alert shows while it is set.
    const std::optional<QString>& errorMessage() const { return m_errorMessage; }
    void clearError();

    // "heart.fill" or "heart".
    QString symbolName() const;
    // "Remove from Favorites" or "Add to Favorites": the spoken label and tooltip.
    QString label() const;

    // Writes the opposite state; nothing while saving or without a song.
    void toggle();

    static QString alertTitle();
    // The error, else a fallback sentence.
    static QString alertMessage(const std::optional<QString>& errorMessage);

Q_SIGNALS:
    // Anything shown changed.
    void changed();

private:
    void refreshCurrent();
    QCoro::Task<> write(Track changed, quint64 generation);

    QPointer<LibraryEngine> m_library;
    std::optional<Track> m_track;
    std::optional<Track> m_current;
    std::optional<bool> m_pendingValue;
    bool m_isSaving = false;
    std::optional<QString> m_errorMessage;
    // Bumped when the song changes, so a write started for another song is
    // not taken for this one's.
    quint64 m_generation = 0;
};

} // namespace kivo
