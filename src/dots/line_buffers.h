// The scratch one thread composes picture lines in: the layers' lines and what composition
// reads besides them, and the tables the screens keep from line to line.
#pragma once

#include <cstdint>

#include "dots/composition_rules.h"
#include "dots/layer_line.h"
#include "dots/picture.h"
#include "dots/scroll_screen.h"

namespace dots {

// Scratch lines for composing one picture line; one set per thread that composes lines.
struct LineBuffers {
  ScrollScreenCache screens[4];  // NBG0-NBG3's, kept from line to line
  DotTable rotationDots[2];      // RBG0's and RBG1's
  LayerLine layers[kLayerCount];
  LayerLine back;       // the back screen's dot under every dot, for passes that read it as a layer
  LayerDot backHeld{};  // what back holds over its first backWidth dots
  int backWidth = 0;
  uint8_t noColourCalculation[Picture::kMaxWidth];  // the colour-calculation window's area
  // The line colour screen's colour RAM address under each dot: the line's table entry,
  // its low 7 bits replaced where RBG0's coefficient carries line colour (KLCE). Made
  // only on lines where RBG0 is on.
  uint16_t lineColour[Picture::kMaxWidth];
  // The last line's rules, and the registers (the copy of them) and period they came from.
  LineRules rules{};
  const uint16_t* rulesRegisters = nullptr;
  uint64_t rulesStamp = 0;
};

}  // namespace dots
