// The animated demo: eight seconds of a Saturn-style scene, driven the way a game drives
// the chips. Everything is made here from arithmetic: a sky of rings whose colours cycle
// through colour RAM (NBG3), a skyline bitmap (NBG1), a row of emblems built from one
// flipped 2x2 character over a brick ground (NBG2), and VDP1 sprites and polygons above
// them, all in the 352 x 240 mode. The picture fades in and out through the colour
// offset, and the emblem plane moves in front of the sprites for two seconds. A last
// stretch of two seconds shows what only a dot-by-dot picture holds: the skyline waves
// line by line (a line scroll table), the ground breaks into growing and shrinking mosaic
// blocks, and the sky gives way to a back screen with a colour of its own on every line.
#include <algorithm>
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
constexpr int kFrames = kStoryFrames + kStretchFrames;
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
constexpr uint32_t kBallTexture = 0x10000;  // 16 x 16, RGB
constexpr uint32_t kShipTexture = 0x10400;  // 32 x 16, 16 colours through a lookup table
constexpr uint32_t kOrbTexture = 0x10800;   // 32 x 32, 256-colour bank
constexpr uint32_t kCardTexture = 0x10C00;  // 32 x 32, 16-colour bank

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
}

// --- One frame ------------------------------------------------------------------------------

int16_t S16(double v) { return static_cast<int16_t>(std::lround(v)); }

// How far the picture is faded towards black, 0 (not) to 255 (black): the scene and the
// stretch after it each fade in at their start and out at their end.
int FadeDepth(int frame) {
  const bool story = frame < kStoryFrames;
  const int t = story ? frame : frame - kStoryFrames;
  const int length = story ? kStoryFrames : kStretchFrames;
  const int fade = story ? kFadeFrames : kStretchFadeFrames;
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
  if (frame >= kStoryFrames) WriteStretch(api, frame - kStoryFrames);

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
    Cmd ball;
    ball.control = Cmd::kNormalSprite;
    ball.drawMode = Cmd::DrawMode(Cmd::kRgb);
    ball.textureAddress = kBallTexture;
    ball.size = Cmd::Size(16, 16);
    ball.xy[0] = static_cast<int16_t>(b.x);
    ball.xy[1] = static_cast<int16_t>(b.top);
    ball.Write(api, n++);
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
  using namespace vdp2reg;
  api.WriteWordVDP2Regs(TVMD, 0x8011);    // display on, 352 x 240
  api.WriteWordVDP2Regs(RAMCTL, 0x1000);  // 2,048 colours of one word each
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
}

}  // namespace

void PlayAnimatedDemo(SceneBus& bus) {
  const int frames = bus.demoFrames > 0 && bus.demoFrames < kFrames ? bus.demoFrames : kFrames;
  // Frames kept as pictures of their own, and 16 spread over the run for the sheet.
  const int kKeyFrames[] = {60, 150, 200, 300, 420};
  auto sheetFrame = [frames](int i) {
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
