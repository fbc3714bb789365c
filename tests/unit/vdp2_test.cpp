// VDP2 as a game's code reads it (status, counters, colour RAM) and the two decoders that
// the plane scenes reach only in part: pattern names and bitmap rectangles.
#include <gtest/gtest.h>

#include <memory>
#include <tuple>
#include <vector>

#include "common/rgb555.h"
#include "plugin_fixture.h"
#include "vdp2/vdp2_core.h"

namespace vdptest {
namespace {

struct Vdp2 : ::testing::Test {
  TempDir dir;
  PluginInitInfo info{0, nullptr, nullptr, dir.path().c_str()};
  std::unique_ptr<VDP2Core> vdp2 = std::make_unique<VDP2Core>(info);
};

TEST_F(Vdp2, StatusCountersAndColourRamReadBackAsTheGameExpects) {
  // TVSTAT: display off reads as V-blank; the host's blanking events set the other bits,
  // and every line's end flips the odd-field bit.
  const uint16_t off = vdp2->ReadWordVDP2Regs(0x04);
  vdp2->WriteWordVDP2Regs(0x00, 0x8000);
  const uint16_t on = vdp2->ReadWordVDP2Regs(0x04);
  vdp2->VDPOnHblankIn();
  const uint16_t hblank = vdp2->ReadWordVDP2Regs(0x04);
  vdp2->VDPOnHblankOut();
  vdp2->VDPOnVblankIn();
  EXPECT_EQ(std::tuple(off, on, hblank, vdp2->ReadWordVDP2Regs(0x04)),
            std::tuple(0x8, 0x0, 0x4, 0xA));
  // HCNT advances on every read; VCNT counts the lines since the V-blank.
  const uint16_t first = vdp2->ReadWordVDP2Regs(0x08);
  vdp2->VDPOnVblankOut();
  for (int i = 0; i < 5; ++i) {
    vdp2->VDPOnHblankIn();
    vdp2->VDPOnHblankOut();
  }
  EXPECT_EQ(vdp2->ReadLongVDP2Regs(0x08), (static_cast<uint32_t>(first + 1) << 16) | 5u);
  // Colour RAM mirrors its first half in RAM mode 0 only; long accesses are two words.
  vdp2->WriteWordVDP2CRAM(0x0A, 0x1234);
  vdp2->WriteLongVDP2CRAM(0x804, 0xAAAABBBB);
  EXPECT_EQ(std::tuple(vdp2->cram[1029], vdp2->cram[2], vdp2->ReadLongVDP2CRAM(0x804)),
            std::tuple(0x1234, 0xAAAA, 0xAAAABBBBu));
  vdp2->WriteWordVDP2Regs(0x0E, 0x1000);
  vdp2->WriteWordVDP2CRAM(0x0C, 0x5678);
  EXPECT_EQ(std::tuple(vdp2->cram[6], vdp2->cram[1030]), std::tuple(0x5678, 0));
}

TEST(Vdp2PatternNames, NameDataGivesFlipsPaletteAndCharacter) {
  struct Case {
    const char* what;
    bool twoWords;
    uint32_t data, spcn, splt, size, colourMode, cnsm;
    uint8_t hFlip, vFlip;
    uint32_t palette, character;  // character number: address / 32
  };
  const Case cases[] = {
      {"16 colours, flips, supplementary palette", 0, 0x8C05, 0, 1, 0, 0, 0, 1, 1, 0x18, 0x005},
      {"256 colours: palette bits 6-4 only", 0, 0xF003, 0, 7, 0, 1, 0, 0, 0, 7, 0x003},
      {"2x2: low bits supplementary", 0, 0x0401, 0x1F, 0, 1, 0, 0, 1, 0, 0, 0x7007},
      {"2x2, 12-bit numbers", 0, 0x0FFF, 0x13, 0, 1, 2, 1, 0, 0, 0, 0x7FFF},
      {"two words, 16 colours", 1, 0xC07F3FFF, 0, 0, 0, 0, 0, 1, 1, 0x7F, 0x3FFF},
  };
  for (const Case& c : cases) {
    const PatternName n =
        c.twoWords ? VDP2Core::DecodePatternNameLong(c.data, c.colourMode)
                   : VDP2Core::DecodePatternNameWord(static_cast<uint16_t>(c.data), c.spcn, c.splt,
                                                     c.size, c.colourMode, c.cnsm);
    EXPECT_EQ(std::tuple(n.hFlip, n.vFlip, n.palette, n.characterAddress),
              std::tuple(c.hFlip, c.vFlip, c.palette, c.character * 32))
        << c.what;
  }
}

TEST_F(Vdp2, BitmapRectanglesTakeTheirRowsFromTheBitmap) {
  for (uint32_t i = 0; i < 2048; ++i) vdp2->cram[i] = static_cast<uint16_t>(0x4000 | i);
  auto W = [](uint32_t i) { return vdp::Rgb555ToTexel(0x4000 | i); };
  // A 16-dot-wide bitmap at 0x1000 whose every byte is the low byte of its offset + 1.
  for (uint32_t a = 0; a < 0x400; ++a)
    vdp2->WriteByteVDP2VRAM(0x1000 + a, static_cast<uint8_t>(a + 1));
  std::vector<uint32_t> out(6);
  // 256 colours: rows of 16 bytes; rectangle (2, 1) 3 x 2 starts at byte 18.
  vdp2->DecodeDotRect(0x1000, 1, 1, 16, 8, 2, 1, 3, 2, 0, 1, 0, out.data());
  EXPECT_EQ(out, (std::vector<uint32_t>{W(19), W(20), W(21), W(35), W(36), W(37)}));
  // 16 colours: rows of 8 bytes; x = 3 starts at the whole byte 9 (0x0A), dots 2 and 3.
  vdp2->DecodeDotRect(0x1000, 0, 1, 16, 8, 3, 1, 3, 2, 0, 1, 0, out.data());
  EXPECT_EQ(out, (std::vector<uint32_t>{W(0), W(0xA), W(0), W(1), W(2), W(1)}));
}

}  // namespace
}  // namespace vdptest
