// The VDP2 registers of the rotating scroll screens RBG0 and RBG1: byte offsets and the
// layout of each (RBG1 also reads NBG0's CHCTLA, PNCN0, CRAOFA and PRINA fields).
#pragma once

#include <cstdint>

namespace dots {
namespace reg {
// RAMCTL (0x0E) bit 15 CRKTE: coefficient tables in colour RAM's upper half; bits 7-0 RDBS,
// two bits per bank (A0, A1, B0, B1), 01 = the bank holds RBG0's coefficient table.
constexpr unsigned kCrkteBit = 15;
// BGON (0x20): bit 4 R0ON, 5 R1ON; bit 12 R0TPON.
constexpr unsigned kR0onBit = 4, kR1onBit = 5, kR0tponBit = 12;
// CHCTLB (0x2A): RBG0 14-12 colours, 10 bitmap 512 lines, 9 bitmap, 8 2x2 characters.
// BMPNB: RBG0 bitmap 5 PR, 4 CC, 2-0 palette bits 6-4.
constexpr uint32_t BMPNB = 0x2E;
// PNCR: RBG0's pattern-name control, laid out as PNCN0.
constexpr uint32_t PNCR = 0x38;
// PLSZ (0x3A): parameter A plane size 9-8 and screen-over 11-10; B in 13-12 and 15-14.
// MPOFR: map bits 8-6 (a bitmap's 0x20000 unit) of parameter A in 2-0, B in 6-4.
constexpr uint32_t MPOFR = 0x3E;
// MPABRA-MPOPRA: planes A-P of parameter A, two per word (first in 5-0, second in 13-8);
// parameter B's at +0x10.
constexpr uint32_t MPABRA = 0x50;
constexpr uint32_t kParameterBMapStride = 0x10;
// 1-0: 0 parameter A, 1 B, 2 A or B by A's coefficient, 3 by the rotation-parameter window.
constexpr uint32_t RPMD = 0x0B0;
// Re-read the start values at the next table read: A 0 Xst, 1 Yst, 2 KAst; B 8, 9, 10.
constexpr uint32_t RPRCTL = 0x0B2;
// Per parameter set (A in 7-0, B in 15-8): 0 KTE table on, 1 KDBS one-word entries,
// 3-2 KMD (0 kx and ky, 1 kx, 2 ky, 3 Xp), 4 KLCE line colour in the entries.
constexpr uint32_t KTCTL = 0x0B4;
// Coefficient table address bits: A in 2-0, B in 10-8.
constexpr uint32_t KTAOF = 0x0B6;
// Over pattern names of parameters A and B (one-word pattern names).
constexpr uint32_t OVPNRA = 0x0B8;
// The parameter table: RPTAU bits 2-0, RPTAL bits 15-1.
constexpr uint32_t RPTAU = 0x0BC;
// RBG0's priority number in bits 2-0.
constexpr uint32_t PRIR = 0x0FC;
}  // namespace reg
}  // namespace dots
