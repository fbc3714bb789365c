// VDP2 cell planes: plane start addresses and pattern name data; the tile cache, which
// decodes a cell once per change of its VRAM or colours and sends a pattern position to
// the GPU only when what it shows changed.
#include <gtest/gtest.h>

#include <tuple>

#include "vdp2_rig.h"

namespace vdptest {
namespace {

TEST(Vdp2PlaneAddresses, MapValuesCountPagesOfThePatternNameLayout) {
  struct Case {
    const char* what;
    uint32_t planeSizeCode, patternNameSize, characterSize, mapOffset, mapValue, address;
  };
  const Case cases[] = {
      {"1x1, one word, 1x1 cells: 8 KB pages", 0, 1, 0, 0, 5, 5 << 13},
      {"1x1, one word, 2x2 cells, map offset 1", 0, 1, 1, 1, 3, 0x21800},
      {"1x1, two words, 1x1 cells: 16 KB pages, 5 bits", 0, 0, 0, 0, 33, 1 << 14},
      {"1x1, two words, 2x2 cells: 4 KB pages", 0, 0, 1, 0, 7, 7 << 12},
      {"1x1, map offset bits past VRAM wrap", 0, 1, 1, 7, 63, 0x7F800},
      {"2x1: odd map value moves two pages on", 1, 1, 0, 0, 1, 2 << 13},
      {"2x1: moved plane past VRAM falls back", 1, 1, 0, 0, 63, 62 << 13},
      {"2x2: bit 1 moves eight pages on, bit 0 ignored", 3, 1, 0, 0, 7, 12 << 13},
      {"2x2, two words: 0x90000 falls back to 0x70000", 3, 0, 0, 0, 30, 0x70000},
      {"code 2 is taken as one page", 2, 1, 0, 0, 5, 5 << 13},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CellPlaneParams p{};
    p.planeSizeCode = c.planeSizeCode;
    p.patternNameSize = c.patternNameSize;
    p.characterSize = c.characterSize;
    p.mapOffset = c.mapOffset;
    for (uint32_t& a : p.planeAddress) a = c.mapValue;
    VDP2Core::ComputePlaneAddresses(p);
    for (uint32_t a : p.planeAddress) EXPECT_EQ(a, c.address);
  }
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
      {"supplementary character above 10 bits", 0, 0x0001, 0x1F, 0, 0, 0, 0, 0, 0, 0, 0x7C01},
      {"12-bit numbers have no flips", 0, 0x0C05, 0x1C, 0, 0, 0, 1, 0, 0, 0, 0x7C05},
      {"256 colours: palette bits 6-4 only", 0, 0xF003, 0, 7, 0, 1, 0, 0, 0, 7, 0x003},
      {"2x2: low bits supplementary", 0, 0x0401, 0x1F, 0, 1, 0, 0, 1, 0, 0, 0x7007},
      {"2x2, 12-bit numbers", 0, 0x0FFF, 0x13, 0, 1, 2, 1, 0, 0, 0, 0x7FFF},
      {"two words, 16 colours", 1, 0xC07F3FFF, 0, 0, 0, 0, 0, 1, 1, 0x7F, 0x3FFF},
      {"two words, 256 colours", 1, 0x40500012, 0, 0, 0, 1, 0, 1, 0, 5, 0x12},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const PatternName n =
        c.twoWords ? VDP2Core::DecodePatternNameLong(c.data, c.colourMode)
                   : VDP2Core::DecodePatternNameWord(static_cast<uint16_t>(c.data), c.spcn, c.splt,
                                                     c.size, c.colourMode, c.cnsm);
    EXPECT_EQ(std::tuple(n.hFlip, n.vFlip, n.palette, n.characterAddress),
              std::tuple(c.hFlip, c.vFlip, c.palette, c.character * 32));
  }
}

// A 320 x 224 window over 8-dot patterns touches 41 x 29 positions.
constexpr uint32_t kRows = 29, kPositions = 41 * kRows;
constexpr uint32_t kMapPage = 8;  // pattern names at page 8 of the page size

// NBG0 in 16 colours unless chctla says otherwise: every name is `other` but those of
// column 0, which are `column`; characters 8 and 16 hold dots 1 and 2; colour RAM
// offset 1 (256 words on, 512 in RAM mode 2). Gives the map.
uint32_t ColumnScene(Vdp2Rig& rig, uint16_t chctla, uint16_t column, uint16_t other,
                     uint16_t ramctl = 0x1000) {
  rig.Regs({vdp2reg::RAMCTL, ramctl, vdp2reg::CRAOFA, 1});
  for (uint32_t i = 0; i < 256; ++i) {
    rig.vdp2->WriteByteVDP2VRAM(8 * 32 + i, 0x11);
    rig.vdp2->WriteByteVDP2VRAM(16 * 32 + i, 0x22);
  }
  rig.CellNbg0(chctla, 0, kMapPage, other);
  const uint32_t map = kMapPage * ((chctla & 1) ? 0x800 : 0x2000);
  for (uint32_t row = 0; row < 64; ++row) rig.Words(map + 2 * (row * 64), column, 1);
  return map;
}

TEST(Vdp2TileCache, OneChangeUploadsOnlyTheCellsThatShowIt) {
  struct Case {
    const char* what;
    uint16_t chctla, column, other;
    bool cram;  // the change: a colour RAM word, or a VRAM word in the map
    uint32_t index;
    uint32_t uploads;
    uint16_t ramctl = 0x1000;
  };
  const Case cases[] = {
      {"one pattern name in view", 0x0000, 0x3008, 0x2010, false, 2 * 64 + 3, 1},
      {"one pattern name out of view", 0x0000, 0x3008, 0x2010, false, 40 * 64 + 3, 0},
      {"one 2x2 pattern name: its four cells", 0x0001, 0x3008, 0x2010, false, 2 * 32 + 3, 4},
      {"16 colours, palette 3's block", 0x0000, 0x3008, 0x2010, true, 0x135, kRows},
      {"16 colours, palette 2's block", 0x0000, 0x3008, 0x2010, true, 0x125, kPositions - kRows},
      {"16 colours, unused block", 0x0000, 0x3008, 0x2010, true, 0x145, 0},
      {"256 colours, bank of palette 1", 0x0010, 0x1008, 0x0010, true, 0x235, kRows},
      {"256 colours, unused bank", 0x0010, 0x1008, 0x0010, true, 0x335, 0},
      {"2048 colours, any word", 0x0020, 0x0008, 0x0010, true, 0x7FF, kPositions},
      {"RGB colours ignore colour RAM", 0x0030, 0x0008, 0x0010, true, 0x000, 0},
      {"RAM mode 2, palettes 2 and 3", 0x0000, 0x3008, 0x2010, true, 512 + 26, kPositions, 0x2000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Vdp2Rig rig;
    const uint32_t map = ColumnScene(rig, c.chctla, c.column, c.other, c.ramctl);
    rig.Frame();
    rig.Frame();
    ASSERT_EQ(rig.display->counters.texSubImageCalls, 0u) << "an unchanged frame uploads nothing";
    if (c.cram)
      rig.vdp2->WriteWordVDP2CRAM(c.index * 2, 0x1234);
    else
      rig.Words(map + 2 * c.index, c.column, 1);
    rig.Frame();
    EXPECT_EQ(rig.display->counters.texSubImageCalls, c.uploads);
    rig.Frame();
    EXPECT_EQ(rig.display->counters.texSubImageCalls, 0u) << "valid again after the frame";
  }
}

TEST(Vdp2TileCache, StampsFromBeforeAResetNeitherHideChangesNorKeepUploading) {
  Vdp2Rig rig;
  ColumnScene(rig, 0x0000, 0x3008, 0x2010);
  while (rig.vdp2->frameCounter < 10) rig.Frame();
  // In frame 10 palette 3's block and character 16 (shown outside column 0) change.
  rig.vdp2->WriteWordVDP2CRAM(0x135 * 2, 0x1234);
  rig.vdp2->WriteByteVDP2VRAM(16 * 32, 0x32);
  rig.Frame();
  rig.vdp1->Reset();
  rig.vdp2->Reset();  // the frame counter starts again at 0
  const DisplayWorkCounters& work = rig.display->counters;
  rig.Frame();
  EXPECT_GE(work.texSubImageCalls, 2u) << "both characters decode again";
  rig.Frame();
  EXPECT_EQ(work.texSubImageCalls, 0u) << "settled at once";
  rig.vdp2->WriteByteVDP2VRAM(16 * 32, 0x33);
  rig.Frame();
  EXPECT_EQ(work.texSubImageCalls, kPositions - kRows) << "the change shows everywhere";
}

}  // namespace
}  // namespace vdptest
