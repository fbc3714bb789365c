// Cell-mode planes on screen: colour modes, scrolling with wrap, zoom, flips of 2x2
// characters, colour ratio and offsets, and doubled resolutions.
#include <functional>

#include "vdp2_scene.h"

namespace vdptest {
namespace {

constexpr uint32_t kPage = 8;  // pattern names at 0x10000
constexpr uint32_t kMap = kPage << 13;

class CellPlaneRender : public Vdp2Scene {
 protected:
  // Pattern name at column, row of the one-page plane at kMap.
  static void Name(uint32_t column, uint32_t row, uint16_t name) {
    WriteWordVDP2VRAM(kMap + 2 * (row * 64 + column), name);
  }
  // Four planes A, B, C, D (one page each, at pages 8-11) filled with characters 1-4,
  // whose dots are colours 1-4: red, green, blue, white.
  void FourColouredPlanes() {
    Colour(1, kRed);
    Colour(2, kGreen);
    Colour(3, kBlue);
    Colour(4, kWhite);
    for (uint8_t c = 1; c <= 4; ++c) Bytes(c * 32, static_cast<uint8_t>(c * 0x11), 32);
    SimpleCellNbg0(kPage, 1);
    Reg(vdp2reg::MPABN0, 0x0908);  // A = page 8, B = page 9
    Reg(vdp2reg::MPABN0 + 2, 0x0B0A);
    for (uint16_t p = 1; p < 4; ++p) Words((kPage + p) << 13, static_cast<uint16_t>(p + 1), 4096);
  }
};

TEST_F(CellPlaneRender, EveryColourModeShowsItsDots) {
  struct Case {
    const char* what;
    uint16_t chctla, ramctl;
    std::function<void()> data;  // character 8 at 0x100 and the colours it uses
    Rgba seen;
  };
  const Case cases[] = {
      {"16 colours", 0x0000, 0x1000,
       [] {
         Colour(3, kRed);
         Bytes(0x100, 0x33, 32);
       },
       Seen(kRed)},
      {"256 colours", 0x0010, 0x1000,
       [] {
         Colour(0x45, kGreen);
         Bytes(0x100, 0x45, 64);
       },
       Seen(kGreen)},
      {"2048 colours", 0x0020, 0x1000,
       [] {
         Colour(0x123, kBlue);
         Words(0x100, 0x0123, 64);
       },
       Seen(kBlue)},
      {"32,768 colours", 0x0030, 0x1000, [] { Words(0x100, 0x8000 | kYellow, 64); }, Seen(kYellow)},
      {"16.7M colours",
       0x0040,
       0x1000,
       [] {
         for (uint32_t a = 0x100; a < 0x200; a += 4) WriteLongVDP2VRAM(a, 0x00FF8040);
       },
       {0x40, 0x80, 0xFF, 255}},
      {"16 colours in 24-bit colour RAM",
       0x0000,
       0x2000,
       [] {
         Colour(6, 0x0020);  // dot 3: words 6 and 7, blue 0x20
         Colour(7, 0x90A0);  // green 0x90, red 0xA0
         Bytes(0x100, 0x33, 32);
       },
       {0xA0, 0x90, 0x20, 255}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Reg(vdp2reg::RAMCTL, c.ramctl);
    c.data();
    SimpleCellNbg0(kPage, 8);
    Reg(vdp2reg::CHCTLA, c.chctla);
    ASSERT_TRUE(FrameAndCapture());
    EXPECT_TRUE(ColourNear(Pixel(5, 5), c.seen));
    EXPECT_TRUE(ColourNear(Pixel(310, 220), c.seen));
  }
}

TEST_F(CellPlaneRender, DotZeroIsTransparentUnlessZeroDotOpaque) {
  Colour(0, kBlue);
  Colour(1, kRed);
  Bytes(0x100, 0x01, 32);  // columns alternate dot 0, dot 1
  SimpleCellNbg0(kPage, 8);
  ASSERT_TRUE(FrameAndCapture());
  EXPECT_TRUE(ColourNear(Pixel(0, 3), kBlack));
  EXPECT_TRUE(ColourNear(Pixel(1, 3), Seen(kRed)));
  // The zero-dot mode is not part of a cached cell's key: a character decoded afterwards
  // (or the whole cache after "Clear VDP2 cache") follows it.
  Reg(vdp2reg::BGON, 0x0101);
  Bytes(0x120, 0x01, 32);
  Words(kMap, 9, 4096);
  ASSERT_TRUE(FrameAndCapture());
  EXPECT_TRUE(ColourNear(Pixel(0, 3), Seen(kBlue)));
  EXPECT_TRUE(ColourNear(Pixel(1, 3), Seen(kRed)));
}

TEST_F(CellPlaneRender, EveryNbgShowsItsOwnMap) {
  struct Case {
    const char* what;
    std::function<void()> setUp;
  };
  // Each plane: its map at page 8, character 8 of colour 3 (red) in its colour mode.
  const Case cases[] = {
      {"NBG1, 256 colours",
       [] {
         Reg(vdp2reg::BGON, 0x0002);
         Reg(vdp2reg::PRINA, 0x0100);
         Reg(vdp2reg::CHCTLA, 0x1000);
         Reg(vdp2reg::PNCN0 + 2, 0x8000);
         Reg(vdp2reg::MPABN0 + 4, 0x0808);
         Reg(vdp2reg::MPABN0 + 6, 0x0808);
         Reg(vdp2reg::ZMXIN1, 1);
         Reg(vdp2reg::ZMYIN1, 1);
         Bytes(0x100, 0x03, 64);
       }},
      {"NBG2, 16 colours",
       [] {
         Reg(vdp2reg::BGON, 0x0004);
         Reg(vdp2reg::PRINB, 0x0001);
         Reg(vdp2reg::PNCN0 + 4, 0x8000);
         Reg(vdp2reg::MPABN0 + 8, 0x0808);
         Reg(vdp2reg::MPABN0 + 10, 0x0808);
         Bytes(0x100, 0x33, 32);
       }},
      {"NBG3, 256 colours, 2x2 characters",
       [] {
         Reg(vdp2reg::BGON, 0x0008);
         Reg(vdp2reg::PRINB, 0x0100);
         Reg(vdp2reg::CHCTLB, 0x0030);
         Reg(vdp2reg::PNCN0 + 6, 0x8000);
         Reg(vdp2reg::MPABN0 + 12, 0x2020);  // 2 KB pages: 0x10000
         Reg(vdp2reg::MPABN0 + 14, 0x2020);
         Words(kMap, 2, 1024);  // character 8: four 64-byte cells
         Bytes(0x100, 0x03, 256);
       }},
  };
  Colour(3, kRed);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Words(kMap, 8, 4096);
    c.setUp();
    ASSERT_TRUE(FrameAndCapture());
    EXPECT_TRUE(ColourNear(Pixel(5, 5), Seen(kRed)));
    EXPECT_TRUE(ColourNear(Pixel(300, 200), Seen(kRed)));
    for (uint32_t r = 0x20; r < 0x120; r += 2) Reg(r, 0);
  }
}

TEST_F(CellPlaneRender, ScrollingBothWaysWrapsAroundTheFourPlanes) {
  struct Sample {
    int x, y;
    uint16_t colour;
  };
  struct Case {
    const char* what;
    uint16_t scx, scy;
    std::vector<Sample> samples;
  };
  const Case cases[] = {
      {"no scroll", 0, 0, {{10, 10, kRed}, {310, 210, kRed}}},
      {"right into B", 400, 0, {{100, 10, kRed}, {120, 10, kGreen}}},
      {"left by 16 shows B's right edge", 0x7F0, 0, {{8, 10, kGreen}, {20, 10, kRed}}},
      {"up by 8 shows C's bottom edge", 0, 0x7F8, {{10, 4, kBlue}, {10, 12, kRed}}},
      {"up and left shows D", 0x7F0, 0x7F8, {{8, 4, kWhite}, {20, 4, kBlue}, {8, 12, kGreen}}},
      {"past the map's corner wraps to A",
       1000,
       500,
       {{10, 5, kGreen}, {30, 5, kRed}, {10, 20, kWhite}, {30, 20, kBlue}}},
  };
  FourColouredPlanes();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Reg(vdp2reg::SCXIN0, c.scx);
    Reg(vdp2reg::SCYIN0, c.scy);
    Work() = {};
    ASSERT_TRUE(FrameAndCapture());
    for (const Sample& s : c.samples)
      EXPECT_TRUE(ColourNear(Pixel(s.x, s.y), Seen(s.colour))) << "at " << s.x << ", " << s.y;
    EXPECT_LE(Work().planeQuadsDrawn, 4u);
  }
}

TEST_F(CellPlaneRender, ZoomSpreadsPlaneDotsOverScreenDots) {
  struct Case {
    const char* what;
    uint16_t integer, fraction;
    int columnWidth;  // screen dots per 8-dot character
  };
  const Case cases[] = {{"zoom 1", 1, 0, 8}, {"zoom 0.5", 0, 0x8000, 16}, {"zoom 2", 2, 0, 4}};
  Colour(1, kRed);
  Colour(2, kGreen);
  Bytes(0x20, 0x11, 32);
  Bytes(0x40, 0x22, 32);
  SimpleCellNbg0(kPage, 1);
  for (uint32_t row = 0; row < 64; ++row)
    for (uint32_t col = 1; col < 64; col += 2) Name(col, row, 2);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Reg(vdp2reg::ZMXIN0, c.integer);
    Reg(vdp2reg::ZMXDN0, c.fraction);
    ASSERT_TRUE(FrameAndCapture());
    for (int column = 0; column < 6; ++column) {
      const int x = column * c.columnWidth + c.columnWidth / 2;
      EXPECT_TRUE(ColourNear(Pixel(x, 100), Seen(column % 2 ? kGreen : kRed))) << "x " << x;
    }
  }
}

