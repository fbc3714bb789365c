// The dot-by-dot VDP1: dots a few commands leave in the frame buffer, worked out by hand from
// the hardware digest, and the buffers' change and erase rules.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <iterator>
#include <memory>
#include <random>
#include <vector>

#include "dots/frame_buffer.h"

namespace {

struct DotsVdp1 : ::testing::Test {
  uint16_t regs[12] = {};
  std::unique_ptr<vdp::ConsoleMemory> vram = std::make_unique<vdp::ConsoleMemory>();
  std::unique_ptr<dots::FrameBuffers> fb = std::make_unique<dots::FrameBuffers>();

  dots::ChipView View() { return {regs, vram.get()}; }
  void Put(uint32_t at, std::initializer_list<uint16_t> words) {
    for (uint16_t w : words) vram->Word(at) = w, at += 2;
  }
  // CMDCTRL, CMDLINK, CMDPMOD, CMDCOLR, CMDSRCA, CMDSIZE, XA, YA, XB, YB, XC, YC, XD, YD, GRDA.
  void Table(uint32_t index, const std::vector<uint16_t>& words) {
    for (size_t i = 0; i < words.size(); ++i) vram->Word(index * 32 + 2 * i) = words[i];
  }
  void End(uint32_t index) { Table(index, {0x8000}); }
  // One line A-B, colour c, draw mode m, gouraud table at 0x800.
  static std::vector<uint16_t> LineTable(uint16_t c, int xa, int ya, int xb, int yb, int m = 0xC0) {
    return {6, 0, uint16_t(m), c, 0,    0, uint16_t(xa), uint16_t(ya), uint16_t(xb), uint16_t(yb),
            0, 0, 0,           0, 0x100};
  }
  void Line(uint32_t index, uint16_t c, int xa, int ya, int xb, int yb, int m = 0xC0) {
    Table(index, LineTable(c, xa, ya, xb, yb, m));
  }
  uint16_t Dot(int x, int y) { return fb->ReadWord(y * 1024 + x * 2); }
  std::vector<uint16_t> Row(int x, int y, int n) {
    std::vector<uint16_t> r;
    for (int i = 0; i < n; ++i) r.push_back(Dot(x + i, y));
    return r;
  }
  void Draw() { fb->DrawNow(View()); }
};

TEST_F(DotsVdp1, BuffersChangeAndEraseAsFbcrAndTvmrSay) {
  regs[3] = 0x8001;           // EWDR
  regs[5] = (64 << 9) | 255;  // EWRR: the whole 512x256 buffer
  fb->WriteWord(0, 0x1234);
  fb->OnFrameChange(View());  // one-cycle: the drawn buffer is shown, not yet erased
  EXPECT_EQ(fb->Displayed().ReadWord(0), 0x1234);
  fb->OnFrameChange(View());  // erased while shown, then drawn again
  EXPECT_EQ(fb->ReadWord(0), 0x8001);
  EXPECT_EQ(fb->Displayed().ReadWord(0), 0) << "the other buffer was being drawn, not erased";

  regs[1] = 2;  // manual mode: no change without a request
  fb->WriteWord(0, 0x4321);
  fb->OnFrameChange(View());
  EXPECT_EQ(fb->ReadWord(0), 0x4321);
  fb->OnFbcrWrite(3);  // change
  fb->OnFrameChange(View());
  EXPECT_EQ(fb->Displayed().ReadWord(0), 0x4321);
  fb->OnFbcrWrite(2);  // erase during the next field, no change
  fb->OnFrameChange(View());
  EXPECT_EQ(fb->Displayed().ReadWord(0), 0x4321) << "erased behind the beam, still shown";
  fb->OnFrameChange(View());
  EXPECT_EQ(fb->Displayed().ReadWord(0), 0x8001);

  fb->Reset();  // still manual; high resolution, a dot shown, then erased in V-blank and changed
  regs[0] = 1;
  fb->WriteWord(2 * 1024 + 14, 0x5555);
  fb->OnFbcrWrite(3);
  fb->OnFrameChange(View());
  regs[0] = 8 | 1;
  regs[3] = 0x1234;
  regs[4] = (1 << 9) | 2;  // columns 16.., rows 2..3
  regs[5] = (2 << 9) | 3;  // ..31
  fb->OnFbcrWrite(3);
  fb->OnFrameChange(View());
  const int expected[][3] = {{2, 16, 0x12}, {2, 17, 0x34}, {3, 31, 0x34},
                             {3, 32, 0},    {4, 16, 0},    {1, 16, 0}};
  for (auto [row, x, byte] : expected)
    EXPECT_EQ(fb->ReadByte(row * 1024 + x), byte) << row << "," << +x;
  EXPECT_EQ(fb->ReadWord(2 * 1024 + 14), 0x5555) << "outside the erase area";

  fb->Reset();  // one-cycle, 16-bit: columns 8..15 of row 1 (units of 8 dots)
  regs[0] = regs[1] = 0;
  regs[4] = (1 << 9) | 1;
  regs[5] = (2 << 9) | 1;
  for (int x : {7, 8, 15, 16}) fb->WriteWord(1024 + 2 * x, 0x5555);
  fb->OnFrameChange(View());
  fb->OnFrameChange(View());
  std::vector<uint16_t> erased(10, 0x1234);
  erased.front() = erased.back() = 0x5555;
  EXPECT_EQ(Row(7, 1, 10), erased);
}

TEST_F(DotsVdp1, CommandWalkFollowsJumpsCallsSkipsAndStopsOnLoops) {
  // Table address, JP, link; each draws one dot at (index, 0) unless skipped.
  const struct {
    uint32_t at, jump, link;
  } tables[] = {{0x000, 0, 0},     {0x020, 4, 0},     {0x040, 1, 0x100},
                {0x060, 0, 0},     {0x100, 2, 0x200}, {0x200, 3, 0},
                {0x120, 6, 0x240}, {0x240, 7, 0},     {0x140, 5, 0x300}};
  for (int i = 0; i < 9; ++i) {
    Line(tables[i].at / 32, 0x8001, i, 0, i, 0);
    Put(tables[i].at, {uint16_t(tables[i].jump << 12 | 6), uint16_t(tables[i].link / 8)});
  }
  End(0x300 / 32);
  Draw();
  EXPECT_EQ(Row(0, 0, 9), (std::vector<uint16_t>{0x8001, 0, 0x8001, 0, 0x8001, 0x8001, 0, 0, 0}));
  EXPECT_TRUE(fb->LastDraw().reachedEnd);
  EXPECT_EQ(fb->LastDraw().commands, 9u);

  // A full-plane polygon jumping to itself: bounded by the draw's time, screen filled.
  Table(0, {0x1004, 0, 0xC0, 0x8002, 0, 0, 0xFC00, 0xFC00, 1023, 0xFC00, 1023, 1023, 0xFC00, 1023});
  Draw();
  EXPECT_FALSE(fb->LastDraw().reachedEnd);
  EXPECT_LE(fb->LastDraw().steps, dots::Vdp1Raster::kStepLimit);
  EXPECT_EQ(Dot(511, 255), 0x8002);
  Table(0, {0x1000 | 10, 0});  // local coordinates, jumping to itself
  Draw();
  EXPECT_EQ(fb->LastDraw().commands, dots::Vdp1Raster::kCommandLimit);
}

TEST_F(DotsVdp1, SpritesMapTheirTexelsAndFlips) {
  // 8x2 texture of 256-colour texels 0x10..0x17 over 0x20..0x27 at 0x1000, bank 0x1200. A
  // one-row part samples the centre of the two rows: row 1.
  for (int i = 0; i < 16; ++i) vram->Byte(0x1000 + i) = uint8_t(0x10 + (i & 7) + (i / 8) * 0x10);
  const std::vector<uint16_t> row0{0x1210, 0x1211, 0x1212, 0x1213, 0x1214, 0x1215, 0x1216, 0x1217},
      row1{0x1220, 0x1221, 0x1222, 0x1223, 0x1224, 0x1225, 0x1226, 0x1227},
      back1{0x1227, 0x1226, 0x1225, 0x1224, 0x1223, 0x1222, 0x1221, 0x1220};
  const struct {
    uint16_t control;
    std::vector<uint16_t> vertices;
    int x, y;
    std::vector<uint16_t> dots;
    uint16_t mode = 0xE0, fbcr = 0;
  } cases[] = {
      {0x00, {10, 5}, 10, 6, row1},                                                 // normal
      {0x20, {10, 5}, 10, 6, row0},                                                 // vertical flip
      {0x01, {0, 0, 0, 0, 3, 0}, 0, 0, {0x1221, 0x1223, 0x1225, 0x1227, 0}},        // x4/8: 1 3 5 7
      {0x01, {0, 0, 0, 0, 2, 0}, 0, 0, {0x1221, 0x1224, 0x1226, 0}},                // x3/8: 1 4 6
      {0x01, {0, 0, 0, 0, 2, 0}, 0, 0, {0x1220, 0x1224, 0x1226, 0}, 0x10E0},        // HSS, EOS even
      {0x01, {0, 0, 0, 0, 2, 0}, 0, 0, {0x1221, 0x1225, 0x1227, 0}, 0x10E0, 0x10},  // EOS odd
      {0x01, {20, 10, 0, 0, 13, 10}, 13, 10, back1},  // C left of A: flipped
      {0x11, {20, 10, 0, 0, 13, 10}, 13, 10, row1},   // and Dir: flips cancel
      {0x0701, {100, 60, 7, 0}, 93, 60, row1},        // zoom point top-right
      {0x0A01, {100, 60, 7, 0}, 97, 60, row1},        // centre: dot 3 at A
      {0x0D01, {100, 60, 7, 0}, 100, 60, row1},       // bottom-left
      {0x02, {0, 0, 7, 0, 7, 1, 0, 1}, 0, 1, row1},   // distorted, two lines
      {0x12, {0, 0, 7, 0, 7, 1, 0, 1}, 0, 1, back1},  // with horizontal flip
  };
  for (const auto& c : cases) {
    Table(0, {c.control, 0, c.mode, 0x1200, 0x200, 0x0102});
    regs[1] = c.fbcr;
    for (size_t i = 0; i < c.vertices.size(); ++i) Put(12 + 2 * i, {c.vertices[i]});
    End(1);
    fb->Reset();
    Draw();
    EXPECT_EQ(Row(c.x, c.y, int(c.dots.size())), c.dots) << "control " << c.control;
  }
}

TEST_F(DotsVdp1, ShapesClipWindowsAndLocalCoordinates) {
  constexpr uint16_t c = 0x801F;
  const std::vector<uint16_t> userClip{8, 0, 0, 0, 0, 0, 10, 10, 0, 0, 20, 20};
  const struct {
    const char* what;
    std::vector<std::vector<uint16_t>> tables;
    std::vector<std::array<int, 3>> dots;  // x, y, dot
  } cases[] = {
      {"mesh polygon",
       {{4, 0, 0x1C0, c, 0, 0, 0, 0, 3, 0, 3, 1, 0, 1}},
       {{0, 0, c}, {1, 0, 0}, {2, 0, c}, {3, 0, 0}, {0, 1, 0}, {1, 1, c}, {2, 1, 0}, {3, 1, c}}},
      {"polygon lines are 4-connected",
       {{4, 0, 0xC0, c, 0, 0, 0, 0, 2, 2, 2, 2, 0, 0}},
       {{0, 0, c}, {1, 0, c}, {1, 1, c}, {2, 1, c}, {2, 2, c}, {0, 1, 0}}},
      {"a line is not; both ends are drawn",
       {LineTable(c, 0, 0, 5, 2)},
       {{0, 0, c}, {2, 1, c}, {3, 1, c}, {5, 2, c}, {2, 0, 0}, {1, 1, 0}, {6, 2, 0}}},
      {"mesh: a 45-degree line from an odd dot draws nothing (so lines have no hole fill)",
       {LineTable(c, 1, 0, 3, 2, 0x1C0)},
       {{1, 0, 0}, {2, 0, 0}, {1, 1, 0}, {2, 1, 0}, {3, 1, 0}, {2, 2, 0}, {3, 2, 0}}},
      {"polyline: four 8-connected lines",
       {{5, 0, 0xC0, c, 0, 0, 0, 0, 4, 0, 4, 4, 2, 2}},
       {{2, 0, c}, {4, 2, c}, {3, 3, c}, {1, 1, c}, {3, 4, 0}, {1, 2, 0}, {2, 1, 0}}},
      {"gouraud polygon: R and B 8, 16, 24, 16 at A-D",
       {{4, 0, 0xC4, 0xC010, 0, 0, 0, 0, 2, 0, 2, 2, 0, 2, 0x100}},
       {{0, 0, 0xA008}, {2, 0, 0xC010}, {1, 1, 0xC010}, {0, 2, 0xC010}, {2, 2, 0xE018}}},
      {"gouraud sprite: corners on screen",
       {{0, 0, 0xEC, 0, 0x600, 0x0102, 0, 0, 0, 0, 0, 0, 0, 0, 0x100}},
       {{0, 0, 0xA008}, {7, 0, 0xC010}, {0, 1, 0xC010}, {7, 1, 0xE018}}},
      {"system clip",
       {{9, 0, 0, 0, 0, 0, 0, 0, 0, 0, 319, 223}, LineTable(c, 315, 5, 325, 5)},
       {{315, 5, c}, {319, 5, c}, {320, 5, 0}}},
      {"no pre-clipping: the same dots",
       {{9, 0, 0, 0, 0, 0, 0, 0, 0, 0, 319, 223}, LineTable(c, 325, 5, 315, 5, 0x8C0)},
       {{315, 5, c}, {319, 5, c}, {320, 5, 0}}},
      {"local coordinates",
       {{10, 0, 0, 0, 0, 0, 160, 112}, LineTable(c, 0xFFFF, 0, 1, 0)},
       {{158, 112, 0}, {159, 112, c}, {161, 112, c}, {162, 112, 0}}},
      {"user clip inside",
       {userClip, LineTable(c, 5, 15, 25, 15, 0x4C0)},
       {{9, 15, 0}, {10, 15, c}, {20, 15, c}, {21, 15, 0}}},
      {"user clip outside",
       {userClip, LineTable(c, 5, 15, 25, 15, 0x6C0)},
       {{5, 15, c}, {9, 15, c}, {10, 15, 0}, {20, 15, 0}, {21, 15, c}}},
  };
  Put(0x800, {0x2208, 0x4210, 0x6218, 0x4210});
  for (uint32_t i = 0; i < 16; ++i) vram->Word(0x3000 + 2 * i) = 0xC010;  // 8x2 RGB texture
  for (const auto& k : cases) {
    fb->Reset();
    for (uint32_t i = 0; i < k.tables.size(); ++i) Table(i, k.tables[i]);
    End(uint32_t(k.tables.size()));
    Draw();
    for (auto [x, y, dot] : k.dots) EXPECT_EQ(Dot(x, y), dot) << k.what << " at " << x << "," << y;
  }
}

TEST_F(DotsVdp1, QuadLinesJoinEdgeADToEdgeBCAndDoubleWrittenDotsShow) {
  // A(0,0) B(4,0) C(4,2) D(0,4): A-D has 4 steps, B-C 2, so 5 lines from (0,i) to (4,y) with
  // y = 0 1 1 2 2; lines 2-4 step up, with their filling dots (new X, old Y). Black drawn
  // half-transparent over white: once 0xBDEF, twice 0x9CE7 (the seams); (4,3) spills past
  // C-D. A palette base dot (0,0) is replaced.
  constexpr uint16_t o = 0xBDEF, t = 0x9CE7, w = 0xFFFF;
  const std::vector<uint16_t> rows[5] = {
      {0x8000, o, o, o, o}, {o, o, o, t, t}, {o, o, o, t, t}, {o, o, t, t, o}, {o, o, o, w, w}};
  for (uint32_t i = 0; i < 8; ++i) vram->Word(0x3000 + 2 * i) = 0x8000;  // 8x1 RGB texture
  for (uint16_t kind : {4, 2}) {                                         // polygon, distorted
    fb->Reset();
    for (int i = 0; i < 25; ++i) fb->WriteWord((i / 5) * 1024 + (i % 5) * 2, i ? w : 0x1234);
    Table(0, {kind, 0, 0xEB, 0x8000, 0x600, 0x0101, 0, 0, 4, 0, 4, 2, 0, 4});
    End(1);
    Draw();
    for (int y = 0; y < 5; ++y) EXPECT_EQ(Row(0, y, 5), rows[y]) << "kind " << kind << " row " << y;
  }
}

TEST_F(DotsVdp1, ColourModesTransparentAndEndCodes) {
  vram->Word(0x1006) = 0x8421;  // look-up table at 0x1000, word 3
  const std::vector<uint16_t> nibbles{0x10F2, 0xF345}, bytes{0xC540, 0x00FF, 0x01FF, 0x0101},
      rgb{0x8123, 0, 0x7FFF, 0x8001, 0x7FFF, 0x8002, 1, 1};
  const struct {
    uint16_t mode, colour;
    std::vector<uint16_t> texels;  // console words at 0x2000
    std::vector<uint16_t> dots;    // x = 0..7
    uint16_t control = 0;          // 1: scaled to 4 dots
    uint16_t x = 0;                // vertex A's X
  } cases[] = {
      {0x00, 0x0100, nibbles, {0x0101, 0, 0, 0x0102, 0, 0, 0, 0}},  // 2nd end code ends the row
      {0x80, 0x0100, nibbles, {0x0101, 0, 0x010F, 0x0102, 0x010F, 0x0103, 0x0104, 0x0105}},
      {0xC0, 0x0100, nibbles, {0x0101, 0x0100, 0x010F, 0x0102, 0x010F, 0x0103, 0x0104, 0x0105}},
      {0x10, 0x1234, bytes, {0x1205, 0x1200, 0, 0, 0x1201, 0, 0, 0}},  // end code 0xFF
      {0x18, 0x1234, bytes, {0x1245, 0x1240, 0, 0, 0x1201, 0, 0, 0}},
      {0x20, 0x1234, bytes, {0x12C5, 0x1240, 0, 0, 0x1201, 0, 0, 0}},
      {0xA0, 0x1234, bytes, {0x12C5, 0x1240, 0, 0x12FF, 0x1201, 0x12FF, 0x1201, 0x1201}},
      {0x08, 0x0200, {0x3033, 0x3333}, {0x8421, 0, 0x8421, 0x8421, 0x8421, 0x8421, 0x8421, 0x8421}},
      {0x28, 0, rgb, {0x8123, 0, 0, 0x8001, 0, 0, 0, 0}},
      {0xA8, 0, rgb, {0x8123, 0, 0x7FFF, 0x8001, 0x7FFF, 0x8002, 1, 1}},
      // High-speed shrink reads texels 0 2 4 6 (F F 3 5); end codes are colours then.
      {0x1000, 0x0100, {0xF1F2, 0x3456}, {0x010F, 0x010F, 0x0103, 0x0105, 0, 0, 0, 0}, 1},
      // From X = -3: the end code read off the screen still counts.
      {0x00, 0x0100, nibbles, {0x0102, 0, 0, 0, 0, 0, 0, 0}, 0, 0xFFFD},
  };
  for (const auto& k : cases) {
    fb->Reset();
    Table(0, {k.control, 0, k.mode, k.colour, 0x400, 0x0101, k.x, 0, 0, 0, 3, 0});
    End(1);
    for (size_t i = 0; i < k.texels.size(); ++i) vram->Word(0x2000 + 2 * i) = k.texels[i];
    Draw();
    EXPECT_EQ(Row(0, 0, 8), k.dots) << "draw mode " << k.mode;
  }
}

TEST_F(DotsVdp1, ColourCalculationsGouraudAndMsbOn) {
  const struct {
    uint16_t mode, colour, base, shade, dot;
  } cases[] = {
      {0xC0, 0x801F, 0x1234, 0, 0x801F},    // replace
      {0xC1, 0x801F, 0x7FFF, 0, 0x7FFF},    // shadow: palette base untouched
      {0xC1, 0x801F, 0xFFFF, 0, 0xBDEF},    // RGB base halved
      {0xC2, 0x801F, 0x1234, 0, 0x800F},    // half-luminance
      {0xC2, 0x001F, 0x1234, 0, 0x001F},    // not on a palette code
      {0xC3, 0x801F, 0x0005, 0, 0x801F},    // half-transparency over a palette base: replace
      {0xC3, 0x801F, 0xFC00, 0, 0xBC0F},    // over RGB: the mean
      {0xC4, 0x8A1F, 0, 0x021F, 0x821F},    // gouraud: R 31+15, G 16, B 2-16, clamped
      {0xC6, 0x801F, 0, 0x4210, 0x800F},    // gouraud then half-luminance
      {0x80C0, 0x801F, 0x0123, 0, 0x8123},  // MSB on: only bit 15 of the base
  };
  for (const auto& k : cases) {
    fb->Reset();
    Line(0, k.colour, 0, 0, 0, 0, k.mode);
    End(1);
    Put(0x800, {k.shade, k.shade, k.shade, k.shade});
    fb->WriteWord(0, k.base);
    Draw();
    EXPECT_EQ(Dot(0, 0), k.dot) << "draw mode " << k.mode << " base " << k.base;
  }
  // Along a line, the shade moves from A's value to B's: R -4, 0, +4.
  fb->Reset();
  Line(0, 0x8010, 0, 0, 2, 0, 0xC4);
  Put(0x800, {0x420C, 0x4214});
  Draw();
  EXPECT_EQ(Row(0, 0, 3), (std::vector<uint16_t>{0x800C, 0x8010, 0x8014}));
}

TEST_F(DotsVdp1, DotFormsPerTvModeAndInterlaceAndTheHostWindow) {
  Line(0, 0x127E, 3, 2, 3, 2);
  Line(1, 0x12AB, 3, 300, 3, 300);
  Line(2, 0x8001, 512, 0, 512, 0);
  End(3);
  regs[0] = 1;  // high resolution: 1024 bytes a row, one a dot
  Draw();
  EXPECT_EQ(fb->ReadWord(2 * 1024 + 2), 0x007E);
  regs[0] = 3;  // rotation 8: 512 rows of 512
  Draw();
  EXPECT_EQ(fb->ReadByte(300 * 512 + 3), 0xAB);
  fb->Reset();
  regs[0] = 2;  // rotation 16: 16-bit dots, 256 rows of 512
  Draw();
  EXPECT_EQ(fb->ReadWord(2 * 1024 + 6), 0x127E);
  EXPECT_EQ(fb->ReadWord(44 * 1024 + 6), 0) << "row 300 is past the buffer, not wrapped";
  fb->Reset();
  regs[0] = 0;
  Draw();
  EXPECT_EQ(Dot(0, 1), 0) << "beyond the 512-dot row nothing is written";

  regs[1] = 0x0C;  // double density, odd lines; taken at the change
  fb->OnFrameChange(View());
  Line(0, 0x8001, 0, 0, 3, 3);
  End(1);
  Draw();
  EXPECT_EQ(Row(0, 0, 2), (std::vector<uint16_t>{0, 0x8001}));
  EXPECT_EQ(Row(2, 1, 2), (std::vector<uint16_t>{0, 0x8001}));
  regs[1] = 0x08;  // even lines: plane rows 0 and 2 at buffer rows 0 and 1
  fb->OnFrameChange(View());
  Draw();
  EXPECT_EQ(Row(0, 0, 2), (std::vector<uint16_t>{0x8001, 0}));
  EXPECT_EQ(Row(2, 1, 2), (std::vector<uint16_t>{0x8001, 0}));

  fb->WriteLong(0x40004, 0x11223344);
  EXPECT_EQ(fb->ReadWord(4), 0x1122);
  EXPECT_EQ(fb->ReadByte(7), 0x44);
  EXPECT_EQ(fb->ReadLong(0x80004), 0x11223344u);
  EXPECT_EQ(fb->Displayed().ReadLong(4), 0u) << "the window shows the draw buffer";
}

}  // namespace

