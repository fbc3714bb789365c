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

// Dot formats: bits of a raw dot, bytes per 8-dot row, reading dot x of a row, the transparent
// code, and the colour address (palette formats) or texel (RGB formats) of a dot.
struct Palette16 {
  static constexpr uint32_t kDotBits = 4;
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
  static constexpr uint32_t kDotBits = 8;
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
  static constexpr uint32_t kDotBits = 16;
  static constexpr uint32_t kRowBytes = 16;
  static constexpr bool kRgb = false;
  static uint32_t Read(const vdp::ConsoleMemory& v, uint32_t row, uint32_t x) {
    return v.ReadWord(row + x * 2);
  }
  static bool Transparent(uint32_t dot) { return (dot & 0x7FF) == 0; }
  static uint32_t ColourAddress(uint32_t dot, uint32_t) { return dot & 0x7FF; }
};
struct Rgb15 {
  static constexpr uint32_t kDotBits = 16;
  static constexpr uint32_t kRowBytes = 16;
  static constexpr bool kRgb = true;
  static uint32_t Read(const vdp::ConsoleMemory& v, uint32_t row, uint32_t x) {
    return v.ReadWord(row + x * 2);
  }
  static bool Transparent(uint32_t dot) { return (dot & 0x8000) == 0; }
  static uint32_t Texel(uint32_t dot) { return vdp::Rgb555ToTexel(dot); }
};
struct Rgb24 {
  static constexpr uint32_t kDotBits = 32;
  static constexpr uint32_t kRowBytes = 32;
  static constexpr bool kRgb = true;
  static uint32_t Read(const vdp::ConsoleMemory& v, uint32_t row, uint32_t x) {
    return v.ReadLong(row + x * 4);
  }
  static bool Transparent(uint32_t dot) { return (dot >> 31) == 0; }
  // Bits 23-16 blue, 15-8 green, 7-0 red: already the texel's byte order.
  static uint32_t Texel(uint32_t dot) { return 0xFF000000u | (dot & 0xFFFFFF); }
};

// What a character (or a bitmap's line) gives each of its dots: the colour address its
// palette and the colour RAM offset start from, its priority number without and with a
// special function code match (they differ in special priority mode 2 only), its flags.
struct DotBase {
  uint32_t colourBase;
  uint8_t priority, specialPriority;
  uint8_t flags;
};

// What a character gives its dots' colours: the layer dots of its palette by raw dot (16
// and 256 colours, see DotTable; at 16 colours also by pair of dots when the table has
// them, else null), or its DotBase (the other formats).
struct CharacterColours {
  const LayerDot* dots;
  const LayerDot* pairs;
  DotBase base;
};

// A screen's colour settings for one line.
struct ScreenColours {
  ColourRam cram;       // a copy: a loop's copy of these settings stays in registers
  uint32_t cramOffset;  // added to colour address bits 10-8
  bool zeroOpaque;      // TPON: the transparent code shows
  uint32_t priority;    // PRIN
  uint32_t priorityMode;
  uint32_t specialCode;  // the selected 8-bit special function code

  // What a character of this palette and these flags gives its dots of format F.
  template <class F>
  DotBase Base(uint32_t palette, uint8_t flags) const {
    // Special priority: the LSB from the PR bit, or from PR and a code match (mode 3 is
    // not a hardware setting and reads as mode 0).
    const uint32_t pr = (flags & kDotPr) ? 1 : 0;
    uint32_t p = priority, special = priority;
    if (priorityMode == 1) p = special = (priority & 6) | pr;
    if (priorityMode == 2) p = priority & 6, special = (priority & 6) | pr;
    // The palette fills the colour address bits above the dot's, so adding is or-ing.
    uint32_t base = 0;
    if constexpr (!F::kRgb) base = F::ColourAddress(0, palette) + cramOffset;
    return DotBase{base, static_cast<uint8_t>(p), static_cast<uint8_t>(special),
                   static_cast<uint8_t>(flags | (F::kRgb ? kDotRgb : 0))};
  }

  // The layer dot of a raw dot of format F.
  template <class F>
  LayerDot Dot(uint32_t dot, const DotBase& b) const {
    if (!zeroOpaque && F::Transparent(dot)) return LayerDot{0, 0, 0, 0};
    const bool special = (specialCode >> ((dot & 0xF) >> 1)) & 1;
    const uint8_t p = special ? b.specialPriority : b.priority;
    if (p == 0) return LayerDot{0, 0, 0, 0};
    uint8_t flags = static_cast<uint8_t>(b.flags | (special ? kDotSpecial : 0));
    uint32_t texel;
    if constexpr (F::kRgb) {
      texel = F::Texel(dot);
    } else {
      bool msb;
      texel = cram.Texel((b.colourBase + F::ColourAddress(dot, 0)) & 0x7FF, msb);
      flags |= msb ? kDotCramMsb : 0;
    }
    return LayerDot{texel, p, flags, static_cast<uint16_t>(dot)};
  }

  template <class F>
  LayerDot Make(uint32_t dot, uint32_t palette, uint8_t flags) const {
    return Dot<F>(dot, Base<F>(palette, flags));
  }
};

// The 8 raw dots of a cell row at row (aligned to its size), left to right: 16- and
// 256-colour rows are read a long (4 or 8 dots) at a time.
template <class F>
void ReadRow(const vdp::ConsoleMemory& vram, uint32_t row, uint32_t raw[8]) {
  if constexpr (F::kRowBytes == 4) {
    const uint32_t dots = vram.ReadLong(row);  // the console long: left dot on top
    for (uint32_t i = 0; i < 8; ++i) raw[i] = (dots >> (28 - 4 * i)) & 0xF;
  } else if constexpr (F::kRowBytes == 8) {
    for (uint32_t half = 0; half < 2; ++half) {
      const uint32_t dots = vram.ReadLong(row + half * 4);
      for (uint32_t i = 0; i < 4; ++i) raw[half * 4 + i] = (dots >> (24 - 8 * i)) & 0xFF;
    }
  } else {
    for (uint32_t i = 0; i < 8; ++i) raw[i] = F::Read(vram, row, i);
  }
}

// The raw dot at (cx, cy) of a character at address, counted after its flips (0-15 for
// 2x2 characters, whose cells lie UL, UR, LL, LR; 0-7 for one cell, kLarge false).
template <class F, bool kLarge = true>
[[gnu::always_inline]] inline uint32_t TurnedCharacterDot(const vdp::ConsoleMemory& vram,
                                                          uint32_t address, uint32_t cx,
                                                          uint32_t cy) {
  uint32_t row = address + (cy & 7) * F::kRowBytes;
  if constexpr (kLarge) row += (((cy >> 3) << 1) | (cx >> 3)) * 8 * F::kRowBytes;
  return F::Read(vram, row, cx & 7);
}

// The raw dot at (x, y) of a character (low bits of map coordinates; charMask 7 or 15).
// Flips turn the whole character, so a 2x2 character's cells change places too.
template <class F>
[[gnu::always_inline]] inline uint32_t CharacterDot(const vdp::ConsoleMemory& vram,
                                                    const Character& ch, uint32_t x, uint32_t y,
                                                    uint32_t charMask) {
  return TurnedCharacterDot<F>(vram, ch.address, (x & charMask) ^ (ch.hFlip ? charMask : 0),
                               (y & charMask) ^ (ch.vFlip ? charMask : 0));
}

}  // namespace dots
