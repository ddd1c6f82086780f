#include "ui/library/DropTarget.h"

#include "ui/library/DropExtraction.h"

#include <QDropEvent>
#include <QMimeData>
#include <QWidget>

namespace kivo {

DropTarget::DropTarget(
    QWidget& screen, std::function<void(bool)> targeted, std::function<void(QList<QUrl>)> dropped)
    : QObject(&screen)
    , m_targeted(std::move(targeted))
    , m_dropped(std::move(dropped))
{
    screen.setAcceptDrops(true);
    screen.installEventFilter(this);
}

bool DropTarget::enter(const QMimeData& data)
{
    const bool carries = DropExtraction::carriesFiles(data);
    m_targeted(carries);
    return carries;
}

void DropTarget::leave()
{
    m_targeted(false);
}

void DropTarget::drop(const QMimeData& data)
{
    m_targeted(false);
    m_dropped(DropExtraction::fileURLs(data));
}

bool DropTarget::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDropEvent*>(event);
        if (drag->mimeData() && enter(*drag->mimeData())) {
            drag->acceptProposedAction();
        } else {
            drag->ignore();
        }
        return true;
    }
    case QEvent::DragLeave:
        leave();
        return true;
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        drop->acceptProposedAction();
        if (drop->mimeData()) {
            this->drop(*drop->mimeData());
        } else {
            leave();
        }
        return true;
    }
    default:
        return QObject::eventFilter(watched, event);
    }
}

} // namespace kivo
