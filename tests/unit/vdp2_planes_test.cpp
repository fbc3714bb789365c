// VDP2 display state (the resolution TVMD selects, colour RAM change records), and bad
// register and memory contents.
#include <gtest/gtest.h>

#include <tuple>

#include "platform/headless/headless_testing.h"
#include "vdp2_rig.h"

namespace vdptest {
namespace {

TEST(Vdp2Resolution, EveryTvmdStateGivesItsPictureSizeAndDoubling) {
  struct Case {
    const char* mode;
    uint16_t tvmd;
    int32_t width, height, hMul, vMul;
    uint8_t doubleDensity;
  };
  // Applied in order: the forbidden interlace setting keeps the density it follows.
  const Case cases[] = {
      {"352x240 single density", 0x8091, 352, 240, 1, 1, 0},
      {"320x224 double density", 0x80C0, 640, 448, 2, 1, 1},
      {"forbidden interlace setting", 0x8040, 320, 224, 1, 1, 1},
      {"352x240 double density", 0x80D1, 704, 480, 2, 1, 1},
      {"640x224 progressive", 0x8002, 640, 448, 1, 2, 0},
      {"704x240 single density", 0x8093, 704, 480, 1, 2, 0},
      {"640x240 double density", 0x80D2, 640, 480, 1, 1, 1},
      {"display disabled", 0x0000, 320, 224, 1, 1, 0},
  };
  Vdp2Rig rig;
  const VDP2Core& v = *rig.vdp2;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    rig.Reg(vdp2reg::TVMD, c.tvmd);
    // The display is told the size at once.
    EXPECT_EQ(std::tuple(v.displayWidth, v.displayHeight, v.horizontalMultiplier,
                         v.verticalMultiplier, v.hiResDoubled, v.doubleDensity,
                         rig.display->vdpWidth.load(), rig.display->vdpHeight.load()),
              std::tuple(c.width, c.height, c.hMul, c.vMul, uint8_t{c.vMul == 2}, c.doubleDensity,
                         c.width, c.height));
  }
}

TEST(Vdp2CramChanges, ChangedWordStampsItsBlockBankAndWholeRamUntilTheFrameEnds) {
  Vdp2Rig rig;
  VDP2Core& v = *rig.vdp2;
  rig.Reg(vdp2reg::RAMCTL, 0x1000);  // 2048 colours, no mirroring
  rig.Frame();                       // construction's "changed" marks settle at frame 0
  while (v.frameCounter < 7) v.VDPOnVblankOut();
  v.WriteWordVDP2CRAM(0x123 * 2, 0x7FFF);
  v.WriteWordVDP2CRAM(0x345 * 2, 0x7FFF);
  v.WriteWordVDP2CRAM(0x345 * 2, 0x0000);  // back to its old value before the frame
  v.DetectCramChanges();
  const PaletteChangeRecord* records[] = {&v.paletteBlockChange[0x12], &v.paletteBankChange[1],
                                          &v.cramChange, &v.paletteBlockChange[0x34]};
  const uint32_t stamps[] = {7, 7, 7, 0};
  for (int settled = 0; settled < 2; ++settled) {
    for (int i = 0; i < 4; ++i) {
      EXPECT_EQ(records[i]->changed, i < 3 && !settled) << "record " << i;
      EXPECT_EQ(records[i]->stamp, stamps[i]) << "record " << i;
    }
    v.SettleCramChanges();
  }
}

TEST(Vdp2BadInput, ExtremeFieldsDrawWithinBoundsAndOnlyNbg0ModesWithoutMeaningWarn) {
  struct Case {
    const char* what;
    uint32_t reg;
    uint16_t value;
    size_t boxes;  // warnings in two frames
    uint32_t maxQuads;
  };
  using namespace vdp2reg;
  // Zoom 8 over 512-dot planes in a 320 x 224 picture: (5 + 2) x (3 + 2) regions.
  const Case cases[] = {
      {"NBG0 bitmap, colour mode 5: nothing drawn", CHCTLA, 0x0052, 2, 0},
      {"NBG0 bitmap, colour mode 7: nothing drawn", CHCTLA, 0x0072, 2, 0},
      {"NBG0 cells, colour mode 6", CHCTLA, 0x0060, 2, 35},
      {"plane size code 2 everywhere", PLSZ, 0xAAAA, 0, 35},
      {"zoom 0", ZMXIN0, 0, 0, 35},
      {"zoom 7.99", ZMXDN0, 0xFF00, 0, 35},
      {"character numbers past VRAM", PNCN0, 0x801F, 0, 35},
      {"two-word names", PNCN0, 0x0000, 0, 35},
      {"palette indices past colour RAM", CRAOFA, 0x7777, 0, 35},
      {"most negative scroll", SCXIN0, 0x0400, 0, 35},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Vdp2Rig rig;
    headless::ClearMessageBoxes();
    // NBG0: 2x2 cells, all character numbers and palettes at their largest, zoom 7. RBG0:
    // a bitmap in colour mode 5, which draws nothing and does not warn.
    rig.CellNbg0(0x0001, 0x001F, 63, 0xFFFF);
    rig.Regs({RAMCTL, 0x2000, ZMXIN0, 7, ZMYIN0, 7, BGON, 0x11, PRIR, 1, CHCTLB, 0x5200});
    rig.Reg(c.reg, c.value);
    rig.Words(0, 0xFFFF, 0x40000);
    for (int frame = 0; frame < 2; ++frame) rig.Frame();
    EXPECT_LE(rig.display->counters.planeQuadsDrawn, c.maxQuads);
    const auto boxes = headless::MessageBoxes();
    ASSERT_EQ(boxes.size(), c.boxes);
    for (const auto& b : boxes)
      EXPECT_EQ(std::tuple(b.text, b.caption, b.style),
                std::tuple("Unknown NBG0 color mode", "VDP plugin warning", 0x10u));
  }
}

}  // namespace
}  // namespace vdptest
