// Planes painted by priority: between each other, and against VDP1 parts.
#include <functional>

#include "vdp2_scene.h"

namespace vdptest {
namespace {

class PlanePriorityRender : public Vdp2Scene {
 protected:
  // NBG0: red, transparent in its characters' left half; NBG3: blue; RBG0: a green
  // bitmap. Both NBGs are one-page 16-colour cell planes; everything is off until the
  // case turns it on.
  void ThreePlanes() {
    Colour(1, kRed);
    Colour(2, kBlue);
    Colour(3, kGreen);
    for (uint32_t row = 0; row < 8; ++row) {
      WriteWordVDP2VRAM(0x20 + row * 4, 0x0000);
      WriteWordVDP2VRAM(0x22 + row * 4, 0x1111);
    }
    Bytes(0x40, 0x22, 32);
    SimpleCellNbg0(8, 1);
    Reg(vdp2reg::PNCN0 + 6, 0x8000);
    Reg(vdp2reg::MPABN0 + 12, 0x0909);
    Reg(vdp2reg::MPABN0 + 14, 0x0909);
    Words(9 << 13, 2, 4096);
    Reg(vdp2reg::CHCTLB, 0x1200);
    Bytes(0x40000, 0x03, 512 * 64);
    Reg(vdp2reg::MPOFR, 0x0002);
    Reg(vdp2reg::BGON, 0);
  }
};

TEST_F(PlanePriorityRender, HigherPriorityAndLaterPlanesPaintOnTop) {
  struct Case {
    const char* what;
    uint16_t bgon, prina, prinb, prir;
    bool nbg0Shown;
    uint16_t left, right;  // colours in the left and right half of a character
  };
  const Case cases[] = {
      {"equal priority: NBG0 over NBG3", 0x09, 5, 0x0500, 0, true, kBlue, kRed},
      {"NBG3 higher", 0x09, 5, 0x0600, 0, true, kBlue, kBlue},
      {"NBG0 at priority 0 is not drawn", 0x09, 0, 0x0500, 0, true, kBlue, kBlue},
      {"NBG0 switched off by the user", 0x09, 5, 0x0500, 0, false, kBlue, kBlue},
      {"NBG0 off in BGON", 0x08, 5, 0x0500, 0, true, kBlue, kBlue},
      {"equal priority: RBG0 over NBG0", 0x19, 5, 0x0500, 5, true, kGreen, kGreen},
      {"RBG0 lower than both", 0x19, 5, 0x0500, 4, true, kBlue, kRed},
  };
  ThreePlanes();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Reg(vdp2reg::BGON, c.bgon);
    Reg(vdp2reg::PRINA, c.prina);
    Reg(vdp2reg::PRINB, c.prinb);
    Reg(vdp2reg::PRIR, c.prir);
    Core().SetPlaneShown(NBG0, c.nbg0Shown ? 1 : 0);
    ASSERT_TRUE(FrameAndCapture());
    for (int x : {41, 81, 201})
      EXPECT_TRUE(ColourNear(Pixel(x, 50), Seen(c.left))) << "left half at " << x;
    for (int x : {45, 85, 205})
      EXPECT_TRUE(ColourNear(Pixel(x, 50), Seen(c.right))) << "right half at " << x;
  }
}

// A green VDP1 polygon over (20, 20)-(100, 100) with priority register 0, then the end.
void GreenPolygon() {
  const uint16_t command[16] = {0x0004, 0,  0,   kGreen, 0,  0,   20, 20,
                                100,    20, 100, 100,    20, 100, 0,  0};
  for (uint32_t i = 0; i < 16; ++i) WriteWordVDP1VRAM(2 * i, command[i]);
  WriteWordVDP1VRAM(0x20, 0x8000);
}

TEST_F(PlanePriorityRender, Vdp1PartsCoverPlanesOfTheirLevelAndLowerOnly) {
  // A polygon's 31 is full intensity; a plane dot's 31 is 248 through the colour table.
  const Rgba polygonGreen{0, 255, 0, 255};
  struct Case {
    const char* what;
    uint16_t prisa;
    Rgba seen;
  };
  const Case cases[] = {
      {"polygon at the plane's level is on top", 3, polygonGreen},
      {"polygon above the plane", 4, polygonGreen},
      {"polygon below the plane", 2, Seen(kRed)},
  };
  ThreePlanes();
  Reg(vdp2reg::BGON, 0x01);
  Reg(vdp2reg::PRINA, 3);
  GreenPolygon();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Reg(vdp2reg::PRISA, c.prisa);
    Work() = {};
    ASSERT_TRUE(FrameAndCapture());
    ASSERT_EQ(Work().shapesDrawn, 1u);
    // x = 69 lies in the right half of a character, where NBG0 is opaque red.
    EXPECT_TRUE(ColourNear(Pixel(69, 60), c.seen));
    EXPECT_TRUE(ColourNear(Pixel(205, 60), Seen(kRed))) << "plane outside the polygon";
  }
}

}  // namespace
}  // namespace vdptest
