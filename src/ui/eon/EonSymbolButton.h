#pragma once

#include "ui/eon/EonPressButtonStyle.h"

#include <QColor>
#include <QString>

namespace kivo {

// A borderless button whose label is one symbol, under the press feedback.
// Subclasses may draw a background shape behind it.
class EonSymbolButton : public EonPressButton {
    Q_OBJECT
    Q_PROPERTY(QString symbolName READ symbolName WRITE setSymbolName)
public:
    // `textSize`: the size of the text font the design sets the symbol in.
    EonSymbolButton(
        const QString& symbolName, double textSize, const QColor& color, QWidget* parent = nullptr);

    const QString& symbolName() const { return m_symbolName; }
    void setSymbolName(const QString& name);
    void setColor(const QColor& color);

protected:
    virtual void paintBackground(QPainter&, const QRectF&) { }
    void paintLabel(QPainter& painter, const QRectF& bounds) override;

private:
    QString m_symbolName;
    double m_size;
    QColor m_color;
};

} // namespace kivo
