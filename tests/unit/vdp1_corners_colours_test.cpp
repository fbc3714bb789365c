// Where VDP1 parts land and which GL colours they get, from their command words.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include "vdp1/part_corners.h"
#include "vdp1_cores.h"

namespace vdptest {
namespace {

constexpr uint32_t kCommand = 0x800, kGouraudTable = 0x1000;
using Channels = std::array<int, 12>;  // red, green, blue of corners A, B, C, D
Channels All(int r, int g, int b) { return {r, g, b, r, g, b, r, g, b, r, g, b}; }
// Corners A, B, C, D of the box.
std::array<int, 8> Box(int l, int t, int r, int b) { return {l, t, r, t, r, b, l, b}; }

TEST(Corners, PartsLandAtTheirWordsPlusLocalCoordinatesTimesTheMultipliers) {
  struct Case {
    const char* name;
    Command command;  // normal sprites are 16 x 8
    vdp1::Placement placement;
    std::array<int, 8> expected;
  };
  // Zoom-point sprites anchored at (100, 60), displayed 20 x 10 unless the case says.
  auto zoomed = [](uint16_t z, uint16_t w = 20, uint16_t h = 10) {
    return Part(ZoomPoint(z) | kScaledSprite, 0, 100, 60, w, h);
  };
  const vdp1::Placement plain{0, 0, 1, 1}, doubled{100, 50, 2, 2}, shifted{-100, 40, 2, 1};
  Command free = Part(kDistortedSprite, 0, 1, 2, 0xFFFF, 0x8000);
  free.xb = 300;
  free.xd = 0x7FFF;
  const Case cases[] = {
      {"normal: local, then doubled", Part(0, 0, 10, 20, 0, 0), doubled, Box(220, 140, 252, 156)},
      {"normal: the far edge wraps", Part(0, 0, 0x7FF8, 0, 0, 0), plain, Box(32760, 0, -32760, 8)},
      {"two-point: C inclusive", Part(kScaledSprite, 0, 0, 0, 9, 9), plain, Box(0, 0, 10, 10)},
      {"7: right upper", zoomed(7), plain, Box(79, 59, 101, 71)},
      {"10: centre, odd sizes halve down", zoomed(10, 21, 11), plain, Box(89, 54, 111, 66)},
      {"13: left lower, local then multipliers", zoomed(13), shifted, Box(-2, 89, 42, 101)},
      {"5: 0xFFFF counts as 0", zoomed(5, 0xFFFF, 0xFFFF), plain, Box(99, 59, 101, 61)},
      {"distorted: every vertex, wrapping", free, {1, -1, 1, 2}, {2, 2, 301, 2, 0, -2, -32768, -2}},
  };
  Vdp1Cores cores;
  const vdp1::VDP1Command command(cores.vdp1->vram, kCommand);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    cores.Write(kCommand / 8, c.command);
    vdp1::Corners k{};
    if (c.command.control == kNormalSprite) k = NormalSpriteCorners(command, 16, 8, c.placement);
    if ((c.command.control & 0xF) == kScaledSprite) {
      ASSERT_TRUE(ScaledSpriteCorners(command, c.placement, k));
    }
    if (c.command.control == kDistortedSprite) k = FreeCorners(command, c.placement);
    EXPECT_EQ((std::array<int, 8>{k.x[0], k.y[0], k.x[1], k.y[1], k.x[2], k.y[2], k.x[3], k.y[3]}),
              c.expected);
  }
  for (uint16_t z : {1, 2, 3, 4, 8, 12}) {
    cores.Write(kCommand / 8, zoomed(z));
    vdp1::Corners corners{};
    EXPECT_FALSE(ScaledSpriteCorners(command, plain, corners)) << "zoom point " << z;
  }
}

// A part's colour words and VDP2's colour offset enable and select. Offset set A is red
// 0x1F0, green 0x010, blue 0x100; set B red 0x0FF, green 0x1FF, blue 0x080.
struct Colours {
  const char* name;
  uint16_t drawMode, colour, clofen, clofsl;
  std::array<uint16_t, 4> gouraud;
  float alpha;
  Channels expected;
};

void Prepare(Vdp1Cores& cores, const Colours& c) {
  const uint16_t offsets[] = {c.clofen, c.clofsl, 0x1F0, 0x010, 0x100, 0x0FF, 0x1FF, 0x080};
  for (uint32_t i = 0; i < 8; ++i) cores.vdp2->WriteWordVDP2Regs(0x110 + 2 * i, offsets[i]);
  cores.Write(kCommand / 8,
              Command{.drawMode = c.drawMode, .colour = c.colour, .gouraud = kGouraudTable / 8});
  cores.Words(kGouraudTable, {c.gouraud[0], c.gouraud[1], c.gouraud[2], c.gouraud[3]});
}

TEST(SpriteColours, CalculationGouraudAndColourOffsetAddUpPerCorner) {
  const uint16_t grey = Rgb(16, 16, 16), on = 0x40, setB = 0x40, others = 0x3F;
  const std::array<uint16_t, 4> neutral{grey, grey, grey, grey}, zero{},
      corners{Rgb(31, 16, 16), Rgb(0, 16, 16), Rgb(16, 31, 16), Rgb(8, 16, 24)};
  // Expected offsets in steps of 1/255: gouraud 16 is neutral, 0 takes 128, 31 adds 120.
  const Colours cases[] = {
      {"half-luminance leaves sprites; set A, 255 - x darkens", kHalfLuminance, 0, on, 0, neutral,
       1, All(-15, 16, -255)},
      {"half-transparency; no offset on sprites", kHalfTransparency, 0, others, setB, neutral, 0.5f,
       All(0, 0, 0)},
      {"gouraud by corner and set B, clamped at 255", kGouraud, 0, on, setB, corners, 1,
       Channels{255, 0, 128, 127, 0, 128, 255, 120, 128, 191, 0, 192}},
      {"gouraud and set A, clamped at -255", kGouraud, 0, on, 0, zero, 1, All(-143, -112, -255)},
      {"shadow: black at half alpha", kShadow | kGouraud, 0, on, 0, corners, 0.5f,
       All(-255, -255, -255)},
  };
  for (const Colours& c : cases) {
    SCOPED_TRACE(c.name);
    Vdp1Cores cores;
    Prepare(cores, c);
    SpriteQuad quad{};
    cores.vdp1->ComputeSpriteColours(quad, kCommand);
    EXPECT_EQ(quad.alpha, c.alpha);
    for (int i = 0; i < 12; ++i) {
      EXPECT_NEAR(quad.primary[i], std::min(1.0f, 1 + c.expected[i] * 0.003921569f), 1e-6) << i;
      EXPECT_NEAR(quad.secondary[i], std::max(0.0f, c.expected[i] * 0.003921569f), 1e-6) << i;
    }
  }
}

TEST(ShapeColours, CalculationAndGouraudScaleTheColourWord) {
  const std::array<uint16_t, 4> none{}, corners{0x7FFF, 0, Rgb(16, 16, 16), Rgb(0, 31, 20)};
  // Expected channels in 31sts, or in 62nds at half luminance.
  const Colours cases[] = {
      {"half-luminance", kHalfLuminance, 0x7FFF, 0, 0, none, 1, All(31, 31, 31)},
      {"half-transparency; bit 15 ignored", kHalfTransparency, 0x8000 | Rgb(16, 8, 0), 0, 0, none,
       0.5f, All(16, 8, 0)},
      {"shadow", kShadow, 0x7FFF, 0, 0, none, 0.5f, All(0, 0, 0)},
      {"gouraud adds around 16 by corner, clamped at 0 and 31", kGouraud, Rgb(24, 8, 16), 0, 0,
       corners, 1, Channels{31, 23, 31, 8, 0, 0, 24, 8, 16, 8, 23, 20}},
  };
  for (const Colours& c : cases) {
    SCOPED_TRACE(c.name);
    Vdp1Cores cores;
    Prepare(cores, c);
    ShadedShape shape{};
    cores.vdp1->ComputeShapeColours(shape, kCommand);
    EXPECT_EQ(shape.alpha, c.alpha);
    const float step = c.drawMode == kHalfLuminance ? 1 / 62.f : 1 / 31.f;
    for (int i = 0; i < 12; ++i) EXPECT_NEAR(shape.colours[i], c.expected[i] * step, 1e-6) << i;
  }
}

}  // namespace
}  // namespace vdptest
