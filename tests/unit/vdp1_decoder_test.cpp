// The six sprite colour modes against hand-computed texels.
#include <gtest/gtest.h>

#include <vector>

#include "common/rgb555.h"
#include "vdp1/sprite_texture_cache.h"
#include "vdp1_cores.h"

namespace vdptest {
namespace {

constexpr uint32_t kTexture = 0x2000, kTable = 0x3000;
constexpr uint32_t T = 0;  // the transparent texel
using Texels = std::vector<uint32_t>;
using Words = std::vector<uint16_t>;

uint32_t Texel(uint32_t colour) { return vdp::Rgb555ToTexel(colour); }
// A distinct colour for every colour RAM word, so a wrong code shows.
uint16_t CramColour(uint32_t index) { return static_cast<uint16_t>((index * 37 + 11) & 0x7FFF); }
uint32_t Cram(uint32_t index) { return Texel(CramColour(index)); }

class Decoder : public ::testing::Test {
 protected:
  void SetUp() override {
    for (uint32_t i = 0; i < 2048; ++i) cores.vdp2->cram[i] = CramColour(i);
    cores.Words(kTable, {0x0421, 0x0001, 0x0002, 0x0000, 0x8004, 0x7C00, 0x03E0, 0x001F});
  }
  // Decodes the width x height texture at `address` that a command describes.
  Texels Decode(uint16_t drawMode, uint16_t colour, uint32_t width, uint32_t height,
                uint32_t address = kTexture) {
    cores.Write(0x100, Part(0, drawMode, 0, 0, 0, 0, colour, address, Size(width, height)));
    SpriteTexture e{};
    cores.vdp1->ReadTextureDescriptor(0x800, e);
    e.paddedWidth = vdp1::PaddedSize(e.width);
    e.paddedHeight = vdp1::PaddedSize(e.height);
    Texels texels(vdp1::kMaxPaddedWidth * vdp1::kMaxPaddedHeight, 0xDEADBEEF);
    vdp1::DecodeSpriteTexels(*cores.vdp1, e, texels.data());
    return texels;
  }
  Vdp1Cores cores;
};

TEST_F(Decoder, EachColourModeGivesTheTexelsOfItsCodes) {
  struct Case {
    const char* name;
    uint16_t drawMode, colour;
    Words data;  // from the texture address
    Texels row;  // the first texels
  };
  const uint32_t black = 0xFF000000, c = 0x120;
  const uint16_t shown = kTransparentPixelDisable, table = kTable / 8;
  const Case cases[] = {
      {"16-colour bank: high nibble first, 0xF opaque, bits outside the bank ignored",
       ColourMode(0), 0xF12F, Words{0x1230, 0x0FF0},
       Texels{Cram(c + 1), Cram(c + 2), Cram(c + 3), T, T, Cram(c + 15), Cram(c + 15), T}},
      {"16-colour bank, code 0 shown", ColourMode(0) | shown, 0x0120, Words{0x1230},
       Texels{Cram(c + 1), Cram(c + 2), Cram(c + 3), Cram(c)}},
      {"lookup table: bit 15 of a table word ignored", ColourMode(1), table, Words{0x0123, 0x4567},
       Texels{T, Texel(1), Texel(2), T, Texel(4), Texel(0x7C00), Texel(0x03E0), Texel(0x1F)}},
      {"lookup table, code 0 shown: a table word of 0 stays transparent", ColourMode(1) | shown,
       table, Words{0x0123}, Texels{Texel(0x0421), Texel(1), Texel(2), T}},
      {"64 colours: low 6 bits, bank from bits 10-6", ColourMode(2), 0x07FF, Words{0xC540, 0x3F00},
       Texels{Cram(0x7C5), T, Cram(0x7FF), T}},
      {"128 colours: low 7 bits, bank from bits 10-7", ColourMode(3), 0x0FFF, Words{0x8580, 0x7F00},
       Texels{Cram(0x785), T, Cram(0x7FF), T}},
      {"256 colours: the whole byte, bank from bits 11-8", ColourMode(4), 0x03FF,
       Words{0xFF00, 0x0180}, Texels{Cram(0x3FF), T, Cram(0x301), Cram(0x380)}},
      {"RGB: only the word 0 is transparent, bit 15 ignored", ColourMode(5), 0x1234,
       Words{0x7C00, 0, 0x8000, 0x8001}, Texels{Texel(0x7C00), T, black, Texel(1)}},
      {"RGB, code 0 shown as black", ColourMode(5) | shown, 0, Words{0x7C00, 0},
       Texels{Texel(0x7C00), black}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    cores.Words(kTexture, k.data);
    const Texels texels = Decode(k.drawMode, k.colour, 8, 1);
    EXPECT_EQ(Texels(texels.begin(), texels.begin() + static_cast<long>(k.row.size())), k.row);
  }
  // 32-bit colour RAM: code 0x105 in words 522 (blue in the low byte) and 523 (green, red).
  cores.vdp2->WriteWordVDP2Regs(0x0E, 0x2000);
  cores.Words(kTexture, {0x0500});
  EXPECT_EQ(Decode(ColourMode(4), 0x100, 8, 1)[0],
            0xFF000000u | (CramColour(522) & 0xFFu) << 16 | CramColour(523));
}

TEST_F(Decoder, RowsLandInThePaddedTextureMarginsAreTransparentAndDataWrapsAtTheEnd) {
  // 24 x 3 in 256 colours from 0x7FFD0, its last 24 bytes at address 0: byte = code.
  for (uint32_t i = 0; i < 72; ++i)
    cores.vdp1->WriteByteVDP1VRAM((0x7FFD0 + i) & 0x7FFFF, static_cast<uint8_t>(i + 1));
  const Texels texels = Decode(ColourMode(4), 0, 24, 3, 0x7FFD0);
  for (uint32_t row = 0; row < 4; ++row) {
    for (uint32_t column = 0; column < 32; ++column) {
      const uint32_t expected = (row < 3 && column < 24) ? Cram(row * 24 + column + 1) : T;
      ASSERT_EQ(texels[row * 32 + column], expected) << "row " << row << " column " << column;
    }
  }
}

}  // namespace
}  // namespace vdptest
