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

// An RGB colour's guns ready for shading by the packed values of a ShadeStepper: three
// table loads a dot, the colour's own fields taken apart once.
class ShadedColour {
 public:
  explicit ShadedColour(uint16_t colour)
      : r_(kShadeClamp.of + vdp::Bits(colour, 4, 0)),
        g_(kShadeClamp.of + vdp::Bits(colour, 9, 5)),
        b_(kShadeClamp.of + vdp::Bits(colour, 14, 10)),
        msb_(colour & 0x8000u) {}
  // ApplyShade(colour, shade) for the shade in lanes (ShadeStepper::Lanes).
  uint16_t Of(uint64_t lanes) const { return static_cast<uint16_t>(msb_ | Guns(lanes)); }
  // Two shaded dots as a host long holds them, the first in the upper half.
  uint32_t Pair(uint64_t first, uint64_t second) const {
    return (Guns(first) << 16 | Guns(second)) | msb_ * 0x10001u;
  }

 private:
  uint32_t Guns(uint64_t lanes) const {
    return r_[lanes & 0x1F] | g_[(lanes >> 16) & 0x1F] << 5 | b_[(lanes >> 32) & 0x1F] << 10;
  }

  const uint8_t *r_, *g_, *b_;
  uint32_t msb_;
};

// Per channel: original + (shade - 0x10), clamped to 0..0x1F. Bit 15 is kept.
inline uint16_t ApplyShade(uint16_t colour, const Shade& s) {
  return ShadedColour(colour).Of(static_cast<uint64_t>(s.r) | static_cast<uint64_t>(s.g) << 16 |
                                 static_cast<uint64_t>(s.b) << 32);
}

// A shade moving from one value to another in a number of steps, each channel rounded to
// the nearest step (Stepper::Between per channel). The three channels share a denominator,
// so they step together in 16-bit lanes of one 64-bit word: R, G, B in lanes 0, 1, 2. A
// lane's remainder is kept biased by 0x8000 - denominator, so that bit 15 of the lane is the
// channel's carry; a line has at most 8,191 steps (13-bit coordinates), so the denominator
// (twice the steps) stays below 0x8000 and no lane overflows into the next.
class ShadeStepper {
 public:
  ShadeStepper() = default;
  ShadeStepper(const Shade& from, const Shade& to, int32_t steps) {
    const int32_t m = steps < 1 ? 1 : (steps > kMaxSteps ? kMaxSteps : steps);
    const int32_t denominator = 2 * m;
    // Between: start 2am + m over 2m is a with remainder m, and 2(b - a) a step.
    const auto channel = [&](int32_t a, int32_t b, int shift) {
      // Rounded down: mostly a channel moves by less than a step's worth in all.
      const int32_t n = 2 * (b - a);
      const int32_t w = n >= 0 ? (n < denominator ? 0 : n / denominator)
                               : (n >= -denominator ? -1 : FloorDiv(n, denominator));
      wholes_[shift / 16] = static_cast<int8_t>(w);
      value_ |= static_cast<uint64_t>(a) << shift;
      rest_ |= static_cast<uint64_t>(m + kBias - denominator) << shift;
      whole_ += static_cast<uint64_t>(static_cast<int64_t>(w) * (int64_t{1} << shift));
      part_ |= static_cast<uint64_t>(n - w * denominator) << shift;
    };
    value_ = rest_ = whole_ = part_ = 0;
    channel(from.r, to.r, 0);
    channel(from.g, to.g, 16);
    channel(from.b, to.b, 32);
    denominator_ = static_cast<uint64_t>(denominator);
  }
  Shade Value() const { return Unpacked(value_); }
  // A value packed as Lanes() gives it, as three channels.
  static Shade Unpacked(uint64_t lanes) {
    // 5 bits a channel, whatever was stepped: an index into kShadeClamp stays inside it.
    return {static_cast<int32_t>(lanes & 0x1F), static_cast<int32_t>((lanes >> 16) & 0x1F),
            static_cast<int32_t>((lanes >> 32) & 0x1F)};
  }
  // The value packed: R, G and B in bits 4-0, 20-16 and 36-32 (and zeros above each).
  uint64_t Lanes() const { return value_; }
  void Next() {
    rest_ += part_;
    const uint64_t carry = (rest_ >> 15) & kLaneOnes;
    rest_ -= carry * denominator_;
    value_ += whole_ + carry;
  }
  // n steps at once (n >= 0).
  void Skip(int32_t n) {
    const auto d = static_cast<int64_t>(denominator_);
    uint64_t value = 0, rest = 0;
    for (int shift = 32; shift >= 0; shift -= 16) {
      const int64_t r = static_cast<int64_t>((rest_ >> shift) & 0xFFFF) - (kBias - d);
      const int64_t moved = r + static_cast<int64_t>((part_ >> shift) & 0xFFFF) * n;
      const int64_t v = static_cast<int64_t>((value_ >> shift) & 0xFF) +
                        int64_t{wholes_[shift / 16]} * n + moved / d;
      value = value << 16 | static_cast<uint64_t>(v);
      rest = rest << 16 | static_cast<uint64_t>(moved % d + kBias - d);
    }
    value_ = value;
    rest_ = rest;
  }

 private:
  static constexpr int32_t kMaxSteps = 0x3FFF;
  static constexpr int64_t kLane = 0x10000, kBias = 0x8000;
  static constexpr uint64_t kLaneOnes = 0x000000010001'0001ull;
  uint64_t value_ = 0x10'0010'0010ull, rest_ = 0, whole_ = 0, part_ = 0, denominator_ = 1;
  int8_t wholes_[3] = {};  // each lane's whole step (-31..31), for Skip
};

}  // namespace dots
