#pragma once

#include "model/Track.h"

#include <QList>
#include <QObject>
#include <QString>
#include <optional>

namespace kivo {

enum class RepeatMode { off, track, all };
enum class ShuffleMode { off, standard, smart };

// Stored texts: "off", "track", "all" / "off", "standard", "smart".
QString repeatModeText(RepeatMode mode);
std::optional<RepeatMode> repeatModeFromText(const QString& text);
QString shuffleModeText(ShuffleMode mode);
std::optional<ShuffleMode> shuffleModeFromText(const QString& text);

// The play queue.
class QueueEngine : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~QueueEngine() override = default;

    // Replaces the queue with `tracks` and starts the first one. An empty list
    // changes nothing; a failure to start puts the previous queue back and is
    // published, never thrown.
    virtual void playNow(const QList<Track>& tracks) = 0;
};

} // namespace kivo
