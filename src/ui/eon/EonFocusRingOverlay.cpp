#include "ui/eon/EonFocusRingOverlay.h"

#include "ui/eon/EonFocusRing.h"

#include <QEvent>
#include <QPainter>

namespace kivo {

EonFocusRingOverlay::EonFocusRingOverlay(QWidget* owner, double radius)
    : QWidget(owner)
    , m_owner(*owner)
    , m_radius(radius)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_TranslucentBackground);
    setFocusPolicy(Qt::NoFocus);
    setGeometry(owner->rect());
    owner->installEventFilter(this);
}

bool EonFocusRingOverlay::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::Resize:
    case QEvent::ChildAdded:
        // Above whatever the owner lays out later (its scroll bars, its header).
        setGeometry(m_owner.rect());
        raise();
        break;
    case QEvent::FocusIn:
    case QEvent::FocusOut:
        update();
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void EonFocusRingOverlay::paintEvent(QPaintEvent*)
{
    if (EonFocusRing::isShown(m_owner)) {
        QPainter painter(this);
        EonFocusRing::paint(painter, rect(), m_radius);
    }
}

} // namespace kivo
