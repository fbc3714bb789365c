// One layer's dots on one line, as every layer hands them to the composition pass.
#pragma once

#include <cstdint>
#include <cstring>

#include "dots/picture.h"

namespace dots {

// What a layer says about one screen dot. A dot that does not show (transparent code,
// priority number 0, screen off) has priority 0; a shadow-only sprite dot (kDotShadeBelow)
// keeps its priority, which decides whether it casts its shadow.
struct LayerDot {
  uint32_t texel;    // colour as an output texel (8 bits per gun)
  uint8_t priority;  // 1-7 when shown
  uint8_t flags;     // kDot... bits below, kept for colour calculation, shadow and windows
  // Scroll screens: the raw dot code (special function codes compare its low 4 bits).
  // Sprites: the 3-bit colour-calculation number that selects a CCRS ratio.
  uint16_t code;
};

// dots[0, count) = dot, eight dots a pass.
inline void FillDots(LayerDot* dots, const LayerDot& dot, int count) {
  const LayerDot eight[8] = {dot, dot, dot, dot, dot, dot, dot, dot};
  int i = 0;
  for (; i + 8 <= count; i += 8) std::memcpy(dots + i, eight, sizeof(eight));
  for (; i < count; ++i) dots[i] = dot;
}

// dots[0, count) = the dot that does not show (all fields 0).
inline void ClearDots(LayerDot* dots, int count) { FillDots(dots, LayerDot{}, count); }

constexpr uint8_t kDotCc = 1 << 0;            // pattern name / bitmap CC bit
constexpr uint8_t kDotPr = 1 << 1;            // pattern name / bitmap special-priority bit
constexpr uint8_t kDotCramMsb = 1 << 2;       // bit 15 (bit 31) of the colour RAM entry
constexpr uint8_t kDotRgb = 1 << 3;           // RGB data, not a palette colour
constexpr uint8_t kDotSpecial = 1 << 4;       // the dot code matches the special function code
constexpr uint8_t kDotShadeSelf = 1 << 5;     // sprite shadow: shown, and shaded
constexpr uint8_t kDotShadeBelow = 1 << 6;    // normal or transparent shadow: shades below
constexpr uint8_t kDotSpriteWindow = 1 << 7;  // inside the sprite window (SPWINEN)

// The layers in the order that breaks priority ties: the first one wins. RBG1 draws in
// NBG0's place (no NBG shows with it).
enum Layer : int { kSprite = 0, kRbg0, kNbg0, kNbg1, kNbg2, kNbg3, kLayerCount };

using LayerLine = LayerDot[Picture::kMaxWidth];

}  // namespace dots
