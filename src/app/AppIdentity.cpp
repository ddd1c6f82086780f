#include "app/AppIdentity.h"

#include <QIconEngine>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>
#include <algorithm>
#include <cmath>
#include <iterator>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

namespace {

QSvgRenderer& iconImage()
{
    static QSvgRenderer renderer(u":/icons/app.svg"_s); // lives as long as the program
    return renderer;
}

// The small sizes have drawings of their own on their pixel grid: the
// scalable image shrunk that far blurs its ring and loses its tile.
constexpr int smallSizes[] = { 16, 24, 32, 48 };

QSvgRenderer& smallIconImage(int size)
{
    static QSvgRenderer renderers[]
        = { QSvgRenderer(u":/icons/app-16.svg"_s), QSvgRenderer(u":/icons/app-24.svg"_s),
              QSvgRenderer(u":/icons/app-32.svg"_s), QSvgRenderer(u":/icons/app-48.svg"_s) };
    for (int i = 0; i < int(std::size(smallSizes)); ++i) {
        if (size <= smallSizes[i]) {
            return renderers[i];
        }
    }
    return iconImage();
}

// Draws the image afresh at whatever size a window, a panel or the About
// window asks for, so that no size is a scaled copy of another.
class AppIconEngine final : public QIconEngine {
public:
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode, QIcon::State) override
    {
        paintAppIcon(*painter, rect);
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        QImage image(size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        paint(&painter, image.rect(), mode, state);
        painter.end();
        return QPixmap::fromImage(image);
    }

    // What a window hands to the window system: the usual icon sizes.
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override
    {
        return { { 16, 16 }, { 24, 24 }, { 32, 32 }, { 48, 48 }, { 64, 64 }, { 128, 128 },
            { 256, 256 } };
    }

    QIconEngine* clone() const override { return new AppIconEngine; }
    QString key() const override { return u"KivoAppIcon"_s; }
};

} // namespace

QString appId()
{
    return QStringLiteral(KIVO_APP_ID);
}

QIcon appIcon()
{
    return QIcon(new AppIconEngine);
}

void paintAppIcon(QPainter& painter, const QRectF& target)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    // On a high-density screen a small target holds more pixels.
    const double pixels = std::min(target.width(), target.height())
        * (painter.device() ? painter.device()->devicePixelRatioF() : 1.0);
    smallIconImage(int(std::ceil(pixels - 0.01))).render(&painter, target);
    painter.restore();
}

} // namespace kivo
