// VDP1 polygons, polylines and lines on the picture.
#include "vdp1_render.h"

namespace vdptest {
namespace {

class Vdp1Shapes : public Vdp1Render {};

TEST_F(Vdp1Shapes, CalculationsGouraudOutlinesAndLinesShowInOneFrame) {
  // Base grey 16 with gouraud words that push each corner to a pure colour; grey 24 pushed
  // by 15 at half luminance, clamped at 31 first.
  Command gouraud = Part(kPolygon, kGouraud, 20, 130, 120, 230, Rgb(16, 16, 16));
  gouraud.gouraud = 0x2000 / 8;
  Command clamped = Part(kPolygon, kGouraud | kHalfLuminance, 10, 20, 50, 80, Rgb(24, 24, 24));
  clamped.gouraud = 0x2008 / 8;
  Vdp1Words(0x2000, {kRgbRed, kRgbGreen, kRgbBlue, 0x7FFF, 0x7FFF, 0x7FFF, 0x7FFF, 0x7FFF});
  // A line from (150, 140) to (300, 140); its C and D words would make a second edge.
  Command line = Part(kLine, 0, 150, 140, 300, 235, kRgbWhite);
  line.yb = 140;
  // Over white: the clamped polygon, then red ones at half luminance, half transparency,
  // shadow and mesh.
  Table({Part(kPolygon, 0, 0, 0, 320, 100, kRgbWhite), clamped,
         Part(kPolygon, kHalfLuminance, 70, 20, 110, 80, kRgbRed),
         Part(kPolygon, kHalfTransparency, 130, 20, 170, 80, kRgbRed),
         Part(kPolygon, kShadow, 190, 20, 230, 80, kRgbRed),
         Part(kPolygon, kMesh, 250, 20, 290, 80, kRgbRed), gouraud,
         Part(kPolyline, 0, 140, 160, 240, 220, kRgbWhite), line});
  const Rgba halfRed{128, 0, 0, 255}, pink{255, 128, 128, 255}, grey{128, 128, 128, 255};
  DrawAndCheck({Dot(30, 50, grey), Dot(90, 50, halfRed), Dot(150, 50, pink), Dot(210, 50, grey),
                Dot(270, 50, pink), Dot(60, 50, kWhite),
                // The gouraud polygon's corners A, B, C, D.
                Dot(22, 132, kRed, 16), Dot(117, 132, kGreen, 16), Dot(117, 227, kBlue, 16),
                Dot(22, 227, kWhite, 16)});
  // The polyline's four edges close the outline and leave it empty; the line has no B to C.
  const std::pair<int, int> lit[] = {{190, 160}, {240, 190}, {190, 220}, {140, 190}, {270, 140}};
  for (auto [x, y] : lit) EXPECT_TRUE(Lit(x, y)) << x << ", " << y;
  EXPECT_FALSE(Lit(190, 190));
  EXPECT_FALSE(Lit(300, 180));
}

}  // namespace
}  // namespace vdptest