// The row loops (unscaled rows a long of texels at a time, rectangles clipped once, packed
// gouraud) leave the buffer exactly as the step-by-step line does, over random tables of
// every kind of part, colour mode, flip, clip, end code, calculation and buffer form.
TEST(DotsVdp1Rows, DrawWhatTheStepByStepLineDraws) {
  std::mt19937 rng(7);
  auto pick = [&](uint32_t n) { return static_cast<uint32_t>(rng() % n); };
  auto vram = std::make_unique<vdp::ConsoleMemory>();
  auto rows = std::make_unique<dots::FrameBufferMemory>();
  auto steps = std::make_unique<dots::FrameBufferMemory>();
  const uint8_t codes[] = {0x00, 0xFF, 0x0F, 0xF0, 0x7F, 0x12, 0x9A, 0x40};
  for (int round = 0; round < 30; ++round) {
    // Textures mostly dots, with transparent and end codes among them.
    for (uint32_t a = 0x4000; a < 0x8000; ++a)
      vram->Byte(a) = static_cast<uint8_t>(pick(4) ? rng() : codes[pick(8)]);
    for (uint32_t i = 0; i < 4 * 4; ++i) vram->Word(0x8000 + 2 * i) = static_cast<uint16_t>(rng());
    static constexpr uint16_t kKinds[] = {0, 0, 0, 1, 1, 2, 4, 5, 6, 8, 9, 10};
    uint32_t at = 0;
    for (int c = 0; c < 40; ++c, at += 32) {
      const uint16_t kind = kKinds[pick(12)];
      auto coordinate = [&](uint32_t span) { return static_cast<uint16_t>(pick(span) - 40); };
      const uint16_t words[] = {
          static_cast<uint16_t>(kind | (pick(4) == 0 ? 0x0030 : 0) | pick(16) << 8),  // flips, zoom
          0,
          // CMDPMOD, half of them without mesh and MSB-on, which the loops store straight.
          static_cast<uint16_t>(rng() & (pick(2) ? 0x9FFF : 0x1EFF)), static_cast<uint16_t>(rng()),
          static_cast<uint16_t>(0x800 + pick(0x780)),                  // CMDSRCA
          static_cast<uint16_t>((1 + pick(6)) << 8 | (1 + pick(24))),  // CMDSIZE
          coordinate(420), coordinate(300), coordinate(420), coordinate(300), coordinate(420),
          coordinate(300), coordinate(420), coordinate(300),
          static_cast<uint16_t>(0x1000 + pick(4))};  // gouraud tables at 0x8000
      for (size_t i = 0; i < std::size(words); ++i) vram->Word(at + 2 * i) = words[i];
      if ((kind == 2 || kind == 4) && pick(3) == 0) {
        // An upright rectangle, A at its upper left: drawn as a sprite's rows.
        const uint16_t x0 = words[6], y0 = words[7], x1 = words[6] + pick(40),
                       y1 = words[7] + pick(40);
        const uint16_t corners[] = {x0, y0, x1, y0, x1, y1, x0, y1};
        for (size_t i = 0; i < std::size(corners); ++i) vram->Word(at + 12 + 2 * i) = corners[i];
      }
    }
    vram->Word(at) = 0x8000;
    const dots::ChipView chips{nullptr, vram.get()};
    for (uint32_t tvm : {0u, 1u, 3u}) {
      dots::DrawTarget target;
      target.geometry = dots::FrameGeometry::Of(tvm);
      target.doubleDensity = pick(4) == 0;
      target.lineParity = pick(2);
      target.shrinkParity = pick(2);
      for (uint32_t& l : rows->longs) l = static_cast<uint32_t>(rng());
      std::memcpy(steps->longs, rows->longs, sizeof(rows->longs));
      dots::Vdp1Raster fast, reference;
      reference.UseRows(false);
      target.memory = rows.get();
      fast.Draw(chips, target);
      target.memory = steps.get();
      reference.Draw(chips, target);
      const auto* r = rows->longs;
      const auto* s = steps->longs;
      const size_t n = std::size(rows->longs);
      const size_t differ = std::mismatch(r, r + n, s).first - r;
      ASSERT_EQ(differ, n) << "round " << round << ", TVM " << tvm << ": first difference at byte "
                           << differ * 4;
    }
  }
}
