// The animated demo: fourteen and a half seconds of a Saturn-style scene, driven the way a
// game drives the chips. Everything is made here from arithmetic: a sky of rings whose
// colours cycle through colour RAM (NBG3), a skyline bitmap (NBG1), a row of emblems built
// from one flipped 2x2 character over a brick ground (NBG2), and VDP1 sprites and polygons
// above them, all in the 352 x 240 mode. The picture fades in and out through the colour
// offset, and the emblem plane moves in front of the sprites for two seconds. Four
// stretches follow, each faded in and out, that only a dot-by-dot picture holds:
// - frames 360-479: the skyline waves line by line (a line scroll table), the ground breaks
//   into growing and shrinking mosaic blocks, and the sky gives way to a back screen with a
//   colour of its own on every line;
// - 480-599: a turning, perspective floor on RBG0 (parameter A, a coefficient a line) and a
//   spinning wheel above its horizon (parameter B);
// - 600-719: a line window cutting NBG3, a half-transparent NBG1, VDP2 shadows on NBG2 and
//   a dusk through colour offset B;
// - 720-799: VDP1's half-transparent distorted polygons with their seams, and lines drawn
//   both ways; 800-879: an 8-bit frame buffer read as sprite type C.
#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <vector>

#include "contact_sheet.h"
#include "scene_bus.h"
#include "scene_writer.h"

