// VDP1 pictures through the plugin's exports: command tables, textures and colour RAM
// written as a game would, one frame drawn, the presented picture read back.
#pragma once

#include <algorithm>
#include <initializer_list>
#include <utility>

#include "plugin_fixture.h"
#include "vdp1_commands.h"

namespace vdptest {

// Colours as the picture shows a 5-bit channel of 31 and 0 (texels hold channel << 3).
constexpr Rgba kBlack{0, 0, 0, 255}, kWhite{255, 255, 255, 255}, kRed{255, 0, 0, 255},
    kGreen{0, 255, 0, 255}, kBlue{0, 0, 255, 255};
constexpr uint16_t kRgbRed = 0x001F, kRgbGreen = 0x03E0, kRgbBlue = 0x7C00, kRgbWhite = 0x7FFF;
constexpr Rgba kTexRed{248, 0, 0, 255}, kTexGreen{0, 248, 0, 255}, kTexBlue{0, 0, 248, 255},
    kTexWhite{248, 248, 248, 255};

// A dot of the picture and the colour it must have.
struct Probe {
  const char* what;
  int x, y;
  Rgba colour;
  int tolerance = 6;
};

class Vdp1Render : public PluginTest {
 protected:
  void SetUp() override {
    PluginTest::SetUp();
    DrawEveryFrame();
  }
  static void Put(uint32_t unit, const Command& c) {
    WriteCommand([](uint32_t a, uint16_t v) { WriteWordVDP1VRAM(a, v); }, unit, c);
  }
  // The command table from address 0: the given commands in order, then the end.
  static void Table(std::initializer_list<Command> commands) {
    uint32_t unit = 0;
    for (const Command& c : commands) Put(std::exchange(unit, unit + 4), c);
    Put(unit, {kEndOfTable});
  }
  // A width x height RGB texture at `address`, each texel from colourAt(x, y).
  template <typename ColourAt>
  static void RgbTexture(uint32_t address, uint32_t width, uint32_t height, ColourAt colourAt) {
    for (uint32_t y = 0; y < height; ++y)
      for (uint32_t x = 0; x < width; ++x)
        WriteWordVDP1VRAM(address + 2 * (y * width + x), colourAt(x, y));
  }
  static void SolidTexture(uint32_t address, uint32_t width, uint32_t height, uint16_t rgb) {
    RgbTexture(address, width, height, [rgb](uint32_t, uint32_t) { return rgb; });
  }

  // Draws one frame and reads the picture back.
  void DrawAndCapture() {
    Frame();
    ASSERT_TRUE(Capture());
  }
  ::testing::AssertionResult At(int x, int y, Rgba expected, int tolerance = 6) const {
    ::testing::AssertionResult r = ColourNear(Pixel(x, y), expected, tolerance);
    if (!r) r << " at (" << x << ", " << y << ")";
    return r;
  }
  void Check(std::initializer_list<Probe> probes) const {
    for (const Probe& p : probes) EXPECT_TRUE(At(p.x, p.y, p.colour, p.tolerance)) << p.what;
  }
  // Brightest channel value in the 3 x 3 dots around (x, y): lines may fall between rows.
  int Brightest(int x, int y) const {
    int best = 0;
    for (int dy = -1; dy <= 1; ++dy)
      for (int dx = -1; dx <= 1; ++dx) {
        const Rgba c = Unpack(Pixel(x + dx, y + dy));
        best = std::max({best, c.r, c.g, c.b});
      }
    return best;
  }
};

}  // namespace vdptest
