// The six sprite colour modes against hand-computed texels, and the colour-bank lookup
// through VDP2 colour RAM.
#include <gtest/gtest.h>

#include <vector>

#include "common/rgb555.h"
#include "vdp1/sprite_texture_cache.h"
#include "vdp1_cores.h"

namespace vdptest {
namespace {

constexpr uint32_t kTexture = 0x2000;
constexpr uint32_t kGarbage = 0xDEADBEEF;
constexpr uint32_t T = 0;  // the transparent texel

uint32_t Texel(uint32_t colour) { return vdp::Rgb555ToTexel(colour); }

// A distinct colour for every colour RAM word, so a wrong code shows.
uint16_t CramColour(uint32_t index) { return static_cast<uint16_t>((index * 37 + 11) & 0x7FFF); }

class Decoder : public ::testing::Test {
 protected:
  void SetUp() override {
    for (uint32_t i = 0; i < 2048; ++i) cores.vdp2->cram[i] = CramColour(i);
  }
  // Decodes the sprite texture a command describes; the command sits at 0x800, away from
  // every texture of these tests.
  std::vector<uint32_t> Decode(uint16_t drawMode, uint16_t colour, uint32_t width, uint32_t height,
                               uint32_t address = kTexture) {
    cores.Write(0x100, {.drawMode = drawMode,
                        .colour = colour,
                        .texture = static_cast<uint16_t>(address / 8),
                        .size = Size(width, height)});
    SpriteTexture e{};
    cores.vdp1->ReadTextureDescriptor(0x800, e);
    e.paddedWidth = vdp1::PaddedSize(e.width);
    e.paddedHeight = vdp1::PaddedSize(e.height);
    padded = e.paddedWidth;
    std::vector<uint32_t> texels(vdp1::kMaxPaddedWidth * vdp1::kMaxPaddedHeight, kGarbage);
    vdp1::DecodeSpriteTexels(*cores.vdp1, e, texels.data());
    return texels;
  }
  // The first row of `n` texels.
  static std::vector<uint32_t> Row(const std::vector<uint32_t>& texels, size_t n) {
    return {texels.begin(), texels.begin() + static_cast<long>(n)};
  }
  Vdp1Cores cores;
  uint32_t padded = 0;
};

TEST_F(Decoder, SixteenColourBank) {
  cores.Bytes(kTexture, {0x12, 0x30, 0x0F, 0xF0});
  const uint32_t c = 0x120;
  EXPECT_EQ(Row(Decode(ColourMode(0), 0x0120, 8, 1), 8),
            (std::vector<uint32_t>{Texel(CramColour(c + 1)), Texel(CramColour(c + 2)),
                                   Texel(CramColour(c + 3)), T, T, Texel(CramColour(c + 0xF)),
                                   Texel(CramColour(c + 0xF)), T}))
      << "nibbles high first; 0xF is an ordinary colour";
  const uint32_t zero = Texel(CramColour(c));
  EXPECT_EQ(Row(Decode(ColourMode(0) | kTransparentPixelDisable, 0x0120, 8, 1), 8),
            (std::vector<uint32_t>{Texel(CramColour(c + 1)), Texel(CramColour(c + 2)),
                                   Texel(CramColour(c + 3)), zero, zero, Texel(CramColour(c + 0xF)),
                                   Texel(CramColour(c + 0xF)), zero}));
  // Colour word bits outside the bank (priority, bits 3-0) do not move the bank.
  EXPECT_EQ(Decode(ColourMode(0), 0xF12F, 8, 1)[0], Texel(CramColour(c + 1)));
}

TEST_F(Decoder, SixteenColourLookupTable) {
  const uint32_t table = 0x3000;
  cores.Words(table, {0x0421, 0x0001, 0x0002, 0x0000, 0x8004, 0x7C00, 0x03E0, 0x001F});
  cores.Bytes(kTexture, {0x01, 0x23, 0x45, 0x67});
  const uint16_t colour = table / 8;
  EXPECT_EQ(Row(Decode(ColourMode(1), colour, 8, 1), 8),
            (std::vector<uint32_t>{T, Texel(1), Texel(2), T, Texel(4), Texel(0x7C00), Texel(0x03E0),
                                   Texel(0x1F)}))
      << "table word 0 is transparent; bit 15 of a table word is ignored";
  EXPECT_EQ(Row(Decode(ColourMode(1) | kTransparentPixelDisable, colour, 8, 1), 4),
            (std::vector<uint32_t>{Texel(0x0421), Texel(1), Texel(2), T}))
      << "a table word of 0 stays transparent even with transparent pixels shown";
}

TEST_F(Decoder, ByteColourBanks) {
  struct Case {
    const char* name;
    uint16_t mode;
    uint16_t colour;
    std::vector<uint8_t> bytes;
    std::vector<uint32_t> codes;  // colour RAM index, or ~0 for transparent
  };
  const uint32_t t = ~0u;
  const std::vector<Case> cases = {
      {"64 colours: low 6 bits, bank from bits 10-6",
       2,
       0x07FF,
       {0xC5, 0x40, 0x3F, 0x00, 0x01, 0x80, 0xFF, 0x41},
       {0x7C5, t, 0x7FF, t, 0x7C1, t, 0x7FF, 0x7C1}},
      {"128 colours: low 7 bits, bank from bits 10-7",
       3,
       0x0FFF,
       {0x85, 0x80, 0x7F, 0x00, 0x01, 0x81, 0xFF, 0x40},
       {0x785, t, 0x7FF, t, 0x781, 0x781, 0x7FF, 0x7C0}},
      {"256 colours: the whole byte, bank from bits 11-8",
       4,
       0x03FF,
       {0xFF, 0x00, 0x01, 0x80, 0x10, 0x20, 0x30, 0x40},
       {0x3FF, t, 0x301, 0x380, 0x310, 0x320, 0x330, 0x340}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (size_t i = 0; i < c.bytes.size(); ++i)
      cores.vdp1->WriteByteVDP1VRAM(kTexture + i, c.bytes[i]);
    std::vector<uint32_t> expected;
    for (uint32_t code : c.codes) expected.push_back(code == t ? T : Texel(CramColour(code)));
    EXPECT_EQ(Row(Decode(ColourMode(c.mode), c.colour, 8, 1), 8), expected);
  }
}

TEST_F(Decoder, RgbWords) {
  cores.Words(kTexture, {0x7C00, 0x0000, 0x8000, 0x001F, 0xFFFF, 0x03E0, 0x0421, 0x8001});
  const uint32_t black = 0xFF000000;
  EXPECT_EQ(Row(Decode(ColourMode(5), 0x1234, 8, 1), 8),
            (std::vector<uint32_t>{Texel(0x7C00), T, black, Texel(0x1F), Texel(0x7FFF),
                                   Texel(0x03E0), Texel(0x0421), Texel(1)}))
      << "only the word 0 is transparent; 0x8000 is opaque black";
  EXPECT_EQ(Decode(ColourMode(5) | kTransparentPixelDisable, 0, 8, 1)[1], black);
}

TEST_F(Decoder, RowsLandInThePaddedTextureAndMarginsAreTransparent) {
  // 24 x 3 in 256 colours: byte value = row * 24 + column + 1.
  for (uint32_t i = 0; i < 72; ++i)
    cores.vdp1->WriteByteVDP1VRAM(kTexture + i, static_cast<uint8_t>(i + 1));
  const std::vector<uint32_t> texels = Decode(ColourMode(4), 0, 24, 3);
  ASSERT_EQ(padded, 32u);
  for (uint32_t row = 0; row < 4; ++row) {
    for (uint32_t column = 0; column < 32; ++column) {
      SCOPED_TRACE(testing::Message() << "row " << row << " column " << column);
      const uint32_t expected =
          (row < 3 && column < 24) ? Texel(CramColour(row * 24 + column + 1)) : T;
      EXPECT_EQ(texels[row * 32 + column], expected);
    }
  }
  EXPECT_EQ(texels[4 * 32], kGarbage) << "nothing is written beyond the padded texture";
}

TEST_F(Decoder, DataPastTheEndOfVramWrapsToAddressZero) {
  cores.Bytes(0x7FFF8, {1, 2, 3, 4, 5, 6, 7, 8});
  cores.Bytes(0, {9, 10, 11, 12, 13, 14, 15, 16});
  const std::vector<uint32_t> texels = Decode(ColourMode(4), 0, 8, 2, 0x7FFF8);
  EXPECT_EQ(texels[0], Texel(CramColour(1)));
  EXPECT_EQ(texels[7], Texel(CramColour(8)));
  EXPECT_EQ(texels[8], Texel(CramColour(9)));
  EXPECT_EQ(texels[15], Texel(CramColour(16)));
}

TEST(SpriteColourLookup, ReadsColourRamByModeAndSpriteOffset) {
  struct Case {
    const char* name;
    uint16_t ramMode;
    uint16_t craofb;
    uint32_t code;
    uint32_t index;
  };
  const Case cases[] = {
      {"mode 0", 0, 0x0000, 5, 5},
      {"mode 1 with offset 2", 1, 0x0020, 3, 515},
      {"mode 1 with offset 7 wraps in colour RAM", 1, 0x0070, 0x1FF, 255},
      {"mode 3 behaves like mode 1", 3, 0x0010, 0x10, 0x110},
      {"only bits 6-4 of CRAOFB count", 0, 0xFF8F, 1, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Vdp1Cores cores;
    for (uint32_t i = 0; i < 2048; ++i) cores.vdp2->cram[i] = CramColour(i);
    cores.vdp2->WriteWordVDP2Regs(0x0E, static_cast<uint16_t>(c.ramMode << 12));
    cores.vdp2->WriteWordVDP2Regs(0xE6, c.craofb);
    EXPECT_EQ(cores.vdp2->SpriteColourLookup(c.code), Texel(CramColour(c.index)));
  }
}

TEST(SpriteColourLookup, ThirtyTwoBitModeReadsTwoWordsPerColour) {
  Vdp1Cores cores;
  cores.vdp2->WriteWordVDP2Regs(0x0E, 2 << 12);
  cores.vdp2->WriteWordVDP2Regs(0xE6, 0x0010);  // sprite offset 1
  cores.vdp2->cram[522] = 0xAB33;               // blue in the low byte
  cores.vdp2->cram[523] = 0x2211;               // green high, red low
  EXPECT_EQ(cores.vdp2->SpriteColourLookup(5), 0xFF332211u);
  // Offset 7 and a large code wrap around colour RAM.
  cores.vdp2->WriteWordVDP2Regs(0xE6, 0x0070);
  cores.vdp2->cram[(7 * 512 + 0x3FF * 2) & 0x7FF] = 0x0044;
  cores.vdp2->cram[(7 * 512 + 0x3FF * 2 + 1) & 0x7FF] = 0x6655;
  EXPECT_EQ(cores.vdp2->SpriteColourLookup(0x3FF), 0xFF446655u);
}

}  // namespace
}  // namespace vdptest
