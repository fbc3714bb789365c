// Where each dot of a line falls on an NBG's map or bitmap: scroll with fractions, zoom
// and its reduction limits, line scroll and line zoom, vertical cell scroll, mosaic.
#pragma once

#include <cstdint>

#include "common/console_memory.h"
#include "dots/display_mode.h"
#include "dots/picture.h"
#include "dots/vdp2_registers.h"

namespace dots {

// Integer map coordinates of each screen dot, before wrapping to the map.
struct ScrollCoordinates {
  uint32_t x[Picture::kMaxWidth];
  uint32_t y[Picture::kMaxWidth];
  // x advances by exactly one per dot and y is the same for the whole line (no zoom,
  // mosaic or vertical cell scroll): the case that readers can walk character by character.
  // A steady line fills x[0] and y[0] only.
  bool steady;
};

void ComputeScrollCoordinates(int n, int line, const DisplayMode& mode, RegisterView regs,
                              const vdp::ConsoleMemory& vram, ScrollCoordinates& out);

}  // namespace dots
