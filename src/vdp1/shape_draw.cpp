// VDP1 polygons, polylines and lines: untextured primitives with a colour per corner.
#include <algorithm>

#include "display/opengl_display.h"
#include "vdp1/part_corners.h"
#include "vdp1/vdp1_command.h"
#include "vdp1/vdp1_core.h"

namespace {

using vdp1::VDP1Command;

// The single-precision values nearest 1/31 and 1/62: a 5-bit channel at full and at
// half luminance.
constexpr float kFullStep = 0.032258064f;
constexpr float kHalfStep = 0.016129032f;

enum class ShapeKind { kPolygon, kPolyline, kLine };

void DrawShape(VDP1Core& core, ShapeKind kind, uint8_t disabled, uint8_t antialiasing) {
  if (disabled) return;
  const uint32_t address = uint32_t{core.currentCommand} * 8;
  const VDP1Command command(core.vram, address);
  // Colour 0 is how games clear the screen: nothing is drawn, whatever the draw mode.
  if (command.Colour() == 0) {
    core.display->RequestClearAfterSwap();
    return;
  }
  ShadedShape shape{};
  const vdp1::Corners corners = vdp1::FreeCorners(
      command, {core.LocalCoordinateX, core.LocalCoordinateY, core.xMultiplier, core.yMultiplier});
  for (int corner = vdp1::kA; corner <= vdp1::kD; ++corner) {
    shape.vertices[2 * corner] = corners.x[corner];
    shape.vertices[2 * corner + 1] = corners.y[corner];
  }
  core.ComputeShapeColours(shape, address);
  if (command.DrawMode().Mesh()) shape.alpha = 0.5f;
  shape.antialiasing = antialiasing;
  switch (kind) {
    case ShapeKind::kPolygon:
      core.display->DrawShadedQuad(shape);
      break;
    case ShapeKind::kPolyline:
      core.display->DrawShadedLineLoop(shape);
      break;
    case ShapeKind::kLine:
      core.display->DrawShadedLine(shape);
      break;
  }
}

}  // namespace

void VDP1Core::ComputeShapeColours(ShadedShape& shape, uint32_t commandAddress) const {
  const VDP1Command command(vram, commandAddress);
  const vdp1::DrawModeWord mode = command.DrawMode();
  const vdp1::Rgb5 base = vdp1::Rgb5::From(command.Colour());
  int channels[12];
  for (int corner = vdp1::kA; corner <= vdp1::kD; ++corner) {
    int* c = channels + 3 * corner;
    c[0] = base.r;
    c[1] = base.g;
    c[2] = base.b;
    if (mode.Gouraud()) {
      // A gouraud component of 16 leaves the base colour unchanged.
      const vdp1::Rgb5 g = vdp1::Rgb5::From(command.GouraudColour(corner));
      c[0] = std::clamp(c[0] + g.r - 16, 0, 31);
      c[1] = std::clamp(c[1] + g.g - 16, 0, 31);
      c[2] = std::clamp(c[2] + g.b - 16, 0, 31);
    }
  }
  shape.alpha = 1.0f;
  float step = kFullStep;
  switch (mode.Calculation()) {
    case vdp1::kShadow:
      // Black at half alpha darkens what lies below.
      std::fill(shape.colours, shape.colours + 12, 0.0f);
      shape.alpha = 0.5f;
      return;
    case vdp1::kHalfLuminance:
      step = kHalfStep;
      break;
    case vdp1::kHalfTransparency:
      shape.alpha = 0.5f;
      break;
    default:
      break;
  }
  for (int i = 0; i < 12; ++i) shape.colours[i] = static_cast<float>(channels[i]) * step;
}

void VDP1Core::PolygonDraw() {
  DrawShape(*this, ShapeKind::kPolygon, switches.disablePolygons, switches.polygonsAntialiasing);
}

void VDP1Core::PolylineDraw() {
  DrawShape(*this, ShapeKind::kPolyline, switches.disablePolylines, switches.polylinesAntialiasing);
}

void VDP1Core::LineDraw() {
  DrawShape(*this, ShapeKind::kLine, switches.disableLines, switches.linesAntialiasing);
}
