// VDP2 planes on screen: four cell planes in one doubled picture, three bitmaps in
// another, each seen where the planes above it leave room; the GL work of unchanged and
// slightly changed frames; and priorities between planes and against a VDP1 polygon.
#include <cstdint>
#include <initializer_list>
#include <utility>

#include "display/opengl_display.h"
#include "plugin/plugin_globals.h"
#include "plugin_fixture.h"
#include "vdp2/vdp2_core.h"

namespace vdptest {
namespace {

// A 15-bit console colour from 5-bit channels, and what it looks like on screen.
constexpr uint16_t Rgb5(int r, int g, int b) { return static_cast<uint16_t>(b << 10 | g << 5 | r); }
inline Rgba Seen(uint16_t c) {
  return {(c & 31) << 3, ((c >> 5) & 31) << 3, ((c >> 10) & 31) << 3, 255};
}

constexpr uint16_t kRed = Rgb5(31, 0, 0), kGreen = Rgb5(0, 31, 0), kBlue = Rgb5(0, 0, 31),
                   kWhite = Rgb5(31, 31, 31), kYellow = Rgb5(31, 31, 0);

class Vdp2PlanesRender : public PluginTest {
 protected:
  // VDP1 drawing (and with it the planes) every frame, and the resolution TVMD selects.
  void Screen(uint16_t tvmd) {
    DrawEveryFrame();
    Regs({vdp2reg::TVMD, tvmd});
    Frame();
  }

  // Registers as offset, value pairs.
  static void Regs(std::initializer_list<uint32_t> pairs) {
    for (auto p = pairs.begin(); p + 1 < pairs.end(); p += 2)
      WriteWordVDP2Regs(p[0], static_cast<uint16_t>(p[1]));
  }
  static void Colour(uint32_t index, uint16_t colour) { WriteWordVDP2CRAM(index * 2, colour); }
  static void Bytes(uint32_t address, uint8_t value, uint32_t count) {
    for (uint32_t i = 0; i < count; ++i) WriteByteVDP2VRAM(address + i, value);
  }
  static void Words(uint32_t address, uint16_t value, uint32_t count) {
    for (uint32_t i = 0; i < count; ++i) WriteWordVDP2VRAM(address + 2 * i, value);
  }

  static DisplayWorkCounters& Work() { return plugin::display->counters; }

