// Rotating screen lines: per line, the settings of both parameter sets (transform,
// coefficients, map); per dot, a coordinate pass (parameter choice, coefficient, transform)
// then one fetch loop per dot format and per cell or bitmap form.
#include "dots/rotation_screen.h"

#include "dots/dot_formats.h"
#include "dots/format_dots.h"
#include "dots/pattern_name.h"
#include "dots/rotation_coefficients.h"
#include "dots/rotation_registers.h"
#include "dots/window.h"

namespace dots {
namespace {

constexpr uint8_t kNoSet = 2;  // the dot is transparent (coefficient transparent bit)
// Screen-over process outside the display area (PLSZ's RxOVR): 0 repeat the area, 1 the
// over pattern name's character repeated, 2 transparent, 3 a 512 x 512 area then
// transparent.
enum Over : uint32_t { kRepeat = 0, kOverCharacter = 1, kTransparent = 2, kClip512 = 3 };

// One parameter set on one line.
struct SetLine {
  LineTransform t;
  CoefficientTable k;
  uint32_t lineEntry;     // the coefficient entry of the line when read once per line
  uint32_t areaW, areaH;  // display area in dots (powers of two)
  uint32_t over;          // kRepeat, kOverCharacter or kTransparent
  Character overCharacter;
  uint32_t wide, tall;  // plane of 2 pages across / down
  uint32_t planeAddress[16];
  uint32_t bitmapBase;
};

struct Screen : ScreenColours {
  PatternNameForm form;
  PatternNameDecoder decode;
  uint32_t charShift, pageBytes, nameBytes;
  bool bitmap;
  uint32_t bitmapHeight, bitmapPalette;
  uint8_t bitmapFlags;
  uint32_t colourCode;  // 0-4: 16, 256, 2,048, 32,768, 16.7M colours
  uint32_t mode;        // RPMD, 0 for RBG1
  int fixedSet;         // the set of modes 0 and 1, and of RBG1
  SetLine sets[2];

  // Map of 4 x 4 planes A-P, each of 1 or 2 x 1 or 2 pages of 512 x 512 dots.
  uint32_t EntryAddress(const SetLine& p, uint32_t x, uint32_t y) const {
    const uint32_t plane = (((y >> (9 + p.tall)) & 3) << 2) | ((x >> (9 + p.wide)) & 3);
    const uint32_t page = (((y >> 9) & p.tall) << p.wide) | ((x >> 9) & p.wide);
    const uint32_t entry = (((y & 511) >> charShift) << (9 - charShift)) | ((x & 511) >> charShift);
    return p.planeAddress[plane] + page * pageBytes + entry * nameBytes;
  }
};

// Integer map coordinates of each dot and the set that draws it (kNoSet: none).
struct Coordinates {
  int32_t x[Picture::kMaxWidth], y[Picture::kMaxWidth];
  uint8_t set[Picture::kMaxWidth];
  uint8_t lineColour[Picture::kMaxWidth];  // CoefficientTable::LineColour

