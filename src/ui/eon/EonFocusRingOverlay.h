#pragma once

#include "ui/eon/EonMetrics.h"

#include <QWidget>

namespace kivo {

// The focus ring round the whole of a widget that scrolls its content (a
// table, a scroll area): a child on top of it that follows its size and
// stays put while the content scrolls under it, shown while the widget has
// the keyboard's focus. Clicks pass through.
class EonFocusRingOverlay : public QWidget {
    Q_OBJECT
public:
    explicit EonFocusRingOverlay(QWidget* owner, double radius = eon::controlCornerRadius);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QWidget& m_owner;
    double m_radius;
};

} // namespace kivo
