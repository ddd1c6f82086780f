#pragma once

#include <QString>
#include <array>

namespace kivo {

// One buffer for equal texts: artist, album and genre names repeat across
// thousands of songs, and a library decoded with each name shared costs a
// fraction of one with a copy per song. Only exactly equal texts are shared,
// so every value reads as before. Any thread may call it.
namespace sharedtexts {

// The pooled text equal to `text` (adding `text` when it is new).
QString intern(const QString& text);

// While one lives on a thread, intern() on that thread looks in it before
// the pool. A decode meets the same few names over and over, and each look
// in the pool takes a lock: on a machine that other programs keep busy, the
// thread holding it is often not running, and every other decoder waits.
// Holds only pooled texts, a fixed number of them, and only as long as it
// lives.
class LocalCache {
public:
    LocalCache();
    ~LocalCache();
    LocalCache(const LocalCache&) = delete;
    LocalCache& operator=(const LocalCache&) = delete;

private:
    friend QString intern(const QString& text);
    // The last pooled text met at each place by hash: a name that keeps
    // coming back is found here, and the cache never grows (what a decode
    // frees between the songs it keeps would stay with the process).
    std::array<QString, 1024> m_recent;
    LocalCache* m_outer;
};

// Forgets the pool, so that names no song uses any more are freed; texts
// already handed out stay shared.
void clear();

} // namespace sharedtexts
} // namespace kivo
