#pragma once

#include "ui/editing/TrackMetadataEditorSheet.h"
#include "ui/player/NowPlayingPanelPresenter.h"

#include <QPointer>
#include <QWidget>

class QHBoxLayout;
class QLabel;
class QScrollArea;
class QScrollBar;

namespace kivo {

class EonIconButton;
class MetadataEngine;
class NowPlayingArtworkView;
class NowPlayingMetadataDetailsView;
class TrackFavoriteButton;

// The engines the panel works with; the owner keeps them alive.
struct NowPlayingPanelEngines {
    AudioEngine& audio;
    LibraryEngine& library;
    ArtworkCache& artwork;
    MetadataEngine& metadata;
};

// The right-hand panel showing one song large: artwork, title, artist and
// album, the favourite heart and the edit button, the format badge with the
// file name, and the song's details; "No track selected" when there is none.
// The artwork follows the panel's width. Draws what its presenter holds and
// presents the song editor while the presenter has one open.
class NowPlayingPanelView : public QWidget {
    Q_OBJECT
public:
    explicit NowPlayingPanelView(NowPlayingPanelEngines engines, QWidget* parent = nullptr);
    ~NowPlayingPanelView() override;

    NowPlayingPanelPresenter& presenter() const { return *m_presenter; }
    NowPlayingArtworkView& artwork() const { return *m_artwork; }
    NowPlayingMetadataDetailsView& details() const { return *m_details; }
    EonIconButton& editButton() const { return *m_edit; }
    TrackFavoriteButton& favoriteButton() const { return *m_favorite; }
    QScrollArea& scrollArea() const { return *m_scroll; }
    // The panel's own scroll bar, inside its trailing margin (the scroll
    // area's is off): clear of the window's corner, and the texts keep their
    // width when it shows.
    QScrollBar& scrollBar() const { return *m_bar; }
    QWidget& emptyState() const { return *m_empty; }
    // The full texts shown (the title may be cut to two lines on screen).
    QString title() const { return m_titleText; }
    QString artist() const { return m_artistText; }
    QString album() const { return m_albumText; }
    QString badge() const;
    QString filename() const { return m_filenameText; }
    // Open while the presenter edits a song.
    TrackMetadataEditorSheet* editor() const { return m_editor; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void updateTrack();
    void updateEditor(const std::optional<Track>& track);
    void elideTexts();
    void syncScrollBar();

    NowPlayingPanelEngines m_engines;
    NowPlayingPanelPresenter* m_presenter;
    QWidget* m_empty;
    QScrollArea* m_scroll;
    QScrollBar* m_bar;
    NowPlayingArtworkView* m_artwork;
    QLabel* m_title;
    QLabel* m_artist;
    QLabel* m_album;
    TrackFavoriteButton* m_favorite;
    EonIconButton* m_edit;
    QLabel* m_badge;
    QLabel* m_filename;
    NowPlayingMetadataDetailsView* m_details;
    QString m_titleText;
    QString m_artistText;
    QString m_albumText;
    QString m_filenameText;
    QPointer<TrackMetadataEditorSheet> m_editor;
};

} // namespace kivo
