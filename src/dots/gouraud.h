// Gouraud shading: the four corner values of a part's gouraud table, their interpolation
// over the part, and their effect on one dot's colour.
#pragma once

#include <cstdint>

#include "common/bits.h"
#include "dots/stepper.h"

namespace dots {

// One gouraud value: 5 bits a channel, 0x10 neutral (table word: b14-10 B, b9-5 G, b4-0 R).
struct Shade {
  int32_t r = 16, g = 16, b = 16;

  static Shade Of(uint16_t word) {
    return {static_cast<int32_t>(vdp::Bits(word, 4, 0)),
            static_cast<int32_t>(vdp::Bits(word, 9, 5)),
            static_cast<int32_t>(vdp::Bits(word, 14, 10))};
  }
};

// One channel: original + (shade - 0x10), clamped to 0..0x1F, for original + shade 0..62.
struct ShadeClamp {
  uint8_t of[64];
  constexpr ShadeClamp() : of() {
    for (int i = 0; i < 64; ++i) of[i] = static_cast<uint8_t>(i < 16 ? 0 : (i > 47 ? 31 : i - 16));
  }
};
inline constexpr ShadeClamp kShadeClamp{};

// Per channel: original + (shade - 0x10), clamped to 0..0x1F. Bit 15 is kept.
inline uint16_t ApplyShade(uint16_t colour, const Shade& s) {
  const uint8_t* clamp = kShadeClamp.of;
  return static_cast<uint16_t>((colour & 0x8000u) | clamp[vdp::Bits(colour, 4, 0) + s.r] |
                               clamp[vdp::Bits(colour, 9, 5) + s.g] << 5 |
                               clamp[vdp::Bits(colour, 14, 10) + s.b] << 10);
}

// A shade moving from one value to another in a number of steps, each channel rounded to
// the nearest step.
class ShadeStepper {
 public:
  ShadeStepper() = default;
  ShadeStepper(const Shade& from, const Shade& to, int32_t steps)
      : r_(Stepper::Between(from.r, to.r, steps)),
        g_(Stepper::Between(from.g, to.g, steps)),
        b_(Stepper::Between(from.b, to.b, steps)) {}
  Shade Value() const { return {r_.Value(), g_.Value(), b_.Value()}; }
  void Next() {
    r_.Next();
    g_.Next();
    b_.Next();
  }
  void Skip(int32_t n) {
    r_.Skip(n);
    g_.Skip(n);
    b_.Skip(n);
  }

 private:
  Stepper r_, g_, b_;
};

}  // namespace dots
