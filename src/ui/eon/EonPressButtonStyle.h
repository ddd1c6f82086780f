#pragma once

#include <QAbstractButton>
#include <QVariantAnimation>

class QPainter;

namespace kivo {

// The press feedback shared by every Eon button: while pressed the label
// shrinks about its centre to 0.92 and dims to 0.78, easing out over 0.1 s;
// while disabled it is drawn dimmed.
struct EonPressButtonStyle {
    static constexpr double pressedScale = 0.92;
    static constexpr double pressedOpacity = 0.78;
    static constexpr int durationMs = 100;
    // A disabled button draws its whole label at this opacity.
    static constexpr double disabledOpacity = 0.35;

    // `progress` runs from 0 (released) to 1 (pressed).
    static double scale(double progress) { return 1.0 + (pressedScale - 1.0) * progress; }
    static double opacity(double progress) { return 1.0 + (pressedOpacity - 1.0) * progress; }
    // Scales `painter` about the centre of `bounds` and sets its opacity.
    static void apply(QPainter& painter, const QRectF& bounds, double progress);
};

// A button drawn entirely by its subclass, under the press feedback. Hover is
// tracked for subclasses that change their look under the pointer.
class EonPressButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit EonPressButton(QWidget* parent = nullptr);

    // 0 released ... 1 pressed; follows the pressed state with the animation.
    double pressProgress() const { return m_pressProgress; }
    bool isHovering() const { return m_hovering; }

protected:
    // Draws the label; the painter is already scaled and dimmed.
    virtual void paintLabel(QPainter& painter, const QRectF& bounds) = 0;
    // Draws the label under the press feedback for `progress`; a button with
    // a feedback of its own draws it here and sets its animation below.
    virtual void paintPressed(QPainter& painter, const QRectF& bounds, double progress);
    void setPressAnimation(int durationMs, const QEasingCurve& curve);

    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void animatePress(bool down);

    QVariantAnimation m_animation;
    double m_pressProgress = 0;
    bool m_hovering = false;
};

} // namespace kivo