TEST_F(CellPlaneRender, FlipsMirrorAndSwapTheCellsOf2x2Characters) {
  // Character 8 (cells at 0x100-0x17F): cell 0 red in its top-left quarter and green
  // elsewhere; cells 1, 2, 3 blue, white, yellow.
  const uint16_t colours[6] = {0, kRed, kGreen, kBlue, kWhite, kYellow};
  for (uint32_t i = 1; i < 6; ++i) Colour(i, colours[i]);
  for (uint32_t row = 0; row < 8; ++row)
    for (uint32_t b = 0; b < 4; ++b)
      WriteByteVDP2VRAM(0x100 + row * 4 + b, row < 4 && b < 2 ? 0x11 : 0x22);
  Bytes(0x120, 0x33, 32);
  Bytes(0x140, 0x44, 32);
  Bytes(0x160, 0x55, 32);
  SimpleCellNbg0(kPage * 4, 0);
  Reg(vdp2reg::CHCTLA, 0x0001);
  for (int flips = 0; flips < 4; ++flips) {
    const int h = flips & 1, v = flips >> 1;
    SCOPED_TRACE(testing::Message() << "h flip " << h << ", v flip " << v);
    Words(kMap, static_cast<uint16_t>(2 | (h << 10) | (v << 11)), 1024);
    ASSERT_TRUE(FrameAndCapture());
    // Screen cell (qx, qy) of the 16-dot pattern shows source cell (qx ^ h) + 2 (qy ^ v),
    // mirrored: its quarter (ux, uy) is the source's (ux ^ h, uy ^ v).
    for (int qy = 0; qy < 2; ++qy)
      for (int qx = 0; qx < 2; ++qx)
        for (int uy = 0; uy < 2; ++uy)
          for (int ux = 0; ux < 2; ++ux) {
            const int k = (qx ^ h) + 2 * (qy ^ v);
            const bool topLeft = (ux ^ h) == 0 && (uy ^ v) == 0;
            const uint16_t expected = k == 0 ? (topLeft ? kRed : kGreen) : colours[k + 2];
            const int x = 16 + qx * 8 + ux * 4 + 1, y = 16 + qy * 8 + uy * 4 + 2;
            EXPECT_TRUE(ColourNear(Pixel(x, y), Seen(expected))) << "at " << x << ", " << y;
          }
  }
}

