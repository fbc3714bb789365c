// Where scaled VDP1 sprites land and which GL colours sprites get, from their words.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include "vdp1/part_corners.h"
#include "vdp1_cores.h"

namespace vdptest {
namespace {

constexpr uint32_t kCommand = 0x800, kGouraudTable = 0x1000;
using Channels = std::array<int, 12>;     // red, green, blue of corners A, B, C, D
using Gouraud = std::array<uint16_t, 4>;  // table words of corners A, B, C, D
Channels All(int r, int g, int b) { return {r, g, b, r, g, b, r, g, b, r, g, b}; }
// Corners A, B, C, D of the box.
std::array<int, 8> Box(int l, int t, int r, int b) { return {l, t, r, t, r, b, l, b}; }

TEST(Corners, ScaledSpritesSpanTheirTwoPointsOrGrowFromTheirZoomPointAnchor) {
  struct Case {
    const char* name;
    Command command;
    vdp1::Placement placement;
    std::array<int, 8> expected;
  };
  // Anchored at (100, 60), displayed 20 x 10 unless the case says.
  auto zoomed = [](uint16_t z, uint16_t w = 20, uint16_t h = 10) {
    return Command{
        static_cast<uint16_t>(ZoomPoint(z) | kScaledSprite), 0, 0, 0, 0, 0, 100, 60, w, h};
  };
  const vdp1::Placement plain{0, 0, 1, 1}, local{0, -1, 2, 2}, shifted{-100, 40, 2, 1};
  const Case cases[] = {
      {"two points: C inclusive", Part(kScaledSprite, 0, 0, 0, 9, 9), plain, Box(0, 0, 10, 10)},
      {"two points, local then multipliers, wrapping at 16 bits",
       Part(kScaledSprite, 0, 0x4000, 0, 0x7FFF, 0), local, Box(-32768, -2, 0, 0)},
      {"7: right upper", zoomed(7), plain, Box(79, 59, 101, 71)},
      {"10: centre, odd sizes halve down", zoomed(10, 21, 11), plain, Box(89, 54, 111, 66)},
      {"13: left lower, local then multipliers", zoomed(13), shifted, Box(-2, 89, 42, 101)},
      {"5: 0xFFFF counts as 0", zoomed(5, 0xFFFF, 0xFFFF), plain, Box(99, 59, 101, 61)},
  };
  Vdp1Cores cores;
  const vdp1::VDP1Command command(cores.vdp1->vram, kCommand);
  vdp1::Corners k{};
  for (uint16_t z : {1, 2, 3, 4, 8, 12}) {
    cores.Write(kCommand / 8, zoomed(z));
    EXPECT_FALSE(ScaledSpriteCorners(command, plain, k)) << "zoom point " << z;
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    cores.Write(kCommand / 8, c.command);
    ASSERT_TRUE(ScaledSpriteCorners(command, c.placement, k));
    EXPECT_EQ((std::array<int, 8>{k.x[0], k.y[0], k.x[1], k.y[1], k.x[2], k.y[2], k.x[3], k.y[3]}),
              c.expected);
  }
}

TEST(SpriteColours, CalculationGouraudAndColourOffsetAddUpPerCorner) {
  struct Case {
    const char* name;
    uint16_t drawMode, clofen, clofsl;
    Gouraud gouraud;
    float alpha;
    Channels offset;  // in steps of 1/255
  };
  const uint16_t grey = Rgb(16, 16, 16), on = 0x40, setB = 0x40, others = 0x3F;
  const Gouraud neutral{grey, grey, grey, grey},
      corners{Rgb(31, 16, 16), Rgb(0, 16, 0), Rgb(16, 31, 31), Rgb(8, 16, 24)};
  // Gouraud 16 is neutral, 0 takes 128, 31 adds 120.
  const Case cases[] = {
      {"half-luminance leaves sprites; set A, 255 - x darkens", kHalfLuminance, on, 0, neutral, 1,
       All(-15, 16, -255)},
      {"half-transparency; no offset on sprites", kHalfTransparency, others, setB, neutral, 0.5f,
       All(0, 0, 0)},
      {"gouraud by corner and set B, clamped at 255 and -255", kGouraud, on, setB, corners, 1,
       Channels{255, 0, -255, 127, 0, -255, 255, 120, -135, 191, 0, -191}},
      {"shadow: black at half alpha, no gouraud or offset", kShadow | kGouraud, on, 0, corners,
       0.5f, All(-255, -255, -255)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Vdp1Cores cores;
    // Offset set A: red 0x1F0, green 0x010, blue 0x100; set B: red 0x0FF, green 0x1FF, blue 0x100.
    const uint16_t offsets[] = {c.clofen, c.clofsl, 0x1F0, 0x010, 0x100, 0x0FF, 0x1FF, 0x100};
    for (uint32_t i = 0; i < 8; ++i) cores.vdp2->WriteWordVDP2Regs(0x110 + 2 * i, offsets[i]);
    cores.Write(kCommand / 8, {.drawMode = c.drawMode, .gouraud = kGouraudTable / 8});
    cores.Words(kGouraudTable, {c.gouraud.begin(), c.gouraud.end()});
    SpriteQuad quad{};
    cores.vdp1->ComputeSpriteColours(quad, kCommand);
    EXPECT_EQ(quad.alpha, c.alpha);
    for (int i = 0; i < 12; ++i) {
      EXPECT_NEAR(quad.primary[i], std::min(1.0f, 1 + c.offset[i] * 0.003921569f), 1e-6) << i;
      EXPECT_NEAR(quad.secondary[i], std::max(0.0f, c.offset[i] * 0.003921569f), 1e-6) << i;
    }
  }
}

}  // namespace
}  // namespace vdptest
