#include "ui/eon/EonStyle.h"

#include "ui/eon/EonPalette.h"
#include "ui/eon/Symbols.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QStyleFactory>
#include <QStyleOption>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

namespace {

constexpr double disabledOpacity = 0.4;
constexpr double buttonCornerRadius = 6;

bool isEnabled(const QStyleOption* option)
{
    return option->state & QStyle::State_Enabled;
}

bool showsKeyboardFocus(const QStyleOption* option)
{
    return (option->state & QStyle::State_HasFocus)
        && (option->state & QStyle::State_KeyboardFocusChange);
}

QColor menuEdge()
{
    return eonWithOpacity(eonTextPrimary(), 0.16);
}

QColor separatorColour()
{
    return eonWithOpacity(eonTextPrimary(), 0.14);
}

// The action a menu draws in `rect`, if the widget is a menu.
const QAction* menuActionAt(const QWidget* widget, const QRect& rect)
{
    const auto* menu = qobject_cast<const QMenu*>(widget);
    return menu ? menu->actionAt(rect.center()) : nullptr;
}

bool isDestructive(const QObject* object)
{
    return object && object->property(EonStyle::destructiveProperty).toBool();
}

bool isProminent(const QStyleOptionButton* button, const QObject* widget)
{
    return (button->features & QStyleOptionButton::DefaultButton)
        || (widget && widget->property(EonStyle::prominentProperty).toBool());
}

void paintFocusRing(QPainter* painter, const QRectF& rect, double radius)
{
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(QPen(eonAccent(), 1.5));
    painter->setBrush(Qt::NoBrush);
    painter->drawRoundedRect(rect.adjusted(0.75, 0.75, -0.75, -0.75), radius, radius);
    painter->restore();
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
        painter->drawRoundedRect(box, 3.5, 3.5);
        if (on) {
            paintTick(painter, box, eonCanvas(), 1.8);
        } else {
            painter->setPen(QPen(eonCanvas(), 1.8, Qt::SolidLine, Qt::RoundCap));
            painter->drawLine(QPointF(box.left() + box.width() * 0.28, box.center().y()),
                QPointF(box.right() - box.width() * 0.28, box.center().y()));
        }
    } else {
        const bool hot = (option->state & QStyle::State_MouseOver) && isEnabled(option);
        painter->setPen(QPen(hot ? eonWithOpacity(eonAccent(), 0.7) : eonTextTertiary(), 1));
        painter->setBrush(eonWithOpacity(Qt::white, 0.06));
        painter->drawRoundedRect(box, 3.5, 3.5);
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
    const bool destructive = isDestructive(widget);
    const bool prominent = destructive || isProminent(button, widget);
    QColor fill = destructive ? eonDestructive() : prominent ? eonAccent() : eonSurfaceRaised();
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
        paintFocusRing(painter, button->rect, buttonCornerRadius + 1);
    }
}

// The ink of a push button's label: dark on the accent, light on the red.
QColor pushLabelColour(const QStyleOptionButton* button, const QWidget* widget)
{
    if (isDestructive(widget)) {
        return Qt::white;
    }
    if (isProminent(button, widget)) {
        return eonCanvas();
    }
    return button->palette.color(QPalette::Active, QPalette::ButtonText);
}

QRect scrollBarPart(const QStyleOptionSlider* bar, QStyle::SubControl part)
{
    const QRect& r = bar->rect;
    const bool horizontal = bar->orientation == Qt::Horizontal;
    const int length = horizontal ? r.width() : r.height();
    int thumb = length;
    if (bar->maximum != bar->minimum) {
        const qint64 range = qint64(bar->maximum) - bar->minimum;
        thumb = int(qint64(bar->pageStep) * length / (range + bar->pageStep));
        thumb = std::clamp(thumb, std::min(EonStyle::scrollBarMinimumThumb, length), length);
    }
    const int start = QStyle::sliderPositionFromValue(
        bar->minimum, bar->maximum, bar->sliderPosition, length - thumb, bar->upsideDown);
    const auto span = [&](int from, int size) {
        return horizontal ? QRect(r.x() + from, r.y(), size, r.height())
                          : QRect(r.x(), r.y() + from, r.width(), size);
    };
    switch (part) {
    case QStyle::SC_ScrollBarGroove:
        return r;
    case QStyle::SC_ScrollBarSlider:
        return span(start, thumb);
    case QStyle::SC_ScrollBarSubPage:
        return span(0, start);
    case QStyle::SC_ScrollBarAddPage:
        return span(start + thumb, length - start - thumb);
    default:
        // No arrow buttons.
        return {};
    }
}