namespace vdphost {

namespace {

using Cmd = Vdp1Command;

constexpr int kStoryFrames = 360;    // the scene, faded in and out
constexpr int kStretchFrames = 120;  // then the line-by-line effects, faded in and out
// Then three more stretches, each faded in and out: rotating screens, composition, and
// VDP1 (polygons and lines, then an 8-bit frame buffer).
constexpr int kRotationFrom = kStoryFrames + kStretchFrames;      // 480
constexpr int kCompositionFrom = kRotationFrom + kStretchFrames;  // 600
constexpr int kPolygonsFrom = kCompositionFrom + kStretchFrames;  // 720
constexpr int kByteBufferFrom = kPolygonsFrom + 80;               // 800
constexpr int kFrames = kByteBufferFrom + 80;                     // 880
constexpr int kFadeFrames = 32, kStretchFadeFrames = 16;
constexpr int kLines = 240;
constexpr int kGroundY = 192;
constexpr int kEmblemsInFrontFrom = 120, kEmblemsInFrontUntil = 240;
constexpr double kPi = 3.14159265358979;

// VDP2 VRAM: sky characters, emblem and ground characters, the skyline bitmap, two maps.
constexpr uint32_t kSkyCharacters = 0x00000;   // 64 one-cell characters, numbers 0-63
constexpr uint32_t kTileCharacters = 0x01000;  // 2x2 characters, names 0x20-0x23
constexpr uint16_t kEmptyTile = 0x20, kEmblemTile = 0x21, kBrickTile = 0x22, kGrassTile = 0x23;
constexpr uint32_t kSkylineBitmap = 0x20000;    // NBG1 map offset 1
constexpr uint32_t kSkyMap = 0x60000;           // one-word names, one-cell: page 0x30
constexpr uint32_t kTileMap = 0x62000;          // one-word names, 2x2: page 0xC4
constexpr uint32_t kLineScrollTable = 0x70000;  // NBG1: a horizontal scroll per line
constexpr uint32_t kBackTable = 0x71000;        // a back screen colour per line

// Colour RAM words (2,048 colours, one word each).
constexpr uint32_t kSkyColours = 1;        // NBG3 palette 0, colours 1-15
constexpr uint32_t kTileColours = 16;      // NBG2 palette 1
constexpr uint32_t kSkylineColours = 512;  // NBG1 colour RAM offset 2
constexpr uint32_t kSpriteColours = 1024;  // sprite colour RAM offset 4
constexpr uint16_t kCardBank = 0x020;      // 16-colour bank: codes 0x20-0x2F
constexpr uint16_t kOrbBank = 0x100;       // 256-colour bank: codes 0x100-0x1FF

// VDP1 VRAM: the command table at 0, then tables and sprite textures.
constexpr uint32_t kGouraudTable = 0x7000;
constexpr uint32_t kShipLookup = 0x7100;
constexpr uint32_t kBallTexture = 0x10000;    // 16 x 16, RGB
constexpr uint32_t kShipTexture = 0x10400;    // 32 x 16, 16 colours through a lookup table
constexpr uint32_t kOrbTexture = 0x10800;     // 32 x 32, 256-colour bank
constexpr uint32_t kCardTexture = 0x10C00;    // 32 x 32, 16-colour bank
constexpr uint32_t kShadowTexture = 0x11000;  // 16 x 16, 16-colour bank: a disc of code 0xE

void Cram(PluginApi& api, uint32_t index, uint16_t colour) {
  api.WriteWordVDP2CRAM(index * 2, colour);
}

// A colour between a and b (t from 0 to 1), channels of 0-31.
uint16_t Mix(int ar, int ag, int ab, int br, int bg, int bb, double t) {
  auto lerp = [t](int a, int b) { return static_cast<int>(std::lround(a + (b - a) * t)); };
  return Rgb(lerp(ar, br), lerp(ag, bg), lerp(ab, bb));
}

// Writes 4-bit dots, w x h, row by row, high nibble first.
template <typename Dot>
void Nibbles(uint32_t address, int w, int h, Dot dot,
             void(VDPHOST_FASTCALL* write)(uint32_t, uint8_t)) {
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; x += 2)
      write(address + static_cast<uint32_t>((y * w + x) / 2),
            static_cast<uint8_t>(dot(x, y) << 4 | dot(x + 1, y)));
}

// --- VDP2: the planes ----------------------------------------------------------------------

// One 16-colour cell (32 bytes) from dot(x, y) of its 8 x 8 dots.
template <typename Dot>
void Cell(PluginApi& api, uint32_t address, Dot dot) {
  for (int y = 0; y < 8; ++y) {
    uint32_t row = 0;
    for (int x = 0; x < 8; ++x) row = row << 4 | (dot(x, y) & 15);
    api.WriteLongVDP2VRAM(address + static_cast<uint32_t>(y) * 4, row);
  }
}

// A 2x2 character: four cells, upper left, upper right, lower left, lower right.
template <typename Dot>
void Tile(PluginApi& api, uint16_t name, Dot dot) {
  for (int k = 0; k < 4; ++k)
    Cell(api, kTileCharacters + (name - kEmptyTile) * 128u + k * 32u,
         [&](int x, int y) { return dot(x + (k & 1) * 8, y + (k >> 1) * 8); });
}

// The sky: a 64 x 64 motif of rings, eight by eight characters, repeated over the page.
void SetUpSky(PluginApi& api) {
  for (int n = 0; n < 64; ++n)
    Cell(api, kSkyCharacters + n * 32u, [n](int x, int y) {
      const double dx = (n % 8) * 8 + x - 31.5, dy = (n / 8) * 8 + y - 31.5;
      return 1 + static_cast<int>(std::sqrt(dx * dx + dy * dy) / 3) % 15;
    });
  for (uint32_t row = 0; row < 64; ++row)
    for (uint32_t col = 0; col < 64; ++col)
      api.WriteWordVDP2VRAM(kSkyMap + (row * 64 + col) * 2,
                            static_cast<uint16_t>((row % 8) * 8 + col % 8));
}

// Colour k (0-14) of the sky's ring colours, turned by the frame number.
uint16_t SkyColour(int k, int frame) {
  const double t = 0.5 + 0.5 * std::cos(2 * kPi * ((k + frame / 4) % 15) / 15.0);
  return Mix(2, 4, 12, 10, 22, 30, t);
}

// Emblems: the upper-left quarter of a ring around a gem, shown four times with the four
// flips; a brick ground with a row of grass on top.
void SetUpTiles(PluginApi& api) {
  Tile(api, kEmptyTile, [](int, int) { return 0; });
  Tile(api, kEmblemTile, [](int x, int y) {
    const double d = std::hypot(x + 0.5 - 16, y + 0.5 - 16);
    if (d >= 10 && d < 15) return (x + y < 14) ? 9 : 1 + static_cast<int>(d - 10);  // lit edge
    if (d < 6) return d < 3 ? 8 : 6 + (x + y) % 2;
    return 0;
  });
  auto brick = [](int x, int y) {
    if (y % 8 == 7 || (x + (y / 8) * 8) % 16 == 0) return 12;  // mortar
    return (x + y) % 5 == 0 ? 11 : 10;
  };
  Tile(api, kBrickTile, brick);
  Tile(api, kGrassTile, [&](int x, int y) { return y < 4 ? 13 + (x * 7 + y) % 2 : brick(x, y); });
  const uint16_t colours[16] = {0,
                                Rgb(31, 26, 8),
                                Rgb(28, 21, 4),
                                Rgb(24, 16, 2),
                                Rgb(19, 11, 1),
                                Rgb(14, 7, 1),
                                Rgb(26, 2, 6),
                                Rgb(18, 0, 4),
                                Rgb(31, 20, 24),
                                Rgb(31, 31, 28),
                                Rgb(20, 9, 5),
                                Rgb(24, 12, 7),
                                Rgb(10, 6, 5),
                                Rgb(6, 22, 4),
                                Rgb(10, 27, 6),
                                0};
  for (uint32_t i = 1; i < 15; ++i) Cram(api, kTileColours + i, colours[i]);
  // Pattern names: bit 12 palette 1, bit 10 horizontal flip, bit 11 vertical flip.
  for (uint32_t row = 0; row < 32; ++row)
    for (uint32_t col = 0; col < 32; ++col) {
      uint16_t name = kEmptyTile;
      if (row >= 13) name = kBrickTile;
      if (row == 12) name = kGrassTile;
      if ((row == 10 || row == 11) && col % 4 < 2)
        name = static_cast<uint16_t>(kEmblemTile | (col % 2) << 10 | (row - 10) << 11);
      api.WriteWordVDP2VRAM(kTileMap + (row * 32 + col) * 2, static_cast<uint16_t>(0x1000 | name));
    }
}

// The skyline: mountains with snow on the peaks and a city before them; transparent above.
void SetUpSkyline(PluginApi& api) {
  int buildingTop[512];
  uint32_t seed = 12345;
  for (int x = 0; x < 512;) {
    seed = seed * 1103515245u + 12345u;
    const int width = 14 + static_cast<int>(seed >> 16) % 22;
    const int top = 150 + static_cast<int>(seed >> 8) % 40;
    for (int i = 0; i < width && x < 512; ++i, ++x) buildingTop[x] = (i < 2) ? 256 : top;
  }
  std::vector<uint8_t> row(512);
  for (int y = 0; y < 256; ++y) {
    for (int x = 0; x < 512; ++x) {
      const int ridge = static_cast<int>(118 + 20 * std::sin(x * 2 * kPi * 3 / 512) +
                                         9 * std::sin(x * 2 * kPi * 7 / 512 + 1));
      uint8_t dot = 0;
      if (y >= ridge) dot = static_cast<uint8_t>(1 + std::min(62, (y - ridge) / 2));
      if (y >= ridge && y < ridge + 4 && ridge < 108) dot = 64;  // snow
      if (y >= buildingTop[x]) {
        const bool window = (x % 6 == 3) && (y % 8 == 4) && ((x * 31 + y * 17) % 7 < 3);
        dot = window ? 67 : static_cast<uint8_t>(65 + (x / 3) % 2);
      }
      row[x] = dot;
    }
    for (int x = 0; x < 512; x += 4)
      api.WriteLongVDP2VRAM(
          kSkylineBitmap + static_cast<uint32_t>(y * 512 + x),
          static_cast<uint32_t>(row[x] << 24 | row[x + 1] << 16 | row[x + 2] << 8 | row[x + 3]));
  }
  for (int i = 1; i < 64; ++i)
    Cram(api, kSkylineColours + i, Mix(20, 16, 26, 4, 3, 9, (i - 1) / 62.0));
  Cram(api, kSkylineColours + 64, Rgb(30, 30, 31));
  Cram(api, kSkylineColours + 65, Rgb(3, 3, 7));
  Cram(api, kSkylineColours + 66, Rgb(4, 4, 9));
  Cram(api, kSkylineColours + 67, Rgb(31, 27, 12));
}

// --- VDP1: sprite textures -----------------------------------------------------------------

void SetUpSpriteTextures(PluginApi& api) {
  // A lit ball in RGB dots; outside the circle the dot word 0 is transparent.
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      const double d = std::hypot(x - 7.5, y - 7.5), lit = std::hypot(x - 5.0, y - 5.0);
      const int shade = std::max(0, 31 - static_cast<int>(lit * 2.6));
      api.WriteWordVDP1VRAM(kBallTexture + (y * 16 + x) * 2u,
                            d < 7.8 ? Rgb(shade, shade / 3, 31 - shade / 2) : 0);
    }
  // A ship pointing right, colours through a lookup table (entry 0 transparent).
  Nibbles(
      kShipTexture, 32, 16,
      [](int x, int y) {
        const int half = std::abs(2 * y - 15) / 2;  // 0 at the middle lines, 7 at the edges
        if (x > 30 - half * 3 || x < 2) return 0;
        if (half >= 6) return x < 14 ? 3 : 0;         // wings
        if (half <= 1 && x > 18 && x < 24) return 4;  // cockpit
        if (x < 4) return (y + x) % 2 ? 5 : 6;        // exhaust
        return half < 3 ? 1 : 2;
      },
      api.WriteByteVDP1VRAM);
  const uint16_t lookup[8] = {0,
                              Rgb(28, 28, 30),
                              Rgb(18, 18, 22),
                              Rgb(24, 6, 4),
                              Rgb(8, 24, 31),
                              Rgb(31, 24, 0),
                              Rgb(31, 10, 0),
                              0};
  for (int i = 0; i < 8; ++i) api.WriteWordVDP1VRAM(kShipLookup + i * 2u, lookup[i]);
  // An orb of 256-colour rings, codes 1-255 from the rim to the centre.
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      const double d = std::hypot(x - 15.5, y - 15.5);
      api.WriteByteVDP1VRAM(kOrbTexture + static_cast<uint32_t>(y * 32 + x),
                            d < 16 ? static_cast<uint8_t>(255 - d * 15.9) : 0);
    }
  for (int i = 1; i < 256; ++i) {
    const double t = i / 255.0, wave = 0.5 + 0.5 * std::sin(i * 0.35);
    Cram(api, kSpriteColours + kOrbBank + i,
         Rgb(static_cast<int>(8 + 23 * t), static_cast<int>(31 * t * wave),
             static_cast<int>(20 * wave)));
  }
  // A card: a four-colour star on a checker board in a 16-colour bank.
  Nibbles(
      kCardTexture, 32, 32,
      [](int x, int y) {
        const int dx = std::abs(2 * x - 31), dy = std::abs(2 * y - 31);
        if (dx + dy < 22 || dx * dy < 40) return 3 + (dx + dy) / 12;
        if (x < 2 || y < 2 || x > 29 || y > 29) return 6;
        return 1 + ((x / 4 + y / 4) & 1);
      },
      api.WriteByteVDP1VRAM);
  const uint16_t card[7] = {0,
                            Rgb(4, 10, 24),
                            Rgb(8, 16, 30),
                            Rgb(31, 31, 12),
                            Rgb(31, 24, 4),
                            Rgb(31, 14, 2),
                            Rgb(30, 30, 30)};
  for (int i = 1; i < 7; ++i) Cram(api, kSpriteColours + kCardBank + i, card[i]);
  // A disc of code 0xE, for shadows VDP2 casts (see WriteComposition).
  Nibbles(
      kShadowTexture, 16, 16,
      [](int x, int y) {
        return (2 * x - 15) * (2 * x - 15) + (2 * y - 15) * (2 * y - 15) < 256 ? 14 : 0;
      },
      api.WriteByteVDP1VRAM);
}

