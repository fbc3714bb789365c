// Whole VDP1 frames: priorities between parts, the plot trigger modes, erasing and the
// clear after the swap, the menu's disable switches, and tables a game should never
// write.
#include <chrono>
#include <random>

#include "display/opengl_display.h"
#include "plugin/plugin_globals.h"
#include "vdp1/vdp1_core.h"
#include "vdp1_render.h"

namespace vdptest {
namespace {

constexpr uint32_t kTex = 0x4000;

class Vdp1Frames : public Vdp1Render {
 protected:
  // Manual frame change: one flip (and draw, with PTM = 2) per FBCR write.
  static void ManualFrameChange() { WriteWordVDP1Regs(0x02, 0x0003); }
};

TEST_F(Vdp1Frames, HigherPriorityPartsCoverLaterPartsOfLowerPriority) {
  // Sprite type 1: colour bits 15-13 pick the priority register. Entry 0 = 1, entry 1 = 5.
  WriteWordVDP2Regs(0xE0, 0x0001);
  WriteWordVDP2Regs(0xF0, 0x0501);
  for (uint32_t i = 0; i < 64; ++i) WriteByteVDP1VRAM(kTex + i, 5);
  WriteWordVDP2CRAM(2 * 0x105, kRgbRed);
  SolidTexture(0x5000, 8, 8, kRgbGreen);
  auto bankSprite = [](uint16_t colour, int left) {
    return Command{.control = kScaledSprite,
                   .drawMode = ColourMode(4),
                   .colour = colour,
                   .texture = kTex / 8,
                   .size = Size(8, 8),
                   .xa = static_cast<uint16_t>(left),
                   .ya = 40,
                   .xc = static_cast<uint16_t>(left + 79),
                   .yc = 119};
  };
  Command green = RgbSprite(0x5000, 8, 8, 0, 0, kScaledSprite);
  green.xa = 140;
  green.ya = 40;
  green.xc = 219;
  green.yc = 119;
  Table({bankSprite(0x2100, 20),           // priority 5, red, 20..100
         Box(60, 60, 180, 200, kRgbBlue),  // priority 1, blue, later in the table
         green,                            // RGB: priority 1, green, later still
         bankSprite(0x0100, 200),          // priority 1, red, 200..280
         Box(240, 60, 300, 200, kRgbBlue)});
  DrawAndCapture();
  EXPECT_TRUE(At(80, 80, kTexRed)) << "the level-5 sprite covers the later level-1 polygon";
  EXPECT_TRUE(At(120, 150, kBlue));
  EXPECT_TRUE(At(160, 80, kTexGreen)) << "same level: the later sprite covers the polygon";
  EXPECT_TRUE(At(260, 80, kBlue)) << "same level: the later polygon covers the sprite";
  EXPECT_TRUE(At(220, 80, kTexRed));
}

TEST_F(Vdp1Frames, PlotTriggerModesDecideWhichFramesDraw) {
  Table({Box(40, 40, 120, 100, kRgbWhite)});
  struct Step {
    const char* what;
    int ptmrWrite;  // -1: no write before the frame
    bool drawn;
  };
  const Step steps[] = {
      {"PTM 2 draws at every frame change", 2, true},
      {"and again", -1, true},
      {"PTM 1: the frame after the write draws", 1, true},
      {"PTM 1: later frames flip and erase without drawing", -1, false},
      {"PTM 1 written again", 1, true},
      {"PTM 0 draws nothing", 0, false},
      {"PTM 0, still nothing", -1, false},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.what);
    if (s.ptmrWrite >= 0) WriteWordVDP1Regs(0x04, static_cast<uint16_t>(s.ptmrWrite));
    const int presents = headless::PresentCount();
    DrawAndCapture();
    EXPECT_EQ(headless::PresentCount(), presents + 1) << "one-cycle mode flips every frame";
    EXPECT_TRUE(At(80, 70, s.drawn ? kWhite : kBlack));
  }
}

TEST_F(Vdp1Frames, ManualFrameChangeKeepsThePictureUntilErasedOrCleared) {
  Table({Box(20, 20, 80, 80, kRgbRed)});
  ManualFrameChange();
  DrawAndCapture();
  EXPECT_TRUE(At(50, 50, kRed));

  // Without an erase the next drawing goes over the last one.
  Table({Box(100, 20, 160, 80, kRgbGreen)});
  ManualFrameChange();
  DrawAndCapture();
  EXPECT_TRUE(At(50, 50, kRed));
  EXPECT_TRUE(At(130, 50, kGreen));

  // No frame-change request: nothing is drawn or presented.
  const int presents = headless::PresentCount();
  Frame();
  EXPECT_EQ(headless::PresentCount(), presents);

  // A colour-0 polygon draws nothing, gouraud or not, and clears the picture after the
  // next swap.
  Table({Box(0, 0, 320, 240, 0, kGouraud), Box(180, 20, 240, 80, kRgbBlue)});
  ManualFrameChange();
  DrawAndCapture();
  EXPECT_TRUE(At(50, 50, kRed)) << "the clear comes after the swap";
  EXPECT_TRUE(At(210, 50, kBlue));
  Table({Box(260, 20, 300, 80, kRgbWhite)});
  ManualFrameChange();
  DrawAndCapture();
  EXPECT_TRUE(At(50, 50, kBlack));
  EXPECT_TRUE(At(210, 50, kBlack));
  EXPECT_TRUE(At(280, 50, kWhite));

  // With the V-blank erase bit, a frame change also erases after the swap.
  WriteWordVDP1Regs(0x00, 0x0008);
  ManualFrameChange();
  DrawAndCapture();
  EXPECT_TRUE(At(280, 50, kWhite));
  Table({});
  ManualFrameChange();
  DrawAndCapture();
  EXPECT_TRUE(At(280, 50, kBlack));
}

TEST_F(Vdp1Frames, VdpOneCoordinatesDoubleWithAHighResolutionPicture) {
  // 640 x 224 without interlace: the picture's lines are doubled to 448, and VDP1's
  // normal frame buffer is stretched over it in both directions.
  WriteWordVDP2Regs(0x00, 0x8002);
  Table({Box(10, 10, 50, 30, kRgbWhite)});
  Frame();
  DrawAndCapture();
  ASSERT_EQ(pictureWidth, 640);
  ASSERT_EQ(pictureHeight, 448);
  EXPECT_TRUE(At(90, 50, kWhite)) << "x 20 to 100, y 20 to 60";
  EXPECT_TRUE(At(30, 15, kBlack));

  // VDP1 in double interlace: x at its own scale, y still doubled.
  WriteWordVDP1Regs(0x02, 0x0008);
  Frame();
  DrawAndCapture();
  EXPECT_TRUE(At(45, 55, kWhite)) << "x 10 to 50, y 20 to 60";
  EXPECT_TRUE(At(70, 40, kBlack));
}

TEST_F(Vdp1Frames, EachDisableSwitchHidesOnlyItsKind) {
  SolidTexture(kTex, 8, 8, kRgbWhite);
  // One part of each kind in its own column, in the order of the menu's switches.
  auto at = [](int i, int dx) { return static_cast<uint16_t>(10 + 50 * i + dx); };
  const Command parts[6] = {
      RgbSprite(kTex, 8, 8, at(0, 0), 100),
      {.control = kScaledSprite,
       .drawMode = ColourMode(5),
       .texture = kTex / 8,
       .size = Size(8, 8),
       .xa = at(1, 0),
       .ya = 100,
       .xc = at(1, 29),
       .yc = 129},
      {.control = kDistortedSprite,
       .drawMode = ColourMode(5),
       .texture = kTex / 8,
       .size = Size(8, 8),
       .xa = at(2, 0),
       .ya = 100,
       .xb = at(2, 30),
       .yb = 100,
       .xc = at(2, 30),
       .yc = 130,
       .xd = at(2, 0),
       .yd = 130},
      Box(at(3, 0), 100, at(3, 30), 130, kRgbWhite),
      {.control = kPolyline,
       .colour = kRgbWhite,
       .xa = at(4, 0),
       .ya = 100,
       .xb = at(4, 30),
       .yb = 100,
       .xc = at(4, 30),
       .yc = 130,
       .xd = at(4, 0),
       .yd = 130},
      {.control = kLine,
       .colour = kRgbWhite,
       .xa = at(5, 0),
       .ya = 100,
       .xb = at(5, 30),
       .yb = 130},
  };
  // Where each part is sure to show: inside the filled ones, on an edge of the outlines.
  const int probe[6][2] = {{14, 104}, {75, 115}, {125, 115}, {175, 115}, {225, 100}, {275, 115}};
  Table({parts[0], parts[1], parts[2], parts[3], parts[4], parts[5]});
  for (int off = -1; off < 6; ++off) {
    SCOPED_TRACE(testing::Message() << "switch " << off << " set");
    for (int i = 0; i < 6; ++i) plugin::vdp1->SetUserSwitch(i, i == off ? 1 : 0);
    DrawAndCapture();
    for (int i = 0; i < 6; ++i) {
      if (i == off)
        EXPECT_EQ(Brightest(probe[i][0], probe[i][1]), 0) << "kind " << i << " still drawn";
      else
        EXPECT_GT(Brightest(probe[i][0], probe[i][1]), 100) << "kind " << i << " missing";
    }
  }
}

// Every part of a bad table is drawn or passed over; the frame ends and the plugin lives.
TEST_F(Vdp1Frames, HostileTablesNeitherCrashNorHang) {
  SolidTexture(kTex, 8, 8, kRgbWhite);
  const Command nonAnchor{.control = ZoomPoint(8) | kScaledSprite,
                          .drawMode = ColourMode(5),
                          .texture = kTex / 8,
                          .size = Size(8, 8),
                          .xa = 160,
                          .ya = 120,
                          .xb = 40,
                          .yb = 40};
  Table({
      // The largest texture, in RGB and in 256 colours running past the end of VRAM.
      RgbSprite(0x40000, 504, 255, 0, 0),
      {.control = kNormalSprite,
       .drawMode = ColourMode(4),
       .texture = 0xFFFF,
       .size = Size(504, 255),
       .xa = 0x7FF0,
       .ya = 0x8000},
      {.control = kNormalSprite,
       .drawMode = ColourMode(1),
       .colour = 0xFFFF,
       .texture = 0xFFFE,
       .size = Size(504, 255)},
      // Vertices at the ends of the 16-bit range.
      {.control = kDistortedSprite,
       .drawMode = ColourMode(5),
       .texture = kTex / 8,
       .size = Size(8, 8),
       .xa = 0x7FFF,
       .ya = 0x8000,
       .xb = 0x8000,
       .yb = 0x7FFF,
       .xc = 0xFFFF,
       .yc = 0x7FFF,
       .xd = 0x8001,
       .yd = 0x8001},
      {.control = kPolygon,
       .colour = kRgbRed,
       .xa = 0x8000,
       .ya = 0x8000,
       .xb = 0x7FFF,
       .yb = 0x8000,
       .xc = 0x7FFF,
       .yc = 0x7FFF,
       .xd = 0x8000,
       .yd = 0x7FFF,
       .gouraud = 0xFFFF},
      {.control = ZoomPoint(15) | kScaledSprite,
       .drawMode = ColourMode(5),
       .texture = kTex / 8,
       .size = Size(8, 8),
       .xa = 0x8000,
       .ya = 0x7FFF,
       .xb = 0xFFFE,
       .yb = 0xFFFE},
      nonAnchor,
      {.control = kNormalSprite, .drawMode = ColourMode(6), .size = Size(8, 8)},
      {.control = kNormalSprite, .drawMode = ColourMode(7), .size = Size(8, 8)},
  });
  // Finally the table loops on a sprite: the walk stops at its limit.
  Put(36, {.control = JumpMode(1) | kNormalSprite,
           .link = 36,
           .drawMode = ColourMode(5),
           .texture = kTex / 8,
           .size = Size(8, 8),
           .xa = 300,
           .ya = 200});
  const uint32_t quads = plugin::display->counters.texturedQuadsDrawn;
  DrawAndCapture();
  EXPECT_EQ(plugin::vdp1->commandCount, 4001);
  EXPECT_GE(plugin::display->counters.texturedQuadsDrawn - quads, 4001u - 9u);
  Frame();
  Frame();

  // Non-anchor zoom point alone: nothing.
  Table({nonAnchor});
  DrawAndCapture();
  EXPECT_TRUE(At(160, 120, kBlack));
}

TEST_F(Vdp1Frames, RandomVramDrawsWithinBounds) {
  std::mt19937 random(12345);
  auto next = [&random] { return static_cast<uint32_t>(random()); };
  const auto start = std::chrono::steady_clock::now();
  for (int round = 0; round < 10; ++round) {
    for (uint32_t a = 0; a < 0x80000; a += 4) WriteLongVDP1VRAM(a, next());
    // No end bits, so every walk runs to the command limit; most commands go on to the
    // next one, so the walk meets thousands of them, and the few that jump land anywhere.
    for (uint32_t a = 0; a < 0x80000; a += 8) {
      uint16_t control = static_cast<uint16_t>(ReadWordVDP1VRAM(a) & 0x7FFF);
      if (next() % 64 != 0) control &= 0x4FFF;
      WriteWordVDP1VRAM(a, control);
    }
    for (uint32_t r = 0xE0; r < 0x120; r += 2) WriteWordVDP2Regs(r, static_cast<uint16_t>(next()));
    Frame();
    Frame();
    EXPECT_EQ(plugin::vdp1->commandCount, 4001);
  }
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(120));
}

}  // namespace
}  // namespace vdptest
