// Rectangle windows for the rotation-parameter window.
#include "dots/rotation_window.h"

#include "dots/rotation_registers.h"

namespace dots {

void RotationWindowLine(int y, const DisplayMode& mode, RegisterView regs, uint8_t* inB) {
  const uint32_t control = regs.Field(reg::WCTLD, 7, 0);
  const bool useAnd = control & 0x80;
  // X registers count half dots in 320/352-dot modes; in double density the Y registers
  // count field lines in bits 8-1.
  const uint32_t shiftX = mode.hiRes ? 0 : 1;
  const int line = mode.doubleDensity ? mode.HostLine(y) : y;
  int start[2], end[2];
  bool onLine[2], used[2], outside[2];
  for (int w = 0; w < 2; ++w) {
    const uint32_t base = reg::WPSX0 + w * 8;
    start[w] = static_cast<int>((regs[base] & 0x3FF) >> shiftX);
    end[w] = static_cast<int>((regs[base + 4] & 0x3FF) >> shiftX);
    const int top = static_cast<int>((regs[base + 2] & 0x1FF) >> (mode.doubleDensity ? 1 : 0));
    const int bottom = static_cast<int>((regs[base + 6] & 0x1FF) >> (mode.doubleDensity ? 1 : 0));
    onLine[w] = top <= line && line <= bottom;
    used[w] = (control >> (w * 2 + 1)) & 1;
    outside[w] = (control >> (w * 2)) & 1;
  }
  for (int x = 0; x < mode.width; ++x) {
    bool area = useAnd;  // no window enabled: nowhere with OR, everywhere with AND
    for (int w = 0; w < 2; ++w) {
      if (!used[w]) continue;
      const bool in = (onLine[w] && start[w] <= x && x <= end[w]) != outside[w];
      area = useAnd ? area && in : area || in;
    }
    inB[x] = area ? 1 : 0;
  }
}

}  // namespace dots
