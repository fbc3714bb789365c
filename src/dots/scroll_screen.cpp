// NBG0-NBG3 lines: the screen's settings read once per line, then one loop per dot format
// and per cell or bitmap form over the line's map coordinates.
#include "dots/scroll_screen.h"

#include "dots/cell_map.h"
#include "dots/dot_formats.h"
#include "dots/dot_table.h"
#include "dots/format_dots.h"
#include "dots/pattern_name.h"
#include "dots/scroll_coordinates.h"

namespace dots {
namespace {

using vdp::ConsoleMemory;

using Screen = ScrollScreenSetup;

using LineFunction = void (*)(const Screen&, const ScrollCoordinates&, int, const ConsoleMemory&,
                              ScrollScreenCache&, LayerDot*);

// A steady line: its cells' names are read and decoded once for the lines of a cell row
// (see LineCells), and each cell row read whole; its dots on the line follow from the left
// one.
template <class F>
void SteadyCellLine(const Screen& s, uint32_t x0, uint32_t y0, int width, const ConsoleMemory& vram,
                    ScrollScreenCache& cache, const FormatDots<F>& dots, LayerDot* out) {
  const CellMap& map = s.map;
  const uint32_t x = x0 & ((1024u << map.wide) - 1), y = y0 & ((1024u << map.tall) - 1);
  const CellColumn* column = cache.cells.Cross(
      map, s.decode, 8 * F::kRowBytes, x, y, width, vram, cache.vramStamp, dots.Stamp(),
      [&dots](uint32_t palette, uint8_t flags) { return dots.Colours(palette, flags); });
  const uint32_t rowInCell = y & 7;
  // A first cell shown from its dot x & 7, whole cells, a last cell shown in part.
  int i = 0;
  if (const uint32_t first = x & 7; first != 0) {
    const int count = width < static_cast<int>(8 - first) ? width : static_cast<int>(8 - first);
    dots.Row(*column, vram, rowInCell, first, count, out);
    i = count;
    ++column;
  }
  for (const CellColumn* whole = column + (width - i) / 8; column != whole; ++column, i += 8) {
    dots.Row(*column, vram, rowInCell, 0, 8, out + i);
  }
  if (i < width) dots.Row(*column, vram, rowInCell, 0, width - i, out + i);
}

template <class F>
void CellLine(const Screen& s, const ScrollCoordinates& c, int width, const ConsoleMemory& vram,
              ScrollScreenCache& cache, LayerDot* out) {
  FormatDots<F> dots(s, cache.dots);
  if (c.steady) return SteadyCellLine<F>(s, c.x[0], c.y[0], width, vram, cache, dots, out);
  const CellMap& map = s.map;
  const uint32_t maskX = (1024u << map.wide) - 1, maskY = (1024u << map.tall) - 1;
  const uint32_t charMask = (1u << map.charShift) - 1;
  uint32_t lastKey = ~0u;
  Character ch{};
  for (int i = 0; i < width; ++i) {
    const uint32_t x = c.x[i] & maskX, y = c.y[i] & maskY;
    const uint32_t key = (x >> map.charShift) | ((y >> map.charShift) << 16);
    if (key != lastKey) {
      lastKey = key;
      const uint32_t at = map.EntryAddress(x, y);
      ch = s.decode(map.form.oneWord ? vram.ReadWord(at) : vram.ReadLong(at));
      dots.Start(ch.palette, ch.flags);
    }
    out[i] = dots.Dot(CharacterDot<F>(vram, ch, x, y, charMask));
  }
}

template <class F>
void BitmapLine(const Screen& s, const ScrollCoordinates& c, int width, const ConsoleMemory& vram,
                ScrollScreenCache& cache, LayerDot* out) {
  FormatDots<F> dots(s, cache.dots);
  dots.Start(s.bitmapPalette, s.bitmapFlags);
  const uint32_t maskX = s.bitmapWidth - 1, maskY = s.bitmapHeight - 1;
  const uint32_t rowBytes = s.bitmapWidth * F::kRowBytes / 8;
  if (c.steady) {
    const uint32_t row = s.bitmapBase + (c.y[0] & maskY) * rowBytes;
    for (int i = 0; i < width; ++i) {
      const uint32_t x = (c.x[0] + static_cast<uint32_t>(i)) & maskX;
      out[i] = dots.Dot(F::Read(vram, row, x));
    }
    return;
  }
  for (int i = 0; i < width; ++i) {
    const uint32_t x = c.x[i] & maskX, y = c.y[i] & maskY;
    out[i] = dots.Dot(F::Read(vram, s.bitmapBase + y * rowBytes, x));
  }
}

// By colour code (16, 256, 2,048, 32,768, 16.7M colours), cells then bitmap.
constexpr LineFunction kLineFunctions[5][2] = {{CellLine<Palette16>, BitmapLine<Palette16>},
                                               {CellLine<Palette256>, BitmapLine<Palette256>},
                                               {CellLine<Palette2048>, BitmapLine<Palette2048>},
                                               {CellLine<Rgb15>, BitmapLine<Rgb15>},
                                               {CellLine<Rgb24>, BitmapLine<Rgb24>}};

// CHCTLA/CHCTLB fields of NBG n.
uint32_t ColourCode(int n, RegisterView r) {
  static constexpr uint8_t kHi[4] = {6, 13, 1, 5}, kLo[4] = {4, 12, 1, 5};
  return r.Field(n < 2 ? reg::CHCTLA : reg::CHCTLB, kHi[n], kLo[n]);
}
bool TwoByTwo(int n, RegisterView r) {
  static constexpr uint8_t kBit[4] = {0, 8, 0, 4};
  return r.Field(n < 2 ? reg::CHCTLA : reg::CHCTLB, kBit[n], kBit[n]);
}
bool IsBitmap(int n, RegisterView r) { return n < 2 && r.Field(reg::CHCTLA, n * 8 + 1, n * 8 + 1); }

void SetUpCells(int n, RegisterView r, uint32_t colourCode, Screen& s) {
  const uint32_t pncn = r[reg::PNCN0 + n * 2];
  s.map.form = PatternNameForm{vdp::Bit(pncn, 15) != 0, vdp::Bit(pncn, 14) != 0, colourCode == 0,
                               TwoByTwo(n, r), vdp::Bits(pncn, 9, 0)};
  s.decode = PatternNameDecoder(s.map.form);
  s.map.charShift = s.map.form.twoByTwo ? 4 : 3;
  s.map.nameBytes = s.map.form.oneWord ? 2 : 4;
  // A page is 512 x 512 dots: 64 x 64 names of 1x1 characters or 32 x 32 of 2x2.
  s.map.pageBytes = (s.map.form.twoByTwo ? 32 * 32 : 64 * 64) * s.map.nameBytes;
  const uint32_t size = r.Field(reg::PLSZ, n * 2 + 1, n * 2);
  s.map.wide = size & 1;
  s.map.tall = size >> 1;
  // A plane of several pages starts on a multiple of its own size.
  const uint32_t pagesMask = ~((1u << (s.map.wide + s.map.tall)) - 1);
  const uint32_t upper = r.Field(reg::MPOFN, n * 4 + 2, n * 4) << 6;
  for (int plane = 0; plane < 4; ++plane) {
    const uint32_t map = r[reg::MPABN0 + n * 4 + (plane >> 1) * 2];
    const uint32_t m = upper | (plane & 1 ? vdp::Bits(map, 13, 8) : vdp::Bits(map, 5, 0));
    s.map.planeAddress[plane] = ((m & pagesMask) * s.map.pageBytes) & vdp::kVramMask;
  }
}

void SetUpBitmap(int n, RegisterView r, Screen& s) {
  const uint32_t size = r.Field(reg::CHCTLA, n * 8 + 3, n * 8 + 2);
  s.bitmapWidth = size & 2 ? 1024 : 512;
  s.bitmapHeight = size & 1 ? 512 : 256;
  s.bitmapBase = r.Field(reg::MPOFN, n * 4 + 2, n * 4) * 0x20000;
  const uint32_t bmpna = vdp::Bits(r[reg::BMPNA], n * 8 + 5, n * 8);
  s.bitmapPalette = vdp::Bits(bmpna, 2, 0) << 4;
  s.bitmapFlags =
      static_cast<uint8_t>((vdp::Bit(bmpna, 5) ? kDotPr : 0) | (vdp::Bit(bmpna, 4) ? kDotCc : 0));
}

// s for NBG n under regs (but its colour RAM); false when no dot of the screen can show.
// Reads no scroll or zoom value, so that lines that differ only in those share it.
bool SetUp(int n, RegisterView regs, Screen& s) {
  if (!ScrollScreenShown(n, regs)) return false;
  s = Screen{};
  s.colourCode = ColourCode(n, regs);
  s.cramOffset = regs.Field(reg::CRAOFA, n * 4 + 2, n * 4) << 8;
  s.zeroOpaque = regs.Field(reg::BGON, n + 8, n + 8);
  s.priority = regs.Field(reg::PRINA + (n >> 1) * 2, (n & 1) * 8 + 2, (n & 1) * 8);
  s.priorityMode = regs.Field(reg::SFPRMD, n * 2 + 1, n * 2);
  // Priority 0 hides every dot, unless special priority can set the number's LSB.
  if (s.priority == 0 && s.priorityMode != 1 && s.priorityMode != 2) return false;
  s.specialCode = regs.Field(reg::SFCODE, 7, 0);
  if (regs.Field(reg::SFSEL, n, n)) s.specialCode = regs.Field(reg::SFCODE, 15, 8);
  s.bitmap = IsBitmap(n, regs);
  if (s.bitmap) {
    SetUpBitmap(n, regs, s);
  } else {
    SetUpCells(n, regs, s.colourCode, s);
  }
  return true;
}

}  // namespace

bool ScrollScreenShown(int n, RegisterView regs) {
  const uint32_t bgon = regs[reg::BGON];
  // RBG1 on: no NBG can be displayed.
  if (!vdp::Bit(bgon, n) || vdp::Bit(bgon, 5)) return false;
  const uint32_t nbg0 = ColourCode(0, regs), nbg1 = ColourCode(1, regs);
  if (n == 0) return nbg0 <= 4;  // codes 5-7 are not hardware settings
  if (nbg0 == 4) return false;   // NBG0 in 16.7M colours takes every other screen's reads
  if (n == 1) return true;
  // NBG0 (NBG1) in 2,048 or 32,768 colours, or at 16 colours reduced to 1/4 or 256 colours
  // reduced to 1/2, takes NBG2's (NBG3's) reads.
  const uint32_t partner = n == 2 ? nbg0 : nbg1;
  const uint32_t quarter = regs.Field(reg::ZMCTL, (n - 2) * 8 + 1, (n - 2) * 8 + 1);
  const uint32_t half = regs.Field(reg::ZMCTL, (n - 2) * 8, (n - 2) * 8) && !quarter;
  return partner != 2 && partner != 3 && !(quarter && partner == 0) && !(half && partner == 1);
}

bool DrawScrollScreenLine(int n, int y, const DisplayMode& mode, RegisterView regs,
                          const ColourRam& cram, const vdp::ConsoleMemory& vram,
                          ScrollScreenCache& cache, LayerDot* line) {
  Screen& s = cache.setup;
  const uint16_t* const settings = cache.settings ? cache.settings : regs.Words();
  if (cache.vramStamp == 0 || settings != cache.setupRegisters ||
      cache.vramStamp != cache.setupStamp || n != cache.setupScreen) {
    cache.setupRegisters = settings;
    cache.setupStamp = cache.vramStamp;
    cache.setupScreen = n;
    cache.shown = SetUp(n, regs, s);
  }
  if (!cache.shown) return false;
  s.cram = cram;
  ScrollCoordinates coordinates;
  ComputeScrollCoordinates(n, y, mode, regs, vram, coordinates);
  kLineFunctions[s.colourCode][s.bitmap](s, coordinates, mode.width, vram, cache, line);
  return true;
}

}  // namespace dots
