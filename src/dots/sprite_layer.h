// The sprite layer: one line of the displayed VDP1 frame buffer, decoded by VDP2's sprite
// type (SPCTL) into colour, priority and colour-calculation bits.
#pragma once

#include <cstdint>

#include "dots/chip_view.h"
#include "dots/colour_ram.h"
#include "dots/display_mode.h"
#include "dots/layer_line.h"
#include "dots/vdp2_registers.h"

namespace dots {

// Fills line[0, mode.width) with the sprite dots of picture line y. tvmr: VDP1's TVMR,
// whose bits 2-0 give the frame buffer's form. True when some dot has a priority (shows,
// or casts shadow); false when only window bits, or nothing, came from the buffer.
bool DrawSpriteLine(int y, const DisplayMode& mode, RegisterView regs, const ColourRam& cram,
                    uint32_t tvmr, const FrameBufferMemory& frameBuffer, LayerDot* line);

}  // namespace dots