// --- One frame ------------------------------------------------------------------------------

int16_t S16(double v) { return static_cast<int16_t>(std::lround(v)); }

// How far the picture is faded towards black, 0 (not) to 255 (black): the scene and each
// stretch after it fade in at their start and out at their end.
int FadeDepth(int frame) {
  const int starts[] = {
      0, kStoryFrames, kRotationFrom, kCompositionFrom, kPolygonsFrom, kByteBufferFrom, kFrames};
  int k = 0;
  while (frame >= starts[k + 1]) ++k;
  const int t = frame - starts[k], length = starts[k + 1] - starts[k];
  const int fade = k == 0 ? kFadeFrames : kStretchFadeFrames;
  if (t < fade) return 255 * (fade - t) / fade;
  if (t >= length - fade) return 255 * (t - (length - fade) + 1) / fade;
  return 0;
}

// A quarter of a sine wave in 16 steps, 256 at its top. Whole numbers, so that both targets
// write the same tables.
constexpr int kQuarterSine[17] = {0,   25,  50,  74,  98,  121, 142, 162, 181,
                                  198, 213, 226, 237, 245, 251, 255, 256};

// 256 x sin(2 pi phase / 64).
int Sine64(int phase) {
  const int step = phase & 15, quarter = (phase >> 4) & 3;
  const int v = kQuarterSine[quarter & 1 ? 16 - step : step];
  return quarter >= 2 ? -v : v;
}

// A sunset, one colour per line: deep blue at the top through violet to orange at the
// horizon and below.
void WriteBackTable(PluginApi& api) {
  for (int y = 0; y < kLines; ++y) {
    const int t = std::min(y, 159);  // 0 to 159 over the sky
    const int r = t < 80 ? 2 + t * 18 / 80 : 20 + (t - 80) * 11 / 79;
    const int g = t < 80 ? 2 + t * 2 / 80 : 4 + (t - 80) * 16 / 79;
    const int b = t < 80 ? 12 + t * 6 / 80 : 18 - (t - 80) * 16 / 79;
    api.WriteWordVDP2VRAM(kBackTable + y * 2u, Rgb(r, g, b));
  }
}

// The stretch's line-by-line effects at its frame t (0 onwards). NBG1's line scroll table
// holds one record per line, its horizontal scroll item alone (integer in bits 10-0 of the
// first word, fraction in bits 15-8 of the second): a wave of 12 dots either way, 64 lines
// long, moving up 2 lines a frame.
void WriteStretch(PluginApi& api, int t) {
  using namespace vdp2reg;
  if (t == 0) WriteBackTable(api);
  for (int y = 0; y < kLines; ++y) {
    const int offset = 12 * Sine64(y + 2 * t);  // 1/256 dots
    const uint32_t record = kLineScrollTable + y * 4u;
    api.WriteWordVDP2VRAM(record, static_cast<uint16_t>((offset >> 8) & 0x7FF));
    api.WriteWordVDP2VRAM(record + 2, static_cast<uint16_t>((offset & 0xFF) << 8));
  }
  api.WriteWordVDP2Regs(SCRCTL, 0x0200);  // NBG1: horizontal line scroll, a record a line
  api.WriteWordVDP2Regs(LSTA1U, kLineScrollTable >> 17);
  api.WriteWordVDP2Regs(LSTA1L, (kLineScrollTable >> 1) & 0xFFFE);
  // NBG2's mosaic blocks grow from 1 to 12 dots square and shrink back.
  const int block = 1 + std::min(t, kStretchFrames - 1 - t) / 5;
  api.WriteWordVDP2Regs(MZCTL, static_cast<uint16_t>((block - 1) << 12 | (block - 1) << 8 | 4));
  // The sky off: the back screen shows, a colour a line (BKCLMD), faded with the rest.
  api.WriteWordVDP2Regs(BKTAU, 0x8000 | kBackTable >> 17);
  api.WriteWordVDP2Regs(BKTAL, (kBackTable >> 1) & 0xFFFF);
  api.WriteWordVDP2Regs(BGON, 0x0006);
  api.WriteWordVDP2Regs(CLOFEN, 0x006E);
}

// --- The later stretches: rotation, composition, VDP1 ---------------------------------------
// Everything they write to the chips comes from whole numbers: the sine table below is summed
// in fixed point once, so that x86-64 and i686 write the same tables.

// 65,536 x sin(2 pi i / 1024): a quarter wave of 257 steps, each a Taylor series in 2^30
// fixed point, mirrored for the other quarters.
int Sin1024(int i) {
  static const std::array<int32_t, 257> quarter = [] {
    std::array<int32_t, 257> q{};
    constexpr int64_t kHalfPi = 1686629713;  // pi / 2 x 2^30
    for (int k = 0; k <= 256; ++k) {
      const int64_t x = kHalfPi * k / 256;
      int64_t term = x, sum = x;
      for (int n = 1; n <= 8; ++n) {
        term = (term * x >> 30) * x >> 30;
        term = -term / ((2 * n) * (2 * n + 1));
        sum += term;
      }
      q[k] = static_cast<int32_t>((sum + (1 << 13)) >> 14);
    }
    return q;
  }();
  i &= 1023;
  const int step = i & 255, v = quarter[(i & 256) ? 256 - step : step];
  return i >= 512 ? -v : v;
}
int Cos1024(int i) { return Sin1024(i + 256); }

// a x sin(2 pi i / 1024), rounded down.
int SinTimes(int a, int i) { return static_cast<int>(int64_t{a} * Sin1024(i) >> 16); }

int ISqrt(int v) {
  int r = 0;
  while ((r + 1) * (r + 1) <= v) ++r;
  return r;
}

// A colour offset register: -256 to 255 in 9 bits.
uint16_t Offset(int v) { return static_cast<uint16_t>(std::clamp(v, -256, 255) & 0x1FF); }

// A 2x2 character of 16 colours (four cells: upper left, upper right, lower left, lower
// right) at address, from dot(x, y) of its 16 x 16 dots.
template <typename Dot>
void LargeCharacter(PluginApi& api, uint32_t address, Dot dot) {
  for (int k = 0; k < 4; ++k)
    Cell(api, address + k * 32u,
         [&](int x, int y) { return dot(x + (k & 1) * 8, y + (k >> 1) * 8); });
}

// One rotation parameter table (64 fields in a 0x80-byte slot). Fractions are held with 16
// fraction bits (1.0 = 0x10000); each is written into its field's bits, whose low 6 are 0
// for the fields of 10 fraction bits.
struct RotationTable {
  int64_t xst = 0, yst = 0, zst = 0, dxst = 0, dyst = 0, dx = 0, dy = 0;
  int64_t matrix[6] = {};  // A to F
  int px = 0, py = 0, pz = 0, cx = 0, cy = 0, cz = 0;
  int64_t mx = 0, my = 0, kx = 0x10000, ky = 0x10000, kast = 0, dkast = 0, dkax = 0;

