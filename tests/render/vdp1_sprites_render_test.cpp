// VDP1 normal, scaled and distorted sprites on the picture.
#include "plugin/plugin_globals.h"
#include "vdp1/vdp1_core.h"
#include "vdp1_render.h"

namespace vdptest {
namespace {

constexpr uint32_t kTex = 0x4000;  // first texture
constexpr uint32_t kGouraudTable = 0x3000;

class Vdp1Sprites : public Vdp1Render {
 protected:
  // 16 x 16: top-left red, top-right green, bottom-left blue, bottom-right white.
  static void QuadrantTexture(uint32_t address) {
    RgbTexture(address, 16, 16, [](uint32_t x, uint32_t y) {
      if (y < 8) return x < 8 ? kRgbRed : kRgbGreen;
      return x < 8 ? kRgbBlue : kRgbWhite;
    });
  }
};

TEST_F(Vdp1Sprites, NormalSpriteSitsAtItsVertexPlusLocalCoordinates) {
  // 16 x 8: left half red, right half green, transparent last column.
  RgbTexture(kTex, 16, 8, [](uint32_t x, uint32_t) -> uint16_t {
    return x == 15 ? 0 : (x < 8 ? kRgbRed : kRgbGreen);
  });
  Table({{.control = kLocalCoordinates, .xa = 100, .ya = 50}, RgbSprite(kTex, 16, 8, 10, 20)});
  DrawAndCapture();
  // Spans x 110 to 126 and y 70 to 78.
  EXPECT_TRUE(At(111, 71, kTexRed));
  EXPECT_TRUE(At(117, 77, kTexRed)) << "texel column 7";
  EXPECT_TRUE(At(118, 77, kTexGreen)) << "texel column 8";
  EXPECT_TRUE(At(124, 74, kTexGreen));
  EXPECT_TRUE(At(125, 74, kBlack)) << "transparent texel";
  EXPECT_TRUE(At(108, 74, kBlack)) << "left of the sprite";
  EXPECT_TRUE(At(115, 79, kBlack)) << "below the sprite";
  EXPECT_TRUE(At(115, 68, kBlack)) << "above the sprite";
}

TEST_F(Vdp1Sprites, FlipsMirrorTheTexture) {
  QuadrantTexture(kTex);
  struct Case {
    const char* name;
    uint16_t flips;
    Rgba topLeft, topRight, bottomLeft, bottomRight;
  };
  const Case cases[] = {
      {"none", 0, kTexRed, kTexGreen, kTexBlue, kTexWhite},
      {"horizontal", kFlipH, kTexGreen, kTexRed, kTexWhite, kTexBlue},
      {"vertical", kFlipV, kTexBlue, kTexWhite, kTexRed, kTexGreen},
      {"both: A shows the bottom-right texel", kFlipH | kFlipV, kTexWhite, kTexBlue, kTexGreen,
       kTexRed},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    // Drawn 4 times its size as a scaled sprite, and at its size as a normal one.
    Table({RgbSprite(kTex, 16, 16, 40, 40, static_cast<uint16_t>(kNormalSprite | c.flips)),
           {.control = static_cast<uint16_t>(kScaledSprite | c.flips),
            .drawMode = ColourMode(5),
            .texture = kTex / 8,
            .size = Size(16, 16),
            .xa = 100,
            .ya = 100,
            .xc = 163,
            .yc = 163}});
    DrawAndCapture();
    EXPECT_TRUE(At(43, 43, c.topLeft));
    EXPECT_TRUE(At(52, 43, c.topRight));
    EXPECT_TRUE(At(43, 52, c.bottomLeft));
    EXPECT_TRUE(At(52, 52, c.bottomRight));
    EXPECT_TRUE(At(110, 110, c.topLeft));
    EXPECT_TRUE(At(154, 110, c.topRight));
    EXPECT_TRUE(At(110, 154, c.bottomLeft));
    EXPECT_TRUE(At(154, 154, c.bottomRight));
  }
}

TEST_F(Vdp1Sprites, ZoomPointAnchorsDecideTheGrowthDirection) {
  SolidTexture(kTex, 8, 8, kRgbWhite);
  struct Case {
    const char* name;
    uint16_t zoomPoint;
    int insideX, insideY;    // a dot the sprite must cover
    int outsideX, outsideY;  // a dot across the anchor it must not
  };
  // Anchor (160, 120), displayed 40 x 30.
  const Case cases[] = {
      {"5: right and down", 5, 180, 135, 140, 105}, {"7: left and down", 7, 140, 135, 180, 105},
      {"10: centred", 10, 160, 120, 185, 120},      {"13: right and up", 13, 180, 105, 140, 135},
      {"15: left and up", 15, 140, 105, 180, 135},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Table({{.control = static_cast<uint16_t>(ZoomPoint(c.zoomPoint) | kScaledSprite),
            .drawMode = ColourMode(5),
            .texture = kTex / 8,
            .size = Size(8, 8),
            .xa = 160,
            .ya = 120,
            .xb = 40,
            .yb = 30}});
    DrawAndCapture();
    EXPECT_TRUE(At(c.insideX, c.insideY, kTexWhite));
    EXPECT_TRUE(At(c.outsideX, c.outsideY, kBlack));
  }
}

TEST_F(Vdp1Sprites, DistortedSpriteFillsItsFourVertices) {
  SolidTexture(kTex, 8, 8, kRgbGreen);
  Table({{.control = kDistortedSprite,
          .drawMode = ColourMode(5),
          .texture = kTex / 8,
          .size = Size(8, 8),
          .xa = 100,
          .ya = 40,
          .xb = 200,
          .yb = 40,
          .xc = 260,
          .yc = 140,
          .xd = 40,
          .yd = 140}});
  DrawAndCapture();
  EXPECT_TRUE(At(150, 90, kTexGreen));
  EXPECT_TRUE(At(60, 130, kTexGreen)) << "the wide lower edge";
  EXPECT_TRUE(At(60, 50, kBlack)) << "outside the slanted left edge";
}

TEST_F(Vdp1Sprites, ColourBankAndLookupTableSpritesShowColourRamAndTableColours) {
  // 256-colour bank sprite: codes 0 (transparent) and 5 in bank 0x100.
  for (uint32_t i = 0; i < 16; ++i) WriteByteVDP1VRAM(kTex + i, i < 8 ? 5 : 0);
  WriteWordVDP2CRAM(2 * 0x105, kRgbGreen);
  // 16-colour lookup-table sprite: nibble 1 through table word 1.
  for (uint32_t i = 0; i < 32; ++i) WriteByteVDP1VRAM(0x5000 + i, 0x11);
  Vdp1Words(0x6000, {0, kRgbBlue});
  Table({Box(0, 0, 320, 240, Rgb(31, 0, 0)),
         {.control = kScaledSprite,
          .drawMode = ColourMode(4),
          .colour = 0x100,
          .texture = kTex / 8,
          .size = Size(8, 2),
          .xa = 20,
          .ya = 20,
          .xc = 99,
          .yc = 99},
         {.control = kScaledSprite,
          .drawMode = ColourMode(1),
          .colour = 0x6000 / 8,
          .texture = 0x5000 / 8,
          .size = Size(8, 8),
          .xa = 150,
          .ya = 20,
          .xc = 229,
          .yc = 99}});
  DrawAndCapture();
  EXPECT_TRUE(At(60, 40, kTexGreen)) << "code 5 of bank 0x100";
  EXPECT_TRUE(At(60, 80, kRed)) << "code 0 is transparent";
  EXPECT_TRUE(At(190, 60, kTexBlue)) << "lookup table word 1";
}

TEST_F(Vdp1Sprites, GouraudAndColourOffsetDarkenAndBrighten) {
  // Grey texels (16 in every channel: 128).
  SolidTexture(kTex, 8, 8, Rgb(16, 16, 16));
  Vdp1Words(kGouraudTable, {Rgb(31, 16, 0), Rgb(31, 16, 0), Rgb(31, 16, 0), Rgb(31, 16, 0)});
  Command gouraud{.control = kScaledSprite,
                  .drawMode = ColourMode(5) | kGouraud,
                  .texture = kTex / 8,
                  .size = Size(8, 8),
                  .xa = 20,
                  .ya = 20,
                  .xc = 99,
                  .yc = 99,
                  .gouraud = kGouraudTable / 8};
  Command plain = gouraud;
  plain.drawMode = ColourMode(5);
  plain.xa = 150;
  plain.xc = 229;
  Table({gouraud, plain});
  // Colour offset A on sprites: blue +64.
  WriteWordVDP2Regs(0x110, 0x40);
  WriteWordVDP2Regs(0x118, 0x40);
  DrawAndCapture();
  // Red +120 brightens, green stays, blue -128 and +64 add up to a darkening by 64.
  EXPECT_TRUE(At(60, 60, {248, 128, 96, 255}, 8));
  EXPECT_TRUE(At(190, 60, {128, 128, 192, 255}, 8)) << "colour offset alone";
}

TEST_F(Vdp1Sprites, ShadowAndHalfTransparencyBlendOverWhatLiesBelow) {
  // Red texels with a transparent right half.
  RgbTexture(kTex, 8, 8, [](uint32_t x, uint32_t) -> uint16_t { return x < 4 ? kRgbRed : 0; });
  Command shadow{.control = kScaledSprite,
                 .drawMode = ColourMode(5) | kShadow | kGouraud,
                 .texture = kTex / 8,
                 .size = Size(8, 8),
                 .xa = 20,
                 .ya = 20,
                 .xc = 99,
                 .yc = 99,
                 .gouraud = kGouraudTable / 8};
  Vdp1Words(kGouraudTable, {0x7FFF, 0x7FFF, 0x7FFF, 0x7FFF});
  Command half = shadow;
  half.drawMode = ColourMode(5) | kHalfTransparency;
  half.xa = 150;
  half.xc = 229;
  Command meshHalf = half;
  meshHalf.drawMode = ColourMode(5) | kHalfTransparency | kMesh;
  meshHalf.xa = 240;
  meshHalf.xc = 309;
  Table({Box(0, 0, 320, 240, Rgb(31, 31, 31)), shadow, half, meshHalf});
  DrawAndCapture();
  EXPECT_TRUE(At(30, 60, {128, 128, 128, 255})) << "shadow: black at half alpha";
  EXPECT_TRUE(At(90, 60, kWhite)) << "shadow keeps the texture's transparent texels";
  EXPECT_TRUE(At(160, 60, {252, 128, 128, 255})) << "half-transparent red";
  EXPECT_TRUE(At(220, 60, kWhite));
  EXPECT_TRUE(At(250, 60, {252, 128, 128, 255})) << "mesh on half-transparency is one half too";
}

TEST_F(Vdp1Sprites, FilteringFollowsTheQualityFlagOfTheSpritesKind) {
  // 8 x 1: red then green, stretched to 160 dots: each texel covers 20.
  RgbTexture(kTex, 8, 1, [](uint32_t x, uint32_t) { return x < 4 ? kRgbRed : kRgbGreen; });
  Table({{.control = kScaledSprite,
          .drawMode = ColourMode(5),
          .texture = kTex / 8,
          .size = Size(8, 1),
          .xa = 0,
          .ya = 100,
          .xc = 159,
          .yc = 139}});
  struct Case {
    const char* name;
    int flag;  // quality flag index set, or -1
    bool blended;
  };
  const Case cases[] = {{"no filtering", -1, false},
                        {"normal sprites filtered", 0, false},
                        {"scaled sprites filtered", 1, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (int i = 0; i < 3; ++i) plugin::vdp1->SetQualityFlag(i, i == c.flag ? 1 : 0);
    DrawAndCapture();
    // Two dots right of the edge between texels 3 and 4.
    const Rgba dot = Unpack(Pixel(82, 120));
    if (c.blended) {
      EXPECT_GT(dot.r, 40) << "linear filtering mixes the neighbouring texel in";
      EXPECT_GT(dot.g, 100);
    } else {
      EXPECT_TRUE(At(82, 120, kTexGreen));
    }
  }
}

TEST_F(Vdp1Sprites, ScaledSpriteNearlyAsWideAsTheScreenClearsInsteadOfDrawing) {
  SolidTexture(kTex, 8, 8, kRgbWhite);
  struct Case {
    int width;
    bool drawn;
  };
  // displayWidth 320: the limit is 300 units.
  for (const Case& c : {Case{300, true}, Case{301, false}}) {
    SCOPED_TRACE(c.width);
    Table({{.control = kScaledSprite,
            .drawMode = ColourMode(5),
            .texture = kTex / 8,
            .size = Size(8, 8),
            .xa = 5,
            .ya = 20,
            .xc = static_cast<uint16_t>(5 + c.width - 1),
            .yc = 99}});
    DrawAndCapture();
    EXPECT_TRUE(At(150, 60, c.drawn ? kTexWhite : kBlack));
  }
}

TEST_F(Vdp1Sprites, ColourModesSixAndSevenAndEmptySizesShowNothing) {
  SolidTexture(kTex, 8, 8, kRgbWhite);
  for (uint16_t mode : {6, 7}) {
    SCOPED_TRACE(mode);
    Table({{.control = kScaledSprite,
            .drawMode = ColourMode(mode),
            .texture = kTex / 8,
            .size = Size(8, 8),
            .xa = 20,
            .ya = 20,
            .xc = 99,
            .yc = 99}});
    DrawAndCapture();
    EXPECT_TRUE(At(60, 60, kBlack));
  }
  for (uint16_t size : {Size(0, 8), Size(8, 0)}) {
    SCOPED_TRACE(size);
    Table({{.control = kScaledSprite,
            .drawMode = ColourMode(5),
            .texture = kTex / 8,
            .size = size,
            .xa = 20,
            .ya = 20,
            .xc = 99,
            .yc = 99}});
    DrawAndCapture();
    EXPECT_TRUE(At(60, 60, kBlack));
  }
}

}  // namespace
}  // namespace vdptest
