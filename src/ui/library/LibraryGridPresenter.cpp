#include "ui/library/LibraryGridPresenter.h"

#include "model/Logging.h"
#include "ui/library/LibraryGridLayout.h"

#include <QUrl>
#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

LibraryGridPresenter::LibraryGridPresenter(QObject* parent)
    : QObject(parent)
    , m_gridItemWidth(LibraryGridLayout::defaultItemWidth)
{
}

void LibraryGridPresenter::setGridItemWidth(double width)
{
    const double clamped = std::clamp(
        width, LibraryGridLayout::minimumItemWidth, LibraryGridLayout::maximumItemWidth);
    if (clamped != m_gridItemWidth) {
        m_gridItemWidth = clamped;
        Q_EMIT gridItemWidthChanged(clamped);
    }
}

void LibraryGridPresenter::loadSampleTracks()
{
    struct Sample {
        QString filename;
        QString title;
        double duration;
    };
    const Sample samples[] = {
        { u"midnight-ferry.mp3"_s, u"Midnight Ferry"_s, 263 },
        { u"amber-static.mp3"_s, u"Amber Static"_s, 412 },
        { u"glass-harbour.mp3"_s, u"Glass Harbour"_s, 318 },
        { u"northern-wires.mp3"_s, u"Northern Wires"_s, 547 },
        { u"slow-orbit.mp3"_s, u"Slow Orbit"_s, 601 },
    };
    const QUrl placeholder = QUrl::fromLocalFile(u"/tmp/kivo-sample.mp3"_s);
    QList<Track> tracks;
    try {
        for (const Sample& sample : samples) {
            tracks.append(Track::make(QUuid::createUuid(), placeholder, sample.filename,
                sample.title, sample.duration, Date::now()));
        }
    } catch (const std::exception& error) {
        reportFailure(
            logging::library, u"Error parsing mock tracks: "_s + QString::fromUtf8(error.what()));
        return;
    }
    for (Track& track : tracks) {
        track.artist = u"The Lantern Collective"_s;
        track.album = u"Harbour Lights"_s;
    }
    m_model.setTracks(std::move(tracks));
}

} // namespace kivo