  void Write(PluginApi& api, uint32_t address) const {
    auto put = [&](uint32_t offset, int64_t value, uint32_t used) {
      api.WriteLongVDP2VRAM(address + offset, static_cast<uint32_t>(value) & used);
    };
    auto word = [&](uint32_t offset, int value) {
      api.WriteWordVDP2VRAM(address + offset, static_cast<uint16_t>(value & 0x3FFF));
    };
    put(0x00, xst, 0x1FFFFFC0);
    put(0x04, yst, 0x1FFFFFC0);
    put(0x08, zst, 0x1FFFFFC0);
    put(0x0C, dxst, 0x7FFC0);
    put(0x10, dyst, 0x7FFC0);
    put(0x14, dx, 0x7FFC0);
    put(0x18, dy, 0x7FFC0);
    for (int k = 0; k < 6; ++k) put(0x1C + 4u * k, matrix[k], 0xFFFC0);
    word(0x34, px);
    word(0x36, py);
    word(0x38, pz);
    word(0x3C, cx);
    word(0x3E, cy);
    word(0x40, cz);
    put(0x44, mx, 0x3FFFFFC0);
    put(0x48, my, 0x3FFFFFC0);
    put(0x4C, kx, 0xFFFFFF);
    put(0x50, ky, 0xFFFFFF);
    put(0x54, kast, 0xFFFFFFC0);
    put(0x58, dkast, 0x3FFFFC0);
    put(0x5C, dkax, 0x3FFFFC0);
  }
};

// The rotation stretch's VRAM: RBG0's characters in bank A0 (RDBSA0 11), its two pages and
// the per-line coefficients in bank B0 (RDBSB0 10; a table read once a line may lie in any
// bank), the parameter tables in B1. A1 keeps the skyline for NBG1.
constexpr uint32_t kFloorCharacters = 0x02000;  // 2x2 characters, names 0x40-0x83
constexpr uint16_t kLightStone = 0x40, kDarkStone = 0x41, kWater = 0x42, kBlank = 0x43,
                   kWheelFirst = 0x44;  // 8 x 8 characters of the wheel, row by row
constexpr uint32_t FloorCharacter(uint16_t name) {
  return kFloorCharacters + (name - 0x40u) * 0x80u;
}
constexpr uint32_t kCoefficients = 0x40000;    // KTAOS 1: 0x40000 + line x 4
constexpr uint32_t kFloorPage = 0x41000;       // one-word names, 2x2: plane value 0x82
constexpr uint32_t kWheelPage = 0x41800;       // plane value 0x83
constexpr uint32_t kRotationTables = 0x7F000;  // A; B at +0x80
constexpr uint32_t kRotationColours = 1536;    // RBG0 colour RAM offset 6: floor 0, wheel 1
constexpr int kHorizon = 128;                  // the floor's lines start below this one
constexpr int kCameraHeight = 56, kFocal = 192, kCentreX = 176;

void SetUpRotation(PluginApi& api) {
  LargeCharacter(api, FloorCharacter(kBlank), [](int, int) { return 0; });
  auto stone = [](int base) {
    return [base](int x, int y) {
      if (x == 0 || y == 0) return 3;                       // mortar
      if (x == 1 || y == 1) return base + 1;                // lit edge
      return (x * 7 + y * 13) % 11 == 0 ? base + 2 : base;  // speckles
    };
  };
  LargeCharacter(api, FloorCharacter(kLightStone), stone(1));
  LargeCharacter(api, FloorCharacter(kDarkStone), stone(5));
  LargeCharacter(api, FloorCharacter(kWater),
                 [](int x, int y) { return (x + y / 2) % 8 < 2 ? 9 : 8; });
  // The wheel, 128 x 128 dots, measured in half dots from its centre: a rim in four
  // colours (which show it turn), eight spokes, a hub; transparent between the spokes.
  for (int row = 0; row < 8; ++row)
    for (int col = 0; col < 8; ++col)
      LargeCharacter(api, FloorCharacter(static_cast<uint16_t>(kWheelFirst + row * 8 + col)),
                     [&](int x, int y) {
                       const int dx = 2 * (col * 16 + x) - 127, dy = 2 * (row * 16 + y) - 127;
                       const int r2 = dx * dx + dy * dy, ax = std::abs(dx), ay = std::abs(dy);
                       if (r2 >= 126 * 126) return 0;
                       if (r2 >= 108 * 108) return 1 + (dx >= 0) + 2 * (dy >= 0);
                       if (r2 >= 98 * 98) return 5;
                       if (r2 < 12 * 12) return 7;
                       if (r2 < 26 * 26) return 6;
                       return (ax < 9 || ay < 9 || std::abs(ax - ay) < 13) ? 8 : 0;
                     });
  // Pages of 32 x 32 names: a checker of stones two names square crossed by water; the
  // wheel alone in the middle of its page (palette 1).
  for (uint32_t row = 0; row < 32; ++row)
    for (uint32_t col = 0; col < 32; ++col) {
      uint16_t floor = ((col / 2 + row / 2) & 1) ? kLightStone : kDarkStone;
      if (row == 14 || row == 15 || col == 6 || col == 7) floor = kWater;
      api.WriteWordVDP2VRAM(kFloorPage + (row * 32 + col) * 2, floor);
      const bool wheel = row >= 12 && row < 20 && col >= 12 && col < 20;
      api.WriteWordVDP2VRAM(
          kWheelPage + (row * 32 + col) * 2,
          wheel ? static_cast<uint16_t>(0x1000 | (kWheelFirst + (row - 12) * 8 + (col - 12)))
                : kBlank);
    }
  const uint16_t colours[32] = {0,
                                Rgb(24, 22, 18),
                                Rgb(30, 28, 24),
                                Rgb(6, 5, 4),
                                Rgb(18, 16, 13),
                                Rgb(12, 14, 18),
                                Rgb(16, 18, 22),
                                Rgb(9, 10, 14),
                                Rgb(4, 10, 22),
                                Rgb(10, 18, 28),
                                0,
                                0,
                                0,
                                0,
                                0,
                                0,
                                0,
                                Rgb(28, 4, 4),
                                Rgb(30, 26, 4),
                                Rgb(4, 24, 8),
                                Rgb(6, 10, 30),
                                Rgb(8, 6, 4),
                                Rgb(31, 22, 6),
                                Rgb(31, 31, 31),
                                Rgb(22, 22, 26)};
  for (uint32_t i = 0; i < 32; ++i) Cram(api, kRotationColours + i, colours[i]);
  // One coefficient a line (two words: transparent bit 31, kx = ky in bits 23-0 with 16
  // fraction bits): lines down to the horizon transparent, which in parameter mode 2 hands
  // them to parameter B; below it the scale of a floor seen from kCameraHeight.
  for (int y = 0; y < kLines; ++y) {
    const uint32_t k =
        y <= kHorizon ? 0x80000000u : static_cast<uint32_t>((kCameraHeight << 16) / (y - kHorizon));
    api.WriteLongVDP2VRAM(kCoefficients + y * 4u, k);
  }
}

