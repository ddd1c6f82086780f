#include "app/WorkspacePanelDivider.h"

#include "ui/eon/EonPalette.h"
#include "ui/eon/EonStyle.h"
#include "ui/eon/EonSymbolButton.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <cmath>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

namespace {

// The collapse button's capsule on a thin material.
class DividerCollapseButton : public EonSymbolButton {
public:
    using EonSymbolButton::EonSymbolButton;

protected:
    void paintBackground(QPainter& painter, const QRectF& bounds) override
    {
        painter.setPen(QPen(eonHairline(), 1));
        painter.setBrush(eonWithOpacity(eonSurfaceRaised(), 0.78));
        const QRectF capsule = bounds.adjusted(0.5, 0.5, -0.5, -0.5);
        painter.drawRoundedRect(capsule, capsule.width() / 2, capsule.width() / 2);
    }
};

constexpr int buttonTop = 12;
constexpr QSize buttonSize(20, 28);

} // namespace

WorkspacePanelDivider::WorkspacePanelDivider(
    WorkspacePanelSide side, WorkspacePanelDividerActions actions, QWidget* parent)
    : QWidget(parent)
    , m_side(side)
    , m_actions(std::move(actions))
    , m_collapseButton(new DividerCollapseButton({}, 9, eonTextSecondary(), this))
{
    setObjectName(side == WorkspacePanelSide::left ? u"workspace.left.divider"_s
                                                   : u"workspace.right.divider"_s);
    setFixedWidth(stripWidth);
    setAttribute(Qt::WA_Hover);
    setMouseTracking(true);
    m_collapseButton->setFixedSize(buttonSize);
    connect(m_collapseButton, &QAbstractButton::clicked, this, [this] {
        if (m_actions.onCollapse) {
            m_actions.onCollapse();
        }
    });
    updateLook();
    placeCollapseButton();
}

WorkspacePanelDivider::~WorkspacePanelDivider()
{
    if (m_collapseButton && m_collapseButton->parentWidget() != this) {
        delete m_collapseButton;
    }
}

void WorkspacePanelDivider::placeCollapseButton()
{
    if (!m_collapseButton) {
        return;
    }
    QWidget* host = parentWidget();
    if (host && m_collapseButton->parentWidget() != host) {
        m_collapseButton->setParent(host);
        // Shown when the strip is shown (its show event), hidden with it.
        m_collapseButton->setVisible(isVisible());
    }
    const QPoint origin = m_collapseButton->parentWidget() == this ? QPoint() : pos();
    m_collapseButton->move(origin + QPoint((width() - buttonSize.width()) / 2, buttonTop));
    if (host) {
        m_collapseButton->raise();
    }
}

bool WorkspacePanelDivider::event(QEvent* event)
{
    const bool handled = QWidget::event(event);
    if (event->type() == QEvent::ParentChange) {
        placeCollapseButton();
    }
    return handled;
}

void WorkspacePanelDivider::moveEvent(QMoveEvent*)
{
    placeCollapseButton();
}

void WorkspacePanelDivider::showEvent(QShowEvent*)
{
    if (m_collapseButton && m_collapseButton->parentWidget() != this) {
        m_collapseButton->show();
    }
    placeCollapseButton();
}

void WorkspacePanelDivider::hideEvent(QHideEvent*)
{
    // Hidden itself, not only with its parent.
    if (m_collapseButton && m_collapseButton->parentWidget() != this && isHidden()) {
        m_collapseButton->hide();
    }
}

void WorkspacePanelDivider::setPanel(double width, bool isLocked)
{
    m_width = width;
    if (m_isLocked != isLocked) {
        m_isLocked = isLocked;
        updateLook();
    }
}

