// Texel reads and colour-mode decoding for VDP1 sprites.
#include "dots/texel_fetch.h"

namespace dots {

namespace {

// End codes per texel width. The manual's table is cut in every copy; these are the all-ones
// codes of the 4- and 8-bit modes and 0x7FFF for RGB texels.
constexpr uint32_t kEndCode4 = 0xF;
constexpr uint32_t kEndCode8 = 0xFF;
constexpr uint32_t kEndCodeRgb = 0x7FFF;

}  // namespace

bool TexelFetch::Begin(const vdp::ConsoleMemory& vram, const CommandFields& command,
                       DrawMode mode) {
  vram_ = &vram;
  mode_ = mode.Colours();
  base_ = command.TextureAddress();
  colour_ = command.Colour();
  width_ = command.TextureWidth();
  height_ = command.TextureHeight();
  transparentDrawn_ = mode.TransparentDrawn();
  endCodesOn_ = endCodes_ = !mode.EndCodesOff();
  return mode_ <= kRgb;
}

// The raw code of texel `index` (row-major, rows packed with no padding).
uint32_t TexelFetch::Code(uint32_t index) const {
  switch (mode_) {
    case kBank16:
    case kLookupTable16: {
      const uint8_t pair = vram_->ReadByte(base_ + index / 2);
      return (index & 1u) ? (pair & 0xFu) : (pair >> 4);  // left dot in the high nibble
    }
    case kRgb:
      return vram_->ReadWord(base_ + index * 2);
    default:
      return vram_->ReadByte(base_ + index);
  }
}

Texel TexelFetch::At(int32_t u, int32_t v) const {
  const uint32_t code = Code(static_cast<uint32_t>(v * width_ + u));
  const uint32_t endCode =
      mode_ <= kLookupTable16 ? kEndCode4 : (mode_ == kRgb ? kEndCodeRgb : kEndCode8);
  if (endCodes_ && code == endCode) return {TexelKind::kEndCode, 0};
  // The transparent code is 0 in the texel's whole width (a 64-colour texel 0x40 is drawn).
  if (!transparentDrawn_ && code == 0) return {TexelKind::kTransparent, 0};
  uint32_t dot = 0;
  switch (mode_) {
    case kBank16:
      dot = (colour_ & 0xFFF0u) | code;
      break;
    case kLookupTable16:  // 16 words at CMDCOLR * 8
      dot = vram_->ReadWord(uint32_t{colour_} * 8u + code * 2u);
      break;
    case kBank64:
      dot = (colour_ & 0xFFC0u) | (code & 0x3Fu);
      break;
    case kBank128:
      dot = (colour_ & 0xFF80u) | (code & 0x7Fu);
      break;
    case kBank256:
      dot = (colour_ & 0xFF00u) | code;
      break;
    default:
      dot = code;
      break;
  }
  return {TexelKind::kDot, static_cast<uint16_t>(dot)};
}

}  // namespace dots
