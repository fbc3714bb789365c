// Decoding the rotation parameter tables, the per-line transform, and the start values.
#include "dots/rotation_parameters.h"

#include "dots/rotation_registers.h"

namespace dots {
namespace {

// Bits hi..lo of a table field with its sign at hi, the binary point where it lies in a
// long (between bits 16 and 15): the value with 16 fraction bits. The unused bits above hi
// and below lo are ignored.
int64_t Field(uint32_t raw, unsigned hi, unsigned lo) {
  const int32_t top = static_cast<int32_t>(raw << (31 - hi));
  return (static_cast<int64_t>(top) >> (31 - hi)) & ~((int64_t{1} << lo) - 1);
}
// A 14-bit signed whole-number word (Px..Cz).
int64_t Point(uint32_t word) { return Field(word, 13, 0); }

}  // namespace

uint32_t ParameterTableAddress(RegisterView regs, int set) {
  // RPTA bit 6 (byte address bit 7) is not stored: 0 selects A, 1 selects B.
  const uint32_t a = regs.TableAddress(reg::RPTAU, 0xFFFE) & ~0x80u;
  return (a | (set ? 0x80u : 0)) & vdp::kVramMask;
}

ParameterTable ReadParameterTable(const vdp::ConsoleMemory& vram, uint32_t at) {
  auto l = [&](uint32_t offset) { return vram.ReadLong(at + offset); };
  auto w = [&](uint32_t offset) { return Point(vram.ReadWord(at + offset)); };
  ParameterTable t;
  t.xst = Field(l(0x00), 28, 6);
  t.yst = Field(l(0x04), 28, 6);
  t.zst = Field(l(0x08), 28, 6);
  // Increments: sign and 2 integer bits; the matrix: sign and 3 integer bits.
  t.dxst = Field(l(0x0C), 18, 6);
  t.dyst = Field(l(0x10), 18, 6);
  t.dx = Field(l(0x14), 18, 6);
  t.dy = Field(l(0x18), 18, 6);
  t.a = Field(l(0x1C), 19, 6);
  t.b = Field(l(0x20), 19, 6);
  t.c = Field(l(0x24), 19, 6);
  t.d = Field(l(0x28), 19, 6);
  t.e = Field(l(0x2C), 19, 6);
  t.f = Field(l(0x30), 19, 6);
  t.px = w(0x34);
  t.py = w(0x36);
  t.pz = w(0x38);
  t.cx = w(0x3C);
  t.cy = w(0x3E);
  t.cz = w(0x40);
  t.mx = Field(l(0x44), 29, 6);
  t.my = Field(l(0x48), 29, 6);
  t.kx = Field(l(0x4C), 23, 0);
  t.ky = Field(l(0x50), 23, 0);
  t.kast = l(0x54) & 0xFFFFFFC0u;  // unsigned 16.10
  t.dkast = Field(l(0x58), 25, 6);
  t.dkax = Field(l(0x5C), 25, 6);
  return t;
}

LineTransform TransformLine(const ParameterTable& t, const LineStart& s) {
  // Viewpoint-relative screen point (16 fraction bits), then the matrix's first two rows.
  const int64_t x = s.xs - (t.px << 16), y = s.ys - (t.py << 16), z = t.zst - (t.pz << 16);
  const int64_t vx = t.px - t.cx, vy = t.py - t.cy, vz = t.pz - t.cz;
  LineTransform r;
  r.xsp = (t.a * x + t.b * y + t.c * z) >> 16;
  r.ysp = (t.d * x + t.e * y + t.f * z) >> 16;
  r.xp = t.a * vx + t.b * vy + t.c * vz + (t.cx << 16) + t.mx;
  r.yp = t.d * vx + t.e * vy + t.f * vz + (t.cy << 16) + t.my;
  r.dx = (t.a * t.dx + t.b * t.dy) >> 16;
  r.dy = (t.d * t.dx + t.e * t.dy) >> 16;
  r.kx = t.kx;
  r.ky = t.ky;
  return r;
}

void RotationStarts::Build(const LineStates& states, const vdp::LineLog& log,
                           const vdp::ConsoleMemory& vram, const DisplayMode& mode) {
  uint32_t next = 0;
  // VRAM stays as it is over the period: a table read at one address reads the same again.
  ParameterTable tables[2];
  uint32_t tableAddress[2] = {~0u, ~0u};
  for (int y = 0; y < mode.height && y < Picture::kMaxHeight; ++y) {
    const int line = mode.HostLine(y);
    // RPRCTL bits written for this line (and not yet used): the start values to re-read.
    uint32_t reread = y == 0 ? 0x0707 : 0;
    for (; next < log.size() && log[next].line <= line; ++next) {
      const vdp::LineWrite& write = log[next];
      if (!(write.target & vdp::LineLog::kCramTarget) && (write.target & 0x1FE) == reg::RPRCTL) {
        reread |= write.value;
      }
    }
    const RegisterView regs(states.Registers(line));
    for (int set = 0; set < 2; ++set) {
      const uint32_t address = ParameterTableAddress(regs, set);
      if (address != tableAddress[set]) {
        tableAddress[set] = address;
        tables[set] = ReadParameterTable(vram, address);
      }
      const ParameterTable& t = tables[set];
      const uint32_t bits = reread >> (set * 8);
      const LineStart& prev = starts_[y > 0 ? y - 1 : 0][set];
      LineStart& s = starts_[y][set];
      s.xs = bits & 1 ? t.xst : prev.xs + t.dxst;
      s.ys = bits & 2 ? t.yst : prev.ys + t.dyst;
      s.ka = bits & 4 ? t.kast : prev.ka + t.dkast;
    }
  }
}

}  // namespace dots
