// A sprite's character pattern in VDP1 VRAM: texels read in the command's colour mode and
// turned into the dot the command writes, with its transparent and end codes.
#pragma once

#include <cstdint>

#include "common/console_memory.h"
#include "dots/vdp1_command_fields.h"

namespace dots {

enum class TexelKind : uint8_t { kDot, kTransparent, kEndCode };

struct Texel {
  TexelKind kind;
  uint16_t colour;  // the 16-bit dot (bank code, table word or RGB)
};

// Bits of one texel code in a colour mode: 4, 8 or 16.
constexpr uint32_t CodeBitsOf(uint32_t mode) {
  return mode <= kLookupTable16 ? 4 : (mode == kRgb ? 16 : 8);
}

// Whether any of the codes of `bits` bits packed in `dots` is zero: a lane borrows into its
// top bit only when it is zero or a lower lane borrowed, which needs a zero lane too.
template <uint32_t kBits, class Word>
constexpr bool AnyZeroCode(Word dots) {
  constexpr Word kOnes = static_cast<Word>(~Word{0}) / ((Word{1} << kBits) - 1);  // 1 a lane
  return ((dots - kOnes) & ~dots & (kOnes << (kBits - 1))) != 0;
}

class TexelFetch {
 public:
  // Set up for one command; false for the prohibited colour modes 6 and 7, which draw
  // nothing.
  bool Begin(const vdp::ConsoleMemory& vram, const CommandFields& command, DrawMode mode);
  // On a line drawn with high-speed shrink end codes are ignored: they are colours.
  void SetShrinking(bool shrinking) { endCodes_ = endCodesOn_ && !shrinking; }
  bool EndCodes() const { return endCodes_; }
  uint32_t Mode() const { return mode_; }
  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }

  // The texel at column u, row v (0 <= u < Width, 0 <= v < Height).
  Texel At(int32_t u, int32_t v) const;
  // The texel at `index` (row-major, rows packed with no padding), the command's colour
  // mode being kMode.
  template <uint32_t kMode>
  Texel Decode(uint32_t index) const {
    return FromCode<kMode>(Code<kMode>(index));
  }
  // The texel a raw code of kMode's width gives.
  template <uint32_t kMode>
  Texel FromCode(uint32_t code) const;
  // The dot a code that is neither transparent nor an end code gives.
  template <uint32_t kMode>
  uint16_t Colour(uint32_t code) const;
  // Whether no code in `dots` (a long of kMode's codes) is an end code that counts.
  template <uint32_t kMode, class Word>
  bool NoEndCode(Word dots) const;
  // Whether every code in `dots` is a dot: no end code counts and none is transparent.
  template <uint32_t kMode, class Word>
  bool AllDots(Word dots) const {
    return NoEndCode<kMode>(dots) && (transparentDrawn_ || !AnyZeroCode<CodeBitsOf(kMode)>(dots));
  }
  // Whether code (not an end code) is drawn.
  bool Drawn(uint32_t code) const { return code != 0 || transparentDrawn_; }
  uint32_t Base() const { return base_; }
  const vdp::ConsoleMemory& Vram() const { return *vram_; }

 private:
  template <uint32_t kMode>
  uint32_t Code(uint32_t index) const;

  const vdp::ConsoleMemory* vram_ = nullptr;
  uint32_t mode_ = 0;
  uint32_t base_ = 0;
  uint16_t colour_ = 0;
  int32_t width_ = 0, height_ = 0;
  bool transparentDrawn_ = false;
  bool endCodesOn_ = false;  // ECD clear
  bool endCodes_ = false;
  uint16_t table_[16] = {};  // the lookup table's 16 words (colour mode 1)
};

// End codes per texel width. The manual's table is cut in every copy; these are the all-ones
// codes of the 4- and 8-bit modes and 0x7FFF for RGB texels.
constexpr uint32_t EndCodeOf(uint32_t mode) {
  return mode <= kLookupTable16 ? 0xFu : (mode == kRgb ? 0x7FFFu : 0xFFu);
}

template <uint32_t kMode>
inline uint32_t TexelFetch::Code(uint32_t index) const {
  if constexpr (kMode == kBank16 || kMode == kLookupTable16) {
    const uint8_t pair = vram_->ReadByte(base_ + index / 2);
    return (index & 1u) ? (pair & 0xFu) : (pair >> 4);  // left dot in the high nibble
  } else if constexpr (kMode == kRgb) {
    return vram_->ReadWord(base_ + index * 2);
  } else {
    return vram_->ReadByte(base_ + index);
  }
}

