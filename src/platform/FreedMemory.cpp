#include "platform/FreedMemory.h"

// Any C library header defines __GLIBC__ on glibc; without one it is not yet
// defined below, and the call would quietly do nothing.
#include <cstdlib>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace kivo {

void returnFreedMemoryToTheSystem()
{
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}

void returnLargeBlocksWhenFreed()
{
#if defined(__GLIBC__)
    // By default the threshold rises to the size of each such block freed
    // (up to 32 MiB); past that, the lists and buffers of a large library
    // come from the heaps, and what they free stays with the process.
    mallopt(M_MMAP_THRESHOLD, 256 * 1024);
#endif
}

} // namespace kivo
