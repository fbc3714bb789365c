// Writing one VDP1 dot: clip windows, interlace, mesh, MSB-on and colour calculation.
#include "dots/dot_writer.h"

namespace dots {

namespace {

// R, G and B each halved (rounded down); bit 15 kept.
constexpr uint16_t Halved(uint16_t c) {
  return static_cast<uint16_t>((c & 0x8000u) | ((c >> 1) & 0x3DEFu));
}

// R, G and B each the mean of a and b (rounded down); bit 15 set.
constexpr uint16_t Mean(uint16_t a, uint16_t b) {
  return static_cast<uint16_t>(0x8000u |
                               (((a >> 1) & 0x3DEFu) + ((b >> 1) & 0x3DEFu) + (a & b & 0x0421u)));
}

}  // namespace

void DotWriter::Begin(const DrawTarget& target, const ClipWindow& system, const ClipWindow& user,
                      DrawMode mode) {
  target_ = target;
  // Writes beyond the buffer's own size, inside a system clip set too large, are dropped.
  const int32_t planeRows = target.geometry.rows * (target.doubleDensity ? 2 : 1);
  bounds_ = {system.left < 0 ? 0 : system.left, system.top < 0 ? 0 : system.top,
             system.right < target.geometry.width ? system.right : target.geometry.width - 1,
             system.bottom < planeRows ? system.bottom : planeRows - 1};
  user_ = user;
  userClip_ = mode.UserClip();
  drawOutside_ = mode.DrawOutsideUserClip();
  mesh_ = mode.Mesh();
  msbOn_ = mode.MsbOn();
  gouraud_ = mode.Gouraud();
  calc_ = mode.Calc();
  dotBytes_ = target.geometry.eightBit ? 1 : 2;
  // Gouraud with the prohibited shadow bit counts as gouraud alone.
  const bool stores = !target.geometry.eightBit && !mesh_ && !msbOn_;
  plain_ = stores && !gouraud_ && calc_ == kReplace;
  shadesPlainly_ = stores && gouraud_ && (calc_ == kReplace || calc_ == kShadow);
}

// The dot the calculation leaves over `base`. Calculations other than replace and shadow
// apply to RGB dots only (bit 15 set); a colour-bank original is written as it is.
uint16_t DotWriter::Calculated(uint16_t original, uint16_t base, const Shade& shade) const {
  if (calc_ == kShadow && !gouraud_) return (base & 0x8000u) ? Halved(base) : base;
  if (!(original & 0x8000u)) return original;
  if (gouraud_) original = ApplyShade(original, shade);
  switch (calc_) {
    case kHalfLuminance:
      return Halved(original);
    case kHalfTransparency:
      return (base & 0x8000u) ? Mean(original, base) : original;
    default:  // replace; gouraud with the prohibited shadow bit counts as gouraud alone
      return original;
  }
}

void DotWriter::Plot(int32_t x, int32_t y, uint16_t colour, const Shade& shade) {
  const RowWindow row = Row(y);
  if (x < row.left || x > row.right) return;
  if (userClip_ && drawOutside_ && user_.Contains(x, y)) return;
  WriteInRow(row, x, y, colour, shade);
}

void DotWriter::Write(uint32_t address, uint16_t colour, const Shade& shade) {
  // An 8-bit dot keeps the low byte; it has no MSB and no colour calculation.
  if (target_.geometry.eightBit) {
    if (!msbOn_) target_.memory->Byte(address) = static_cast<uint8_t>(colour);
    return;
  }
  uint16_t& dot = target_.memory->Word(address);
  dot = msbOn_ ? static_cast<uint16_t>(dot | 0x8000u) : Calculated(colour, dot, shade);
}

}  // namespace dots
