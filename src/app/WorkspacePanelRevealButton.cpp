#include "app/WorkspacePanelRevealButton.h"

#include "ui/eon/EonMetrics.h"
#include "ui/eon/EonPalette.h"

#include <QPainter>
#include <QPainterPath>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

WorkspacePanelRevealButton::WorkspacePanelRevealButton(WorkspacePanelSide side, QWidget* parent)
    : EonSymbolButton({}, 12, eonTextSecondary(), parent)
    , m_side(side)
{
    setObjectName(side == WorkspacePanelSide::left ? u"workspace.left.reveal"_s
                                                   : u"workspace.right.reveal"_s);
    setFixedSize(26, 44);
    m_isLocked = true; // so that the first call below applies every text
    setLocked(false);
}

void WorkspacePanelRevealButton::setLocked(bool isLocked)
{
    if (m_isLocked == isLocked) {
        return;
    }
    m_isLocked = isLocked;
    const QString name = displayName(m_side);
    setSymbolName(isLocked                       ? u"lock.fill"_s
            : m_side == WorkspacePanelSide::left ? u"sidebar.left"_s
                                                 : u"sidebar.right"_s);
    setColor(isLocked ? eonAccent() : eonTextSecondary());
    setEnabled(!isLocked);
    setToolTip((isLocked ? u"Unlock "_s + name + u" from Workspace"_s : u"Expand "_s + name)
                   .toHtmlEscaped());
    setAccessibleName(isLocked ? name + u" collapsed and locked"_s : u"Expand "_s + name);
}

void WorkspacePanelRevealButton::paintBackground(QPainter& painter, const QRectF& bounds)
{
    // Rounded on the side that faces into the window, square against its edge.
    const double r = eon::revealCornerRadius;
    const QRectF box = bounds.adjusted(0.5, 0.5, -0.5, -0.5);
    const bool roundRight = m_side == WorkspacePanelSide::left;
    QPainterPath path;
    if (roundRight) {
        path.moveTo(box.topLeft());
        path.lineTo(box.right() - r, box.top());
        path.arcTo(QRectF(box.right() - 2 * r, box.top(), 2 * r, 2 * r), 90, -90);
        path.lineTo(box.right(), box.bottom() - r);
        path.arcTo(QRectF(box.right() - 2 * r, box.bottom() - 2 * r, 2 * r, 2 * r), 0, -90);
        path.lineTo(box.bottomLeft());
    } else {
        path.moveTo(box.topRight());
        path.lineTo(box.left() + r, box.top());
        path.arcTo(QRectF(box.left(), box.top(), 2 * r, 2 * r), 90, 90);
        path.lineTo(box.left(), box.bottom() - r);
        path.arcTo(QRectF(box.left(), box.bottom() - 2 * r, 2 * r, 2 * r), 180, 90);
        path.lineTo(box.bottomRight());
    }
    path.closeSubpath();
    painter.setPen(QPen(eonHairline(), 1));
    painter.setBrush(eonWithOpacity(eonSurfaceRaised(), 0.78));
    painter.drawPath(path);
}

} // namespace kivo