// Frame t of the rotation stretch: RBG0 shows, below the horizon, parameter A's floor seen
// in perspective (kx, ky from the line's coefficient) from a camera that turns and moves
// forward; above it, parameter B's wheel turning and breathing in front of the skyline.
void WriteRotation(PluginApi& api, int t) {
  using namespace vdp2reg;
  if (t == 0) {
    SetUpRotation(api);
    WriteBackTable(api);
    api.WriteWordVDP2Regs(RAMCTL, 0x1323);  // banks split; A0 characters, B0 names
    api.WriteWordVDP2Regs(BGON, 0x0012);    // RBG0 and NBG1
    api.WriteWordVDP2Regs(CHCTLB, 0x0101);  // RBG0: 16 colours, 2x2 characters
    api.WriteWordVDP2Regs(PNCR, 0x8000);    // one-word names
    api.WriteWordVDP2Regs(PLSZ, 0xC000);    // A: one page, repeated; B: 512 x 512 only
    api.WriteWordVDP2Regs(MPOFR, 0x0022);
    for (uint32_t k = 0; k < 8; ++k) {
      api.WriteWordVDP2Regs(MPABRA + 2 * k, 0x0202);
      api.WriteWordVDP2Regs(MPABRB + 2 * k, 0x0303);
    }
    api.WriteWordVDP2Regs(RPMD, 2);   // A's coefficient picks A or B
    api.WriteWordVDP2Regs(KTCTL, 1);  // A: two-word coefficients, kx and ky
    api.WriteWordVDP2Regs(KTAOF, 1);
    api.WriteWordVDP2Regs(RPTAU, kRotationTables >> 17);
    api.WriteWordVDP2Regs(RPTAL, (kRotationTables >> 1) & 0xFFFE);
    api.WriteWordVDP2Regs(PRIR, 3);         // RBG0 over NBG1 (2)
    api.WriteWordVDP2Regs(CRAOFB, 0x0046);  // RBG0 colours from word 1536
    api.WriteWordVDP2Regs(SCYIN1, 87);      // the skyline's city down to the horizon
    api.WriteWordVDP2Regs(BKTAU, 0x8000 | kBackTable >> 17);
    api.WriteWordVDP2Regs(BKTAL, (kBackTable >> 1) & 0xFFFF);
    api.WriteWordVDP2Regs(CLOFEN, 0x0072);  // NBG1, RBG0, back screen, sprites
  }
  // The camera turns 2/1024 of a turn a frame and walks 3 dots a frame where it faces.
  auto yaw = [](int s) { return 96 + 2 * s; };
  int64_t camX = int64_t{1024} << 16, camY = int64_t{1024} << 16;
  for (int s = 0; s < t; ++s) {
    camX += 3 * int64_t{Sin1024(yaw(s))};
    camY -= 3 * int64_t{Cos1024(yaw(s))};
  }
  const int c = Cos1024(yaw(t)), s = Sin1024(yaw(t));
  RotationTable a;
  a.xst = -int64_t{kCentreX} << 16;
  a.yst = -int64_t{kFocal} << 16;
  a.dx = 0x10000;
  a.matrix[0] = c;
  a.matrix[1] = -s;
  a.matrix[3] = s;
  a.matrix[4] = c;
  a.mx = camX;
  a.my = camY;
  a.dkast = 0x10000;  // the next coefficient every line
  a.Write(api, kRotationTables);
  // The wheel: map dot (256, 256) at screen (x0, y0), turned by phi, 1.2 to 1.6 times smaller
  // (the matrix steps 1.2 to 1.6 map dots a screen dot).
  const int x0 = kCentreX + SinTimes(96, 3 * t), y0 = 62, phi = -12 * t;
  const int64_t zoom = 0x16666 + SinTimes(0x3333, 16 * t + 256);
  RotationTable b;
  b.dyst = 0x10000;
  b.dx = 0x10000;
  b.matrix[0] = int64_t{Cos1024(phi)} * zoom >> 16;
  b.matrix[1] = int64_t{Sin1024(phi)} * zoom >> 16;
  b.matrix[3] = -b.matrix[1];
  b.matrix[4] = b.matrix[0];
  b.cx = x0;
  b.cy = y0;
  b.mx = int64_t{256 - x0} << 16;
  b.my = int64_t{256 - y0} << 16;
  b.Write(api, kRotationTables + 0x80);
  // The skyline pans with the camera: about 1.08 dots per 1/1024 of a turn at this focal.
  api.WriteWordVDP2Regs(SCXIN1, static_cast<uint16_t>((159 + yaw(t) * 108 / 100) & 0x1FF));
}

// A 16 x 16 RGB ball sprite with its top-left corner at (x, top), as command n.
void WriteBall(PluginApi& api, int n, int x, int top) {
  Cmd ball;
  ball.control = Cmd::kNormalSprite;
  ball.drawMode = Cmd::DrawMode(Cmd::kRgb);
  ball.textureAddress = kBallTexture;
  ball.size = Cmd::Size(16, 16);
  ball.xy[0] = static_cast<int16_t>(x);
  ball.xy[1] = static_cast<int16_t>(top);
  ball.Write(api, n);
}

// Three balls bouncing along the ground, from whole numbers: x of the left edge, the top
// and the height above the ground.
struct Bounce {
  int x, top, height;
};
std::array<Bounce, 3> Bounces(int frame) {
  std::array<Bounce, 3> balls{};
  for (int i = 0; i < 3; ++i) {
    const int height = std::abs(SinTimes(70, (frame + 17 * i) * 512 / 45));
    balls[i] = {60 + i * 110 + SinTimes(40, frame * 2 + i * 342), kGroundY - 16 - height, height};
  }
  return balls;
}

constexpr uint32_t kLineWindow = 0x72000;  // W0: a start and an end X a line

// Frame t of the composition stretch, over the scene's planes: a round hole, a line window
// W0 on NBG3, moves over the sky and shows the back screen's sunset through it; the skyline
// (NBG1) is half transparent over the sky, its ratio swinging; the balls cast VDP2 shadows
// (sprites of the normal shadow code) that darken the ground (NBG2, SDCTL) and nothing else;
// and the sky and back screen redden towards dusk through colour offset B while the rest
// fades in and out through offset A.
void WriteComposition(PluginApi& api, int t, int depth) {
  using namespace vdp2reg;
  if (t == 0) {
    WriteBackTable(api);
    api.WriteWordVDP2Regs(BKTAU, 0x8000 | kBackTable >> 17);
    api.WriteWordVDP2Regs(BKTAL, (kBackTable >> 1) & 0xFFFF);
    api.WriteWordVDP2Regs(LWTA0U, 0x8000 | kLineWindow >> 17);
    api.WriteWordVDP2Regs(LWTA0L, (kLineWindow >> 1) & 0xFFFE);
    api.WriteWordVDP2Regs(WCTLB, 0x0200);   // NBG3: W0's inside cut away
    api.WriteWordVDP2Regs(CCCTL, 0x0002);   // NBG1 calculated by its ratio
    api.WriteWordVDP2Regs(SDCTL, 0x0004);   // shadows fall on NBG2 alone
    api.WriteWordVDP2Regs(CLOFEN, 0x006E);  // NBG1-NBG3, back screen, sprites
    api.WriteWordVDP2Regs(CLOFSL, 0x0028);  // NBG3 and the back screen take offset B
  }
  // The hole: a circle of radius 36 to 60 crossing the sky; entries in half dots.
  const int cx = 60 + t * 2, cy = 70 + SinTimes(24, 8 * t), r = 48 + SinTimes(12, 10 * t);
  for (int y = 0; y < kLines; ++y) {
    const int dy = y - cy, half = std::abs(dy) <= r ? ISqrt(r * r - dy * dy) : -1;
    const uint32_t entry = kLineWindow + y * 4u;
    api.WriteWordVDP2VRAM(entry, static_cast<uint16_t>(half < 0 ? 0x3FF : 2 * (cx - half)));
    api.WriteWordVDP2VRAM(entry + 2, static_cast<uint16_t>(half < 0 ? 0 : 2 * (cx + half) + 1));
  }
  api.WriteWordVDP2Regs(WPSY0, static_cast<uint16_t>(std::max(0, cy - r)));
  api.WriteWordVDP2Regs(WPEY0, static_cast<uint16_t>(std::min(kLines - 1, cy + r)));
  // The skyline's ratio: top weight 31 - v, second v + 1, v from 6 to 30.
  api.WriteWordVDP2Regs(CCRNA, static_cast<uint16_t>((18 + SinTimes(12, 12 * t)) << 8));
  // Dusk: offset B steps towards red and away from blue, and back; both offsets carry
  // the fade.
  const int dusk = std::min(t, kStretchFrames - 1 - t);  // 0 to 59
  api.WriteWordVDP2Regs(COBR, Offset(dusk - depth));
  api.WriteWordVDP2Regs(COBG, Offset(-dusk / 3 - depth));
  api.WriteWordVDP2Regs(COBB, Offset(-dusk - depth));

  int n = 0;
  Cmd local;
  local.control = Cmd::kLocalCoordinates;
  local.Write(api, n++);
  const std::array<Bounce, 3> balls = Bounces(360 + t);
  for (const Bounce& b : balls) {
    Cmd shadow;  // codes 0x7F0 | 0xE = 0x7FE: type 0's normal shadow
    shadow.control = Cmd::kScaledSprite;
    shadow.drawMode = Cmd::DrawMode(Cmd::kBank16);
    shadow.colour = 0x07F0;
    shadow.textureAddress = kShadowTexture;
    shadow.size = Cmd::Size(16, 16);
    const int narrow = b.height / 8;
    shadow.xy[0] = static_cast<int16_t>(b.x - 8 + narrow);
    shadow.xy[1] = kGroundY - 5;
    shadow.xy[4] = static_cast<int16_t>(b.x + 23 - narrow);
    shadow.xy[5] = kGroundY + 5;
    shadow.Write(api, n++);
  }
  for (const Bounce& b : balls) {
    WriteBall(api, n++, b.x, b.top);
  }
  Cmd::End(api, n);
}

