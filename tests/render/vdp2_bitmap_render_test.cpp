// Bitmap planes on screen: colour modes, scroll, zoom, and RBG0 in a large picture.
#include <functional>

#include "vdp2_scene.h"

namespace vdptest {
namespace {

class BitmapPlaneRender : public Vdp2Scene {
 protected:
  // NBG0 as a bitmap at priority 1, zoom 1, base 0; chctla carries size and colour mode.
  void BitmapNbg0(uint16_t chctla) {
    Reg(vdp2reg::BGON, 0x0001);
    Reg(vdp2reg::PRINA, 0x0001);
    Reg(vdp2reg::CHCTLA, static_cast<uint16_t>(chctla | 0x0002));
    UnitZoom();
  }
  // A 512 x 256 bitmap of 256 colours at `base`: colour 1 (red) left of x = 256, colour 2
  // (green) from there on, with column 96-111 colour 3 (blue) and row 100 colour 4.
  void SplitBitmap256(uint32_t base) {
    Colour(1, kRed);
    Colour(2, kGreen);
    Colour(3, kBlue);
    Colour(4, kWhite);
    for (uint32_t y = 0; y < 256; ++y) {
      const uint32_t row = base + y * 512;
      Bytes(row, y == 100 ? 4 : 1, 256);
      Bytes(row + 256, y == 100 ? 4 : 2, 256);
      if (y != 100) Bytes(row + 96, 3, 16);
    }
  }
};

TEST_F(BitmapPlaneRender, EveryColourModeShowsItsDots) {
  struct Case {
    const char* what;
    std::function<void()> setUp;  // registers and the first 16 rows of a 512-wide bitmap
    Rgba seen;
  };
  const Case cases[] = {
      {"NBG0, 16 colours, palette 2",
       [this] {
         BitmapNbg0(0x0000);
         Reg(vdp2reg::BMPNA, 0x0002);
         Colour(32 + 5, kRed);
         Bytes(0, 0x55, 256 * 16);
       },
       Seen(kRed)},
      {"NBG0, 256 colours, colour RAM offset 1",
       [this] {
         BitmapNbg0(0x0010);
         Reg(vdp2reg::RAMCTL, 0x1000);
         Reg(vdp2reg::CRAOFA, 0x0001);
         Colour(256 + 0x21, kGreen);
         Bytes(0, 0x21, 512 * 16);
       },
       Seen(kGreen)},
      {"NBG0, 2048 colours",
       [this] {
         BitmapNbg0(0x0020);
         Reg(vdp2reg::RAMCTL, 0x1000);
         Colour(0x456, kBlue);
         Words(0, 0x0456, 512 * 16);
       },
       Seen(kBlue)},
      {"NBG0, 32,768 colours",
       [this] {
         BitmapNbg0(0x0030);
         Words(0, kYellow, 512 * 16);
       },
       Seen(kYellow)},
      {"NBG0, 16.7M colours",
       [this] {
         BitmapNbg0(0x0040);
         for (uint32_t a = 0; a < 4 * 512 * 16; a += 4) WriteLongVDP2VRAM(a, 0x00204080);
       },
       {0x80, 0x40, 0x20, 255}},
      {"NBG1, 32,768 colours, map offset 1",
       [this] {
         Reg(vdp2reg::BGON, 0x0002);
         Reg(vdp2reg::PRINA, 0x0100);
         Reg(vdp2reg::CHCTLA, 0x3200);
         Reg(vdp2reg::MPOFN, 0x0010);
         UnitZoom();
         Words(0x20000, kWhite, 512 * 16);
       },
       Seen(kWhite)},
      {"RBG0, 256 colours, palette 1, rotation parameter B's map offset",
       [this] {
         Reg(vdp2reg::BGON, 0x0010);
         Reg(vdp2reg::PRIR, 0x0001);
         Reg(vdp2reg::CHCTLB, 0x1200);
         Reg(vdp2reg::BMPNB, 0x0001);
         Reg(vdp2reg::RPMD, 0x0002);
         Reg(vdp2reg::MPOFR, 0x0020);  // parameter B: base 0x40000
         Colour(256 + 7, kRed);
         Bytes(0x40000, 0x07, 512 * 16);
       },
       Seen(kRed)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    for (uint32_t r = 0x0E; r < 0x120; r += 2) Reg(r, 0);
    c.setUp();
    ASSERT_TRUE(FrameAndCapture());
    EXPECT_TRUE(ColourNear(Pixel(5, 5), c.seen));
    EXPECT_TRUE(ColourNear(Pixel(300, 10), c.seen));
  }
}

TEST_F(BitmapPlaneRender, ScrollMovesTheWindowOverTheBitmap) {
  struct Sample {
    int x, y;
    Rgba seen;
  };
  struct Case {
    const char* what;
    uint16_t scx, scy;
    std::vector<Sample> samples;
  };
  const Case cases[] = {
      {"no scroll",
       0,
       0,
       {{10, 10, Seen(kRed)},
        {100, 10, Seen(kBlue)},
        {300, 10, Seen(kGreen)},
        {10, 100, Seen(kWhite)}}},
      {"left by 16: a blank strip, then the bitmap",
       0x7F0,
       0,
       {{8, 10, kBlack}, {20, 10, Seen(kRed)}, {116, 10, Seen(kBlue)}}},
      {"right by 300: the bitmap ends at 212",
       300,
       0,
       {{100, 10, Seen(kGreen)}, {205, 10, Seen(kGreen)}, {250, 10, kBlack}}},
      {"down by 200: the bitmap ends at line 56",
       0,
       200,
       {{10, 10, Seen(kRed)}, {10, 50, Seen(kRed)}, {10, 100, kBlack}}},
      {"up by 8", 0, 0x7F8, {{10, 4, kBlack}, {10, 108, Seen(kWhite)}}},
  };
  BitmapNbg0(0x0010);
  SplitBitmap256(0);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Reg(vdp2reg::SCXIN0, c.scx);
    Reg(vdp2reg::SCYIN0, c.scy);
    ASSERT_TRUE(FrameAndCapture());
    for (const Sample& s : c.samples)
      EXPECT_TRUE(ColourNear(Pixel(s.x, s.y), s.seen)) << "at " << s.x << ", " << s.y;
  }
}

TEST_F(BitmapPlaneRender, ScrolledNbg1ShowsWhatItsLastRefreshHeld) {
  // NBG1 refreshes only what is in view, and only when its banks change: scrolling over
  // unchanged VRAM shows the whole bitmap loaded at the first frame.
  Reg(vdp2reg::BGON, 0x0002);
  Reg(vdp2reg::PRINA, 0x0100);
  Reg(vdp2reg::CHCTLA, 0x1200);
  UnitZoom();
  SplitBitmap256(0);
  ASSERT_TRUE(FrameAndCapture());
  Reg(vdp2reg::SCXIN1, 200);
  ASSERT_TRUE(FrameAndCapture());
  EXPECT_TRUE(ColourNear(Pixel(20, 10), Seen(kRed)));     // bitmap x 220
  EXPECT_TRUE(ColourNear(Pixel(100, 10), Seen(kGreen)));  // bitmap x 300
  // A change in view shows at the next frame.
  Bytes(10 * 512 + 300, 3, 8);
  ASSERT_TRUE(FrameAndCapture());
  EXPECT_TRUE(ColourNear(Pixel(102, 10), Seen(kBlue)));
}

TEST_F(BitmapPlaneRender, ZoomHalfShowsHalfAsManyBitmapDots) {
  BitmapNbg0(0x0010);
  SplitBitmap256(0);
  Reg(vdp2reg::ZMXIN0, 0);
  Reg(vdp2reg::ZMXDN0, 0x8000);
  ASSERT_TRUE(FrameAndCapture());
  // 160 bitmap dots across the whole picture: the blue columns 96-111 land on 192-223.
  EXPECT_TRUE(ColourNear(Pixel(150, 10), Seen(kRed)));
  EXPECT_TRUE(ColourNear(Pixel(196, 10), Seen(kBlue)));
  EXPECT_TRUE(ColourNear(Pixel(218, 10), Seen(kBlue)));
  EXPECT_TRUE(ColourNear(Pixel(230, 10), Seen(kRed)));
  EXPECT_TRUE(ColourNear(Pixel(316, 10), Seen(kRed)));
}

TEST_F(BitmapPlaneRender, Rbg0CoversTheTopLeftOfALargePicture) {
  struct Sample {
    int x, y;
    Rgba seen;
  };
  struct Case {
    const char* what;
    uint16_t tvmd;
    std::vector<Sample> samples;
  };
  // RBG0 shows its 512 x 256 bitmap from the top-left corner, without scroll.
  const Case cases[] = {
      {"704 x 240 high resolution: lines doubled",
       0x8093,
       {{10, 10, Seen(kRed)},
        {100, 201, Seen(kWhite)},
        {100, 470, Seen(kBlue)},
        {400, 10, Seen(kGreen)},
        {600, 10, kBlack}}},
      {"352 x 240 double density: dots doubled",
       0x80D1,
       {{10, 10, Seen(kRed)},
        {200, 100, Seen(kWhite)},
        {200, 10, Seen(kBlue)},
        {600, 10, Seen(kGreen)},
        {100, 300, kBlack}}},
  };
  Reg(vdp2reg::BGON, 0x0010);
  Reg(vdp2reg::PRIR, 0x0001);
  Reg(vdp2reg::CHCTLB, 0x1200);
  SplitBitmap256(0);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Screen(c.tvmd);
    ASSERT_TRUE(FrameAndCapture());
    ASSERT_EQ(pictureWidth, 704);
    ASSERT_EQ(pictureHeight, 480);
    for (const Sample& s : c.samples)
      EXPECT_TRUE(ColourNear(Pixel(s.x, s.y), s.seen)) << "at " << s.x << ", " << s.y;
  }
}

}  // namespace
}  // namespace vdptest
