// The rotation parameter tables A and B in VRAM, their per-line transform values, and the
// screen-coordinate start values carried from line to line as RPRCTL says.
//
// Fixed point: every fractional value is held in an int64_t with 16 fraction bits (the
// table's 10-fraction fields have their low 6 bits 0; kx and ky use all 16). Products are
// kept whole and cut once, rounding toward minus infinity, to 16 fraction bits.
#pragma once

#include <cstdint>

#include "common/console_memory.h"
#include "common/line_log.h"
#include "dots/display_mode.h"
#include "dots/line_state.h"
#include "dots/picture.h"
#include "dots/vdp2_registers.h"

namespace dots {

// One parameter set as read from its table (16 fraction bits; Px..Cz are whole numbers).
struct ParameterTable {
  int64_t xst, yst, zst, dxst, dyst, dx, dy;
  int64_t a, b, c, d, e, f;
  int64_t px, py, pz, cx, cy, cz;
  int64_t mx, my, kx, ky;
  int64_t kast, dkast, dkax;
};

// VRAM byte address of parameter set 0 (A) or 1 (B): RPTA with bit 6 forced to the set.
uint32_t ParameterTableAddress(RegisterView regs, int set);
ParameterTable ReadParameterTable(const vdp::ConsoleMemory& vram, uint32_t address);

// A set's screen coordinates at the left dot of a line (Xst + dXst * lines since read, ...).
struct LineStart {
  int64_t xs, ys, ka;
};

// What the transform needs per line: X = kx (xsp + dx H) + xp, Y = ky (ysp + dy H) + yp.
struct LineTransform {
  int64_t xsp, ysp, xp, yp, dx, dy, kx, ky;
};
LineTransform TransformLine(const ParameterTable& t, const LineStart& start);

// The start values of both sets on every picture line of a period, built in line order.
class RotationStarts {
 public:
  // Line 0 takes Xst, Yst and KAst from its tables; a later line takes those whose RPRCTL
  // bit a write naming that line set (the chip clears the bit at the read), and adds its
  // own table's dXst, dYst, dKAst to the previous line's values otherwise.
  void Build(const LineStates& states, const vdp::LineLog& log, const vdp::ConsoleMemory& vram,
             const DisplayMode& mode);
  const LineStart* At(int y) const { return starts_[y & (Picture::kMaxHeight - 1)]; }

 private:
  LineStart starts_[Picture::kMaxHeight][2] = {};
};

}  // namespace dots
