// VDP2 dot decoders: bitmap and character dots in VRAM to RGBA texels.
//
// A dot is a colour number into colour RAM (16, 256 and 2048 colours) or a colour of its
// own (32,768 and 16.7M colours). Every VRAM read goes through the console byte order and
// wraps at 512 KB; every colour RAM index wraps at 2048 words, whatever the registers say.
#include "common/rgb555.h"
#include "vdp2/vdp2_core.h"

namespace {

constexpr uint32_t kCramMask = 0x7FF;

// Turns dot codes of one colour mode, palette and colour RAM offset into texels.
class DotColour {
 public:
  DotColour(const uint16_t* cram, uint32_t colourMode, uint8_t opaqueZero, int32_t cramWordOffset,
            uint32_t ramMode, uint32_t paletteNumber)
      : cram_(cram), mode_(colourMode), opaqueZero_(opaqueZero != 0), wide_(ramMode == 2) {
    // In RAM mode 2 a colour takes two words: the dot code moves the index by two words,
    // the palette number by 8 words (16 colours) or 128 words (256 colours).
    uint32_t paletteBase = 0;
    if (colourMode == 0) paletteBase = paletteNumber * (wide_ ? 8u : 16u);
    if (colourMode == 1) paletteBase = paletteNumber * (wide_ ? 128u : 256u);
    base_ = static_cast<uint32_t>(cramWordOffset) + paletteBase;
  }

  uint32_t operator()(uint32_t d) const {
    if (mode_ == 4) return d | 0xFF000000u;  // 16.7M colours: never transparent
    if (d == 0 && !opaqueZero_) return 0;
    if (mode_ == 3) return vdp::Rgb555ToTexel(d);
    if (!wide_) return vdp::Rgb555ToTexel(cram_[(d + base_) & kCramMask]);
    // 24-bit colour: word i bits 7-0 blue, word i + 1 bits 15-8 green and 7-0 red.
    const uint32_t i = (base_ + 2 * d) & kCramMask;
    return 0xFF000000u | ((cram_[i] & 0xFFu) << 16) | cram_[(i + 1) & kCramMask];
  }

 private:
  const uint16_t* cram_;
  uint32_t mode_;
  bool opaqueZero_;
  bool wide_;
  uint32_t base_;
};

}  // namespace

void VDP2Core::DecodeDotRun(uint32_t address, uint32_t colourMode, uint8_t opaqueZero,
                            int32_t byteCount, int32_t cramByteOffset, uint32_t ramMode,
                            uint32_t paletteNumber, uint32_t* out) const {
  if (colourMode > 4 || byteCount <= 0) return;
  const DotColour colour(cram, colourMode, opaqueZero, cramByteOffset >> 1, ramMode, paletteNumber);
  const uint32_t bytes = static_cast<uint32_t>(byteCount);
  switch (colourMode) {
    case 0:  // two dots per byte, the high nibble on the left
      for (uint32_t i = 0; i < bytes; ++i) {
        const uint32_t b = vram.ReadByte(address + i);
        *out++ = colour(b >> 4);
        *out++ = colour(b & 0xF);
      }
      break;
    case 1:
      for (uint32_t i = 0; i < bytes; ++i) *out++ = colour(vram.ReadByte(address + i));
      break;
    case 2:
    case 3:
      for (uint32_t i = 0; i < bytes / 2; ++i) *out++ = colour(vram.ReadWord(address + 2 * i));
      break;
    default:
      for (uint32_t i = 0; i < bytes / 4; ++i) *out++ = colour(vram.ReadLong(address + 4 * i));
      break;
  }
}

void VDP2Core::DecodeDotRect(uint32_t base, uint32_t colourMode, uint8_t opaqueZero,
                             int32_t bitmapWidth, int32_t /*bitmapHeight*/, int32_t x, int32_t y,
                             int32_t width, int32_t height, int32_t cramWordOffset,
                             uint32_t ramMode, uint32_t paletteNumber, uint32_t* out) const {
  if (colourMode > 4 || width < 1 || height < 1) return;
  const DotColour colour(cram, colourMode, opaqueZero, cramWordOffset, ramMode, paletteNumber);
  // Unsigned arithmetic: any register value wraps instead of overflowing, and every read
  // is reduced to VRAM by the console memory.
  const uint32_t w = static_cast<uint32_t>(bitmapWidth);
  const uint32_t ux = static_cast<uint32_t>(x);
  const uint32_t uy = static_cast<uint32_t>(y);
  const uint32_t cols = static_cast<uint32_t>(width);
  const uint32_t rows = static_cast<uint32_t>(height);
  if (colourMode == 0) {
    // Rows start at a whole byte: an odd x starts on the dot before it.
    uint32_t rowStart =
        base + static_cast<uint32_t>((static_cast<int64_t>(bitmapWidth) * y + x) / 2);
    for (uint32_t r = 0; r < rows; ++r, rowStart += w / 2) {
      for (uint32_t c = 0; c < cols; ++c) {
        const uint32_t b = vram.ReadByte(rowStart + c / 2);
        *out++ = colour((c & 1) ? (b & 0xF) : (b >> 4));
      }
    }
    return;
  }
  const uint32_t dotBytes = colourMode == 1 ? 1 : (colourMode == 4 ? 4 : 2);
  for (uint32_t r = 0; r < rows; ++r) {
    const uint32_t rowStart = base + dotBytes * (w * (uy + r) + ux);
    switch (dotBytes) {
      case 1:
        for (uint32_t c = 0; c < cols; ++c) *out++ = colour(vram.ReadByte(rowStart + c));
        break;
      case 2:
        for (uint32_t c = 0; c < cols; ++c) *out++ = colour(vram.ReadWord(rowStart + 2 * c));
        break;
      default:
        for (uint32_t c = 0; c < cols; ++c) *out++ = colour(vram.ReadLong(rowStart + 4 * c));
        break;
    }
  }
}
