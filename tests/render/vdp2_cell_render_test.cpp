// Cell-mode planes on screen.
#include "vdp2_scene.h"

namespace vdptest {
namespace {

class CellPlaneRender : public Vdp2Scene {};

TEST_F(CellPlaneRender, SixteenColourPlaneFillsThePicture) {
  Colour(1, kRed);
  Bytes(0x20, 0x11, 32);  // character 1: every dot colour 1
  SimpleCellNbg0(8, 0x0001);
  ASSERT_TRUE(FrameAndCapture());
  fprintf(stderr, "quads %u sub %u tex %u\n", Work().planeQuadsDrawn, Work().texSubImageCalls,
          Work().texturesUploaded);
  EXPECT_EQ(pictureWidth, 320);
  EXPECT_EQ(pictureHeight, 224);
  EXPECT_TRUE(ColourNear(Pixel(5, 5), Seen(kRed)));
  EXPECT_TRUE(ColourNear(Pixel(300, 200), Seen(kRed)));
}

}  // namespace
}  // namespace vdptest
