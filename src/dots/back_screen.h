// The back screen and the line colour screen: one colour per line (or one for the whole
// screen) from their VRAM tables.
#pragma once

#include <cstdint>

#include "common/console_memory.h"
#include "dots/colour_ram.h"
#include "dots/vdp2_registers.h"

namespace dots {

// Both tables hold one entry per picture line (single-density interlace: one per two
// frame lines, which is one per picture line again).
uint32_t BackScreenTexel(int line, RegisterView regs, const vdp::ConsoleMemory& vram);
// The line colour screen's colour: its table gives an 11-bit colour RAM address, used
// without a colour RAM offset. It shows only through colour calculation.
// The line colour screen's 11-bit colour RAM address for a line.
uint32_t LineColourAddress(int line, RegisterView regs, const vdp::ConsoleMemory& vram);
uint32_t LineColourTexel(int line, RegisterView regs, const ColourRam& cram,
                         const vdp::ConsoleMemory& vram);

}  // namespace dots
