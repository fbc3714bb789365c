// The dot-by-dot renderer's VDP2 half: dots worked out by hand from the hardware digests
// for cells, bitmaps, scrolling, the back screen, sprites, priorities, per-line changes and
// display sizes.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <memory>
#include <vector>

#include "common/rgb555.h"
#include "dots/back_screen.h"
#include "dots/screen_composer.h"

namespace {

using vdp::Rgb555ToTexel;

constexpr uint32_t kBlack = 0xFF000000u;
const uint32_t kGreen = Rgb555ToTexel(0x03E0);

// One write into the chips before composing: a VDP2 register (byte offset), VDP2 VRAM
// byte, word or long, colour RAM word, VDP1 frame-buffer byte or word, VDP1 register.
enum Kind : uint8_t { kReg, kByte, kWord, kLong, kCram, kFbByte, kFbWord, kVdp1Reg };
struct Poke {
  Kind kind;
  uint32_t where, value;
};
struct DotCase {
  const char* what;
  std::vector<Poke> pokes;
  int x, y;
  uint32_t texel;
};

// Colour RAM entry i holds colour i, so a palette dot shows its 11-bit colour address.
uint32_t C(uint32_t index) { return Rgb555ToTexel(index); }
// The NBG0 test bitmap (RGB, 512 x 256) holds its own coordinates at each dot.
uint16_t Coords(uint32_t x, uint32_t y) { return 0x8000 | ((y & 63) << 9) | (x & 511); }

struct DotsVdp2 : ::testing::Test {
  std::unique_ptr<vdp::ConsoleMemory> vram1 = std::make_unique<vdp::ConsoleMemory>();
  std::unique_ptr<vdp::ConsoleMemory> vram2 = std::make_unique<vdp::ConsoleMemory>();
  std::unique_ptr<dots::FrameBufferMemory> fb = std::make_unique<dots::FrameBufferMemory>();
  std::unique_ptr<vdp::LineLog> log = std::make_unique<vdp::LineLog>();
  std::unique_ptr<dots::ScreenComposer> composer = std::make_unique<dots::ScreenComposer>();
  std::unique_ptr<dots::Picture> picture = std::make_unique<dots::Picture>();
  uint16_t regs[256] = {}, vdp1Regs[16] = {}, cram[2048] = {};
  dots::ChipView chips{vdp1Regs, vram1.get(), regs, vram2.get(), cram};

