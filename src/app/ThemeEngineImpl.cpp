#include "app/ThemeEngineImpl.h"

#include "model/Logging.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <QtConcurrent/QtConcurrentRun>
#include <algorithm>
#include <optional>
#include <qcoro/qcorofuture.h>

namespace kivo {

size_t qHash(const StudioColor& color, size_t seed) noexcept
{
    return qHashMulti(seed, color.r, color.g, color.b, color.alpha);
}

namespace {

// Exact mean of the premultiplied 8-bit channels over every pixel, rounded
// to the nearest byte. Colours are averaged as stored, without colour
// management, and transparent pixels count as black, as an area-average
// filter over premultiplied pixels does. Opacity itself is not returned.
struct AverageBytes {
    int r = 0;
    int g = 0;
    int b = 0;
};

// Nothing when the pixels cannot be had (conversion out of memory).
std::optional<AverageBytes> averagePremultiplied(const QImage& source)
{
    const auto readable = [](const QImage& image) {
        return image.format() == QImage::Format_RGB32
            || image.format() == QImage::Format_ARGB32_Premultiplied;
    };
    const QImage image
        = readable(source) ? source : source.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (image.isNull() || !readable(image)) {
        return std::nullopt;
    }
    quint64 sumR = 0;
    quint64 sumG = 0;
    quint64 sumB = 0;
    const int width = image.width();
    const int height = image.height();
    for (int y = 0; y < height; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < width; ++x) {
            sumR += qRed(line[x]);
            sumG += qGreen(line[x]);
            sumB += qBlue(line[x]);
        }
    }
    const quint64 count = quint64(width) * quint64(height);
    const auto mean = [count](quint64 sum) { return int((sum + count / 2) / count); };
    return AverageBytes { mean(sumR), mean(sumG), mean(sumB) };
}

// Dark averages make a poor accent: lift them towards a readable colour.
StudioColor liftedAccent(const AverageBytes& bytes)
{
    double r = bytes.r / 255.0;
    double g = bytes.g / 255.0;
    double b = bytes.b / 255.0;
    const double luminance = 0.2126 * r + 0.7152 * g + 0.0722 * b;
    if (luminance < 0.25) {
        r = std::min(r + 0.3, 1.0);
        g = std::min(g + 0.3, 1.0);
        b = std::min(b + 0.35, 1.0);
    }
    return { r, g, b, 1.0 };
}

} // namespace

TavrenThemeEngine::TavrenThemeEngine(ReduceMotionSource* reduceMotion, QObject* parent)
    : ThemeEngine(parent)
{
    if (reduceMotion) {
        if (reduceMotion->isReduceMotionEnabled()) {
            setReduceMotion(true);
        }
        connect(reduceMotion, &ReduceMotionSource::reduceMotionChanged, this,
            &TavrenThemeEngine::setReduceMotion);
    }
}

QCoro::Task<StudioColor> TavrenThemeEngine::extractAccentColor(QByteArray imageBytes)
{
    if (imageBytes.isEmpty()) {
        co_return emptyImageAccent;
    }
    // Decoding a large image would stall the interface; the work touches no
    // engine state, so the engine may even be gone when it finishes.
    co_return co_await QtConcurrent::run(&TavrenThemeEngine::accentColorFromImage, imageBytes);
}

StudioColor TavrenThemeEngine::accentColorFromImage(const QByteArray& imageBytes)
{
    if (imageBytes.isEmpty()) {
        return emptyImageAccent;
    }
    QBuffer buffer;
    buffer.setData(imageBytes);
    if (!buffer.open(QIODevice::ReadOnly)) {
        return undecodableImageAccent;
    }
    QImageReader reader(&buffer);
    // Check the size from the header before anything is allocated: a tiny file
    // can claim a gigantic picture.
    const QSize size = reader.size();
    if (!size.isValid() || size.isEmpty()
        || qint64(size.width()) * qint64(size.height()) > maxAccentImagePixels) {
        qCDebug(logging::theme) << "Accent image not decoded, size" << size;
        return undecodableImageAccent;
    }
    const QImage image = reader.read();
    if (image.isNull() || qint64(image.width()) * qint64(image.height()) > maxAccentImagePixels) {
        qCDebug(logging::theme) << "Accent image not decoded:" << reader.errorString();
        return undecodableImageAccent;
    }
    const std::optional<AverageBytes> average = averagePremultiplied(image);
    if (!average) {
        qCDebug(logging::theme) << "Accent image pixels not readable";
        return undecodableImageAccent;
    }
    return liftedAccent(*average);
}

void TavrenThemeEngine::updateTheme(const std::function<void(ThemeConfiguration&)>& mutation)
{
    ThemeConfiguration configuration = m_configuration;
    if (mutation) {
        mutation(configuration);
    }
    if (m_baseReduceMotion) {
        configuration.animationSpeedMultiplier = 0;
    }
    publish(configuration);
}

void TavrenThemeEngine::resetToDefaults()
{
    ThemeConfiguration configuration = ThemeConfiguration::defaults();
    if (m_baseReduceMotion) {
        configuration.animationSpeedMultiplier = 0;
    }
    publish(configuration);
}

void TavrenThemeEngine::setReduceMotion(bool enabled)
{
    m_baseReduceMotion = enabled;
    ThemeConfiguration configuration = m_configuration;
    configuration.animationSpeedMultiplier = enabled ? 0.0 : 1.0;
    publish(configuration);
}

void TavrenThemeEngine::publish(const ThemeConfiguration& configuration)
{
    m_configuration = configuration;
    Q_EMIT configurationChanged(m_configuration);
}

} // namespace kivo
