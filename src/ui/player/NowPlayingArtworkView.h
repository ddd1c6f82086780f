#pragma once

#include <QImage>
#include <QString>
#include <QWidget>

namespace kivo {

// A song's artwork as a rounded, outlined square that fills it (cropped, never
// letterboxed), or a placeholder ring with a note when there is none. The
// square takes the widget's width or height, whichever is smaller, centred.
class NowPlayingArtworkView : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString symbolName READ symbolName)
public:
    explicit NowPlayingArtworkView(QWidget* parent = nullptr);

    void setImage(const QImage& image);
    const QImage& image() const { return m_image; }
    // The placeholder's symbol, empty while artwork is shown.
    QString symbolName() const;
    // The square drawn, in widget coordinates.
    QRectF square() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void paintPlaceholder(QPainter& painter, const QRectF& square) const;

    QImage m_image;
};

} // namespace kivo
