#pragma once

#include <QString>

namespace kivo {

// One buffer for equal texts: artist, album and genre names repeat across
// thousands of songs, and a library decoded with each name shared costs a
// fraction of one with a copy per song. Only exactly equal texts are shared,
// so every value reads as before. Any thread may call it.
namespace sharedtexts {

// The pooled text equal to `text` (adding `text` when it is new).
QString intern(const QString& text);
// Forgets the pool, so that names no song uses any more are freed; texts
// already handed out stay shared.
void clear();

} // namespace sharedtexts
} // namespace kivo
