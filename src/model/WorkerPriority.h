#pragma once

namespace kivo {

// How many threads a pool that fans work out keeps: one fewer than the
// cores, so that the window's thread always finds a core free of our own
// workers while a load, an import, a sort or a search fills the rest.
int workerThreadCount();

// Caps the process's shared pool at workerThreadCount(); called once as the
// program's engines are made.
void leaveTheWindowACore();

// Marks the calling worker thread as one that runs long computations: it
// keeps the program's own priority (so that other programs do not take the
// cores of work the user is waiting for) but no longer cuts in ahead of a
// thread that just woke, such as the window's after an input or a timer. The
// main thread is left as it is. Every pool job that may run for long calls it
// first.
void runAtWorkerPriority();

} // namespace kivo