  void Hide(int h) {
    set[h] = kNoSet;
    lineColour[h] = 0;
  }
};

void SetUpMap(int set, RegisterView r, const Screen& s, SetLine& p) {
  const uint32_t size = r.Field(reg::PLSZ, set * 4 + 9, set * 4 + 8);
  const uint32_t over = r.Field(reg::PLSZ, set * 4 + 11, set * 4 + 10);
  const uint32_t offset = r.Field(reg::MPOFR, set * 4 + 2, set * 4);
  p.wide = size & 1;
  p.tall = size >> 1;
  p.bitmapBase = (offset * 0x20000) & vdp::kVramMask;
  p.areaW = s.bitmap ? 512 : 2048u << p.wide;
  p.areaH = s.bitmap ? s.bitmapHeight : 2048u << p.tall;
  p.over = over;
  if (over == kClip512) {
    p.areaW = p.areaH = 512;
    p.over = kTransparent;
  }
  // The over character: bitmaps have none, and show nothing there.
  if (over == kOverCharacter && s.bitmap) p.over = kTransparent;
  PatternNameForm oneWord = s.form;
  oneWord.oneWord = true;
  p.overCharacter = PatternNameDecoder(oneWord)(r[reg::OVPNRA + set * 2]);
  // A plane of several pages starts on a multiple of its own size.
  const uint32_t pagesMask = ~((1u << (p.wide + p.tall)) - 1);
  for (uint32_t plane = 0; plane < 16; ++plane) {
    const uint32_t map = r[reg::MPABRA + set * reg::kParameterBMapStride + (plane >> 1) * 2];
    const uint32_t m = (offset << 6) | (plane & 1 ? vdp::Bits(map, 13, 8) : vdp::Bits(map, 5, 0));
    p.planeAddress[plane] = ((m & pagesMask) * s.pageBytes) & vdp::kVramMask;
  }
}

// The screen's settings on the line; false when it does not show.
bool SetUp(int screen, const RotationLineInput& in, Screen& s) {
  const RegisterView r = in.regs;
  const uint32_t bgon = r[reg::BGON];
  if (!vdp::Bit(bgon, reg::kR0onBit)) return false;  // RBG1 also needs RBG0 on
  if (screen == 1 && !vdp::Bit(bgon, reg::kR1onBit)) return false;
  // RBG1 takes NBG0's settings (cells only); RBG0 its own.
  const bool r0 = screen == 0;
  const uint32_t colourCode = r0 ? r.Field(reg::CHCTLB, 14, 12) : r.Field(reg::CHCTLA, 6, 4);
  if (colourCode > 4) return false;  // not hardware settings
  s.colourCode = colourCode;
  s.cram = in.cram;
  s.cramOffset = (r0 ? r.Field(reg::CRAOFB, 2, 0) : r.Field(reg::CRAOFA, 2, 0)) << 8;
  s.zeroOpaque = vdp::Bit(bgon, r0 ? reg::kR0tponBit : 8);  // R0TPON or N0TPON
  s.priority = r0 ? r.Field(reg::PRIR, 2, 0) : r.Field(reg::PRINA, 2, 0);
  s.priorityMode = r0 ? r.Field(reg::SFPRMD, 9, 8) : r.Field(reg::SFPRMD, 1, 0);
  s.specialCode = r.Field(reg::SFSEL, r0 ? 4 : 0, r0 ? 4 : 0) ? r.Field(reg::SFCODE, 15, 8)
                                                              : r.Field(reg::SFCODE, 7, 0);
  const uint32_t pncn = r[r0 ? reg::PNCR : reg::PNCN0];
  const bool twoByTwo = r0 ? r.Field(reg::CHCTLB, 8, 8) : r.Field(reg::CHCTLA, 0, 0);
  s.form = PatternNameForm{vdp::Bit(pncn, 15) != 0, vdp::Bit(pncn, 14) != 0, colourCode == 0,
                           twoByTwo, vdp::Bits(pncn, 9, 0)};
  s.decode = PatternNameDecoder(s.form);
  s.charShift = twoByTwo ? 4 : 3;
  s.nameBytes = s.form.oneWord ? 2 : 4;
  s.pageBytes = (twoByTwo ? 32 * 32 : 64 * 64) * s.nameBytes;
  s.bitmap = r0 && r.Field(reg::CHCTLB, 9, 9);
  s.bitmapHeight = r.Field(reg::CHCTLB, 10, 10) ? 512 : 256;
  const uint32_t bmpnb = r[reg::BMPNB];
  s.bitmapPalette = vdp::Bits(bmpnb, 2, 0) << 4;
  s.bitmapFlags =
      static_cast<uint8_t>((vdp::Bit(bmpnb, 5) ? kDotPr : 0) | (vdp::Bit(bmpnb, 4) ? kDotCc : 0));
  s.mode = r0 ? r.Field(reg::RPMD, 1, 0) : 0;
  s.fixedSet = !r0 || s.mode == 1 ? 1 : 0;
  for (int set = 0; set < 2; ++set) {
    SetLine& p = s.sets[set];
    const ParameterTable t = ReadParameterTable(in.vram, ParameterTableAddress(r, set));
    p.t = TransformLine(t, in.starts[set]);
    // With parameters switched by A's coefficients read per dot, B reads its per line.
    const CoefficientTable& a = s.sets[0].k;
    const bool perDot = !(set == 1 && s.mode == 2 && a.on() && a.perDot());
    p.k = CoefficientTable(set, r, in.starts[set], t, in.cramWords, perDot);
    p.lineEntry = p.k.on() ? p.k.Entry(in.vram, 0) : 0;
    SetUpMap(set, r, s, p);
  }
  return true;
}

// The scales and Xp of a dot of set p whose coefficient entry is e; false when the entry
// makes the dot transparent.
struct DotScale {
  int64_t kx, ky, xp;
  uint8_t lineColour;
};
inline bool Scale(const SetLine& p, uint32_t e, DotScale& d) {
  d = DotScale{p.t.kx, p.t.ky, p.t.xp, 0};
  if (!p.k.on()) return true;
  if (CoefficientTable::Transparent(e)) return false;
  d.lineColour = static_cast<uint8_t>(p.k.LineColour(e));
  const int64_t v = p.k.Value(e);
  switch (p.k.use()) {
    case CoefficientTable::kScaleXY:
      d.kx = d.ky = v;
      break;
    case CoefficientTable::kScaleX:
      d.kx = v;
      break;
    case CoefficientTable::kScaleY:
      d.ky = v;
      break;
    case CoefficientTable::kXp:
      d.xp = v;
      break;
  }
  return true;
}

// Dot h of set p at the sums x = kx (Xsp + dX H), y = ky (Ysp + dY H): 16 fraction bits
// throughout, the map dot is the result's floor.
inline void Place(const SetLine& p, int set, const DotScale& d, int h, int64_t x, int64_t y,
                  Coordinates& c) {
  c.set[h] = static_cast<uint8_t>(set);
  c.lineColour[h] = d.lineColour;
  c.x[h] = static_cast<int32_t>(((x >> 16) + d.xp) >> 16);
  c.y[h] = static_cast<int32_t>(((y >> 16) + p.t.yp) >> 16);
}

// Dot h through set p, its sums multiplied out.
inline void Transform(const SetLine& p, int set, const DotScale& d, int h, Coordinates& c) {
  Place(p, set, d, h, d.kx * (p.t.xsp + p.t.dx * h), d.ky * (p.t.ysp + p.t.dy * h), c);
}

// One set for the whole line, its scales fixed for the line: the same sums, stepped.
void FixedLine(const SetLine& p, int set, const DotScale& d, int width, Coordinates& c) {
  int64_t x = d.kx * p.t.xsp, y = d.ky * p.t.ysp;
  const int64_t stepX = d.kx * p.t.dx, stepY = d.ky * p.t.dy;
  for (int h = 0; h < width; ++h, x += stepX, y += stepY) Place(p, set, d, h, x, y, c);
}

// One set for the whole line, its coefficients read per dot: the dots that read one entry
// (KA moves by less than one entry a dot) share its scales, and their sums step as in
// FixedLine.
void PerDotLine(const SetLine& p, int set, const vdp::ConsoleMemory& vram, int width,
                Coordinates& c) {
  uint32_t lastIndex = ~0u;
  bool shown = false;
  DotScale d{};
  int64_t x = 0, y = 0, stepX = 0, stepY = 0;
  for (int h = 0; h < width; ++h, x += stepX, y += stepY) {
    if (const uint32_t index = p.k.Index(h); index != lastIndex) {
      lastIndex = index;
      shown = Scale(p, p.k.EntryAt(vram, index), d);
      x = d.kx * (p.t.xsp + p.t.dx * h);
      y = d.ky * (p.t.ysp + p.t.dy * h);
      stepX = d.kx * p.t.dx;
      stepY = d.ky * p.t.dy;
    }
    if (shown) {
      Place(p, set, d, h, x, y, c);
    } else {
      c.Hide(h);
    }
  }
}

void ComputeCoordinates(int screen, const Screen& s, const RotationLineInput& in, Coordinates& c) {
  const int width = in.mode.width;
  DotScale d;
  if (s.mode < 2) {
    const SetLine& p = s.sets[s.fixedSet];
    if (p.k.OneEntry()) {
      if (Scale(p, p.lineEntry, d)) {
        FixedLine(p, s.fixedSet, d, width, c);
      } else {
        for (int h = 0; h < width; ++h) c.Hide(h);
      }
    } else {
      PerDotLine(p, s.fixedSet, in.vram, width, c);
    }
  } else {
    uint8_t inB[Picture::kMaxWidth];
    if (s.mode == 3) {
      const LineWindows windows = ComputeLineWindows(in.y, in.mode, in.regs, in.vram);
      FillWindowMask(WindowControl(in.regs, kWindowRotationParameters), windows, in.sprites, width,
                     inB);
    }
    const SetLine& a = s.sets[0];
    for (int h = 0; h < width; ++h) {
      int set = s.mode == 3 ? inB[h] : 0;
      uint32_t entryA = 0;
      if (s.mode == 2 && a.k.on()) {
        // A's transparent bit picks B's image (and B's coefficient) instead of A's.
        entryA = a.k.OneEntry() ? a.lineEntry : a.k.Entry(in.vram, h);
        set = CoefficientTable::Transparent(entryA) ? 1 : 0;
      }
      const SetLine& p = s.sets[set];
      const uint32_t e = s.mode == 2 && set == 0 ? entryA
                         : p.k.OneEntry()        ? p.lineEntry
                                                 : p.k.Entry(in.vram, h);
      if (Scale(p, e, d))
        Transform(p, set, d, h, c);
      else
        c.Hide(h);
    }
  }
  // Mosaic (across only): each block's dots take its left dot's.
  const uint32_t mosaicBit = screen == 0 ? 4 : 0;
  if (!in.regs.Field(reg::MZCTL, mosaicBit, mosaicBit)) return;
  const int block = static_cast<int>(in.regs.Field(reg::MZCTL, 11, 8)) + 1;
  for (int h = 0; h < width; ++h) {
    if (h % block == 0) continue;
    c.x[h] = c.x[h - 1];
    c.y[h] = c.y[h - 1];
    c.set[h] = c.set[h - 1];
    c.lineColour[h] = c.lineColour[h - 1];
  }
}

using LineFunction = void (*)(const Screen&, const Coordinates&, int, const vdp::ConsoleMemory&,
                              DotTable&, LayerDot*);

// kOneSet: every dot that shows is drawn by s.sets[s.fixedSet] (modes 0 and 1, RBG1).
// kCharShift: 3 for characters of one cell, 4 for 2 x 2 cells (cells only).
template <class F, bool kBitmap, bool kOneSet, uint32_t kCharShift>
void FetchDots(const Screen& s, const Coordinates& c, int width, const vdp::ConsoleMemory& vram,
               DotTable& table, LayerDot* out) {
  constexpr uint32_t kCharMask = (1u << kCharShift) - 1;
  const uint32_t charMask = (1u << s.charShift) - 1;
  // The character in hand: its cell column and row on the map, its set, and where its
  // flips put a dot.
  uint32_t lastColumn = ~0u, lastRow = ~0u, lastSet = kNoSet;
  uint32_t flipX = 0, flipY = 0;
  Character ch{};
  FormatDots<F> dots(s, table);
  if constexpr (kBitmap) dots.Start(s.bitmapPalette, s.bitmapFlags);
  const SetLine* const fixed = &s.sets[s.fixedSet];
  for (int h = 0; h < width; ++h) {
    const uint32_t set = c.set[h];
    if (set == kNoSet) {
      out[h] = LayerDot{0, 0, 0, 0};
      continue;
    }
    const SetLine& p = kOneSet ? *fixed : s.sets[set];
    uint32_t x = static_cast<uint32_t>(c.x[h]), y = static_cast<uint32_t>(c.y[h]);
    if (x >= p.areaW || y >= p.areaH) {
      if (p.over == kOverCharacter) {
        const Character& o = p.overCharacter;
        out[h] = s.Make<F>(CharacterDot<F>(vram, o, x, y, charMask), o.palette, o.flags);
        continue;
      }
      if (p.over != kRepeat) {
        out[h] = LayerDot{0, 0, 0, 0};
        continue;
      }
      x &= p.areaW - 1;
      y &= p.areaH - 1;
    }
    if constexpr (kBitmap) {
      // 512-dot rows; a 256-line bitmap shows twice in a 512 x 512 area.
      const uint32_t row = p.bitmapBase + (y & (s.bitmapHeight - 1)) * 64 * F::kRowBytes;
      dots.Put(F::Read(vram, row, x), out + h);
    } else {
      const uint32_t column = x >> kCharShift, row = y >> kCharShift;
      if (column != lastColumn || row != lastRow || (!kOneSet && set != lastSet)) {
        lastColumn = column, lastRow = row, lastSet = set;
        const uint32_t at = s.EntryAddress(p, x, y);
        ch = s.decode(s.form.oneWord ? vram.ReadWord(at) : vram.ReadLong(at));
        dots.Start(ch.palette, ch.flags);
        flipX = ch.hFlip ? kCharMask : 0;
        flipY = ch.vFlip ? kCharMask : 0;
      }
      const uint32_t raw = TurnedCharacterDot<F, kCharShift == 4>(
          vram, ch.address, (x & kCharMask) ^ flipX, (y & kCharMask) ^ flipY);
      dots.Put(raw, out + h);
    }
  }
}

template <class F, bool kBitmap>
void FetchLine(const Screen& s, const Coordinates& c, int width, const vdp::ConsoleMemory& vram,
               DotTable& table, LayerDot* out) {
  const bool large = s.charShift == 4;
  if (kBitmap || !large) {
    if (s.mode < 2) return FetchDots<F, kBitmap, true, 3>(s, c, width, vram, table, out);
    return FetchDots<F, kBitmap, false, 3>(s, c, width, vram, table, out);
  }
  if (s.mode < 2) return FetchDots<F, kBitmap, true, 4>(s, c, width, vram, table, out);
  FetchDots<F, kBitmap, false, 4>(s, c, width, vram, table, out);
}

// By colour code (16, 256, 2,048, 32,768, 16.7M colours), cells then bitmap.
constexpr LineFunction kLineFunctions[5][2] = {
    {FetchLine<Palette16, false>, FetchLine<Palette16, true>},
    {FetchLine<Palette256, false>, FetchLine<Palette256, true>},
    {FetchLine<Palette2048, false>, FetchLine<Palette2048, true>},
    {FetchLine<Rgb15, false>, FetchLine<Rgb15, true>},
    {FetchLine<Rgb24, false>, FetchLine<Rgb24, true>}};

}  // namespace

bool DrawRotationScreenLine(int screen, const RotationLineInput& in, DotTable& dots, LayerDot* line,
                            uint16_t* lineColour) {
  const int width = in.mode.width;
  Screen s;
  if (!SetUp(screen, in, s)) return false;
  Coordinates c;
  ComputeCoordinates(screen, s, in, c);
  kLineFunctions[s.colourCode][s.bitmap](s, c, width, in.vram, dots, line);
  if (screen != 0 || !(s.sets[0].k.CarriesLineColour() || s.sets[1].k.CarriesLineColour())) {
    return true;
  }
  for (int x = 0; x < width; ++x) {
    if (c.lineColour[x]) lineColour[x] = (lineColour[x] & 0x780) | (c.lineColour[x] & 0x7F);
  }
  return true;
}

}  // namespace dots
