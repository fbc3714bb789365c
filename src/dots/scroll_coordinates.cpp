// Screen dot to map coordinate for NBG0-NBG3, in fixed point with 8 fraction bits.
#include "dots/scroll_coordinates.h"

namespace dots {
namespace {

// A scroll register pair or table entry (integer bits 10-0, then fraction bits 15-8) as
// fixed point with 8 fraction bits.
uint32_t ScrollValue(uint32_t integer, uint32_t fraction) {
  return ((integer & 0x7FF) << 8) | ((fraction >> 8) & 0xFF);
}
// An increment (integer bits 2-0, then fraction bits 15-8), likewise.
uint32_t IncrementValue(uint32_t integer, uint32_t fraction) {
  return ((integer & 7) << 8) | ((fraction >> 8) & 0xFF);
}
// The largest horizontal increment ZMCTL allows NBG n (0 or 1): 1, or 2 with reduction
// to 1/2, or 4 with reduction to 1/4. A larger increment is held at the limit.
uint32_t IncrementLimit(int n, RegisterView regs) {
  const uint32_t shift = n * 8;
  if (regs.Field(reg::ZMCTL, shift + 1, shift + 1)) return 4 << 8;
  return regs.Field(reg::ZMCTL, shift, shift) ? 2 << 8 : 1 << 8;
}

struct LineScroll {
  uint32_t startX, incX, y;  // fixed point
  bool cellScroll;
  uint32_t cellTable, cellStride;  // vertical cell scroll entries, bytes per column
};

LineScroll ZoomingScreenLine(int n, int v, RegisterView regs, const vdp::ConsoleMemory& vram) {
  const uint32_t base = reg::SCXIN0 + n * reg::kNbg1Stride;
  const uint32_t scrollX = ScrollValue(regs[base], regs[base + 2]);
  const uint32_t scrollY = ScrollValue(regs[base + 4], regs[base + 6]);
  const uint32_t incY = IncrementValue(regs[base + 12], regs[base + 14]);
  LineScroll s{scrollX,
               IncrementValue(regs[base + 8], regs[base + 10]),
               scrollY + incY * static_cast<uint32_t>(v),
               false,
               0,
               4};
  const uint32_t shift = n * 8;
  const bool tableX = regs.Field(reg::SCRCTL, shift + 1, shift + 1);
  const bool tableY = regs.Field(reg::SCRCTL, shift + 2, shift + 2);
  const bool tableZoom = regs.Field(reg::SCRCTL, shift + 3, shift + 3);
  const uint32_t recordBytes = 4 * (tableX + tableY + tableZoom);
  if (recordBytes != 0) {
    // One record per interval of 1 << LSS lines holding only the enabled items; between
    // reads X and the increment hold and Y advances by the vertical increment.
    const uint32_t interval = regs.Field(reg::SCRCTL, shift + 5, shift + 4);
    const uint32_t record = static_cast<uint32_t>(v) >> interval;
    uint32_t address = regs.TableAddress(reg::LSTA0U + n * 4, 0xFFFE) + record * recordBytes;
    if (tableX) {
      s.startX += ScrollValue(vram.ReadWord(address), vram.ReadWord(address + 2));
      address += 4;
    }
    if (tableY) {
      const uint32_t since = static_cast<uint32_t>(v) - (record << interval);
      s.y =
          scrollY + ScrollValue(vram.ReadWord(address), vram.ReadWord(address + 2)) + incY * since;
      address += 4;
    }
    // The table's increment replaces the register's for its lines.
    if (tableZoom) s.incX = IncrementValue(vram.ReadWord(address), vram.ReadWord(address + 2));
  }
  const uint32_t limit = IncrementLimit(n, regs);
  if (s.incX > limit) s.incX = limit;
  // Mosaic on the screen turns its vertical cell scroll off. With both NBG0 and NBG1
  // scrolling by cell their entries alternate, NBG0's first.
  const bool both = regs.Field(reg::SCRCTL, 0, 0) && regs.Field(reg::SCRCTL, 8, 8);
  s.cellScroll = regs.Field(reg::SCRCTL, shift, shift) && !regs.Field(reg::MZCTL, n, n);
  s.cellStride = both ? 8 : 4;
  s.cellTable = regs.TableAddress(reg::VCSTAU, 0xFFFE) + (both && n == 1 ? 4 : 0);
  return s;
}

}  // namespace

void ComputeScrollCoordinates(int n, int line, const DisplayMode& mode, RegisterView regs,
                              const vdp::ConsoleMemory& vram, ScrollCoordinates& out) {
  // Mosaic: every dot of a block takes the coordinates of the block's top-left dot; blocks
  // start at the display's top-left. Double density counts the vertical size in field
  // lines, two picture lines each.
  uint32_t blockW = 1, blockH = 1;
  if (regs.Field(reg::MZCTL, n, n)) {
    blockW = regs.Field(reg::MZCTL, 11, 8) + 1;
    blockH = (regs.Field(reg::MZCTL, 15, 12) + 1) << (mode.doubleDensity ? 1 : 0);
  }
  const int v = line - static_cast<int>(static_cast<uint32_t>(line) % blockH);
  LineScroll s;
  if (n < 2) {
    s = ZoomingScreenLine(n, v, regs, vram);
  } else {
    // NBG2 and NBG3 scroll by whole dots and do not zoom.
    const uint32_t base = reg::SCXN2 + (n - 2) * 4;
    s = LineScroll{ScrollValue(regs[base], 0),
                   1 << 8,
                   ScrollValue(regs[base + 2], 0) + (static_cast<uint32_t>(v) << 8),
                   false,
                   0,
                   4};
  }
  out.steady = blockW == 1 && s.incX == 1u << 8 && !s.cellScroll;
  if (out.steady) {
    // Readers of a steady line step from its first dot themselves.
    out.x[0] = s.startX >> 8;
    out.y[0] = s.y >> 8;
    return;
  }
  if (blockW == 1) {
    // Without mosaic every dot starts its own block: a loop the compiler vectorises.
    for (int x = 0; x < mode.width; ++x) {
      out.x[x] = (s.startX + s.incX * static_cast<uint32_t>(x)) >> 8;
      out.y[x] = s.y >> 8;
    }
  } else {
    uint32_t h = 0, inBlock = 0;
    for (int x = 0; x < mode.width; ++x) {
      out.x[x] = (s.startX + s.incX * h) >> 8;
      out.y[x] = s.y >> 8;
      if (++inBlock == blockW) {
        inBlock = 0;
        h = static_cast<uint32_t>(x) + 1;
      }
    }
  }
  if (!s.cellScroll) return;
  // One entry per 8-dot column of the screen, added to the line's vertical coordinate.
  for (int column = 0; column * 8 < mode.width; ++column) {
    const uint32_t a = s.cellTable + column * s.cellStride;
    const uint32_t y = (s.y + ScrollValue(vram.ReadWord(a), vram.ReadWord(a + 2))) >> 8;
    for (int x = column * 8; x < column * 8 + 8 && x < mode.width; ++x) out.y[x] = y;
  }
}

}  // namespace dots
