// Hand-built VDP1 command tables for tests.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <utility>

namespace vdptest {

// The words of one command, by field; unset fields are 0. The texture and the gouraud
// table are in 8-byte units; the size holds width / 8 in bits 13-8, height in 7-0.
struct Command {
  uint16_t control = 0, link = 0, drawMode = 0, colour = 0, texture = 0, size = 0;
  uint16_t xa = 0, ya = 0, xb = 0, yb = 0, xc = 0, yc = 0, xd = 0, yd = 0, gouraud = 0;
};

constexpr uint16_t kEndOfTable = 0x8000;
constexpr uint16_t kNormalSprite = 0, kScaledSprite = 1, kDistortedSprite = 2, kPolygon = 4,
                   kPolyline = 5, kLine = 6, kLocalCoordinates = 10;
constexpr uint16_t JumpMode(uint16_t mode) { return static_cast<uint16_t>(mode << 12); }
constexpr uint16_t ZoomPoint(uint16_t z) { return static_cast<uint16_t>(z << 8); }
constexpr uint16_t kFlipH = 0x10, kFlipV = 0x20;
constexpr uint16_t ColourMode(uint16_t m) { return static_cast<uint16_t>(m << 3); }
constexpr uint16_t kGouraud = 0x04, kTransparentPixelDisable = 0x40, kMesh = 0x100;
constexpr uint16_t kReplace = 0, kShadow = 1, kHalfLuminance = 2, kHalfTransparency = 3;

constexpr uint16_t Size(uint32_t width, uint32_t height) {
  return static_cast<uint16_t>(((width / 8) << 8) | height);
}
constexpr uint16_t Rgb(uint32_t r, uint32_t g, uint32_t b) {
  return static_cast<uint16_t>((b << 10) | (g << 5) | r);
}

// A part whose vertices A, B, C, D go clockwise round the box from its top-left corner (a
// two-point scaled sprite reads A and C, a line A and B, a normal sprite A), drawing the
// texture at byte address `texture`.
inline Command Part(uint16_t control, uint16_t drawMode, uint16_t l, uint16_t t, uint16_t r,
                    uint16_t b, uint16_t colour = 0, uint32_t texture = 0, uint16_t size = 0) {
  return {control, 0, drawMode, colour, static_cast<uint16_t>(texture / 8), size, l, t, r, t,
          r,       b, l,        b};
}

// Writes a command at `unit` (8-byte units) through a word writer (address, value).
template <typename WriteWord>
void WriteCommand(WriteWord write, uint32_t unit, const Command& c) {
  const uint16_t words[16] = {c.control, c.link, c.drawMode, c.colour, c.texture, c.size,
                              c.xa,      c.ya,   c.xb,       c.yb,     c.xc,      c.yc,
                              c.xd,      c.yd,   c.gouraud,  0};
  for (uint32_t i = 0; i < 16; ++i) write(unit * 8 + 2 * i, words[i]);
}
// Writes the commands from address 0 on, then the end of the table.
template <typename WriteWord>
void WriteTable(WriteWord write, std::initializer_list<Command> commands) {
  uint32_t unit = 0;
  for (const Command& c : commands) WriteCommand(write, std::exchange(unit, unit + 4), c);
  WriteCommand(write, unit, {kEndOfTable});
}

}  // namespace vdptest
