// The hardware's colour arithmetic on output texels (8 bits per gun, red in the low byte):
// ratio blends and halves truncate, sums and offsets saturate.
#pragma once

#include <cstdint>

namespace dots {

// Guns of a texel spread 16 bits apart (red, green, blue from the low end), so that one
// integer multiply-add works on the three at once without carries between them.
constexpr uint64_t Spread(uint32_t t) {
  return (t & 0xFF) | (uint64_t{(t >> 8) & 0xFF} << 16) | (uint64_t{(t >> 16) & 0xFF} << 32);
}
constexpr uint32_t Gather(uint64_t s) {
  return 0xFF000000u | static_cast<uint32_t>(s & 0xFF) |
         static_cast<uint32_t>(((s >> 16) & 0xFF) << 8) |
         static_cast<uint32_t>(((s >> 32) & 0xFF) << 16);
}
constexpr uint64_t kLaneLow8 = 0x000000FF00FF00FFull;

// Ratio v (0-31): top weight 31 - v, second weight v + 1, in 32nds.
constexpr uint32_t Blend(uint32_t top, uint32_t second, uint32_t v) {
  return Gather(((Spread(top) * (31 - v) + Spread(second) * (v + 1)) >> 5) & kLaneLow8);
}

// Add mode: the two colours summed, each gun held at 0xFF.
constexpr uint32_t AddSaturated(uint32_t top, uint32_t second) {
  const uint64_t sum = Spread(top) + Spread(second);
  const uint64_t over = (sum >> 8) & 0x0000000100010001ull;  // the guns past 0xFF
  return Gather(sum | (over * 0xFF));
}

// Extended calculation's fixed mixes: 1:1 and 2:1:1.
constexpr uint32_t Mix2(uint32_t a, uint32_t b) {
  return Gather(((Spread(a) + Spread(b)) >> 1) & kLaneLow8);
}
constexpr uint32_t Mix211(uint32_t a, uint32_t b, uint32_t c) {
  return Gather(((Spread(a) * 2 + Spread(b) + Spread(c)) >> 2) & kLaneLow8);
}

// Shadow: each gun halved.
constexpr uint32_t Halve(uint32_t t) { return 0xFF000000u | ((t >> 1) & 0x7F7F7F); }

// A colour offset (-256 to +255 per gun) held as offset + 256 (0-511) per gun: a gun plus
// its biased offset (0-766) indexes the clamp table below.
struct ColourOffset {
  uint16_t biased[3];  // R, G, B
  bool operator==(const ColourOffset&) const = default;
};
constexpr ColourOffset MakeColourOffset(int red, int green, int blue) {
  return ColourOffset{{static_cast<uint16_t>(red + 256), static_cast<uint16_t>(green + 256),
                       static_cast<uint16_t>(blue + 256)}};
}
constexpr ColourOffset kNoOffset = MakeColourOffset(0, 0, 0);

// Gun + offset + 256 clamped to 0-0xFF.
struct OffsetClamp {
  uint8_t gun[768];
  constexpr OffsetClamp() : gun{} {
    for (int i = 0; i < 768; ++i)
      gun[i] = static_cast<uint8_t>(i < 256 ? 0 : (i > 511 ? 255 : i - 256));
  }
};
inline constexpr OffsetClamp kOffsetClamp{};

// The offset added, each gun clamped to 0-0xFF.
constexpr uint32_t Offset(uint32_t t, const ColourOffset& o) {
  return 0xFF000000u | kOffsetClamp.gun[(t & 0xFF) + o.biased[0]] |
         uint32_t{kOffsetClamp.gun[((t >> 8) & 0xFF) + o.biased[1]]} << 8 |
         uint32_t{kOffsetClamp.gun[((t >> 16) & 0xFF) + o.biased[2]]} << 16;
}

}  // namespace dots
