// VDP1 polygons, polylines and lines on the picture.
#include "vdp1_render.h"

namespace vdptest {
namespace {

class Vdp1Shapes : public Vdp1Render {};

TEST_F(Vdp1Shapes, CalculationsGouraudOutlinesAndLinesShowInOneFrame) {
  const uint16_t red = Rgb(31, 0, 0), white = Rgb(31, 31, 31);
  // Base grey 16 with gouraud words that push each corner to a pure colour.
  Command gouraud = Part(kPolygon, kGouraud, 20, 130, 120, 230, Rgb(16, 16, 16));
  gouraud.gouraud = 0x2000 / 8;
  Vdp1Words(0x2000, {Rgb(31, 0, 0), Rgb(0, 31, 0), Rgb(0, 0, 31), Rgb(31, 31, 31)});
  // A line from (150, 140) to (300, 140); its C and D words would make a second edge.
  Command line = Part(kLine, 0, 150, 140, 300, 235, white);
  line.yb = 140;
  Table({Part(kPolygon, 0, 0, 0, 320, 100, white), Part(kPolygon, kReplace, 10, 20, 50, 80, red),
         Part(kPolygon, kHalfLuminance, 70, 20, 110, 80, red),
         Part(kPolygon, kHalfTransparency, 130, 20, 170, 80, red),
         Part(kPolygon, kShadow, 190, 20, 230, 80, red),
         Part(kPolygon, kMesh, 250, 20, 290, 80, red), gouraud,
         Part(kPolyline, 0, 140, 160, 240, 220, white), line});
  DrawAndCheck({{"replace", 30, 50, kRed},
                {"half-luminance", 90, 50, {128, 0, 0, 255}},
                {"half-transparency", 150, 50, {255, 128, 128, 255}},
                {"shadow darkens what lies below", 210, 50, {128, 128, 128, 255}},
                {"mesh shows as half-transparency", 270, 50, {255, 128, 128, 255}},
                {"outside the polygons", 60, 50, kWhite},
                {"gouraud A", 22, 132, kRed, 16},
                {"gouraud B", 117, 132, kGreen, 16},
                {"gouraud C", 117, 227, kBlue, 16},
                {"gouraud D", 22, 227, kWhite, 16}});
  EXPECT_GT(Brightest(190, 160), 100) << "polyline A to B";
  EXPECT_GT(Brightest(240, 190), 100) << "B to C";
  EXPECT_GT(Brightest(190, 220), 100) << "C to D";
  EXPECT_GT(Brightest(140, 190), 100) << "D back to A closes the outline";
  EXPECT_EQ(Brightest(190, 190), 0) << "inside the outline";
  EXPECT_GT(Brightest(270, 140), 100) << "the line";
  EXPECT_EQ(Brightest(300, 180), 0) << "no segment from the line's B to C";
}

}  // namespace
}  // namespace vdptest
