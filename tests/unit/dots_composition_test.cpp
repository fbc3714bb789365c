// The dot-by-dot renderer's composition: windows, colour calculation, shadow and colour
// offsets on hand-made layer dots, each expected dot worked out by hand from the digest.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "dots/line_composer.h"

namespace {

using namespace dots;

constexpr uint32_t T(uint32_t r, uint32_t g, uint32_t b) {
  return 0xFF000000u | b << 16 | g << 8 | r;
}
constexpr uint32_t kBlack = T(0, 0, 0), kRed = T(0xF8, 0, 0), kGreen = T(0, 0x80, 0);

// A register write, or (vram) a VDP2 VRAM word.
struct Poke {
  bool vram;
  uint32_t where, value;
};
Poke R(uint32_t offset, uint32_t v) { return {false, offset, v}; }
Poke V(uint32_t address, uint32_t v) { return {true, address, v}; }
// A layer's dot, the same all along the line.
struct Dot {
  int layer;
  uint32_t texel;
  uint8_t priority, flags;
  uint16_t code;
};
struct Case {
  const char* what;
  std::vector<Poke> pokes;
  std::vector<Dot> dots;
  int x, y;
  uint32_t texel;
};

struct DotsComposition : ::testing::Test {
  std::unique_ptr<vdp::ConsoleMemory> vram = std::make_unique<vdp::ConsoleMemory>();
  std::unique_ptr<LineBuffers> buffers = std::make_unique<LineBuffers>();
  uint16_t cram[2048] = {};
  uint32_t out[Picture::kMaxWidth] = {};

