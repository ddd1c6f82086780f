#include "model/SharedTexts.h"

#include <QMutex>
#include <QMutexLocker>
#include <QSet>
#include <array>

namespace kivo::sharedtexts {

using ::qHash;

namespace {

// Split by hash so that the parallel decode's threads seldom wait for each other.
struct Shard {
    QMutex mutex;
    QSet<QString> texts;
};

std::array<Shard, 64>& shards()
{
    static std::array<Shard, 64> pool;
    return pool;
}

} // namespace

QString intern(const QString& text)
{
    if (text.isEmpty()) {
        return text;
    }
    Shard& shard = shards()[qHash(text) % shards().size()];
    QMutexLocker lock(&shard.mutex);
    return *shard.texts.insert(text);
}

void clear()
{
    for (Shard& shard : shards()) {
        QSet<QString> released;
        {
            QMutexLocker lock(&shard.mutex);
            released.swap(shard.texts);
        }
    }
}

} // namespace kivo::sharedtexts
