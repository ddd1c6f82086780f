#include "ui/songtable/TrackListOverlaysModifier.h"

#include "engines/artwork/TrackMetadataBatchCoordinator.h"
#include "engines/artwork/TrackRemovalCoordinator.h"
#include "ui/editing/BulkMetadataEditorSheet.h"
#include "ui/editing/TrackMetadataEditorSheet.h"
#include "ui/eon/EonAlert.h"
#include "ui/songtable/TrackListController.h"

#include <QPushButton>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

TrackListOverlaysModifier::TrackListOverlaysModifier(TrackListController& controller, QWidget* host)
    : QObject(host)
    , m_controller(controller)
    , m_host(host)
{
    TrackMetadataBatchCoordinator& batch = controller.batchCoordinator();
    connect(&controller, &TrackListController::editingTrackChanged, this,
        &TrackListOverlaysModifier::syncEditor);
    connect(&controller, &TrackListController::editorErrorChanged, this,
        &TrackListOverlaysModifier::syncEditor);
    connect(&batch, &TrackMetadataBatchCoordinator::batchChanged, this,
        &TrackListOverlaysModifier::syncSharedEditor);
    connect(&batch, &TrackMetadataBatchCoordinator::errorMessageChanged, this,
        &TrackListOverlaysModifier::syncSharedEditor);
    connect(&batch, &TrackMetadataBatchCoordinator::isSavingChanged, this,
        &TrackListOverlaysModifier::syncSharedEditor);
    connect(&controller, &TrackListController::overlaysChanged, this, [this] {
        syncConfirmation();
        syncAlert();
    });
}

TrackListOverlaysModifier::~TrackListOverlaysModifier()
{
    delete m_editor;
    delete m_sharedEditor;
    delete m_confirmation;
    delete m_alert;
}

void TrackListOverlaysModifier::syncEditor()
{
    const std::optional<Track>& editing = m_controller.editingTrack();
    if (m_editor && (!editing || m_editor->form().original().id != editing->id)) {
        QPointer<TrackMetadataEditorSheet> sheet = std::exchange(m_editor, nullptr);
        sheet->dismiss();
        sheet->deleteLater();
    }
    if (!editing) {
        return;
    }
    if (m_editor) {
        m_editor->setErrorMessage(m_controller.editorError());
        return;
    }
    const TrackListDependencies& deps = m_controller.dependencies();
    TrackListController* controller = &m_controller;
    const QPointer<TrackListController> guard(controller);
    auto* sheet = new TrackMetadataEditorSheet(
        *editing, m_controller.editorError(),
        { deps.artworkCache, deps.metadata, deps.artworkChooser, deps.artworkLoader },
        [guard](Track track) -> QCoro::Task<bool> {
            if (!guard) {
                return []() -> QCoro::Task<bool> { co_return false; }();
            }
            return guard->saveTrack(std::move(track));
        },
        m_host);
    connect(sheet, &TrackMetadataEditorSheet::cancelRequested, controller,
        &TrackListController::cancelEditing);
    m_editor = sheet;
    sheet->present();
}

void TrackListOverlaysModifier::syncSharedEditor()
{
    TrackMetadataBatchCoordinator& coordinator = m_controller.batchCoordinator();
    const std::optional<TrackMetadataBatch>& batch = coordinator.batch();
    if (m_sharedEditor && (!batch || m_sharedEditor->property("batchID") != batch->id)) {
        QPointer<BulkMetadataEditorSheet> sheet = std::exchange(m_sharedEditor, nullptr);
        sheet->dismiss();
        sheet->deleteLater();
    }
    if (batch && !m_sharedEditor) {
        const TrackListDependencies& deps = m_controller.dependencies();
        auto* sheet = new BulkMetadataEditorSheet(batch->tracks, coordinator.errorMessage(),
            coordinator.isSaving(), deps.artworkChooser, deps.artworkLoader, m_host);
        sheet->setProperty("batchID", batch->id);
        connect(sheet, &BulkMetadataEditorSheet::cancelRequested, &m_controller,
            &TrackListController::cancelSharedEditing);
        connect(sheet, &BulkMetadataEditorSheet::applyRequested, &m_controller,
            &TrackListController::saveSharedMetadata);
        m_sharedEditor = sheet;
        sheet->present();
    } else if (m_sharedEditor) {
        m_sharedEditor->setSaving(coordinator.isSaving());
        m_sharedEditor->setErrorMessage(coordinator.errorMessage());
    }
    syncAlert();
}

