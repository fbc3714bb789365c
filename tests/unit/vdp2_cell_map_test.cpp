// VDP2 cell plane maps: plane start addresses, pattern name data, register fields.
#include <gtest/gtest.h>

#include "vdp2_rig.h"

namespace vdptest {
namespace {

struct AddressCase {
  const char* what;
  uint32_t planeSizeCode, patternNameSize, characterSize, mapOffset, mapValue;
  uint32_t address;
};

TEST(Vdp2PlaneAddresses, MapValuesCountPagesOfThePatternNameLayout) {
  const AddressCase cases[] = {
      {"1x1, one word, 1x1 cells: 8 KB pages", 0, 1, 0, 0, 5, 5 << 13},
      {"1x1, one word, 2x2 cells, map offset 1", 0, 1, 1, 1, 3, 0x21800},
      {"1x1, two words, 1x1 cells: 16 KB pages, 5 bits", 0, 0, 0, 0, 33, 1 << 14},
      {"1x1, two words, 2x2 cells: 4 KB pages", 0, 0, 1, 0, 7, 7 << 12},
      {"1x1, map offset bits past VRAM wrap", 0, 1, 1, 7, 63, ((7 << 6 | 63) & 255) << 11},
      {"2x1: odd map value moves two pages on", 1, 1, 0, 0, 1, 2 << 13},
      {"2x1: even map value stays", 1, 1, 0, 0, 2, 2 << 13},
      {"2x1: moved plane past VRAM falls back", 1, 1, 0, 0, 63, 62 << 13},
      {"2x2: bit 1 moves eight pages on", 3, 1, 0, 0, 2, 8 << 13},
      {"2x2: bit 0 is ignored", 3, 1, 0, 0, 5, 4 << 13},
      {"2x2, two words, 1x1 cells: 0x90000 falls back to 0x70000", 3, 0, 0, 0, 30, 0x70000},
      {"code 2 is taken as one page", 2, 1, 0, 0, 5, 5 << 13},
  };
  for (const AddressCase& c : cases) {
    SCOPED_TRACE(c.what);
    CellPlaneParams p{};
    p.planeSizeCode = c.planeSizeCode;
    p.patternNameSize = c.patternNameSize;
    p.characterSize = c.characterSize;
    p.mapOffset = c.mapOffset;
    for (uint32_t& a : p.planeAddress) a = c.mapValue;
    VDP2Core::ComputePlaneAddresses(p);
    for (uint32_t a : p.planeAddress) {
      EXPECT_EQ(a, c.address);
      EXPECT_LT(a, 0x80000u);
    }
  }
}

struct NameCase {
  const char* what;
  uint16_t word;
  uint32_t spcn, splt, size, colourMode, cnsm;
  uint8_t hFlip, vFlip;
  uint32_t palette, address;
};

TEST(Vdp2PatternNames, OneWordDataGivesFlipsPaletteAndCharacter) {
  const NameCase cases[] = {
      {"16 colours, both flips, supplementary palette", 0x8C05, 0, 1, 0, 0, 0, 1, 1, 0x18, 0xA0},
      {"supplementary character bits above the word", 0x0001, 0x1F, 0, 0, 0, 0, 0, 0, 0,
       ((0x1Fu << 10) | 1) * 32},
      {"12-bit character numbers have no flips", 0x0C05, 0x1C, 0, 0, 0, 1, 0, 0, 0,
       ((0x1Cu << 10) | 0xC05) * 32},
      {"256 colours: palette bits 6-4 only", 0xF003, 0, 7, 0, 1, 0, 0, 0, 7, 3 * 32},
      {"2x2 cells: low bits from the supplementary field", 0x0401, 0x1F, 0, 1, 0, 0, 1, 0, 0,
       ((((0x1Cu << 8) | 1) << 2) | 3) * 32},
      {"2x2 cells, 12-bit numbers", 0x0FFF, 0x13, 0, 1, 2, 1, 0, 0, 0,
       ((((0x10u << 8) | 0xFFF) << 2) | 3) * 32},
  };
  for (const NameCase& c : cases) {
    SCOPED_TRACE(c.what);
    const PatternName n =
        VDP2Core::DecodePatternNameWord(c.word, c.spcn, c.splt, c.size, c.colourMode, c.cnsm);
    EXPECT_EQ(n.hFlip, c.hFlip);
    EXPECT_EQ(n.vFlip, c.vFlip);
    EXPECT_EQ(n.palette, c.palette);
    EXPECT_EQ(n.characterAddress, c.address);
  }
}

TEST(Vdp2PatternNames, TwoWordDataGivesFlipsPaletteAndCharacter) {
  PatternName n = VDP2Core::DecodePatternNameLong(0xC07F3FFF, 0);
  EXPECT_EQ(n.hFlip, 1);
  EXPECT_EQ(n.vFlip, 1);
  EXPECT_EQ(n.palette, 0x7Fu);
  EXPECT_EQ(n.characterAddress, 0x3FFFu * 32);
  n = VDP2Core::DecodePatternNameLong(0x40500012, 1);
  EXPECT_EQ(n.hFlip, 1);
  EXPECT_EQ(n.vFlip, 0);
  EXPECT_EQ(n.palette, 5u);  // bits 6-4 of the 7-bit field
  EXPECT_EQ(n.characterAddress, 0x12u * 32);
}

TEST(Vdp2CellPlaneParams, ScrollZoomAndSizesComeFromTheirRegisterBits) {
  Vdp2Rig rig;
  rig.Reg(vdp2reg::RAMCTL, 0x2000);  // RAM mode 2: offsets in 1 KB steps
  rig.Reg(vdp2reg::CRAOFA, 0x5321);
  rig.Reg(vdp2reg::CHCTLA, 0x3140);  // NBG0: 16.7M colours; NBG1: 2x2, 32,768
  rig.Reg(vdp2reg::PLSZ, 0x00C4);    // NBG1 2x1, NBG3 2x2
  rig.Reg(vdp2reg::SCXIN1, 0x07FF);  // -1
  rig.Reg(vdp2reg::SCYIN1, 0xF400);  // bits above 10 ignored: -1024
  rig.Reg(vdp2reg::ZMXIN1, 0xFFF1);  // integer bits 2-0
  rig.Reg(vdp2reg::ZMXDN1, 0x80FF);  // fraction bits 15-8
  rig.Reg(vdp2reg::SCXN3, 0x03FF);
  const CellPlaneParams n0 = rig.vdp2->ReadCellPlaneParams(NBG0);
  EXPECT_EQ(n0.cramOffset, 1u << 10);
  EXPECT_EQ(n0.bytesPerCell, 256u);
  const CellPlaneParams n1 = rig.vdp2->ReadCellPlaneParams(NBG1);
  EXPECT_EQ(n1.cramOffset, 2u << 10);
  EXPECT_EQ(n1.patternsPerPage, 1024u);
  EXPECT_EQ(n1.bytesPerCell, 128u);
  EXPECT_EQ(n1.planeWidth, 1024);
  EXPECT_EQ(n1.planeHeight, 512);
  EXPECT_EQ(n1.scrollX, -1);
  EXPECT_EQ(n1.scrollY, -1024);
  EXPECT_FLOAT_EQ(n1.zoomX, 1.5f);
  const CellPlaneParams n3 = rig.vdp2->ReadCellPlaneParams(NBG3);
  EXPECT_EQ(n3.cramOffset, 5u << 10);
  EXPECT_EQ(n3.planeHeight, 1024);
  EXPECT_EQ(n3.scrollX, 1023);
  EXPECT_FLOAT_EQ(n3.zoomX, 1.0f);  // NBG2 and NBG3 never zoom
}

}  // namespace
}  // namespace vdptest
