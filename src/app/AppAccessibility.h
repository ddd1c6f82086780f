#pragma once

namespace kivo {

// Teaches Qt's accessibility the program's painted views (song table, seek
// bar, grid tiles, rating stars). Safe to call more than once.
void installAppAccessibility();

} // namespace kivo