// A point at radius r and angle a (1/1024 turns) from (x, y).
int16_t Around(int x, int r, int a) { return static_cast<int16_t>(x + SinTimes(r, a + 256)); }
int16_t AroundY(int y, int r, int a) { return static_cast<int16_t>(y + SinTimes(r, a)); }

// Frame t of the first VDP1 stretch, over the scene's planes. On a light pane (an RGB
// polygon, gouraud-shaded), three half-transparent polygons turn, each a distorted quad
// whose corners lie at two radii. Their lines meet and overlap where the quad bends: the
// dots written twice are mixed twice and show as darker seams. On the right, two fans of
// twelve spokes turn: above, VDP1 lines (one dot a step, 8-connected); below, polygons one
// dot thin, drawn like the quads' lines with the extra dot where a step goes both ways
// (4-connected, the manual's anti-aliasing).
void WritePolygons(PluginApi& api, int t) {
  constexpr uint32_t kPaneShades = kGouraudTable + 0x20;
  const uint16_t pane[4] = {Rgb(20, 22, 26), Rgb(14, 18, 24), Rgb(22, 20, 16), Rgb(26, 24, 20)};
  for (int k = 0; k < 4; ++k) api.WriteWordVDP1VRAM(kPaneShades + k * 2u, pane[k]);
  int n = 0;
  Cmd local;
  local.control = Cmd::kLocalCoordinates;
  local.Write(api, n++);
  Cmd panel;
  panel.control = Cmd::kPolygon;
  panel.drawMode = Cmd::kGouraud;
  panel.colour = Rgb(26, 26, 26);
  panel.gouraudAddress = kPaneShades;
  const int16_t box[8] = {16, 24, 208, 24, 208, 216, 16, 216};
  for (int k = 0; k < 8; ++k) panel.xy[k] = box[k];
  panel.Write(api, n++);
  const uint16_t tints[3] = {Rgb(2, 6, 24), Rgb(26, 2, 6), Rgb(2, 20, 4)};
  for (int q = 0; q < 3; ++q) {
    Cmd quad;
    quad.control = Cmd::kPolygon;
    quad.drawMode = Cmd::kHalfTransparent;
    quad.colour = tints[q];
    const int cx = 112 + SinTimes(40, t * 6 + q * 341), cy = 120 + SinTimes(36, t * 5 + q * 400);
    for (int k = 0; k < 4; ++k) {
      const int a = (q % 2 ? -t : t) * (5 + q) + k * 256 + q * 100, r = k % 2 ? 40 : 80;
      quad.xy[2 * k] = Around(cx, r, a);
      quad.xy[2 * k + 1] = AroundY(cy, r, a);
    }
    quad.Write(api, n++);
  }
  for (int spoke = 0; spoke < 12; ++spoke) {
    const int a = t * 4 + spoke * 1024 / 12;
    Cmd line;
    line.control = Cmd::kLine;
    line.colour = Rgb(31, 31, 20);
    line.xy[0] = Around(280, 6, a);
    line.xy[1] = AroundY(68, 6, a);
    line.xy[2] = Around(280, 58, a);
    line.xy[3] = AroundY(68, 58, a);
    line.Write(api, n++);
    Cmd thin;
    thin.control = Cmd::kPolygon;
    thin.colour = Rgb(20, 31, 31);
    thin.xy[0] = thin.xy[6] = Around(280, 6, a);
    thin.xy[1] = thin.xy[7] = AroundY(176, 6, a);
    thin.xy[2] = thin.xy[4] = Around(280, 58, a);
    thin.xy[3] = thin.xy[5] = AroundY(176, 58, a);
    thin.Write(api, n++);
  }
  Cmd::End(api, n);
}

constexpr uint32_t kByteColours = 1792;   // sprite colour RAM offset 7 in the 8-bit stretch
constexpr uint32_t kByteLookup = 0x7200;  // VDP1 VRAM: 16 colour codes for the cards

// Frame t of the second VDP1 stretch: the frame buffer turns 8-bit (TVMR rotation 8, rows
// of 512 bytes), read by VDP2 as sprite type C (a byte a dot: 256 colours, bit 7 also the
// priority bit). Orbs of 256-colour rings drift and turn over the scene's planes while
// their 256 colours cycle. The change happens and is undone on black frames (the faded
// first and last), as the buffer shown then was drawn in the other form.
void WriteByteBuffer(PluginApi& api, int t, int length) {
  using namespace vdp2reg;
  const bool first = t == 0, last = t == length - 1;
  if (first || last) {
    api.WriteWordVDP1Regs(vdp1reg::TVMR, first ? 3 : 0);
    // Erase in units of 16 dots in the 8-bit form, 8 in the 16-bit one.
    api.WriteWordVDP1Regs(vdp1reg::EWRR, first ? 352 / 16 << 9 | 239 : 352 / 8 << 9 | 239);
    api.WriteWordVDP2Regs(SPCTL, first ? 0x000C : 0x0020);
    api.WriteWordVDP2Regs(PRISA, first ? 0x0404 : 0x0004);
    api.WriteWordVDP2Regs(CRAOFB, first ? 0x0070 : 0x0040);
  }
  int n = 0;
  if (last) {
    Cmd::End(api, n);
    return;
  }
  for (int i = 1; i < 256; ++i) {
    const int phase = i * 12 - t * 24, bright = 10 + i * 21 / 255;
    auto gun = [&](int shift) { return bright * (16 + SinTimes(15, phase + shift)) / 31; };
    Cram(api, kByteColours + i, Rgb(gun(0), gun(341), gun(683)));
  }
  if (first)
    for (int i = 0; i < 16; ++i)
      api.WriteWordVDP1VRAM(kByteLookup + i * 2u,
                            static_cast<uint16_t>(i == 0 ? 0 : i * 37 & 0xFF));
  Cmd local;
  local.control = Cmd::kLocalCoordinates;
  local.Write(api, n++);
  for (int k = 0; k < 9; ++k) {
    const int size = 20 + 6 * k;
    const int x = 176 + SinTimes(140 - 8 * k, t * (3 + k % 3) + k * 113);
    const int y = 110 + SinTimes(80 - 4 * k, t * (4 + k % 2) + k * 229);
    // Orbs (codes 1-255 from the rim in) and, between them, cards whose colours a lookup
    // table of colour codes spreads over the cycling ones.
    const bool card = k % 2 != 0;
    Cmd orb;
    orb.control = Cmd::kDistortedSprite;
    orb.drawMode = Cmd::DrawMode(card ? Cmd::kLookup16 : Cmd::kBank256);
    orb.colour = static_cast<uint16_t>(card ? kByteLookup / 8 : 0);
    orb.textureAddress = card ? kCardTexture : kOrbTexture;
    orb.size = Cmd::Size(32, 32);
    const int spin = (k % 2 ? t : -t) * 6 + k * 80;
    for (int c = 0; c < 4; ++c) {
      orb.xy[2 * c] = Around(x, size * 3 / 4, spin + 128 + c * 256);
      orb.xy[2 * c + 1] = AroundY(y, size * 3 / 4, spin + 128 + c * 256);
    }
    orb.Write(api, n++);
  }
  Cmd::End(api, n);
}

