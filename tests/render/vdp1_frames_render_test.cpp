// Whole VDP1 frames: manual frame changes, high resolution, tables no game should write.
#include "display/opengl_display.h"
#include "plugin/plugin_globals.h"
#include "vdp1/vdp1_core.h"
#include "vdp1_render.h"

namespace vdptest {
namespace {

class Vdp1Frames : public Vdp1Render {};

TEST_F(Vdp1Frames, ManualFrameChangeKeepsThePictureUntilAColourZeroPolygonClearsIt) {
  // Manual frame change: one flip, and with PTM = 2 one drawing, per FBCR write.
  auto change = [this](std::initializer_list<Command> table, std::initializer_list<Probe> dots) {
    Table(table);
    WriteWordVDP1Regs(0x02, 0x0003);
    DrawAndCheck(dots);
  };
  change({Part(kPolygon, 0, 20, 20, 80, 80, kRgbRed)}, {});
  const int presents = headless::PresentCount();
  Frame();
  EXPECT_EQ(headless::PresentCount(), presents) << "no frame change, no picture";
  // A colour-0 polygon draws nothing, gouraud or not, and clears after the next swap.
  change(
      {Part(kPolygon, kGouraud, 0, 0, 320, 240, 0), Part(kPolygon, 0, 100, 20, 160, 80, kRgbGreen)},
      {Dot(50, 50, kRed), Dot(130, 50, kGreen)});
  change({Part(kPolygon, 0, 180, 20, 240, 80, kRgbBlue)},
         {Dot(50, 50, kBlack), Dot(130, 50, kBlack), Dot(210, 50, kBlue)});
}

TEST_F(Vdp1Frames, VdpOneCoordinatesDoubleWithAHighResolutionPicture) {
  // 640 x 224 without interlace: VDP1's frame buffer is stretched over 640 x 448.
  WriteWordVDP2Regs(0x00, 0x8002);
  Table({Part(kPolygon, 0, 10, 10, 50, 30, kRgbWhite)});
  Frame();
  DrawAndCheck({Dot(90, 50, kWhite), Dot(30, 15, kBlack), Dot(110, 50, kBlack)});
}

// Every part of a bad table is drawn or passed over; the frame ends and the plugin lives.
TEST_F(Vdp1Frames, HostileTablesNeitherCrashNorHang) {
  const uint32_t tex = 0x4000;
  const uint16_t rgb = ColourMode(5), s8 = Size(8, 8), big = Size(504, 255), min = 0x8000,
                 max = 0x7FFF;
  Command edge = Part(kPolygon, kGouraud, min, min, max, max, kRgbRed);
  edge.gouraud = 0xFFFF;
  Command loop = Part(JumpMode(1) | kNormalSprite, rgb, 300, 200, 0, 0, 0, tex, s8);
  loop.link = 28;  // itself
  // The largest texture, in RGB, in 256 colours and through a lookup table past the end
  // of VRAM; vertices at the ends of the 16-bit range; a zoom point with no anchor; and a
  // loop, cut off by the command limit.
  Table({Part(kNormalSprite, rgb, 0, 0, 0, 0, 0, 0x40000, big),
         Part(kNormalSprite, ColourMode(4), 0x7FF0, min, 0, 0, 0, 0x7FFF8, big),
         Part(kNormalSprite, ColourMode(1), 0, 0, 0, 0, 0xFFFF, 0x7FFF0, big),
         Part(kDistortedSprite, rgb, max, min, min, max, 0, tex, s8), edge,
         Part(ZoomPoint(15) | kScaledSprite, rgb, min, max, 0xFFFE, 0xFFFE, 0, tex, s8),
         Part(ZoomPoint(8) | kScaledSprite, rgb, 160, 120, 40, 40, 0, tex, s8), loop});
  const uint32_t quads = plugin::display->counters.texturedQuadsDrawn;
  DrawAndCheck();
  EXPECT_EQ(plugin::vdp1->commandCount, 4001);
  EXPECT_GE(plugin::display->counters.texturedQuadsDrawn - quads, 4001u - 7u);
  Frame();
}

}  // namespace
}  // namespace vdptest
