// The dot-by-dot renderer's output: the displayed picture as RGBA texels at the display
// resolution, in a fixed buffer of the largest resolution.
#pragma once

#include <cstdint>

namespace dots {

struct Picture {
  static constexpr int kMaxWidth = 704;
  static constexpr int kMaxHeight = 512;
  // Texels between the starts of two rows.
  static constexpr int kPitch = kMaxWidth;

  int width = 320;
  int height = 224;
  // Little-endian bytes R, G, B, A = 0xFF, as vdp::Rgb555ToTexel builds them.
  uint32_t texels[kMaxWidth * kMaxHeight];

  uint32_t* Row(int y) { return texels + y * kPitch; }
  const uint32_t* Row(int y) const { return texels + y * kPitch; }
};

}  // namespace dots
