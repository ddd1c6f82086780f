#pragma once

namespace kivo {

// The whole application's look: the Eon style (over Fusion) with a dark
// palette made of the Eon colours, the Eon fonts loaded and Inter as the
// default font. Call
// once, right after the QApplication is made (the program and the gallery).
void applyEonAppearance();

} // namespace kivo
