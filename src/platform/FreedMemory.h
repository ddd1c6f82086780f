#pragma once

namespace kivo {

// Hands the pages that the allocator holds freed (in every thread's heap)
// back to the system. Slow on a large heap: call it off the main thread.
void returnFreedMemoryToTheSystem();

} // namespace kivo
