// VDP1's horizontal lines: every row of a normal or scaled sprite, and the lines of a
// distorted part whose edges run upright. The row is clipped once, and its dots are drawn
// by a loop made for the command's colour mode, so that most dots cost a texel read and a
// store. What each dot becomes is exactly what the dot-by-dot line draws.
#include <algorithm>

#include "dots/vdp1_raster.h"

namespace dots {

namespace {

constexpr uint32_t kFlat = kRgb + 1;  // an untextured part: CMDCOLR on every dot

// A row in progress: where it lands, and the texture and shade stepped along it.
struct RowRun {
  RowWindow window;
  int32_t x, y, dir, count;  // the first dot that lands, the row, +1 or -1, dots that land
  Stepper u;                 // texture column, before the flip
  int32_t width = 0, rowStart = 0, fetched = -1, endCodes = 0;
  bool flip = false, shades = false;
  Texel texel;
  ShadeStepper shade;

  int32_t Column() const { return flip ? width - 1 - u.Value() : u.Value(); }
};

// The texels read before the first dot that lands: their end codes count all the same.
// False when the second end code among them ends the line.
bool ReadAhead(const TexelFetch& texels, int32_t row, RowRun& r, int32_t steps) {
  for (; steps > 0; --steps) {
    const int32_t column = r.Column();
    r.u.Next();
    if (column == r.fetched) continue;
    r.fetched = column;
    r.texel = texels.At(column, row);
    if (r.texel.kind == TexelKind::kEndCode && ++r.endCodes == 2) return false;
  }
  return true;
}

template <uint32_t kMode, bool kPlain>
void RowDots(DotWriter& writer, const TexelFetch& texels, RowRun& r) {
  Texel texel = r.texel;
  int32_t fetched = r.fetched, endCodes = r.endCodes;
  for (int32_t n = r.count, x = r.x; n > 0; --n, x += r.dir) {
    if constexpr (kMode != kFlat) {
      const int32_t column = r.Column();
      r.u.Next();
      // End codes count per texel read: the second one ends the line.
      if (column != fetched) {
        fetched = column;
        texel = texels.Decode<kMode>(static_cast<uint32_t>(r.rowStart + column));
        if (texel.kind == TexelKind::kEndCode && ++endCodes == 2) return;
      }
    }
    if constexpr (kPlain) {
      if (texel.kind == TexelKind::kDot) writer.WritePlain(r.window, x, texel.colour);
    } else {
      if (texel.kind == TexelKind::kDot)
        writer.WriteInRow(r.window, x, r.y, texel.colour, r.shade.Value());
      if (r.shades) r.shade.Next();
    }
  }
}

using RowFunction = void (*)(DotWriter&, const TexelFetch&, RowRun&);
template <uint32_t kMode>
constexpr RowFunction kRowPair[2] = {RowDots<kMode, false>, RowDots<kMode, true>};
constexpr const RowFunction* kRows[kFlat + 1] = {
    kRowPair<kBank16>,  kRowPair<kLookupTable16>, kRowPair<kBank64>, kRowPair<kBank128>,
    kRowPair<kBank256>, kRowPair<kRgb>,           kRowPair<kFlat>};

}  // namespace

// A line on one plane row from `from` to x = toX in `steps` steps: x moves one dot a step,
// so no hole is filled; the texture's `row` is spread along it as on any line.
void Vdp1Raster::DrawRow(Point from, int32_t toX, int32_t steps, const Shade& shadeFrom,
                         const Shade& shadeTo, int32_t row) {
  RowRun r;
  r.window = writer_.Row(from.y);
  r.dir = toX >= from.x ? 1 : -1;
  // The steps whose dots land: x = from.x + dir * k inside the row's window.
  const int32_t first = std::max(0, r.dir > 0 ? r.window.left - from.x : from.x - r.window.right);
  const int32_t last =
      std::min(steps, r.dir > 0 ? r.window.right - from.x : from.x - r.window.left);
  if (first > last) return;
  r.x = from.x + r.dir * first;
  r.y = from.y;
  r.count = last - first + 1;
  r.texel = {TexelKind::kDot, flatColour_};
  r.shades = writer_.Shades();
  if (r.shades) {
    r.shade = ShadeStepper(shadeFrom, shadeTo, steps);
    r.shade.Skip(first);
  }
  if (textured_) {
    r.width = texels_.Width();
    r.rowStart = row * r.width;
    r.flip = flipH_;
    r.u = Stepper::Centres(r.width, steps + 1);
    if (texels_.EndCodes()) {
      if (!ReadAhead(texels_, row, r, first)) return;
    } else {
      r.u.Skip(first);
    }
  }
  kRows[textured_ ? texels_.Mode() : kFlat][writer_.Plain()](writer_, texels_, r);
}

}  // namespace dots
