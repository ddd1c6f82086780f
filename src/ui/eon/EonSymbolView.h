#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

namespace kivo {

// One symbol drawn in a fixed colour, as a label would show it.
class EonSymbolView : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString symbolName READ symbolName WRITE setSymbolName)
public:
    // `textSize`: the size of the text font the design sets the symbol in.
    EonSymbolView(
        const QString& symbolName, double textSize, const QColor& color, QWidget* parent = nullptr);

    const QString& symbolName() const { return m_symbolName; }
    void setSymbolName(const QString& name);
    void setColor(const QColor& color);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_symbolName;
    double m_size;
    QColor m_color;
};

} // namespace kivo
