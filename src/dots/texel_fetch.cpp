// Texel reads for VDP1 sprites by the command's colour mode.
#include "dots/texel_fetch.h"

namespace dots {

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
  // The lookup table: 16 words at CMDCOLR * 8, read once a command.
  if (mode_ == kLookupTable16) {
    for (uint32_t code = 0; code < 16; ++code)
      table_[code] = vram.ReadWord(colour_ * 8u + code * 2u);
  }
  return mode_ <= kRgb;
}

Texel TexelFetch::At(int32_t u, int32_t v) const {
  const auto index = static_cast<uint32_t>(v * width_ + u);
  switch (mode_) {
    case kBank16:
      return Decode<kBank16>(index);
    case kLookupTable16:
      return Decode<kLookupTable16>(index);
    case kBank64:
      return Decode<kBank64>(index);
    case kBank128:
      return Decode<kBank128>(index);
    case kBank256:
      return Decode<kBank256>(index);
    default:
      return Decode<kRgb>(index);
  }
}

}  // namespace dots
