#include "ui/library/DropExtraction.h"

#include <QDir>
#include <QFileInfo>
#include <QMimeData>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

namespace {

QList<QUrl> carried(const QMimeData& data)
{
    if (data.hasUrls()) {
        return data.urls();
    }
    QList<QUrl> urls;
    if (!data.hasText()) {
        return urls;
    }
    const QStringList lines = data.text().split(u'\n', Qt::SkipEmptyParts);
    for (const QString& raw : lines) {
        const QString line = raw.trimmed();
        if (line.startsWith(u"file:"_s)) {
            urls.push_back(QUrl(line));
        } else if (QDir::isAbsolutePath(line)) {
            urls.push_back(QUrl::fromLocalFile(line));
        }
    }
    return urls;
}

} // namespace

bool DropExtraction::carriesFiles(const QMimeData& data)
{
    return data.hasUrls() || data.hasText();
}

QList<QUrl> DropExtraction::fileURLs(const QMimeData& data)
{
    QList<QUrl> files;
    for (const QUrl& url : carried(data)) {
        if (!url.isLocalFile()) {
            continue;
        }
        const QFileInfo info(url.toLocalFile());
        if (info.exists() && !info.isDir()) {
            files.push_back(url);
        }
    }
    return files;
}

} // namespace kivo
