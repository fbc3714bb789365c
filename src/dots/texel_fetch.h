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
  Texel Decode(uint32_t index) const;

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

template <uint32_t kMode>
inline Texel TexelFetch::Decode(uint32_t index) const {
  const uint32_t code = Code<kMode>(index);
  if (endCodes_ && code == EndCodeOf(kMode)) return {TexelKind::kEndCode, 0};
  // The transparent code is 0 in the texel's whole width (a 64-colour texel 0x40 is drawn).
  if (!transparentDrawn_ && code == 0) return {TexelKind::kTransparent, 0};
  uint32_t dot = code;
  if constexpr (kMode == kBank16) {
    dot = (colour_ & 0xFFF0u) | code;
  } else if constexpr (kMode == kLookupTable16) {  // 16 words at CMDCOLR * 8
    dot = vram_->ReadWord(uint32_t{colour_} * 8u + code * 2u);
  } else if constexpr (kMode == kBank64) {
    dot = (colour_ & 0xFFC0u) | (code & 0x3Fu);
  } else if constexpr (kMode == kBank128) {
    dot = (colour_ & 0xFF80u) | (code & 0x7Fu);
  } else if constexpr (kMode == kBank256) {
    dot = (colour_ & 0xFF00u) | code;
  }
  return {TexelKind::kDot, static_cast<uint16_t>(dot)};
}

}  // namespace dots
