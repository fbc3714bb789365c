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
  Switches switches;
  std::unique_ptr<VDP2Core> vdp2 = std::make_unique<VDP2Core>(info, switches);
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
  // A long register write fills the pair it addresses.
  vdp2->WriteLongVDP2Regs(0xF0, 0x01020304);
  EXPECT_EQ(vdp2->ReadLongVDP2Regs(0xF0), 0x01020304u);
  // Colour RAM mirrors its first half in RAM mode 0 only; long accesses are two words.
  vdp2->WriteWordVDP2CRAM(0x0A, 0x1234);
  vdp2->WriteLongVDP2CRAM(0x804, 0xAAAABBBB);
  EXPECT_EQ(std::tuple(vdp2->cram[1029], vdp2->cram[2], vdp2->ReadLongVDP2CRAM(0x804)),
            std::tuple(0x1234, 0xAAAA, 0xAAAABBBBu));
  vdp2->WriteWordVDP2Regs(0x0E, 0x1000);
  vdp2->WriteWordVDP2CRAM(0x0C, 0x5678);
  EXPECT_EQ(std::tuple(vdp2->cram[6], vdp2->cram[1030]), std::tuple(0x5678, 0));
}

TEST_F(Vdp2, EachPlaneReadsItsOwnPlaneSizeAndFourMapRegisters) {
  // PLSZ: NBG0 2 x 2 pages, NBG1 2 x 1, NBG2 code 2, NBG3 2 x 2. MPABN0-MPCDN3 hold the
  // slot numbers 0-15 in order, so a register read for another plane or slot shows.
  vdp2->WriteWordVDP2Regs(0x3A, 0x00E7);
  for (uint32_t r = 0; r < 8; ++r)
    vdp2->WriteWordVDP2Regs(0x40 + 2 * r, static_cast<uint16_t>((2 * r + 1) << 8 | 2 * r));
  const uint32_t sizeCodes[4] = {3, 1, 2, 3};
  for (PlaneId plane : {NBG0, NBG1, NBG2, NBG3}) {
    const CellPlaneParams p = vdp2->ReadCellPlaneParams(plane);
    EXPECT_EQ(p.planeSizeCode, sizeCodes[plane]) << "plane " << int{plane};
    for (uint32_t k = 0; k < 4; ++k)
      EXPECT_EQ(p.planeAddress[k], 4u * plane + k) << "plane " << int{plane} << " slot " << k;
  }
  // A map value counts pages: 8 KB of one-word names of 1 x 1 characters, 2 KB of 2 x 2;
  // two-word names take twice that.
  const struct {
    uint32_t oneWord, characterSize, pageBytes;
  } pages[] = {{1, 0, 0x2000}, {1, 1, 0x800}, {0, 0, 0x4000}, {0, 1, 0x1000}};
  for (const auto& c : pages) {
    CellPlaneParams p{};
    p.patternNameSize = c.oneWord;
    p.characterSize = c.characterSize;
    p.planeAddress[0] = 1;
    VDP2Core::ComputePlaneAddresses(p);
    EXPECT_EQ(p.planeAddress[0], c.pageBytes) << c.oneWord << " word, size " << c.characterSize;
  }
}

TEST(Vdp2PatternNames, SupplementaryBitsAndTwoWordNamesGiveTheCharacter) {
  // 2x2 characters take the number's low two bits from the supplementary field, above
  // 10 or 12 bits of the name; two-word names hold flips, palette and number themselves.
  const PatternName small = VDP2Core::DecodePatternNameWord(0x0401, 0x1F, 0, 1, 0, 0),
                    wide = VDP2Core::DecodePatternNameWord(0x0FFF, 0x13, 0, 1, 2, 1),
                    two = VDP2Core::DecodePatternNameLong(0xC07F3FFF, 0);
  EXPECT_EQ(std::tuple(small.characterAddress, wide.characterAddress, two.characterAddress),
            std::tuple(0x7007u * 32, 0x7FFFu * 32, 0x3FFFu * 32));
  EXPECT_EQ(std::tuple(two.hFlip, two.vFlip, two.palette), std::tuple(1, 1, 0x7Fu));
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
  // A run of 2048-colour dots: words 0x0102 and 0x0304.
  vdp2->DecodeDotRun(0x1000, 2, 1, 4, 0, 1, 0, out.data());
  EXPECT_EQ(std::vector(out.begin(), out.begin() + 2), (std::vector<uint32_t>{W(0x102), W(0x304)}));
}

}  // namespace
}  // namespace vdptest