void paintScrollBar(QPainter* painter, const QStyleOptionSlider* bar)
{
    // Nothing to scroll: nothing to show.
    if (bar->minimum == bar->maximum) {
        return;
    }
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    QRectF thumb = scrollBarPart(bar, QStyle::SC_ScrollBarSlider);
    const double inset = 2.5;
    thumb = bar->orientation == Qt::Horizontal ? thumb.adjusted(1, inset, -1, -inset)
                                               : thumb.adjusted(inset, 1, -inset, -1);
    const bool hot = (bar->activeSubControls & QStyle::SC_ScrollBarSlider)
        && (bar->state & (QStyle::State_MouseOver | QStyle::State_Sunken));
    double opacity = hot ? 0.9 : 0.6;
    if (!isEnabled(bar)) {
        opacity *= disabledOpacity;
    }
    const double radius = std::min(thumb.width(), thumb.height()) / 2;
    painter->setPen(Qt::NoPen);
    painter->setBrush(eonWithOpacity(eonTextTertiary(), opacity));
    painter->drawRoundedRect(thumb, radius, radius);
    painter->restore();
}

QRect sliderPart(const QStyleOptionSlider* slider, QStyle::SubControl part)
{
    const QRect& r = slider->rect;
    if (part != QStyle::SC_SliderHandle) {
        return r;
    }
    const int side = EonStyle::sliderHandleSize;
    const bool horizontal = slider->orientation == Qt::Horizontal;
    const int travel = std::max(0, (horizontal ? r.width() : r.height()) - side);
    const int position = QStyle::sliderPositionFromValue(slider->minimum, slider->maximum,
        slider->sliderPosition, travel, horizontal ? slider->upsideDown : !slider->upsideDown);
    return horizontal
        ? QRect(r.x() + position, r.center().y() - side / 2 + 1 - side % 2, side, side)
        : QRect(r.center().x() - side / 2 + 1 - side % 2, r.y() + position, side, side);
}

void paintSlider(QPainter* painter, const QStyleOptionSlider* slider)
{
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    if (!isEnabled(slider)) {
        painter->setOpacity(disabledOpacity);
    }
    const QRectF handle = sliderPart(slider, QStyle::SC_SliderHandle);
    const QRectF r = slider->rect;
    const bool horizontal = slider->orientation == Qt::Horizontal;
    const double thickness = EonStyle::sliderGrooveThickness;
    const double half = EonStyle::sliderHandleSize / 2.0;
    const QRectF groove = horizontal ? QRectF(r.left() + half, handle.center().y() - thickness / 2,
                              r.width() - 2 * half, thickness)
                                     : QRectF(handle.center().x() - thickness / 2, r.top() + half,
                                         thickness, r.height() - 2 * half);
    painter->setPen(Qt::NoPen);
    painter->setBrush(eonWithOpacity(eonTextTertiary(), 0.35));
    painter->drawRoundedRect(groove, thickness / 2, thickness / 2);
    // The filled part runs from the minimum to the handle.
    QRectF filled = groove;
    if (horizontal) {
        if (slider->upsideDown) {
            filled.setLeft(handle.center().x());
        } else {
            filled.setRight(handle.center().x());
        }
    } else if (slider->upsideDown) {
        filled.setBottom(handle.center().y());
    } else {
        filled.setTop(handle.center().y());
    }
    painter->setBrush(eonAccent());
    painter->drawRoundedRect(filled, thickness / 2, thickness / 2);
    painter->setBrush(eonAccentBright());
    painter->setPen(QPen(eonAccent(), 1));
    painter->drawEllipse(handle.adjusted(0.5, 0.5, -0.5, -0.5));
    painter->restore();
    if (showsKeyboardFocus(slider)) {
        paintFocusRing(painter, handle.adjusted(-3, -3, 3, 3), half + 3);
    }
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
        paintFocusRing(painter, combo->rect, buttonCornerRadius + 1);
    }
}

