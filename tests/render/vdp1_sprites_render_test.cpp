// VDP1 normal, scaled and distorted sprites on the picture.
#include "plugin/plugin_globals.h"
#include "vdp1/vdp1_core.h"
#include "vdp1_render.h"

namespace vdptest {
namespace {

// Textures: 24 x 8 RGB, left third red, then green, the last column transparent; 16 x 16
// RGB quadrants, red, green over blue, white; 8 x 2 in 256 colours, code 5 over code 0;
// 8 x 8 in 16 colours through a lookup table; 8 x 8 RGB white, grey, and red on the left
// half only.
constexpr uint32_t kStrip = 0x4000, kQuadrants = 0x5000, kBank = 0x6000, kLookup = 0x6100,
                   kTable = 0x6200, kWhiteTex = 0x7000, kGreyTex = 0x7200, kHalfRed = 0x7400,
                   kGouraudTable = 0x3000;

class Vdp1Sprites : public Vdp1Render {
 protected:
  void SetUp() override {
    Vdp1Render::SetUp();
    RgbTexture(kStrip, 24, 8, [](uint32_t x, uint32_t) -> uint16_t {
      return x == 23 ? 0 : (x < 8 ? kRgbRed : kRgbGreen);
    });
    RgbTexture(kQuadrants, 16, 16, [](uint32_t x, uint32_t y) {
      return y < 8 ? (x < 8 ? kRgbRed : kRgbGreen) : (x < 8 ? kRgbBlue : kRgbWhite);
    });
    for (uint32_t i = 0; i < 16; ++i) WriteByteVDP1VRAM(kBank + i, i < 8 ? 5 : 0);
    WriteWordVDP2CRAM(2 * 0x105, kRgbGreen);
    for (uint32_t i = 0; i < 32; ++i) WriteByteVDP1VRAM(kLookup + i, 0x11);
    Vdp1Words(kTable, {0, kRgbBlue});
    SolidTexture(kWhiteTex, 8, 8, kRgbWhite);
    SolidTexture(kGreyTex, 8, 8, Rgb(16, 16, 16));
    RgbTexture(kHalfRed, 8, 8,
               [](uint32_t x, uint32_t) -> uint16_t { return x < 4 ? kRgbRed : 0; });
    Vdp1Words(kGouraudTable, {Rgb(31, 16, 0), Rgb(31, 16, 0), Rgb(31, 16, 0), Rgb(31, 16, 0)});
  }
};

TEST_F(Vdp1Sprites, EveryKindColourModeFlipAndCalculationShowsInOneFrame) {
  const uint16_t rgb = ColourMode(5), s8x8 = Size(8, 8), s16 = Size(16, 16);
  auto scaled = [](uint16_t mode, int l, int t, int r, int b, uint32_t tex,
                   uint16_t size = Size(8, 8)) {
    return Part(kScaledSprite, mode, l, t, r, b, 0, tex, size);
  };
  Command gouraud = scaled(rgb | kGouraud, 270, 40, 309, 79, kGreyTex);
  gouraud.gouraud = kGouraudTable / 8;
  Command distorted = Part(kDistortedSprite, rgb, 160, 40, 220, 100, 0, kWhiteTex, s8x8);
  distorted.xc = 260;
  distorted.xd = 120;
  Table({{.control = kLocalCoordinates, .xa = 100, .ya = 50},
         Part(kNormalSprite, rgb, -90, -40, 0, 0, 0, kStrip, Size(24, 8)),
         {.control = kLocalCoordinates},
         Part(kNormalSprite | kFlipH, rgb, 50, 10, 0, 0, 0, kQuadrants, s16),
         Part(kNormalSprite | kFlipV, rgb, 80, 10, 0, 0, 0, kQuadrants, s16),
         Part(kNormalSprite | kFlipH | kFlipV, rgb, 110, 10, 0, 0, 0, kQuadrants, s16),
         Part(kScaledSprite, ColourMode(4), 20, 40, 59, 79, 0x100, kBank, Size(8, 2)),
         Part(kScaledSprite, ColourMode(1), 70, 40, 109, 79, kTable / 8, kLookup, s8x8),
         distorted,
         gouraud,
         scaled(ColourMode(6), 20, 85, 39, 104, kWhiteTex),
         scaled(ColourMode(7), 20, 85, 39, 104, kWhiteTex),
         scaled(rgb, 20, 85, 39, 104, kWhiteTex, Size(0, 8)),
         scaled(rgb, 20, 85, 39, 104, kWhiteTex, Size(8, 0)),
         Part(kPolygon, 0, 0, 110, 320, 180, kRgbWhite),
         scaled(rgb | kShadow, 20, 120, 99, 169, kHalfRed),
         scaled(rgb | kHalfTransparency, 110, 120, 189, 169, kHalfRed),
         scaled(rgb | kMesh, 200, 120, 279, 169, kHalfRed),
         scaled(rgb, 5, 190, 304, 209, kWhiteTex),
         scaled(rgb, 5, 215, 305, 234, kWhiteTex)});
  DrawAndCapture();
  const Rgba grey{128, 128, 128, 255}, pink{252, 128, 128, 255};
  Check({{"normal sprite at its vertex plus local coordinates", 13, 14, kTexRed},
         {"texel column 7", 17, 14, kTexRed},
         {"texel column 8", 18, 14, kTexGreen},
         {"transparent texel", 33, 14, kBlack},
         {"flipped horizontally", 53, 13, kTexGreen},
         {"flipped vertically", 83, 13, kTexBlue},
         {"flipped both ways", 113, 13, kTexWhite},
         {"colour bank code 5", 40, 45, kTexGreen},
         {"colour bank code 0 is transparent", 40, 75, kBlack},
         {"lookup table word 1", 90, 60, kTexBlue},
         {"distorted", 190, 70, kTexWhite},
         {"outside the distorted sprite's slanted edge", 130, 45, kBlack},
         {"gouraud: red +120, green kept, blue -128", 290, 60, {248, 128, 64, 255}, 8},
         {"colour modes 6 and 7, width 0 and height 0 show nothing", 30, 95, kBlack},
         {"shadow: black at half alpha", 30, 145, grey},
         {"shadow keeps transparent texels", 90, 145, kWhite},
         {"half-transparency", 120, 145, pink},
         {"half-transparency keeps transparent texels", 180, 145, kWhite},
         {"mesh shows as half-transparency", 210, 145, pink},
         {"a scaled sprite 300 dots wide is drawn", 150, 200, kTexWhite},
         {"one 301 wide clears the screen instead", 150, 225, kBlack}});
}

TEST_F(Vdp1Sprites, FilteringFollowsTheQualityFlagOfTheSpritesKind) {
  // 8 x 1: red then green, stretched to 160 dots: each texel covers 20.
  RgbTexture(kStrip, 8, 1, [](uint32_t x, uint32_t) { return x < 4 ? kRgbRed : kRgbGreen; });
  Table({Part(kScaledSprite, ColourMode(5), 0, 100, 159, 139, 0, kStrip, Size(8, 1))});
  for (int flag : {0, 1}) {
    SCOPED_TRACE(flag == 0 ? "normal sprites filtered" : "scaled sprites filtered");
    for (int i = 0; i < 3; ++i) plugin::vdp1->SetQualityFlag(i, i == flag ? 1 : 0);
    DrawAndCapture();
    // Two dots right of the edge between texels 3 and 4: linear filtering mixes red in.
    EXPECT_EQ(Unpack(Pixel(82, 120)).r > 40, flag == 1);
    EXPECT_GT(Unpack(Pixel(82, 120)).g, 100);
  }
}

}  // namespace
}  // namespace vdptest
