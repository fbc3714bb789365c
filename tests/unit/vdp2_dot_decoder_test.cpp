// VDP2 dot decoders: every colour mode in every colour RAM mode, palettes, offsets,
// transparency, and wrapping of VRAM and colour RAM.
#include <gtest/gtest.h>

#include <vector>

#include "common/rgb555.h"
#include "vdp2_rig.h"

namespace vdptest {
namespace {

constexpr uint32_t kUntouched = 0xDEADBEEF;

class DotDecoder : public ::testing::Test {
 protected:
  void SetUp() override {
    // Every colour RAM word distinct, so a texel tells which word it came from.
    for (uint32_t i = 0; i < 2048; ++i) v.cram[i] = static_cast<uint16_t>(0x4000 | i);
  }
  // The texel a 15-bit colour word at colour RAM index i gives.
  uint32_t Word(uint32_t i) const { return vdp::Rgb555ToTexel(v.cram[i & 0x7FF]); }
  // The 24-bit colour of the word pair at i (RAM mode 2).
  uint32_t Pair(uint32_t i) const {
    return 0xFF000000u | ((v.cram[i & 0x7FF] & 0xFFu) << 16) | v.cram[(i + 1) & 0x7FF];
  }
  std::vector<uint32_t> Run(uint32_t address, uint32_t mode, uint8_t opaque, int32_t bytes,
                            int32_t cramBytes, uint32_t ramMode, uint32_t palette, size_t outSize) {
    std::vector<uint32_t> out(outSize, kUntouched);
    v.DecodeDotRun(address, mode, opaque, bytes, cramBytes, ramMode, palette, out.data());
    return out;
  }
  Vdp2Rig rig;
  VDP2Core& v = *rig.vdp2;
};

struct RunCase {
  const char* what;
  uint32_t colourMode, ramMode, palette;
  int32_t cramByteOffset;
  uint8_t opaqueZero;
  std::vector<uint8_t> vram;  // bytes from address 0x100
  int32_t byteCount;
};

TEST_F(DotDecoder, ColourNumbersSelectTheirColourRamWordsInEveryMode) {
  struct Expectation {
    RunCase c;
    std::vector<uint32_t> texels;
  };
  const std::vector<Expectation> cases = {
      {{"16 colours: high nibble first", 0, 1, 0, 0, 0, {0x12}, 1}, {Word(1), Word(2)}},
      {{"16 colours: dot 0 transparent", 0, 1, 0, 0, 0, {0x01}, 1}, {0, Word(1)}},
      {{"16 colours: dot 0 opaque", 0, 1, 0, 0, 1, {0x01}, 1}, {Word(0), Word(1)}},
      {{"16 colours: palette 2", 0, 1, 2, 0, 0, {0x3F}, 1}, {Word(32 + 3), Word(32 + 15)}},
      {{"16 colours: RAM mode 0 same as 1", 0, 0, 2, 0, 0, {0x30}, 1}, {Word(35), 0}},
      {{"16 colours: RAM mode 3 same as 1", 0, 3, 1, 0, 0, {0x04}, 1}, {0, Word(20)}},
      {{"16 colours: colour RAM offset 512 bytes", 0, 1, 1, 512, 0, {0x50}, 1},
       {Word(256 + 16 + 5), 0}},
      {{"256 colours: palette bits select 256-colour banks", 1, 1, 3, 0, 0, {0x07, 0xFF}, 2},
       {Word(3 * 256 + 7), Word(3 * 256 + 255)}},
      {{"256 colours: palette past colour RAM wraps", 1, 1, 7, 7 * 512, 0, {0x01}, 1},
       {Word(7 * 256 + 7 * 256 + 1)}},
      {{"2048 colours: whole word in the sum", 2, 1, 5, 0, 0, {0xF8, 0x05, 0x01, 0x23}, 4},
       {Word(0x005), Word(0x123)}},
      {{"32768 colours: direct, 0x8000 opaque black",
        3,
        1,
        0,
        0,
        0,
        {0x80, 0x00, 0x00, 0x00, 0x7C, 0x1F},
        6},
       {0xFF000000u, 0, vdp::Rgb555ToTexel(0x7C1F)}},
      {{"32768 colours: zero-dot opaque", 3, 2, 0, 0, 1, {0x00, 0x00}, 2}, {vdp::Rgb555ToTexel(0)}},
      {{"16.7M colours: blue long, zero long black",
        4,
        1,
        0,
        0,
        0,
        {0x00, 0xFF, 0x00, 0x00, 0, 0, 0, 0},
        8},
       {0xFFFF0000u, 0xFF000000u}},
      {{"RAM mode 2, 16 colours, palette 1: dot 3 reads words 14 and 15", 0, 2, 1, 0, 0, {0x30}, 1},
       {Pair(14), 0}},
      {{"RAM mode 2, 256 colours, palette 1: steps of 128 words", 1, 2, 1, 0, 0, {0x02}, 1},
       {Pair(128 + 4)}},
      {{"RAM mode 2, 2048 colours, offset 1024 bytes", 2, 2, 0, 1024, 0, {0x00, 0x03}, 2},
       {Pair(512 + 6)}},
      {{"RAM mode 2: last word pairs with the first", 2, 2, 0, 2 * 2047, 1, {0x00, 0x00}, 2},
       {Pair(2047)}},
      {{"odd byte count of words rounds down", 2, 1, 0, 0, 0, {0x00, 0x01, 0x00, 0x02, 0x09}, 5},
       {Word(1), Word(2), kUntouched}},
      {{"colour mode 5 writes nothing", 5, 1, 0, 0, 1, {0x11}, 1}, {kUntouched}},
      {{"colour mode 7 writes nothing", 7, 1, 0, 0, 1, {0x11}, 1}, {kUntouched}},
      {{"byte count 0 writes nothing", 1, 1, 0, 0, 1, {0x11}, 0}, {kUntouched}},
      {{"negative byte count writes nothing", 0, 1, 0, 0, 1, {0x11}, -4}, {kUntouched}},
  };
  for (const Expectation& e : cases) {
    SCOPED_TRACE(e.c.what);
    for (size_t i = 0; i < e.c.vram.size(); ++i) v.WriteByteVDP2VRAM(0x100 + i, e.c.vram[i]);
    const std::vector<uint32_t> out =
        Run(0x100, e.c.colourMode, e.c.opaqueZero, e.c.byteCount, e.c.cramByteOffset, e.c.ramMode,
            e.c.palette, e.texels.size());
    for (size_t i = 0; i < e.texels.size(); ++i) EXPECT_EQ(out[i], e.texels[i]) << "texel " << i;
  }
}

TEST_F(DotDecoder, RunsWrapAtTheEndOfVram) {
  v.WriteByteVDP2VRAM(0x7FFFF, 0x21);
  v.WriteByteVDP2VRAM(0x00000, 0x43);
  EXPECT_EQ(Run(0x7FFFF, 0, 0, 2, 0, 1, 0, 4),
            (std::vector<uint32_t>{Word(2), Word(1), Word(4), Word(3)}));
  // An address past VRAM is the same memory again.
  EXPECT_EQ(Run(0xFFFFF, 1, 0, 2, 0, 1, 0, 2), (std::vector<uint32_t>{Word(0x21), Word(0x43)}));
}

TEST_F(DotDecoder, RectanglesTakeTheirRowsFromTheBitmap) {
  // A 16-dot-wide bitmap at 0x1000 whose every byte is the low byte of its address + 1.
  for (uint32_t a = 0; a < 0x400; ++a) v.WriteByteVDP2VRAM(0x1000 + a, static_cast<uint8_t>(a + 1));
  auto byteAt = [&](uint32_t a) { return v.ReadByteVDP2VRAM(a); };
  std::vector<uint32_t> out(6, kUntouched);

  // 256 colours: rows of 16 bytes, rectangle (2, 1) 3 x 2.
  v.DecodeDotRect(0x1000, 1, 1, 16, 8, 2, 1, 3, 2, 0, 1, 0, out.data());
  for (int r = 0; r < 2; ++r)
    for (int c = 0; c < 3; ++c)
      EXPECT_EQ(out[r * 3 + c], Word(byteAt(0x1000 + 16 * (1 + r) + 2 + c)))
          << "256 colours, row " << r << " col " << c;

  // 16 colours: rows of 8 bytes; an odd x starts at the high nibble of its byte.
  v.DecodeDotRect(0x1000, 0, 1, 16, 8, 3, 1, 3, 2, 0, 1, 0, out.data());
  for (int r = 0; r < 2; ++r) {
    const uint32_t first = 0x1000 + (16 * 1 + 3) / 2 + 8 * r;
    const uint32_t expected[3] = {Word(byteAt(first) >> 4), Word(byteAt(first) & 0xF),
                                  Word(byteAt(first + 1) >> 4)};
    for (int c = 0; c < 3; ++c)
      EXPECT_EQ(out[r * 3 + c], expected[c]) << "16 colours, row " << r << " col " << c;
  }

  // 16.7M colours: rows of 64 bytes.
  v.DecodeDotRect(0x1000, 4, 0, 16, 8, 1, 2, 2, 1, 0, 1, 0, out.data());
  EXPECT_EQ(out[0], v.ReadLongVDP2VRAM(0x1000 + 4 * (16 * 2 + 1)) | 0xFF000000u);
  EXPECT_EQ(out[1], v.ReadLongVDP2VRAM(0x1000 + 4 * (16 * 2 + 2)) | 0xFF000000u);

  // Empty rectangles and modes without meaning write nothing.
  std::fill(out.begin(), out.end(), kUntouched);
  v.DecodeDotRect(0x1000, 1, 1, 16, 8, 0, 0, 0, 4, 0, 1, 0, out.data());
  v.DecodeDotRect(0x1000, 1, 1, 16, 8, 0, 0, 4, -1, 0, 1, 0, out.data());
  v.DecodeDotRect(0x1000, 6, 1, 16, 8, 0, 0, 4, 1, 0, 1, 0, out.data());
  for (uint32_t t : out) EXPECT_EQ(t, kUntouched);
}

TEST_F(DotDecoder, RectanglesPastVramEndWrapInsteadOfReadingOutside) {
  std::vector<uint32_t> out(64 * 64, kUntouched);
  // A huge bitmap far past VRAM: every read lands inside the 512 KB.
  v.DecodeDotRect(0x7FFF0, 4, 1, 1024, 512, 1000, 500, 64, 64, 0x7FF0, 2, 0xFFFFFFFF, out.data());
  for (uint32_t t : out) EXPECT_NE(t, kUntouched);
}

}  // namespace
}  // namespace vdptest
