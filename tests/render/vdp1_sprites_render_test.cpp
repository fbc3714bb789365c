// VDP1 normal, scaled and distorted sprites on the picture.
#include "vdp1_render.h"

namespace vdptest {
namespace {

class Vdp1Sprites : public Vdp1Render {};

TEST_F(Vdp1Sprites, EveryKindColourModeFlipAndCalculationShowsInOneFrame) {
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
  // 8 x 8 white and grey; gouraud words red 31, green 16, blue 0.
  Texture(0x7000, 8, 8, [](uint32_t, uint32_t) { return kRgbWhite; });
  Texture(0x7200, 8, 8, [](uint32_t, uint32_t) { return Rgb(16, 16, 16); });
  Vdp1Words(0x3000, {Rgb(31, 16, 0), Rgb(31, 16, 0), Rgb(31, 16, 0), Rgb(31, 16, 0)});
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
         scaled(rgb, 5, 190, 304, 209, 0x7000, Size(8, 8)),
         scaled(rgb, 5, 215, 305, 234, 0x7000, Size(8, 8)),
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
                // Gouraud: red +120, green kept, blue -128.
                Dot(290, 60, {248, 128, 64, 255}, 8),
                // Colour modes 6 and 7, width 0 and height 0 show nothing.
                Dot(30, 95, kBlack),
                // A level-5 sprite over a later level-1 polygon; later level-1 sprites over it:
                // shadow and half-transparency, keeping transparent texels; mesh.
                Dot(300, 120, kTexGreen), Dot(30, 130, grey), Dot(90, 130, kWhite),
                Dot(120, 130, pink), Dot(180, 130, kWhite), Dot(210, 130, pink),
                // A scaled sprite 300 dots wide is drawn; one 301 wide clears the screen instead.
                Dot(150, 200, kTexWhite), Dot(150, 225, kBlack)});
}

}  // namespace
}  // namespace vdptest
