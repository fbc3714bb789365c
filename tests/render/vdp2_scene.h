// Building VDP2 scenes through the exports: registers, colours, characters, maps.
#pragma once

#include <cstdint>
#include <initializer_list>

#include "display/opengl_display.h"
#include "plugin/plugin_globals.h"
#include "plugin_fixture.h"
#include "vdp2/vdp2_core.h"

namespace vdptest {

// A 15-bit console colour from 5-bit channels, and what it looks like on screen.
constexpr uint16_t Rgb5(int r, int g, int b) {
  return static_cast<uint16_t>((b << 10) | (g << 5) | r);
}
inline Rgba Seen(uint16_t c) {
  return {(c & 31) << 3, ((c >> 5) & 31) << 3, ((c >> 10) & 31) << 3, 255};
}

constexpr uint16_t kRed = Rgb5(31, 0, 0);
constexpr uint16_t kGreen = Rgb5(0, 31, 0);
constexpr uint16_t kBlue = Rgb5(0, 0, 31);
constexpr uint16_t kWhite = Rgb5(31, 31, 31);
constexpr uint16_t kYellow = Rgb5(31, 31, 0);
constexpr Rgba kBlack = {0, 0, 0, 0};

class Vdp2Scene : public PluginTest {
 protected:
  void SetUp() override {
    PluginTest::SetUp();
    if (!running) return;
    DrawEveryFrame();
    Screen(0x8000);  // 320 x 224
  }

  // Sets TVMD and lets the window follow the new resolution (applied by a frame).
  void Screen(uint16_t tvmd) {
    Reg(vdp2reg::TVMD, tvmd);
    Frame();
  }

  static void Reg(uint32_t offset, uint16_t value) { WriteWordVDP2Regs(offset, value); }
  static void Colour(uint32_t index, uint16_t colour) { WriteWordVDP2CRAM(index * 2, colour); }
  static void Bytes(uint32_t address, uint8_t value, uint32_t count) {
    for (uint32_t i = 0; i < count; ++i) WriteByteVDP2VRAM(address + i, value);
  }
  static void Words(uint32_t address, uint16_t value, uint32_t count) {
    for (uint32_t i = 0; i < count; ++i) WriteWordVDP2VRAM(address + 2 * i, value);
  }

  // Zoom 1.0 for NBG0 and NBG1 (the registers start at 0, an empty window).
  static void UnitZoom() {
    for (uint32_t r : {vdp2reg::ZMXIN0, vdp2reg::ZMYIN0, vdp2reg::ZMXIN1, vdp2reg::ZMYIN1})
      Reg(r, 1);
  }

  // A one-word-per-pattern, 1x1-cell NBG0 in 16 colours at priority 1 whose four map
  // slots are all the page at `page` (8 KB units); the page is filled with `name`.
  void SimpleCellNbg0(uint32_t page, uint16_t name) {
    Reg(vdp2reg::BGON, 0x0001);
    Reg(vdp2reg::PRINA, 0x0001);
    Reg(vdp2reg::CHCTLA, 0x0000);
    Reg(vdp2reg::PNCN0, 0x8000);
    Reg(vdp2reg::PLSZ, 0x0000);
    Reg(vdp2reg::MPOFN, 0x0000);
    Reg(vdp2reg::MPABN0, static_cast<uint16_t>(page | (page << 8)));
    Reg(vdp2reg::MPABN0 + 2, static_cast<uint16_t>(page | (page << 8)));
    Words(page << 13, name, 4096);
    UnitZoom();
  }

  static DisplayWorkCounters& Work() { return plugin::display->counters; }
  static VDP2Core& Core() { return *plugin::vdp2; }

  // Draws a frame and reads the picture back.
  bool FrameAndCapture() {
    Frame();
    return Capture();
  }
};

}  // namespace vdptest
