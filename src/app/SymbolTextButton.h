#pragma once

#include "ui/eon/EonPressButtonStyle.h"

#include <QColor>
#include <QFont>
#include <QString>

namespace kivo {

// A button whose label is a symbol followed by a text, under the press
// feedback: plain (no background), prominent (filled with the tint, dark
// label) or bordered (the tint on a faint wash of itself).
class SymbolTextButton : public EonPressButton {
    Q_OBJECT
    Q_PROPERTY(QString symbolName READ symbolName CONSTANT)
public:
    enum class Style { plain, prominent, bordered };

    SymbolTextButton(const QString& symbolName, const QString& text, double textSize, Style style,
        const QColor& tint, QWidget* parent = nullptr);

    const QString& symbolName() const { return m_symbol; }
    QString text() const { return m_text; }
    // Prominent and bordered buttons are at least this wide.
    void setMinimumButtonWidth(int width);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintLabel(QPainter& painter, const QRectF& bounds) override;
    void changeEvent(QEvent* event) override;

private:
    static constexpr int gap = 6;
    QString m_symbol;
    QString m_text;
    QFont m_font;
    double m_symbolSize;
    Style m_style;
    QColor m_tint;
    int m_minimumWidth = 0;
};

} // namespace kivo