TEST_F(CellPlaneRender, RatioAndColourOffsetsChangeThePlanesColours) {
  struct Case {
    const char* what;
    uint16_t ccrna, clofen, clofsl;
    uint16_t a[3], b[3];
    Rgba seen;
  };
  // The plane's colour is (128, 128, 128); the picture behind it is black.
  const Case cases[] = {
      {"plain", 0, 0, 0, {0x40, 0x40, 0x40}, {0, 0, 0}, {128, 128, 128, 255}},
      {"ratio 16 lets half of the black through",
       16,
       0,
       0,
       {0, 0, 0},
       {0, 0, 0},
       {64, 64, 64, 255}},
      {"offset A: +64 red, -63 green", 0, 1, 0, {0x040, 0x1C0, 0}, {0, 0, 0}, {192, 96, 128, 255}},
      {"offset B selected", 0, 1, 1, {0x040, 0, 0}, {0, 0, 0x1C0}, {128, 128, 96, 255}},
      {"offset enabled for another plane only",
       0,
       2,
       0,
       {0x040, 0x040, 0x040},
       {0, 0, 0},
       {128, 128, 128, 255}},
  };
  const uint16_t grey = Rgb5(16, 16, 16);
  Colour(1, grey);
  Bytes(0x20, 0x11, 32);
  SimpleCellNbg0(kPage, 1);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Reg(vdp2reg::CCRNA, c.ccrna);
    Reg(vdp2reg::CLOFEN, c.clofen);
    Reg(vdp2reg::CLOFSL, c.clofsl);
    for (int i = 0; i < 3; ++i) {
      Reg(vdp2reg::COAR + 2 * i, c.a[i]);
      Reg(vdp2reg::COBR + 2 * i, c.b[i]);
    }
    ASSERT_TRUE(FrameAndCapture());
    EXPECT_TRUE(ColourNear(Pixel(100, 100), c.seen, 4));
  }
}

