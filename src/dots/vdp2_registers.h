// The VDP2 registers the dot-by-dot renderer reads: byte offsets, the layout of each
// register (written once, here) and a read-only view of one line's register words.
#pragma once

#include <cstdint>

#include "common/bits.h"

namespace dots {

namespace reg {
// Bit 15 DISP picture on, 8 BDCLMD border shows the back screen, 7-6 LSMD interlace
// (11 double density), 5-4 VRESO lines (224, 240, 256), 2-0 HRESO dots (bit 2: exclusive
// monitor, 480 progressive lines; bits 1-0: 320, 352, 640, 704).
constexpr uint32_t TVMD = 0x00;
// Bits 13-12 CRMD colour RAM mode: 0 = 1,024 RGB555, 1 = 2,048 RGB555, 2 = 1,024 RGB888.
constexpr uint32_t RAMCTL = 0x0E;
// Bits 0-5 N0ON..R1ON screen displayable; bits 8-12 N0TPON..R0TPON code 0 is not
// transparent.
constexpr uint32_t BGON = 0x20;
// Bits 15-12 vertical and 11-8 horizontal mosaic size minus one; bit n (0-3) NBGn on.
constexpr uint32_t MZCTL = 0x22;
// Bit n: NBGn compares dot codes with special function code B (1) or A (0).
constexpr uint32_t SFSEL = 0x24;
// Code A bits 7-0, code B bits 15-8; bit k selects dot codes whose low 4 bits are 2k, 2k+1.
constexpr uint32_t SFCODE = 0x26;
// NBG0: 6-4 colours, 3-2 bitmap size, 1 bitmap, 0 2x2 characters; NBG1 the same in 13-8
// (two colour bits). Colours: 0 = 16, 1 = 256, 2 = 2,048, 3 = 32,768 RGB, 4 = 16.7M RGB.
constexpr uint32_t CHCTLA = 0x28;
// NBG2: 1 256 colours, 0 2x2 characters; NBG3 the same in bits 5-4.
constexpr uint32_t CHCTLB = 0x2A;
// Bitmap palette: NBG0 5 PR, 4 CC, 2-0 palette bits 6-4; NBG1 the same in bits 13-8.
constexpr uint32_t BMPNA = 0x2C;
// PNCN0-3 one word apart: 15 one-word names, 14 12-bit character numbers (no flips),
// 9 PR, 8 CC, 7-5 palette bits 6-4, 4-0 character number bits 14-10.
constexpr uint32_t PNCN0 = 0x30;
// Two bits per NBG (NBG0 in 1-0): bit 0 two pages wide, bit 1 two pages tall.
constexpr uint32_t PLSZ = 0x3A;
// Three bits per NBG, four apart (NBG0 in 2-0): map bits 8-6; a bitmap's 0x20000 unit.
constexpr uint32_t MPOFN = 0x3C;
// MPABNn at 0x40 + 4n: plane A bits 5-0, B bits 13-8; MPCDNn at 0x42 + 4n: C, D.
constexpr uint32_t MPABN0 = 0x40;
// NBG0 scroll and increments, NBG1 the same at +0x10: integer word (scroll 10-0,
// increment 2-0) then fraction word (bits 15-8), in the order SCX, SCY, ZMX, ZMY.
constexpr uint32_t SCXIN0 = 0x70;
constexpr uint32_t kNbg1Stride = 0x10;
// Integer scroll of NBG2 (X, Y) and NBG3 at +4: bits 10-0.
constexpr uint32_t SCXN2 = 0x90;
// Bit 0 (NBG0) / 8 (NBG1): reduction to 1/2 allowed; bit 1 / 9: to 1/4.
constexpr uint32_t ZMCTL = 0x98;
// NBG0 in 5-0, NBG1 in 13-8: 5-4 line-scroll interval (1 << n lines), 3 line zoom,
// 2 line scroll Y, 1 line scroll X, 0 vertical cell scroll.
constexpr uint32_t SCRCTL = 0x9A;
// Table addresses: upper word bits 2-0, lower word (bit 0 unused); byte address = value x 2.
constexpr uint32_t VCSTAU = 0x9C;
constexpr uint32_t LSTA0U = 0xA0;  // NBG1's at 0xA4
constexpr uint32_t LCTAU = 0xA8;   // bit 15 LCCLMD one colour per line
constexpr uint32_t BKTAU = 0xAC;   // bit 15 BKCLMD one colour per line
// 13-12 SPCCCS, 10-8 SPCCN, 5 SPCLMD palette and RGB mixed, 4 SPWINEN, 3-0 sprite type.
constexpr uint32_t SPCTL = 0xE0;
// Colour RAM offsets (added to colour address bits 10-8): NBGn in bits 4n+2..4n.
constexpr uint32_t CRAOFA = 0xE4;
constexpr uint32_t CRAOFB = 0xE6;  // sprite offset in bits 6-4
// Special priority mode, two bits per NBG (NBG0 in 1-0): 0 register LSB, 1 PR bit,
// 2 PR bit and special function code match.
constexpr uint32_t SFPRMD = 0xEA;
// PRISA-PRISD: sprite priority of PR value 2k in bits 2-0, of 2k+1 in bits 10-8.
constexpr uint32_t PRISA = 0xF0;
// PRINA: NBG0 bits 2-0, NBG1 10-8; PRINB: NBG2, NBG3 likewise.
constexpr uint32_t PRINA = 0xF8;

// Composition: windows, colour calculation, shadow, colour offsets.
// W0 rectangle: WPSX0, WPSY0, WPEX0, WPEY0 (X 10 bits, Y 10 bits); W1 the same at +8.
constexpr uint32_t WPSX0 = 0xC0;
// WCTLA-WCTLD: one window-control byte per screen, low byte first (NBG0, NBG1, NBG2, NBG3,
// RBG0, sprite, rotation parameters, colour calculation): bit 7 LOG (1 AND, 0 OR), 5 SWE,
// 4 SWA, 3 W1E, 2 W1A, 1 W0E, 0 W0A (area bit 1: outside the window is the area).
constexpr uint32_t WCTLA = 0xD0;
// Line window tables of W0 (W1 at +4): bit 15 of the upper word enables it, bits 2-0 and
// the lower word's bits 15-1 give the address; per line a start X and an end X word.
constexpr uint32_t LWTA0U = 0xD8;
// Bits 0-5 shadow on NBG0-NBG3, RBG0, back screen; bit 8 TPSDSL transparent shadow on.
constexpr uint32_t SDCTL = 0xE2;
// Line colour inserted under NBG0-NBG3, RBG0 (bits 0-4) and sprites (bit 5).
constexpr uint32_t LNCLEN = 0xE8;
// 15 BOKEN blur, 10 EXCCEN extended, 9 CCRTMD ratio of the second image, 8 CCMD add,
// 6 sprites, 5 line colour, 4-0 RBG0, NBG3-NBG0: colour calculation on.
constexpr uint32_t CCCTL = 0xEC;
// Special colour calculation mode, two bits per screen as in SFPRMD.
constexpr uint32_t SFCCMD = 0xEE;
// CCRSA-CCRSD: sprite ratio of CC value 2k in bits 4-0, of 2k+1 in bits 12-8.
constexpr uint32_t CCRSA = 0x100;
// CCRNA: NBG0 4-0, NBG1 12-8; CCRNB: NBG2, NBG3; CCRR: RBG0 4-0.
constexpr uint32_t CCRNA = 0x108;
// Line colour ratio in bits 4-0, back screen ratio in bits 12-8.
constexpr uint32_t CCRLB = 0x10E;
// Colour offset on (CLOFEN) and B rather than A (CLOFSL): NBG0-NBG3, RBG0 bits 0-4, back
// screen bit 5, sprites bit 6.
constexpr uint32_t CLOFEN = 0x110;
constexpr uint32_t CLOFSL = 0x112;
// Offset A red, green, blue (COBR-COBB at +6): 9-bit two's complement in bits 8-0.
constexpr uint32_t COAR = 0x114;
}  // namespace reg

// One line's VDP2 register words, addressed by byte offset as the hardware names them.
class RegisterView {
 public:
  explicit RegisterView(const uint16_t* words) : words_(words) {}
  // The words seen: lines that share them share every register.
  const uint16_t* Words() const { return words_; }
  uint16_t operator[](uint32_t offset) const { return words_[(offset >> 1) & 0xFF]; }
  uint32_t Field(uint32_t offset, unsigned hi, unsigned lo) const {
    return vdp::Bits((*this)[offset], hi, lo);
  }
  // A 19-bit table address in an upper/lower register pair, as a VRAM byte address; the
  // line-scroll and cell-scroll tables have no bit 0 (lowMask 0xFFFE).
  uint32_t TableAddress(uint32_t upper, uint32_t lowMask = 0xFFFF) const {
    return ((Field(upper, 2, 0) << 16) | ((*this)[upper + 2] & lowMask)) << 1;
  }

 private:
  const uint16_t* words_;
};

}  // namespace dots