void paintMenuPanel(QPainter* painter, const QStyleOption* option, const QWidget* widget)
{
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    // Menus are translucent windows, so their corners can be round; other
    // popups (a picker's list) are square.
    const double radius = qobject_cast<const QMenu*>(widget) ? EonStyle::menuCornerRadius : 0;
    painter->setPen(QPen(menuEdge(), 1));
    painter->setBrush(eonSurfaceRaised());
    painter->drawRoundedRect(QRectF(option->rect).adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
    painter->restore();
}

} // namespace

EonStyle::EonStyle()
    : QProxyStyle(QStyleFactory::create(u"Fusion"_s))
{
}

void EonStyle::polish(QWidget* widget)
{
    QProxyStyle::polish(widget);
    if (qobject_cast<QMenu*>(widget)) {
        widget->setAttribute(Qt::WA_TranslucentBackground);
    }
    // A picker's open list is a menu in all but name: the menus' raised
    // surface rather than the near-black of text fields.
    if (widget->inherits("QComboBoxPrivateContainer")) {
        QPalette palette = widget->palette();
        palette.setColor(QPalette::Base, eonSurfaceRaised());
        palette.setColor(QPalette::Window, eonSurfaceRaised());
        widget->setPalette(palette);
        // The list's own palette, set by the picker, would win otherwise.
        for (auto* list : widget->findChildren<QAbstractItemView*>()) {
            list->setPalette(palette);
            list->viewport()->setPalette(palette);
        }
    }
}

void EonStyle::polish(QApplication* application)
{
    QProxyStyle::polish(application);
    application->installEventFilter(this);
}

void EonStyle::unpolish(QApplication* application)
{
    application->removeEventFilter(this);
    QProxyStyle::unpolish(application);
}

int EonStyle::pixelMetric(
    PixelMetric metric, const QStyleOption* option, const QWidget* widget) const
{
    switch (metric) {
    case PM_ScrollBarExtent:
        return scrollBarExtent;
    case PM_ScrollBarSliderMin:
        return scrollBarMinimumThumb;
    case PM_SliderLength:
    case PM_SliderControlThickness:
        return sliderHandleSize;
    case PM_SliderThickness:
        return sliderHandleSize + 4;
    case PM_IndicatorWidth:
    case PM_IndicatorHeight:
        return indicatorSize;
    case PM_MenuPanelWidth:
        return 1;
    case PM_MenuHMargin:
    case PM_MenuVMargin:
        return 4;
    default:
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
}

int EonStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
    QStyleHintReturn* returnData) const
{
    if (hint == SH_UnderlineShortcut) {
        return m_altHeld ? 1 : 0;
    }
    // The stock button icons (a red cross on Cancel) belong to another look.
    if (hint == SH_DialogButtonBox_ButtonsHaveIcons) {
        return 0;
    }
    return QProxyStyle::styleHint(hint, option, widget, returnData);
}

QSize EonStyle::sizeFromContents(ContentsType type, const QStyleOption* option,
    const QSize& contents, const QWidget* widget) const
{
    // Fusion gives a long label a few pixels of room; the text keeps clear
    // of the rounded edge.
    if (type == CT_PushButton && qstyleoption_cast<const QStyleOptionButton*>(option)) {
        return { contents.width() + 2 * pushButtonPadding,
            std::max(contents.height() + 8, pushButtonMinimumHeight) };
    }
    return QProxyStyle::sizeFromContents(type, option, contents, widget);
}

