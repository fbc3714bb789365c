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
#include "dots/frame_buffer.h"
#include "dots/screen_composer.h"
#include "dots_chips.h"

namespace {

using namespace dotstest;
using vdp::Rgb555ToTexel;

constexpr uint32_t kBlack = 0xFF000000u;
const uint32_t kGreen = Rgb555ToTexel(0x03E0);

// Colour RAM entry i holds colour i, so a palette dot shows its 11-bit colour address.
uint32_t C(uint32_t index) { return Rgb555ToTexel(index); }
// The NBG0 test bitmap (RGB, 512 x 256) holds its own coordinates at each dot.
uint16_t Coords(uint32_t x, uint32_t y) { return 0x8000 | ((y & 63) << 9) | (x & 511); }

struct DotsVdp2 : DotsChips {
  void SetUp() override {
    Clear();
    // Picture on, 320 x 224; colour RAM mode 1; NBG0 on at priority 7; no zoom; the back
    // screen black from an unused table at 0x60000.
    Apply({R(0x00, 0x8000), R(0x0E, 0x1000), R(0x20, 1), R(0xF8, 7)});
    Apply({R(0xAC, 3)});
    Apply({R(0x78, 1), R(0x7C, 1), R(0x88, 1), R(0x8C, 1)});
  }
  // NBG0 as a 512 x 256 RGB bitmap at VRAM 0, filled by fill(x, y).
  template <class Fill>
  void RgbBitmap(Fill fill) {
    Apply({R(0x28, 0x32)});
    for (uint32_t y = 0; y < 256; ++y) {
      for (uint32_t x = 0; x < 512; ++x) vram2->Word((y * 512 + x) * 2) = fill(x, y);
    }
  }
};

TEST_F(DotsVdp2, CellsFollowPatternNamesPagesAndPlanes) {
  // clang-format off
  Check({
      {"one word, 16 colours: PNCN palette and number bits, both flips", 0, 0, C(0x235),
        {R(0x30, 0x8041), R(0x40, 1), W(0x2000, 0x3C02), B(0x805F, 0x95), B(0x8040, 0x90)}},
      {"12-bit numbers: no flips; 256 colours: palette bits from the name", 0, 0, C(0x612),
        {R(0x28, 0x10), R(0x30, 0xC014), R(0x40, 1), W(0x2000, 0x6C01), B(0x38020, 0x12),
        B(0x3805F, 0x34)}},
      {"two words, mirrored 2x2 character: its upper-right cell comes first", 0, 0, C(0x307),
        {R(0x28, 1), R(0x40, 2), L(0x2000, 0x40300010), B(0x223, 7)}},
      {"one word, 2x2: the number's low bits from PNCN, lower-right cell", 8, 8, C(0x01A),
        {R(0x28, 1), R(0x30, 0x8006), R(0x40, 4), W(0x2000, 0x1003), B(0x20220, 0xA0)}},
      {"2x2 planes: map offset, plane B, right page, aligned plane", 0, 0, C(0x00C),
        {R(0x30, 0x8000), R(0x3A, 3), R(0x3C, 1), R(0x40, 0x0500), R(0x70, 0x608), W(0xA002, 1),
        B(0x20, 0xC0)}},
      {"NBG3: its own PNCN, map, priority and integer scroll", 5, 0, C(0x077),
        {R(0x20, 8), R(0xFA, 0x0300), R(0x2A, 0x20), R(0x36, 0x8000), R(0x4C, 1), R(0x94, 3),
        R(0x96, 8), W(0x2082, 2), B(0x40, 0x77)}},
      {"special priority: PR and a matching code give priority 1", 0, 0, C(0x005),
        {R(0xF8, 0), R(0xEA, 2), R(0x26, 4), R(0x30, 0x8200), R(0x40, 1), B(0, 0x50)}},
      {"... a code that does not match gives 0: not shown", 0, 0, kBlack,
        {R(0xF8, 0), R(0xEA, 2), R(0x26, 4), R(0x30, 0x8200), R(0x40, 1), B(0, 0x60)}},
  });
  // clang-format on
}

TEST_F(DotsVdp2, BitmapsAndColourFormats) {
  const uint32_t rgb15 = Rgb555ToTexel(0x7C1F);
  // clang-format off
  Check({
      {"16-colour bitmap, palette from BMPNA", 1, 2, C(0x30B),
        {R(0x28, 2), R(0x3C, 1), R(0x2C, 3), B(0x20200, 0x0B)}},
      {"1024 x 512, 256 colours", 3, 0, C(0x245),
        {R(0x28, 0x1E), R(0x74, 300), R(0x2C, 2), B(0x4B003, 0x45)}},
      {"colour RAM mode 0 ignores address bit 10", 0, 0, C(0x123),
        {R(0x28, 0x22), R(0x0E, 0), W(0, 0x523)}},
      {"colour RAM offset wraps the 11-bit address", 0, 0, C(0x023),
        {R(0x28, 0x22), R(0xE4, 3), W(0, 0x523)}},
      {"2,048 colours: low 11 bits 0 are transparent", 0, 0, kBlack,
        {R(0x28, 0x22), W(0, 0x800)}},
      {"TPON shows code 0", 0, 0, C(0x100), {R(0x28, 2), R(0x20, 0x101), R(0x2C, 1)}},
      {"32,768 colours", 0, 0, rgb15, {R(0x28, 0x32), W(0, 0xFC1F)}},
      {"RGB with MSB 0 is transparent", 0, 0, kBlack, {R(0x28, 0x32), W(0, 0x7C1F)}},
      {"... unless TPON", 0, 0, rgb15, {R(0x28, 0x32), R(0x20, 0x101), W(0, 0x7C1F)}},
      {"16.7M colours", 0, 0, 0xFF123456, {R(0x28, 0x42), L(0, 0x80123456)}},
      {"colour RAM mode 2: 24-bit entries", 0, 0, 0xFF123456,
        {R(0x28, 0x12), R(0x0E, 0x2000), B(0, 5), Cr(10, 0x8012), Cr(11, 0x3456)}},
      {"NBG0 in 16.7M colours leaves NBG1 no reads", 0, 0, kBlack,
        {R(0x28, 0x240), R(0x20, 0x202), R(0xF8, 0x700), R(0x2C, 0x100)}},
      {"NBG0 in 32,768 colours leaves NBG1 its reads", 0, 0, C(0x100),
        {R(0x28, 0x230), R(0x20, 0x202), R(0xF8, 0x700), R(0x2C, 0x100)}},
  });
  // clang-format on
}

TEST_F(DotsVdp2, ScrollZoomLineScrollCellScrollAndMosaic) {
  struct Case {
    const char* what;
    int x, y;
    uint32_t mapX, mapY;
    std::vector<Poke> pokes;
  };
  // clang-format off
  const std::vector<Case> cases = {
      {"fractions are dropped after the multiply-add", 3, 3, 12, 11,
        {R(0x70, 10), R(0x72, 0x8000), R(0x78, 0), R(0x7A, 0x8000), R(0x74, 5), R(0x7C, 2)}},
      {"reduction beyond ZMCTL's allowance is held at 1", 5, 0, 5, 0, {R(0x78, 3)}},
      {"ZMCTL 1/4 allows it", 5, 0, 15, 0, {R(0x78, 3), R(0x98, 2)}},
      {"line scroll X, Y and zoom every two lines, 12-byte records", 4, 3, 22, 101,
        {R(0x9A, 0x1E), R(0xA0, 2), W(0x4000C, 20), W(0x40010, 100), W(0x40016, 0x8000)}},
      {"line scroll Y alone: 4-byte records", 7, 2, 7, 40,
        {R(0x9A, 4), R(0xA0, 2), W(0x40008, 40)}},
      {"vertical cell scroll per 8-dot column", 9, 2, 9, 32,
        {R(0x9A, 1), R(0x9C, 2), W(0x40004, 30)}},
      {"with NBG1's, the entries alternate", 9, 2, 9, 32,
        {R(0x9A, 0x101), R(0x9C, 2), W(0x40004, 99), W(0x40008, 30)}},
      {"mosaic 4 x 4: the block's top-left dot", 6, 7, 4, 4, {R(0x22, 0x3301)}},
      {"mosaic turns vertical cell scroll off", 9, 2, 9, 2,
        {R(0x22, 1), R(0x9A, 1), R(0x9C, 2), W(0x40004, 30)}},
      {"double density scrolls by picture line", 0, 301, 0, 301, {R(0, 0x80C0)}},
      {"640 dots: a 512-dot bitmap repeats", 600, 0, 88, 0, {R(0, 0x8002)}},
  };
  // clang-format on
  for (const Case& c : cases) {
    SetUp();
    RgbBitmap(Coords);
    Apply(c.pokes);
    Compose();
    EXPECT_EQ(picture->Row(c.y)[c.x], Rgb555ToTexel(Coords(c.mapX, c.mapY))) << c.what;
  }
}

TEST_F(DotsVdp2, BackScreenAndLineColour) {
  // clang-format off
  Check(
      {
          {"one colour", 100, 50, C(0x1F), {R(0xAC, 1), W(0x20000, 0x1F)}},
          {"one colour per line", 0, 5, C(0x3E0), {R(0xAC, 0x8001), W(0x2000A, 0x3E0)}},
          {"display off: black", 0, 0, kBlack, {R(0, 0), R(0xAC, 1), W(0x20000, 0x1F)}},
          {"display off, BDCLMD: the last line's back colour", 0, 0, C(0x7C00),
            {R(0, 0x100), R(0xAC, 0x8001), W(0x201BE, 0x7C00)}},
      },
      {R(0x20, 0)});
  // clang-format on
  // The line colour table names colour RAM addresses (11 bits) and takes no offset.
  Apply({R(0xA8, 0x8001), R(0xE4, 7), W(0x20006, 0x0805)});
  const dots::RegisterView view(regs);
  EXPECT_EQ(dots::LineColourTexel(3, view, dots::ColourRam(cram, 1), *vram2), C(5));
}

TEST_F(DotsVdp2, SpriteTypesAndPriorities) {
  // NBG0 at priority 4: a 16-colour bitmap of code 0 shown through TPON, green.
  const std::vector<Poke> kGreenNbg0 = {R(0x28, 2), R(0x20, 0x101), R(0xF8, 4), Cr(0, 0x3E0)};
  // clang-format off
  Check(
      {
          {"type 0: PR 1 selects PRISA bits 10-8; the offset wraps the address", 3, 2, C(0x13C),
            {R(0xF0, 0x500), R(0xE6, 0x70), Fw(2054, 0x5A3C)}},
          {"mixed: MSB set is RGB at S0PRIN", 0, 0, Rgb555ToTexel(0x7FFF),
            {R(0xE0, 0x20), R(0xF0, 5), Fw(0, 0xFFFF)}},
          {"mixed: MSB clear is palette", 0, 0, C(0x7FF),
            {R(0xE0, 0x20), R(0xF0, 0x500), Fw(0, 0x7FFF)}},
          {"equal priority: the sprite over NBG0", 0, 0, C(0x10), {R(0xF0, 4), Fw(0, 0x10)}},
          {"lower priority: NBG0", 0, 0, kGreen, {R(0xF0, 3), Fw(0, 0x10)}},
          {"priority 0 is not shown", 0, 0, kBlack, {R(0x20, 0), Fw(0, 0x10)}},
          {"all-zero data is transparent", 0, 0, kGreen, {R(0xF0, 7)}},
          {"normal shadow code: no sprite dot", 0, 0, kGreen,
            {R(0xE0, 5), R(0xF2, 0x700), Fw(0, 0xB7FE)}},
          {"sprite shadow: the sprite shows, halved", 0, 0, 0xFF047C70,
            {R(0xE0, 5), R(0xF2, 0x700), Fw(0, 0xB7FC)}},
          {"transparent shadow without TPSDSL: a transparent dot", 0, 0, kGreen,
            {R(0xE0, 3), R(0xF0, 7), R(0xE2, 1), Fw(0, 0x8000)}},
          {"... with TPSDSL: NBG0 (N0SDEN) halved", 0, 0, 0xFF007C00,
            {R(0xE0, 3), R(0xF0, 7), R(0xE2, 0x101), Fw(0, 0x8000)}},
          {"normal shadow at PRISB's 7 halves NBG0", 0, 0, 0xFF007C00,
            {R(0xE0, 5), R(0xF2, 0x700), R(0xE2, 1), Fw(0, 0xB7FE)}},
          {"640 dots, 8-bit buffer of 1,024-dot rows, type 8", 601, 3, C(0x005),
            {R(0, 0x8002), V1(0, 1), R(0xE0, 8), R(0xF0, 0x600), Fb(3673, 0x85)}},
          {"640 dots over a 16-bit buffer: each buffer dot twice", 601, 3, C(0x011),
            {R(0, 0x8002), R(0xF0, 6), Fw(3672, 0x11)}},
          {"rotation 8 buffer (512-byte rows), type E: bits 7-6 are PR and DC", 5, 2, C(0x0C5),
            {V1(0, 3), R(0xE0, 0xE), R(0xF2, 0x600), Fb(1029, 0xC5)}},
          {"double density: one buffer row for two lines", 4, 301, C(0x022),
            {R(0, 0x80C0), R(0xF0, 6), Fw(153608, 0x22)}},
          {"equal priority: NBG0 over NBG1", 0, 0, kGreen,
            {R(0x28, 0x202), R(0x20, 0x303), R(0xF8, 0x404), R(0x2C, 0x100)}},
      },
      kGreenNbg0);
  // clang-format on
}

TEST_F(DotsVdp2, SpritesOfAnEightBitBufferDrawnByVdp1) {
  // VDP1 in high resolution draws a line of 0x1285 from (600,3) to (601,3): bytes 0x85. After
  // the change VDP2 (640 dots, type C: PR bit 7, DC all 8 bits) shows colour 0x085 there.
  auto buffers = std::make_unique<dots::FrameBuffers>();
  Apply({R(0x28, 2), R(0x20, 0x101), R(0xF8, 4), Cr(0, 0x3E0), R(0, 0x8002), V1(0, 1), R(0xE0, 0xC),
         R(0xF0, 0x600)});
  const uint16_t table[] = {6, 0, 0xC0, 0x1285, 0, 0, 600, 3, 601, 3, 0, 0, 0, 0, 0, 0, 0x8000};
  for (uint32_t i = 0; i < std::size(table); ++i) vram1->Word(2 * i) = table[i];
  buffers->DrawNow(chips);
  buffers->OnFrameChange(chips);
  composer->BeginPeriod(chips);
  composer->ComposePeriod(chips, *log, buffers->Displayed(), *picture);
  const uint32_t* row = picture->Row(3);
  EXPECT_EQ(std::vector<uint32_t>(row + 599, row + 603),
            (std::vector<uint32_t>{kGreen, C(0x085), C(0x085), kGreen}));
}

TEST_F(DotsVdp2, EachLineShowsItsOwnRegistersAndColourRam) {
  // NBG0: a 16-colour bitmap of code 0 shown through TPON, colour RAM entry 0.
  Apply({R(0x28, 2), R(0x20, 0x101), Cr(0, 0x1F)});
  composer->BeginPeriod(chips);
  log->Append(6, vdp::LineLog::kCramTarget | 0, 0x3E0);
  log->Append(10, 0xF8, 0);
  // The chips hold the period's end state; lines before a write must not see it.
  Apply({R(0xF8, 0), Cr(0, 0x3E0)});
  composer->ComposePeriod(chips, *log, *fb, *picture);
  const uint32_t red = C(0x1F);
  auto column = [&] {
    return std::vector<uint32_t>{picture->Row(5)[0], picture->Row(6)[9], picture->Row(9)[0],
                                 picture->Row(10)[0], picture->Row(223)[319]};
  };
  EXPECT_EQ(column(), (std::vector<uint32_t>{red, kGreen, kGreen, kBlack, kBlack}));
  // An overflowed log: lines from its last entry's line on show the end state.
  Apply({R(0xF8, 7), Cr(0, 0x1F)});
  composer->BeginPeriod(chips);
  log->Clear();
  for (uint32_t i = 0; i <= vdp::LineLog::kCapacity; ++i) log->Append(20, 0x1FE, 0);
  Apply({R(0xF8, 0)});
  composer->ComposePeriod(chips, *log, *fb, *picture);
  EXPECT_EQ(std::vector<uint32_t>({picture->Row(19)[0], picture->Row(20)[0]}),
            (std::vector<uint32_t>{red, kBlack}));
}

// Colour RAM written between the lines of a screen whose cells have drawn the same palette
// long enough to be kept two dots at a time: the lines after the write show the new colour.
TEST_F(DotsVdp2, ColourRamWrittenBetweenLinesReachesKeptPalettes) {
  // NBG0: 16-colour cells, one-word names at 0x2000 (all character 0, palette 0), whose
  // rows are the codes 1 2 2 1 1 9 9 1: colour RAM entry 1 on either dot of a byte.
  Apply({R(0x30, 0x8000), R(0x40, 1)});
  constexpr uint8_t kRow[4] = {0x12, 0x21, 0x19, 0x91};
  for (uint32_t b = 0; b < 32; ++b) vram2->Byte(b) = kRow[b & 3];
  composer->BeginPeriod(chips);
  log->Append(40, vdp::LineLog::kCramTarget | 1, 0x3E0);
  Apply({Cr(1, 0x3E0)});
  composer->ComposePeriod(chips, *log, *fb, *picture);
  const uint32_t g = kGreen;
  for (const auto& [y, row] :
       {std::pair{39, std::vector<uint32_t>{C(1), C(2), C(2), C(1), C(1), C(9), C(9), C(1)}},
        std::pair{40, std::vector<uint32_t>{g, C(2), C(2), g, g, C(9), C(9), g}}}) {
    EXPECT_EQ(std::vector<uint32_t>(picture->Row(y) + 296, picture->Row(y) + 304), row) << y;
  }
}

TEST_F(DotsVdp2, NamesAndColoursWrittenBetweenPeriodsShow) {
  // NBG0 as above; character 1's dots are all code 2. The next period reads the names and
  // colours anew, though it keeps the cells and colour tables of the last one.
  Apply({R(0x30, 0x8000), R(0x40, 1)});
  for (uint32_t b = 0; b < 64; ++b) vram2->Byte(b) = b < 32 ? 0x11 : 0x22;
  Compose();
  Apply({W(0x2000 + 2 * 64 * 12 + 2, 1), Cr(1, 0x3E0)});  // cell (1, 12): character 1
  Compose();
  EXPECT_EQ(
      std::vector<uint32_t>({picture->Row(100)[8], picture->Row(100)[7], picture->Row(95)[8]}),
      (std::vector<uint32_t>{C(2), kGreen, kGreen}));
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
    Apply({R(0, c.tvmd), R(0x20, 0), R(0xAC, 1), W(0x20000, 0x1F)});
    Compose();
    EXPECT_EQ(std::vector<int>({picture->width, picture->height}),
              std::vector<int>({c.width, c.height}))
        << std::hex << c.tvmd;
    EXPECT_EQ(picture->Row(c.height - 1)[c.width - 1], C(0x1F)) << std::hex << c.tvmd;
    picture->Row(c.height - 1)[c.width - 1] = 0;
  }
}

}  // namespace
