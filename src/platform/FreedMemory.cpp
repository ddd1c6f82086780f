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

} // namespace kivo