QIcon EonStyle::standardIcon(
    StandardPixmap icon, const QStyleOption* option, const QWidget* widget) const
{
    // The file chooser's tool buttons and list in Eon symbols rather than
    // Fusion's coloured pictures.
    const auto symbol = [icon]() -> QString {
        switch (icon) {
        case SP_ArrowBack:
            return u"chevron.left"_s;
        case SP_ArrowForward:
            return u"chevron.right"_s;
        case SP_FileDialogToParent:
            return u"chevron.up"_s;
        case SP_FileDialogNewFolder:
            return u"folder.badge.plus"_s;
        case SP_FileDialogListView:
            return u"square.grid.2x2"_s;
        case SP_FileDialogDetailedView:
            return u"list.bullet"_s;
        case SP_DirIcon:
        case SP_DirOpenIcon:
        case SP_DirClosedIcon:
        case SP_DirHomeIcon:
            return u"folder"_s;
        case SP_FileIcon:
            return u"doc"_s;
        default:
            return {};
        }
    }();
    if (symbol.isEmpty()) {
        return QProxyStyle::standardIcon(icon, option, widget);
    }
    QIcon result;
    for (const int side : { 16, 24, 32 }) {
        result.addPixmap(Symbols::pixmap(symbol, eonTextSecondary(), side * 0.8, side));
        result.addPixmap(Symbols::pixmap(symbol,
                             eonWithOpacity(eonTextSecondary(), disabledOpacity), side * 0.8, side),
            QIcon::Disabled);
    }
    return result;
}

QRect EonStyle::subControlRect(ComplexControl control, const QStyleOptionComplex* option,
    SubControl subControl, const QWidget* widget) const
{
    if (const auto* slider = qstyleoption_cast<const QStyleOptionSlider*>(option)) {
        if (control == CC_ScrollBar) {
            return visualRect(slider->direction, slider->rect, scrollBarPart(slider, subControl));
        }
        if (control == CC_Slider) {
            return visualRect(slider->direction, slider->rect, sliderPart(slider, subControl));
        }
    }
    return QProxyStyle::subControlRect(control, option, subControl, widget);
}

void EonStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
    QPainter* painter, const QWidget* widget) const
{
    switch (element) {
    case PE_PanelMenu:
        paintMenuPanel(painter, option, widget);
        return;
    case PE_FrameMenu:
        // The panel drew the edge with its rounded corners.
        return;
    case PE_IndicatorCheckBox:
    case PE_IndicatorItemViewItemCheck:
        paintCheckIndicator(painter, option, widget);
        return;
    case PE_FrameFocusRect:
        if (option->state & State_KeyboardFocusChange) {
            // A push button drawn by a style sheet asks for a ring round its
            // label; it goes round the button, as on the ones drawn here.
            if (qobject_cast<const QPushButton*>(widget)) {
                paintFocusRing(painter, widget->rect(), buttonCornerRadius + 1);
            } else {
                paintFocusRing(painter, option->rect, 4);
            }
        }
        return;
    case PE_PanelButtonCommand:
        if (const auto* button = qstyleoption_cast<const QStyleOptionButton*>(option)) {
            paintPushPanel(painter, button, widget);
            return;
        }
        break;
    default:
        break;
    }
    QProxyStyle::drawPrimitive(element, option, painter, widget);
}

