// VDP1 sprite texture decoding and cache: one entry per possible texture start block,
// rebuilt only when the sprite's description changes or its VRAM bytes are written.
#include "vdp1/sprite_texture_cache.h"

#include "display/opengl_display.h"
#include "vdp1/vdp1_command.h"
#include "vdp1/vdp1_core.h"
#include "vdp2/vdp2_core.h"

namespace vdp1 {
namespace {

// The one decode buffer: textures are decoded and uploaded one at a time on the host
// thread, and the largest is 512 x 256 texels.
uint32_t scratchTexels[kMaxPaddedWidth * kMaxPaddedHeight];

// Colours of every pixel code of one sprite, in the order of the codes. Code 0 already
// holds the transparent value when it is transparent.
struct CodeColours {
  uint32_t colour[256];
};

// Fills `palette` for the colour-bank modes: the bank is the colour word's bits above
// the pixel code, looked up through VDP2 colour RAM.
void BankColours(const VDP1Core& core, uint32_t bankMask, uint32_t codes, const SpriteTexture& e,
                 CodeColours& palette) {
  const uint32_t bank = e.colour & bankMask;
  for (uint32_t n = 0; n < codes; ++n) palette.colour[n] = core.vdp2->SpriteColourLookup(bank + n);
  if (!e.transparentPixelDisable) palette.colour[0] = 0;
}

// Lookup-table mode: sixteen colour words at the table address; a table word of 0 is
// transparent whatever the pixel code.
void TableColours(const VDP1Core& core, const SpriteTexture& e, CodeColours& palette) {
  const uint32_t table = e.colour * 8;
  for (uint32_t n = 0; n < 16; ++n) {
    const uint16_t word = core.vram.ReadWord(table + 2 * n);
    palette.colour[n] = word == 0 ? 0 : core.rgb555Table[word];
  }
  if (!e.transparentPixelDisable) palette.colour[0] = 0;
}

// Pixels in data order into the rows of the padded texture.
template <typename PixelAt>
void FillRows(const SpriteTexture& e, uint32_t* texels, PixelAt pixelAt) {
  uint32_t pixel = 0;
  for (uint32_t row = 0; row < e.height; ++row) {
    uint32_t* out = texels + row * e.paddedWidth;
    for (uint32_t column = 0; column < e.width; ++column) out[column] = pixelAt(pixel++);
  }
}

void ClearMargins(const SpriteTexture& e, uint32_t* texels) {
  for (uint32_t row = 0; row < e.height; ++row) {
    uint32_t* out = texels + row * e.paddedWidth;
    for (uint32_t column = e.width; column < e.paddedWidth; ++column) out[column] = 0;
  }
  for (uint32_t row = e.height; row < e.paddedHeight; ++row) {
    uint32_t* out = texels + row * e.paddedWidth;
    for (uint32_t column = 0; column < e.paddedWidth; ++column) out[column] = 0;
  }
}

}  // namespace

uint32_t PaddedSize(uint32_t n) {
  uint32_t size = 1;
  while (size < n) size <<= 1;
  return n == 0 ? 0 : size;
}

void DecodeSpriteTexels(const VDP1Core& core, const SpriteTexture& e, uint32_t* texels) {
  // Data reads wrap around the end of VRAM like every other VDP1 access.
  const vdp::ConsoleMemory& vram = core.vram;
  const uint32_t base = e.address;
  CodeColours palette;
  switch (e.colourMode) {
    case kBank16:
    case kLookupTable16: {
      if (e.colourMode == kBank16)
        BankColours(core, 0x7F0, 16, e, palette);
      else
        TableColours(core, e, palette);
      // Four bits per dot, high nibble first.
      FillRows(e, texels, [&](uint32_t p) {
        const uint8_t byte = vram.ReadByte(base + p / 2);
        return palette.colour[(p & 1) ? (byte & 0x0F) : (byte >> 4)];
      });
      break;
    }
    case kBank64:
    case kBank128:
    case kBank256: {
      // The pixel code takes the low 6, 7 or 8 bits of the byte; the colour word
      // supplies the rest of the colour-bank code.
      static constexpr uint32_t kCodeMask[3] = {0x3F, 0x7F, 0xFF};
      static constexpr uint32_t kBankMask[3] = {0x7C0, 0x780, 0xF00};
      const uint32_t k = e.colourMode - kBank64;
      const uint32_t codeMask = kCodeMask[k];
      BankColours(core, kBankMask[k], codeMask + 1, e, palette);
      FillRows(e, texels,
               [&](uint32_t p) { return palette.colour[vram.ReadByte(base + p) & codeMask]; });
      break;
    }
    case kRgb: {
      const uint32_t transparent = e.transparentPixelDisable ? core.rgb555Table[0] : 0;
      FillRows(e, texels, [&](uint32_t p) {
        const uint16_t word = vram.ReadWord(base + 2 * p);
        return word == 0 ? transparent : core.rgb555Table[word];
      });
      break;
    }
    default:
      return;
  }
  ClearMargins(e, texels);
}

}  // namespace vdp1

