#pragma once

#include <QObject>
#include <QPointer>

#include "ui/editing/BulkMetadataEditorSheet.h"
#include "ui/editing/TrackMetadataEditorSheet.h"

#include "ui/eon/EonAlert.h"

namespace kivo {

class TrackListController;
struct Track;

// Everything a track list shows over its table, each presented while its
// controller state says so and closed when that state clears: the song
// editor, the shared editor, the deletion confirmation, and the alerts for a
// failed removal, a failed shared edit, a failed favourite or artwork change.
// Sheets and alerts are window-modal and opened with open(); texts from songs
// and errors show as plain text.
class TrackListOverlaysModifier : public QObject {
    Q_OBJECT
public:
    TrackListOverlaysModifier(TrackListController& controller, QWidget* host);
    ~TrackListOverlaysModifier() override;

    TrackMetadataEditorSheet* editorSheet() const { return m_editor; }
    BulkMetadataEditorSheet* sharedEditorSheet() const { return m_sharedEditor; }
    EonAlert* deletionConfirmation() const { return m_confirmation; }
    // The alert up now, if any (one at a time; the next follows when it closes).
    EonAlert* alert() const { return m_alert; }

    // The boxes as shown, not yet opened (the gallery shows them too).
    static EonAlert* makeAlert(const QString& title, const QString& message, QWidget* parent);
    // Its destructive button is "Delete Permanently"; "Cancel" is the default.
    static EonAlert* makeDeletionConfirmation(const Track& track, QWidget* parent);

private:
    void syncEditor();
    void syncSharedEditor();
    void syncConfirmation();
    void syncAlert();

    TrackListController& m_controller;
    QWidget* m_host;
    QPointer<TrackMetadataEditorSheet> m_editor;
    QPointer<BulkMetadataEditorSheet> m_sharedEditor;
    QPointer<EonAlert> m_confirmation;
    QPointer<EonAlert> m_alert;
    enum class AlertKind { none, removal, metadata, action } m_alertKind = AlertKind::none;
};

} // namespace kivo
