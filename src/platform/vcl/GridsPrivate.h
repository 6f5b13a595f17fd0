// Not public API: axis walking shared by the grid's geometry, painting and mouse files.
#pragma once

#include "platform/vcl/Grids.h"

#include <vector>

namespace mv::grids_detail {

// One visible cell along an axis: its index and client start.
struct TAxisCell {
    Integer Index;
    Integer Start;
    bool Fixed;
};

// Pixels a cell takes along its axis, its line included; a hidden cell (negative extent)
// takes none, not even a line.
Integer CellSpan(const TGridAxisDrawInfo& axis, Integer index);
// Client position of a cell's first pixel, or false when the cell is scrolled out, hidden
// or beyond the client extent.
bool CellStart(const TGridAxisDrawInfo& axis, Integer index, Integer& start);
// The visible cells (fixed first) whose span, line included, meets [lo, hi). Reuses the
// vector's storage.
void CollectAxis(const TGridAxisDrawInfo& axis, Integer lo, Integer hi, std::vector<TAxisCell>& cells);
// The cell whose span holds pos, or -1.
Integer AxisCoord(const TGridAxisDrawInfo& axis, Integer pos);

} // namespace mv::grids_detail
