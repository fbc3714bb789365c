// Console 15-bit colours as RGBA texels.
#pragma once

#include <cstdint>

namespace vdp {

// Texel of a console colour word: bits 4-0 red, 9-5 green, 14-10 blue, bit 15 ignored.
// Stored little-endian the bytes are R, G, B, A = 0xFF (GL_RGBA / GL_UNSIGNED_BYTE); the
// low three bits of each channel stay 0.
constexpr uint32_t Rgb555ToTexel(uint32_t c) {
  return 0xFF000000u | (((c >> 10) & 31u) << 19) | (((c >> 5) & 31u) << 11) | ((c & 31u) << 3);
}

// 65,536 texels indexed by the whole 16-bit colour word.
struct Rgb555Table {
  uint32_t entries[65536];
  void Fill() {
    for (uint32_t i = 0; i < 65536; ++i) entries[i] = Rgb555ToTexel(i);
  }
  uint32_t operator[](uint32_t i) const { return entries[i & 0xFFFF]; }
};

}  // namespace vdp
