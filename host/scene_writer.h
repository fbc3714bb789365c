// What a game writes to set the chips up: register offsets, 15-bit colours and VDP1
// commands, written only through the plugin's exports.
#pragma once

#include <cstdint>

#include "plugin_api.h"

namespace vdphost {

// Register offsets in each chip's register window.
namespace vdp1reg {
constexpr uint32_t TVMR = 0x00, FBCR = 0x02, PTMR = 0x04, EWDR = 0x06, EWLR = 0x08, EWRR = 0x0A;
}
namespace vdp2reg {
constexpr uint32_t TVMD = 0x00, RAMCTL = 0x0E, BGON = 0x20, MZCTL = 0x22, CHCTLA = 0x28,
                   CHCTLB = 0x2A, BMPNA = 0x2C, PNCN2 = 0x34, PNCN3 = 0x36, PLSZ = 0x3A,
                   MPOFN = 0x3C, MPABN2 = 0x48, MPCDN2 = 0x4A, MPABN3 = 0x4C, MPCDN3 = 0x4E,
                   SCXIN1 = 0x80, SCYIN1 = 0x84, ZMXIN1 = 0x88, ZMYIN1 = 0x8C, SCXN2 = 0x90,
                   SCYN2 = 0x92, SCXN3 = 0x94, SCYN3 = 0x96, SCRCTL = 0x9A, LSTA1U = 0xA4,
                   LSTA1L = 0xA6, BKTAU = 0xAC, BKTAL = 0xAE, SPCTL = 0xE0, CRAOFA = 0xE4,
                   CRAOFB = 0xE6, PRISA = 0xF0, PRINA = 0xF8, PRINB = 0xFA, CLOFEN = 0x110,
                   CLOFSL = 0x112, COAR = 0x114, COAG = 0x116, COAB = 0x118;
// Rotating screens, windows, shadow, colour calculation and offset B.
constexpr uint32_t BMPNB = 0x2E, PNCN0 = 0x30, PNCR = 0x38, MPOFR = 0x3E, MPABRA = 0x50,
                   MPABRB = 0x60, RPMD = 0xB0, RPRCTL = 0xB2, KTCTL = 0xB4, KTAOF = 0xB6,
                   RPTAU = 0xBC, RPTAL = 0xBE, WPSX0 = 0xC0, WPSY0 = 0xC2, WPEX0 = 0xC4,
                   WPEY0 = 0xC6, WCTLA = 0xD0, WCTLB = 0xD2, WCTLC = 0xD4, WCTLD = 0xD6,
                   LWTA0U = 0xD8, LWTA0L = 0xDA, SDCTL = 0xE2, CCCTL = 0xEC, SFCCMD = 0xEE,
                   PRIR = 0xFC, CCRNA = 0x108, COBR = 0x11A, COBG = 0x11C, COBB = 0x11E;
}  // namespace vdp2reg

// A console colour: 5 bits per channel, red lowest; bit 15 marks an RGB sprite dot opaque.
constexpr uint16_t Rgb(int r, int g, int b) {
  return static_cast<uint16_t>(0x8000 | (b & 31) << 10 | (g & 31) << 5 | (r & 31));
}

// One 32-byte entry of the VDP1 command table.
struct Vdp1Command {
  enum Code : uint16_t {
    kNormalSprite = 0,
    kScaledSprite = 1,
    kDistortedSprite = 2,
    kPolygon = 4,
    kPolyline = 5,
    kLine = 6,
    kLocalCoordinates = 10,
  };
  // Draw mode: colour mode (bits 5-3), gouraud (bit 2), colour calculation (bits 1-0).
  enum ColourMode : uint16_t { kBank16 = 0, kLookup16 = 1, kBank256 = 4, kRgb = 5 };
  enum Calculation : uint16_t {
    kReplace = 0,
    kShadow = 1,
    kHalfLuminance = 2,
    kHalfTransparent = 3
  };
  static constexpr uint16_t kGouraud = 1 << 2;
  static constexpr uint16_t DrawMode(ColourMode mode, uint16_t calculation = kReplace) {
    return static_cast<uint16_t>(mode << 3 | calculation);
  }
  // Control word: zoom point (bits 11-8), vertical and horizontal flip (bits 5, 4).
  static constexpr uint16_t kFlipH = 1 << 4, kFlipV = 1 << 5;
  static constexpr uint16_t kZoomCentre = 10 << 8;
  // cmdSize: width in units of 8 dots, height in lines.
  static constexpr uint16_t Size(int width, int height) {
    return static_cast<uint16_t>((width / 8) << 8 | height);
  }

  uint16_t control = 0;
  uint16_t drawMode = 0;
  uint16_t colour = 0;
  uint32_t textureAddress = 0;  // bytes, a multiple of 8
  uint16_t size = 0;
  int16_t xy[8] = {};           // A, B, C, D
  uint32_t gouraudAddress = 0;  // bytes, a multiple of 8

  void Write(PluginApi& api, int index) const {
    const uint32_t a = static_cast<uint32_t>(index) * 32;
    const uint16_t words[16] = {control,
                                0,
                                drawMode,
                                colour,
                                static_cast<uint16_t>(textureAddress / 8),
                                size,
                                static_cast<uint16_t>(xy[0]),
                                static_cast<uint16_t>(xy[1]),
                                static_cast<uint16_t>(xy[2]),
                                static_cast<uint16_t>(xy[3]),
                                static_cast<uint16_t>(xy[4]),
                                static_cast<uint16_t>(xy[5]),
                                static_cast<uint16_t>(xy[6]),
                                static_cast<uint16_t>(xy[7]),
                                static_cast<uint16_t>(gouraudAddress / 8),
                                0};
    for (int i = 0; i < 16; ++i) api.WriteWordVDP1VRAM(a + 2 * i, words[i]);
  }
  static void End(PluginApi& api, int index) {
    api.WriteWordVDP1VRAM(static_cast<uint32_t>(index) * 32, 0x8000);
  }
};

}  // namespace vdphost
