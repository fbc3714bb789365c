// The rotating screens RBG0 and RBG1 in the dot-by-dot renderer: dots worked out by hand
// from the transform, coefficient, screen-over and parameter-mode rules of the digest.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <memory>
#include <vector>

#include "common/rgb555.h"
#include "dots/screen_composer.h"
#include "dots_chips.h"

namespace {

using namespace dotstest;
using vdp::Rgb555ToTexel;

constexpr uint32_t kBlack = 0xFF000000u;
constexpr uint32_t kTableA = 0x70000;  // RPTA 0x38000: A here, B at +0x80

Poke TA(uint32_t offset, uint32_t v) { return L(kTableA + offset, v); }
Poke TB(uint32_t offset, uint32_t v) { return L(kTableA + 0x80 + offset, v); }

uint32_t C(uint32_t index) { return Rgb555ToTexel(index); }
// RBG0's test bitmap (RGB, 512 x 256 at VRAM 0) holds its coordinates at each dot.
uint32_t T(uint32_t x, uint32_t y) { return Rgb555ToTexel(0x8000 | (y & 63) << 9 | (x & 511)); }
// RBG0 in cells: 256 colours, one-word names, map at 0.
const std::vector<Poke> kCells = {R(0x2A, 0x1000), R(0x38, 0x8000)};

struct DotsRotation : DotsChips {
  std::unique_ptr<dots::LineBuffers> lines = std::make_unique<dots::LineBuffers>();

