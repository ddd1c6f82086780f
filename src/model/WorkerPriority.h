#pragma once

namespace kivo {

// How many threads a pool that fans work out keeps: one fewer than the
// cores, so that the window's thread always finds a core free of our own
// workers while a load, an import, a sort or a search fills the rest. The
// workers keep the program's own priority and scheduling: work the user waits
// for does not give way to other programs (below normal, an import waits out
// their time slices at every file it reads).
int workerThreadCount();

// Caps the process's shared pool at workerThreadCount(); called once as the
// program's engines are made.
void leaveTheWindowACore();

} // namespace kivo
