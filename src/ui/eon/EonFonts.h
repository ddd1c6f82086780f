#pragma once

#include <QFont>

namespace kivo {

// The design's sizes are points of a 1x screen, which are logical pixels here:
// fonts are sized in pixels so that a label fits the width it was drawn for.

// Registers the fonts the program ships with (the symbol font). Call once,
// after the QApplication exists; later calls do nothing.
void loadEonFonts();

// The design's "system font": Inter, else the desktop's own font.
QFont eonFont(double size, QFont::Weight weight = QFont::Normal);

// The design's "monospaced design": DejaVu Sans Mono, else the desktop's fixed font.
QFont eonMonoFont(double size, QFont::Weight weight = QFont::Normal);

} // namespace kivo
