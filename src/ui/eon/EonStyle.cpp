#include "ui/eon/EonStyle.h"

#include "ui/eon/EonControlKeys.h"
#include "ui/eon/EonPalette.h"
#include "ui/eon/EonStyleCommon.h"
#include "ui/eon/EonStyleControls.h"
#include "ui/eon/EonStyleHeaders.h"
#include "ui/eon/EonStyleMenus.h"
#include "ui/eon/EonStyleSliders.h"
#include "ui/eon/Symbols.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QIcon>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QStyleFactory>
#include <QStyleOption>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

using namespace eonstyle;

EonStyle::EonStyle()
    : QProxyStyle(QStyleFactory::create(u"Fusion"_s))
    , m_controlKeys(new EonControlKeys(this))
{
}

void EonStyle::polish(QWidget* widget)
{
    QProxyStyle::polish(widget);
    if (qobject_cast<QMenu*>(widget)) {
        widget->setAttribute(Qt::WA_TranslucentBackground);
    }
    // A tooltip is polished before it first sizes itself: rounded like the
    // menus (translucent corners) and padded like their items.
    if (widget->inherits("QTipLabel")) {
        widget->setAttribute(Qt::WA_TranslucentBackground);
        widget->setContentsMargins(toolTipExtraHorizontalInset, 0, toolTipExtraHorizontalInset, 0);
    }
    // A picker's open list is a menu in all but name: the menus' rounded
    // raised panel (painted by the container), the list clear over it.
    if (isPickerList(widget)) {
        widget->setAttribute(Qt::WA_TranslucentBackground);
        // The rows fill with these before their text: clear, or they would
        // cover the panel's edge at the sides.
        QPalette palette = widget->palette();
        palette.setColor(QPalette::Base, Qt::transparent);
        palette.setColor(QPalette::Window, Qt::transparent);
        widget->setPalette(palette);
        // The list's own palette, set by the picker, would win otherwise.
        for (auto* list : widget->findChildren<QAbstractItemView*>()) {
            list->setFrameShape(QFrame::NoFrame);
            list->setPalette(palette);
            list->viewport()->setPalette(palette);
            list->viewport()->setAutoFillBackground(false);
        }
    }
}

void EonStyle::polish(QApplication* application)
{
    QProxyStyle::polish(application);
    application->installEventFilter(this);
    application->installEventFilter(m_controlKeys);
}

