#include "ui/library/SongsView.h"

#include "model/StartDetached.h"
#include "ui/eon/EonMetrics.h"
#include "ui/eon/EonPalette.h"
#include "ui/eon/EonSymbolButton.h"
#include "ui/library/DropOverlay.h"
#include "ui/library/DropTarget.h"
#include "ui/library/ImportFileChooser.h"
#include "ui/library/LibraryViewStyle.h"
#include "ui/songtable/TrackListView.h"

#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

namespace {

// The header's "folder.badge.plus" button on its faint rounded fill.
class AddSongsButton : public EonSymbolButton {
public:
    explicit AddSongsButton(QWidget* parent)
        : EonSymbolButton(u"folder.badge.plus"_s, 14, eonTextPrimary(), parent)
    {
        setObjectName(u"songsAddSongs"_s);
        setAccessibleName(u"Add songs"_s);
        setFixedSize(32, 32);
    }

protected:
    void paintBackground(QPainter& painter, const QRectF& bounds) override
    {
        QPainterPath shape;
        shape.addRoundedRect(bounds, eon::plateCornerRadius, eon::plateCornerRadius);
        painter.fillPath(shape, eonWithOpacity(Qt::white, 0.07));
    }
};

} // namespace

SongsView::SongsView(TrackListDependencies dependencies, QString title,
    SongsViewModel::Filter filter, ImportFileChooser* chooser, QWidget* parent)
    : QWidget(parent)
    , m_model(new SongsViewModel(dependencies.library, std::move(title), std::move(filter), this))
    , m_trackList(new TrackListView(dependencies, this))
    , m_ownChooser(chooser ? nullptr : std::make_unique<DialogImportFileChooser>())
    , m_chooser(chooser ? chooser : m_ownChooser.get())
{
    setObjectName(u"songsView"_s);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_trackList);

    m_error = library::errorLabel(12, 0.86, false, this);
    m_error->setObjectName(u"songsImportError"_s);
    m_error->setMaximumWidth(360);
    m_addSongs = new AddSongsButton(this);
    library::followImportRefusal(*m_addSongs, dependencies.library, u"Add songs"_s);
    m_trackList->setTitle(m_model->title());
    m_model->setEmptyLibraryState(emptyState());
    m_trackList->setEmptyState(m_model->emptyState());
    m_trackList->setHeaderActions({ m_error, m_addSongs });
    m_trackList->setTracks(m_model->tracks());
    m_trackList->setOnTracksChanged([model = QPointer(m_model)] {
        if (model) {
            model->reload();
        }
    });
    m_overlay = new DropOverlay(this);

    connect(m_model, &SongsViewModel::tracksChanged, m_trackList,
        [this](const QList<Track>& tracks) { m_trackList->setTracks(tracks); });
    connect(m_model, &SongsViewModel::emptyStateChanged, m_trackList,
        [this](const TrackListEmptyState& empty) { m_trackList->setEmptyState(empty); });
    connect(m_model, &SongsViewModel::importErrorChanged, this,
        [this](const std::optional<QString>& error) { library::showErrorLine(*m_error, error); });
    connect(m_model, &SongsViewModel::dropTargetedChanged, this, [this](bool targeted) {
        m_overlay->setVisible(targeted);
        m_overlay->place();
    });
    connect(m_addSongs, &QAbstractButton::clicked, this, &SongsView::chooseFiles);
    new DropTarget(
        *this, [this](bool targeted) { m_model->setDropTargeted(targeted); },
        [this](QList<QUrl> urls) { startDetached(m_model->importAudioURLs(std::move(urls))); });
}

SongsView::~SongsView() = default;

TrackListEmptyState SongsView::emptyState()
{
    return { u"music.note"_s, u"No songs in library"_s, u"Import songs to get started"_s };
}

void SongsView::setChooser(ImportFileChooser* chooser)
{
    if (!chooser && !m_ownChooser) {
        m_ownChooser = std::make_unique<DialogImportFileChooser>();
    }
    m_chooser = chooser ? chooser : m_ownChooser.get();
}

void SongsView::chooseFiles()
{
    m_chooser->chooseAudioFiles(this, [self = QPointer(this)](QList<QUrl> urls) {
        if (self && !urls.isEmpty()) {
            startDetached(self->m_model->importAudioURLs(std::move(urls)));
        }
    });
}

void SongsView::resizeEvent(QResizeEvent*)
{
    m_overlay->place();
}

} // namespace kivo
