// VDP1's horizontal lines: every row of a normal or scaled sprite, and the lines of a
// distorted part whose edges run upright. The row is clipped once, and its dots are drawn
// by a loop made for the command's colour mode and for how its dots are written, so that
// most dots cost a texel read and a store. What each dot becomes is exactly what the
// dot-by-dot line draws.
#include <algorithm>

#include "dots/vdp1_raster.h"

namespace dots {

namespace {

constexpr uint32_t kFlat = kRgb + 1;  // an untextured part: CMDCOLR on every dot

// How a row's dots are written: stored as they are; gouraud-shaded and stored (RGB dots
// only); or through every rule of the dot writer.
enum WriteKind : uint32_t { kStore, kShadeStore, kGeneral, kWriteKinds };

// A row in progress: where it lands, and the texture and shade stepped along it.
struct RowRun {
  RowWindow window;
  int32_t x, y, dir, count;  // the first dot that lands, the row, +1 or -1, dots that land
  bool unit = false;         // one texel a dot: column k at step k, the texture unscaled
  Stepper u;                 // texture column, before the flip (unless unit)
  int32_t width = 0, rowStart = 0, fetched = -1, endCodes = 0;
  bool flip = false;
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

// The writing end of a row: the next dot's place and shade. The loops below hold it as a
// local, so that the frame buffer's stores cannot alias its fields.
template <WriteKind kWrite>
class RowOut {
 public:
  RowOut(DotWriter& writer, const RowRun& r)
      : writer_(writer),
        window_(r.window),
        words_(reinterpret_cast<uint16_t*>(writer.Memory().longs) + r.window.rowAddress / 2),
        x_(r.x),
        y_(r.y),
        dir_(r.dir),
        shade_(r.shade),
        shades_(writer.Shades()) {}

  void Put(uint16_t colour) {
    if constexpr (kWrite == kGeneral) {
      writer_.WriteInRow(window_, x_, y_, colour, shade_.Value());
    } else {
      // The row lies inside the buffer; console words are swapped in pairs in a host long.
      if (kWrite == kShadeStore && (colour & 0x8000u)) colour = ApplyShade(colour, shade_.Value());
      words_[x_ ^ 1] = colour;
    }
  }
  void Next() {
    x_ += dir_;
    if (kWrite == kShadeStore || (kWrite == kGeneral && shades_)) shade_.Next();
  }

 private:
  DotWriter& writer_;
  const RowWindow window_;
  uint16_t* const words_;
  int32_t x_;
  const int32_t y_, dir_;
  ShadeStepper shade_;
  const bool shades_;
};

template <uint32_t kMode, WriteKind kWrite>
void RowDots(DotWriter& writer, const TexelFetch& fetch, const RowRun& run) {
  RowOut<kWrite> out(writer, run);
  if constexpr (kMode == kFlat) {
    for (int32_t n = run.count; n > 0; --n, out.Next()) out.Put(run.texel.colour);
  } else {
    const TexelFetch texels = fetch;
    int32_t endCodes = run.endCodes;
    if (run.unit) {
      // Each dot reads a texel of its own.
      const int32_t step = run.flip ? -1 : 1;
      auto index = static_cast<uint32_t>(run.rowStart + run.Column());
      for (int32_t n = run.count; n > 0; --n, out.Next(), index += step) {
        const Texel texel = texels.Decode<kMode>(index);
        if (texel.kind == TexelKind::kDot) {
          out.Put(texel.colour);
        } else if (texel.kind == TexelKind::kEndCode && ++endCodes == 2) {
          return;
        }
      }
      return;
    }
    Stepper u = run.u;
    Texel texel = run.texel;
    int32_t fetched = run.fetched;
    for (int32_t n = run.count; n > 0; --n, out.Next()) {
      const int32_t column = run.flip ? run.width - 1 - u.Value() : u.Value();
      u.Next();
      // End codes count per texel read: the second one ends the line.
      if (column != fetched) {
        fetched = column;
        texel = texels.Decode<kMode>(static_cast<uint32_t>(run.rowStart + column));
        if (texel.kind == TexelKind::kEndCode && ++endCodes == 2) return;
      }
      if (texel.kind == TexelKind::kDot) out.Put(texel.colour);
    }
  }
}

using RowFunction = void (*)(DotWriter&, const TexelFetch&, const RowRun&);
template <uint32_t kMode>
constexpr RowFunction kRowWrites[kWriteKinds] = {
    RowDots<kMode, kStore>, RowDots<kMode, kShadeStore>, RowDots<kMode, kGeneral>};
constexpr const RowFunction* kRows[kFlat + 1] = {
    kRowWrites<kBank16>,  kRowWrites<kLookupTable16>, kRowWrites<kBank64>, kRowWrites<kBank128>,
    kRowWrites<kBank256>, kRowWrites<kRgb>,           kRowWrites<kFlat>};

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
  if (writer_.Shades()) {
    r.shade = ShadeStepper(shadeFrom, shadeTo, steps);
    if (first > 0) r.shade.Skip(first);
  }
  if (textured_) {
    r.width = texels_.Width();
    r.rowStart = row * r.width;
    r.flip = flipH_;
    r.unit = steps + 1 == r.width;
    r.u = r.unit ? Stepper(0, 1, 1) : Stepper::Centres(r.width, steps + 1);
    if (texels_.EndCodes()) {
      if (!ReadAhead(texels_, row, r, first)) return;
    } else if (first > 0) {
      r.u.Skip(first);
    }
  }
  const WriteKind write =
      writer_.Plain() ? kStore : (writer_.ShadesPlainly() ? kShadeStore : kGeneral);
  kRows[textured_ ? texels_.Mode() : kFlat][write](writer_, texels_, r);
}

}  // namespace dots
