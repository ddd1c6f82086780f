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

bool DropTarget::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDropEvent*>(event);
        if (drag->mimeData() && DropExtraction::carriesFiles(*drag->mimeData())) {
            drag->acceptProposedAction();
            m_targeted(true);
        } else {
            drag->ignore();
        }
        return true;
    }
    case QEvent::DragLeave:
        m_targeted(false);
        return true;
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        m_targeted(false);
        drop->acceptProposedAction();
        if (drop->mimeData()) {
            m_dropped(DropExtraction::fileURLs(*drop->mimeData()));
        }
        return true;
    }
    default:
        return QObject::eventFilter(watched, event);
    }
}

} // namespace kivo
