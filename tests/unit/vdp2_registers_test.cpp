// VDP2 registers, VRAM and colour RAM as the host sees them.
#include <gtest/gtest.h>

#include <memory>

#include "plugin_fixture.h"
#include "vdp2/vdp2_core.h"

namespace {

class Vdp2Registers : public ::testing::Test {
 protected:
  vdptest::TempDir dir;
  PluginInitInfo info{0, nullptr, nullptr, dir.path().c_str()};
  std::unique_ptr<VDP2Core> vdp2 = std::make_unique<VDP2Core>(info);
};

TEST_F(Vdp2Registers, StatusReportsBlankingOddFieldAndDisabledDisplay) {
  struct Case {
    uint16_t tvmd;
    uint8_t vblank, hblank, odd;
    uint16_t status;
  } cases[] = {
      {0x0000, 0, 0, 0, 0x8},  // display off reads as V-blank
      {0x8000, 0, 0, 0, 0x0}, {0x8000, 0, 0, 1, 0x2},
      {0x8000, 1, 0, 0, 0x8}, {0x8000, 0, 1, 1, 0x6},
  };
  for (const Case& c : cases) {
    vdp2->WriteWordVDP2Regs(0x00, c.tvmd);
    vdp2->inVBlank = c.vblank;
    vdp2->inHBlank = c.hblank;
    vdp2->oddField = c.odd;
    EXPECT_EQ(vdp2->ReadWordVDP2Regs(0x04), c.status) << "TVMD " << std::hex << c.tvmd;
  }
}

TEST_F(Vdp2Registers, CountersFollowBlankingEvents) {
  const uint16_t first = vdp2->ReadWordVDP2Regs(0x08);
  EXPECT_EQ(vdp2->ReadWordVDP2Regs(0x08), first + 1);
  EXPECT_EQ(vdp2->ReadWordVDP2Regs(0x08), first + 2);
  vdp2->VDPOnVblankIn();
  vdp2->VDPOnVblankOut();
  for (int i = 0; i < 5; ++i) {
    vdp2->VDPOnHblankIn();
    vdp2->VDPOnHblankOut();
  }
  EXPECT_EQ(vdp2->ReadWordVDP2Regs(0x0A), 5);
  EXPECT_EQ(vdp2->oddField, 1) << "toggled five times";
  EXPECT_EQ(vdp2->ReadLongVDP2Regs(0x08), (static_cast<uint32_t>(first + 3) << 16) | 5u);
  EXPECT_EQ(vdp2->ReadWordVDP2Regs(0x08), first + 4) << "a long read advances HCNT once";
  EXPECT_EQ(vdp2->frameCounter, 1u);
}

TEST_F(Vdp2Registers, LongWriteInterpretsTheSecondRegisterFirst) {
  vdp2->WriteLongVDP2Regs(0xF0, 0x01020304);
  const uint8_t expected[4] = {2, 1, 4, 3};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(vdp2->spritePriority[i], expected[i]) << i;
  EXPECT_EQ(vdp2->ReadLongVDP2Regs(0xF0), 0x01020304u);
  // A long write to TVMD/EXTEN: TVMD is interpreted too.
  vdp2->WriteLongVDP2Regs(0x00, 0x80020000);
  EXPECT_EQ(vdp2->displayWidth, 640);
}

TEST_F(Vdp2Registers, SpriteTypeSelectsPriorityBits) {
  struct Case {
    uint16_t type, mask;
    uint32_t shift;
  } cases[] = {{0, 0xC000, 14}, {1, 0xE000, 13}, {5, 0x7000, 12},
               {8, 0x0080, 7},  {10, 0x00C0, 6}, {12, 0, 0}};
  for (const Case& c : cases) {
    vdp2->WriteWordVDP2Regs(0xE0, static_cast<uint16_t>(0x0020 | c.type));
    EXPECT_EQ(vdp2->spritePRBitsMask, c.mask) << "type " << c.type;
    EXPECT_EQ(vdp2->spritePRBitsShift, c.shift) << "type " << c.type;
  }
}

TEST_F(Vdp2Registers, ColourRamMirrorsOnlyInRamModeZero) {
  vdp2->WriteWordVDP2CRAM(0x0A, 0x1234);
  EXPECT_EQ(vdp2->cram[5], 0x1234);
  EXPECT_EQ(vdp2->cram[1029], 0x1234);
  vdp2->WriteLongVDP2CRAM(0x804, 0xAAAABBBB);
  EXPECT_EQ(vdp2->ReadLongVDP2CRAM(0x804), 0xAAAABBBBu);
  EXPECT_EQ(vdp2->cram[0x002], 0xAAAA);
  EXPECT_EQ(vdp2->cram[0x003], 0xBBBB);
  vdp2->WriteWordVDP2Regs(0x0E, 0x1000);  // RAM mode 1
  vdp2->WriteWordVDP2CRAM(0x0C, 0x5678);
  EXPECT_EQ(vdp2->cram[6], 0x5678);
  EXPECT_EQ(vdp2->cram[1030], 0);
  // Addresses past colour RAM wrap into it.
  vdp2->WriteWordVDP2CRAM(0x100E, 0x0F0F);
  EXPECT_EQ(vdp2->ReadWordVDP2CRAM(0x0E), 0x0F0F);
  vdp2->WriteLongVDP2CRAM(0xFFFFFFFE, 0x11112222);  // stays inside the 2048 words
  EXPECT_EQ(vdp2->cram[0x7FE], 0x1111);
  EXPECT_EQ(vdp2->cram[0x7FF], 0x2222);
}

TEST_F(Vdp2Registers, VramWritesMarkTheirTileAndBankOnlyWhenDataChanges) {
  for (auto& e : vdp2->tileCache) e.dirty = 0;
  for (auto& b : vdp2->vramBankChanged) b = 0;
  vdp2->WriteByteVDP2VRAM(0x1F2C0, 0);  // already 0
  EXPECT_EQ(vdp2->tileCache[0xF96].dirty, 0);
  EXPECT_EQ(vdp2->vramBankChanged[1], 0);
  vdp2->WriteWordVDP2VRAM(0x1F2C0, 0xBEEF);
  EXPECT_EQ(vdp2->tileCache[0xF96].dirty, 1);
  EXPECT_EQ(vdp2->vramBankChanged[1], 1);
  EXPECT_EQ(vdp2->tileCache[0xF95].dirty + vdp2->tileCache[0xF97].dirty, 0);
  EXPECT_EQ(vdp2->ReadByteVDP2VRAM(0x1F2C1), 0xEF);
  vdp2->WriteLongVDP2VRAM(0xFFFFFFFC, 0x01020304);  // last long of VRAM
  EXPECT_EQ(vdp2->tileCache[16383].dirty, 1);
  EXPECT_EQ(vdp2->vramBankChanged[7], 1);
  EXPECT_EQ(vdp2->ReadLongVDP2VRAM(0x7FFFC), 0x01020304u);
}

TEST_F(Vdp2Registers, ResetRestartsTheFrameClockAndMarksEverythingForRefresh) {
  vdp2->WriteWordVDP2Regs(0x20, 0x001F);
  vdp2->VDPOnVblankOut();
  for (auto& e : vdp2->tileCache) e.dirty = 0;
  for (auto& b : vdp2->vramBankChanged) b = 0;
  for (auto& p : vdp2->planeNeedsFullUpload) p = 0;
  vdp2->Reset();
  EXPECT_EQ(vdp2->frameCounter, 0u);
  for (const auto& e : vdp2->tileCache) ASSERT_EQ(e.dirty, 1);
  for (uint8_t b : vdp2->vramBankChanged) EXPECT_EQ(b, 1);
  for (uint8_t p : vdp2->planeNeedsFullUpload) EXPECT_EQ(p, 1);
  EXPECT_EQ(vdp2->ReadWordVDP2Regs(0x20), 0x001F) << "registers survive a reset";
}

}  // namespace
