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

// Where the dots of plane row y may land: columns left to right (none when left > right),
// and the address of the row's dot 0 in the draw buffer.
struct RowWindow {
  int32_t left, right;
  uint32_t rowAddress;
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

  // Rows: a horizontal run of dots is clipped once and then written dot by dot. Row() takes
  // the system clip, a user clip drawn inside and the interlaced field; a user clip drawn
  // outside cuts a hole in the row, so such a command plots dot by dot.
  bool DrawsRows() const { return !(userClip_ && drawOutside_); }
  RowWindow Row(int32_t y) const {
    if (y < bounds_.top || y > bounds_.bottom) return {0, -1, 0};
    // Border dots belong to the user clip's inside.
    if (userClip_ && !drawOutside_ && (y < user_.top || y > user_.bottom)) return {0, -1, 0};
    int32_t row = y;
    if (target_.doubleDensity) {
      if (static_cast<uint32_t>(y & 1) != target_.lineParity) return {0, -1, 0};
      row = y >> 1;
    }
    RowWindow w = Columns();
    w.rowAddress = target_.geometry.Address(0, row);
    return w;
  }
  // Whether a dot in Window() is written by storing the colour, gouraud-shaded when RGB and
  // the command shades: a 16-bit buffer, no interlaced field, no hole cut by a user clip,
  // no mesh, MSB-on or calculation other than gouraud.
  bool StoresStraight() const {
    return (plain_ || shadesPlainly_) && !target_.doubleDensity && DrawsRows();
  }
  // Where a dot may land when no field is skipped: the system clip within the buffer and
  // the user clip drawn inside.
  ClipWindow Window() const {
    ClipWindow w = bounds_;
    if (userClip_ && !drawOutside_) {
      w.left = user_.left > w.left ? user_.left : w.left;
      w.right = user_.right < w.right ? user_.right : w.right;
      w.top = user_.top > w.top ? user_.top : w.top;
      w.bottom = user_.bottom < w.bottom ? user_.bottom : w.bottom;
    }
    return w;
  }
  // The columns of every row that has any: Row() gives these or none.
  RowWindow Columns() const {
    RowWindow w{bounds_.left, bounds_.right, 0};
    if (userClip_ && !drawOutside_) {
      if (user_.left > w.left) w.left = user_.left;
      if (user_.right < w.right) w.right = user_.right;
    }
    return w;
  }
  // The dot at column x of the row (inside its window) after mesh, MSB-on and calculation.
  void WriteInRow(const RowWindow& row, int32_t x, int32_t y, uint16_t colour, const Shade& shade) {
    if (mesh_ && ((x ^ y) & 1)) return;
    Write(row.rowAddress + static_cast<uint32_t>(x) * dotBytes_, colour, shade);
  }
  bool Shades() const { return gouraud_; }
  // Whether WriteInRow stores the colour as it is, into a 16-bit buffer.
  bool Plain() const { return plain_; }
  // Whether it stores the colour gouraud-shaded (RGB dots) and otherwise as it is.
  bool ShadesPlainly() const { return shadesPlainly_; }
  FrameBufferMemory& Memory() const { return *target_.memory; }

 private:
  void Write(uint32_t address, uint16_t colour, const Shade& shade);
  uint16_t Calculated(uint16_t original, uint16_t base, const Shade& shade) const;

  DrawTarget target_;
  ClipWindow bounds_{0, 0, -1, -1};
  ClipWindow user_{0, 0, -1, -1};
  bool userClip_ = false, drawOutside_ = false, mesh_ = false, msbOn_ = false, gouraud_ = false;
  bool plain_ = false, shadesPlainly_ = false;
  uint32_t calc_ = kReplace;
  uint32_t dotBytes_ = 2;
};

}  // namespace dots
