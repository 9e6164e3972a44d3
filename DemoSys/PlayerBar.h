// The player's bar: the viewer's time line, which a host draws over the picture for a moment
// after a seek and while the show is paused: the show's time against its
// length ("1:23 / 3:05") in a small blocky font, and a thin progress bar,
// on a dark band along the picture's bottom edge; for a while after the
// viewer moved the offset of the picture, that offset follows the time
// ("AV +30 MS"). Shapes only, no GL: the
// hosts draw them with their last pass (UprightBlit).
#pragma once

#include "Presentation.h"

namespace PlayerBar {

// "m:ss / 3:05": whole seconds, the time clamped to the show.
inline constexpr int kTextSize = 32;
void Text(double showTime, char text[kTextSize]);
// "AV +30 MS": the viewer's offset in whole milliseconds.
void OffsetText(double seconds, char text[kTextSize]);

// A rectangle in the fitted picture's -1 to 1 space, y up.
struct Box {
    float x0 = 0.0f, y0 = 0.0f, x1 = 0.0f, y1 = 0.0f;
};

inline constexpr int kGlyphRows = 5;
inline constexpr int kGlyphColumns = 3;
inline constexpr int kMostCells = 24 * kGlyphRows * kGlyphColumns;  // "m:ss / 3:05  AV -1000 MS"

struct Shapes {
    Box band;   // dark, under everything
    Box track;  // the whole length, dim
    Box fill;   // the part played, bright
    Box cells[kMostCells];  // the text's lit cells, bright
    int cellCount = 0;
};

// The shapes for a picture of this many pixels: one cell of the font is a
// whole number of pixels, about a 130th of the picture's height.
void Layout(double showTime, Presentation::Size picture, Shapes& shapes);

}  // namespace PlayerBar
