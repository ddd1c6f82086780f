#pragma once

#include <QSet>
#include <QString>
#include <QUrl>

namespace kivo {

// The one list of audio file types the library accepts, decided by extension.
struct AudioImportSupport {
    // "mp3", "m4a", "wav", "flac", "aac", "ogg", "wma", "aiff".
    static const QSet<QString>& supportedAudioExtensions();
    // Touches neither the file system nor the file.
    static bool isSupportedAudioURL(const QUrl& url);
};

} // namespace kivo