  void Check(const std::vector<Case>& cases, const std::vector<Poke>& common = {}) {
    for (const Case& c : cases) {
      // Picture on, 320 x 224, colour RAM mode 1; tables at VRAM 0 (black back screen, line
      // colour from colour RAM 0, which is red).
      uint16_t regs[256] = {0x8000};
      regs[0x0E / 2] = 0x1000;
      vram->Clear();
      cram[0] = 0x1F;
      *buffers = LineBuffers{};
      for (const std::vector<Poke>* list : {&common, &c.pokes}) {
        for (const Poke& p : *list) {
          if (p.vram) vram->Word(p.where) = static_cast<uint16_t>(p.value);
          if (!p.vram) regs[p.where / 2] = static_cast<uint16_t>(p.value);
        }
      }
      for (const Dot& d : c.dots) {
        for (LayerDot& l : buffers->layers[d.layer]) l = {d.texel, d.priority, d.flags, d.code};
      }
      const RegisterView view(regs);
      const DisplayMode mode = DisplayMode::FromTvmd(regs[0]);
      LineRules rules;
      BuildLineRules(c.y, mode, view, ColourRam(cram, view.Field(0x0E, 13, 12)), *vram, rules);
      ComposeLayers(rules, *buffers, mode.width, out);
      EXPECT_EQ(out[c.x], c.texel) << c.what;
    }
  }
};

// Top: sprite RGB blue at priority 7 (SPCCCS 3: RGB dots always calculate); second: NBG0
// RGB red at 5.
const std::vector<Dot> kBlueOverRed = {{kSprite, T(0, 0, 0xF8), 7, kDotRgb, 0},
                                       {kNbg0, kRed, 5, kDotRgb, 0}};
// NBG0 (0x80, 0, 0) at 6 over NBG1 green at 5 over NBG2 (0x40, 0x40, 0x40) at 4.
const std::vector<Dot> kThree = {{kNbg0, T(0x80, 0, 0), 6, 0, 0},
                                 {kNbg1, kGreen, 5, 0, 0},
                                 {kNbg2, T(0x40, 0x40, 0x40), 4, 0, 0}};

TEST_F(DotsComposition, RatioAddAndWhichRatio) {
  // clang-format off
  Check({
      {"ratio 0x10: top 15/32, second 17/32, truncated", {R(0x100, 0x10)}, kBlueOverRed, 0, 0,
        T(0x83, 0, 0x74)},
      {"ratio 0x1F: the second only", {R(0x100, 0x1F)}, kBlueOverRed, 0, 0, kRed},
      {"ratio 0: 31/32 of the top", {}, kBlueOverRed, 0, 0, T(0x07, 0, 0xF0)},
      {"sprite CC 5 selects CCRSC bits 12-8", {R(0x104, 0x1F00)},
        {{kSprite, T(0, 0, 0xF8), 7, kDotRgb, 5}, {kNbg0, kRed, 5, kDotRgb, 0}}, 0, 0, kRed},
      {"SPCCEN off", {R(0xEC, 0), R(0x100, 0x1F)}, kBlueOverRed, 0, 0, T(0, 0, 0xF8)},
      {"add mode saturates", {R(0xEC, 0x101)},
        {{kNbg0, T(0xC0, 0x40, 0), 6, 0, 0}, {kNbg1, T(0x80, 0x20, 0xF8), 5, 0, 0}}, 0, 0,
        T(0xFF, 0x60, 0xF8)},
      {"the top's ratio: NBG0's 0", {R(0xEC, 1), R(0x108, 0x1F00)}, kThree, 0, 0, T(0x7C, 4, 0)},
      {"CCRTMD: the second's ratio, NBG1's 0x1F", {R(0xEC, 0x201), R(0x108, 0x1F00)}, kThree, 0,
        0, kGreen},
      {"CCRTMD with the back screen second: BKCCRT", {R(0xEC, 0x201), R(0x10E, 0x1F00)},
        {{kNbg0, kRed, 6, 0, 0}}, 0, 0, kBlack},
  }, {R(0xEC, 0x40), R(0xE0, 0x3000)});
  // clang-format on
}

TEST_F(DotsComposition, WhenTheTopIsCalculated) {
  auto top = [](uint8_t priority, uint8_t flags) {
    return std::vector<Dot>{{kSprite, kRed, priority, flags, 0}, {kNbg0, kGreen, 1, 0, 0}};
  };
  auto nbg = [](uint8_t flags) {
    return std::vector<Dot>{{kNbg0, kRed, 6, flags, 0}, {kNbg1, kGreen, 5, 0, 0}};
  };
  // Ratio 0x1F everywhere: a calculated dot shows the second image, green.
  // clang-format off
  Check({
      {"SPCCCS 0, SPCCN 3: priority 3", {R(0xE0, 0x0300)}, top(3, 0), 0, 0, kGreen},
      {"... priority 4", {R(0xE0, 0x0300)}, top(4, 0), 0, 0, kRed},
      {"SPCCCS 1: priority = 3 only", {R(0xE0, 0x1300)}, top(2, 0), 0, 0, kRed},
      {"SPCCCS 2: priority 4 >= 3", {R(0xE0, 0x2300)}, top(4, 0), 0, 0, kGreen},
      {"SPCCCS 3: colour RAM MSB", {R(0xE0, 0x3000)}, top(7, kDotCramMsb), 0, 0, kGreen},
      {"... clear", {R(0xE0, 0x3000)}, top(7, 0), 0, 0, kRed},
      {"SFCCMD 1: the character's CC bit", {R(0xEE, 1)}, nbg(kDotCc), 0, 0, kGreen},
      {"... clear", {R(0xEE, 1)}, nbg(kDotSpecial), 0, 0, kRed},
      {"SFCCMD 2: CC bit and code match", {R(0xEE, 2)}, nbg(kDotCc | kDotSpecial), 0, 0, kGreen},
      {"... CC bit alone", {R(0xEE, 2)}, nbg(kDotCc), 0, 0, kRed},
      {"SFCCMD 3: RGB data always", {R(0xEE, 3)}, nbg(kDotRgb), 0, 0, kGreen},
      {"... palette without the MSB", {R(0xEE, 3)}, nbg(kDotCc), 0, 0, kRed},
      {"the CC window (W0, x 40-79): unblended inside", {R(0xD6, 0x200)}, nbg(0), 40, 5, kRed},
      {"... blended outside", {R(0xD6, 0x200)}, nbg(0), 80, 5, kGreen},
      {"a window hides NBG0: NBG1 on top, blended with the back screen", {R(0xD0, 2)},
       nbg(0), 79, 5, kBlack},
  }, {R(0xEC, 0x43), R(0x100, 0x1F), R(0x108, 0x1F1F), R(0xC0, 0x50), R(0xC4, 0x9F),
      R(0xC6, 0x1FF)});
  // clang-format on
}

TEST_F(DotsComposition, ExtendedCalculationAndLineColour) {
  const uint32_t mixed = T(0x20, 0x60, 0x20);  // green and NBG2 1:1
  const Dot rgbGreen{kNbg1, kGreen, 5, kDotRgb, 0};
  // NBG0's ratio 0x1F: the output is the (mixed) second image.
  // clang-format off
  Check({
      {"extended off", {R(0xEC, 0x3)}, kThree, 0, 0, kGreen},
      {"extended, NBG1 CC on: NBG1 and NBG2 1:1", {R(0xEC, 0x403)}, kThree, 0, 0, mixed},
      {"... NBG1 CC off: NBG1 alone", {R(0xEC, 0x401)}, kThree, 0, 0, kGreen},
      {"... hi-res: no extended calculation", {R(0, 0x8002), R(0xEC, 0x403)}, kThree, 0, 0,
        kGreen},
      {"colour RAM mode 1, palette second: alone", {R(0x0E, 0x1000), R(0xEC, 0x403)}, kThree, 0,
        0, kGreen},
      {"... RGB second: mixed", {R(0x0E, 0x1000), R(0xEC, 0x403)}, {kThree[0], rgbGreen, kThree[2]},
        0, 0, mixed},
      {"line colour inserted under NBG0", {R(0xEC, 0x1), R(0xE8, 1)}, kThree, 0, 0, kRed},
      {"... extended, LCCCEN, NBG1 off: line colour and NBG1 1:1", {R(0xEC, 0x421), R(0xE8, 1)},
        kThree, 0, 0, T(0x7C, 0x40, 0)},
      {"... NBG1 on: line colour, NBG1, NBG2 2:1:1", {R(0xEC, 0x423), R(0xE8, 1)}, kThree, 0, 0,
        T(0x8C, 0x30, 0x10)},
  }, {R(0x0E, 0), R(0x108, 0x1F)});
  // clang-format on
}

TEST_F(DotsComposition, OffsetsAndShadow) {
  const std::vector<Dot> nbg0 = {{kNbg0, T(0x80, 0x40, 0x21), 5, 0, 0}};
  const Dot shadow{kSprite, 0, 6, kDotShadeBelow, 0};
  // clang-format off
  Check({
      {"offset A clamps both ways", {R(0x110, 1), R(0x114, 0x1F0), R(0x116, 0xFF), R(0x118, 0x20)},
        {{kNbg0, T(0x10, 0x80, 0xF0), 5, 0, 0}}, 0, 0, T(0, 0xFF, 0xFF)},
      {"offset B", {R(0x110, 1), R(0x112, 1), R(0x11A, 0x10)}, nbg0, 0, 0, T(0x90, 0x40, 0x21)},
      {"the top's offset: NBG1 blended over NBG0 takes none",
        {R(0x110, 1), R(0x114, 0x40), R(0xEC, 2), R(0x108, 0x0F00)},
        {nbg0[0], {kNbg1, T(0, 0, 0x40), 6, 0, 0}}, 0, 0, T(0x40, 0x20, 0x30)},
      {"back screen offset", {R(0x110, 0x20), R(0x118, 0x30)}, {}, 0, 0, T(0, 0, 0x30)},
      {"shadow on top halves NBG0", {R(0xE2, 1)}, {shadow, nbg0[0]}, 0, 0, T(0x40, 0x20, 0x10)},
      {"... without N0SDEN: unchanged", {}, {shadow, nbg0[0]}, 0, 0, T(0x80, 0x40, 0x21)},
      {"... below NBG0: unchanged", {R(0xE2, 1)}, {{kSprite, 0, 4, kDotShadeBelow, 0}, nbg0[0]},
        0, 0, T(0x80, 0x40, 0x21)},
      {"... after the offset", {R(0xE2, 1), R(0x110, 1), R(0x114, 0x40)}, {shadow, nbg0[0]}, 0, 0,
        T(0x60, 0x20, 0x10)},
      {"... after colour calculation", {R(0xE2, 1), R(0xEC, 1), R(0x108, 0xF)},
        {shadow, nbg0[0], {kNbg1, T(0, 0, 0x41), 1, 0, 0}}, 0, 0, T(0x20, 0x10, 0x18)},
      {"... of the back screen", {R(0xE2, 0x20), R(0x110, 0x20), R(0x114, 0x81)}, {shadow}, 0, 0,
        T(0x40, 0, 0)},
  });
  // clang-format on
}

TEST_F(DotsComposition, WindowsHideTheirScreens) {
  const std::vector<Dot> red = {{kNbg0, kRed, 5, 0, 0}};
  const std::vector<Dot> inSprite = {{kNbg0, kRed, 5, 0, 0}, {kSprite, 0, 0, kDotSpriteWindow, 0}};
  // W0: x 40-79 (half dots 0x50-0x9F), lines 10-20; W1: x 50-149.
  // clang-format off
  Check({
      {"W0 corner", {R(0xD0, 2)}, red, 40, 10, kBlack},
      {"... opposite corner", {R(0xD0, 2)}, red, 79, 20, kBlack},
      {"... right of it", {R(0xD0, 2)}, red, 80, 20, kRed},
      {"... below it", {R(0xD0, 2)}, red, 40, 21, kRed},
      {"start after end: nowhere", {R(0xD0, 2), R(0xC0, 0xA0)}, red, 79, 10, kRed},
      {"... outside area: everywhere", {R(0xD0, 3), R(0xC0, 0xA0)}, red, 79, 10, kBlack},
      {"OR of W0 and W1", {R(0xD0, 0x0A)}, red, 149, 15, kBlack},
      {"AND of W0 and W1: x 50-79", {R(0xD0, 0x8A)}, red, 49, 15, kRed},
      {"... inside both", {R(0xD0, 0x8A)}, red, 50, 15, kBlack},
      {"AND with none enabled: the whole line", {R(0xD0, 0x80)}, red, 0, 0, kBlack},
      {"sprite window", {R(0xD0, 0x20)}, inSprite, 0, 0, kBlack},
      {"... its outside", {R(0xD0, 0x30)}, inSprite, 0, 0, kRed},
      {"the sprite's own window", {R(0xD4, 0x200)},
        {{kSprite, T(0, 0, 0xF8), 7, 0, 0}, red[0]}, 40, 10, kRed},
      {"hi-res: dot units", {R(0, 0x8002), R(0xD0, 2), R(0xC4, 0x50)}, red, 80, 10, kBlack},
      {"line window of W0: this line's pair", {R(0xD0, 2), R(0xD8, 0x8000), V(40, 4), V(42, 6)},
        red, 3, 10, kBlack},
  }, {R(0xC0, 0x50), R(0xC2, 10), R(0xC4, 0x9F), R(0xC6, 20), R(0xC8, 100), R(0xCA, 10),
      R(0xCC, 299), R(0xCE, 20)});
  // clang-format on
}

}  // namespace
