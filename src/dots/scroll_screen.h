// NBG0-NBG3: one line of a normal scroll screen's dots, cells or bitmap.
#pragma once

#include <cstdint>

#include "common/console_memory.h"
#include "dots/cell_map.h"
#include "dots/colour_ram.h"
#include "dots/display_mode.h"
#include "dots/dot_formats.h"
#include "dots/dot_table.h"
#include "dots/layer_line.h"
#include "dots/pattern_name.h"
#include "dots/vdp2_registers.h"

namespace dots {

// Whether NBG n shows at all on a line with these registers: its BGON bit, and the limits
// the hardware puts on combinations (RBG1 shown, NBG0/NBG1 colour depth or reduction
// taking the VRAM reads of NBG1-NBG3, prohibited colour codes).
bool ScrollScreenShown(int n, RegisterView regs);

// One screen's settings for a line, read from its registers.
struct ScrollScreenSetup : ScreenColours {
  uint32_t colourCode;  // 16, 256, 2,048, 32,768, 16.7M colours: 0-4
  bool bitmap;
  // Cells.
  CellMap map;
  PatternNameDecoder decode;
  // Bitmaps.
  uint32_t bitmapBase, bitmapWidth, bitmapHeight, bitmapPalette;
  uint8_t bitmapFlags;
};

// What one screen keeps from line to line: one per screen and per thread that draws lines.
struct ScrollScreenCache {
  uint64_t vramStamp = 0;  // names VRAM's contents for the lines drawn; 0 when unknown
  DotTable dots;
  LineCells cells;
  // Names the line's registers but their scroll values (LineStates::Settings), set by the
  // caller with vramStamp; null: only lines of one copy of the registers share settings.
  const uint16_t* settings = nullptr;
  // The last line's settings, kept for the lines of the period that share them (the same
  // name, and the same vramStamp): whether the screen shows, and how.
  const uint16_t* setupRegisters = nullptr;
  uint64_t setupStamp = 0;
  int setupScreen = -1;
  bool shown = false;
  ScrollScreenSetup setup{};
};

// Fills line[0, mode.width) with NBG n's dots (0-3) for picture line y; false, with the
// line left as it was, when no dot of the line can show. cache: the screen's own.
bool DrawScrollScreenLine(int n, int y, const DisplayMode& mode, RegisterView regs,
                          const ColourRam& cram, const vdp::ConsoleMemory& vram,
                          ScrollScreenCache& cache, LayerDot* line);

}  // namespace dots
