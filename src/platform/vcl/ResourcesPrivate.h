// Not public API: the makers of the built-in image strips, shared by Resources.cpp (the
// registry) and ResourceGlyphs.cpp (the grid's glyphs).
#pragma once

#include "platform/vcl/Bitmap.h"

namespace mv {

// Pixels of this colour are transparent in every built-in strip.
inline constexpr TColor kStripBack = 0x008080;

// 27 row indicators of 16 x 16 (current, editing, inserting, selected, arrows, marks ...).
void MakeIndicators(TBitmap& bitmap);
// 20 sort markers of 16 x 16: ascending/descending, then the pairs numbered 1 to 9.
void MakeMarkers(TBitmap& bitmap);
// The 16 x 16 images of the calendar and calculator buttons.
void MakeCalendarGlyph(TBitmap& bitmap);
void MakeCalculatorGlyph(TBitmap& bitmap);

} // namespace mv
