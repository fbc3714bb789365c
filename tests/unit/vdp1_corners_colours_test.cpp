// Where VDP1 parts land and which GL colours they get, from their command words.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "vdp1/part_corners.h"
#include "vdp1_cores.h"

namespace vdptest {
namespace {

constexpr uint32_t kCommand = 0x800;
constexpr float kStep = 0.003921569f;  // one colour-offset step, 1/255

// Corners as "x,y x,y x,y x,y" for readable failures.
std::string Text(const vdp1::Corners& c) {
  std::string s;
  for (int i = 0; i < 4; ++i)
    s += std::to_string(c.x[i]) + "," + std::to_string(c.y[i]) + (i < 3 ? " " : "");
  return s;
}

// A box: left, top, right, bottom as corners A, B, C, D.
std::string Box(int left, int top, int right, int bottom) {
  vdp1::Corners c{};
  const int16_t l = static_cast<int16_t>(left), t = static_cast<int16_t>(top),
                r = static_cast<int16_t>(right), b = static_cast<int16_t>(bottom);
  c = {{l, r, r, l}, {t, t, b, b}};
  return Text(c);
}

class Corners : public ::testing::Test {
 protected:
  vdp1::VDP1Command Put(const Command& c) {
    cores.Write(kCommand / 8, c);
    return vdp1::VDP1Command(cores.vdp1->vram, kCommand);
  }
  Vdp1Cores cores;
};

TEST_F(Corners, NormalSpriteCoversItsTextureSizeFromVertexA) {
  struct Case {
    const char* name;
    uint16_t xa, ya;
    uint32_t w, h;
    vdp1::Placement placement;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {"local coordinates", 10, 20, 16, 8, {100, 50, 1, 1}, Box(110, 70, 126, 78)},
      {"doubled", 10, 20, 16, 8, {100, 50, 2, 2}, Box(220, 140, 252, 156)},
      {"negative vertex", 0xFFF8, 0xFFFC, 8, 8, {0, 0, 1, 1}, Box(-8, -4, 0, 4)},
      {"the far edge wraps at 16 bits", 0x7FF8, 0, 16, 1, {0, 0, 1, 1}, Box(32760, 0, -32760, 1)},
      {"doubling wraps too",
       0x4000,
       0x3FFF,
       8,
       1,
       {0, 0, 2, 2},
       Box(-32768, 32766, -32752, -32768)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto command = Put({.xa = c.xa, .ya = c.ya});
    EXPECT_EQ(Text(vdp1::NormalSpriteCorners(command, c.w, c.h, c.placement)), c.expected);
  }
}

TEST_F(Corners, ScaledSpriteTwoPointFormAndZoomPointAnchors) {
  struct Case {
    const char* name;
    Command command;
    std::string expected;
  };
  // Anchor (100, 60), displayed size 20 x 10, unless the case says otherwise.
  auto zoomed = [](uint16_t z, uint16_t w = 20, uint16_t h = 10) {
    return Command{.control = static_cast<uint16_t>(ZoomPoint(z) | kScaledSprite),
                   .xa = 100,
                   .ya = 60,
                   .xb = w,
                   .yb = h};
  };
  const std::vector<Case> cases = {
      {"two-point: C is the inclusive lower-right",
       {.xa = 0, .ya = 0, .xc = 9, .yc = 9},
       Box(0, 0, 10, 10)},
      {"centre, centre (manual example)",
       {.control = ZoomPoint(10) | kScaledSprite, .xa = 160, .ya = 112, .xb = 32, .yb = 16},
       Box(143, 103, 177, 121)},
      {"5 left upper", zoomed(5), Box(99, 59, 121, 71)},
      {"6 centre upper", zoomed(6), Box(89, 59, 111, 71)},
      {"7 right upper", zoomed(7), Box(79, 59, 101, 71)},
      {"9 left centre", zoomed(9), Box(99, 54, 121, 66)},
      {"11 right centre", zoomed(11), Box(79, 54, 101, 66)},
      {"13 left lower: grows right and up", zoomed(13), Box(99, 49, 121, 61)},
      {"14 centre lower", zoomed(14), Box(89, 49, 111, 61)},
      {"15 right lower: grows left and up", zoomed(15), Box(79, 49, 101, 61)},
      {"odd size halves round down", zoomed(10, 21, 11), Box(89, 54, 111, 66)},
      {"0xFFFF counts as 0: two units wide", zoomed(5, 0xFFFF, 0xFFFF), Box(99, 59, 101, 61)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    vdp1::Corners corners{};
    ASSERT_TRUE(vdp1::ScaledSpriteCorners(Put(c.command), {0, 0, 1, 1}, corners));
    EXPECT_EQ(Text(corners), c.expected);
  }
  vdp1::Corners corners{};
  ASSERT_TRUE(vdp1::ScaledSpriteCorners(Put(zoomed(5)), {-100, 40, 2, 1}, corners));
  EXPECT_EQ(Text(corners), Box(-2, 99, 42, 111)) << "local coordinates, then the multipliers";
}

TEST_F(Corners, ZoomPointsWithoutAnAnchorAreRejected) {
  for (uint16_t z : {1, 2, 3, 4, 8, 12}) {
    vdp1::Corners corners{};
    EXPECT_FALSE(vdp1::ScaledSpriteCorners(
        Put({.control = static_cast<uint16_t>(ZoomPoint(z) | kScaledSprite), .xb = 8, .yb = 8}),
        {0, 0, 1, 1}, corners))
        << "zoom point " << z;
  }
}

TEST_F(Corners, FreeCornersTakeEachVertexAsWritten) {
  const auto command = Put(
      {.xa = 1, .ya = 2, .xb = 300, .yb = 4, .xc = 0xFFFF, .yc = 0x8000, .xd = 0x7FFF, .yd = 0});
  EXPECT_EQ(Text(vdp1::FreeCorners(command, {0, 0, 1, 1})), "1,2 300,4 -1,-32768 32767,0");
  EXPECT_EQ(Text(vdp1::FreeCorners(command, {1, -1, 1, 2})), "2,2 301,6 0,-2 -32768,-2");
}

// --- sprite colours ---------------------------------------------------------------------

class SpriteColours : public ::testing::Test {
 protected:
  SpriteQuad Colours(uint16_t drawMode,
                     std::array<uint16_t, 4> gouraud = {0x4210, 0x4210, 0x4210, 0x4210}) {
    cores.Write(kCommand / 8, {.drawMode = drawMode, .gouraud = 0x1000 / 8});
    cores.Words(0x1000, {gouraud[0], gouraud[1], gouraud[2], gouraud[3]});
    SpriteQuad quad{};
    std::fill(quad.primary, quad.primary + 12, -1.0f);
    std::fill(quad.secondary, quad.secondary + 12, -1.0f);
    cores.vdp1->ComputeSpriteColours(quad, kCommand);
    return quad;
  }
  void Vdp2(uint32_t reg, uint16_t value) { cores.vdp2->WriteWordVDP2Regs(reg, value); }
  Vdp1Cores cores;
};

TEST_F(SpriteColours, ColourCalculationSetsAlphaAndShadow) {
  struct Case {
    uint16_t mode;
    float alpha;
    uint8_t shadow;
    float primary;
  };
  const Case cases[] = {{kReplace, 1.0f, 0, 1.0f},
                        {kShadow, 0.5f, 1, 0.0f},
                        {kHalfLuminance, 1.0f, 0, 1.0f},
                        {kHalfTransparency, 0.5f, 0, 1.0f}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    const SpriteQuad q = Colours(c.mode);
    EXPECT_EQ(q.alpha, c.alpha);
    EXPECT_EQ(q.shadow, c.shadow);
    for (int i = 0; i < 12; ++i) {
      EXPECT_EQ(q.primary[i], c.primary);
      EXPECT_EQ(q.secondary[i], 0.0f);
    }
  }
}

TEST_F(SpriteColours, GouraudOffsetsEachCornerAroundSixteen) {
  // A: neutral; B: red 0 (-128); C: green 31 (+120); D: blue 24 (+64), red 8 (-64).
  const SpriteQuad q = Colours(kGouraud, {0x4210, Rgb(0, 16, 16), Rgb(16, 31, 16), Rgb(8, 16, 24)});
  const float expectPrimary[12] = {1, 1, 1, 1 - 128 * kStep, 1, 1, 1, 1, 1, 1 - 64 * kStep, 1, 1};
  const float expectSecondary[12] = {0, 0, 0, 0, 0, 0, 0, 120 * kStep, 0, 0, 0, 64 * kStep};
  for (int i = 0; i < 12; ++i) {
    EXPECT_FLOAT_EQ(q.primary[i], expectPrimary[i]) << i;
    EXPECT_FLOAT_EQ(q.secondary[i], expectSecondary[i]) << i;
  }
}

TEST_F(SpriteColours, ColourOffsetSetsAAndB) {
  struct Case {
    const char* name;
    uint16_t clofen, clofsl;
    float red, green, blue;  // offset in steps, negative darkens
  };
  // Set A: red 0x1F0 (-15, not -16), green 0x010 (+16), blue 0x100 (-255).
  // Set B: red 0x0FF (+255), green 0x1FF (0), blue 0.
  const Case cases[] = {
      {"set A", 0x40, 0x00, -15, 16, -255},
      {"set B", 0x40, 0x40, 255, 0, 0},
      {"sprites not enabled", 0x3F, 0x40, 0, 0, 0},
  };
  Vdp2(0x114, 0x1F0);
  Vdp2(0x116, 0x010);
  Vdp2(0x118, 0x100);
  Vdp2(0x11A, 0x0FF);
  Vdp2(0x11C, 0x1FF);
  Vdp2(0x11E, 0x000);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Vdp2(0x110, c.clofen);
    Vdp2(0x112, c.clofsl);
    const SpriteQuad q = Colours(kReplace);
    const float offsets[3] = {c.red, c.green, c.blue};
    for (int corner = 0; corner < 4; ++corner) {
      for (int ch = 0; ch < 3; ++ch) {
        const float o = offsets[ch];
        EXPECT_FLOAT_EQ(q.primary[3 * corner + ch], o < 0 ? 1 + o * kStep : 1.0f);
        EXPECT_FLOAT_EQ(q.secondary[3 * corner + ch], o > 0 ? o * kStep : 0.0f);
      }
    }
  }
}

TEST_F(SpriteColours, GouraudAndOffsetAddUpAndClampAt255) {
  Vdp2(0x110, 0x40);
  Vdp2(0x114, 0x0FF);  // red +255
  Vdp2(0x116, 0x100);  // green -255
  Vdp2(0x118, 0x080);  // blue +128
  // Red 31 (+120), green 0 (-128), blue 0 (-128): 375, -383 and 0.
  const SpriteQuad q =
      Colours(kGouraud, {Rgb(31, 0, 0), Rgb(31, 0, 0), Rgb(31, 0, 0), Rgb(31, 0, 0)});
  EXPECT_FLOAT_EQ(q.secondary[0], 255 * kStep);
  EXPECT_FLOAT_EQ(q.primary[1], 1 - 255 * kStep);
  EXPECT_FLOAT_EQ(q.primary[2], 1.0f);
  EXPECT_FLOAT_EQ(q.secondary[2], 0.0f);
}

// --- shape colours ----------------------------------------------------------------------

class ShapeColours : public ::testing::Test {
 protected:
  ShadedShape Colours(uint16_t drawMode, uint16_t colour,
                      std::array<uint16_t, 4> gouraud = {0x4210, 0x4210, 0x4210, 0x4210}) {
    cores.Write(kCommand / 8, {.drawMode = drawMode, .colour = colour, .gouraud = 0x1000 / 8});
    cores.Words(0x1000, {gouraud[0], gouraud[1], gouraud[2], gouraud[3]});
    ShadedShape shape{};
    cores.vdp1->ComputeShapeColours(shape, kCommand);
    return shape;
  }
  Vdp1Cores cores;
};

TEST_F(ShapeColours, ColourCalculationScalesTheColourWord) {
  struct Case {
    const char* name;
    uint16_t mode, colour;
    float r, g, b, alpha;
  };
  const Case cases[] = {
      {"replace white", kReplace, 0x7FFF, 1, 1, 1, 1},
      {"replace red 16, green 8, blue 0", kReplace, Rgb(16, 8, 0), 16 / 31.f, 8 / 31.f, 0, 1},
      {"half-luminance white", kHalfLuminance, 0x7FFF, 0.5f, 0.5f, 0.5f, 1},
      {"half-transparency", kHalfTransparency, 0x7FFF, 1, 1, 1, 0.5f},
      {"shadow", kShadow, 0x7FFF, 0, 0, 0, 0.5f},
      {"bit 15 ignored", kReplace, 0x801F, 1, 0, 0, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const ShadedShape s = Colours(c.mode, c.colour);
    EXPECT_EQ(s.alpha, c.alpha);
    for (int corner = 0; corner < 4; ++corner) {
      EXPECT_NEAR(s.colours[3 * corner + 0], c.r, 1e-6);
      EXPECT_NEAR(s.colours[3 * corner + 1], c.g, 1e-6);
      EXPECT_NEAR(s.colours[3 * corner + 2], c.b, 1e-6);
    }
  }
}

TEST_F(ShapeColours, GouraudAddsAroundSixteenAndClamps) {
  const ShadedShape bright =
      Colours(kGouraud, 0x4210, {0x7FFF, 0x4210, Rgb(0, 16, 31), Rgb(20, 12, 16)});
  const float expected[12] = {1, 1,         1, 16 / 31.f, 16 / 31.f, 16 / 31.f,
                              0, 16 / 31.f, 1, 20 / 31.f, 12 / 31.f, 16 / 31.f};
  for (int i = 0; i < 12; ++i) EXPECT_NEAR(bright.colours[i], expected[i], 1e-6) << i;

  const ShadedShape dark = Colours(kGouraud | kHalfLuminance, 0x0421, {0, 0, 0, 0});
  for (int i = 0; i < 12; ++i) EXPECT_EQ(dark.colours[i], 0.0f) << "clamped at 0";
}

}  // namespace
}  // namespace vdptest
