// Corners of VDP1 parts: vertex words plus the local coordinates, times the coordinate
// multipliers, in the chip's wrapping 16-bit arithmetic.
#include "vdp1/part_corners.h"

namespace vdp1 {
namespace {

// Horizontal and vertical edges of a zoom-point sprite around its anchor.
struct Span {
  uint32_t low, high;
};

// Anchor position along one axis, 0 = left/upper, 1 = centre, 2 = right/lower.
Span AnchoredSpan(uint32_t anchor, uint32_t size, uint32_t position) {
  const uint32_t half = (size & 0xFFFF) >> 1;
  switch (position) {
    case 0:
      return {anchor, anchor + size};
    case 1:
      return {anchor - half, anchor + half};
    default:
      return {anchor - size, anchor};
  }
}

}  // namespace

Corners NormalSpriteCorners(const VDP1Command& command, uint32_t width, uint32_t height,
                            const Placement& p) {
  const uint32_t xa = command.X(kA), ya = command.Y(kA);
  const int16_t left = ScreenCoordinate(xa, p.localX, p.xMultiplier);
  const int16_t right = ScreenCoordinate(xa + width, p.localX, p.xMultiplier);
  const int16_t top = ScreenCoordinate(ya, p.localY, p.yMultiplier);
  const int16_t bottom = ScreenCoordinate(ya + height, p.localY, p.yMultiplier);
  return {{left, right, right, left}, {top, top, bottom, bottom}};
}

bool ScaledSpriteCorners(const VDP1Command& command, const Placement& p, Corners& c) {
  const uint32_t zoomPoint = command.Control().ZoomPoint();
  const uint32_t xa = command.X(kA), ya = command.Y(kA);
  uint32_t left, right, top, bottom;
  if (zoomPoint == 0) {
    // Two-point form: vertex C is the inclusive lower-right corner.
    left = xa;
    top = ya;
    right = uint32_t{command.X(kC)} + 1;
    bottom = uint32_t{command.Y(kC)} + 1;
  } else {
    // Zoom-point form: bits 3-2 the vertical anchor (1 upper, 2 centre, 3 lower), bits 1-0
    // the horizontal one (1 left, 2 centre, 3 right); 0 in either names no anchor.
    const uint32_t horizontal = zoomPoint & 3, vertical = zoomPoint >> 2;
    if (horizontal == 0 || vertical == 0) return false;
    // A displayed size of 0xFFFF counts as 0.
    const uint32_t width = command.X(kB) == 0xFFFF ? 0 : command.X(kB);
    const uint32_t height = command.Y(kB) == 0xFFFF ? 0 : command.Y(kB);
    const Span h = AnchoredSpan(xa, width, horizontal - 1);
    const Span v = AnchoredSpan(ya, height, vertical - 1);
    // Drawn one unit larger than its edges on every side.
    left = h.low - 1;
    right = h.high + 1;
    top = v.low - 1;
    bottom = v.high + 1;
  }
  const int16_t x0 = ScreenCoordinate(left, p.localX, p.xMultiplier);
  const int16_t x1 = ScreenCoordinate(right, p.localX, p.xMultiplier);
  const int16_t y0 = ScreenCoordinate(top, p.localY, p.yMultiplier);
  const int16_t y1 = ScreenCoordinate(bottom, p.localY, p.yMultiplier);
  c = {{x0, x1, x1, x0}, {y0, y0, y1, y1}};
  return true;
}

Corners FreeCorners(const VDP1Command& command, const Placement& p) {
  Corners c;
  for (int corner = kA; corner <= kD; ++corner) {
    c.x[corner] = ScreenCoordinate(command.X(corner), p.localX, p.xMultiplier);
    c.y[corner] = ScreenCoordinate(command.Y(corner), p.localY, p.yMultiplier);
  }
  return c;
}

}  // namespace vdp1
