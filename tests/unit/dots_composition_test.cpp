// The dot-by-dot renderer's composition: windows, colour calculation, shadow and colour
// offsets on hand-made layer dots, each expected dot worked out by hand from the digest.
#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

#include "dots/line_composer.h"

namespace {

using namespace dots;

constexpr uint32_t T(uint32_t r, uint32_t g, uint32_t b) {
  return 0xFF000000u | b << 16 | g << 8 | r;
}
constexpr uint32_t kBlack = T(0, 0, 0), kRed = T(0xF8, 0, 0), kGreen = T(0, 0x80, 0);

using Regs = std::vector<std::pair<uint32_t, uint32_t>>;  // byte offset, value
struct Dot {  // a layer's dot, the same all along the line
  int layer;
  uint32_t texel;
  uint8_t priority, flags, code;
};
struct Case {
  const char* what;
  Regs regs;
  std::vector<Dot> dots;
  int x, y;
  uint32_t texel;
};

struct DotsComposition : ::testing::Test {
  std::unique_ptr<vdp::ConsoleMemory> vram = std::make_unique<vdp::ConsoleMemory>();
  std::unique_ptr<LineBuffers> buffers = std::make_unique<LineBuffers>();
  uint16_t cram[2048] = {0x1F};  // the line colour screen (table at VRAM 0): red
  uint32_t out[Picture::kMaxWidth] = {};