  bool FrameAndCapture() {
    Frame();
    return Capture();
  }
};

TEST_F(Vdp2PlanesRender, FourPlanesShowTheirMapsAndStayCachedWhileUnchanged) {
  using namespace vdp2reg;
  Screen(0x80C0);  // 320 x 224 double density: 640 x 448, dots doubled
  auto at = [this](int x, int y) { return Pixel(2 * x + 1, y); };
  // Priorities NBG1 6, NBG2 5, NBG3 4, NBG0 3; one-word pattern names everywhere.
  Regs({RAMCTL, 0x1000, BGON, 0x000F, PRINA, 0x0603, PRINB, 0x0405, CHCTLA, 0x0040});
  Regs({CHCTLB, 0x0021, PNCN0, 0x8000, PNCN0 + 2, 0x8000, PNCN0 + 4, 0x8000, PNCN0 + 6, 0x8000});
  // NBG1, 16 colours, scrolled by (-16, -8) over planes A-D at pages 4-7: A transparent,
  // B character 0x40 (colour 1), C 0x41 (colour 2), D 0x42 with palette 1 (colour 19).
  // Only an L of B, C and D shows along the top and left edges.
  Regs(
      {MPABN0 + 4, 0x0504, MPABN0 + 6, 0x0706, SCXIN1, 0x7F0, SCYIN1, 0x7F8, ZMXIN1, 1, ZMYIN1, 1});
  for (auto [i, c] : {std::pair(1, kGreen), {2, kBlue}, {16 + 3, kWhite}}) Colour(i, c);
  for (uint8_t c = 0; c < 3; ++c) Bytes(0x800 + 32 * c, static_cast<uint8_t>(0x11 * (c + 1)), 32);
  Words(5 << 13, 0x0040, 4096);
  Words(6 << 13, 0x0041, 4096);
  Words(7 << 13, 0x1042, 4096);
  // NBG2, 16 colours, 2x2 characters, map at 0x20000 through map offset 1: pattern row 1,
  // columns 1-4 show
  // character 0x80 (name 0x20) with flips 0-3. Its cell 0 is red in the top-left quarter
  // and yellow elsewhere; cells 1-3 are colours 6-8.
  Regs({MPOFN, 0x0100});
  const uint16_t colours[9] = {
      0, 0, 0, 0, kRed, kYellow, Rgb5(31, 0, 31), Rgb5(0, 31, 31), Rgb5(31, 16, 0)};
  for (uint32_t i = 4; i < 9; ++i) Colour(i, colours[i]);
  for (uint32_t row = 0; row < 8; ++row)
    for (uint32_t b = 0; b < 4; ++b)
      WriteByteVDP2VRAM(0x1000 + row * 4 + b, row < 4 && b < 2 ? 0x44 : 0x55);
  for (uint8_t k = 1; k < 4; ++k) Bytes(0x1000 + 32 * k, static_cast<uint8_t>(0x11 * (k + 5)), 32);
  for (uint16_t f = 0; f < 4; ++f)
    WriteWordVDP2VRAM(0x20000 + 2 * (32 + 1 + f), static_cast<uint16_t>(0x20 | f << 10));
  // NBG3, 256 colours at colour RAM offset 256, map at page 9, plane size code 2 (one
  // page), scrolled by 256 across and 1 down: pattern row 6 (lines 47-54) shows character
  // 0xC0 of colour 0x21 (grey), with colour offset A: +128 red, -63 green.
  Regs({MPABN0 + 12, 0x0909, MPABN0 + 14, 0x0909, CRAOFA, 0x1000, PLSZ, 0x0080, SCXN3, 256});
  Regs({SCYN3, 1, CLOFEN, 0x0008, COAR, 0x080, COAG, 0x1C0});
  Colour(256 + 0x21, Rgb5(16, 16, 16));
  Bytes(0x1800, 0x21, 64);
  Words((9 << 13) + 6 * 128, 0x00C0, 64);
  // NBG0, 16.7M colours, zoom 0.5 across, scrolled by 400 (plane B starts at x = 224),
  // ratio 16 (half opaque over black), map at page 10: columns alternate red character
  // 0x100 and green 0x108.
  Regs({MPABN0, 0x0A0A, MPABN0 + 2, 0x0A0A, ZMXDN0, 0x8000, ZMYIN0, 1, CCRNA, 16, SCXIN0, 400});
  for (uint32_t a = 0; a < 256; a += 4) {
    WriteLongVDP2VRAM(0x2000 + a, 0x000000FF);
    WriteLongVDP2VRAM(0x2100 + a, 0x0000FF00);
  }
  for (uint32_t i = 0; i < 4096; ++i)
    WriteWordVDP2VRAM((10 << 13) + 2 * i, (i & 1) ? 0x0108 : 0x0100);

  const Rgba offsetGrey{255, 96, 128, 255};
  auto checkPlanes = [&](uint16_t cornerColour) {
    EXPECT_TRUE(ColourNear(at(3, 3), Seen(cornerColour))) << "NBG1 plane D";
    EXPECT_TRUE(ColourNear(at(100, 3), Seen(kBlue))) << "NBG1 plane C";
    EXPECT_TRUE(ColourNear(at(3, 100), Seen(kGreen))) << "NBG1 plane B";
    // Screen cell (qx, qy) of a 16-dot pattern shows source cell (qx ^ h) + 2 (qy ^ v),
    // mirrored: its quarter (ux, uy) is the source's (ux ^ h, uy ^ v).
    for (int f = 0; f < 4; ++f)
      for (int q = 0; q < 16; ++q) {
        const int h = f & 1, v = f >> 1, qx = q & 1, qy = q >> 1 & 1, ux = q >> 2 & 1, uy = q >> 3;
        const int k = (qx ^ h) + 2 * (qy ^ v);
        const bool topLeft = (ux ^ h) == 0 && (uy ^ v) == 0;
        const uint16_t expected = k == 0 ? (topLeft ? kRed : kYellow) : colours[k + 5];
        // The first and last row of each cell: a flip that misses a row shows there.
        const int x = 16 * (1 + f) + qx * 8 + ux * 4 + 1, y = 16 + qy * 8 + uy * 7;
        EXPECT_TRUE(ColourNear(at(x, y), Seen(expected))) << "NBG2 flips at " << x << ", " << y;
      }
    for (int y : {47, 51}) EXPECT_TRUE(ColourNear(at(300, y), offsetGrey)) << "NBG3 line " << y;
    for (int c = 1; c < 16; ++c)  // screen column c (16 dots) shows plane column 50 + c
      EXPECT_TRUE(
          ColourNear(at(16 * c + 8, 100), (c & 1) ? Rgba{0, 128, 0, 255} : Rgba{128, 0, 0, 255}))
          << "NBG0 column " << c;
  };
  ASSERT_TRUE(FrameAndCapture());
  ASSERT_EQ(std::pair(pictureWidth, pictureHeight), std::pair(640, 448));
  checkPlanes(kWhite);

  Work() = {};
  const std::vector<uint32_t> first = picture;
  ASSERT_TRUE(FrameAndCapture());
  EXPECT_EQ(Work().texSubImageCalls, 0u) << "an identical frame uploads nothing";
  EXPECT_LE(Work().planeQuadsDrawn, 4u * 4) << "at most four quads per plane";
  EXPECT_TRUE(picture == first) << "the picture changed without any change of data";

  // One NBG3 name made transparent: one upload, and NBG0 shows through.
  WriteWordVDP2VRAM((9 << 13) + 6 * 128 + 2 * 52, 0);
  Work() = {};
  ASSERT_TRUE(FrameAndCapture());
  EXPECT_EQ(Work().texSubImageCalls, 1u);
  EXPECT_TRUE(ColourNear(at(164, 51), {128, 0, 0, 255}));
  EXPECT_TRUE(ColourNear(at(172, 51), offsetGrey));
  // Plane D's palette block changes.
  Colour(16 + 3, kRed);
  ASSERT_TRUE(FrameAndCapture());
  checkPlanes(kRed);
  Colour(256 + 0x21, Rgb5(0, 16, 16));  // NBG3's 256-colour bank changes
  ASSERT_TRUE(FrameAndCapture());
  EXPECT_TRUE(ColourNear(at(300, 51), {128, 96, 128, 255})) << "NBG3 after its colour changed";

  // A display restart loses every texture; the planes come back whole.
  const std::vector<uint32_t> before = picture;
  for (int i = 0; i < 2; ++i) {
    plugin::display->RequestFullscreenToggle();
    Frame();
  }
  ASSERT_TRUE(FrameAndCapture());
  EXPECT_TRUE(picture == before) << "the planes did not come back after a restart";
}

TEST_F(Vdp2PlanesRender, ThreeBitmapsShowTheirDotsWhereTheyLand) {
  using namespace vdp2reg;
  Screen(0x8093);  // 704 x 240, shown as 704 x 480
  Regs({RAMCTL, 0x1000, BGON, 0x0013, PRINA, 0x0102, PRIR, 3, CHCTLA, 0x0222, CHCTLB, 0x1200});
  Regs({ZMXIN0, 1, ZMYIN0, 1, ZMXIN1, 1, ZMYIN1, 1});
  // RBG0 on top: 512 x 256, 256 colours, palette 1, base 0x60000 through rotation
  // parameter B. Rows 0-127: red left of x = 256, green from there on, row 100 white; the
  // rows below are transparent. It never reaches past x = 512.
  Regs({BMPNB, 1, RPMD, 2, MPOFR, 0x0030});
  for (auto [i, c] : {std::pair(257, kRed), {258, kGreen}, {259, kWhite}}) Colour(i, c);
  for (uint32_t y = 0; y < 128; ++y) {
    Bytes(0x60000 + y * 512, y == 100 ? 3 : 1, 256);
    Bytes(0x60000 + y * 512 + 256, y == 100 ? 3 : 2, 256);
  }
  // NBG0 beneath: 2048 colours at base 0, all colour 0x123 (blue), scrolled 400 dots right.
  Regs({SCXIN0, 0x800 - 400});
  Colour(0x123, kBlue);
  Words(0, 0x0123, 512 * 256);
  // NBG1 at the bottom: 16 colours, palette 2, base 0x40000, all dot 5 (yellow).
  Regs({BMPNA, 0x0200, MPOFN, 0x0020});
  Colour(32 + 5, kYellow);
  Bytes(0x40000, 0x55, 256 * 256);

  ASSERT_TRUE(FrameAndCapture());
  ASSERT_EQ(std::pair(pictureWidth, pictureHeight), std::pair(704, 480));
  EXPECT_TRUE(ColourNear(Pixel(10, 10), Seen(kRed))) << "RBG0 left";
  EXPECT_TRUE(ColourNear(Pixel(450, 10), Seen(kGreen))) << "RBG0 right, up to x = 512";
  EXPECT_TRUE(ColourNear(Pixel(100, 201), Seen(kWhite))) << "RBG0 row 100 on line 201";
  EXPECT_TRUE(ColourNear(Pixel(600, 10), Seen(kBlue))) << "NBG0 right of RBG0";
  EXPECT_TRUE(ColourNear(Pixel(410, 300), Seen(kBlue))) << "NBG0 below RBG0";
  EXPECT_TRUE(ColourNear(Pixel(390, 300), Seen(kYellow))) << "NBG1 left of NBG0";
  EXPECT_TRUE(ColourNear(Pixel(100, 470), Seen(kYellow))) << "NBG1 on the last lines";
  // NBG0 decodes the part in view again every frame, NBG1 and RBG0 only when a VRAM bank
  // under them changed, even while they were out of view.
  Work() = {};
  Frame();
  EXPECT_EQ(Work().texSubImageCalls, 1u) << "NBG0 only";
  Regs({SCXIN1, 600});  // NBG1 off its bitmap
  Colour(32 + 6, kWhite);
  Bytes(0x40000 + 200 * 256 + 50, 0x66, 4);  // dots 100-107 of row 200
  Frame();
  Regs({SCXIN1, 0});
  Work() = {};
  ASSERT_TRUE(FrameAndCapture());
  EXPECT_EQ(Work().texSubImageCalls, 2u) << "NBG0 and NBG1";
  EXPECT_TRUE(ColourNear(Pixel(104, 401), Seen(kWhite)));
  // After a cache clear every bitmap is loaded whole into its texture again, in place:
  // NBG0's row 100, turned red, on lines 100 and no other.
  Words(2 * 512 * 100, 0x0125, 512);
  Colour(0x125, kRed);
  plugin::vdp2->ClearCache();
  ASSERT_TRUE(FrameAndCapture());
  EXPECT_TRUE(ColourNear(Pixel(600, 201), Seen(kRed))) << "NBG0 row 100";
  EXPECT_TRUE(ColourNear(Pixel(600, 203), Seen(kBlue))) << "NBG0 row 101";
}

TEST_F(Vdp2PlanesRender, HigherPriorityAndLaterPlanesPaintOnTop) {
  using namespace vdp2reg;
  Screen(0x8000);  // 320 x 224
  // NBG0: red, transparent in its characters' left half; NBG3: blue; RBG0: a green
  // bitmap. NBG0 and NBG3 are one-page 16-colour cell planes.
  // Colour 0 (yellow) shows only where NBG0's dots 0 are opaque.
  for (auto [i, c] : {std::pair(1, kRed), {2, kBlue}, {3, kGreen}, {0, kYellow}}) Colour(i, c);
  for (uint32_t row = 0; row < 8; ++row) WriteWordVDP2VRAM(0x22 + row * 4, 0x1111);
  Bytes(0x40, 0x22, 32);
  Regs({PNCN0, 0x8000, PNCN0 + 6, 0x8000, MPABN0, 0x0808, MPABN0 + 2, 0x0808, ZMXIN0, 1});
  Regs({MPABN0 + 12, 0x0909, MPABN0 + 14, 0x0909, ZMYIN0, 1, CHCTLB, 0x1200, MPOFR, 0x0002});
  Words(8 << 13, 1, 4096);
  Words(9 << 13, 2, 4096);
  Bytes(0x40000, 0x03, 512 * 64);
  // A green polygon over (20, 20)-(100, 100) with sprite priority register 0, then the end.
  // Its 31 is full intensity; a plane dot's 31 is 248 through the colour table.
  const uint16_t command[16] = {4, 0, 0, kGreen, 0, 0, 20, 20, 100, 20, 100, 100, 20, 100, 0, 0};
  for (uint32_t i = 0; i < 16; ++i) WriteWordVDP1VRAM(2 * i, command[i]);
  WriteWordVDP1VRAM(0x20, 0x8000);
  constexpr uint16_t kPolygon = 0xFFFF;

  struct Case {
    const char* what;
    uint16_t bgon, prina, prinb, prir, prisa;
    bool nbg0Shown;
    uint16_t left, right, polygon;  // a character's left and right half, inside the polygon
  };
  const Case cases[] = {
      {"equal: NBG0 over NBG3, polygon over both", 0x09, 5, 0x0500, 0, 5, 1, kBlue, kRed, kPolygon},
      {"NBG3 over NBG0 and the polygon", 0x09, 5, 0x0600, 0, 5, 1, kBlue, kBlue, kBlue},
      {"polygon below NBG0", 0x09, 5, 0x0500, 0, 4, 1, kBlue, kRed, kRed},
      {"NBG0 at priority 0 is not drawn", 0x01, 0, 0x0500, 0, 4, 1, 0, 0, kPolygon},
      {"NBG0's dots 0 opaque", 0x0109, 5, 0x0500, 0, 4, 1, kYellow, kRed, kRed},
      {"NBG0 switched off by the user", 0x09, 5, 0x0500, 0, 4, 0, kBlue, kBlue, kBlue},
      {"NBG0 off in BGON", 0x08, 5, 0x0500, 0, 4, 1, kBlue, kBlue, kBlue},
      {"equal: RBG0 over NBG0", 0x19, 5, 0x0500, 5, 4, 1, kGreen, kGreen, kGreen},
      {"RBG0 lower than both", 0x19, 5, 0x0500, 4, 3, 1, kBlue, kRed, kRed},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Regs({BGON, c.bgon, PRINA, c.prina, PRINB, c.prinb, PRIR, c.prir, PRISA, c.prisa});
    plugin::vdp2->switches.planeShown[NBG0] = c.nbg0Shown ? 1 : 0;
    plugin::vdp2->ClearCache();  // decoded cells do not follow the zero-dot mode
    ASSERT_TRUE(FrameAndCapture());
    for (int x : {201, 205, 281, 285})  // left and right halves of two characters
      EXPECT_TRUE(ColourNear(Pixel(x, 50), Seen(x % 8 == 1 ? c.left : c.right))) << "at " << x;
    const Rgba polygon = c.polygon == kPolygon ? Rgba{0, 255, 0, 255} : Seen(c.polygon);
    EXPECT_TRUE(ColourNear(Pixel(69, 60), polygon)) << "inside the polygon";
  }
}

}  // namespace
}  // namespace vdptest