void VDP1Core::ReadTextureDescriptor(uint32_t commandAddress, SpriteTexture& d) const {
  const vdp1::VDP1Command command(vram, commandAddress);
  const vdp1::DrawModeWord mode = command.DrawMode();
  d.endCodeDisable = mode.EndCodeDisable();
  d.transparentPixelDisable = mode.TransparentPixelDisable();
  d.colourMode = static_cast<uint8_t>(mode.ColourMode());
  d.colour = command.Colour();
  d.address = command.TextureByteAddress();
  d.width = command.TextureWidth();
  d.height = command.TextureHeight();
  const int32_t dots = static_cast<int32_t>(d.width * d.height);
  switch (d.colourMode) {
    case vdp1::kBank16:
    case vdp1::kLookupTable16:
      d.byteSize = dots / 2;
      break;
    case vdp1::kBank64:
    case vdp1::kBank128:
    case vdp1::kBank256:
      d.byteSize = dots;
      break;
    case vdp1::kRgb:
      d.byteSize = dots * 2;
      break;
    default:
      break;  // no texture data
  }
}

void VDP1Core::GetSpriteTexture(const SpriteTexture& d, uint32_t& glTexture, float& uMax,
                                float& vMax) {
  if (d.colourMode > vdp1::kRgb) return;
  const uint32_t start = d.address >> 3;
  const uint32_t blocks = static_cast<uint32_t>(d.byteSize) / 8;
  SpriteTexture& entry = spriteTextures[start & 0xFFFF];

  // The colour word selects the palette in every mode but RGB; the end-code bit is part
  // of the key although no decoder reads end codes.
  const bool rebuild = entry.glTexture == 0 || entry.address != d.address ||
                       entry.width != d.width || entry.height != d.height ||
                       entry.colourMode != d.colourMode ||
                       entry.endCodeDisable != d.endCodeDisable ||
                       entry.transparentPixelDisable != d.transparentPixelDisable ||
                       (entry.colour != d.colour && d.colourMode != vdp1::kRgb) || entry.dirty;
  if (rebuild) {
    entry.endCodeDisable = d.endCodeDisable;
    entry.transparentPixelDisable = d.transparentPixelDisable;
    entry.colourMode = d.colourMode;
    entry.colour = d.colour;
    entry.address = d.address;
    entry.width = d.width;
    entry.height = d.height;
    entry.byteSize = d.byteSize;
    entry.paddedWidth = vdp1::PaddedSize(entry.width);
    entry.paddedHeight = vdp1::PaddedSize(entry.height);
    entry.uMax = entry.paddedWidth ? static_cast<float>(entry.width) / entry.paddedWidth : 0.0f;
    entry.vMax = entry.paddedHeight ? static_cast<float>(entry.height) / entry.paddedHeight : 0.0f;
    if (entry.paddedWidth <= vdp1::kMaxPaddedWidth &&
        entry.paddedHeight <= vdp1::kMaxPaddedHeight) {
      vdp1::DecodeSpriteTexels(*this, entry, vdp1::scratchTexels);
      if (display != nullptr) display->UploadTexture(entry, vdp1::scratchTexels);
    }
    // The texture's data blocks now dirty this entry when written; like the data reads,
    // the blocks wrap around the end of VRAM.
    for (uint32_t i = 0; i < blocks; ++i) textureOwner[(start + i) & 0xFFFF] = &entry;
    entry.dirty = 0;
  }
  glTexture = entry.glTexture;
  uMax = entry.uMax;
  vMax = entry.vMax;
}