  void SetUp() override {
    std::fill(std::begin(regs), std::end(regs), 0);
    vdp1Regs[0] = 0;
    vram2->Clear();
    fb->Clear();
    log->Clear();
    for (uint32_t i = 0; i < 2048; ++i) cram[i] = static_cast<uint16_t>(i);
    // Picture on, 320 x 224; colour RAM mode 1; NBG0 on at priority 7; no zoom; the back
    // screen black from an unused table at 0x60000.
    Apply({{kReg, 0x00, 0x8000}, {kReg, 0x0E, 0x1000}, {kReg, 0x20, 1}, {kReg, 0xF8, 7}});
    Apply({{kReg, 0xAC, 3}});
    Apply({{kReg, 0x78, 1}, {kReg, 0x7C, 1}, {kReg, 0x88, 1}, {kReg, 0x8C, 1}});
  }
  void Apply(const std::vector<Poke>& pokes) {
    for (const Poke& p : pokes) {
      switch (p.kind) {
        case kReg:
          regs[(p.where >> 1) & 0xFF] = static_cast<uint16_t>(p.value);
          break;
        case kByte:
          vram2->Byte(p.where) = static_cast<uint8_t>(p.value);
          break;
        case kWord:
          vram2->Word(p.where) = static_cast<uint16_t>(p.value);
          break;
        case kLong:
          vram2->Long(p.where) = p.value;
          break;
        case kCram:
          cram[p.where] = static_cast<uint16_t>(p.value);
          break;
        case kFbByte:
          fb->Byte(p.where) = static_cast<uint8_t>(p.value);
          break;
        case kFbWord:
          fb->Word(p.where) = static_cast<uint16_t>(p.value);
          break;
        case kVdp1Reg:
          vdp1Regs[p.where] = static_cast<uint16_t>(p.value);
          break;
      }
    }
  }
  // NBG0 as a 512 x 256 RGB bitmap at VRAM 0, filled by fill(x, y).
  template <class Fill>
  void RgbBitmap(Fill fill) {
    Apply({{kReg, 0x28, 0x32}});
    for (uint32_t y = 0; y < 256; ++y) {
      for (uint32_t x = 0; x < 512; ++x) vram2->Word((y * 512 + x) * 2) = fill(x, y);
    }
  }
  void Compose() {
    composer->BeginPeriod(chips);
    composer->ComposePeriod(chips, *log, *fb, *picture);
  }
  void Check(const std::vector<DotCase>& cases, const std::vector<Poke>& common = {}) {
    for (const DotCase& c : cases) {
      SetUp();
      Apply(common);
      Apply(c.pokes);
      Compose();
      EXPECT_EQ(picture->Row(c.y)[c.x], c.texel) << c.what;
    }
  }
};

TEST_F(DotsVdp2, CellsFollowPatternNamesPagesAndPlanes) {
  Check({
      {"one word, 16 colours: PNCN palette and number bits, both flips",
       {{kReg, 0x30, 0x8041},
        {kReg, 0x40, 1},
        {kWord, 0x2000, 0x3C02},
        {kByte, 0x805F, 0x95},
        {kByte, 0x8040, 0x90}},
       0,
       0,
       C(0x235)},
      {"12-bit numbers have no flips; 256 colours take palette bits 6-4 from the name",
       {{kReg, 0x28, 0x10},
        {kReg, 0x30, 0xC014},
        {kReg, 0x40, 1},
        {kWord, 0x2000, 0x6C01},
        {kByte, 0x38020, 0x12},
        {kByte, 0x3805F, 0x34}},
       0,
       0,
       C(0x612)},
      {"two words, mirrored 2x2 character: its upper-right cell comes first",
       {{kReg, 0x28, 1}, {kReg, 0x40, 2}, {kLong, 0x2000, 0x40300010}, {kByte, 0x223, 7}},
       0,
       0,
       C(0x307)},
      {"one word, 2x2: the number's low bits from PNCN, lower-right cell",
       {{kReg, 0x28, 1},
        {kReg, 0x30, 0x8006},
        {kReg, 0x40, 4},
        {kWord, 0x2000, 0x1003},
        {kByte, 0x20220, 0xA0}},
       8,
       8,
       C(0x01A)},
      {"2x2-page planes: map offset, plane B, right page, plane aligned to its size",
       {{kReg, 0x30, 0x8000},
        {kReg, 0x3A, 3},
        {kReg, 0x3C, 1},
        {kReg, 0x40, 0x0500},
        {kReg, 0x70, 0x608},
        {kWord, 0xA002, 1},
        {kByte, 0x20, 0xC0}},
       0,
       0,
       C(0x00C)},
      {"NBG3: its own PNCN, map, priority and integer scroll",
       {{kReg, 0x20, 8},
        {kReg, 0xFA, 0x0300},
        {kReg, 0x2A, 0x20},
        {kReg, 0x36, 0x8000},
        {kReg, 0x4C, 1},
        {kReg, 0x94, 3},
        {kReg, 0x96, 8},
        {kWord, 0x2082, 2},
        {kByte, 0x40, 0x77}},
       5,
       0,
       C(0x077)},
  });
}

TEST_F(DotsVdp2, BitmapsAndColourFormats) {
  const uint32_t rgb15 = Rgb555ToTexel(0x7C1F);
  Check({
      {"16-colour bitmap, palette from BMPNA",
       {{kReg, 0x28, 2}, {kReg, 0x3C, 1}, {kReg, 0x2C, 3}, {kByte, 0x20200, 0x0B}},
       1,
       2,
       C(0x30B)},
      {"1024 x 512, 256 colours",
       {{kReg, 0x28, 0x1E}, {kReg, 0x74, 300}, {kReg, 0x2C, 2}, {kByte, 0x4B003, 0x45}},
       3,
       0,
       C(0x245)},
      {"colour RAM mode 0 ignores address bit 10",
       {{kReg, 0x28, 0x22}, {kReg, 0x0E, 0}, {kWord, 0, 0x523}},
       0,
       0,
       C(0x123)},
      {"colour RAM offset wraps the 11-bit address",
       {{kReg, 0x28, 0x22}, {kReg, 0xE4, 3}, {kWord, 0, 0x523}},
       0,
       0,
       C(0x023)},
      {"2,048 colours: low 11 bits 0 are transparent",
       {{kReg, 0x28, 0x22}, {kWord, 0, 0x800}},
       0,
       0,
       kBlack},
      {"TPON shows code 0",
       {{kReg, 0x28, 2}, {kReg, 0x20, 0x101}, {kReg, 0x2C, 1}},
       0,
       0,
       C(0x100)},
      {"32,768 colours", {{kReg, 0x28, 0x32}, {kWord, 0, 0xFC1F}}, 0, 0, rgb15},
      {"RGB with MSB 0 is transparent", {{kReg, 0x28, 0x32}, {kWord, 0, 0x7C1F}}, 0, 0, kBlack},
      {"... unless TPON",
       {{kReg, 0x28, 0x32}, {kReg, 0x20, 0x101}, {kWord, 0, 0x7C1F}},
       0,
       0,
       rgb15},
      {"16.7M colours", {{kReg, 0x28, 0x42}, {kLong, 0, 0x80123456}}, 0, 0, 0xFF123456},
      {"colour RAM mode 2: 24-bit entries",
       {{kReg, 0x28, 0x12},
        {kReg, 0x0E, 0x2000},
        {kByte, 0, 5},
        {kCram, 10, 0x8012},
        {kCram, 11, 0x3456}},
       0,
       0,
       0xFF123456},
      {"NBG0 in 16.7M colours leaves NBG1 no reads",
       {{kReg, 0x28, 0x240}, {kReg, 0x20, 0x202}, {kReg, 0xF8, 0x700}, {kReg, 0x2C, 0x100}},
       0,
       0,
       kBlack},
      {"NBG0 in 32,768 colours leaves NBG1 its reads",
       {{kReg, 0x28, 0x230}, {kReg, 0x20, 0x202}, {kReg, 0xF8, 0x700}, {kReg, 0x2C, 0x100}},
       0,
       0,
       C(0x100)},
  });
}

TEST_F(DotsVdp2, ScrollZoomLineScrollCellScrollAndMosaic) {
  struct Case {
    const char* what;
    std::vector<Poke> pokes;
    int x, y;
    uint32_t mapX, mapY;
  };
  const std::vector<Case> cases = {
      {"fractions are dropped after the multiply-add",
       {{kReg, 0x70, 10},
        {kReg, 0x72, 0x8000},
        {kReg, 0x78, 0},
        {kReg, 0x7A, 0x8000},
        {kReg, 0x74, 5},
        {kReg, 0x7C, 2}},
       3,
       3,
       12,
       11},
      {"reduction beyond ZMCTL's allowance is held at 1", {{kReg, 0x78, 3}}, 5, 0, 5, 0},
      {"ZMCTL 1/4 allows it", {{kReg, 0x78, 3}, {kReg, 0x98, 2}}, 5, 0, 15, 0},
      {"line scroll X, Y and zoom every two lines, 12-byte records",
       {{kReg, 0x9A, 0x1E},
        {kReg, 0xA0, 2},
        {kWord, 0x4000C, 20},
        {kWord, 0x40010, 100},
        {kWord, 0x40016, 0x8000}},
       4,
       3,
       22,
       101},
      {"line scroll Y alone: 4-byte records",
       {{kReg, 0x9A, 4}, {kReg, 0xA0, 2}, {kWord, 0x40008, 40}},
       7,
       2,
       7,
       40},
      {"vertical cell scroll per 8-dot column",
       {{kReg, 0x9A, 1}, {kReg, 0x9C, 2}, {kWord, 0x40004, 30}},
       9,
       2,
       9,
       32},
      {"with NBG1's, the entries alternate",
       {{kReg, 0x9A, 0x101}, {kReg, 0x9C, 2}, {kWord, 0x40004, 99}, {kWord, 0x40008, 30}},
       9,
       2,
       9,
       32},
      {"mosaic 4 x 4: the block's top-left dot", {{kReg, 0x22, 0x3301}}, 6, 7, 4, 4},
      {"mosaic turns vertical cell scroll off",
       {{kReg, 0x22, 1}, {kReg, 0x9A, 1}, {kReg, 0x9C, 2}, {kWord, 0x40004, 30}},
       9,
       2,
       9,
       2},
      {"double density scrolls by picture line", {{kReg, 0, 0x80C0}}, 0, 301, 0, 301},
      {"640 dots: a 512-dot bitmap repeats", {{kReg, 0, 0x8002}}, 600, 0, 88, 0},
  };
  for (const Case& c : cases) {
    SetUp();
    RgbBitmap(Coords);
    Apply(c.pokes);
    Compose();
    EXPECT_EQ(picture->Row(c.y)[c.x], Rgb555ToTexel(Coords(c.mapX, c.mapY))) << c.what;
  }
}

TEST_F(DotsVdp2, BackScreenAndLineColour) {
  Check(
      {
          {"one colour", {{kReg, 0xAC, 1}, {kWord, 0x20000, 0x1F}}, 100, 50, C(0x1F)},
          {"one colour per line", {{kReg, 0xAC, 0x8001}, {kWord, 0x2000A, 0x3E0}}, 0, 5, C(0x3E0)},
          {"display off: black",
           {{kReg, 0, 0}, {kReg, 0xAC, 1}, {kWord, 0x20000, 0x1F}},
           0,
           0,
           kBlack},
          {"display off, BDCLMD: the last line's back colour",
           {{kReg, 0, 0x100}, {kReg, 0xAC, 0x8001}, {kWord, 0x201BE, 0x7C00}},
           0,
           0,
           C(0x7C00)},
      },
      {{kReg, 0x20, 0}});
  // The line colour table names colour RAM addresses (11 bits) and takes no offset.
  Apply({{kReg, 0xA8, 0x8001}, {kReg, 0xE4, 7}, {kWord, 0x20006, 0x0805}});
  const dots::RegisterView view(regs);
  EXPECT_EQ(dots::LineColourTexel(3, view, dots::ColourRam(cram, 1), *vram2), C(5));
}

TEST_F(DotsVdp2, SpriteTypesAndPriorities) {
  // NBG0 at priority 4: a 16-colour bitmap of code 0 shown through TPON, green.
  const std::vector<Poke> kGreenNbg0 = {
      {kReg, 0x28, 2}, {kReg, 0x20, 0x101}, {kReg, 0xF8, 4}, {kCram, 0, 0x3E0}};
  Check(
      {
          {"type 0: PR 1 selects PRISA bits 10-8; the offset wraps the address",
           {{kReg, 0xF0, 0x500}, {kReg, 0xE6, 0x70}, {kFbWord, 2054, 0x5A3C}},
           3,
           2,
           C(0x13C)},
          {"mixed: MSB set is RGB at S0PRIN",
           {{kReg, 0xE0, 0x20}, {kReg, 0xF0, 5}, {kFbWord, 0, 0xFFFF}},
           0,
           0,
           Rgb555ToTexel(0x7FFF)},
          {"mixed: MSB clear is palette",
           {{kReg, 0xE0, 0x20}, {kReg, 0xF0, 0x500}, {kFbWord, 0, 0x7FFF}},
           0,
           0,
           C(0x7FF)},
          {"equal priority: the sprite over NBG0",
           {{kReg, 0xF0, 4}, {kFbWord, 0, 0x10}},
           0,
           0,
           C(0x10)},
          {"lower priority: NBG0", {{kReg, 0xF0, 3}, {kFbWord, 0, 0x10}}, 0, 0, kGreen},
          {"priority 0 is not shown", {{kReg, 0x20, 0}, {kFbWord, 0, 0x10}}, 0, 0, kBlack},
          {"all-zero data is transparent", {{kReg, 0xF0, 7}}, 0, 0, kGreen},
          {"normal shadow code: no sprite dot",
           {{kReg, 0xE0, 5}, {kReg, 0xF2, 0x700}, {kFbWord, 0, 0xB7FE}},
           0,
           0,
           kGreen},
          {"sprite shadow: the sprite shows",
           {{kReg, 0xE0, 5}, {kReg, 0xF2, 0x700}, {kFbWord, 0, 0xB7FC}},
           0,
           0,
           C(0x7FC)},
          {"transparent shadow: no sprite dot",
           {{kReg, 0xE0, 3}, {kReg, 0xF0, 7}, {kFbWord, 0, 0x8000}},
           0,
           0,
           kGreen},
          {"640 dots, 8-bit buffer of 1,024-dot rows, type 8",
           {{kReg, 0, 0x8002},
            {kVdp1Reg, 0, 1},
            {kReg, 0xE0, 8},
            {kReg, 0xF0, 0x600},
            {kFbByte, 3673, 0x85}},
           601,
           3,
           C(0x005)},
          {"640 dots over a 16-bit buffer: each buffer dot twice",
           {{kReg, 0, 0x8002}, {kReg, 0xF0, 6}, {kFbWord, 3672, 0x11}},
           601,
           3,
           C(0x011)},
          {"rotation 8 buffer (512-byte rows), type E: bits 7-6 are PR and DC",
           {{kVdp1Reg, 0, 3}, {kReg, 0xE0, 0xE}, {kReg, 0xF2, 0x600}, {kFbByte, 1029, 0xC5}},
           5,
           2,
           C(0x0C5)},
          {"double density: one buffer row for two lines",
           {{kReg, 0, 0x80C0}, {kReg, 0xF0, 6}, {kFbWord, 153608, 0x22}},
           4,
           301,
           C(0x022)},
          {"equal priority: NBG0 over NBG1",
           {{kReg, 0x28, 0x202}, {kReg, 0x20, 0x303}, {kReg, 0xF8, 0x404}, {kReg, 0x2C, 0x100}},
           0,
           0,
           kGreen},
      },
      kGreenNbg0);
}

TEST_F(DotsVdp2, EachLineShowsItsOwnRegistersAndColourRam) {
  // NBG0: a 16-colour bitmap of code 0 shown through TPON, colour RAM entry 0.
  Apply({{kReg, 0x28, 2}, {kReg, 0x20, 0x101}, {kCram, 0, 0x1F}});
  composer->BeginPeriod(chips);
  log->Append(6, vdp::LineLog::kCramTarget | 0, 0x3E0);
  log->Append(10, 0xF8, 0);
  // The chips hold the period's end state; lines before a write must not see it.
  Apply({{kReg, 0xF8, 0}, {kCram, 0, 0x3E0}});
  composer->ComposePeriod(chips, *log, *fb, *picture);
  const uint32_t red = C(0x1F);
  auto column = [&] {
    return std::vector<uint32_t>{picture->Row(5)[0], picture->Row(6)[9], picture->Row(9)[0],
                                 picture->Row(10)[0], picture->Row(223)[319]};
  };
  EXPECT_EQ(column(), (std::vector<uint32_t>{red, kGreen, kGreen, kBlack, kBlack}));
  // An overflowed log: lines from its last entry's line on show the end state.
  Apply({{kReg, 0xF8, 7}, {kCram, 0, 0x1F}});
  composer->BeginPeriod(chips);
  log->Clear();
  for (uint32_t i = 0; i <= vdp::LineLog::kCapacity; ++i) log->Append(20, 0x1FE, 0);
  Apply({{kReg, 0xF8, 0}});
  composer->ComposePeriod(chips, *log, *fb, *picture);
  EXPECT_EQ(std::vector<uint32_t>({picture->Row(19)[0], picture->Row(20)[0]}),
            (std::vector<uint32_t>{red, kBlack}));
}

TEST_F(DotsVdp2, PictureSizeFollowsTvmd) {
  const struct {
    uint16_t tvmd;
    int width, height;
  } cases[] = {{0x8000, 320, 224}, {0x8011, 352, 240}, {0x8022, 640, 256}, {0x8003, 704, 224},
               {0x80C0, 320, 448}, {0x80D1, 352, 480}, {0x80E3, 704, 512}, {0x8080, 320, 224},
               {0x8004, 320, 480}, {0x8030, 320, 240}};
  for (const auto& c : cases) {
    SetUp();
    Apply({{kReg, 0, c.tvmd}, {kReg, 0x20, 0}, {kReg, 0xAC, 1}, {kWord, 0x20000, 0x1F}});
    Compose();
    EXPECT_EQ(std::vector<int>({picture->width, picture->height}),
              std::vector<int>({c.width, c.height}))
        << std::hex << c.tvmd;
    EXPECT_EQ(picture->Row(c.height - 1)[c.width - 1], C(0x1F)) << std::hex << c.tvmd;
    picture->Row(c.height - 1)[c.width - 1] = 0;
  }
}

}  // namespace
