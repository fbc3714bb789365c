// The last stage of VDP1 drawing: one dot of a part written into the draw buffer, after the
// clip windows, interlace, mesh, MSB-on and colour calculation have had their say.
#pragma once

#include <cstdint>

#include "dots/chip_view.h"
#include "dots/gouraud.h"
#include "dots/vdp1_command_fields.h"
#include "dots/vdp1_registers.h"

namespace dots {

// A rectangle of plane coordinates, both corners inclusive.
struct ClipWindow {
  int32_t left, top, right, bottom;
  bool Contains(int32_t x, int32_t y) const {
    return x >= left && x <= right && y >= top && y <= bottom;
  }
};

// The buffer a draw writes and how its dots are laid out.
struct DrawTarget {
  FrameBufferMemory* memory = nullptr;
  FrameGeometry geometry = FrameGeometry::Of(0);
  bool doubleDensity = false;  // FBCR DIE: one field's lines only, plane Y / 2 is the row
  uint32_t lineParity = 0;     // FBCR DIL: the Y parity drawn in double density
  uint32_t shrinkParity = 0;   // FBCR EOS: texel parity kept by high-speed shrink
};

class DotWriter {
 public:
  // Per command: the clip windows in force and the command's draw mode.
  void Begin(const DrawTarget& target, const ClipWindow& system, const ClipWindow& user,
             DrawMode mode);
  // No dot of the command lands outside this (the system clip within the buffer).
  const ClipWindow& Bounds() const { return bounds_; }
  // Writes the command's dot `colour` (already decoded, not transparent) at plane (x, y),
  // with gouraud value `shade` when the command shades.
  void Plot(int32_t x, int32_t y, uint16_t colour, const Shade& shade);

 private:
  uint16_t Calculated(uint16_t original, uint16_t base, const Shade& shade) const;

  DrawTarget target_;
  ClipWindow bounds_{0, 0, -1, -1};
  ClipWindow user_{0, 0, -1, -1};
  bool userClip_ = false, drawOutside_ = false, mesh_ = false, msbOn_ = false, gouraud_ = false;
  uint32_t calc_ = kReplace;
};

}  // namespace dots
