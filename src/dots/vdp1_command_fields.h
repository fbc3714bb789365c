// The words of one VDP1 command table (32 bytes in VDP1 VRAM) and their fields, read in
// console byte order with every address wrapped into VRAM.
#pragma once

#include <cstdint>

#include "common/bits.h"
#include "common/console_memory.h"
#include "common/vdp1_codes.h"

namespace dots {

using namespace vdp1codes;

constexpr bool DrawsPart(uint32_t kind) { return kind <= kLine && kind != 3; }

struct Point {
  int32_t x, y;
};

// A vertex coordinate word. The manual's range is -1024..1023 with the sign repeated
// above; the chip's adders are taken as 13 bits wide, so a word a little past the range
// still points off the screen instead of wrapping onto it.
constexpr int32_t kCoordinateBits = 13;

class CommandFields {
 public:
  CommandFields(const vdp::ConsoleMemory& vram, uint32_t address) : vram_(vram), at_(address) {}

  uint16_t Word(uint32_t offset) const { return vram_.ReadWord(at_ + offset); }

  // CMDCTRL: b15 end, b14-12 jump, b11-8 zoom point, b5 vertical flip, b4 horizontal flip,
  // b3-0 kind.
  bool End() const { return vdp::Bit(Word(0x00), 15) != 0; }
  uint32_t Jump() const { return vdp::Bits(Word(0x00), 14, 12); }
  uint32_t ZoomPoint() const { return vdp::Bits(Word(0x00), 11, 8); }
  bool FlipV() const { return vdp::Bit(Word(0x00), 5) != 0; }
  bool FlipH() const { return vdp::Bit(Word(0x00), 4) != 0; }
  uint32_t Kind() const { return vdp::Bits(Word(0x00), 3, 0); }
  // CMDLINK: next table / 8; tables lie on 32-byte boundaries, so bits 1-0 are dropped.
  uint32_t LinkAddress() const { return (Word(0x02) & 0xFFFCu) * 8u; }
  // CMDPMOD.
  uint16_t DrawMode() const { return Word(0x04); }
  // CMDCOLR: bank code, look-up table address / 8, or the colour of an untextured part.
  uint16_t Colour() const { return Word(0x06); }
  // CMDSRCA and CMDSIZE (b13-8 width / 8, b7-0 height).
  uint32_t TextureAddress() const { return uint32_t{Word(0x08)} * 8u; }
  int32_t TextureWidth() const { return static_cast<int32_t>(vdp::Bits(Word(0x0A), 13, 8) * 8); }
  int32_t TextureHeight() const { return static_cast<int32_t>(vdp::Bits(Word(0x0A), 7, 0)); }
  // Vertices A-D (0-3), signed.
  Point Vertex(int i) const {
    return {vdp::SignExtend(Word(0x0C + 4 * i), kCoordinateBits),
            vdp::SignExtend(Word(0x0E + 4 * i), kCoordinateBits)};
  }
  // Clip commands keep X in bits 9-0 and Y in bits 8-0.
  Point ClipCorner(int i) const {
    return {static_cast<int32_t>(vdp::Bits(Word(0x0C + 4 * i), 9, 0)),
            static_cast<int32_t>(vdp::Bits(Word(0x0E + 4 * i), 8, 0))};
  }
  // CMDGRDA: gouraud table / 8; the table's word for corner i (A-D).
  uint16_t GouraudCorner(int i) const {
    return vram_.ReadWord(uint32_t{Word(0x1C)} * 8u + 2u * static_cast<uint32_t>(i));
  }

 private:
  const vdp::ConsoleMemory& vram_;
  uint32_t at_;
};

// CMDPMOD: b15 MON, b12 HSS, b11 pre-clipping off, b10 user clip on, b9 draw outside the user
// clip, b8 mesh, b7 ECD (end codes off), b6 SPD (transparent dots drawn), b5-3 colour mode,
// b2-0 colour calculation.
struct DrawMode {
  uint16_t value;
  bool MsbOn() const { return vdp::Bit(value, 15) != 0; }
  bool HighSpeedShrink() const { return vdp::Bit(value, 12) != 0; }
  bool PreClipping() const { return vdp::Bit(value, 11) == 0; }
  bool UserClip() const { return vdp::Bit(value, 10) != 0; }
  bool DrawOutsideUserClip() const { return vdp::Bit(value, 9) != 0; }
  bool Mesh() const { return vdp::Bit(value, 8) != 0; }
  bool EndCodesOff() const { return vdp::Bit(value, 7) != 0; }
  bool TransparentDrawn() const { return vdp::Bit(value, 6) != 0; }
  uint32_t Colours() const { return vdp::Bits(value, 5, 3); }
  bool Gouraud() const { return vdp::Bit(value, 2) != 0; }
  uint32_t Calc() const { return vdp::Bits(value, 1, 0); }
};

}  // namespace dots
