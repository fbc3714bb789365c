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

// Per channel: original + (shade - 0x10), clamped to 0..0x1F. Bit 15 is kept.
inline uint16_t ApplyShade(uint16_t colour, const Shade& s) {
  auto channel = [](uint32_t c, int32_t g) {
    const int32_t v = static_cast<int32_t>(c) + g - 16;
    return static_cast<uint32_t>(v < 0 ? 0 : (v > 31 ? 31 : v));
  };
  return static_cast<uint16_t>((colour & 0x8000u) | channel(vdp::Bits(colour, 4, 0), s.r) |
                               channel(vdp::Bits(colour, 9, 5), s.g) << 5 |
                               channel(vdp::Bits(colour, 14, 10), s.b) << 10);
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
