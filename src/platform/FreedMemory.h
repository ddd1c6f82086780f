#pragma once

namespace kivo {

// Hands the pages that the allocator holds freed (in every thread's heap)
// back to the system. Slow on a large heap: call it off the main thread.
void returnFreedMemoryToTheSystem();

// Blocks of 256 KiB and more are mapped on their own and go back to the
// system as soon as they are freed. Call once, first thing in the process.
void returnLargeBlocksWhenFreed();

} // namespace kivo
