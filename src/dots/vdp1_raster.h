// VDP1's drawing, dot by dot: walks the command table in VDP1 VRAM from address 0 and
// draws every part into a frame buffer as the chip does.
#pragma once

#include <cstdint>

#include "dots/chip_view.h"
#include "dots/dot_writer.h"
#include "dots/gouraud.h"
#include "dots/stepper.h"
#include "dots/texel_fetch.h"
#include "dots/vdp1_command_fields.h"

namespace dots {

// What one draw did, for the status registers (EDSR, COPR) and for tests.
struct DrawReport {
  bool reachedEnd = false;   // the end bit was fetched
  uint32_t commands = 0;     // tables fetched, the end table included
  uint32_t lastCommand = 0;  // VRAM address of the last table fetched
  int64_t steps = 0;         // dot steps spent
};

// How a row's texture is spread along it: one texel a dot when the row is as long as the
// texture is wide, else the centre of each dot sampled (Stepper::Centres).
struct RowTexture {
  bool unit = false;
  Stepper u;  // the column before the flip, from the row's first step (unless unit)

  RowTexture() = default;
  RowTexture(int32_t width, int32_t steps)
      : unit(steps + 1 == width), u(unit ? Stepper(0, 1, 1) : Stepper::Centres(width, steps + 1)) {}
};

// A texture column and how many dots of a row in a row show it: the rows of a scaled
// sprite read each column once and fill its dots.
struct ColumnRun {
  int32_t column, dots;
};

class Vdp1Raster {
 public:
  // The chip's time bounds a draw. A table that never ends (or jumps in a loop) is cut off
  // after this many tables: 512 KB of VRAM holds 16,384, and fetching that many takes
  // a good part of a field.
  static constexpr uint32_t kCommandLimit = 16384;
  // At about one dot a clock (28.6 MHz), a field gives VDP1 some 480,000 dots; a draw is
  // cut off after four fields' worth. Every dot stepped along a line counts, written or
  // clipped; a line that pre-clipping skips counts one.
  static constexpr int64_t kStepLimit = 4 * 480000;

  // Power-on state of what clip and local-coordinate commands set (undefined on the chip):
  // the system clip spans the largest buffer, no user clip area, local coordinates (0, 0).
  void Reset();
  // Draws the command table of chips.vdp1Vram into target. Clip windows and local
  // coordinates carry over from draw to draw, as the chip keeps them.
  DrawReport Draw(const ChipView& chips, const DrawTarget& target);
  // Off: every line is drawn step by step through the dot writer, the rule the row loops
  // follow at speed. For checking them, never for drawing a game's frames.
  void UseRows(bool on) { rows_ = on; }

 private:
  void Execute(const CommandFields& command);
  bool BeginPart(const CommandFields& command, uint32_t kind);
  void ScaledSprite(const CommandFields& command);
  void SpriteRectangle(Point from, Point to, bool flipH, bool flipV);
  void FourPointPart(const Point (&v)[4], bool flipV);
  void DrawLine(Point from, Point to, const Shade& shadeFrom, const Shade& shadeTo, int32_t row,
                bool fillHoles);
  template <class Plot>
  void LineDots(Point from, int32_t steps, Point to, const Shade& shadeFrom, const Shade& shadeTo,
                int32_t row, bool fillHoles, bool shrink, const Plot& plot);
  template <bool kAcross, class Plot>
  void LineDotsAlong(Point from, int32_t steps, Point to, const Shade& shadeFrom,
                     const Shade& shadeTo, int32_t row, bool fillHoles, bool shrink,
                     const Plot& plot);
  void ChooseRowWrite();
  void RectangleRows(int32_t left, int32_t right, int32_t top, int32_t bottom, bool flipV);
  void DrawRow(Point from, int32_t toX, int32_t steps, const RowTexture& texture,
               const Shade& shadeFrom, const Shade& shadeTo, int32_t row);
  // Charges dot steps to the draw; false (and the draw ends) when its time has run out.
  bool Spend(int64_t steps) {
    budget_ -= steps;
    if (budget_ >= 0) return true;
    budget_ = 0;
    return false;
  }

  // Kept between draws.
  ClipWindow system_{0, 0, 1023, 511};
  ClipWindow user_{0, 0, -1, -1};
  Point local_{0, 0};

  // The draw and the part in progress.
  const vdp::ConsoleMemory* vram_ = nullptr;
  DrawTarget target_;
  DotWriter writer_;
  TexelFetch texels_;
  int64_t budget_ = 0;
  bool textured_ = false, flipH_ = false, preClip_ = true;
  bool highSpeedShrink_ = false;
  bool rows_ = true;
  uint32_t rowWrite_ = 0;  // how DrawRow writes the part's dots (see vdp1_rows.cpp)
  uint16_t flatColour_ = 0;
  Shade corners_[4];  // gouraud values of corners A-D (neutral when not shading)
  // The column runs every row of the rectangle in progress shares (see RectangleRows).
  static constexpr int32_t kMaxRuns = 1024;
  ColumnRun runs_[kMaxRuns];
};

}  // namespace dots