  // Picture on, 320 x 224; the back screen black; line 10's W0 line-window pair: x 4-6.
  void Check(const std::vector<Case>& cases, const Regs& common) {
    vram->Word(40) = 8;  // half dots
    vram->Word(42) = 13;
    for (const Case& c : cases) {
      uint16_t regs[256] = {0x8000};
      for (const Regs* list : {&common, &c.regs}) {
        for (const auto& [offset, value] : *list) regs[offset / 2] = static_cast<uint16_t>(value);
      }
      *buffers = LineBuffers{};
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

// Sprite RGB blue at 7 (SPCCCS 3: RGB dots always calculate) over NBG0 RGB red at 5.
const std::vector<Dot> kBlueOverRed = {{kSprite, T(0, 0, 0xF8), 7, kDotRgb, 0},
                                       {kNbg0, kRed, 5, kDotRgb, 0}};
// NBG0 (0x80, 0, 0) at 6 over NBG1 green at 5 over NBG2 (0x40, 0x40, 0x40) at 4.
const std::vector<Dot> kThree = {
    {kNbg0, T(0x80, 0, 0), 6, 0, 0}, {kNbg1, kGreen, 5, 0, 0}, {kNbg2, T(64, 64, 64), 4, 0, 0}};

TEST_F(DotsComposition, RatiosAddAndExtendedCalculation) {
  const uint32_t mixed = T(0x20, 0x60, 0x20);  // green and NBG2 1:1
  const std::vector<Dot> rgbSecond = {kThree[0], {kNbg1, kGreen, 5, kDotRgb, 0}, kThree[2]};
  // Extended cases: colour RAM mode 0, NBG0's ratio 0x1F: the output is the (mixed) second.
  // clang-format off
  Check({
      {"ratio 0x10: top 15/32, second 17/32", {{0x100, 0x10}}, kBlueOverRed, 0, 0,
        T(0x83, 0, 0x74)},
      {"ratio 0x1F: the second only", {{0x100, 0x1F}}, kBlueOverRed, 0, 0, kRed},
      {"sprite CC 5: CCRSC bits 12-8", {{0x104, 0x1F00}}, {{kSprite, 0, 7, kDotRgb, 5},
        kBlueOverRed[1]}, 0, 0, kRed},
      {"add mode saturates", {{0xEC, 0x101}}, {{kNbg0, T(0xC0, 0x40, 0), 6, 0, 0},
        {kNbg1, T(0x80, 0x20, 0xF8), 5, 0, 0}}, 0, 0, T(0xFF, 0x60, 0xF8)},
      {"the top's ratio: NBG0's 0", {{0xEC, 1}, {0x108, 0x1F00}}, kThree, 0, 0, T(0x7C, 4, 0)},
      {"CCRTMD: the second's, NBG1's 0x1F", {{0xEC, 0x201}, {0x108, 0x1F00}}, kThree, 0, 0, kGreen},
      {"CCRTMD, back screen second: BKCCRT", {{0xEC, 0x201}, {0x10E, 0x1F00}}, {kThree[0]}, 0, 0,
        kBlack},
      {"extended, NBG1 CC on: NBG1 and NBG2 1:1", {{0xEC, 0x403}}, kThree, 0, 0, mixed},
      {"... NBG1 CC off: NBG1 alone", {{0xEC, 0x401}}, kThree, 0, 0, kGreen},
      {"... hi-res: not extended", {{0, 0x8002}, {0xEC, 0x403}}, kThree, 0, 0, kGreen},
      {"colour RAM mode 1, palette second: alone", {{0x0E, 0x1000}, {0xEC, 0x403}}, kThree, 0, 0,
        kGreen},
      {"... RGB second: mixed", {{0x0E, 0x1000}, {0xEC, 0x403}}, rgbSecond, 0, 0, mixed},
      {"line colour under NBG0", {{0xEC, 1}, {0xE8, 1}}, kThree, 0, 0, kRed},
      {"... extended, LCCCEN: with NBG1 1:1", {{0xEC, 0x421}, {0xE8, 1}}, kThree, 0, 0,
        T(0x7C, 0x40, 0)},
      {"... NBG1 on: line colour, NBG1, NBG2 2:1:1", {{0xEC, 0x423}, {0xE8, 1}}, kThree, 0, 0,
        T(0x8C, 0x30, 0x10)},
  }, {{0xEC, 0x40}, {0xE0, 0x3000}, {0x108, 0x1F}});
  // clang-format on
}

TEST_F(DotsComposition, WhenTheTopIsCalculated) {
  const auto sprite = [](uint8_t p, uint8_t flags) {
    return std::vector<Dot>{{kSprite, kRed, p, flags, 0}, {kNbg0, kGreen, 1, 0, 0}};
  };
  const auto nbg0 = [](uint8_t flags) {
    return std::vector<Dot>{{kNbg0, kRed, 6, flags, 0}, {kNbg1, kGreen, 5, 0, 0}};
  };
  // Every ratio 0x1F: a calculated dot shows the second image, green. W0: x 40-79.
  // clang-format off
  Check({
      {"SPCCCS 0, SPCCN 3: priority 3", {{0xE0, 0x0300}}, sprite(3, 0), 0, 0, kGreen},
      {"... priority 4", {{0xE0, 0x0300}}, sprite(4, 0), 0, 0, kRed},
      {"SPCCCS 1: = 3 only", {{0xE0, 0x1300}}, sprite(2, 0), 0, 0, kRed},
      {"SPCCCS 2: 4 >= 3", {{0xE0, 0x2300}}, sprite(4, 0), 0, 0, kGreen},
      {"SPCCCS 3: colour RAM MSB", {{0xE0, 0x3000}}, sprite(7, kDotCramMsb), 0, 0, kGreen},
      {"SFCCMD 1: the character's CC bit", {{0xEE, 1}}, nbg0(kDotCc), 0, 0, kGreen},
      {"SFCCMD 2: CC bit and code match", {{0xEE, 2}}, nbg0(kDotCc | kDotSpecial), 0, 0, kGreen},
      {"... CC bit alone", {{0xEE, 2}}, nbg0(kDotCc), 0, 0, kRed},
      {"SFCCMD 3: palette without the MSB", {{0xEE, 3}}, nbg0(kDotCc), 0, 0, kRed},
      {"the CC window: unblended inside", {{0xD6, 0x200}}, nbg0(0), 40, 5, kRed},
      {"... blended outside", {{0xD6, 0x200}}, nbg0(0), 80, 5, kGreen},
      {"NBG0's window: NBG1 on top, blended with the back screen", {{0xD0, 2}}, nbg0(0), 79, 5,
        kBlack},
  }, {{0xEC, 0x43}, {0x100, 0x1F}, {0x108, 0x1F1F}, {0xC0, 0x50}, {0xC4, 0x9F}, {0xC6, 0x1FF}});
  // clang-format on
}

TEST_F(DotsComposition, OffsetsShadowAndWindows) {
  const Dot nbg0{kNbg0, T(0x80, 0x40, 0x21), 5, 0, 0}, shadow{kSprite, 0, 6, kDotShadeBelow, 0};
  const std::vector<Dot> red = {{kNbg0, kRed, 5, 0, 0}};
  const std::vector<Dot> inSprite = {red[0], {kSprite, 0, 0, kDotSpriteWindow, 0}};
  // W0: x 40-79 (half dots 0x50-0x9F), lines 10-20; W1: x 50-149.
  // clang-format off
  Check({
      {"offset A clamps both ways", {{0x110, 1}, {0x114, 0x1F0}, {0x116, 0xFF}, {0x118, 0x20}},
        {{kNbg0, T(0x10, 0x80, 0xF0), 5, 0, 0}}, 0, 0, T(0, 0xFF, 0xFF)},
      {"the top's offset: NBG1 over NBG0 takes none", {{0x110, 1}, {0x114, 0x40}, {0xEC, 2},
        {0x108, 0xF00}}, {nbg0, {kNbg1, T(0, 0, 0x40), 6, 0, 0}}, 0, 0, T(0x40, 0x20, 0x30)},
      {"shadow on top halves NBG0", {{0xE2, 1}}, {shadow, nbg0}, 0, 0, T(0x40, 0x20, 0x10)},
      {"... not without N0SDEN", {}, {shadow, nbg0}, 0, 0, T(0x80, 0x40, 0x21)},
      {"... nor below NBG0", {{0xE2, 1}}, {{kSprite, 0, 4, kDotShadeBelow, 0}, nbg0}, 0, 0,
        T(0x80, 0x40, 0x21)},
      {"... after the offset", {{0xE2, 1}, {0x110, 1}, {0x114, 0x40}}, {shadow, nbg0}, 0, 0,
        T(0x60, 0x20, 0x10)},
      {"... after colour calculation", {{0xE2, 1}, {0xEC, 1}, {0x108, 0xF}}, {shadow, nbg0,
        {kNbg1, T(0, 0, 0x41), 1, 0, 0}}, 0, 0, T(0x20, 0x10, 0x18)},
      {"... with extended calculation", {{0xE2, 1}, {0xEC, 0x401}, {0x108, 0xF}}, {shadow, nbg0,
        {kNbg1, T(0, 0, 0x41), 1, 0, 0}}, 0, 0, T(0x20, 0x10, 0x18)},
      {"... not where a window hides it", {{0xE2, 1}, {0xEC, 1}, {0x108, 0xF}, {0xD4, 0x200}},
        {shadow, nbg0, {kNbg1, T(0, 0, 0x41), 1, 0, 0}}, 40, 10, T(0x40, 0x20, 0x31)},
      {"a sprite-shadow dot on top halves itself on a calculated line", {{0xEC, 1}, {0x108, 0xF}},
        {{kSprite, T(0x80, 0x40, 0x20), 7, kDotShadeSelf, 0}, nbg0}, 0, 0, T(0x40, 0x20, 0x10)},
      {"... of the offset back screen", {{0xE2, 0x20}, {0x110, 0x20}, {0x114, 0x81}}, {shadow}, 0,
        0, T(0x40, 0, 0)},
      {"W0's corners are inside", {{0xD0, 2}}, red, 79, 20, kBlack},
      {"... below it", {{0xD0, 2}}, red, 40, 21, kRed},
      {"start after end: nowhere", {{0xD0, 2}, {0xC0, 0xA0}}, red, 79, 10, kRed},
      {"... outside: everywhere", {{0xD0, 3}, {0xC0, 0xA0}}, red, 79, 10, kBlack},
      {"OR of W0 and W1", {{0xD0, 0x0A}}, red, 149, 15, kBlack},
      {"AND of W0 and W1: x 50-79", {{0xD0, 0x8A}}, red, 49, 15, kRed},
      {"AND with none enabled: everywhere", {{0xD0, 0x80}}, red, 0, 0, kBlack},
      {"sprite window", {{0xD0, 0x20}}, inSprite, 0, 0, kBlack},
      {"... its outside", {{0xD0, 0x30}}, inSprite, 0, 0, kRed},
      {"the sprite's own window", {{0xD4, 0x200}}, {{kSprite, 0, 7, 0, 0}, red[0]}, 40, 10, kRed},
      {"hi-res: dot units", {{0, 0x8002}, {0xD0, 2}, {0xC4, 0x50}}, red, 80, 10, kBlack},
      {"W0 line window: this line's pair, x 4-6", {{0xD0, 2}, {0xD8, 0x8000}}, red, 3, 10, kRed},
      {"... inside it", {{0xD0, 2}, {0xD8, 0x8000}}, red, 4, 10, kBlack},
  }, {{0xC0, 0x50}, {0xC2, 10}, {0xC4, 0x9F}, {0xC6, 20}, {0xC8, 100}, {0xCA, 10}, {0xCC, 299},
      {0xCE, 20}});
  // clang-format on
}

}  // namespace
