// Whole VDP1 frames: priorities between parts, the plot trigger modes, erasing and the
// clear after the swap, high resolution, the menu's disable switches, and tables a game
// should never write.
#include "display/opengl_display.h"
#include "plugin/plugin_globals.h"
#include "vdp1/vdp1_core.h"
#include "vdp1_render.h"

namespace vdptest {
namespace {

constexpr uint32_t kTex = 0x4000;  // 8 x 8: RGB white, and in 256 colours code 5

class Vdp1Frames : public Vdp1Render {
 protected:
  void SetUp() override {
    Vdp1Render::SetUp();
    SolidTexture(kTex, 8, 8, kRgbWhite);
    for (uint32_t i = 0; i < 64; ++i) WriteByteVDP1VRAM(kTex + 0x100 + i, 5);
  }
  // Manual frame change: one flip (and draw, with PTM = 2) per FBCR write.
  static void ManualFrameChange() { WriteWordVDP1Regs(0x02, 0x0003); }
};

TEST_F(Vdp1Frames, HigherPriorityPartsCoverLaterPartsOfLowerPriority) {
  // Sprite type 1: colour bits 15-13 pick the priority register. Entry 0 = 1, entry 1 = 5.
  WriteWordVDP2Regs(0xE0, 0x0001);
  WriteWordVDP2Regs(0xF0, 0x0501);
  WriteWordVDP2CRAM(2 * 0x105, kRgbRed);
  const uint16_t bank = ColourMode(4);
  Table({Part(kScaledSprite, bank, 20, 40, 99, 119, 0x2100, kTex + 0x100, Size(8, 8)),
         Part(kPolygon, 0, 60, 60, 180, 200, kRgbBlue),
         Part(kScaledSprite, bank, 140, 40, 219, 119, 0x0100, kTex + 0x100, Size(8, 8)),
         Part(kPolygon, 0, 200, 60, 260, 200, kRgbGreen)});
  DrawAndCapture();
  Check({{"a level-5 sprite covers a later level-1 polygon", 80, 80, kTexRed},
         {"same level: a later sprite covers a polygon", 160, 80, kTexRed},
         {"same level: a later polygon covers a sprite", 210, 80, kGreen},
         {"the polygon below both", 120, 150, kBlue}});
}

TEST_F(Vdp1Frames, PlotTriggerModesDecideWhichFramesDraw) {
  Table({Part(kPolygon, 0, 40, 40, 120, 100, kRgbWhite)});
  struct Step {
    int ptmr;  // -1: no write before the frame
    bool drawn;
  };
  // PTM 2 draws at every frame change, PTM 1 in the frame after the write, PTM 0 never.
  for (const Step& s : {Step{2, true}, Step{-1, true}, Step{1, true}, Step{-1, false},
                        Step{1, true}, Step{0, false}}) {
    SCOPED_TRACE(testing::Message() << "PTM " << s.ptmr);
    if (s.ptmr >= 0) WriteWordVDP1Regs(0x04, static_cast<uint16_t>(s.ptmr));
    const int presents = headless::PresentCount();
    DrawAndCapture();
    EXPECT_EQ(headless::PresentCount(), presents + 1) << "one-cycle mode flips every frame";
    EXPECT_TRUE(At(80, 70, s.drawn ? kWhite : kBlack));
  }
}

TEST_F(Vdp1Frames, ManualFrameChangeKeepsThePictureUntilAColourZeroPolygonClearsIt) {
  Table({Part(kPolygon, 0, 20, 20, 80, 80, kRgbRed)});
  ManualFrameChange();
  DrawAndCapture();
  const int presents = headless::PresentCount();
  Frame();
  EXPECT_EQ(headless::PresentCount(), presents) << "no frame change, no picture";
  // A colour-0 polygon draws nothing, gouraud or not, and clears after the next swap.
  Table({Part(kPolygon, kGouraud, 0, 0, 320, 240, 0),
         Part(kPolygon, 0, 100, 20, 160, 80, kRgbGreen)});
  ManualFrameChange();
  DrawAndCapture();
  Check({{"the last drawing stays", 50, 50, kRed},
         {"and the new one goes over it", 130, 50, kGreen}});
  Table({Part(kPolygon, 0, 180, 20, 240, 80, kRgbBlue)});
  ManualFrameChange();
  DrawAndCapture();
  Check(
      {{"cleared", 50, 50, kBlack}, {"cleared", 130, 50, kBlack}, {"drawn after", 210, 50, kBlue}});
}

TEST_F(Vdp1Frames, VdpOneCoordinatesDoubleWithAHighResolutionPicture) {
  // 640 x 224 without interlace: VDP1's frame buffer is stretched over it both ways.
  WriteWordVDP2Regs(0x00, 0x8002);
  Table({Part(kPolygon, 0, 10, 10, 50, 30, kRgbWhite)});
  Frame();
  DrawAndCapture();
  ASSERT_EQ(pictureWidth, 640);
  ASSERT_EQ(pictureHeight, 448);
  Check({{"x 20 to 100, y 20 to 60", 90, 50, kWhite}, {"", 30, 15, kBlack}});
  WriteWordVDP1Regs(0x02, 0x0008);  // VDP1 in double interlace: x at its own scale
  Frame();
  DrawAndCapture();
  Check({{"x 10 to 50, y 20 to 60", 45, 55, kWhite}, {"", 70, 40, kBlack}});
}

TEST_F(Vdp1Frames, EachDisableSwitchHidesOnlyItsKind) {
  // One part of each kind in its own column, in the order of the menu's switches; each is
  // sure to show at its probe, inside the filled ones and on an edge of the outlines.
  const uint16_t rgb = ColourMode(5), size = Size(8, 8), white = kRgbWhite;
  Table({Part(kNormalSprite, rgb, 10, 100, 0, 0, 0, kTex, size),
         Part(kScaledSprite, rgb, 60, 100, 89, 129, 0, kTex, size),
         Part(kDistortedSprite, rgb, 110, 100, 140, 130, 0, kTex, size),
         Part(kPolygon, 0, 160, 100, 190, 130, white),
         Part(kPolyline, 0, 210, 100, 240, 130, white), Part(kLine, 0, 260, 100, 290, 130, white)});
  const int probe[6][2] = {{14, 104}, {75, 115}, {125, 115}, {175, 115}, {225, 100}, {275, 100}};
  for (int off = -1; off < 6; ++off) {
    SCOPED_TRACE(testing::Message() << "switch " << off << " set");
    for (int i = 0; i < 6; ++i) plugin::vdp1->SetUserSwitch(i, i == off ? 1 : 0);
    DrawAndCapture();
    for (int i = 0; i < 6; ++i)
      EXPECT_EQ(Brightest(probe[i][0], probe[i][1]) > 100, i != off) << "kind " << i;
  }
}

// Every part of a bad table is drawn or passed over; the frame ends and the plugin lives.
TEST_F(Vdp1Frames, HostileTablesNeitherCrashNorHang) {
  const uint16_t rgb = ColourMode(5), big = Size(504, 255), min = 0x8000, max = 0x7FFF;
  Command nonAnchor =
      Part(ZoomPoint(8) | kScaledSprite, rgb, 160, 120, 40, 40, 0, kTex, Size(8, 8));
  Command extreme = Part(kDistortedSprite, rgb, max, min, min, max, 0, kTex, Size(8, 8));
  extreme.xd = 0xFFFF;
  Command edge = Part(kPolygon, kGouraud, min, min, max, max, kRgbRed);
  edge.gouraud = 0xFFFF;
  Command loop = Part(JumpMode(1) | kNormalSprite, rgb, 300, 200, 0, 0, 0, kTex, Size(8, 8));
  loop.link = 36;  // itself, the tenth command
  // The largest texture, in RGB, in 256 colours and through a lookup table past the end
  // of VRAM; vertices at the ends of the 16-bit range; zoom points with no anchor; colour
  // modes 6 and 7; and finally a loop, cut off by the command limit.
  Table({Part(kNormalSprite, rgb, 0, 0, 0, 0, 0, 0x40000, big),
         Part(kNormalSprite, ColourMode(4), 0x7FF0, min, 0, 0, 0, 0x7FFF8, big),
         Part(kNormalSprite, ColourMode(1), 0, 0, 0, 0, 0xFFFF, 0x7FFF0, big), extreme, edge,
         Part(ZoomPoint(15) | kScaledSprite, rgb, min, max, 0xFFFE, 0xFFFE, 0, kTex, Size(8, 8)),
         nonAnchor, Part(kNormalSprite, ColourMode(6), 0, 0, 0, 0, 0, 0, Size(8, 8)),
         Part(kNormalSprite, ColourMode(7), 0, 0, 0, 0, 0, 0, Size(8, 8)), loop});
  const uint32_t quads = plugin::display->counters.texturedQuadsDrawn;
  DrawAndCapture();
  EXPECT_EQ(plugin::vdp1->commandCount, 4001);
  EXPECT_GE(plugin::display->counters.texturedQuadsDrawn - quads, 4001u - 9u);
  Frame();
  Table({nonAnchor});
  DrawAndCapture();
  EXPECT_TRUE(At(160, 120, kBlack)) << "a zoom point with no anchor draws nothing";
}

}  // namespace
}  // namespace vdptest
