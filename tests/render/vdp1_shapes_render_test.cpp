// VDP1 polygons, polylines and lines on the picture.
#include "plugin/plugin_globals.h"
#include "vdp1/vdp1_core.h"
#include "vdp1_render.h"

namespace vdptest {
namespace {

class Vdp1Shapes : public Vdp1Render {};

TEST_F(Vdp1Shapes, PolygonColourCalculationsOverAWhiteBackground) {
  struct Case {
    const char* name;
    uint16_t drawMode;
    Rgba expected;
  };
  const Case cases[] = {
      {"replace", kReplace, kRed},
      {"half-luminance", kHalfLuminance, {128, 0, 0, 255}},
      {"half-transparency", kHalfTransparency, {255, 128, 128, 255}},
      {"shadow darkens what lies below", kShadow, {128, 128, 128, 255}},
      {"mesh is half transparency", kReplace | kMesh, {255, 128, 128, 255}},
      {"mesh on half-transparency is still one half",
       kHalfTransparency | kMesh,
       {255, 128, 128, 255}},
      {"mesh on shadow", kShadow | kMesh, {128, 128, 128, 255}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Table({Box(0, 0, 320, 240, Rgb(31, 31, 31)), Box(40, 40, 120, 100, Rgb(31, 0, 0), c.drawMode)});
    DrawAndCapture();
    EXPECT_TRUE(At(80, 70, c.expected));
    EXPECT_TRUE(At(20, 20, kWhite)) << "outside the polygon";
  }
}

TEST_F(Vdp1Shapes, GouraudPolygonTakesEachCornersColour) {
  // Base grey 16 with gouraud words that push each corner to a pure colour.
  Command polygon = Box(20, 20, 220, 220, Rgb(16, 16, 16), kGouraud);
  polygon.gouraud = 0x2000 / 8;
  Table({polygon});
  Vdp1Words(0x2000, {Rgb(31, 0, 0), Rgb(0, 31, 0), Rgb(0, 0, 31), Rgb(31, 31, 31)});
  DrawAndCapture();
  const int tolerance = 16;
  EXPECT_TRUE(At(23, 23, kRed, tolerance)) << "A";
  EXPECT_TRUE(At(216, 23, kGreen, tolerance)) << "B";
  EXPECT_TRUE(At(216, 216, kBlue, tolerance)) << "C";
  EXPECT_TRUE(At(23, 216, kWhite, tolerance)) << "D";
}

TEST_F(Vdp1Shapes, PolylineIsAClosedOutlineAndLineUsesOnlyAAndB) {
  Command polyline = Box(20, 20, 120, 100, Rgb(31, 31, 31));
  polyline.control = kPolyline;
  // A line from (150, 50) to (300, 50); its C and D words would make a second edge.
  const Command line{.control = kLine,
                     .colour = Rgb(31, 31, 31),
                     .xa = 150,
                     .ya = 50,
                     .xb = 300,
                     .yb = 50,
                     .xc = 300,
                     .yc = 150,
                     .xd = 150,
                     .yd = 150};
  Table({polyline, line});
  DrawAndCapture();
  EXPECT_GT(Brightest(70, 20), 100) << "A to B";
  EXPECT_GT(Brightest(120, 60), 100) << "B to C";
  EXPECT_GT(Brightest(70, 100), 100) << "C to D";
  EXPECT_GT(Brightest(20, 60), 100) << "D back to A closes the outline";
  EXPECT_EQ(Brightest(70, 60), 0) << "inside the outline";
  EXPECT_GT(Brightest(220, 50), 100) << "the line";
  EXPECT_EQ(Brightest(300, 100), 0) << "no segment from B to C";
  EXPECT_EQ(Brightest(220, 150), 0) << "no segment from C to D";
}

}  // namespace
}  // namespace vdptest
