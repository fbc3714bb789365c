// W0 and W1 on a line: rectangle registers or line-window tables in the units of each
// display mode, and a field's area as a mask.
#include "dots/window.h"

#include <cstring>
#include <utility>

namespace dots {
namespace {

// A horizontal window register as a picture dot. Normal modes count half dots (bit 0
// ignored), hi-res modes dots; exclusive modes ignore bit 9, and exclusive hi-res counts
// pairs of dots, an end covering both dots of its pair.
int WindowDot(uint32_t value, bool hiRes, bool exclusive, bool end) {
  if (exclusive) {
    return hiRes ? static_cast<int>(((value & 0x1FF) << 1) | (end ? 1 : 0))
                 : static_cast<int>(value & 0x1FF);
  }
  return static_cast<int>(hiRes ? value & 0x3FF : (value & 0x3FF) >> 1);
}

}  // namespace

LineWindows ComputeLineWindows(int y, const DisplayMode& mode, RegisterView regs,
                               const vdp::ConsoleMemory& vram) {
  const bool exclusive = regs.Field(reg::TVMD, 2, 2);
  // Double density: the registers count field lines and ignore bit 0.
  const int line = mode.doubleDensity ? y >> 1 : y;
  const unsigned vShift = mode.doubleDensity ? 1 : 0;
  LineWindows w{};
  for (int n = 0; n < 2; ++n) {
    const uint32_t base = reg::WPSX0 + static_cast<uint32_t>(n) * 8;
    const int top = static_cast<int>((regs[base + 2] & 0x3FF) >> vShift);
    const int bottom = static_cast<int>((regs[base + 6] & 0x3FF) >> vShift);
    uint32_t start = regs[base], end = regs[base + 4];
    const uint32_t table = reg::LWTA0U + static_cast<uint32_t>(n) * 4;
    if (regs.Field(table, 15, 15)) {
      // One start/end pair per picture line; the rectangle's X registers are not used.
      const uint32_t at = regs.TableAddress(table, 0xFFFE) + static_cast<uint32_t>(y) * 4;
      start = vram.ReadWord(at);
      end = vram.ReadWord(at + 2);
    }
    w.begin[n] = WindowDot(start, mode.hiRes, exclusive, false);
    w.end[n] = WindowDot(end, mode.hiRes, exclusive, true);
    if (line < top || line > bottom) {
      w.begin[n] = 1;
      w.end[n] = 0;
    }
  }
  return w;
}

int WindowAreaRuns(uint32_t control, const LineWindows& w, int width, int runs[5][2]) {
  // The dots where W0 or W1 starts or stops covering, in order: between two of them every
  // dot is in the area or none is.
  int cuts[6] = {0, width, w.begin[0], w.end[0] + 1, w.begin[1], w.end[1] + 1};
  for (int& c : cuts) c = c < 0 ? 0 : (c > width ? width : c);
  for (int i = 1; i < 6; ++i) {
    for (int j = i; j > 0 && cuts[j - 1] > cuts[j]; --j) std::swap(cuts[j - 1], cuts[j]);
  }
  int count = 0;
  for (int i = 0; i + 1 < 6; ++i) {
    if (cuts[i] == cuts[i + 1] || !InWindowArea(control, w, cuts[i], false)) continue;
    if (count > 0 && runs[count - 1][1] == cuts[i]) {
      runs[count - 1][1] = cuts[i + 1];
    } else {
      runs[count][0] = cuts[i];
      runs[count++][1] = cuts[i + 1];
    }
  }
  return count;
}

void FillWindowMask(uint32_t control, const LineWindows& w, const LayerDot* sprites, int width,
                    uint8_t* mask) {
  if (!ReadsSpriteWindow(control)) {
    int runs[5][2];
    const int count = WindowAreaRuns(control, w, width, runs);
    std::memset(mask, 0, static_cast<size_t>(width));
    for (int i = 0; i < count; ++i) {
      std::memset(mask + runs[i][0], 1, static_cast<size_t>(runs[i][1] - runs[i][0]));
    }
    return;
  }
  for (int x = 0; x < width; ++x) {
    mask[x] = InWindowArea(control, w, x, sprites[x].flags & kDotSpriteWindow) ? 1 : 0;
  }
}

}  // namespace dots
