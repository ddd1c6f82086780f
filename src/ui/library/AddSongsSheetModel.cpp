#include "ui/library/AddSongsSheetModel.h"

#include "ui/library/PlaylistDetailViewModel.h"

using namespace Qt::Literals::StringLiterals;

namespace kivo {

AddSongsSheetModel::AddSongsSheetModel(PlaylistDetailViewModel& screen, QObject* parent)
    : QObject(parent)
    , m_screen(screen)
{
}

const QList<Track>& AddSongsSheetModel::tracks() const
{
    return m_screen.libraryTracks();
}

void AddSongsSheetModel::open()
{
    if (!m_open) {
        m_open = true;
        Q_EMIT openChanged(true);
    }
}

void AddSongsSheetModel::toggle(const QUuid& id)
{
    if (!m_ticked.remove(id)) {
        m_ticked.insert(id);
    }
    Q_EMIT changed();
}

QString AddSongsSheetModel::countText() const
{
    return QString::number(m_ticked.size()) + u" selected"_s;
}

QList<Track> AddSongsSheetModel::tickedTracks() const
{
    QList<Track> ticked;
    for (const Track& track : tracks()) {
        if (m_ticked.contains(track.id)) {
            ticked.push_back(track);
        }
    }
    return ticked;
}

void AddSongsSheetModel::cancel()
{
    close();
}

void AddSongsSheetModel::add()
{
    if (!canAdd()) {
        return;
    }
    if (m_screen.addTracks(tickedTracks())) {
        close();
    }
}

void AddSongsSheetModel::close()
{
    m_ticked.clear();
    Q_EMIT changed();
    if (m_open) {
        m_open = false;
        Q_EMIT openChanged(false);
    }
}

} // namespace kivo
