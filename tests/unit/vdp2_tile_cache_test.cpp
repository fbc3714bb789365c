// VDP2 tile cache: cells are decoded once per change of their VRAM or colours, and a
// pattern position reaches the GPU only when what it shows changed.
#include <gtest/gtest.h>

#include "vdp2_rig.h"

namespace vdptest {
namespace {

// A 320 x 224 window over 8-dot patterns touches 41 x 29 positions.
constexpr uint32_t kColumns = 41, kRows = 29, kPositions = kColumns * kRows;
constexpr uint32_t kMapPage = 8;  // pattern names at 0x10000
constexpr uint32_t kMap = kMapPage * 0x2000;

class TileCache : public ::testing::Test {
 protected:
  // Character n of `bytes` bytes filled with a non-zero dot pattern.
  void Character(uint32_t n, uint32_t bytes, uint8_t fill = 0x12) {
    for (uint32_t i = 0; i < bytes; ++i) v.WriteByteVDP2VRAM(n * 32 + i, fill);
  }
  uint32_t Uploads() const { return rig.display->counters.texSubImageCalls; }
  Vdp2Rig rig;
  VDP2Core& v = *rig.vdp2;
};

TEST_F(TileCache, ChangedPatternNameUploadsThatPatternsCellsOnly) {
  struct Case {
    const char* what;
    uint16_t chctla;
    uint32_t pageBytes, index;
    uint32_t uploads;
  };
  const Case cases[] = {
      {"1x1 character in view", 0x0000, 0x2000, 2 * 64 + 3, 1},
      {"2x2 character in view", 0x0001, 0x800, 2 * 32 + 3, 4},
      {"1x1 character out of view", 0x0000, 0x2000, 40 * 64 + 3, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Vdp2Rig local;
    for (uint32_t i = 0; i < 512; ++i) local.vdp2->WriteByteVDP2VRAM(0x100 + i, 0x34);
    local.CellNbg0(c.chctla, 0, kMapPage, 8);
    local.Frame();
    local.Frame();
    ASSERT_EQ(local.display->counters.texSubImageCalls, 0u);
    local.vdp2->WriteWordVDP2VRAM(kMapPage * c.pageBytes + 2 * c.index, 12);
    local.Frame();
    EXPECT_EQ(local.display->counters.texSubImageCalls, c.uploads);
  }
}

TEST_F(TileCache, CellIsKeyedByItsFirst32Bytes) {
  // A 256-colour cell at 0x20020 (entry 0x1001) spans the block of entry 0x1002 too.
  for (uint32_t i = 0; i < 64; ++i) v.WriteByteVDP2VRAM(0x20020 + i, 0x05);
  // Character number 0x1001: supplementary character 4, name 1.
  rig.CellNbg0(0x0010, 4, kMapPage, 1);
  rig.Frame();
  rig.Frame();
  const uint32_t stamp = v.tileCache[0x1001].stamp;
  v.WriteWordVDP2VRAM(0x20040, 0x0707);
  EXPECT_EQ(v.tileCache[0x1002].dirty, 1);
  EXPECT_EQ(v.tileCache[0x1001].dirty, 0);
  rig.Frame();
  EXPECT_EQ(Uploads(), 0u);
  EXPECT_EQ(v.tileCache[0x1001].stamp, stamp);
  v.WriteWordVDP2VRAM(0x20020, 0x0707);
  rig.Frame();
  EXPECT_EQ(Uploads(), kPositions) << "every position showing the cell uploads it";
  rig.Frame();
  EXPECT_EQ(Uploads(), 0u);
}

TEST_F(TileCache, AnotherPaletteDecodesTheCellAgain) {
  Character(8, 32);
  rig.CellNbg0(0x0000, 0, kMapPage, 0x3008);
  rig.Frame();
  EXPECT_EQ(v.tileCache[8].palette, 3u);
  rig.Words(kMap, 0x4008, 4096);
  rig.Frame();
  EXPECT_EQ(v.tileCache[8].palette, 4u);
  EXPECT_EQ(v.tileCache[8].stamp, v.frameCounter - 1);
  EXPECT_EQ(Uploads(), kPositions);
  rig.Frame();
  EXPECT_EQ(Uploads(), 0u);
}

TEST_F(TileCache, ColourRamChangeRecolorsOnlyCellsUsingTheChangedRange) {
  struct Case {
    const char* what;
    uint16_t chctla;
    uint16_t columnName, otherName;  // palette bits 15-12, character 8 or 16
    uint32_t changedWord;
    uint32_t uploads;
  };
  const Case cases[] = {
      {"16 colours, palette 3's block", 0x0000, 0x3008, 0x2010, 0x35, kRows},
      {"16 colours, palette 2's block", 0x0000, 0x3008, 0x2010, 0x25, kPositions - kRows},
      {"16 colours, unused block", 0x0000, 0x3008, 0x2010, 0x45, 0},
      {"256 colours, bank of palette 1", 0x0010, 0x1008, 0x0010, 0x135, kRows},
      {"256 colours, bank of palette 0", 0x0010, 0x1008, 0x0010, 0x035, kPositions - kRows},
      {"256 colours, unused bank", 0x0010, 0x1008, 0x0010, 0x235, 0},
      {"2048 colours, any word", 0x0020, 0x0008, 0x0010, 0x7FF, kPositions},
      {"32,768 colours ignore colour RAM", 0x0030, 0x0008, 0x0010, 0x000, 0},
      {"16.7M colours ignore colour RAM", 0x0040, 0x0008, 0x0010, 0x001, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Vdp2Rig local;
    local.Reg(vdp2reg::RAMCTL, 0x1000);
    for (uint32_t i = 0; i < 256; ++i) {
      local.vdp2->WriteByteVDP2VRAM(8 * 32 + i, 0x11);
      local.vdp2->WriteByteVDP2VRAM(16 * 32 + i, 0x22);
    }
    local.CellNbg0(c.chctla, 0, kMapPage, c.otherName);
    for (uint32_t row = 0; row < 64; ++row)
      local.vdp2->WriteWordVDP2VRAM(kMap + 2 * (row * 64), c.columnName);
    local.Frame();
    local.Frame();
    ASSERT_EQ(local.display->counters.texSubImageCalls, 0u);
    local.vdp2->WriteWordVDP2CRAM(c.changedWord * 2, 0x1234);
    local.Frame();
    EXPECT_EQ(local.display->counters.texSubImageCalls, c.uploads);
    local.Frame();
    EXPECT_EQ(local.display->counters.texSubImageCalls, 0u) << "valid again after the frame";
  }
}

TEST_F(TileCache, StampsFromBeforeAResetNeitherHideChangesNorKeepUploading) {
  rig.Reg(vdp2reg::RAMCTL, 0x1000);
  Character(8, 32);
  Character(16, 32, 0x34);
  rig.CellNbg0(0x0000, 0, kMapPage, 0x2010);
  for (uint32_t row = 0; row < 64; ++row) rig.Words(kMap + 2 * (row * 64), 0x3008, 1);
  while (v.frameCounter < 10) rig.Frame();
  // In frame 10 palette 3's block and character 16 (shown outside column 0) change.
  v.WriteWordVDP2CRAM(0x35 * 2, 0x1234);
  v.WriteByteVDP2VRAM(16 * 32, 0x32);
  rig.Frame();
  rig.vdp1->Reset();
  v.Reset();  // the frame counter starts again at 0
  rig.Frame();
  EXPECT_GE(Uploads(), 2u) << "both characters decode again";
  rig.Frame();
  EXPECT_EQ(Uploads(), 0u) << "settled at once";
  v.WriteByteVDP2VRAM(16 * 32, 0x33);
  rig.Frame();
  EXPECT_EQ(Uploads(), kPositions - kRows) << "the change shows everywhere";
  rig.Frame();
  EXPECT_EQ(Uploads(), 0u);
}

TEST(Vdp2MirrorTile, FlipsMirrorRowsColumnsOrBoth) {
  uint32_t src[64], dst[64];
  for (uint32_t i = 0; i < 64; ++i) src[i] = i;
  VDP2Core::MirrorTile(1, 0, src, dst);
  EXPECT_EQ(dst[0], 7u);
  EXPECT_EQ(dst[7], 0u);
  EXPECT_EQ(dst[8 * 3 + 1], 8u * 3 + 6);
  VDP2Core::MirrorTile(0, 1, src, dst);
  EXPECT_EQ(dst[0], 56u);
  EXPECT_EQ(dst[8 * 3 + 1], 8u * 4 + 1);
  VDP2Core::MirrorTile(1, 1, src, dst);
  for (uint32_t i = 0; i < 64; ++i) EXPECT_EQ(dst[i], 63 - i);
}

}  // namespace
}  // namespace vdptest
