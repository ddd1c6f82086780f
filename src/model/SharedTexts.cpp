#include "model/SharedTexts.h"

#include <QMutex>
#include <QMutexLocker>
#include <QSet>
#include <array>
#include <utility>

namespace kivo::sharedtexts {

using ::qHash;

namespace {

// Split by hash so that the parallel decode's threads seldom wait for each
// other: with a few dozen shards, a decoder often found another holding its
// shard's lock, and on a busy machine that one may not be running.
struct Shard {
    QMutex mutex;
    QSet<QString> texts;
};

std::array<Shard, 4096>& shards()
{
    static std::array<Shard, 4096> pool;
    return pool;
}

thread_local LocalCache* localCache = nullptr;

} // namespace

LocalCache::LocalCache()
    : m_outer(std::exchange(localCache, this))
{
}

LocalCache::~LocalCache()
{
    localCache = m_outer;
}

QString intern(const QString& text)
{
    if (text.isEmpty()) {
        return text;
    }
    const size_t hash = qHash(text);
    QString* const recent
        = localCache ? &localCache->m_recent[hash % localCache->m_recent.size()] : nullptr;
    if (recent && *recent == text) {
        return *recent;
    }
    QString pooled;
    {
        Shard& shard = shards()[hash % shards().size()];
        QMutexLocker lock(&shard.mutex);
        pooled = *shard.texts.insert(text);
    }
    if (recent) {
        *recent = pooled;
    }
    return pooled;
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
