// VDP1's horizontal lines: every row of a normal or scaled sprite, and the lines of a
// distorted part whose edges run upright. The row is clipped once, and its dots are drawn
// by a loop made for the command's colour mode and for how its dots are written, so that
// most dots cost a texel read and a store. What each dot becomes is exactly what the
// dot-by-dot line draws.
#include <algorithm>
#include <cstring>

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
  Texel texel;               // the texel in hand (the colour of an untextured part)
  // Textured rows.
  bool unit, flip;  // one texel a dot (column k at step k); the texture mirrored
  int32_t width, rowStart, fetched, endCodes;
  Stepper u;                  // texture column, before the flip (unless unit)
  const ShadeStepper* shade;  // at the first dot that lands, when the part shades
  // When not null, the row's columns as runs (from the first dot that lands; none read
  // ahead): they stand for u.
  const ColumnRun* runs = nullptr;
  int32_t runCount = 0;

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
        shades_(r.shade != nullptr) {
    if (shades_) shade_ = *r.shade;
  }

  void Put(uint16_t colour) {
    if constexpr (kWrite == kGeneral) {
      writer_.WriteInRow(window_, x_, y_, colour, shade_.Value());
    } else {
      // The row lies inside the buffer; console words are swapped in pairs in a host long.
      if (kWrite == kShadeStore && (colour & 0x8000u)) colour = ApplyShade(colour, shade_.Value());
      words_[x_ ^ 1] = colour;
    }
  }
  bool Rightwards() const { return dir_ > 0; }
  // kStore, the row drawn left to right: the dots colour(0) to colour(kCount - 1) from the
  // dot in hand on, dot k when drawn(k). Dot x is host word x ^ 1, so from an even or an
  // odd x the offsets are constants.
  template <uint32_t kCount, class Drawn, class Colour>
  void PutRight(const Drawn& drawn, const Colour& colour) {
    uint16_t* const at = words_ + x_;
    if (x_ & 1) {
#pragma GCC unroll 16
      for (uint32_t k = 0; k < kCount; ++k) {
        if (drawn(k)) at[static_cast<int32_t>((k + 1) ^ 1) - 1] = colour(k);
      }
    } else {
#pragma GCC unroll 16
      for (uint32_t k = 0; k < kCount; ++k) {
        if (drawn(k)) at[k ^ 1] = colour(k);
      }
    }
    x_ += static_cast<int32_t>(kCount);
  }
  // n dots of a gouraud-shaded RGB colour, stored (kShadeStore). Left to right, two dots
  // from an even x fill one host long: the left one in its upper half.
  void PutShaded(const ShadedColour& colour, int32_t n) {
    if (dir_ > 0 && n > 1) {
      if (x_ & 1) PutShaded(colour), Next(), --n;
      for (; n > 1; n -= 2, x_ += 2) {
        const uint64_t left = shade_.Lanes();
        shade_.Next();
        const uint32_t pair = colour.Pair(left, shade_.Lanes());
        shade_.Next();
        std::memcpy(words_ + x_, &pair, sizeof(pair));
      }
    }
    for (; n > 0; --n, Next()) PutShaded(colour);
  }
  void PutShaded(const ShadedColour& colour) { words_[x_ ^ 1] = colour.Of(shade_.Lanes()); }
  // n dots of one colour from the dot in hand on.
  void Fill(uint16_t colour, int32_t n) {
    if (kWrite == kStore && dir_ > 0) {
      // A host long of two equal console words is the same in either order.
      const uint32_t pair = colour * 0x10001u;
      if (n > 0 && (x_ & 1)) words_[x_ ^ 1] = colour, ++x_, --n;
      for (; n > 1; n -= 2, x_ += 2) std::memcpy(words_ + x_, &pair, sizeof(pair));
      if (n > 0) words_[x_ ^ 1] = colour, ++x_;
      return;
    }
    for (; n > 0; --n, Next()) Put(colour);
  }
  // n dots passed over.
  void Skip(int32_t n) {
    if (kWrite == kStore) {
      x_ += dir_ * n;
      return;
    }
    for (; n > 0; --n) Next();
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
  const bool shades_;
  ShadeStepper shade_;
};

