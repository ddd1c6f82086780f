#pragma once

#include "ui/eon/EonPressButtonStyle.h"

#include <QColor>
#include <QVariantAnimation>

namespace kivo {

// The window's info button: "info.circle" on a 26 by 26 tile that lights up
// under the pointer. Clicking it opens the About window.
class AboutToolbarButton : public EonPressButton {
    Q_OBJECT
    Q_PROPERTY(QString symbolName READ symbolName CONSTANT)
public:
    struct Look {
        QColor symbol;
        QColor fill; // transparent when not hovered
        bool operator==(const Look&) const = default;
    };

    explicit AboutToolbarButton(QWidget* parent = nullptr);

    QString symbolName() const;
    // Where the colours are heading for the pointer's state.
    static Look lookFor(bool isHovering);
    Look look() const { return lookFor(isHovering()); }

    QSize sizeHint() const override { return { 26, 26 }; }

protected:
    void paintLabel(QPainter& painter, const QRectF& bounds) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void animateHover();

    QVariantAnimation m_hover;
    double m_hoverProgress = 0;
};

} // namespace kivo
