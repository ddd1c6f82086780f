#include "model/AudioImportSupport.h"

namespace kivo {

const QSet<QString>& AudioImportSupport::supportedAudioExtensions()
{
    static const QSet<QString> extensions {
        QStringLiteral("mp3"),
        QStringLiteral("m4a"),
        QStringLiteral("wav"),
        QStringLiteral("flac"),
        QStringLiteral("aac"),
        QStringLiteral("ogg"),
        QStringLiteral("wma"),
        QStringLiteral("aiff"),
    };
    return extensions;
}

bool AudioImportSupport::isSupportedAudioURL(const QUrl& url)
{
    const QString path = url.path();
    if (path.endsWith(u'/')) {
        return false;
    }
    const QString name = path.mid(path.lastIndexOf(u'/') + 1);
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot < 0) {
        return false;
    }
    const QString extension = name.mid(dot + 1).toLower();
    return !extension.isEmpty() && supportedAudioExtensions().contains(extension);
}

} // namespace kivo
