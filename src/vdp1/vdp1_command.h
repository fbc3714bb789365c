// A VDP1 command table entry as the chip sees it: 32 bytes at a multiple of 8 in VRAM,
// sixteen big-endian words. The walker and the drawing routines read every field through
// this view, so the layout lives here once.
#pragma once

#include <cstdint>

#include "common/bits.h"
#include "common/console_memory.h"
#include "common/vdp1_codes.h"

namespace vdp1 {

// Byte offsets of the command words.
namespace cmd {
constexpr uint32_t kControl = 0x00;         // CMDCTRL
constexpr uint32_t kLink = 0x02;            // CMDLINK: jump target, 8-byte units
constexpr uint32_t kDrawMode = 0x04;        // CMDPMOD
constexpr uint32_t kColour = 0x06;          // CMDCOLR: bank, table address or RGB
constexpr uint32_t kTextureAddress = 0x08;  // CMDSRCA: 8-byte units
constexpr uint32_t kSize = 0x0A;            // CMDSIZE: width / 8 in 13-8, height in 7-0
constexpr uint32_t kXA = 0x0C;              // vertices A to D, x then y
constexpr uint32_t kGouraudTable = 0x1C;    // CMDGRDA: 8-byte units
constexpr uint32_t kBytes = 32;
constexpr uint32_t kUnits = kBytes / 8;  // distance to the next command in 8-byte units
}  // namespace cmd

using namespace vdp1codes;

// Corner indexes in vertex order.
enum Corner : int { kA = 0, kB = 1, kC = 2, kD = 3 };

// CMDCTRL: bit 15 end of table, bits 14-12 jump mode (bit 14: the command itself is
// skipped), bits 11-8 zoom point, bit 5 vertical flip, bit 4 horizontal flip,
// bits 3-0 command code.
struct ControlWord {
  uint16_t value;
  bool End() const { return vdp::Bit(value, 15) != 0; }
  uint32_t JumpMode() const { return vdp::Bits(value, 14, 12); }
  bool Skipped() const { return vdp::Bit(value, 14) != 0; }
  uint32_t ZoomPoint() const { return vdp::Bits(value, 11, 8); }
  bool FlipV() const { return vdp::Bit(value, 5) != 0; }
  bool FlipH() const { return vdp::Bit(value, 4) != 0; }
  uint32_t Code() const { return vdp::Bits(value, 3, 0); }
};

// CMDPMOD: bit 8 mesh, bit 7 end-code disable, bit 6 transparent-pixel disable,
// bits 5-3 colour mode, bit 2 gouraud, bits 1-0 colour calculation.
struct DrawModeWord {
  uint16_t value;
  bool Mesh() const { return vdp::Bit(value, 8) != 0; }
  uint8_t EndCodeDisable() const { return static_cast<uint8_t>(vdp::Bit(value, 7)); }
  uint8_t TransparentPixelDisable() const { return static_cast<uint8_t>(vdp::Bit(value, 6)); }
  uint32_t ColourMode() const { return vdp::Bits(value, 5, 3); }
  bool Gouraud() const { return vdp::Bit(value, 2) != 0; }
  uint32_t Calculation() const { return vdp::Bits(value, 1, 0); }
};

// Read-only view of one command in VRAM.
class VDP1Command {
 public:
  VDP1Command(const vdp::ConsoleMemory& vram, uint32_t byteAddress)
      : vram_(vram), address_(byteAddress) {}

  uint16_t Word(uint32_t offset) const { return vram_.ReadWord(address_ + offset); }

  ControlWord Control() const { return {Word(cmd::kControl)}; }
  uint16_t Link() const { return Word(cmd::kLink); }
  DrawModeWord DrawMode() const { return {Word(cmd::kDrawMode)}; }
  uint16_t Colour() const { return Word(cmd::kColour); }
  uint32_t TextureByteAddress() const { return uint32_t{Word(cmd::kTextureAddress)} * 8; }
  uint32_t TextureWidth() const { return vdp::Bits(Word(cmd::kSize), 13, 8) * 8; }
  uint32_t TextureHeight() const { return vdp::Bits(Word(cmd::kSize), 7, 0); }
  uint16_t X(int corner) const { return Word(cmd::kXA + 4 * corner); }
  uint16_t Y(int corner) const { return Word(cmd::kXA + 4 * corner + 2); }
  // The four gouraud colour words, one per corner in A, B, C, D order.
  uint16_t GouraudColour(int corner) const {
    return vram_.ReadWord(uint32_t{Word(cmd::kGouraudTable)} * 8 + 2 * corner);
  }

 private:
  const vdp::ConsoleMemory& vram_;
  uint32_t address_;
};

// One 15-bit console colour split into its 5-bit channels (bit 15 ignored).
struct Rgb5 {
  int r, g, b;
  static Rgb5 From(uint32_t c) {
    return {static_cast<int>(vdp::Bits(c, 4, 0)), static_cast<int>(vdp::Bits(c, 9, 5)),
            static_cast<int>(vdp::Bits(c, 14, 10))};
  }
};

// A vertex coordinate as the chip forms it: command word plus local coordinate, then the
// coordinate multiplier, all in 16 bits that wrap, read as signed.
inline int16_t ScreenCoordinate(uint32_t word, int32_t local, uint32_t multiplier) {
  const uint16_t placed = static_cast<uint16_t>(word + static_cast<uint32_t>(local));
  return static_cast<int16_t>(static_cast<uint16_t>(placed * multiplier));
}

}  // namespace vdp1