EonAlert* TrackListOverlaysModifier::makeAlert(
    const QString& title, const QString& message, QWidget* parent)
{
    return new EonAlert(title, message, parent);
}

EonAlert* TrackListOverlaysModifier::makeDeletionConfirmation(const Track& track, QWidget* parent)
{
    EonAlert* box = makeAlert(TrackListController::deletionConfirmationTitle(),
        TrackListController::deletionConfirmationMessage(track), parent);
    box->setObjectName(u"deleteTrackConfirmation"_s);
    QPushButton* cancel = box->addButton(u"Cancel"_s, EonAlert::Role::cancel);
    box->addButton(u"Delete Permanently"_s, EonAlert::Role::destructive);
    box->setDefaultButton(cancel);
    return box;
}

void TrackListOverlaysModifier::syncConfirmation()
{
    const std::optional<Track>& pending
        = m_controller.removalCoordinator().pendingPermanentDeletion();
    if (!pending) {
        if (m_confirmation) {
            std::exchange(m_confirmation, nullptr)->close();
        }
        return;
    }
    if (m_confirmation) {
        return;
    }
    EonAlert* box = makeDeletionConfirmation(*pending, m_host);
    const Track track = *pending;
    TrackListController* controller = &m_controller;
    connect(box, &QDialog::finished, controller, [this, box, controller, track] {
        if (m_confirmation == box) {
            m_confirmation = nullptr;
        }
        // The confirmed song is the one the dialog named.
        if (box->clickedRole() == EonAlert::Role::destructive) {
            controller->remove(track, true);
        } else {
            controller->cancelPermanentDeletion();
        }
    });
    m_confirmation = box;
    box->open();
}

void TrackListOverlaysModifier::syncAlert()
{
    std::optional<QString> removal = m_controller.removalAlertMessage();
    std::optional<QString> metadata = m_controller.metadataAlertMessage();
    const std::optional<TrackListAlert>& action = m_controller.actionAlert();
    // An alert whose message was cleared elsewhere goes.
    if (m_alert) {
        const bool stillWanted = (m_alertKind == AlertKind::removal && removal)
            || (m_alertKind == AlertKind::metadata && metadata)
            || (m_alertKind == AlertKind::action && action);
        if (!stillWanted) {
            EonAlert* alert = std::exchange(m_alert, nullptr);
            m_alertKind = AlertKind::none;
            alert->close();
        } else {
            return;
        }
    }
    QString title;
    QString message;
    if (removal) {
        m_alertKind = AlertKind::removal;
        title = TrackListController::removalAlertTitle();
        message = removal->isEmpty() ? u"The track could not be removed."_s : *removal;
    } else if (metadata) {
        m_alertKind = AlertKind::metadata;
        title = TrackListController::metadataAlertTitle();
        message = metadata->isEmpty() ? u"The selected songs could not be updated."_s : *metadata;
    } else if (action) {
        m_alertKind = AlertKind::action;
        title = action->title;
        message = action->message;
    } else {
        return;
    }
    EonAlert* box = makeAlert(title, message, m_host);
    box->setObjectName(u"trackListAlert"_s);
    const AlertKind kind = m_alertKind;
    TrackListController* controller = &m_controller;
    // "OK", Escape and closing the window all clear the message once.
    connect(box, &QDialog::finished, controller, [this, box, kind, controller] {
        if (m_alert == box) {
            m_alert = nullptr;
            m_alertKind = AlertKind::none;
        }
        switch (kind) {
        case AlertKind::removal:
            controller->dismissRemovalAlert();
            break;
        case AlertKind::metadata:
            controller->dismissMetadataAlert();
            break;
        case AlertKind::action:
            controller->dismissActionAlert();
            break;
        case AlertKind::none:
            break;
        }
        syncAlert();
    });
    m_alert = box;
    box->open();
}

} // namespace kivo