  void SetUp() override {
    Clear();
    for (uint32_t i = 0; i < 512 * 256; ++i) {
      vram2->Word(i * 2) = static_cast<uint16_t>(0x8000 | (i >> 9 & 63) << 9 | (i & 511));
    }
    // Picture on, colour RAM mode 1, RBG0 on at priority 7 as a 32,768-colour bitmap, the
    // back screen black; tables A and B 1:1, B moved 100 dots right.
    Apply({R(0x00, 0x8000), R(0x0E, 0x1000), R(0x20, 0x10), R(0xFC, 7), R(0xAC, 3), R(0x2A, 0x3200),
           R(0xBC, 3), R(0xBE, 0x8000), TB(0x44, 0x00640000)});
    for (uint32_t set = 0; set < 0x100; set += 0x80) {
      for (uint32_t offset : {0x10, 0x14, 0x1C, 0x2C, 0x4C, 0x50}) {
        Apply({L(kTableA + set + offset, 0x10000)});
      }
    }
  }
};

TEST_F(DotsRotation, TransformOfTheScreenCoordinates) {
  // clang-format off
  Check({
      {"1:1 with Xst, Yst = (100, 50)", 10, 20, T(110, 70), {TA(0, 0x00640000), TA(4, 0x00320000)}},
      {"90 degrees by the screen increments", 10, 20, T(348, 106),
        {TA(0, 0x01700000), TA(4, 0x00600000), TA(0xC, 0xFFFF0000), TA(0x10, 0), TA(0x14, 0),
        TA(0x18, 0x10000)}},
      {"90 degrees by the matrix about (160, 112)", 10, 20, T(348, 106),
        {TA(0x1C, 0), TA(0x20, 0xFFFF0000), TA(0x28, 0x10000), TA(0x2C, 0), W(kTableA + 0x3C, 160),
        W(kTableA + 0x3E, 112), TA(0x44, 0x00600000), TA(0x48, 0x00900000)}},
      {"scale 2 by the table's kx, ky", 10, 20, T(20, 40), {TA(0x4C, 0x20000), TA(0x50, 0x20000)}},
      {"RPTA bit 6 is not stored: still table A", 10, 20, T(60, 20),
        {R(0xBE, 0x8040), TA(0, 0x00320000)}},
      {"bits above a field are ignored", 10, 20, T(10, 20), {TA(0x1C, 0xFFF10000)}},
      {"X -0.25 is dot -1, repeated as 511", 0, 0, T(511, 0), {TA(0, 0xFFFFC000)}},
      {"Xst read on line 0 only: dXst added since", 0, 20, T(20, 20), {TA(0xC, 0x10000)}},
      {"RPRCTL written for line 10: re-read there", 0, 20, T(10, 20),
        {TA(0xC, 0x10000), Log(10, 0xB2, 1)}},
  });
  // Coefficients per line (KA = line) at 0x40000, unless per dot (KA = dot).
  Check({
      {"kx and ky", 10, 20, T(30, 60), {R(0xB4, 1), L(0x40050, 0x30000)}},
      {"transparent bit", 10, 20, kBlack, {R(0xB4, 1), L(0x40050, 0x80030000)}},
      {"kx", 10, 20, T(30, 20), {R(0xB4, 5), L(0x40050, 0x30000)}},
      {"ky", 10, 20, T(10, 60), {R(0xB4, 9), L(0x40050, 0x30000)}},
      {"Xp, 8 fraction bits", 10, 20, T(110, 20), {R(0xB4, 0xD), L(0x40050, 0x6400)}},
      {"two words: KTAOS bit 2 unused", 10, 20, T(30, 60),
        {R(0xB4, 1), R(0xB6, 5), L(0x40050, 0x30000)}},
      {"one word, 10 fraction bits", 10, 20, T(30, 60),
        {R(0xB4, 3), R(0xB6, 2), W(0x40028, 0x0C00)}},
      {"per dot from a coefficient bank", 10, 20, T(30, 60),
        {R(0x0E, 0x1001), R(0xB4, 1), TA(0x58, 0), TA(0x5C, 0x10000), L(0x40028, 0x30000)}},
      {"per dot, half an entry a dot: dot 11 reads entry 5 as dot 10 does", 11, 20, T(33, 60),
        {R(0x0E, 0x1001), R(0xB4, 1), TA(0x58, 0), TA(0x5C, 0x8000), L(0x40014, 0x30000)}},
      {"per dot from colour RAM", 10, 20, T(30, 60),
        {R(0x0E, 0x9000), R(0xB4, 1), TA(0x58, 0), TA(0x5C, 0x10000), Cr(0x414, 3), Cr(0x415, 0)}},
      {"colour RAM, one word: KA 0x40A reads entry 0x00A", 10, 20, T(30, 60),
        {R(0x0E, 0x9000), R(0xB4, 3), TA(0x54, 0x04000000), TA(0x58, 0), TA(0x5C, 0x10000),
        Cr(0x40A, 0x0C00)}},
  }, {R(0xB6, 1), TA(0x58, 0x10000)});
  // clang-format on
}

TEST_F(DotsRotation, ScreenOverModesAndCells) {
  // clang-format off
  Check({
      {"00 repeats the area", 0, 0, T(511, 0), {}},
      {"10 transparent", 0, 0, kBlack, {R(0x3A, 0x800)}},
      {"11: a 256-line bitmap twice in 512 x 512", 1, 20, T(0, 44), {R(0x3A, 0xC00), TA(4, 0x1180000)}},
      {"11: transparent beyond", 1, 20, kBlack, {R(0x3A, 0xC00), TA(4, 0x1F40000)}},
      {"01: the over pattern name's character", 0, 0, C(0x33),
        {kCells[0], kCells[1], R(0x3A, 0x400), R(0xB8, 0x100), B(0x2007, 0x33)}},
  }, {TA(0, 0xFFFF0000)});
  const std::vector<Poke> data = {W(0x41A, 0x100), B(0x2036, 0x55)};
  Check({
      {"RBG0 cells at (100, 50)", 10, 20, C(0x55),
        {kCells[0], kCells[1], TA(0, 0x00640000), TA(4, 0x00320000)}},
      {"the same as NBG0 at scroll (100, 50)", 10, 20, C(0x55), {R(0x20, 1), R(0xF8, 7),
        R(0x28, 0x10), R(0x30, 0x8000), R(0x70, 100), R(0x74, 50), R(0x78, 1), R(0x7C, 1)}},
      {"a 2 x 2 character turned both ways: (14, 6) of it is its LL cell's (1, 1)", 10, 20,
        C(0x66), {R(0x2A, 0x1100), kCells[1], TA(0, 0x00640000), TA(4, 0x00320000),
        W(0x10C, 0x0C40), B(0x2089, 0x66)}},
  }, data);
  // clang-format on
}

TEST_F(DotsRotation, ParameterModesAndRbg1) {
  // clang-format off
  Check({
      {"RPMD 1: B", 10, 20, T(110, 20), {R(0xB0, 1)}},
      {"RPMD 2: A's transparent bit shows B", 10, 20, T(110, 20),
        {R(0xB0, 2), R(0xB4, 1), L(0x40050, 0x80010000)}},
      {"RPMD 2: without it, A", 10, 20, T(10, 20), {R(0xB0, 2), R(0xB4, 1), L(0x40050, 0x10000)}},
      {"RPMD 3: B inside W0", 10, 20, T(110, 20), {R(0xB0, 3), R(0xD6, 2), R(0xC4, 40), R(0xC6, 223)}},
      {"RPMD 3: A outside", 30, 20, T(30, 20), {R(0xB0, 3), R(0xD6, 2), R(0xC4, 40), R(0xC6, 223)}},
      {"RBG1: B's map, NBG0's cells and priority; NBG0 not drawn", 10, 20, C(0x44),
        {R(0x20, 0x31), R(0xFC, 0), R(0xF8, 7), R(0x28, 0x10), R(0x30, 0x8000), R(0x60, 8),
        W(0x1011A, 0x100), B(0x2026, 0x44)}},
  }, {R(0xB6, 1), TA(0x58, 0x10000)});
  // clang-format on
}

TEST_F(DotsRotation, CoefficientLineColourGoesToTheLineBuffers) {
  Apply({R(0xB4, 0x11), R(0xB6, 1), TA(0x58, 0x10000), L(0x40050, 0x25010000), R(0xA8, 3),
         R(0xAA, 0x800), W(0x61000, 0x7FF)});
  composer->BeginPeriod(chips);
  composer->ComposePeriod(chips, *log, *fb, *picture);
  composer->ComposeLine(20, chips, *fb, *lines, *picture);
  EXPECT_EQ(lines->lineColour[10], 0x7A5);  // table's bits 10-7, coefficient's 6-0
}

}  // namespace
