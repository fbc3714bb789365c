// The rotation-parameter window of parameter mode 3, rectangles W0 and W1 only: which dots
// of a line RBG0 draws with parameter B. (Line windows are not read.)
#pragma once

#include <cstdint>

#include "dots/display_mode.h"
#include "dots/vdp2_registers.h"

namespace dots {

// inB[x] = 1 where the window's area (inside or outside each enabled rectangle, OR or AND)
// covers dot x of picture line y, 0 elsewhere; for x in [0, mode.width).
void RotationWindowLine(int y, const DisplayMode& mode, RegisterView regs, uint8_t* inB);

}  // namespace dots
