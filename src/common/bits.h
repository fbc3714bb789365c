// Bit-field helpers for register and command words.
#pragma once

#include <cstdint>

namespace vdp {

// Bits hi..lo of value, shifted down (hi >= lo, both 0..31).
constexpr uint32_t Bits(uint32_t value, unsigned hi, unsigned lo) {
  return (value >> lo) & ((hi - lo >= 31) ? 0xFFFFFFFFu : ((1u << (hi - lo + 1)) - 1u));
}

// One bit of value as 0 or 1.
constexpr uint32_t Bit(uint32_t value, unsigned n) { return (value >> n) & 1u; }

// Sign-extends the low `bits` bits of value.
constexpr int32_t SignExtend(uint32_t value, unsigned bits) {
  const uint32_t m = 1u << (bits - 1);
  const uint32_t v = value & ((bits >= 32) ? 0xFFFFFFFFu : ((1u << bits) - 1u));
  return static_cast<int32_t>((v ^ m) - m);
}

// The bytes of value in the other order (compilers make this one instruction).
constexpr uint32_t ReverseBytes(uint32_t v) {
  return (v >> 24) | ((v >> 8) & 0xFF00u) | ((v << 8) & 0xFF0000u) | (v << 24);
}
constexpr uint64_t ReverseBytes(uint64_t v) {
  return (uint64_t{ReverseBytes(static_cast<uint32_t>(v))} << 32) |
         ReverseBytes(static_cast<uint32_t>(v >> 32));
}

}  // namespace vdp
