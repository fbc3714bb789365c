// VDP1's command table walk and the drawing of each kind of part, dot by dot.
#include "dots/vdp1_raster.h"

#include <algorithm>
#include <cstdlib>

#include "dots/quad_walk.h"
#include "dots/stepper.h"

namespace dots {

namespace {

constexpr uint32_t kTableBytes = 0x20;

Point Offset(Point p, Point by) { return {p.x + by.x, p.y + by.y}; }

}  // namespace

void Vdp1Raster::Reset() {
  system_ = {0, 0, 1023, 511};
  user_ = {0, 0, -1, -1};
  local_ = {0, 0};
}

DrawReport Vdp1Raster::Draw(const ChipView& chips, const DrawTarget& target) {
  DrawReport report;
  if (!chips.vdp1Vram || !target.memory) return report;
  vram_ = chips.vdp1Vram;
  target_ = target;
  budget_ = kStepLimit;
  // JP: bit 2 skips the table's own work; bits 1-0 pick the next table: 0 the following
  // one, 1 CMDLINK, 2 CMDLINK remembering the following one (one return address, no
  // stack), 3 the remembered one.
  uint32_t at = 0, back = 0;
  while (report.commands < kCommandLimit && budget_ > 0) {
    const CommandFields command(*vram_, at);
    report.lastCommand = at;
    ++report.commands;
    if (command.End()) {
      report.reachedEnd = true;
      break;
    }
    const uint32_t jump = command.Jump();
    if (!(jump & 4)) Execute(command);
    switch (jump & 3) {
      case 0:
        at += kTableBytes;
        break;
      case 1:
        at = command.LinkAddress();
        break;
      case 2:
        back = at + kTableBytes;
        at = command.LinkAddress();
        break;
      default:
        at = back;
        break;
    }
    at &= vdp::kVramMask;
  }
  report.steps = kStepLimit - budget_;
  return report;
}

void Vdp1Raster::Execute(const CommandFields& command) {
  const uint32_t kind = command.Kind();
  switch (kind) {
    case kSystemClip: {
      const Point c = command.ClipCorner(2);
      system_ = {0, 0, c.x, c.y};
      return;
    }
    case kUserClip: {
      const Point a = command.ClipCorner(0), c = command.ClipCorner(2);
      user_ = {a.x, a.y, c.x, c.y};
      return;
    }
    case kLocalCoordinates:
      local_ = command.Vertex(0);
      return;
    default:
      break;
  }
  if (!BeginPart(command, kind)) return;
  Point v[4];
  for (int i = 0; i < 4; ++i) v[i] = Offset(command.Vertex(i), local_);
  switch (kind) {
    case kNormalSprite:
      SpriteRectangle(v[0], {v[0].x + texels_.Width() - 1, v[0].y + texels_.Height() - 1},
                      command.FlipH(), command.FlipV());
      break;
    case kScaledSprite:
      ScaledSprite(command);
      break;
    case kDistortedSprite:
      FourPointPart(v, command.FlipV());
      break;
    case kPolygon:
      FourPointPart(v, false);
      break;
    case kPolyline:
      for (int i = 0; i < 4; ++i)
        DrawLine(v[i], v[(i + 1) & 3], corners_[i], corners_[(i + 1) & 3], 0, false);
      break;
    default:  // line
      DrawLine(v[0], v[1], corners_[0], corners_[1], 0, false);
      break;
  }
}

// Sets up the dot writer, texels and gouraud values of a drawing command; false for the
// prohibited command codes and colour modes, which draw nothing.
bool Vdp1Raster::BeginPart(const CommandFields& command, uint32_t kind) {
  if (!DrawsPart(kind)) return false;
  const DrawMode mode{command.DrawMode()};
  writer_.Begin(target_, system_, user_, mode);
  ChooseRowWrite();
  preClip_ = mode.PreClipping();
  for (int i = 0; i < 4; ++i)
    corners_[i] = mode.Gouraud() ? Shade::Of(command.GouraudCorner(i)) : Shade{};
  // Untextured parts write CMDCOLR; their colour mode, SPD and ECD are not used.
  textured_ = kind <= kDistortedSprite;
  flatColour_ = command.Colour();
  flipH_ = textured_ && command.FlipH();
  if (!textured_) return true;
  highSpeedShrink_ = mode.HighSpeedShrink() && kind != kNormalSprite;
  return texels_.Begin(*vram_, command, mode) && texels_.Width() > 0 && texels_.Height() > 0;
}

// The rectangle of a scaled sprite: from A to C, or about a zoom point at A with the
// display width and height in B. A rectangle drawn towards smaller coordinates is flipped.
void Vdp1Raster::ScaledSprite(const CommandFields& command) {
  const Point a = Offset(command.Vertex(0), local_);
  const uint32_t zoom = command.ZoomPoint();
  Point from = a, to = Offset(command.Vertex(2), local_);
  if (zoom != 0) {
    // ZP b1-0 horizontal, b3-2 vertical: 1 the left / top edge, 2 the centre (the dot just
    // before the middle), 3 the right / bottom edge; 0 is prohibited and draws nothing.
    const uint32_t h = vdp::Bits(zoom, 1, 0), v = vdp::Bits(zoom, 3, 2);
    if (h == 0 || v == 0) return;
    const Point size = command.Vertex(1);  // not moved by local coordinates
    auto start = [](int32_t anchor, int32_t extent, uint32_t place) {
      return place == 1 ? anchor : (place == 2 ? anchor - extent / 2 : anchor - extent);
    };
    from = {start(a.x, size.x, h), start(a.y, size.y, v)};
    to = {from.x + size.x, from.y + size.y};
  }
  SpriteRectangle(from, to, command.FlipH(), command.FlipV());
}

// A normal or scaled sprite: the rectangle from `from` to `to` (ends included), drawn in
// rows; gouraud corners A-D are its upper-left, upper-right, lower-right, lower-left.
void Vdp1Raster::SpriteRectangle(Point from, Point to, bool flipH, bool flipV) {
  flipH_ = flipH != (to.x < from.x);
  flipV = flipV != (to.y < from.y);
  const int32_t left = std::min(from.x, to.x), right = std::max(from.x, to.x);
  const int32_t top = std::min(from.y, to.y), bottom = std::max(from.y, to.y);
  const int32_t steps = right - left;
  // High-speed shrink and a user clip drawn outside need the dot-by-dot line.
  const bool shrink = highSpeedShrink_ && steps + 1 < texels_.Width();
  if (!shrink && writer_.DrawsRows() && rows_)
    return RectangleRows(left, right, top, bottom, flipV);
  const int32_t rows = bottom - top + 1, height = texels_.Height();
  const bool shades = writer_.Shades();
  Stepper v = Stepper::Centres(height, rows);
  ShadeStepper leftShade(corners_[0], corners_[3], rows - 1);
  ShadeStepper rightShade(corners_[1], corners_[2], rows - 1);
  for (int32_t y = top; y <= bottom && budget_ > 0; ++y, v.Next()) {
    const int32_t row = flipV ? height - 1 - v.Value() : v.Value();
    DrawLine({left, y}, {right, y}, leftShade.Value(), rightShade.Value(), row, false);
    if (!shades) continue;
    leftShade.Next();
    rightShade.Next();
  }
}

// A distorted sprite or polygon: the lines of its edge walk, each from edge A-D to edge
// B-C, with the texture's rows spread over the lines and holes between lines filled.
void Vdp1Raster::FourPointPart(const Point (&v)[4], bool flipV) {
  // An upright rectangle with A at its upper left: every line of the edge walk is the row
  // from A-D to B-C one dot lower, as a sprite's rows are (same steps, shades and texture
  // rows), so it is drawn as one.
  const bool upright = v[0].y == v[1].y && v[3].y == v[2].y && v[0].x == v[3].x &&
                       v[1].x == v[2].x && v[0].x <= v[1].x && v[0].y <= v[3].y;
  const bool shrink = textured_ && highSpeedShrink_ && v[1].x - v[0].x + 1 < texels_.Width();
  if (upright && !shrink && writer_.DrawsRows() && rows_) {
    return RectangleRows(v[0].x, v[1].x, v[0].y, v[3].y, flipV);
  }
  QuadEdgeWalk walk(v);
  const int32_t lines = walk.Lines(), height = textured_ ? texels_.Height() : 1;
  const bool shades = writer_.Shades();
  Stepper textureRow = Stepper::Centres(height, lines);
  ShadeStepper leftShade(corners_[0], corners_[3], lines - 1);
  ShadeStepper rightShade(corners_[1], corners_[2], lines - 1);
  for (int32_t i = 0; i < lines && budget_ > 0; ++i) {
    const int32_t row = flipV ? height - 1 - textureRow.Value() : textureRow.Value();
    DrawLine(walk.Left(), walk.Right(), leftShade.Value(), rightShade.Value(), row, true);
    walk.Next();
    textureRow.Next();
    if (!shades) continue;
    leftShade.Next();
    rightShade.Next();
  }
}

// One line of dots from `from` to `to`, ends included, with the texture's `row` spread
// along it (centre sampling) and the shade moving from one end to the other. fillHoles
// makes the line 4-connected: where both X and Y change, the dot at the new X and the old
// Y is written too, so that neighbouring lines of a part leave no gap.
void Vdp1Raster::DrawLine(Point from, Point to, const Shade& shadeFrom, const Shade& shadeTo,
                          int32_t row, bool fillHoles) {
  const ClipWindow& bounds = writer_.Bounds();
  if (preClip_ && (std::max(from.x, to.x) < bounds.left || std::min(from.x, to.x) > bounds.right ||
                   std::max(from.y, to.y) < bounds.top || std::min(from.y, to.y) > bounds.bottom)) {
    Spend(1);
    return;
  }
  const int32_t steps = LineSteps(from, to);
  if (!Spend(steps + 1)) return;
  const int32_t width = texels_.Width();
  // High-speed shrink: on a reduced line only texels of one X parity are read, and end
  // codes are ignored.
  const bool shrink = textured_ && highSpeedShrink_ && steps + 1 < width;
  texels_.SetShrinking(shrink);
  if (from.y == to.y && !shrink && writer_.DrawsRows() && rows_) {
    DrawRow(from, to.x, steps, textured_ ? RowTexture(width, steps) : RowTexture(), shadeFrom,
            shadeTo, row);
    return;
  }
  if (writer_.StoresStraight() && rows_) {
    // The dot is stored as it is, or gouraud-shaded when RGB, if it lies in the window.
    const ClipWindow w = writer_.Window();
    const bool shades = writer_.Shades();
    const ShadedColour flat(flatColour_);
    uint16_t* const words = reinterpret_cast<uint16_t*>(writer_.Memory().longs);
    const uint32_t rowWords = target_.geometry.bytesPerRow / 2;
    return LineDots(
        from, steps, to, shadeFrom, shadeTo, row, fillHoles, shrink,
        [&](int32_t x, int32_t y, uint16_t colour, uint64_t shade) {
          if (x < w.left || x > w.right || y < w.top || y > w.bottom) return;
          if (shades && (colour & 0x8000u)) {
            colour = textured_ ? ApplyShade(colour, ShadeStepper::Unpacked(shade)) : flat.Of(shade);
          }
          // Console words are swapped in pairs in a host long.
          words[(static_cast<uint32_t>(y) * rowWords + static_cast<uint32_t>(x)) ^ 1] = colour;
        });
  }
  LineDots(from, steps, to, shadeFrom, shadeTo, row, fillHoles, shrink,
           [&](int32_t x, int32_t y, uint16_t colour, uint64_t shade) {
             writer_.Plot(x, y, colour, ShadeStepper::Unpacked(shade));
           });
}

// The dots of a line, step by step, each handed to plot(x, y, colour, shade), the shade
// packed (ShadeStepper::Lanes).
template <class Plot>
void Vdp1Raster::LineDots(Point from, int32_t steps, Point to, const Shade& shadeFrom,
                          const Shade& shadeTo, int32_t row, bool fillHoles, bool shrink,
                          const Plot& plot) {
  // The longer axis moves one dot a step: Stepper::Between's rounding never carries there.
  if (std::abs(to.x - from.x) == steps) {
    LineDotsAlong<true>(from, steps, to, shadeFrom, shadeTo, row, fillHoles, shrink, plot);
  } else {
    LineDotsAlong<false>(from, steps, to, shadeFrom, shadeTo, row, fillHoles, shrink, plot);
  }
}

template <bool kAcross, class Plot>
void Vdp1Raster::LineDotsAlong(Point from, int32_t steps, Point to, const Shade& shadeFrom,
                               const Shade& shadeTo, int32_t row, bool fillHoles, bool shrink,
                               const Plot& plot) {
  const int32_t width = texels_.Width();
  // The longer axis by one a step, the other stepped and rounded.
  const int32_t major = kAcross ? (to.x >= from.x ? 1 : -1) : (to.y >= from.y ? 1 : -1);
  int32_t along = kAcross ? from.x : from.y;
  Stepper minor =
      kAcross ? Stepper::Between(from.y, to.y, steps) : Stepper::Between(from.x, to.x, steps);
  ShadeStepper shade(shadeFrom, shadeTo, steps);
  Stepper u = Stepper::Centres(width, steps + 1);
  Texel texel{TexelKind::kDot, flatColour_};
  int32_t fetched = -1, endCodes = 0;
  Point last = from;
  for (int32_t k = 0; k <= steps; ++k) {
    const Point p = kAcross ? Point{along, minor.Value()} : Point{minor.Value(), along};
    if (textured_) {
      int32_t column = flipH_ ? width - 1 - u.Value() : u.Value();
      if (shrink) column = (column & ~1) | static_cast<int32_t>(target_.shrinkParity);
      // End codes count per texel read: the second one ends the line.
      if (column != fetched) {
        fetched = column;
        texel = texels_.At(column, row);
        if (texel.kind == TexelKind::kEndCode && ++endCodes == 2) return;
      }
      u.Next();
    }
    if (texel.kind == TexelKind::kDot) {
      const uint64_t s = shade.Lanes();
      if (fillHoles && p.x != last.x && p.y != last.y) plot(p.x, last.y, texel.colour, s);
      plot(p.x, p.y, texel.colour, s);
    }
    last = p;
    along += major;
    minor.Next();
    shade.Next();
  }
}

}  // namespace dots
