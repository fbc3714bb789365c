// The picture's size and line structure, from TVMD.
#pragma once

#include <cstdint>

#include "common/bits.h"

namespace dots {

struct DisplayMode {
  int width = 320;
  int height = 224;
  bool displayOn = false;      // TVMD DISP
  bool borderIsBack = false;   // TVMD BDCLMD
  bool doubleDensity = false;  // two picture lines per host line
  bool hiRes = false;          // 640 or 704 dots

  // Prohibited codes read as the nearest legal setting: VRESO 11 as 240 lines, LSMD 01 as
  // non-interlace. Single-density interlace shows one picture of 224-256 lines in both
  // fields, so its picture lines are those of non-interlace.
  static DisplayMode FromTvmd(uint32_t tvmd) {
    static constexpr int kWidths[4] = {320, 352, 640, 704};
    static constexpr int kHeights[4] = {224, 240, 256, 240};
    DisplayMode m;
    m.width = kWidths[vdp::Bits(tvmd, 1, 0)];
    m.hiRes = m.width >= 640;
    m.displayOn = vdp::Bit(tvmd, 15);
    m.borderIsBack = vdp::Bit(tvmd, 8);
    if (vdp::Bit(tvmd, 2)) {
      m.height = 480;  // exclusive monitor: 480 progressive lines
    } else {
      m.doubleDensity = vdp::Bits(tvmd, 7, 6) == 3;
      m.height = kHeights[vdp::Bits(tvmd, 5, 4)] << (m.doubleDensity ? 1 : 0);
    }
    return m;
  }
  // The host line (the line the log names) that shows picture line y.
  int HostLine(int y) const { return doubleDensity ? y >> 1 : y; }
};

}  // namespace dots
