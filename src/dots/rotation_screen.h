// RBG0 and RBG1: one line of a rotating scroll screen's dots, cells or bitmap, through
// parameter sets A and B, their coefficient tables and their maps.
#pragma once

#include <cstdint>

#include "common/console_memory.h"
#include "dots/colour_ram.h"
#include "dots/display_mode.h"
#include "dots/dot_table.h"
#include "dots/layer_line.h"
#include "dots/rotation_parameters.h"
#include "dots/vdp2_registers.h"

namespace dots {

// A picture line's state as a rotating screen reads it.
struct RotationLineInput {
  int y;
  const DisplayMode& mode;
  RegisterView regs;
  const ColourRam& cram;
  const uint16_t* cramWords;  // the line's colour RAM (coefficient tables there)
  const vdp::ConsoleMemory& vram;
  const LineStart* starts;  // sets A and B on this line
  const LayerDot* sprites;  // the line's sprite dots, for the sprite window
};

// Fills line[0, mode.width) with RBG0's (screen 0) or RBG1's (screen 1) dots. For RBG0,
// where a coefficient entry carries line colour bits, lineColour[x] takes them as the low
// 7 bits of its colour RAM address (the upper 4 stay those of the line's table entry).
// False, with line left as it was, when the screen is off. dots: the screen's own table,
// kept from line to line.
bool DrawRotationScreenLine(int screen, const RotationLineInput& in, DotTable& dots, LayerDot* line,
                            uint16_t* lineColour);

}  // namespace dots
