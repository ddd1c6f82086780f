#include "model/TrackFileURL.h"

#include "model/JsonCodec.h"

#include <QHash>

namespace kivo {

bool TrackFileURL::isPlainPath(const QString& path)
{
    return path.startsWith(u'/') && !path.startsWith(u"//");
}

TrackFileURL TrackFileURL::ofPath(const QString& path)
{
    TrackFileURL location;
    // A path decoded or built piece by piece may hold more room than its text.
    location.m_text = path.capacity() > path.size() ? QString(path.constData(), path.size()) : path;
    return location;
}

TrackFileURL::TrackFileURL(const QUrl& url)
{
    if (url.isEmpty()) {
        return;
    }
    if (url.isLocalFile()) {
        const QString path = url.toLocalFile();
        if (isPlainPath(path)) {
            // "file:/a" equals "file:///a" but is written otherwise: kept as text.
            const QUrl plain = QUrl::fromLocalFile(path);
            if (plain == url
                && plain.toString(QUrl::FullyEncoded) == url.toString(QUrl::FullyEncoded)) {
                *this = ofPath(path);
                return;
            }
        }
    }
    m_text = urlMark + json::fileUrlText(url);
}

TrackFileURL TrackFileURL::fromLocalFile(const QString& path)
{
    return isPlainPath(path) ? ofPath(path) : TrackFileURL(QUrl::fromLocalFile(path));
}

TrackFileURL TrackFileURL::fromText(const QString& text)
{
    TrackFileURL location(QUrl(text, QUrl::StrictMode));
    if (!location.isEmpty() && !location.isPath()) {
        location.m_text = urlMark + text;
    }
    return location;
}

QUrl TrackFileURL::toUrl() const
{
    if (isPath()) {
        return QUrl::fromLocalFile(m_text);
    }
    return isEmpty() ? QUrl() : QUrl(m_text.sliced(1), QUrl::StrictMode);
}

QString TrackFileURL::path(QUrl::ComponentFormattingOptions options) const
{
    return isPath() && int(options) == QUrl::FullyDecoded ? m_text : toUrl().path(options);
}

QString TrackFileURL::fileName(QUrl::ComponentFormattingOptions options) const
{
    if (!isPath() || int(options) != QUrl::FullyDecoded) {
        return toUrl().fileName(options);
    }
    return m_text.mid(m_text.lastIndexOf(u'/') + 1);
}

bool operator==(const TrackFileURL& a, const TrackFileURL& b)
{
    if (a.m_text == b.m_text) {
        return true;
    }
    // Two paths, or an empty one beside any other, differ as their URLs do.
    if ((a.isPath() && b.isPath()) || a.isEmpty() || b.isEmpty()) {
        return false;
    }
    return a.toUrl() == b.toUrl();
}

size_t TrackFileURL::hash(size_t seed) const
{
    if (isPath() || isEmpty()) {
        return qHash(m_text, seed);
    }
    const QUrl url = toUrl();
    // A URL equal to a path's (as "file:/a" is to "/a") hashes as that path.
    if (url.isLocalFile()) {
        const QString localPath = url.toLocalFile();
        if (isPlainPath(localPath) && QUrl::fromLocalFile(localPath) == url) {
            return qHash(localPath, seed);
        }
    }
    return qHash(url, seed);
}

} // namespace kivo
