#include "model/Logging.h"

#include <cstdio>

namespace kivo::logging {
Q_LOGGING_CATEGORY(app, "Halvern.KIVO-VOVID.App")
Q_LOGGING_CATEGORY(artwork, "Halvern.KIVO-VOVID.Artwork")
Q_LOGGING_CATEGORY(audio, "Halvern.KIVO-VOVID.Audio")
Q_LOGGING_CATEGORY(editing, "Halvern.KIVO-VOVID.Editing")
Q_LOGGING_CATEGORY(fileAccess, "Halvern.KIVO-VOVID.FileAccess")
Q_LOGGING_CATEGORY(fileWatcher, "Halvern.KIVO-VOVID.FileWatcher")
Q_LOGGING_CATEGORY(library, "Halvern.KIVO-VOVID.Library")
Q_LOGGING_CATEGORY(metadata, "Halvern.KIVO-VOVID.Metadata")
Q_LOGGING_CATEGORY(playlist, "Halvern.KIVO-VOVID.Playlist")
Q_LOGGING_CATEGORY(queue, "Halvern.KIVO-VOVID.Queue")
Q_LOGGING_CATEGORY(storage, "Halvern.KIVO-VOVID.Storage")
Q_LOGGING_CATEGORY(theme, "Halvern.KIVO-VOVID.Theme")
Q_LOGGING_CATEGORY(waveform, "Halvern.KIVO-VOVID.Waveform")
} // namespace kivo::logging

namespace kivo {

void reportFailure(logging::Category category, const QString& line)
{
    std::fputs((line + u'\n').toUtf8().constData(), stdout);
    std::fflush(stdout);
    qCWarning(category).noquote() << line;
}

} // namespace kivo
