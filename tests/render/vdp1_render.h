// VDP1 pictures through the plugin's exports: command tables, textures and colour RAM
// written as a game would, one frame drawn, the presented picture read back.
#pragma once

#include <algorithm>
#include <initializer_list>

#include "plugin_fixture.h"
#include "vdp1_commands.h"

namespace vdptest {

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
  static void Table(std::initializer_list<Command> commands) {
    WriteTable(WriteWordVDP1VRAM, commands);
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

}  // namespace vdptest
