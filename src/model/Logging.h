#pragma once

#include <QLoggingCategory>
#include <QString>

// One category per module under "Halvern.KIVO-VOVID.<Category>", all defined
// here, below every layer that logs.
namespace kivo::logging {
// What Q_DECLARE_LOGGING_CATEGORY declares: the function that gives the category.
using Category = const QLoggingCategory& (*)();

Q_DECLARE_LOGGING_CATEGORY(app)
Q_DECLARE_LOGGING_CATEGORY(artwork)
Q_DECLARE_LOGGING_CATEGORY(audio)
Q_DECLARE_LOGGING_CATEGORY(editing)
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

namespace kivo {

// A failure the user need not see: the line goes to standard output (flushed,
// so that it lands in order with the program's other output) and to the log
// as a warning of `category`.
void reportFailure(logging::Category category, const QString& line);

} // namespace kivo
