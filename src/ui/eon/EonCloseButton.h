#pragma once

#include "ui/eon/EonPressButtonStyle.h"

namespace kivo {

// A sheet's round close button: an "xmark" on a raised disc with a hairline
// edge. Sheets differ only in its size, the disc's opacity and the glyph's.
class EonCloseButton : public EonPressButton {
public:
    struct Look {
        int diameter;
        double discOpacity;
        double glyphTextSize;
    };
    // `label` names it for the tooltip and assistive technology.
    EonCloseButton(const Look& look, const QString& objectName, const QString& label,
        QWidget* parent = nullptr);

protected:
    void paintLabel(QPainter& painter, const QRectF& bounds) override;

private:
    Look m_look;
};

} // namespace kivo
