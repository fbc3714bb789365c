// Where VDP1 parts land and which GL colours they get, from their command words.
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "vdp1/part_corners.h"
#include "vdp1_cores.h"

namespace vdptest {
namespace {

constexpr uint32_t kCommand = 0x800, kGouraudTable = 0x1000;
constexpr float kStep = 0.003921569f;  // one colour-offset step, 1/255

using Channels = std::array<int, 12>;  // red, green, blue of corners A, B, C, D
Channels All(int r, int g, int b) { return {r, g, b, r, g, b, r, g, b, r, g, b}; }

std::string Point(int x, int y) { return std::to_string(x) + "," + std::to_string(y); }
// Corners A, B, C, D of the box.
std::string Box(int l, int t, int r, int b) {
  return Point(l, t) + " " + Point(r, t) + " " + Point(r, b) + " " + Point(l, b);
}

TEST(Corners, PartsLandAtTheirWordsPlusLocalCoordinatesTimesTheMultipliers) {
  struct Case {
    const char* name;
    Command command;  // normal sprites are 16 x 8
    vdp1::Placement placement;
    std::string expected;
  };
  // Zoom-point sprites anchored at (100, 60), displayed 20 x 10 unless the case says.
  auto zoomed = [](uint16_t z, uint16_t w = 20, uint16_t h = 10) {
    return Command{.control = static_cast<uint16_t>(ZoomPoint(z) | kScaledSprite),
                   .xa = 100,
                   .ya = 60,
                   .xb = w,
                   .yb = h};
  };
  const vdp1::Placement plain{0, 0, 1, 1}, doubled{100, 50, 2, 2}, shifted{-100, 40, 2, 1};
  Command free = Part(kDistortedSprite, 0, 1, 2, 300, 0x8000);
  free.yb = 4;
  free.xc = 0xFFFF;
  free.xd = 0x7FFF;
  const Case cases[] = {
      {"normal: local, then doubled", Part(0, 0, 10, 20, 0, 0), doubled, Box(220, 140, 252, 156)},
      {"normal: the far edge wraps", Part(0, 0, 0x7FF8, 0, 0, 0), plain, Box(32760, 0, -32760, 8)},
      {"two-point: C inclusive", Part(kScaledSprite, 0, 0, 0, 9, 9), plain, Box(0, 0, 10, 10)},
      {"7: right upper", zoomed(7), plain, Box(79, 59, 101, 71)},
      {"10: centre, odd sizes halve down", zoomed(10, 21, 11), plain, Box(89, 54, 111, 66)},
      {"13: left lower", zoomed(13), plain, Box(99, 49, 121, 61)},
      {"5: 0xFFFF counts as 0", zoomed(5, 0xFFFF, 0xFFFF), plain, Box(99, 59, 101, 61)},
      {"5: local, then the multipliers", zoomed(5), shifted, Box(-2, 99, 42, 111)},
      {"distorted: every vertex, wrapping", free, {1, -1, 1, 2}, "2,2 301,6 0,-2 -32768,-2"},
  };
  Vdp1Cores cores;
  const vdp1::VDP1Command command(cores.vdp1->vram, kCommand);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    cores.Write(kCommand / 8, c.command);
    vdp1::Corners k{};
    if (c.command.control == kNormalSprite)
      k = vdp1::NormalSpriteCorners(command, 16, 8, c.placement);
    if ((c.command.control & 0xF) == kScaledSprite) {
      ASSERT_TRUE(vdp1::ScaledSpriteCorners(command, c.placement, k));
    }
    if (c.command.control == kDistortedSprite) k = vdp1::FreeCorners(command, c.placement);
    EXPECT_EQ(Point(k.x[0], k.y[0]) + " " + Point(k.x[1], k.y[1]) + " " + Point(k.x[2], k.y[2]) +
                  " " + Point(k.x[3], k.y[3]),
              c.expected);
  }
  for (uint16_t z : {1, 2, 3, 4, 8, 12}) {
    cores.Write(kCommand / 8, zoomed(z));
    vdp1::Corners corners{};
    EXPECT_FALSE(vdp1::ScaledSpriteCorners(command, plain, corners)) << "zoom point " << z;
  }
}

TEST(SpriteColours, CalculationGouraudAndColourOffsetGiveEachCornerItsOffset) {
  struct Case {
    const char* name;
    uint16_t drawMode;
    std::array<uint16_t, 4> gouraud;
    uint16_t clofen, clofsl;
    float alpha;
    Channels offset;  // in steps of 1/255
  };
  const uint16_t grey = Rgb(16, 16, 16), red = Rgb(31, 16, 16), on = 0x40, setB = 0x40;
  const std::array<uint16_t, 4> neutral{grey, grey, grey, grey}, reds{red, red, red, red},
      corners{grey, Rgb(0, 16, 16), Rgb(16, 31, 16), Rgb(8, 16, 24)}, redA{Rgb(31, 0, 0), 0, 0, 0};
  // Offset set A: red 0x1F0, green 0x010, blue 0x100; set B: red 0x0FF, green 0x1FF, blue 0x080.
  const Case cases[] = {
      {"replace; offsets not enabled for sprites", kReplace, neutral, 0x3F, 0, 1, All(0, 0, 0)},
      {"half-luminance; set A: 255 - x darkens", kHalfLuminance, neutral, on, 0, 1,
       All(-15, 16, -255)},
      {"half-transparency; set B", kHalfTransparency, neutral, on, setB, 0.5f, All(255, 0, 128)},
      {"gouraud by corner: 16 is neutral, 0 takes 128, 31 adds 120", kGouraud, corners, 0, 0, 1,
       Channels{0, 0, 0, -128, 0, 0, 0, 120, 0, -64, 0, 64}},
      {"gouraud and set A add up, clamped at -255", kGouraud, redA, on, 0, 1,
       Channels{105, -112, -255, -143, -112, -255, -143, -112, -255, -143, -112, -255}},
      {"gouraud and set B, clamped at 255", kGouraud, reds, on, setB, 1, All(255, 0, 128)},
      {"shadow: black at half alpha, no gouraud or offset", kShadow | kGouraud, reds, on, 0, 0.5f,
       All(-255, -255, -255)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Vdp1Cores cores;
    const uint16_t offsetRegs[] = {c.clofen, c.clofsl, 0x1F0, 0x010, 0x100, 0x0FF, 0x1FF, 0x080};
    for (uint32_t i = 0; i < 8; ++i) cores.vdp2->WriteWordVDP2Regs(0x110 + 2 * i, offsetRegs[i]);
    cores.Write(kCommand / 8, {.drawMode = c.drawMode, .gouraud = kGouraudTable / 8});
    cores.Words(kGouraudTable, {c.gouraud[0], c.gouraud[1], c.gouraud[2], c.gouraud[3]});
    SpriteQuad quad{};
    cores.vdp1->ComputeSpriteColours(quad, kCommand);
    EXPECT_EQ(quad.alpha, c.alpha);
    for (int i = 0; i < 12; ++i) {
      const int o = c.offset[i];
      EXPECT_NEAR(quad.primary[i], o < 0 ? 1 + o * kStep : 1.0f, 1e-6) << i;
      EXPECT_NEAR(quad.secondary[i], o > 0 ? o * kStep : 0.0f, 1e-6) << i;
    }
  }
}

TEST(ShapeColours, CalculationAndGouraudScaleTheColourWord) {
  struct Case {
    const char* name;
    uint16_t drawMode, colour;
    std::array<uint16_t, 4> gouraud;
    float alpha;
    Channels channels;  // in 31sts, or 62nds at half luminance
  };
  const std::array<uint16_t, 4> none{}, corners{0x7FFF, 0, Rgb(16, 16, 16), Rgb(0, 31, 20)};
  const Case cases[] = {
      {"replace; bit 15 ignored", kReplace, 0x8000 | Rgb(16, 8, 0), none, 1, All(16, 8, 0)},
      {"half-luminance", kHalfLuminance, 0x7FFF, none, 1, All(31, 31, 31)},
      {"half-transparency", kHalfTransparency, 0x7FFF, none, 0.5f, All(31, 31, 31)},
      {"shadow", kShadow, 0x7FFF, none, 0.5f, All(0, 0, 0)},
      {"gouraud adds around 16 by corner and clamps at 0 and 31", kGouraud, Rgb(24, 8, 16), corners,
       1, Channels{31, 23, 31, 8, 0, 0, 24, 8, 16, 8, 23, 20}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Vdp1Cores cores;
    cores.Write(kCommand / 8,
                {.drawMode = c.drawMode, .colour = c.colour, .gouraud = kGouraudTable / 8});
    cores.Words(kGouraudTable, {c.gouraud[0], c.gouraud[1], c.gouraud[2], c.gouraud[3]});
    ShadedShape shape{};
    cores.vdp1->ComputeShapeColours(shape, kCommand);
    EXPECT_EQ(shape.alpha, c.alpha);
    const float step = c.drawMode == kHalfLuminance ? 1 / 62.f : 1 / 31.f;
    for (int i = 0; i < 12; ++i) EXPECT_NEAR(shape.colours[i], c.channels[i] * step, 1e-6) << i;
  }
}

}  // namespace
}  // namespace vdptest
