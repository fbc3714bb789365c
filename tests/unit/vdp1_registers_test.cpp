// VDP1 registers, VRAM and the marks they leave for the texture cache.
#include <gtest/gtest.h>

#include <memory>

#include "plugin_fixture.h"
#include "vdp1/vdp1_core.h"

namespace {

class Vdp1Registers : public ::testing::Test {
 protected:
  vdptest::TempDir dir;
  PluginInitInfo info{0, nullptr, nullptr, dir.path().c_str()};
  std::unique_ptr<VDP1Core> vdp1 = std::make_unique<VDP1Core>(info);
};

TEST_F(Vdp1Registers, FrameBufferChangeRequestsFollowModeTriggerAndVblankErase) {
  struct Case {
    uint16_t tvmr, ptmr, fbcr;
    uint8_t erase, flip, draw;
  } cases[] = {
      {0x0000, 2, 0x0003, 0, 1, 1},  // manual change, draw at change
      {0x0008, 2, 0x0003, 1, 1, 1},  // with V-blank erase
      {0x0000, 2, 0x0002, 1, 0, 0},  // manual erase only
      {0x0008, 2, 0x0002, 0, 0, 0},  // V-blank erase makes m = 6: nothing
      {0x0000, 0, 0x0003, 0, 1, 0},  // no automatic drawing
      {0x0000, 2, 0x0000, 0, 0, 0},  // one-cycle: handled per frame
  };
  for (const Case& c : cases) {
    vdp1->drawRequest = vdp1->eraseRequest = vdp1->flipRequest = 0;
    vdp1->WriteWordVDP1Regs(0x00, c.tvmr);
    vdp1->WriteWordVDP1Regs(0x04, c.ptmr);
    vdp1->drawRequest = 0;
    vdp1->WriteWordVDP1Regs(0x02, c.fbcr);
    EXPECT_EQ(vdp1->eraseRequest, c.erase) << "TVMR " << c.tvmr << " FBCR " << c.fbcr;
    EXPECT_EQ(vdp1->flipRequest, c.flip) << "TVMR " << c.tvmr << " FBCR " << c.fbcr;
    EXPECT_EQ(vdp1->drawRequest, c.draw) << "TVMR " << c.tvmr << " FBCR " << c.fbcr;
  }
}

TEST_F(Vdp1Registers, PlotTriggerOneRequestsADrawAndOthersDoNot) {
  for (uint16_t ptm : {0, 2, 3, 5}) {
    vdp1->drawRequest = 0;
    vdp1->WriteWordVDP1Regs(0x04, ptm);
    EXPECT_EQ(vdp1->drawRequest, (ptm & 3) == 1 ? 1 : 0) << "PTMR " << ptm;
  }
}

TEST_F(Vdp1Registers, InterlaceAndHighResolutionSetTheVerticalMultiplier) {
  struct Case {
    uint16_t tvmr, fbcr;
    uint8_t highRes, interlace;
    uint32_t yMultiplier;
  } cases[] = {
      {0, 0x0000, 0, 0, 1}, {0, 0x0008, 0, 1, 2}, {0, 0x000C, 0, 1, 2},
      {1, 0x0000, 1, 0, 2}, {1, 0x0008, 1, 1, 1}, {2, 0x0000, 0, 0, 1},
  };
  for (const Case& c : cases) {
    vdp1->WriteWordVDP1Regs(0x00, c.tvmr);
    vdp1->WriteWordVDP1Regs(0x02, c.fbcr);
    EXPECT_EQ(vdp1->highResolution, c.highRes);
    EXPECT_EQ(vdp1->doubleInterlace, c.interlace);
    EXPECT_EQ(vdp1->yMultiplier, c.yMultiplier) << "TVMR " << c.tvmr << " FBCR " << c.fbcr;
  }
  // Double interlace d = 4 changes neither; TV modes 4 to 7 keep high resolution.
  vdp1->WriteWordVDP1Regs(0x02, 0x0004);
  EXPECT_EQ(vdp1->yMultiplier, 1u);
  vdp1->WriteWordVDP1Regs(0x00, 1);
  vdp1->WriteWordVDP1Regs(0x00, 5);
  EXPECT_EQ(vdp1->highResolution, 1);
  vdp1->WriteWordVDP1Regs(0x00, 3);
  vdp1->WriteWordVDP1Regs(0x00, 7);
  EXPECT_EQ(vdp1->highResolution, 0);
}

TEST_F(Vdp1Registers, ModeStatusIsComputedAndUnmappedOffsetsReadZero) {
  vdp1->WriteWordVDP1Regs(0x00, 0x0009);
  vdp1->WriteWordVDP1Regs(0x02, 0x0003);
  vdp1->WriteWordVDP1Regs(0x04, 0x0002);
  EXPECT_EQ(vdp1->ReadWordVDP1Regs(0x16), 0x1119);
  vdp1->WriteWordVDP1Regs(0x0E, 0x5555);
  vdp1->WriteWordVDP1Regs(0x12, 0x1234);
  for (uint32_t offset : {0x0Eu, 0x01u, 0x13u, 0x18u, 0x1Eu})
    EXPECT_EQ(vdp1->ReadWordVDP1Regs(offset), 0) << "offset " << offset;
  EXPECT_EQ(vdp1->ReadWordVDP1Regs(0x12), 0x1234);  // LOPR reads back what was written
  EXPECT_EQ(vdp1->ReadWordVDP1Regs(0x32), 0x1234);  // only the low five address bits count
  // An odd offset stores into the register below it without side effects.
  vdp1->drawRequest = 0;
  vdp1->WriteWordVDP1Regs(0x05, 0x0001);
  EXPECT_EQ(vdp1->drawRequest, 0);
  EXPECT_EQ(vdp1->ReadWordVDP1Regs(0x04), 0x0001);
  // Offsets past the register image reach nothing else.
  const uint32_t vramBefore = vdp1->ReadLongVDP1VRAM(0);
  for (uint32_t offset = 0x18; offset < 0x20; offset += 2) vdp1->WriteWordVDP1Regs(offset, 0xFFFF);
  EXPECT_EQ(vdp1->ReadLongVDP1VRAM(0), vramBefore);
  EXPECT_EQ(vdp1->textureOwner[0], &vdp1->spriteTextures[0]);
}

TEST_F(Vdp1Registers, VramWritesMarkTheOwningTextureOnlyWhenDataChanges) {
  for (auto& t : vdp1->spriteTextures) t.dirty = 0;
  // Block 0x21 (addresses 0x108..0x10F) is owned by the texture starting at block 0x20.
  vdp1->textureOwner[0x21] = &vdp1->spriteTextures[0x20];
  vdp1->WriteWordVDP1VRAM(0x10A, 0);  // value already stored
  EXPECT_EQ(vdp1->spriteTextures[0x20].dirty, 0);
  struct Write {
    int width;
    uint32_t address, value;
  } writes[] = {{8, 0x10F, 0x7F}, {16, 0x10A, 0x1234}, {32, 0x10C, 0xCAFEBABE}};
  for (const Write& w : writes) {
    vdp1->spriteTextures[0x20].dirty = 0;
    if (w.width == 8) vdp1->WriteByteVDP1VRAM(w.address, static_cast<uint8_t>(w.value));
    if (w.width == 16) vdp1->WriteWordVDP1VRAM(w.address, static_cast<uint16_t>(w.value));
    if (w.width == 32) vdp1->WriteLongVDP1VRAM(w.address, w.value);
    EXPECT_EQ(vdp1->spriteTextures[0x20].dirty, 1) << w.width << "-bit write";
    EXPECT_EQ(vdp1->spriteTextures[0x21].dirty, 0) << w.width << "-bit write";
    vdp1->spriteTextures[0x20].dirty = 0;
    if (w.width == 8) vdp1->WriteByteVDP1VRAM(w.address, static_cast<uint8_t>(w.value));
    if (w.width == 16) vdp1->WriteWordVDP1VRAM(w.address, static_cast<uint16_t>(w.value));
    if (w.width == 32) vdp1->WriteLongVDP1VRAM(w.address, w.value);
    EXPECT_EQ(vdp1->spriteTextures[0x20].dirty, 0) << "rewriting the same " << w.width << " bits";
  }
  // Addresses alias every 512 KB, marks included.
  vdp1->WriteWordVDP1VRAM(0x8010A, 0x4321);
  EXPECT_EQ(vdp1->ReadWordVDP1VRAM(0x10A), 0x4321);
  EXPECT_EQ(vdp1->spriteTextures[0x20].dirty, 1);
}

TEST_F(Vdp1Registers, ResetRewindsTheWalkerAndMakesEveryTextureStale) {
  vdp1->currentCommand = 0x40;
  vdp1->returnCommand = 0x80;
  vdp1->textureOwner[7] = &vdp1->spriteTextures[3];
  for (auto& t : vdp1->spriteTextures) t.dirty = 0;
  vdp1->spriteTextures[5].glTexture = 42;
  vdp1->WriteWordVDP1Regs(0x04, 2);
  vdp1->Reset();
  EXPECT_EQ(vdp1->currentCommand, 0);
  EXPECT_EQ(vdp1->returnCommand, 0);
  EXPECT_EQ(vdp1->textureOwner[7], &vdp1->spriteTextures[7]);
  for (const auto& t : vdp1->spriteTextures) ASSERT_EQ(t.dirty, 1);
  EXPECT_EQ(vdp1->spriteTextures[5].glTexture, 42u) << "GL names stay for reuse";
  EXPECT_EQ(vdp1->ReadWordVDP1Regs(0x04), 2) << "registers survive a reset";
}

}  // namespace
