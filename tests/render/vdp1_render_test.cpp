// VDP1 pictures through the plugin's exports: command tables, textures and colour RAM
// written as a game would, frames drawn, the presented picture read back.
#include <algorithm>
#include <initializer_list>
#include <utility>

#include "display/opengl_display.h"
#include "plugin_fixture.h"
#include "vdp1/vdp1_core.h"

namespace vdptest {
namespace {

// The words of one command; the texture and the gouraud table in 8-byte units.
struct Command {
  uint16_t control = 0, link = 0, drawMode = 0, colour = 0, texture = 0, size = 0;
  uint16_t xa = 0, ya = 0, xb = 0, yb = 0, xc = 0, yc = 0, xd = 0, yd = 0, gouraud = 0;
};

constexpr uint16_t kEndOfTable = 0x8000;
constexpr uint16_t kNormalSprite = 0, kScaledSprite = 1, kDistortedSprite = 2, kPolygon = 4,
                   kPolyline = 5, kLine = 6, kLocalCoordinates = 10;
constexpr uint16_t JumpMode(uint16_t mode) { return static_cast<uint16_t>(mode << 12); }
constexpr uint16_t ZoomPoint(uint16_t z) { return static_cast<uint16_t>(z << 8); }
constexpr uint16_t kFlipH = 0x10, kFlipV = 0x20;
constexpr uint16_t ColourMode(uint16_t m) { return static_cast<uint16_t>(m << 3); }
constexpr uint16_t kGouraud = 0x04, kTransparentPixelDisable = 0x40, kMesh = 0x100;
constexpr uint16_t kShadow = 1, kHalfLuminance = 2, kHalfTransparency = 3;

constexpr uint16_t Size(uint32_t width, uint32_t height) {
  return static_cast<uint16_t>(((width / 8) << 8) | height);
}
constexpr uint16_t Rgb(uint32_t r, uint32_t g, uint32_t b) {
  return static_cast<uint16_t>((b << 10) | (g << 5) | r);
}

// A part whose vertices A, B, C, D go clockwise round the box from its top-left corner,
// drawing the texture at byte address `texture`.
inline Command Part(uint16_t control, uint16_t drawMode, uint16_t l, uint16_t t, uint16_t r,
                    uint16_t b, uint16_t colour = 0, uint32_t texture = 0, uint16_t size = 0) {
  return {control, 0, drawMode, colour, static_cast<uint16_t>(texture / 8), size, l, t, r, t,
          r,       b, l,        b};
}

// RGB words, and how the picture shows a channel of 31 in a shape (255) and a texel (248).
constexpr uint16_t kRgbRed = 0x001F, kRgbGreen = 0x03E0, kRgbBlue = 0x7C00, kRgbWhite = 0x7FFF;
constexpr Rgba kBlack{0, 0, 0, 255}, kWhite{255, 255, 255, 255}, kRed{255, 0, 0, 255},
    kGreen{0, 255, 0, 255}, kBlue{0, 0, 255, 255}, kTexRed{248, 0, 0, 255},
    kTexGreen{0, 248, 0, 255}, kTexBlue{0, 0, 248, 255}, kTexWhite{248, 248, 248, 255};

// A dot of the picture and the colour it must have.
struct Probe {
  int x, y;
  Rgba colour;
  int tolerance;
};
inline Probe Dot(int x, int y, Rgba colour, int tolerance = 6) { return {x, y, colour, tolerance}; }

class Vdp1Render : public PluginTest {
 protected:
  void SetUp() override {
    PluginTest::SetUp();
    DrawEveryFrame();
  }
  // Writes the commands from address 0 on, 32 bytes each, then the end of the table.
  static void Table(std::initializer_list<Command> commands) {
    uint32_t a = 0;
    auto put = [&a](const Command& c) {
      for (uint16_t w : {c.control, c.link, c.drawMode, c.colour, c.texture, c.size, c.xa, c.ya,
                         c.xb, c.yb, c.xc, c.yc, c.xd, c.yd, c.gouraud, uint16_t{0}})
        WriteWordVDP1VRAM(std::exchange(a, a + 2), w);
    };
    for (const Command& c : commands) put(c);
    put({kEndOfTable});
  }
  // A width x height RGB texture at `address`, each texel from colourAt(x, y).
  template <typename ColourAt>
  static void Texture(uint32_t address, uint32_t width, uint32_t height, ColourAt colourAt) {
    for (uint32_t i = 0; i < width * height; ++i)
      WriteWordVDP1VRAM(address + 2 * i, colourAt(i % width, i / width));
  }
  // Draws one frame, reads the picture back and checks its dots.
  void DrawAndCheck(std::initializer_list<Probe> probes = {}) {
    Frame();
    ASSERT_TRUE(Capture());
    for (const Probe& p : probes)
      EXPECT_TRUE(ColourNear(Pixel(p.x, p.y), p.colour, p.tolerance))
          << "at (" << p.x << ", " << p.y << ")";
  }
  // Whether the 3 x 3 dots around (x, y) hold a bright one: lines may fall between rows.
  bool Lit(int x, int y) const {
    for (int i = 0; i < 9; ++i) {
      const Rgba c = Unpack(Pixel(x + i % 3 - 1, y + i / 3 - 1));
      if (std::max({c.r, c.g, c.b}) > 100) return true;
    }
    return false;
  }
};

TEST_F(Vdp1Render, ManualFrameChangeKeepsThePictureUntilAColourZeroPolygonClearsIt) {
  // Manual frame change: one flip, and with PTM = 2 one drawing, per FBCR write.
  auto change = [this](std::initializer_list<Command> table, std::initializer_list<Probe> dots) {
    Table(table);
    WriteWordVDP1Regs(0x02, 0x0003);
    DrawAndCheck(dots);
  };
  // A call to command 3, whose return comes back to the white polygon after the call.
  Command call = Part(JumpMode(2) | kPolygon, 0, 20, 20, 80, 80, kRgbRed);
  call.link = 3 * 4;
  change({call,
          Part(kPolygon, 0, 250, 20, 300, 80, kRgbWhite),
          {kEndOfTable},
          Part(JumpMode(3) | kPolygon, 0, 250, 100, 300, 140, kRgbBlue)},
         {});
  // A colour-0 polygon draws nothing, gouraud or not, and clears after the next swap.
  change(
      {Part(kPolygon, kGouraud, 0, 0, 320, 240, 0), Part(kPolygon, 0, 100, 20, 160, 80, kRgbGreen)},
      {Dot(50, 50, kRed), Dot(130, 50, kGreen), Dot(275, 50, kWhite), Dot(275, 120, kBlue)});
  change({Part(kPolygon, 0, 180, 20, 240, 80, kRgbBlue)},
         {Dot(50, 50, kBlack), Dot(130, 50, kBlack), Dot(210, 50, kBlue)});
  const int presents = headless::PresentCount();
  WriteWordVDP1Regs(0x02, 0x0002);  // a manual erase alone
  Frame();
  EXPECT_EQ(headless::PresentCount(), presents) << "no frame change, no picture";
}

// Every part of a bad table is drawn or passed over; a loop is cut off, the frame ends.
TEST_F(Vdp1Render, HostileTablesNeitherCrashNorHang) {
  const uint16_t rgb = ColourMode(5), big = Size(504, 255), min = 0x8000, max = 0x7FFF;
  Command edge = Part(kPolygon, kGouraud, min, min, max, max, kRgbRed);
  edge.gouraud = 0xFFFF;
  Command loop = Part(JumpMode(1) | kNormalSprite, rgb, 300, 200, 0, 0, 0, 0x4000, Size(8, 8));
  loop.link = 24;  // itself
  // The largest texture, in RGB, in 256 colours and through a lookup table past the end of
  // VRAM; vertices at the ends of the 16-bit range; a zoom point with no anchor.
  Table({Part(kNormalSprite, rgb, 0, 0, 0, 0, 0, 0x40000, big),
         Part(kNormalSprite, ColourMode(4), 0x7FF0, min, 0, 0, 0, 0x7FFF8, big),
         Part(kNormalSprite, ColourMode(1), 0, 0, 0, 0, 0xFFFF, 0x7FFF0, big),
         Part(kDistortedSprite, rgb, max, min, min, max, 0, 0x4000, Size(8, 8)), edge,
         Part(ZoomPoint(15) | kScaledSprite, rgb, min, max, 0xFFFE, 0xFFFE, 0, 0x4000, big), loop});
  DrawAndCheck();
  EXPECT_EQ(plugin::vdp1->commandCount, 4001);
  Frame();
}

TEST_F(Vdp1Render, CalculationsGouraudOutlinesAndLinesShowInOneFrame) {
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

TEST_F(Vdp1Render, EveryKindColourModeFlipAndCalculationShowsInOneFrame) {
  // 24 x 16 RGB: red, green, transparent by 8 columns over blue, white, transparent.
  Texture(0x4000, 24, 16, [](uint32_t x, uint32_t y) -> uint16_t {
    return x >= 16 ? 0 : (y < 8 ? (x < 8 ? kRgbRed : kRgbGreen) : (x < 8 ? kRgbBlue : kRgbWhite));
  });
  // 8 x 2 in 256 colours, code 5 over code 0, in bank 0x100 of the sprite colours, which
  // start at colour 0x100 (colour RAM mode 1, offset 1); 8 x 8 through a lookup table.
  for (uint32_t i = 0; i < 8; ++i) WriteByteVDP1VRAM(0x6000 + i, 5);
  WriteWordVDP2Regs(0x0E, 0x1000);
  WriteWordVDP2Regs(0xE6, 0x0010);
  WriteWordVDP2CRAM(2 * 0x205, kRgbGreen);
  for (uint32_t i = 0; i < 32; ++i) WriteByteVDP1VRAM(0x6100 + i, 0x11);
  Vdp1Words(0x6200, {0, kRgbBlue});
  // 8 x 8 white and grey; gouraud words red 24, green 16, blue 0.
  Texture(0x7000, 8, 8, [](uint32_t, uint32_t) { return kRgbWhite; });
  Texture(0x7200, 8, 8, [](uint32_t, uint32_t) { return Rgb(16, 16, 16); });
  Texture(0x8000, 264, 1, [](uint32_t, uint32_t) { return kRgbWhite; });  // 512 wide in GL
  Vdp1Words(0x3000, {Rgb(24, 16, 0), Rgb(24, 16, 0), Rgb(24, 16, 0), Rgb(24, 16, 0)});
  // Sprite type 1: colour bits 15-13 pick the priority register, entry 0 = 1, entry 1 = 5.
  WriteWordVDP2Regs(0xE0, 0x0001);
  WriteWordVDP2Regs(0xF0, 0x0501);

  const uint16_t rgb = ColourMode(5), s24 = Size(24, 16);
  auto scaled = [](uint16_t mode, int l, int t, int r, int b, uint32_t tex, uint16_t size) {
    return Part(kScaledSprite, mode, l, t, r, b, 0x100, tex, size);
  };
  Command gouraud = scaled(rgb | kGouraud, 270, 40, 309, 79, 0x7200, Size(8, 8));
  gouraud.gouraud = 0x3000 / 8;
  Command distorted = Part(kDistortedSprite, rgb, 160, 40, 220, 100, 0, 0x7000, Size(8, 8));
  distorted.xc = 260;
  distorted.xd = 120;
  Command high = scaled(ColourMode(4), 290, 115, 309, 154, 0x6000, Size(8, 2));
  high.colour = 0x2100;
  Table({Part(kNormalSprite | kFlipH, rgb, 50, 10, 0, 0, 0, 0x4000, s24),
         Part(kNormalSprite | kFlipV, rgb, 80, 10, 0, 0, 0, 0x4000, s24),
         Part(kNormalSprite | kFlipH | kFlipV, rgb, 110, 10, 0, 0, 0, 0x4000, s24),
         scaled(ColourMode(4), 20, 40, 59, 79, 0x6000, Size(8, 2)),
         Part(kScaledSprite, ColourMode(1), 70, 40, 109, 79, 0x6200 / 8, 0x6100, Size(8, 8)),
         distorted,
         gouraud,
         scaled(ColourMode(6), 20, 85, 39, 104, 0x7000, Size(8, 8)),
         scaled(ColourMode(7), 20, 85, 39, 104, 0x7000, Size(8, 8)),
         scaled(rgb, 20, 85, 39, 104, 0x7000, Size(0, 8)),
         scaled(rgb, 20, 85, 39, 104, 0x7000, Size(8, 0)),
         high,
         Part(kPolygon, 0, 0, 110, 320, 180, kRgbWhite),
         scaled(rgb | kShadow, 20, 120, 99, 169, 0x4000, s24),
         scaled(rgb | kHalfTransparency, 110, 120, 189, 169, 0x4000, s24),
         scaled(rgb | kMesh, 200, 120, 279, 169, 0x4000, s24),
         scaled(rgb | kTransparentPixelDisable, 285, 160, 308, 175, 0x4000, s24),
         scaled(rgb, 5, 190, 304, 209, 0x7000, Size(8, 8)),
         scaled(rgb, -95, 215, 205, 234, 0x7000, Size(8, 8)),
         Part(kNormalSprite, rgb, 0, 237, 0, 0, 0, 0x8000, Size(264, 1)),
         {.control = kLocalCoordinates, .xa = 100, .ya = 50},
         Part(kNormalSprite, rgb, -90, -40, 0, 0, 0, 0x4000, s24)});
  const Rgba grey{128, 128, 128, 255}, pink{252, 128, 128, 255};
  DrawAndCheck({// The normal sprite, placed by local coordinates: texel columns 7, 8 and 15.
                Dot(17, 14, kTexRed), Dot(18, 14, kTexGreen), Dot(25, 14, kTexGreen),
                // Flipped horizontally, vertically, both ways: texel columns 3 or 20.
                Dot(70, 13, kTexRed), Dot(83, 13, kTexBlue), Dot(130, 13, kTexBlue),
                // Colour bank codes 5 and 0 (transparent), lookup table word 1.
                Dot(40, 45, kTexGreen), Dot(40, 75, kBlack), Dot(90, 60, kTexBlue),
                // Inside and outside the distorted sprite's slanted edge.
                Dot(190, 70, kTexWhite), Dot(130, 45, kBlack),
                // Gouraud: red +64, green kept, blue -128.
                Dot(290, 60, {192, 128, 64, 255}, 8),
                // Colour modes 6 and 7, width 0 and height 0 show nothing.
                Dot(30, 95, kBlack),
                // A level-5 sprite over a later level-1 polygon; later level-1 sprites over it:
                // shadow and half-transparency, keeping transparent texels; mesh.
                Dot(300, 120, kTexGreen), Dot(30, 130, grey), Dot(90, 130, kWhite),
                Dot(120, 130, pink), Dot(180, 130, kWhite), Dot(210, 130, pink),
                // Transparent-pixel disable: RGB word 0 is black.
                Dot(305, 170, kBlack),
                // A scaled sprite 300 dots wide is drawn; one 301 wide, even partly off the screen,
                // clears it instead.
                Dot(150, 200, kTexWhite), Dot(150, 225, kBlack),
                // A normal sprite 264 texels wide, on the last line.
                Dot(200, 237, kTexWhite)});
}

TEST_F(Vdp1Render, SpriteColourOffsetReachesEveryCorner) {
  Texture(0x7000, 8, 8, [](uint32_t, uint32_t) { return Rgb(16, 16, 16); });
  WriteWordVDP2Regs(0x110, 0x0040);  // CLOFEN: sprites take offset set A
  WriteWordVDP2Regs(0x114, 0x0040);  // COAR: red + 64
  // A second sprite's texture starts inside the first's, at its row 4.
  Table({Part(kScaledSprite, ColourMode(5), 0, 0, 199, 199, 0, 0x7000, Size(8, 8)),
         Part(kScaledSprite, ColourMode(5), 210, 0, 309, 99, 0, 0x7040, Size(8, 4))});
  const Rgba offsetGrey{192, 128, 128, 255}, offsetWhite{255, 248, 248, 255};
  DrawAndCheck(
      {Dot(2, 2, offsetGrey, 8), Dot(197, 197, offsetGrey, 8), Dot(212, 2, offsetGrey, 8)});
  // A texel written later, in the first 8 bytes of the second texture, shows there.
  WriteWordVDP1VRAM(0x7040, kRgbWhite);
  DrawAndCheck({Dot(2, 2, offsetGrey, 8), Dot(212, 2, offsetWhite, 8)});
}

// Double interlace in a double-density picture: VDP1 lines are doubled, its dots are not.
TEST_F(Vdp1Render, DoubleInterlaceDoublesLinesOnly) {
  WriteWordVDP2Regs(0x00, 0x80C0);  // 320 x 448, shown 640 x 448
  WriteWordVDP1Regs(0x02, 0x0008);  // FBCR: DIE
  Table({Part(kPolygon, 0, 100, 20, 150, 40, kRgbRed)});
  Frame();  // the new resolution's first frame
  DrawAndCheck({Dot(125, 60, kRed), Dot(250, 60, kBlack)});
}

}  // namespace
}  // namespace vdptest
