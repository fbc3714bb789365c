// Table lookups of the back screen (RGB555 entries) and the line colour screen (colour RAM
// addresses).
#include "dots/back_screen.h"

#include "common/rgb555.h"

namespace dots {
namespace {

// The table entry of a line: the first entry unless bit 15 of the upper register asks
// for one per line.
uint32_t EntryAddress(uint32_t upper, int line, RegisterView regs) {
  const uint32_t perLine = regs.Field(upper, 15, 15);
  return regs.TableAddress(upper) + (perLine ? static_cast<uint32_t>(line) * 2 : 0);
}

}  // namespace

uint32_t BackScreenTexel(int line, RegisterView regs, const vdp::ConsoleMemory& vram) {
  return vdp::Rgb555ToTexel(vram.ReadWord(EntryAddress(reg::BKTAU, line, regs)));
}

uint32_t LineColourAddress(int line, RegisterView regs, const vdp::ConsoleMemory& vram) {
  return vram.ReadWord(EntryAddress(reg::LCTAU, line, regs)) & 0x7FF;
}

uint32_t LineColourTexel(int line, RegisterView regs, const ColourRam& cram,
                         const vdp::ConsoleMemory& vram) {
  bool msb;
  return cram.Texel(LineColourAddress(line, regs, vram), msb);
}

}  // namespace dots