TEST_F(CellPlaneRender, DoubledResolutionsStretchThePlaneAlongTheDoubledAxis) {
  struct Case {
    const char* what;
    uint16_t tvmd;
    int width, height, xScale, yScale;
  };
  const Case cases[] = {
      {"320 x 224 double density", 0x80C0, 640, 448, 2, 1},
      {"640 x 224 high resolution", 0x8002, 640, 448, 1, 2},
      {"704 x 240 high resolution", 0x8093, 704, 480, 1, 2},
  };
  Colour(1, kRed);
  Colour(2, kGreen);
  Bytes(0x20, 0x11, 32);
  Bytes(0x40, 0x22, 32);
  SimpleCellNbg0(kPage, 1);
  for (uint32_t row = 0; row < 64; ++row)
    for (uint32_t col = 0; col < 64; ++col)
      if ((row + col) % 2) Name(col, row, 2);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Screen(c.tvmd);
    ASSERT_TRUE(FrameAndCapture());
    ASSERT_EQ(pictureWidth, c.width);
    ASSERT_EQ(pictureHeight, c.height);
    for (int cy = 0; cy < 4; ++cy)
      for (int cx = 0; cx < 4; ++cx) {
        const int x = (cx * 8 + 4) * c.xScale, y = (cy * 8 + 4) * c.yScale;
        EXPECT_TRUE(ColourNear(Pixel(x, y), Seen((cx + cy) % 2 ? kGreen : kRed)))
            << "at " << x << ", " << y;
      }
    // The last screen line still shows the plane.
    EXPECT_FALSE(ColourNear(Pixel(c.width - 3, c.height - 3), kBlack));
  }
}

}  // namespace
}  // namespace vdptest
