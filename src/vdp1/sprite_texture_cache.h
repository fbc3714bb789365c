// Sprite texture decoding, shared by the cache and its tests.
#pragma once

#include <cstdint>

class VDP1Core;
struct SpriteTexture;

namespace vdp1 {

// The largest texture: 504 dots pad to 512, 255 lines to 256.
constexpr uint32_t kMaxPaddedWidth = 512;
constexpr uint32_t kMaxPaddedHeight = 256;

// Smallest power of two not below n (0 stays 0).
uint32_t PaddedSize(uint32_t n);

// Decodes the texture that `entry` describes (its descriptor and padded size set) from
// VDP1 VRAM into `texels`, paddedWidth texels per row. Margin columns and rows become
// transparent. Colour modes 6 and 7 leave `texels` untouched.
void DecodeSpriteTexels(const VDP1Core& core, const SpriteTexture& entry, uint32_t* texels);

}  // namespace vdp1
