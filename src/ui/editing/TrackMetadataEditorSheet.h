#pragma once

#include "ui/editing/EditorSheet.h"
#include "ui/editing/SongArtworkEditor.h"
#include "ui/editing/TrackEditorForm.h"

#include <QPointer>
#include <functional>
#include <memory>
#include <optional>

class QBoxLayout;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace kivo {

class ArtworkCache;
class ArtworkPreview;
class EonSymbolButton;
class ImageFileChooser;
class MetadataEngine;
class StarRow;

// The "Edit Metadata" sheet for one song. It keeps every edit to itself and
// on Save hands the whole edited song to its presenter; only once the
// presenter reports the song saved does it write the artwork to the cache.
// Like every editor sheet it never closes itself on a cancel (EditorSheet);
// the presenter calls dismiss().
class TrackMetadataEditorSheet : public EditorSheet {
    Q_OBJECT
public:
    // Saves the edited song; true once the library accepted it. On failure the
    // presenter shows its text with setErrorMessage() and the sheet stays.
    using SaveAction = std::function<QCoro::Task<bool>(Track)>;

    struct Services {
        ArtworkCache& cache;
        MetadataEngine& metadata;
        ImageFileChooser* chooser = nullptr; // none: a file dialog
        SongArtworkEditor::FileLoader loader = {}; // none: loadArtworkFileData()
    };

    TrackMetadataEditorSheet(Track track, std::optional<QString> errorMessage, Services services,
        SaveAction onSave, QWidget* parent = nullptr);
    ~TrackMetadataEditorSheet() override;

    // Shows the sheet window-modal (EditorSheet::present) and starts the artwork load.
    void present();
    // Closes the sheet; edits not saved are dropped.
    void dismiss();
    // The presenter's text from the last save, shown above the buttons.
    void setErrorMessage(const std::optional<QString>& message);

    const TrackEditorForm& form() const { return m_form; }
    SongArtworkEditor& artwork() { return *m_artwork; }
    // Whether Save (button or Ctrl+Return) would run now.
    bool canSave() const;
    // The Save action: does nothing while Save is disabled or a save runs.
    void save();

private:
    QLineEdit* addField(
        QBoxLayout* layout, const QString& caption, QString* state, const QString& name);
    QWidget* buildArtworkSection();
    void refresh();
    void chooseArtwork();
    QCoro::Task<> runSave(Track edited, ArtworkCommit plan);

    TrackEditorForm m_form;
    SongArtworkEditor* m_artwork;
    QPointer<ArtworkCache> m_cache;
    ImageFileChooser* m_chooser;
    std::unique_ptr<ImageFileChooser> m_ownChooser;
    SaveAction m_onSave;
    bool m_isSaving = false;
    bool m_loadStarted = false;

    ArtworkPreview* m_preview = nullptr;
    QPushButton* m_removeArtwork = nullptr;
    StarRow* m_stars = nullptr;
    QPlainTextEdit* m_lyrics = nullptr;
    QLabel* m_errorLine = nullptr;
    QPushButton* m_save = nullptr;
};

} // namespace kivo
