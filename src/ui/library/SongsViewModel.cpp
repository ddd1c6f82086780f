#include "ui/library/SongsViewModel.h"

#include "engines/library/LibraryEngine.h"
#include "model/StoreFile.h"
#include "ui/library/ImportRoad.h"

#include <QPointer>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

SongsViewModel::SongsViewModel(
    LibraryEngine& library, QString title, Filter filter, QObject* parent)
    : QObject(parent)
    , m_library(library)
    , m_title(std::move(title))
    , m_filter(std::move(filter))
{
    m_tracks = m_filter ? m_filter(library.allTracks()) : library.allTracks();
    connect(&library, &LibraryEngine::tracksChanged, this, &SongsViewModel::setTracks);
    connect(&library, &LibraryEngine::loadStateChanged, this, &SongsViewModel::refreshEmptyState);
    refreshEmptyState();
}

void SongsViewModel::setEmptyLibraryState(TrackListEmptyState emptyLibrary)
{
    m_emptyLibrary = std::move(emptyLibrary);
    refreshEmptyState();
}

void SongsViewModel::refreshEmptyState()
{
    TrackListEmptyState state;
    switch (m_library.loadState()) {
    case LibraryLoadState::loading:
        state = { u"arrow.triangle.2.circlepath"_s, u"Loading library…"_s, QString() };
        break;
    case LibraryLoadState::failed:
        state = { u"exclamationmark.triangle.fill"_s, u"The library could not be read"_s,
            storefile::describeReadFailure(m_library.loadError()) };
        break;
    case LibraryLoadState::loaded:
        state = m_emptyLibrary;
        break;
    }
    if (!(state == m_emptyState)) {
        m_emptyState = std::move(state);
        Q_EMIT emptyStateChanged(m_emptyState);
    }
}

void SongsViewModel::reload()
{
    setTracks(m_library.allTracks());
}

void SongsViewModel::setTracks(const QList<Track>& libraryTracks)
{
    m_tracks = m_filter ? m_filter(libraryTracks) : libraryTracks;
    Q_EMIT tracksChanged(m_tracks);
}

QString SongsViewModel::errorLine() const
{
    return m_importError ? ImportRoad::firstLine(*m_importError) : QString();
}

void SongsViewModel::setDropTargeted(bool targeted)
{
    if (m_dropTargeted != targeted) {
        m_dropTargeted = targeted;
        Q_EMIT dropTargetedChanged(targeted);
    }
}

void SongsViewModel::setImportError(const std::optional<QString>& error)
{
    if (m_importError != error) {
        m_importError = error;
        Q_EMIT importErrorChanged(m_importError);
    }
}

QCoro::Task<> SongsViewModel::importAudioURLs(QList<QUrl> urls)
{
    const QPointer<SongsViewModel> self(this);
    QCoro::Task<ImportOutcome> importing = ImportRoad::importFiles(m_library, std::move(urls));
    const ImportOutcome outcome = co_await std::move(importing);
    if (!self) {
        co_return;
    }
    setImportError(outcome.errorLine(m_importError));
    if (outcome.kind == ImportOutcome::Kind::succeeded) {
        reload();
    }
}

} // namespace kivo
