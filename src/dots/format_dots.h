// How a screen's raw dots of one format become layer dots on a line: through the screen's
// dot table (16 and 256 colours), or one by one from the character's colour base.
#pragma once

#include <cstring>
#include <type_traits>

#include "common/bits.h"
#include "common/console_memory.h"
#include "dots/cell_map.h"
#include "dots/dot_formats.h"
#include "dots/dot_table.h"

namespace dots {

// How raw dots of format F become layer dots: by ScreenColours::Dot from the character's
// base...
template <class F>
class DirectDots {
 public:
  DirectDots(const ScreenColours& colours, DotTable& table) : colours_(colours), table_(table) {
    table_.Use<F>(colours);  // for its stamp, which names these settings
  }
  uint64_t Stamp() const { return table_.Stamp(); }
  CharacterColours Colours(uint32_t palette, uint8_t flags) const {
    return CharacterColours{nullptr, nullptr, colours_.Base<F>(palette, flags)};
  }
  void Start(uint32_t palette, uint8_t flags) { base_ = Colours(palette, flags).base; }
  LayerDot Dot(uint32_t raw) const { return colours_.Dot<F>(raw, base_); }
  void Put(uint32_t raw, LayerDot* out) const { *out = Dot(raw); }
  // count dots of the cell's row r from its dot first (counted after a flip).
  void Row(const CellColumn& c, const vdp::ConsoleMemory& vram, uint32_t r, uint32_t first,
           int count, LayerDot* out) const {
    uint32_t raw[8];
    ReadRow<F>(vram, 4 * c.RowLong(r, F::kRowBytes / 4), raw);
    for (int k = 0; k < count; ++k)
      out[k] = colours_.Dot<F>(raw[(first + k) ^ (c.hFlip ? 7 : 0)], c.colours.base);
  }

 private:
  const ScreenColours colours_;  // held in registers while a line is written
  DotTable& table_;
  DotBase base_{};
};

// ... or, at 16 and 256 colours, from the screen's table of the character's palette.
template <class F>
class TabledDots {
 public:
  TabledDots(const ScreenColours& colours, DotTable& table) : colours_(colours), table_(table) {
    table_.Use<F>(colours);
  }
  uint64_t Stamp() const { return table_.Stamp(); }
  CharacterColours Colours(uint32_t palette, uint8_t flags) const {
    return CharacterColours{
        table_.Dots<F>(colours_, palette, flags), table_.Pairs<F>(colours_, palette, flags), {}};
  }
  void Start(uint32_t palette, uint8_t flags) { dots_ = table_.Dots<F>(colours_, palette, flags); }
  LayerDot Dot(uint32_t raw) const { return dots_[raw]; }
  void Put(uint32_t raw, LayerDot* out) const { std::memcpy(out, dots_ + raw, sizeof(LayerDot)); }
  void Row(const CellColumn& c, const vdp::ConsoleMemory& vram, uint32_t r, uint32_t first,
           int count, LayerDot* out) const {
    // The row's dots packed, the one to show first in the top bits.
    using Packed = std::conditional_t<F::kDotBits == 4, uint32_t, uint64_t>;
    constexpr uint32_t kTop = sizeof(Packed) * 8 - F::kDotBits;
    // Read before out is written, which the compiler cannot tell from c.
    const LayerDot* const pairs = c.colours.pairs;
    const uint32_t at = c.RowLong(r, F::kRowBytes / 4);
    Packed row = vram.LongAt(at);  // the console long: left dot on top
    if constexpr (F::kDotBits == 8) row = (row << 32) | vram.LongAt(at + 1);
    if (c.hFlip) row = Mirror(row);
    if (F::kDotBits == 4 && count == 8 && pairs) {  // the whole row, two dots a copy
      // Byte k of the row, times the 16 bytes of a pair, is the pair's offset.
      const auto* const bytes = reinterpret_cast<const uint8_t*>(pairs);
      constexpr uint32_t kPair = 2 * sizeof(LayerDot);
      static_assert(kPair == 16);
      std::memcpy(out, bytes + ((row >> 20) & 0xFF0), kPair);
      std::memcpy(out + 2, bytes + ((row >> 12) & 0xFF0), kPair);
      std::memcpy(out + 4, bytes + ((row >> 4) & 0xFF0), kPair);
      std::memcpy(out + 6, bytes + ((row << 4) & 0xFF0), kPair);
      return;
    }
    const LayerDot* const dots = c.colours.dots;
    if (count == 8) {  // the whole row: fixed shifts
#pragma GCC unroll 8
      for (uint32_t k = 0; k < 8; ++k) {
        out[k] = dots[(row >> (kTop - k * F::kDotBits)) & ((1u << F::kDotBits) - 1)];
      }
      return;
    }
    row <<= first * F::kDotBits;
    for (int k = 0; k < count; ++k, row <<= F::kDotBits) out[k] = dots[row >> kTop];
  }

 private:
  // The 8 dots of a packed row in the other order.
  static uint32_t Mirror(uint32_t nibbles) {
    const uint32_t swapped = ((nibbles >> 4) & 0x0F0F0F0Fu) | ((nibbles & 0x0F0F0F0Fu) << 4);
    return vdp::ReverseBytes(swapped);
  }
  static uint64_t Mirror(uint64_t bytes) { return vdp::ReverseBytes(bytes); }

  const ScreenColours colours_;
  DotTable& table_;
  const LayerDot* dots_ = nullptr;
};

template <class F>
using FormatDots = std::conditional_t<kTabledFormat<F>, TabledDots<F>, DirectDots<F>>;

}  // namespace dots
