// NBG0-NBG3: one line of a normal scroll screen's dots, cells or bitmap.
#pragma once

#include <cstdint>

#include "common/console_memory.h"
#include "dots/cell_map.h"
#include "dots/colour_ram.h"
#include "dots/display_mode.h"
#include "dots/dot_table.h"
#include "dots/layer_line.h"
#include "dots/vdp2_registers.h"

namespace dots {

// Whether NBG n shows at all on a line with these registers: its BGON bit, and the limits
// the hardware puts on combinations (RBG1 shown, NBG0/NBG1 colour depth or reduction
// taking the VRAM reads of NBG1-NBG3, prohibited colour codes).
bool ScrollScreenShown(int n, RegisterView regs);

// What one screen keeps from line to line: one per screen and per thread that draws lines.
struct ScrollScreenCache {
  uint64_t vramStamp = 0;  // names VRAM's contents for the lines drawn; 0 when unknown
  DotTable dots;
  LineCells cells;
};

// Fills line[0, mode.width) with NBG n's dots (0-3) for picture line y; false, with the
// line left as it was, when no dot of the line can show. cache: the screen's own.
bool DrawScrollScreenLine(int n, int y, const DisplayMode& mode, RegisterView regs,
                          const ColourRam& cram, const vdp::ConsoleMemory& vram,
                          ScrollScreenCache& cache, LayerDot* line);

}  // namespace dots