// A row drawn one texel a dot (the texture unscaled along it): the row's codes are read a
// long at a time, in the order the dots are drawn.
template <uint32_t kMode, bool kBackwards, WriteKind kWrite>
void UnitRowDots(RowOut<kWrite>& out, const TexelFetch& texels, const RowRun& run) {
  const auto first = static_cast<uint32_t>(run.rowStart + run.Column());
  using Stream = TexelStream<kMode, kBackwards>;
  Stream stream(texels.Vram(), texels.Base(), first);
  int32_t endCodes = run.endCodes;
  for (int32_t n = run.count; n > 0;) {
    // A whole long, or two, with no end code: its dots are stored as they come, but the
    // transparent ones; when none is transparent, without a test.
    const auto stored = [&](auto dots) {
      constexpr uint32_t kCount = Stream::kPerLong * sizeof(dots) / 4;
      if (n < static_cast<int32_t>(kCount) || !texels.template NoEndCode<kMode>(dots)) return false;
      const auto colour = [&](uint32_t k) {
        return texels.template Colour<kMode>(Stream::Code(dots, k));
      };
      const auto drawn = [&](uint32_t k) { return texels.Drawn(Stream::Code(dots, k)); };
      if (!out.Rightwards()) {
#pragma GCC unroll 16
        for (uint32_t k = 0; k < kCount; ++k, out.Next()) {
          if (drawn(k)) out.Put(colour(k));
        }
      } else if (texels.template AllDots<kMode>(dots)) {
        out.template PutRight<kCount>([](uint32_t) { return true; }, colour);
      } else {
        out.template PutRight<kCount>(drawn, colour);
      }
      stream.SkipLongs(kCount / Stream::kPerLong);
      n -= static_cast<int32_t>(kCount);
      return true;
    };
    // The second long is read only when the row has two longs' dots left.
    const bool pairLeft = n >= static_cast<int32_t>(2 * Stream::kPerLong);
    if (kWrite == kStore && stream.AtLong() &&
        ((pairLeft && stored(stream.Pair())) || stored(stream.Whole()))) {
      continue;
    }
    const Texel texel = texels.FromCode<kMode>(stream.Take());
    if (texel.kind == TexelKind::kDot) {
      out.Put(texel.colour);
    } else if (texel.kind == TexelKind::kEndCode && ++endCodes == 2) {
      return;
    }
    --n;
    out.Next();
  }
}

// A row whose columns come as runs: each column read once, its dots filled.
template <uint32_t kMode, WriteKind kWrite>
void RunRowDots(RowOut<kWrite>& out, const TexelFetch& texels, const RowRun& run) {
  int32_t endCodes = run.endCodes;
  for (int32_t i = 0; i < run.runCount; ++i) {
    const ColumnRun c = run.runs[i];
    const Texel texel = texels.Decode<kMode>(static_cast<uint32_t>(run.rowStart + c.column));
    if (texel.kind == TexelKind::kDot) {
      out.Fill(texel.colour, c.dots);
      continue;
    }
    // End codes count per texel read: the second one ends the line.
    if (texel.kind == TexelKind::kEndCode && ++endCodes == 2) return;
    out.Skip(c.dots);
  }
}

