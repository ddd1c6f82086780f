#pragma once

#include "model/Track.h"

#include <QObject>
#include <QString>
#include <optional>

namespace kivo {

class TrackListController;
class TrackRemovalCoordinator;
class UndoManager;

// Removing songs from a track list screen: the confirmation a permanent
// deletion waits for, the removal with its undo step, and the alert of a
// failed one. A removal still running when the screen goes finishes under the
// undo manager, so that undo still puts the library back. Main thread only.
class TrackListRemoval : public QObject {
    Q_OBJECT
public:
    explicit TrackListRemoval(TrackListController& screen);
    ~TrackListRemoval() override;

    TrackRemovalCoordinator& coordinator() const { return *m_removal; }

    void requestPermanentDeletion(const Track& track);
    void cancelPermanentDeletion();
    void remove(const Track& track, bool deleteFile);
    bool isInFlight(const Track& track) const;

    std::optional<QString> alertMessage() const;
    void dismissAlert();

    static QString deletionConfirmationTitle();
    static QString deletionConfirmationMessage(const Track& track);
    static QString alertTitle();

Q_SIGNALS:
    // The confirmation or the alert came or went.
    void overlaysChanged();

private:
    void handleRemovedTrack(const Track& track);
    void handleRestoredTrack(const Track& track);

    TrackListController& m_screen;
    UndoManager& m_undoManager;
    TrackRemovalCoordinator* m_removal;
    bool m_handedSteps = false; // the coordinator may have undo steps to keep
};

} // namespace kivo