void EonStyle::unpolish(QApplication* application)
{
    application->removeEventFilter(m_controlKeys);
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
    case PM_ToolTipLabelFrameWidth:
        return toolTipFrameWidth;
    case PM_FocusFrameHMargin:
        // Qt adds one to this for an item's text margin.
        if (isFileChooserList(widget)) {
            return fileChooserTextInset - 1;
        }
        return QProxyStyle::pixelMetric(metric, option, widget);
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
    // A picker's list draws its own rounded edge (paintMenuPanel).
    if (hint == SH_ComboBox_PopupFrameStyle) {
        return QFrame::NoFrame;
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
        case SP_ComputerIcon:
            return u"desktopcomputer"_s;
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
    case PE_PanelTipLabel:
        paintToolTipPanel(painter, option);
        return;
    case PE_IndicatorHeaderArrow:
        if (const auto* header = qstyleoption_cast<const QStyleOptionHeader*>(option)) {
            paintHeaderArrow(painter, header);
            return;
        }
        break;
    case PE_IndicatorCheckBox:
    case PE_IndicatorItemViewItemCheck:
        paintCheckIndicator(painter, option, widget);
        return;
    case PE_FrameFocusRect:
        if (option->state & State_KeyboardFocusChange) {
            // A push button drawn by a style sheet asks for a ring round its
            // label; it goes round the button, as on the ones drawn here.
            if (qobject_cast<const QPushButton*>(widget)) {
                paintFocusRing(painter, widget->rect(), buttonFocusRingRadius);
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
                paintMenuSelection(painter, QRectF(item->rect).adjusted(1, 2, -1, -2));
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
                paintMenuSeparator(painter, item->rect);
                return;
            }
            QStyleOptionMenuItem copy = *item;
            if ((item->state & State_Selected) && isEnabled(item)) {
                // A menu insets its items itself; a picker's list spans its rows
                // edge to edge, so its wash keeps the menus' margin.
                const double inset
                    = qobject_cast<const QComboBox*>(widget) ? pixelMetric(PM_MenuHMargin) : 0;
                paintMenuSelection(painter, QRectF(item->rect).adjusted(inset, 0.5, -inset, -0.5));
                copy.state &= ~State_Selected;
            }
            if (isDestructive(menuActionAt(widget, item->rect)) && isEnabled(item)) {
                for (const auto role : { QPalette::Text, QPalette::WindowText, QPalette::ButtonText,
                         QPalette::HighlightedText }) {
                    copy.palette.setColor(role, eonDestructive());
                }
                if (!copy.icon.isNull()) {
                    copy.icon = destructiveIcon(copy.icon);
                }
            }
            QProxyStyle::drawControl(element, &copy, painter, widget);
            return;
        }
        break;
    case CE_HeaderSection:
        if (const auto* header = qstyleoption_cast<const QStyleOptionHeader*>(option)) {
            paintHeaderSection(painter, header);
            return;
        }
        break;
    case CE_HeaderLabel:
        if (const auto* header = qstyleoption_cast<const QStyleOptionHeader*>(option)) {
            QStyleOptionHeader copy = *header;
            copy.palette.setColor(
                QPalette::ButtonText, isSortedHeader(header) ? eonAccent() : eonTextTertiary());
            alignHeaderTitleWithValues(copy, widget);
            QProxyStyle::drawControl(element, &copy, painter, widget);
            return;
        }
        break;
    case CE_Splitter:
        paintSplitterHandle(painter, option);
        return;
    case CE_PushButtonLabel:
        if (const auto* button = qstyleoption_cast<const QStyleOptionButton*>(option)) {
            QStyleOptionButton copy = *button;
            copy.palette.setColor(QPalette::ButtonText, pushLabelColour(button, widget));
            painter->save();
            if (!isEnabled(button)) {
                painter->setOpacity(disabledOpacity);
            }
            QProxyStyle::drawControl(element, &copy, painter, widget);
            painter->restore();
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
    case QEvent::FocusIn:
        // A dialog that shows sends its focus child a Tab-reason FocusIn of
        // its own before the window has the focus at all: that is no key.
        if (watched->isWidgetType() && watched == QApplication::focusWidget()) {
            noteFocusReason(static_cast<QWidget*>(watched)->window(),
                static_cast<QFocusEvent*>(event)->reason());
        }
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        // Back to the mouse: the ring goes until the keyboard moves the focus again.
        if (watched->isWidgetType()) {
            noteFocusReason(static_cast<QWidget*>(watched)->window(), Qt::MouseFocusReason);
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

void EonStyle::noteFocusReason(QWidget* window, Qt::FocusReason reason)
{
    // Qt marks a window once the keyboard moves its focus and never unmarks
    // it; here a click does. Other reasons (a window coming back, a popup
    // closing, a view moving the focus itself) leave the mark as it was.
    bool fromKeyboard = false;
    switch (reason) {
    case Qt::TabFocusReason:
    case Qt::BacktabFocusReason:
    case Qt::ShortcutFocusReason:
        fromKeyboard = true;
        break;
    case Qt::MouseFocusReason:
        fromKeyboard = false;
        break;
    default:
        return;
    }
    if (window->testAttribute(Qt::WA_KeyboardFocusChange) == fromKeyboard) {
        return;
    }
    window->setAttribute(Qt::WA_KeyboardFocusChange, fromKeyboard);
    // Rings are drawn by the focused control and by overlays beside it.
    window->update();
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