// The scene's VDP2 registers; those the later stretches use and the scene does not are
// cleared. Written at the start and again as each of those stretches begins.
void SceneRegisters(PluginApi& api) {
  using namespace vdp2reg;
  api.WriteWordVDP2Regs(TVMD, 0x8011);    // display on, 352 x 240
  api.WriteWordVDP2Regs(RAMCTL, 0x1000);  // 2,048 colours of one word each
  // NBG3 sky: 16 colours, one-cell characters. NBG2 emblems: 16 colours, 2x2 characters.
  // NBG1 skyline: a 512 x 256 bitmap of 256 colours. All planes one page, one-word names.
  api.WriteWordVDP2Regs(CHCTLB, 0x0001);
  api.WriteWordVDP2Regs(CHCTLA, 0x1200);
  api.WriteWordVDP2Regs(PNCN2, 0x8000);
  api.WriteWordVDP2Regs(PNCN3, 0x8000);
  api.WriteWordVDP2Regs(PLSZ, 0);
  api.WriteWordVDP2Regs(MPOFN, 0x0310);  // NBG2 map offset 3, NBG1 bitmap at 0x20000
  api.WriteWordVDP2Regs(MPABN2, 0x0404);
  api.WriteWordVDP2Regs(MPCDN2, 0x0404);
  api.WriteWordVDP2Regs(MPABN3, 0x3030);
  api.WriteWordVDP2Regs(MPCDN3, 0x3030);
  api.WriteWordVDP2Regs(ZMXIN1, 1);
  api.WriteWordVDP2Regs(ZMYIN1, 1);
  api.WriteWordVDP2Regs(SCYIN1, 0);
  api.WriteWordVDP2Regs(SCYN2, 0);
  api.WriteWordVDP2Regs(CRAOFA, 0x0020);  // NBG1 colours from word 512
  api.WriteWordVDP2Regs(CRAOFB, 0x0040);  // sprite colours from word 1024
  api.WriteWordVDP2Regs(SPCTL, 0x0020);   // type 0, RGB dots (MSB set) among palette ones
  api.WriteWordVDP2Regs(PRISA, 0x0004);   // sprites and polygons at priority 4
  api.WriteWordVDP2Regs(PRINA, 0x0200);   // NBG1 at 2
  api.WriteWordVDP2Regs(CLOFEN, 0x004E);  // colour offset on NBG1-NBG3 and sprites
  api.WriteWordVDP2Regs(CLOFSL, 0);
  api.WriteWordVDP2Regs(BGON, 0x000E);  // NBG1, NBG2, NBG3 on
  for (uint32_t reg : {SCRCTL, MZCTL, BKTAU, BKTAL,  PNCR,  MPOFR, RPMD,  RPRCTL, KTCTL,
                       KTAOF,  RPTAU, RPTAL, PRIR,   WCTLA, WCTLB, WCTLC, WCTLD,  LWTA0U,
                       LWTA0L, SDCTL, CCCTL, SFCCMD, CCRNA, COBR,  COBG,  COBB})
    api.WriteWordVDP2Regs(reg, 0);
}

// Polygons take no colour offset: the demo darkens their colours itself while it fades.
int Dim(int channel, int depth) { return channel * (255 - depth) / 255; }