void WorkspacePanelDivider::updateLook()
{
    const QString name = displayName(m_side);
    m_collapseButton->setSymbolName(m_isLocked   ? u"lock.fill"_s
            : m_side == WorkspacePanelSide::left ? u"chevron.left"_s
                                                 : u"chevron.right"_s);
    m_collapseButton->setColor(m_isLocked ? eonAccent() : eonTextSecondary());
    m_collapseButton->setEnabled(!m_isLocked);
    m_collapseButton->setToolTip(
        (m_isLocked ? u"Unlock "_s + name + u" to change it"_s : u"Collapse "_s + name)
            .toHtmlEscaped());
    m_collapseButton->setAccessibleName(m_isLocked ? name + u" locked"_s : u"Collapse "_s + name);
    setCursor(m_isHovering && !m_isLocked ? Qt::SplitHCursor : Qt::ArrowCursor);
    update();
}

void WorkspacePanelDivider::beginDrag(double x)
{
    m_pressX = x;
    m_dragOrigin.reset();
}

void WorkspacePanelDivider::dragTo(double x)
{
    if (!m_pressX || m_isLocked) {
        return;
    }
    const double origin = m_dragOrigin.value_or(m_width);
    m_dragOrigin = origin;
    double translation = x - *m_pressX;
    if (m_side == WorkspacePanelSide::right) {
        translation = -translation;
    }
    if (m_actions.onResize) {
        m_actions.onResize(origin + translation);
    }
}

void WorkspacePanelDivider::endDrag()
{
    m_pressX.reset();
    m_dragOrigin.reset();
    setCursor(Qt::ArrowCursor);
}

QStringList WorkspacePanelDivider::menuTexts() const
{
    const QString name = displayName(m_side);
    return { m_isLocked ? u"Unlock Width and Visibility"_s : u"Lock Width and Visibility"_s,
        u"Collapse "_s + name, QString(), u"Disable "_s + name };
}

void WorkspacePanelDivider::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const bool highlighted = m_isHovering && !m_isLocked;
    const double lineWidth = highlighted ? 2 : 1;
    const QColor color = highlighted ? eonWithOpacity(eonAccent(), 0.52) : eonHairline();
    // The line stops at the collapse tab rather than running through it.
    const double x = (width() - lineWidth) / 2;
    painter.fillRect(QRectF(x, 0, lineWidth, buttonTop - 2), color);
    const double below = buttonTop + buttonSize.height() + 2;
    painter.fillRect(QRectF(x, below, lineWidth, height() - below), color);
}

void WorkspacePanelDivider::resizeEvent(QResizeEvent*)
{
    placeCollapseButton();
}

void WorkspacePanelDivider::enterEvent(QEnterEvent*)
{
    m_isHovering = true;
    updateLook();
}

void WorkspacePanelDivider::leaveEvent(QEvent*)
{
    m_isHovering = false;
    updateLook();
}

void WorkspacePanelDivider::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        // Window coordinates: the strip itself moves while the panel resizes.
        beginDrag(event->scenePosition().x());
    }
}

void WorkspacePanelDivider::mouseMoveEvent(QMouseEvent* event)
{
    if ((event->buttons() & Qt::LeftButton) && m_pressX
        && (m_dragOrigin || std::abs(event->scenePosition().x() - *m_pressX) >= 1)) {
        dragTo(event->scenePosition().x());
    }
}

void WorkspacePanelDivider::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        endDrag();
    }
}

void WorkspacePanelDivider::contextMenuEvent(QContextMenuEvent* event)
{
    const QStringList texts = menuTexts();
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    const auto run = [](const std::function<void()>& action) {
        return [action] {
            if (action) {
                action();
            }
        };
    };
    menu->addAction(texts[0], this, run(m_actions.onToggleLock));
    menu->addAction(texts[1], this, run(m_actions.onCollapse))->setEnabled(!m_isLocked);
    menu->addSeparator();
    menu->addAction(texts[3], this, run(m_actions.onDisable))
        ->setProperty(EonStyle::destructiveProperty, true);
    menu->popup(event->globalPos());
}

} // namespace kivo
