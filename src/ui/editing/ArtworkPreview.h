#pragma once

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QString>
#include <QWidget>
#include <optional>

namespace kivo {

// A square artwork tile: the image filling it (aspect kept, overflow cut),
// or a placeholder symbol when there are no bytes or they do not decode.
class ArtworkPreview : public QWidget {
    Q_OBJECT
public:
    ArtworkPreview(int side, double radius, QString placeholderSymbol, double symbolSize,
        double placeholderFill, QWidget* parent = nullptr);

    void setArtwork(const std::optional<QByteArray>& bytes);
    void setOutline(const QColor& color);
    bool showsImage() const { return !m_image.isNull(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    double m_radius;
    QString m_symbol;
    double m_symbolSize;
    double m_placeholderFill;
    QColor m_outline;
    QImage m_image;
};

} // namespace kivo
