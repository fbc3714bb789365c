// What the dot-by-dot renderer reads of the two chips: their registers and memories,
// read-only. The cores own the storage; the renderer never writes through this view.
#pragma once

#include <cstdint>

#include "common/console_memory.h"

namespace dots {

// One VDP1 frame buffer: 256 KB in console byte order. A 16-bit dot at (x, y) is the word
// at y * 1024 + x * 2 (512 dots a row); an 8-bit dot is the byte at y * 1024 + x (1024 a
// row, high resolution) or y * 512 + x (512 a row, rotation 8), the even dot in the upper
// byte of its word.
using FrameBufferMemory = vdp::ConsoleMemoryOf<0x40000>;

struct ChipView {
  // VDP1 registers as the host wrote them, indexed by byte offset / 2 (TVMR 0x00, FBCR
  // 0x02, PTMR 0x04, EWDR 0x06, EWLR 0x08, EWRR 0x0A, ENDR 0x0C).
  const uint16_t* vdp1Registers = nullptr;
  const vdp::ConsoleMemory* vdp1Vram = nullptr;
  // VDP2 registers, 256 words: the register at byte offset r is element r / 2.
  const uint16_t* vdp2Registers = nullptr;
  const vdp::ConsoleMemory* vdp2Vram = nullptr;
  // Colour RAM, 2,048 console words: the word at byte address a is cram[(a & 0xFFF) >> 1].
  const uint16_t* cram = nullptr;
};

}  // namespace dots
