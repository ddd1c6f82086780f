#pragma once

#include "engines/artwork/SharedTrackMetadataPatch.h"
#include "ui/editing/SharedEditorForm.h"

#include "ui/editing/EditorSheet.h"
#include <QHash>
#include <memory>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace kivo {

class ArtworkPreview;
class EonSymbolButton;
class ImageFileChooser;
class StarRow;

// The "Edit Shared Metadata" sheet for two or more songs. The user ticks the
// fields to write; Apply hands one patch to the presenter (applyRequested),
// which writes it and closes the sheet with dismiss(), or reports a failure
// with setErrorMessage() while the draft stays as the user left it.
class BulkMetadataEditorSheet : public EditorSheet {
    Q_OBJECT
public:
    BulkMetadataEditorSheet(const QList<Track>& tracks, std::optional<QString> errorMessage,
        bool isSaving, ImageFileChooser* chooser = nullptr,
        SharedEditorForm::FileLoader loader = {}, QWidget* parent = nullptr);
    ~BulkMetadataEditorSheet() override;

    void dismiss();
    // From the presenter's coordinator; the draft survives both.
    void setSaving(bool saving);
    void setErrorMessage(const std::optional<QString>& message);

    SharedEditorForm& form() { return *m_form; }
    // Apply's action: the patch goes out only while Apply is enabled.
    void apply();

Q_SIGNALS:
    void applyRequested(const kivo::SharedTrackMetadataPatch& patch);

protected:
    // No cancel while a save runs.
    bool refusesCancel() const override;

private:
    using Field = SharedEditorForm::Field;
    QWidget* fieldCell(Field field, const QString& title);
    QWidget* buildArtworkCard();
    void refresh();
    void chooseArtwork();

    SharedEditorForm* m_form;
    ImageFileChooser* m_chooser;
    std::unique_ptr<ImageFileChooser> m_ownChooser;

    struct Cell {
        QCheckBox* toggle;
        QWidget* editor;
    };
    QHash<Field, Cell> m_cells;
    QPlainTextEdit* m_comments = nullptr;
    QCheckBox* m_ratingToggle = nullptr;
    StarRow* m_stars = nullptr;
    QLabel* m_mixedRating = nullptr;
    ArtworkPreview* m_preview = nullptr;
    QLabel* m_artworkHeading = nullptr;
    QLabel* m_artworkExplanation = nullptr;
    QPushButton* m_chooseArtwork = nullptr;
    QPushButton* m_keepExisting = nullptr;
    QLabel* m_message = nullptr;
    EonSymbolButton* m_close = nullptr;
    QPushButton* m_cancel = nullptr;
    QPushButton* m_apply = nullptr;
};

} // namespace kivo
