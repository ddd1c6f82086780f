#include "ui/eon/EonStyleControls.h"

#include "ui/eon/EonPalette.h"
#include "ui/eon/EonStyle.h"
#include "ui/eon/EonStyleCommon.h"
#include "ui/eon/Symbols.h"

#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QStyleOption>

using namespace Qt::Literals::StringLiterals;

namespace kivo::eonstyle {

namespace {

bool isProminent(const QStyleOptionButton* button, const QObject* widget)
{
    return (button->features & QStyleOptionButton::DefaultButton)
        || (widget && widget->property(EonStyle::prominentProperty).toBool());
}

void paintTick(QPainter* painter, const QRectF& box, const QColor& colour, double width)
{
    QPainterPath tick;
    tick.moveTo(box.left() + box.width() * 0.24, box.top() + box.height() * 0.53);
    tick.lineTo(box.left() + box.width() * 0.42, box.top() + box.height() * 0.71);
    tick.lineTo(box.left() + box.width() * 0.77, box.top() + box.height() * 0.31);
    painter->setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter->setBrush(Qt::NoBrush);
    painter->drawPath(tick);
}

} // namespace

void paintCheckIndicator(QPainter* painter, const QStyleOption* option, const QWidget* widget)
{
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    const double side = std::min({ double(EonStyle::indicatorSize), double(option->rect.width()),
        double(option->rect.height()) });
    QRectF box(0, 0, side, side);
    box.moveCenter(QRectF(option->rect).center());
    const bool on = option->state & QStyle::State_On;
    const bool partial = option->state & QStyle::State_NoChange;
    // In a menu the box would crowd the text: only the tick shows.
    if (qobject_cast<const QMenu*>(widget)) {
        if (on) {
            paintTick(painter, box, option->palette.color(QPalette::Text), 1.6);
        }
        painter->restore();
        return;
    }
    if (!isEnabled(option)) {
        painter->setOpacity(disabledOpacity);
    }
    box.adjust(0.5, 0.5, -0.5, -0.5);
    if (on || partial) {
        painter->setPen(Qt::NoPen);
        painter->setBrush(eonAccent());
    } else {
        const bool hot = (option->state & QStyle::State_MouseOver) && isEnabled(option);
        painter->setPen(QPen(hot ? eonWithOpacity(eonAccent(), 0.7) : eonTextTertiary(), 1));
        painter->setBrush(eonWithOpacity(Qt::white, 0.06));
    }
    painter->drawRoundedRect(box, eon::checkboxCornerRadius, eon::checkboxCornerRadius);
    if (on) {
        paintTick(painter, box, eonCanvas(), 1.8);
    } else if (partial) {
        painter->setPen(QPen(eonCanvas(), 1.8, Qt::SolidLine, Qt::RoundCap));
        painter->drawLine(QPointF(box.left() + box.width() * 0.28, box.center().y()),
            QPointF(box.right() - box.width() * 0.28, box.center().y()));
    }
    painter->restore();
}

void paintPushPanel(QPainter* painter, const QStyleOptionButton* button, const QWidget* widget)
{
    const bool sunken = button->state & (QStyle::State_Sunken | QStyle::State_On);
    if ((button->features & QStyleOptionButton::Flat) && !sunken) {
        return;
    }
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    if (!isEnabled(button)) {
        painter->setOpacity(disabledOpacity);
    }
    // A destructive button is filled only when it is the default; beside a
    // default Cancel it is a plain button with a red label, and recedes.
    const bool prominent = isProminent(button, widget);
    const bool destructive = isDestructive(widget);
    QColor fill = destructive && prominent ? eonDestructiveFill()
        : prominent                        ? eonAccent()
                                           : eonSurfaceRaised();
    if (!prominent && (button->state & QStyle::State_MouseOver)) {
        fill = fill.lighter(130);
    }
    if (sunken) {
        fill = fill.darker(125);
    }
    const QRectF panel = QRectF(button->rect).adjusted(1, 1, -1, -1);
    painter->setPen(prominent ? QPen(Qt::NoPen) : QPen(menuEdge(), 1));
    painter->setBrush(fill);
    painter->drawRoundedRect(
        panel.adjusted(0.5, 0.5, -0.5, -0.5), buttonCornerRadius, buttonCornerRadius);
    painter->restore();
    if (showsKeyboardFocus(button)) {
        paintFocusRing(painter, button->rect, buttonFocusRingRadius);
    }
}

QColor pushLabelColour(const QStyleOptionButton* button, const QWidget* widget)
{
    if (isDestructive(widget)) {
        return isProminent(button, widget) ? eonDestructiveLabel() : eonDestructive();
    }
    if (isProminent(button, widget)) {
        return eonCanvas();
    }
    return button->palette.color(QPalette::Active, QPalette::ButtonText);
}

void paintPicker(QPainter* painter, const QStyleOptionComboBox* combo, const QRect& arrow)
{
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    if (!isEnabled(combo)) {
        painter->setOpacity(disabledOpacity);
    }
    const bool hot = (combo->state & QStyle::State_MouseOver) && isEnabled(combo);
    const QRectF frame = QRectF(combo->rect).adjusted(0.5, 0.5, -0.5, -0.5);
    painter->setPen(QPen(eonHairline(), 1));
    painter->setBrush(eonWithOpacity(Qt::white, hot ? 0.085 : 0.055));
    painter->drawRoundedRect(frame, buttonCornerRadius, buttonCornerRadius);
    Symbols::paint(*painter, arrow, u"chevron.down"_s, eonTextSecondary(), 11);
    painter->restore();
    if (showsKeyboardFocus(combo)) {
        paintFocusRing(painter, combo->rect, buttonFocusRingRadius);
    }
}

} // namespace kivo::eonstyle