template <uint32_t kMode, WriteKind kWrite>
void RowDots(DotWriter& writer, const TexelFetch& fetch, const RowRun& run) {
  RowOut<kWrite> out(writer, run);
  if constexpr (kMode == kFlat) {
    if (kWrite == kShadeStore && (run.texel.colour & 0x8000u)) {
      out.PutShaded(ShadedColour(run.texel.colour), run.count);
      return;
    }
    for (int32_t n = run.count; n > 0; --n, out.Next()) out.Put(run.texel.colour);
  } else {
    // A local copy: the frame buffer's stores cannot alias it.
    const TexelFetch texels = fetch;
    if (run.unit) {
      if (run.flip) return UnitRowDots<kMode, true>(out, texels, run);
      return UnitRowDots<kMode, false>(out, texels, run);
    }
    if (run.runs) return RunRowDots<kMode>(out, texels, run);
    int32_t endCodes = run.endCodes;
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

// The columns of a row's dots, from its first that lands, as runs.
int32_t ColumnRuns(const RowRun& r, ColumnRun* runs) {
  Stepper u = r.u;
  int32_t count = 0;
  for (int32_t k = 0; k < r.count; ++k, u.Next()) {
    const int32_t column = r.flip ? r.width - 1 - u.Value() : u.Value();
    if (count > 0 && runs[count - 1].column == column) {
      ++runs[count - 1].dots;
    } else {
      runs[count++] = ColumnRun{column, 1};
    }
  }
  return count;
}

}  // namespace

// A line on one plane row from `from` to x = toX in `steps` steps: x moves one dot a step,
// so no hole is filled; the texture's `row` is spread along it as on any line.
// The rows of a normal or scaled sprite (or of an upright rectangle drawn as a distorted
// sprite or polygon), left to right on rows top to bottom. Every row is
// the same line moved down, so where it lands across, its texture and how its dots are
// written are settled once; each row costs what DrawLine would charge it.
void Vdp1Raster::RectangleRows(int32_t left, int32_t right, int32_t top, int32_t bottom,
                               bool flipV) {
  const int32_t rows = bottom - top + 1, steps = right - left;
  const int32_t height = textured_ ? texels_.Height() : 1;
  const bool shades = writer_.Shades();
  Stepper v = Stepper::Centres(height, rows);
  ShadeStepper leftShade, rightShade, shade;
  if (shades) {
    leftShade = ShadeStepper(corners_[0], corners_[3], rows - 1);
    rightShade = ShadeStepper(corners_[1], corners_[2], rows - 1);
  }
  const ClipWindow& bounds = writer_.Bounds();
  const bool outsideAcross = preClip_ && (right < bounds.left || left > bounds.right);
  texels_.SetShrinking(false);
  const RowWindow across = writer_.Columns();
  const int32_t first = std::max(0, across.left - left),
                last = std::min(steps, across.right - left);
  RowRun start;
  start.dir = 1;
  start.x = left + first;
  start.count = last - first + 1;
  start.texel = {TexelKind::kDot, flatColour_};
  start.shade = shades ? &shade : nullptr;
  const bool readAhead = textured_ && texels_.EndCodes() && first > 0;
  if (textured_) {
    const RowTexture texture(texels_.Width(), steps);
    start.width = texels_.Width();
    start.flip = flipH_;
    start.unit = texture.unit;
    start.u = texture.u;
    start.fetched = -1;
    start.endCodes = 0;
    if (!readAhead) {
      start.u.Skip(first);
      if (!start.unit && start.count <= kMaxRuns) {
        start.runs = runs_;
        start.runCount = ColumnRuns(start, runs_);
      }
    }
  }
  const RowFunction draw = kRows[textured_ ? texels_.Mode() : kFlat][rowWrite_];
  for (int32_t y = top; y <= bottom && budget_ > 0; ++y, v.Next()) {
    const int32_t row = flipV ? height - 1 - v.Value() : v.Value();
    if (shades) {
      shade = ShadeStepper(leftShade.Value(), rightShade.Value(), steps);
      if (first > 0) shade.Skip(first);
      leftShade.Next();
      rightShade.Next();
    }
    if (preClip_ && (outsideAcross || y < bounds.top || y > bounds.bottom)) {
      Spend(1);
      continue;
    }
    if (!Spend(steps + 1) || first > last) continue;
    // Only the row's own fields change, but for the texels read ahead of it.
    start.window = writer_.Row(y);
    if (start.window.left > start.window.right) continue;
    start.y = y;
    if (textured_) start.rowStart = row * start.width;
    if (!readAhead) {
      draw(writer_, texels_, start);
      continue;
    }
    RowRun r = start;
    if (ReadAhead(texels_, row, r, first)) draw(writer_, texels_, r);
  }
}

// How the part's rows are written, once the dot writer has taken the command's draw mode.
void Vdp1Raster::ChooseRowWrite() {
  rowWrite_ = writer_.Plain() ? kStore : (writer_.ShadesPlainly() ? kShadeStore : kGeneral);
}

void Vdp1Raster::DrawRow(Point from, int32_t toX, int32_t steps, const RowTexture& texture,
                         const Shade& shadeFrom, const Shade& shadeTo, int32_t row) {
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
  ShadeStepper shade;
  r.shade = nullptr;
  if (writer_.Shades()) {
    shade = ShadeStepper(shadeFrom, shadeTo, steps);
    if (first > 0) shade.Skip(first);
    r.shade = &shade;
  }
  if (textured_) {
    r.width = texels_.Width();
    r.rowStart = row * r.width;
    r.flip = flipH_;
    r.unit = texture.unit;
    r.u = texture.u;
    r.fetched = -1;
    r.endCodes = 0;
    if (texels_.EndCodes()) {
      if (!ReadAhead(texels_, row, r, first)) return;
    } else if (first > 0) {
      r.u.Skip(first);
    }
  }
  kRows[textured_ ? texels_.Mode() : kFlat][rowWrite_](writer_, texels_, r);
}

}  // namespace dots
