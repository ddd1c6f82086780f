#pragma once

namespace kivo {

// Puts the calling thread, when it is a worker, below the window's thread
// and the toolkit's own paint helpers, once: when background work fills
// every core, the window still gets its turn at once and a paint that hands
// its fills to the toolkit's helpers is not left waiting for them. The main
// thread is left as it is. Every pool job that may run for long calls it
// first.
void runAtWorkerPriority();

} // namespace kivo