void WriteFrame(PluginApi& api, int frame) {
  using namespace vdp2reg;
  const double f = frame;
  const int depth = FadeDepth(frame);
  // Colour offset A on NBG1 to NBG3 and the sprites: darkening by depth.
  const uint16_t offset = depth == 0 ? 0 : static_cast<uint16_t>(0x100 | (255 - depth));
  api.WriteWordVDP2Regs(COAR, offset);
  api.WriteWordVDP2Regs(COAG, offset);
  api.WriteWordVDP2Regs(COAB, offset);
  for (int k = 0; k < 15; ++k) Cram(api, kSkyColours + k, SkyColour(k, frame));
  // Parallax: the sky drifts, the skyline follows slowly, the emblems pass by quickly.
  api.WriteWordVDP2Regs(SCXN3, static_cast<uint16_t>((frame / 2) & 0x3FF));
  api.WriteWordVDP2Regs(SCYN3, static_cast<uint16_t>((frame / 3) & 0x3FF));
  // The skyline stops at its right edge: 512 dots wide, 160 + 352 of them shown.
  api.WriteWordVDP2Regs(
      SCXIN1, static_cast<uint16_t>(std::min(frame, kStoryFrames - 1) * 160 / kStoryFrames));
  api.WriteWordVDP2Regs(SCXN2, static_cast<uint16_t>((frame * 2) & 0x3FF));
  const bool emblemsInFront = frame >= kEmblemsInFrontFrom && frame < kEmblemsInFrontUntil;
  api.WriteWordVDP2Regs(PRINB, emblemsInFront ? 0x0105 : 0x0103);  // NBG3 1; NBG2 3 or 5
  if (frame >= kStoryFrames && frame < kRotationFrom) WriteStretch(api, frame - kStoryFrames);
  if (frame >= kRotationFrom) {
    if (frame == kRotationFrom || frame == kCompositionFrom || frame == kPolygonsFrom)
      SceneRegisters(api);
    if (frame < kCompositionFrom) {
      WriteRotation(api, frame - kRotationFrom);
      Cmd::End(api, 0);
    } else if (frame < kPolygonsFrom) {
      WriteComposition(api, frame - kCompositionFrom, depth);
    } else if (frame < kByteBufferFrom) {
      WritePolygons(api, frame - kPolygonsFrom);
    } else {
      WriteByteBuffer(api, frame - kByteBufferFrom, kFrames - kByteBufferFrom);
    }
    return;
  }

  int n = 0;
  Cmd local;
  local.control = Cmd::kLocalCoordinates;
  local.Write(api, n++);

  // A sun: a gouraud-shaded square turning in the sky.
  const uint16_t corners[4] = {Rgb(Dim(31, depth), Dim(31, depth), Dim(8, depth)),
                               Rgb(Dim(31, depth), Dim(18, depth), 0),
                               Rgb(Dim(31, depth), Dim(6, depth), Dim(6, depth)),
                               Rgb(Dim(31, depth), Dim(12, depth), Dim(24, depth))};
  for (int k = 0; k < 4; ++k) api.WriteWordVDP1VRAM(kGouraudTable + k * 2u, corners[k]);
  Cmd sun;
  sun.control = Cmd::kPolygon;
  sun.drawMode = Cmd::kGouraud;
  sun.colour = Rgb(16, 16, 16);
  sun.gouraudAddress = kGouraudTable;
  for (int k = 0; k < 4; ++k) {
    const double a = f * 0.03 + k * kPi / 2;
    sun.xy[2 * k] = S16(300 + 26 * std::cos(a));
    sun.xy[2 * k + 1] = S16(52 + 26 * std::sin(a));
  }
  sun.Write(api, n++);

  // An orb that breathes: a scaled sprite about its centre.
  Cmd orb;
  orb.control = Cmd::kScaledSprite | Cmd::kZoomCentre;
  orb.drawMode = Cmd::DrawMode(Cmd::kBank256);
  orb.colour = kOrbBank;
  orb.textureAddress = kOrbTexture;
  orb.size = Cmd::Size(32, 32);
  const int16_t orbSize = S16(34 + 18 * std::sin(f * 0.07));
  orb.xy[0] = 60;
  orb.xy[1] = 56;
  orb.xy[2] = orbSize;
  orb.xy[3] = orbSize;
  orb.Write(api, n++);

  // A card turning about its vertical axis while it spins: a distorted sprite.
  Cmd card;
  card.control = Cmd::kDistortedSprite;
  card.drawMode = Cmd::DrawMode(Cmd::kBank16);
  card.colour = kCardBank;
  card.textureAddress = kCardTexture;
  card.size = Cmd::Size(32, 32);
  const double spin = f * 0.02, squash = std::cos(f * 0.05);
  const double cornerX[4] = {-20, 20, 20, -20}, cornerY[4] = {-20, -20, 20, 20};
  for (int k = 0; k < 4; ++k) {
    const double x = cornerX[k] * (0.35 + 0.65 * std::fabs(squash)), y = cornerY[k];
    card.xy[2 * k] = S16(180 + x * std::cos(spin) - y * std::sin(spin));
    card.xy[2 * k + 1] = S16(48 + x * std::sin(spin) + y * std::cos(spin));
  }
  card.Write(api, n++);

  // Three bouncing balls, each with a shadow on the ground that shrinks as it rises.
  struct Ball {
    int x, top, height;
  } balls[3];
  for (int i = 0; i < 3; ++i) {
    const int height = static_cast<int>(70 * std::fabs(std::sin((f + 17 * i) * kPi / 45)));
    balls[i] = {static_cast<int>(60 + i * 110 + 40 * std::sin(f * 0.013 + i * 2.1)),
                kGroundY - 16 - height, height};
  }
  for (const Ball& b : balls) {
    Cmd shadow;
    shadow.control = Cmd::kScaledSprite;
    shadow.drawMode = Cmd::DrawMode(Cmd::kRgb, Cmd::kShadow);
    shadow.textureAddress = kBallTexture;
    shadow.size = Cmd::Size(16, 16);
    const int16_t narrow = static_cast<int16_t>(b.height / 12);
    shadow.xy[0] = static_cast<int16_t>(b.x - 3 + narrow);
    shadow.xy[1] = kGroundY - 3;
    shadow.xy[4] = static_cast<int16_t>(b.x + 18 - narrow);
    shadow.xy[5] = kGroundY + 3;
    shadow.Write(api, n++);
  }
  for (const Ball& b : balls) {
    WriteBall(api, n++, b.x, b.top);
  }

  // A ship flying to and fro, mirrored when it turns back.
  Cmd ship;
  const double phase = f * 2 * kPi / 240;
  ship.control =
      static_cast<uint16_t>(Cmd::kNormalSprite | (std::cos(phase) < 0 ? Cmd::kFlipH : 0));
  ship.drawMode = Cmd::DrawMode(Cmd::kLookup16);
  ship.colour = static_cast<uint16_t>(kShipLookup / 8);
  ship.textureAddress = kShipTexture;
  ship.size = Cmd::Size(32, 16);
  ship.xy[0] = S16(160 + 150 * std::sin(phase));
  ship.xy[1] = S16(112 + 14 * std::sin(f * 0.11));
  ship.Write(api, n++);

  // A pane of glass sweeping across, half transparent, its light gouraud-shaded from a
  // warm top left to a cool bottom right, with its frame.
  const int16_t glassX = static_cast<int16_t>(-110 + (frame * 3) % 480), glassY = 64;
  const int tint[4][3] = {{6, 0, -6}, {0, 0, 0}, {-6, -2, 0}, {0, 0, 0}};
  for (int k = 0; k < 4; ++k)
    api.WriteWordVDP1VRAM(
        kGouraudTable + 8 + k * 2u,
        Rgb(16 + Dim(tint[k][0], depth), 16 + Dim(tint[k][1], depth), 16 + Dim(tint[k][2], depth)));
  Cmd glass;
  glass.control = Cmd::kPolygon;
  glass.drawMode = Cmd::kHalfTransparent | Cmd::kGouraud;
  glass.gouraudAddress = kGouraudTable + 8;
  glass.colour = Rgb(Dim(12, depth), Dim(28, depth), Dim(31, depth));
  const int16_t pane[8] = {glassX,
                           glassY,
                           static_cast<int16_t>(glassX + 96),
                           glassY,
                           static_cast<int16_t>(glassX + 96),
                           static_cast<int16_t>(glassY + 56),
                           glassX,
                           static_cast<int16_t>(glassY + 56)};
  for (int k = 0; k < 8; ++k) glass.xy[k] = pane[k];
  glass.Write(api, n++);
  Cmd frameLine = glass;
  frameLine.control = Cmd::kPolyline;
  frameLine.drawMode = Cmd::kReplace;
  frameLine.gouraudAddress = 0;
  frameLine.colour = Rgb(Dim(31, depth), Dim(31, depth), Dim(31, depth));
  frameLine.Write(api, n++);
  Cmd::End(api, n);
}

void SetUp(PluginApi& api) {
  api.WriteWordVDP1Regs(vdp1reg::TVMR, 0);
  api.WriteWordVDP1Regs(vdp1reg::FBCR, 0);  // one-cycle mode: a new frame buffer each frame
  api.WriteWordVDP1Regs(vdp1reg::PTMR, 2);  // and the command table drawn into it
  // The buffer shown is erased to transparent behind the beam, the whole 352 x 240 (X in
  // units of 8 dots, the right edge excluded; Y rows included).
  api.WriteWordVDP1Regs(vdp1reg::EWDR, 0);
  api.WriteWordVDP1Regs(vdp1reg::EWLR, 0);
  api.WriteWordVDP1Regs(vdp1reg::EWRR, 352 / 8 << 9 | 239);
  SetUpSky(api);
  SetUpTiles(api);
  SetUpSkyline(api);
  SetUpSpriteTextures(api);
  SceneRegisters(api);
}

}  // namespace

void PlayAnimatedDemo(SceneBus& bus) {
  const int frames = bus.demoFrames > 0 && bus.demoFrames < kFrames ? bus.demoFrames : kFrames;
  // Frames kept as pictures of their own, one or more from each part. The sheet's 16 cells
  // show every part of the whole demo, or frames spread over a shorter run.
  const int kKeyFrames[] = {60, 150, 200, 300, 420, 540, 660, 760, 840};
  static constexpr int kSheetFrames[ContactSheet::kCells] = {
      40, 120, 200, 290, 400, 440, 500, 540, 580, 630, 665, 700, 745, 780, 825, 860};
  auto sheetFrame = [frames](int i) {
    if (frames == kFrames) return kSheetFrames[i];
    const int margin = frames >= 48 ? 12 : 0;
    return margin + i * (frames - 1 - 2 * margin) / (ContactSheet::kCells - 1);
  };
  // The pictures are named after the renderer, so that runs with each share a folder.
  const char* suffix = bus.dotByDot ? "_dots" : "";
  ContactSheet sheet(bus.dotByDot ? "DOT BY DOT" : "OPENGL");
  int nextSheet = 0;
  std::vector<uint32_t> texels;
  SetUp(bus.api());
  const auto start = std::chrono::steady_clock::now();
  auto seconds = [&start] {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  };
  for (int frame = 0; frame < frames; ++frame) {
    WriteFrame(bus.api(), frame);
    bus.Frame();
    for (int key : kKeyFrames) {
      if (key != frame) continue;
      char name[32];
      std::snprintf(name, sizeof name, "demo_%04d%s", frame, suffix);
      bus.Capture(name);
    }
    int width = 0, height = 0;
    while (nextSheet < ContactSheet::kCells && sheetFrame(nextSheet) == frame) {
      if (bus.Presented(texels, width, height)) sheet.Add(frame, texels, width, height);
      ++nextSheet;
    }
    if ((frame + 1) % 60 == 0 || frame + 1 == frames)
      std::printf("demo: frame %d/%d, %.1f frames per second\n", frame + 1, frames,
                  (frame + 1) / seconds());
  }
  std::fflush(stdout);
  const std::string path = bus.outputDirectory + "/demo_contact_sheet" + suffix + ".png";
  if (sheet.Write(path)) std::printf("wrote %s (%d frames)\n", path.c_str(), ContactSheet::kCells);
}

}  // namespace vdphost
