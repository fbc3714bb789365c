// VDP2 display state: the resolution TVMD selects, and colour RAM change records.
#include <gtest/gtest.h>

#include "vdp2_rig.h"

namespace vdptest {
namespace {

struct ResolutionCase {
  const char* mode;
  uint16_t tvmd;
  int32_t width, height, hMul, vMul;
  uint8_t hiRes, doubleDensity;
};

TEST(Vdp2Resolution, EveryTvmdStateGivesItsPictureSizeAndDoubling) {
  const ResolutionCase cases[] = {
      {"320x224 progressive", 0x8000, 320, 224, 1, 1, 0, 0},
      {"352x240 single density", 0x8091, 352, 240, 1, 1, 0, 0},
      {"320x224 double density", 0x80C0, 640, 448, 2, 1, 0, 1},
      {"352x240 double density", 0x80D1, 704, 480, 2, 1, 0, 1},
      {"640x224 progressive", 0x8002, 640, 448, 1, 2, 1, 0},
      {"704x240 single density", 0x8093, 704, 480, 1, 2, 1, 0},
      {"640x240 double density", 0x80D2, 640, 480, 1, 1, 0, 1},
      {"display disabled", 0x0000, 320, 224, 1, 1, 0, 0},
  };
  Vdp2Rig rig;
  for (const ResolutionCase& c : cases) {
    SCOPED_TRACE(c.mode);
    rig.Reg(vdp2reg::TVMD, c.tvmd);
    VDP2Core& v = *rig.vdp2;
    EXPECT_EQ(v.displayWidth, c.width);
    EXPECT_EQ(v.displayHeight, c.height);
    EXPECT_EQ(v.horizontalMultiplier, c.hMul);
    EXPECT_EQ(v.verticalMultiplier, c.vMul);
    EXPECT_EQ(v.hiResDoubled, c.hiRes);
    EXPECT_EQ(v.doubleDensity, c.doubleDensity);
    // The display is told at once.
    EXPECT_EQ(rig.display->vdpWidth, c.width);
    EXPECT_EQ(rig.display->vdpHeight, c.height);
  }
}

TEST(Vdp2Resolution, ForbiddenInterlaceSettingKeepsDoubleDensityButNotTheLines) {
  Vdp2Rig rig;
  rig.Reg(vdp2reg::TVMD, 0x80C0);
  rig.Reg(vdp2reg::TVMD, 0x8040);
  EXPECT_EQ(rig.vdp2->doubleDensity, 1);
  EXPECT_EQ(rig.vdp2->displayWidth, 320);
  EXPECT_EQ(rig.vdp2->displayHeight, 224);
  EXPECT_EQ(rig.vdp2->horizontalMultiplier, 1);
  EXPECT_EQ(rig.vdp2->verticalMultiplier, 1);
}

class CramChangeRecords : public ::testing::Test {
 protected:
  void SetUp() override {
    rig.Reg(vdp2reg::RAMCTL, 0x1000);  // 2048 colours, no mirroring
    rig.Frame();                       // construction's "changed" marks settle at frame 0
    while (rig.vdp2->frameCounter < 7) rig.vdp2->VDPOnVblankOut();
  }
  Vdp2Rig rig;
};

TEST_F(CramChangeRecords, ChangedWordStampsItsBlockBankAndWholeRamForTheFrame) {
  VDP2Core& v = *rig.vdp2;
  v.WriteWordVDP2CRAM(0x123 * 2, 0x7FFF);
  v.DetectCramChanges();
  EXPECT_EQ(v.paletteBlockChange[0x12].changed, 1);
  EXPECT_EQ(v.paletteBlockChange[0x12].stamp, 7u);
  EXPECT_EQ(v.paletteBankChange[1].changed, 1);
  EXPECT_EQ(v.paletteBankChange[1].stamp, 7u);
  EXPECT_EQ(v.cramChange.changed, 1);
  EXPECT_EQ(v.cramChange.stamp, 7u);
  // Neighbours are left alone.
  EXPECT_EQ(v.paletteBlockChange[0x11].changed, 0);
  EXPECT_EQ(v.paletteBlockChange[0x11].stamp, 0u);
  EXPECT_EQ(v.paletteBankChange[0].changed, 0);
  v.SettleCramChanges();
  EXPECT_EQ(v.paletteBlockChange[0x12].changed, 0);
  EXPECT_EQ(v.paletteBlockChange[0x12].stamp, 7u);
  EXPECT_EQ(v.paletteBankChange[1].changed, 0);
  EXPECT_EQ(v.cramChange.changed, 0);
  EXPECT_EQ(v.cramChange.stamp, 7u);
  // Direct colour never changes.
  EXPECT_EQ(v.directColourChange.changed, 0);
  EXPECT_EQ(v.directColourChange.stamp, 0xFFFFFFFFu);
}

TEST_F(CramChangeRecords, WordWrittenBackToItsOldValueBeforeTheFrameMarksNothing) {
  VDP2Core& v = *rig.vdp2;
  v.WriteWordVDP2CRAM(0x123 * 2, 0x7FFF);
  v.WriteWordVDP2CRAM(0x123 * 2, 0x0000);
  v.DetectCramChanges();
  for (const PaletteChangeRecord& r : v.paletteBlockChange) EXPECT_EQ(r.changed, 0);
  EXPECT_EQ(v.cramChange.changed, 0);
  EXPECT_EQ(v.cramChange.stamp, 0u);
}

}  // namespace
}  // namespace vdptest
