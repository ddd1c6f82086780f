#pragma once

#include "ui/eon/EonPalette.h"

#include <QWidget>

namespace kivo {

// A plain area filled with one of the palette's gradients: the background of
// a region whose own view draws on top of it.
class EonGradientPanel : public QWidget {
    Q_OBJECT
public:
    explicit EonGradientPanel(const EonGradient& gradient, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const EonGradient& m_gradient;
};

} // namespace kivo
