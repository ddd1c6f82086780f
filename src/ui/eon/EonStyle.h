#pragma once

#include <QProxyStyle>

namespace kivo {

class EonControlKeys;

// The look of every stock control in the program, over Fusion: rounded menus
// with a visible edge and separators, thin scroll bars without arrows, round
// accent slider handles, ticked checkboxes, pickers with a chevron and a
// menu-like list, dark item-view headers and hairline splitters, Eon push
// buttons, accent focus frames (only while the focus came from the keyboard),
// dimmed disabled controls, and mnemonic underlines only while Alt is held.
// Views never style these by hand.
class EonStyle : public QProxyStyle {
    Q_OBJECT
public:
    // A QAction (menu item) or QPushButton with this property set to true
    // shows in the destructive colour.
    static constexpr const char* destructiveProperty = "isDestructive";
    // A QPushButton with this property set to true fills with the accent like
    // a default button without being one (sheets take Return themselves).
    static constexpr const char* prominentProperty = "isProminent";

    static constexpr int scrollBarExtent = 10;
    static constexpr int scrollBarMinimumThumb = 24;
    static constexpr int sliderHandleSize = 12;
    static constexpr int sliderGrooveThickness = 4;
    static constexpr int indicatorSize = 14;
    static constexpr double menuCornerRadius = 8;
    static constexpr int pushButtonPadding = 14;
    static constexpr int pushButtonMinimumHeight = 28;

    EonStyle();

    bool showsMnemonics() const { return m_altHeld; }

    void polish(QWidget* widget) override;
    void polish(QApplication* application) override;
    void unpolish(QApplication* application) override;
    using QProxyStyle::polish;
    using QProxyStyle::unpolish;

    int pixelMetric(PixelMetric metric, const QStyleOption* option = nullptr,
        const QWidget* widget = nullptr) const override;
    int styleHint(StyleHint hint, const QStyleOption* option = nullptr,
        const QWidget* widget = nullptr, QStyleHintReturn* returnData = nullptr) const override;
    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& contents,
        const QWidget* widget = nullptr) const override;
    QIcon standardIcon(StandardPixmap icon, const QStyleOption* option = nullptr,
        const QWidget* widget = nullptr) const override;
    QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option,
        SubControl subControl, const QWidget* widget = nullptr) const override;
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
        const QWidget* widget = nullptr) const override;
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
        const QWidget* widget = nullptr) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
        QPainter* painter, const QWidget* widget = nullptr) const override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setAltHeld(bool held);
    void noteFocusReason(QWidget* window, Qt::FocusReason reason);

    bool m_altHeld = false;
    // The keys focused controls take first; it comes with the look so that
    // every window drawn in it behaves alike.
    EonControlKeys* m_controlKeys;
};

} // namespace kivo
