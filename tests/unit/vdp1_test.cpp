// VDP1 logic that pixels judge poorly: the frame-buffer requests its registers make, and
// the exact corners of zoom-point sprites.
#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <tuple>

#include "plugin_fixture.h"
#include "vdp1/part_corners.h"
#include "vdp1/vdp1_core.h"

namespace vdptest {
namespace {

struct Vdp1 : ::testing::Test {
  TempDir dir;
  PluginInitInfo info{0, nullptr, nullptr, dir.path().c_str()};
  Switches switches;
  std::unique_ptr<VDP1Core> vdp1 = std::make_unique<VDP1Core>(info, switches);
};

TEST_F(Vdp1, RegisterWritesRequestEraseFlipAndDrawByModeTriggerAndVblankErase) {
  struct Case {
    uint16_t tvmr, ptmr, fbcr;
    uint8_t erase, flip, draw;
  } cases[] = {
      {0x0000, 2, 0x0003, 0, 1, 1},  // manual change, draw at change
      {0x0008, 2, 0x0003, 1, 1, 1},  // with V-blank erase
      {0x0000, 2, 0x0002, 1, 0, 0},  // manual erase only
      {0x0008, 2, 0x0002, 0, 0, 0},  // V-blank erase makes m = 6: nothing
      {0x0000, 0, 0x0003, 0, 1, 0},  // no automatic drawing
      {0x0000, 1, 0x0000, 0, 0, 1},  // plot trigger 1 draws at once
      {0x0000, 3, 0x0000, 0, 0, 0},  // one-cycle frames are handled per frame
  };
  for (const Case& c : cases) {
    vdp1->drawRequest = vdp1->eraseRequest = vdp1->flipRequest = 0;
    for (auto [offset, value] : {std::pair(0x00, c.tvmr), {0x04, c.ptmr}, {0x02, c.fbcr}})
      vdp1->WriteWordVDP1Regs(offset, value);
    EXPECT_EQ(std::tuple(vdp1->eraseRequest, vdp1->flipRequest, vdp1->drawRequest),
              std::tuple(c.erase, c.flip, c.draw))
        << "TVMR " << c.tvmr << " PTMR " << c.ptmr << " FBCR " << c.fbcr;
  }
  for (auto [offset, value] : {std::pair(0x00, 0x0009), {0x02, 0x0003}, {0x04, 0x0002}})
    vdp1->WriteWordVDP1Regs(offset, value);
  EXPECT_EQ(vdp1->ReadWordVDP1Regs(0x16), 0x1119) << "MODR shows the three registers' modes";
}

TEST_F(Vdp1, ZoomPointSpritesGrowFromTheirAnchorOneUnitPastEveryEdge) {
  struct Case {
    uint16_t zoomPoint, width, height;
    vdp1::Placement placement;
    std::array<int, 4> box;  // left, top, right, bottom
  };
  // Anchored at (100, 60); local coordinates apply before the multipliers.
  const vdp1::Placement plain{0, 0, 1, 1}, shifted{-100, 40, 2, 1};
  const Case cases[] = {
      {7, 20, 10, plain, {79, 59, 101, 71}},          // right, upper
      {10, 21, 11, plain, {89, 54, 111, 66}},         // centre: odd sizes halve down
      {13, 20, 10, shifted, {-2, 89, 42, 101}},       // left, lower
      {5, 0xFFFF, 0xFFFF, plain, {99, 59, 101, 61}},  // a size of 0xFFFF counts as 0
  };
  const vdp1::VDP1Command command(vdp1->vram, 0x800);
  auto write = [this](uint16_t zoomPoint, uint16_t width, uint16_t height) {
    // A scaled sprite's control word, vertex A at (100, 60), the displayed size in B.
    const uint16_t words[] = {
        static_cast<uint16_t>(zoomPoint << 8 | 1), 0, 0, 0, 0, 0, 100, 60, width, height};
    for (uint32_t i = 0; i < 10; ++i) vdp1->WriteWordVDP1VRAM(0x800 + 2 * i, words[i]);
  };
  vdp1::Corners k{};
  for (uint16_t z : {1, 2, 3, 4, 8, 12}) {  // no anchor on one axis: not drawn
    write(z, 20, 10);
    EXPECT_FALSE(ScaledSpriteCorners(command, plain, k)) << "zoom point " << z;
  }
  for (const Case& c : cases) {
    write(c.zoomPoint, c.width, c.height);
    ASSERT_TRUE(ScaledSpriteCorners(command, c.placement, k));
    EXPECT_EQ((std::array<int, 4>{k.x[0], k.y[0], k.x[2], k.y[2]}), c.box) << c.zoomPoint;
  }
}

}  // namespace
}  // namespace vdptest
