// Colour calculation over a line of dots, four at a time where the processor has SSE2: the
// same arithmetic as colour_maths.h, dot for dot.
#pragma once

#include <cstdint>

namespace dots {

// A line's dots as colour calculation takes them, dot by dot.
struct CalculatedDots {
  const uint32_t* top;        // the top image's texel
  const uint32_t* below;      // the texel of the image under it
  const uint8_t* ratio;       // the ratio (0-31) when blending
  const uint8_t* calculated;  // 0xFF where the top image is calculated, else 0
  const uint8_t* shade;       // 0xFF where the result is halved, else 0; null: nowhere
};

// out[x] for x in [0, width): the top texel, where calculated blended with the one below
// (Blend) or, in add mode, summed with it (AddSaturated); then halved where shaded.
void CalculateLine(const CalculatedDots& dots, bool add, int width, uint32_t* out);

}  // namespace dots