template <uint32_t kMode, class Word>
inline bool TexelFetch::NoEndCode(Word dots) const {
  constexpr uint32_t kBits = CodeBitsOf(kMode);
  constexpr Word kEnds =
      EndCodeOf(kMode) * (static_cast<Word>(~Word{0}) / ((Word{1} << kBits) - 1));
  return !endCodes_ || !AnyZeroCode<kBits>(dots ^ kEnds);
}

template <uint32_t kMode>
inline uint16_t TexelFetch::Colour(uint32_t code) const {
  uint32_t dot = code;
  if constexpr (kMode == kBank16) {
    dot = (colour_ & 0xFFF0u) | code;
  } else if constexpr (kMode == kLookupTable16) {
    dot = table_[code];
  } else if constexpr (kMode == kBank64) {
    dot = (colour_ & 0xFFC0u) | (code & 0x3Fu);
  } else if constexpr (kMode == kBank128) {
    dot = (colour_ & 0xFF80u) | (code & 0x7Fu);
  } else if constexpr (kMode == kBank256) {
    dot = (colour_ & 0xFF00u) | code;
  }
  return static_cast<uint16_t>(dot);
}

template <uint32_t kMode>
inline Texel TexelFetch::FromCode(uint32_t code) const {
  if (endCodes_ && code == EndCodeOf(kMode)) return {TexelKind::kEndCode, 0};
  // The transparent code is 0 in the texel's whole width (a 64-colour texel 0x40 is drawn).
  if (!transparentDrawn_ && code == 0) return {TexelKind::kTransparent, 0};
  return {TexelKind::kDot, Colour<kMode>(code)};
}

// A row's codes read in the order its dots are drawn, forwards or (flipped) backwards, one
// console long at a time: the texels of a long come out of its top first, the left one
// being the long's most significant. A character pattern starts on 8 bytes (CMDSRCA * 8),
// so texel i sits at place i % kPerLong of its long. Past either end of the row it reads on
// through VRAM, which repeats.
template <uint32_t kMode, bool kBackwards>
class TexelStream {
 public:
  static constexpr uint32_t kBits = CodeBitsOf(kMode);
  static constexpr uint32_t kPerLong = 32 / kBits;

  TexelStream(const vdp::ConsoleMemory& vram, uint32_t base, uint32_t index)
      : vram_(vram), at_(base + index / kPerLong * 4) {
    const uint32_t place = index % kPerLong;
    const uint32_t dots = vram_.ReadLong(at_);
    if constexpr (kBackwards) {
      dots_ = dots >> ((kPerLong - 1 - place) * kBits);
      left_ = place + 1;
    } else {
      dots_ = dots << (place * kBits);
      left_ = kPerLong - place;
    }
  }
  // Whether the texel at hand is the first of its long (in drawing order): the long is then
  // Whole(), and Whole() with the next long Pair(); Code(w, k) is the k-th texel drawn of
  // either, until SkipLongs().
  bool AtLong() const { return left_ == kPerLong; }
  uint32_t Whole() const { return dots_; }
  uint64_t Pair() const {
    const uint64_t next = vram_.ReadLong(at_ + (kBackwards ? -4u : 4u));
    return kBackwards ? next << 32 | dots_ : uint64_t{dots_} << 32 | next;
  }
  template <class Word>
  static uint32_t Code(Word dots, uint32_t k) {
    constexpr uint32_t kMask = (1u << kBits) - 1;
    if constexpr (kBackwards) return static_cast<uint32_t>(dots >> (k * kBits)) & kMask;
    return static_cast<uint32_t>(dots >> (8 * sizeof(Word) - kBits * (k + 1))) & kMask;
  }
  void SkipLongs(uint32_t n) {
    at_ += kBackwards ? 0u - 4 * n : 4 * n;
    dots_ = vram_.ReadLong(at_);
  }
  // The code of the texel at hand, then the next one.
  uint32_t Take() {
    uint32_t code;
    if constexpr (kBackwards) {
      code = dots_ & ((1u << kBits) - 1);
      dots_ >>= kBits;
    } else {
      code = dots_ >> (32 - kBits);
      dots_ <<= kBits;
    }
    if (--left_ == 0) {
      at_ += kBackwards ? -4u : 4u;
      dots_ = vram_.ReadLong(at_);
      left_ = kPerLong;
    }
    return code;
  }

 private:
  const vdp::ConsoleMemory& vram_;
  uint32_t at_, dots_, left_;
};

}  // namespace dots
