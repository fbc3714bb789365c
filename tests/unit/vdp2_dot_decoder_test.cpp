// VDP2 dot decoders: every colour mode in every colour RAM mode, palettes, offsets,
// transparency, and wrapping of VRAM and colour RAM.
#include <gtest/gtest.h>

#include <vector>

#include "common/rgb555.h"
#include "vdp2_rig.h"

namespace vdptest {
namespace {

constexpr uint32_t kUntouched = 0xDEADBEEF, kBlack = 0xFF000000u, kBlue = 0xFFFF0000u;

class DotDecoder : public ::testing::Test {
 protected:
  void SetUp() override {
    // Every colour RAM word distinct (0x4000 + index), so a texel tells where it came from.
    for (uint32_t i = 0; i < 2048; ++i) v.cram[i] = static_cast<uint16_t>(0x4000 | i);
  }
  // The texel of the 15-bit colour word at colour RAM index i.
  uint32_t W(uint32_t i) const { return vdp::Rgb555ToTexel(v.cram[i & 0x7FF]); }
  static uint32_t Rgb(uint16_t colour) { return vdp::Rgb555ToTexel(colour); }
  Vdp2Rig rig;
  VDP2Core& v = *rig.vdp2;
};

TEST_F(DotDecoder, DotsSelectTheirColoursInEveryMode) {
  struct Case {
    const char* what;
    uint32_t colourMode, ramMode, palette;
    int32_t cramByteOffset;
    uint8_t opaqueZero;
    std::vector<uint8_t> vram;  // from address 0x100, also the byte count
    std::vector<uint32_t> texels;
  };
  // Offsets in the names are in words. RAM mode 2 colours are word pairs (a palette is
  // 8 or 128 words on): word i gives blue (bits 7-0), word i + 1 green and red; with
  // words 0x4000 + i the pair at 14 is 0xFF0E400F (A, B, G, R from the top).
  const Case cases[] = {
      {"16 colours, high nibble first", 0, 1, 0, 0, 0, {0x12, 0x01}, {W(1), W(2), 0, W(1)}},
      {"16 colours, palette 2, offset 256", 0, 1, 2, 512, 1, {0x05}, {W(256 + 32), W(256 + 37)}},
      {"256 colours, palette 3", 1, 1, 3, 0, 0, {0x07, 0xFF}, {W(3 * 256 + 7), W(3 * 256 + 255)}},
      {"256 colours, palette past the end", 1, 1, 7, 7 * 512, 0, {0x01}, {W(14 * 256 + 1)}},
      {"2048 colours, 11 bits", 2, 1, 5, 0, 0, {0xF8, 0x05, 0x01, 0x23}, {W(0x005), W(0x123)}},
      {"32,768 colours", 3, 1, 0, 0, 0, {0x80, 0, 0, 0, 0x7C, 0x1F}, {kBlack, 0, Rgb(0x7C1F)}},
      {"32,768 colours, zero-dot opaque", 3, 2, 0, 0, 1, {0x00, 0x00}, {Rgb(0)}},
      {"16.7M colours, 0 is black", 4, 1, 0, 0, 0, {0, 0xFF, 0, 0, 0, 0, 0, 0}, {kBlue, kBlack}},
      {"RAM mode 2, 16 colours, palette 1", 0, 2, 1, 0, 0, {0x30}, {0xFF0E400Fu, 0}},
      {"RAM mode 2, 256 colours, palette 1", 1, 2, 1, 0, 0, {0x02}, {0xFF844085u}},
      {"RAM mode 2, 2048 colours, offset 512", 2, 2, 0, 1024, 0, {0x00, 0x03}, {0xFF064207u}},
      {"RAM mode 2, last word pairs with the first", 2, 2, 0, 4094, 1, {0, 0}, {0xFFFF4000u}},
      {"odd byte count of words", 2, 1, 0, 0, 0, {0, 1, 0, 2, 9}, {W(1), W(2), kUntouched}},
      {"colour mode 5 writes nothing", 5, 1, 0, 0, 1, {0x11}, {kUntouched}},
      {"colour mode 7 writes nothing", 7, 1, 0, 0, 1, {0x11}, {kUntouched}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    for (size_t i = 0; i < c.vram.size(); ++i) v.WriteByteVDP2VRAM(0x100 + i, c.vram[i]);
    std::vector<uint32_t> out(c.texels.size(), kUntouched);
    v.DecodeDotRun(0x100, c.colourMode, c.opaqueZero, static_cast<int32_t>(c.vram.size()),
                   c.cramByteOffset, c.ramMode, c.palette, out.data());
    EXPECT_EQ(out, c.texels);
  }
  uint32_t out = kUntouched;
  v.DecodeDotRun(0x100, 0, 1, -4, 0, 1, 0, &out);
  EXPECT_EQ(out, kUntouched) << "negative byte count";
}

TEST_F(DotDecoder, RectanglesTakeTheirRowsFromTheBitmapAndWrapAtTheEndOfVram) {
  // A 16-dot-wide bitmap at 0x1000 whose every byte is the low byte of its offset + 1.
  for (uint32_t a = 0; a < 0x400; ++a) v.WriteByteVDP2VRAM(0x1000 + a, static_cast<uint8_t>(a + 1));
  std::vector<uint32_t> out(6, kUntouched);
  // 256 colours: rows of 16 bytes; rectangle (2, 1) 3 x 2 starts at byte 18.
  v.DecodeDotRect(0x1000, 1, 1, 16, 8, 2, 1, 3, 2, 0, 1, 0, out.data());
  EXPECT_EQ(out, (std::vector<uint32_t>{W(19), W(20), W(21), W(35), W(36), W(37)}));
  // 16 colours: rows of 8 bytes; x = 3 starts at the whole byte 9 (0x0A), dots 2 and 3.
  v.DecodeDotRect(0x1000, 0, 1, 16, 8, 3, 1, 3, 2, 0, 1, 0, out.data());
  EXPECT_EQ(out, (std::vector<uint32_t>{W(0), W(0xA), W(0), W(1), W(2), W(1)}));
  // Empty rectangles and modes without meaning write nothing.
  out.assign(6, kUntouched);
  v.DecodeDotRect(0x1000, 1, 1, 16, 8, 0, 0, 0, 4, 0, 1, 0, out.data());
  v.DecodeDotRect(0x1000, 1, 1, 16, 8, 0, 0, 4, -1, 0, 1, 0, out.data());
  v.DecodeDotRect(0x1000, 6, 1, 16, 8, 0, 0, 4, 1, 0, 1, 0, out.data());
  EXPECT_EQ(out, std::vector<uint32_t>(6, kUntouched));
  // Runs and rectangles wrap at the end of VRAM.
  v.WriteByteVDP2VRAM(0x7FFFF, 0x21);
  v.WriteByteVDP2VRAM(0x00000, 0x43);
  out.assign(4, kUntouched);
  v.DecodeDotRun(0xFFFFF, 0, 0, 2, 0, 1, 0, out.data());
  EXPECT_EQ(out, (std::vector<uint32_t>{W(2), W(1), W(4), W(3)}));
  // A huge bitmap far past VRAM: every read lands inside the 512 KB.
  out.assign(64 * 64, kUntouched);
  v.DecodeDotRect(0x7FFF0, 4, 1, 1024, 512, 1000, 500, 64, 64, 0x7FF0, 2, 0xFFFFFFFF, out.data());
  for (uint32_t t : out) ASSERT_NE(t, kUntouched);
}

}  // namespace
}  // namespace vdptest
