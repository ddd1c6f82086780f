#include "ui/library/PlaylistDetailView.h"

#include "model/StartDetached.h"
#include "ui/eon/EonIconButton.h"
#include "ui/library/AddSongsSheet.h"
#include "ui/library/AddSongsSheetModel.h"
#include "ui/library/DropOverlay.h"
#include "ui/library/DropTarget.h"
#include "ui/library/ImportFileChooser.h"
#include "ui/library/LibraryViewStyle.h"
#include "ui/songtable/TrackListView.h"

#include <QLabel>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

namespace {

EonIconButton* headerButton(
    const QString& symbol, bool active, const QString& tip, const QString& name, QWidget* parent)
{
    auto* button = new EonIconButton(symbol, 30, active, std::nullopt, parent);
    button->setObjectName(name);
    button->setToolTip(tip);
    return button;
}

} // namespace

PlaylistDetailView::PlaylistDetailView(TrackListDependencies dependencies,
    PlaylistEngine& playlists, Playlist playlist, ImportFileChooser* chooser, QWidget* parent)
    : QWidget(parent)
    , m_model(
          new PlaylistDetailViewModel(dependencies.library, playlists, std::move(playlist), this))
    , m_trackList(new TrackListView(dependencies, this))
    , m_ownChooser(chooser ? nullptr : std::make_unique<DialogImportFileChooser>())
    , m_chooser(chooser ? chooser : m_ownChooser.get())
{
    setObjectName(u"playlistDetailView"_s);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_trackList);

    m_error = library::errorLabel(12, 0.86, false, this);
    m_error->setObjectName(u"playlistImportError"_s);
    m_error->setMaximumWidth(300);
    m_addSongs = headerButton(
        u"music.note.list"_s, false, u"Add songs from library"_s, u"playlistAddSongs"_s, this);
    m_import = headerButton(
        u"square.and.arrow.down"_s, false, u"Import songs"_s, u"playlistImport"_s, this);
    library::followImportRefusal(*m_import, dependencies.library, u"Import songs"_s);
    m_play = headerButton(u"play.fill"_s, true, u"Play playlist"_s, u"playlistPlay"_s, this);
    m_trackList->setTitle(m_model->playlist().name);
    m_trackList->setEmptyState(emptyState());
    m_trackList->setHeaderActions({ m_error, m_addSongs, m_import, m_play });
    m_trackList->setTracks(m_model->tracks());
    m_play->setEnabled(m_model->canPlay());
    m_trackList->setOnTracksChanged([model = QPointer(m_model)] {
        if (model) {
            model->reload();
        }
    });
    m_overlay = new DropOverlay(this);

    connect(
        m_model, &PlaylistDetailViewModel::tracksChanged, this, [this](const QList<Track>& tracks) {
            m_trackList->setTracks(tracks);
            m_play->setEnabled(m_model->canPlay());
        });
    connect(m_model, &PlaylistDetailViewModel::playlistChanged, this,
        [this](const Playlist& shown) { m_trackList->setTitle(shown.name); });
    connect(m_model, &PlaylistDetailViewModel::importErrorChanged, this,
        [this](const std::optional<QString>& error) { library::showErrorLine(*m_error, error); });
    connect(m_model, &PlaylistDetailViewModel::dropTargetedChanged, this, [this](bool targeted) {
        m_overlay->setVisible(targeted);
        m_overlay->place();
    });
    connect(&m_model->addSongs(), &AddSongsSheetModel::openChanged, this,
        &PlaylistDetailView::showAddSongsSheet);
    connect(m_addSongs, &QAbstractButton::clicked, &m_model->addSongs(), &AddSongsSheetModel::open);
    connect(m_import, &QAbstractButton::clicked, this, &PlaylistDetailView::chooseFiles);
    connect(m_play, &QAbstractButton::clicked, m_model, &PlaylistDetailViewModel::play);
    new DropTarget(
        *this, [this](bool targeted) { m_model->setDropTargeted(targeted); },
        [this](QList<QUrl> urls) { startDetached(m_model->importAndAddSongs(std::move(urls))); });
}

PlaylistDetailView::~PlaylistDetailView() = default;

TrackListEmptyState PlaylistDetailView::emptyState()
{
    return { u"music.note.list"_s, u"This playlist is empty"_s,
        u"Add songs from your library to get started"_s };
}

void PlaylistDetailView::setPlaylist(const Playlist& playlist)
{
    m_model->setPlaylist(playlist);
}

AddSongsSheet* PlaylistDetailView::addSongsSheet() const
{
    return m_sheet;
}

void PlaylistDetailView::setChooser(ImportFileChooser* chooser)
{
    if (!chooser && !m_ownChooser) {
        m_ownChooser = std::make_unique<DialogImportFileChooser>();
    }
    m_chooser = chooser ? chooser : m_ownChooser.get();
}

void PlaylistDetailView::chooseFiles()
{
    m_chooser->chooseAudioFiles(this, [self = QPointer(this)](QList<QUrl> urls) {
        if (self && !urls.isEmpty()) {
            startDetached(self->m_model->importAndAddSongs(std::move(urls)));
        }
    });
}

void PlaylistDetailView::showAddSongsSheet(bool open)
{
    if (open && !m_sheet) {
        m_sheet = new AddSongsSheet(m_model->addSongs(), this);
        m_sheet->setAttribute(Qt::WA_DeleteOnClose);
        m_sheet->present();
    }
}

void PlaylistDetailView::resizeEvent(QResizeEvent*)
{
    m_overlay->place();
}

} // namespace kivo
