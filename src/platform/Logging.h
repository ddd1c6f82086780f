#pragma once

#include <QLoggingCategory>

// One category per engine under "Halvern.KIVO-VOVID.<Category>".
namespace kivo::logging {
Q_DECLARE_LOGGING_CATEGORY(app)
Q_DECLARE_LOGGING_CATEGORY(artwork)
Q_DECLARE_LOGGING_CATEGORY(audio)
Q_DECLARE_LOGGING_CATEGORY(fileAccess)
Q_DECLARE_LOGGING_CATEGORY(fileWatcher)
Q_DECLARE_LOGGING_CATEGORY(library)
Q_DECLARE_LOGGING_CATEGORY(metadata)
Q_DECLARE_LOGGING_CATEGORY(playlist)
Q_DECLARE_LOGGING_CATEGORY(queue)
Q_DECLARE_LOGGING_CATEGORY(storage)
Q_DECLARE_LOGGING_CATEGORY(theme)
Q_DECLARE_LOGGING_CATEGORY(waveform)
} // namespace kivo::logging
