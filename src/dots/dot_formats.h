// The scroll screens' dot formats (16 to 16.7M colours) and how a raw dot becomes a layer
// dot: transparency, special priority and function code, colour RAM or RGB. Shared by the
// normal (NBG) and rotating (RBG) screens.
#pragma once

#include <cstdint>

#include "common/console_memory.h"
#include "common/rgb555.h"
#include "dots/colour_ram.h"
#include "dots/layer_line.h"
#include "dots/pattern_name.h"

namespace dots {

// Dot formats: bytes per 8-dot row, reading dot x of a row, the transparent code, and the
// colour address (palette formats) or texel (RGB formats) of a dot.
struct Palette16 {
  static constexpr uint32_t kRowBytes = 4;
  static constexpr bool kRgb = false;
  static uint32_t Read(const vdp::ConsoleMemory& v, uint32_t row, uint32_t x) {
    const uint32_t pair = v.ReadByte(row + (x >> 1));  // left dot in the high nibble
    return x & 1 ? pair & 0xF : pair >> 4;
  }
  static bool Transparent(uint32_t dot) { return dot == 0; }
  static uint32_t ColourAddress(uint32_t dot, uint32_t palette) { return (palette << 4) | dot; }
};
struct Palette256 {
  static constexpr uint32_t kRowBytes = 8;
  static constexpr bool kRgb = false;
  static uint32_t Read(const vdp::ConsoleMemory& v, uint32_t row, uint32_t x) {
    return v.ReadByte(row + x);
  }
  static bool Transparent(uint32_t dot) { return dot == 0; }
  static uint32_t ColourAddress(uint32_t dot, uint32_t palette) {
    return ((palette & 0x70) << 4) | dot;
  }
};
struct Palette2048 {
  static constexpr uint32_t kRowBytes = 16;
  static constexpr bool kRgb = false;
  static uint32_t Read(const vdp::ConsoleMemory& v, uint32_t row, uint32_t x) {
    return v.ReadWord(row + x * 2);
  }
  static bool Transparent(uint32_t dot) { return (dot & 0x7FF) == 0; }
  static uint32_t ColourAddress(uint32_t dot, uint32_t) { return dot & 0x7FF; }
};
struct Rgb15 {
  static constexpr uint32_t kRowBytes = 16;
  static constexpr bool kRgb = true;
  static uint32_t Read(const vdp::ConsoleMemory& v, uint32_t row, uint32_t x) {
    return v.ReadWord(row + x * 2);
  }
  static bool Transparent(uint32_t dot) { return (dot & 0x8000) == 0; }
  static uint32_t Texel(uint32_t dot) { return vdp::Rgb555ToTexel(dot); }
};
struct Rgb24 {
  static constexpr uint32_t kRowBytes = 32;
  static constexpr bool kRgb = true;
  static uint32_t Read(const vdp::ConsoleMemory& v, uint32_t row, uint32_t x) {
    return v.ReadLong(row + x * 4);
  }
  static bool Transparent(uint32_t dot) { return (dot >> 31) == 0; }
  // Bits 23-16 blue, 15-8 green, 7-0 red: already the texel's byte order.
  static uint32_t Texel(uint32_t dot) { return 0xFF000000u | (dot & 0xFFFFFF); }
};

// A screen's colour settings for one line.
struct ScreenColours {
  const ColourRam* cram;
  uint32_t cramOffset;  // added to colour address bits 10-8
  bool zeroOpaque;      // TPON: the transparent code shows
  uint32_t priority;    // PRIN
  uint32_t priorityMode;
  uint32_t specialCode;  // the selected 8-bit special function code

  // The layer dot of a raw dot of format F.
  template <class F>
  LayerDot Make(uint32_t dot, uint32_t palette, uint8_t flags) const {
    if (!zeroOpaque && F::Transparent(dot)) return LayerDot{0, 0, 0, 0};
    const bool special = (specialCode >> ((dot & 0xF) >> 1)) & 1;
    uint32_t p = priority;
    // Special priority: the LSB from the PR bit, or from PR and a code match (mode 3 is
    // not a hardware setting and reads as mode 0).
    if (priorityMode == 1) p = (p & 6) | ((flags & kDotPr) ? 1 : 0);
    if (priorityMode == 2) p = (p & 6) | ((flags & kDotPr) && special ? 1 : 0);
    if (p == 0) return LayerDot{0, 0, 0, 0};
    flags |= special ? kDotSpecial : 0;
    uint32_t texel;
    if constexpr (F::kRgb) {
      texel = F::Texel(dot);
      flags |= kDotRgb;
    } else {
      bool msb;
      texel = cram->Texel((F::ColourAddress(dot, palette) + cramOffset) & 0x7FF, msb);
      flags |= msb ? kDotCramMsb : 0;
    }
    return LayerDot{texel, static_cast<uint8_t>(p), flags, static_cast<uint16_t>(dot)};
  }
};

// The raw dot at (x, y) of a character (low bits of map coordinates; charMask 7 or 15).
// Flips turn the whole character, so a 2x2 character's cells change places too.
template <class F>
uint32_t CharacterDot(const vdp::ConsoleMemory& vram, const Character& ch, uint32_t x, uint32_t y,
                      uint32_t charMask) {
  const uint32_t cx = (x & charMask) ^ (ch.hFlip ? charMask : 0);
  const uint32_t cy = (y & charMask) ^ (ch.vFlip ? charMask : 0);
  const uint32_t cell = ((cy >> 3) << 1) | (cx >> 3);  // UL, UR, LL, LR
  const uint32_t row = ch.address + cell * 8 * F::kRowBytes + (cy & 7) * F::kRowBytes;
  return F::Read(vram, row, cx & 7);
}

}  // namespace dots
