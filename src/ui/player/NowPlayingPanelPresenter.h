#pragma once

#include "engines/artwork/ArtworkCache.h"
#include "engines/library/LibraryEngine.h"
#include "engines/playback/AudioEngine.h"

#include <QImage>
#include <QList>
#include <QObject>
#include <QString>
#include <optional>
#include <qcoro/qcorotask.h>

namespace kivo {

// One label and value of the details list.
struct NowPlayingDetailRow {
    QString label;
    QString value;
    bool operator==(const NowPlayingDetailRow&) const = default;
};

// The logic of the now-playing panel: which song it shows, that song's
// artwork, and the song editor it opens. Main thread only; the engines
// outlive it.
//
// Published values (getter plus change signal, emitted after the value is in
// place): displayedTrack, artworkImage, editingTrack, editorError.
class NowPlayingPanelPresenter : public QObject {
    Q_OBJECT
public:
    NowPlayingPanelPresenter(AudioEngine& audio, LibraryEngine& library, ArtworkCache& artwork,
        QObject* parent = nullptr);

    // The song picked in the song table. The owner keeps it in step with the
    // window's selection; a successful save writes it (selectedTrackEdited).
    const std::optional<Track>& selectedTrack() const { return m_selected; }
    void setSelectedTrack(const std::optional<Track>& track);

    // The audio engine's current song, else the selection; shown as the
    // library's newest copy with the same id, else as it was handed over
    // (a removed song keeps showing).
    const std::optional<Track>& displayedTrack() const { return m_displayed; }

    // The displayed song's artwork; null while it loads, when there is none or
    // when its bytes are not an image. Reloaded when the displayed id changes
    // and when the artwork cache announces a change. Only the newest load may
    // store its image, and only while its song is still shown.
    const QImage& artworkImage() const { return m_artworkImage; }

    // The song whose editor is open; the sheet is shown exactly while it is set.
    const std::optional<Track>& editingTrack() const { return m_editing; }
    // The last save failure, shown in the open editor.
    const std::optional<QString>& editorError() const { return m_editorError; }

    // Opens the editor on the displayed song; nothing when none is shown.
    void beginEditing();
    // Closes the editor and forgets its error (also the window manager's close).
    void cancelEditing();
    // Saves the edited song through the library. Success selects it, clears the
    // error and closes the editor; failure keeps the editor open with the
    // library's text. True once the library accepted the song.
    QCoro::Task<bool> saveEdited(Track edited);

    // The artwork square's side for a panel width: 56 points of padding off,
    // kept within 176...320.
    static double artworkSide(double panelWidth);
    // The file's extension in upper case, "AUDIO" when it has none.
    static QString formatBadge(const Track& track);
    // "Unknown Artist" / "Unknown Album" when absent; an empty text stays empty.
    static QString artistText(const Track& track);
    static QString albumText(const Track& track);
    // Album Artist, Genre, Year, Track #, Bitrate, Sample Rate, Date Added;
    // "-" for a missing value or an empty text.
    static QList<NowPlayingDetailRow> detailRows(const Track& track);

Q_SIGNALS:
    void displayedTrackChanged(const std::optional<kivo::Track>& track);
    void artworkImageChanged(const QImage& image);
    void editingTrackChanged(const std::optional<kivo::Track>& track);
    void editorErrorChanged(const std::optional<QString>& message);
    // A save succeeded: the window's selection becomes the edited song.
    void selectedTrackEdited(const kivo::Track& track);

private Q_SLOTS:
    // The artwork cache's change notice.
    void reloadArtwork();

private:
    void updateDisplayedTrack();
    QCoro::Task<> loadArtwork(quint64 generation, Track track);
    void setArtworkImage(const QImage& image);
    void setEditing(const std::optional<Track>& track);
    void setEditorError(const std::optional<QString>& message);

    AudioEngine& m_audio;
    LibraryEngine& m_library;
    ArtworkCache& m_artwork;
    std::optional<Track> m_selected;
    std::optional<Track> m_displayed;
    QImage m_artworkImage;
    // Numbers every artwork load; a load whose number is no longer the newest
    // is dropped, so a slow load of an earlier song never lands under the
    // song shown now.
    quint64 m_artworkGeneration = 0;
    std::optional<Track> m_editing;
    std::optional<QString> m_editorError;
};

} // namespace kivo
