// Windows: the W0 and W1 spans of a line (rectangles or line-window tables), the sprite
// window, and the window-control fields that combine them for a screen's transparency,
// for colour calculation and for the rotation parameters.
#pragma once

#include <cstdint>

#include "common/console_memory.h"
#include "dots/display_mode.h"
#include "dots/layer_line.h"
#include "dots/vdp2_registers.h"

namespace dots {

// The picture dots W0 and W1 cover on one line, both ends inside; a window that misses
// the line, or whose start lies after its end, has begin > end.
struct LineWindows {
  int begin[2], end[2];
};

LineWindows ComputeLineWindows(int y, const DisplayMode& mode, RegisterView regs,
                               const vdp::ConsoleMemory& vram);

// The window-control fields of WCTLA-WCTLD, in register order.
enum WindowField : int {
  kWindowNbg0 = 0,  // also RBG1
  kWindowNbg1,      // also EXBG
  kWindowNbg2,
  kWindowNbg3,
  kWindowRbg0,
  kWindowSprite,
  kWindowRotationParameters,
  kWindowColourCalculation,
};

inline uint32_t WindowControl(RegisterView regs, WindowField field) {
  return regs.Field(reg::WCTLA + (field >> 1) * 2, (field & 1) * 8 + 7, (field & 1) * 8);
}

// Whether a field acts on the line at all: some window enabled, or AND logic with none
// enabled, which makes the whole line the area.
inline bool WindowActive(uint32_t control) { return (control & 0xAA) != 0; }

// Whether dot x is in the field's area: each enabled window gives its inside (area bit 0)
// or its outside (area bit 1), and the enabled ones are ORed, or ANDed with LOG.
inline bool InWindowArea(uint32_t control, const LineWindows& w, int x, bool inSpriteWindow) {
  const uint32_t inside = (x >= w.begin[0] && x <= w.end[0] ? 1u : 0u) |
                          (x >= w.begin[1] && x <= w.end[1] ? 4u : 0u) |
                          (inSpriteWindow ? 16u : 0u);
  const uint32_t enabled = (control >> 1) & 0x15;  // the E bits over their A bits
  const uint32_t area = (inside ^ control) & enabled;
  return control & 0x80 ? area == enabled : area != 0;
}

// Whether the field reads the sprite window (its enable bit): else its area changes only
// where W0 and W1 begin and end.
inline bool ReadsSpriteWindow(uint32_t control) { return (control & 0x20) != 0; }

// For a field that does not read the sprite window: the runs [runs[i][0], runs[i][1]) of
// dots 0 to width - 1 in its area, left to right; answers how many (at most 5).
int WindowAreaRuns(uint32_t control, const LineWindows& w, int width, int runs[5][2]);

// mask[x] = 1 where dot x of the line is in the field's area; sprites: the line's sprite
// dots, whose kDotSpriteWindow bits are the sprite window.
void FillWindowMask(uint32_t control, const LineWindows& w, const LayerDot* sprites, int width,
                    uint8_t* mask);

}  // namespace dots
