// Whole VDP1 frames: priorities between parts, the plot trigger modes, the clear after
// the swap, high resolution, the menu's disable switches, and tables a game should never
// write.
#include "display/opengl_display.h"
#include "plugin/plugin_globals.h"
#include "vdp1/vdp1_core.h"
#include "vdp1_render.h"

namespace vdptest {
namespace {

constexpr uint32_t kTex = 0x4000, kBankTex = 0x4100;  // 8 x 8: white RGB; code 5
const uint16_t kRgb = ColourMode(5), k8x8 = Size(8, 8);

class Vdp1Frames : public Vdp1Render {
 protected:
  void SetUp() override {
    Vdp1Render::SetUp();
    Texture(kTex, 8, 8, kRgbWhite);
    for (uint32_t i = 0; i < 64; ++i) WriteByteVDP1VRAM(kBankTex + i, 5);
  }
  // Manual frame change: one flip (and draw, with PTM = 2) per FBCR write.
  static void ManualFrameChange() { WriteWordVDP1Regs(0x02, 0x0003); }
};

TEST_F(Vdp1Frames, HigherPriorityPartsCoverLaterPartsOfLowerPriority) {
  // Sprite type 1: colour bits 15-13 pick the priority register. Entry 0 = 1, entry 1 = 5.
  WriteWordVDP2Regs(0xE0, 0x0001);
  WriteWordVDP2Regs(0xF0, 0x0501);
  WriteWordVDP2CRAM(2 * 0x105, kRgbRed);
  Table({Part(kScaledSprite, ColourMode(4), 20, 40, 99, 119, 0x2100, kBankTex, k8x8),
         Part(kPolygon, 0, 60, 60, 180, 200, kRgbBlue),
         Part(kScaledSprite, ColourMode(4), 140, 40, 219, 119, 0x0100, kBankTex, k8x8),
         Part(kPolygon, 0, 200, 60, 260, 200, kRgbGreen)});
  // A level-5 sprite covers a later level-1 polygon; at one level the later part is on top.
  DrawAndCheck(
      {Dot(80, 80, kTexRed), Dot(160, 80, kTexRed), Dot(210, 80, kGreen), Dot(120, 150, kBlue)});
}

TEST_F(Vdp1Frames, PlotTriggerModesDecideWhichFramesDraw) {
  Table({Part(kPolygon, 0, 40, 40, 120, 100, kRgbWhite)});
  // PTM 2 draws at every frame change, PTM 1 in the frame after the write, PTM 0 never;
  // -1: no write before the frame.
  const std::pair<int, bool> steps[] = {{2, true},   {-1, true}, {1, true},
                                        {-1, false}, {1, true},  {0, false}};
  for (const auto& [ptmr, drawn] : steps) {
    SCOPED_TRACE(testing::Message() << "PTM " << ptmr);
    if (ptmr >= 0) WriteWordVDP1Regs(0x04, static_cast<uint16_t>(ptmr));
    const int presents = headless::PresentCount();
    DrawAndCheck({Dot(80, 70, drawn ? kWhite : kBlack)});
    EXPECT_EQ(headless::PresentCount(), presents + 1) << "one-cycle mode flips every frame";
  }
}

TEST_F(Vdp1Frames, ManualFrameChangeKeepsThePictureUntilAColourZeroPolygonClearsIt) {
  Table({Part(kPolygon, 0, 20, 20, 80, 80, kRgbRed)});
  ManualFrameChange();
  DrawAndCheck();
  const int presents = headless::PresentCount();
  Frame();
  EXPECT_EQ(headless::PresentCount(), presents) << "no frame change, no picture";
  // A colour-0 polygon draws nothing, gouraud or not, and clears after the next swap.
  Table({Part(kPolygon, kGouraud, 0, 0, 320, 240, 0),
         Part(kPolygon, 0, 100, 20, 160, 80, kRgbGreen)});
  ManualFrameChange();
  DrawAndCheck({Dot(50, 50, kRed), Dot(130, 50, kGreen)});
  Table({Part(kPolygon, 0, 180, 20, 240, 80, kRgbBlue)});
  ManualFrameChange();
  DrawAndCheck({Dot(50, 50, kBlack), Dot(130, 50, kBlack), Dot(210, 50, kBlue)});
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
  const uint16_t big = Size(504, 255), min = 0x8000, max = 0x7FFF;
  Command edge = Part(kPolygon, kGouraud, min, min, max, max, kRgbRed);
  edge.gouraud = 0xFFFF;
  Command loop = Part(JumpMode(1) | kNormalSprite, kRgb, 300, 200, 0, 0, 0, kTex, k8x8);
  loop.link = 28;  // itself
  // The largest texture, in RGB, in 256 colours and through a lookup table past the end
  // of VRAM; vertices at the ends of the 16-bit range; a zoom point with no anchor; and a
  // loop, cut off by the command limit.
  Table({Part(kNormalSprite, kRgb, 0, 0, 0, 0, 0, 0x40000, big),
         Part(kNormalSprite, ColourMode(4), 0x7FF0, min, 0, 0, 0, 0x7FFF8, big),
         Part(kNormalSprite, ColourMode(1), 0, 0, 0, 0, 0xFFFF, 0x7FFF0, big),
         Part(kDistortedSprite, kRgb, max, min, min, max, 0, kTex, k8x8), edge,
         Part(ZoomPoint(15) | kScaledSprite, kRgb, min, max, 0xFFFE, 0xFFFE, 0, kTex, k8x8),
         Part(ZoomPoint(8) | kScaledSprite, kRgb, 160, 120, 40, 40, 0, kTex, k8x8), loop});
  const uint32_t quads = plugin::display->counters.texturedQuadsDrawn;
  DrawAndCheck();
  EXPECT_EQ(plugin::vdp1->commandCount, 4001);
  EXPECT_GE(plugin::display->counters.texturedQuadsDrawn - quads, 4001u - 7u);
  Frame();
}

}  // namespace
}  // namespace vdptest