void EonStyle::drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
    const QWidget* widget) const
{
    switch (element) {
    case CE_MenuEmptyArea:
        return;
    case CE_MenuBarItem:
        // Like a menu's own items: a rounded accent wash, never a solid block.
        if (const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option)) {
            painter->fillRect(item->rect, item->palette.window());
            if ((item->state & State_Selected) && (item->state & State_Sunken) && isEnabled(item)) {
                painter->save();
                painter->setRenderHint(QPainter::Antialiasing);
                painter->setPen(Qt::NoPen);
                painter->setBrush(eonWithOpacity(eonAccent(), 0.24));
                painter->drawRoundedRect(QRectF(item->rect).adjusted(1, 2, -1, -2), 5, 5);
                painter->restore();
            }
            int flags
                = Qt::AlignCenter | Qt::TextShowMnemonic | Qt::TextDontClip | Qt::TextSingleLine;
            if (!styleHint(SH_UnderlineShortcut, item, widget)) {
                flags |= Qt::TextHideMnemonic;
            }
            drawItemText(painter, item->rect, flags, item->palette, isEnabled(item), item->text,
                QPalette::ButtonText);
            return;
        }
        break;
    case CE_MenuItem:
        if (const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option)) {
            if (item->menuItemType == QStyleOptionMenuItem::Separator) {
                const QRectF line(
                    item->rect.left() + 8, item->rect.center().y(), item->rect.width() - 16, 1);
                painter->fillRect(line, separatorColour());
                return;
            }
            QStyleOptionMenuItem copy = *item;
            if ((item->state & State_Selected) && isEnabled(item)) {
                painter->save();
                painter->setRenderHint(QPainter::Antialiasing);
                painter->setPen(Qt::NoPen);
                painter->setBrush(eonWithOpacity(eonAccent(), 0.24));
                painter->drawRoundedRect(QRectF(item->rect).adjusted(0, 0.5, 0, -0.5), 5, 5);
                painter->restore();
                copy.state &= ~State_Selected;
            }
            if (isDestructive(menuActionAt(widget, item->rect)) && isEnabled(item)) {
                for (const auto role : { QPalette::Text, QPalette::WindowText, QPalette::ButtonText,
                         QPalette::HighlightedText }) {
                    copy.palette.setColor(role, eonDestructive());
                }
            }
            QProxyStyle::drawControl(element, &copy, painter, widget);
            return;
        }
        break;
    case CE_PushButtonLabel:
        if (const auto* button = qstyleoption_cast<const QStyleOptionButton*>(option)) {
            QStyleOptionButton copy = *button;
            copy.palette.setColor(QPalette::ButtonText, pushLabelColour(button, widget));
            if (!isEnabled(button)) {
                painter->save();
                painter->setOpacity(disabledOpacity);
                QProxyStyle::drawControl(element, &copy, painter, widget);
                painter->restore();
            } else {
                QProxyStyle::drawControl(element, &copy, painter, widget);
            }
            return;
        }
        break;
    default:
        break;
    }
    QProxyStyle::drawControl(element, option, painter, widget);
}

void EonStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
    QPainter* painter, const QWidget* widget) const
{
    if (control == CC_ScrollBar) {
        if (const auto* bar = qstyleoption_cast<const QStyleOptionSlider*>(option)) {
            paintScrollBar(painter, bar);
            return;
        }
    }
    if (control == CC_Slider) {
        if (const auto* slider = qstyleoption_cast<const QStyleOptionSlider*>(option)) {
            paintSlider(painter, slider);
            return;
        }
    }
    if (control == CC_ComboBox) {
        if (const auto* combo = qstyleoption_cast<const QStyleOptionComboBox*>(option);
            combo && !combo->editable) {
            paintPicker(
                painter, combo, subControlRect(CC_ComboBox, combo, SC_ComboBoxArrow, widget));
            return;
        }
    }
    QProxyStyle::drawComplexControl(control, option, painter, widget);
}

bool EonStyle::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Alt) {
            setAltHeld(event->type() == QEvent::KeyPress);
        }
        break;
    case QEvent::ApplicationDeactivate:
    case QEvent::WindowDeactivate:
        // The release would go to another window.
        setAltHeld(false);
        break;
    default:
        break;
    }
    return QProxyStyle::eventFilter(watched, event);
}

void EonStyle::setAltHeld(bool held)
{
    if (m_altHeld == held) {
        return;
    }
    m_altHeld = held;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible()) {
            window->update();
        }
    }
}

} // namespace kivo
