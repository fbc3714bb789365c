// Recorded traces: one access or event per line.
//
//   w8|w16|w32|r8|r16|r32  vdp1regs|vdp1vram|vdp2regs|vdp2vram|vdp2cram  <address> [<value>]
//   hblank                 one line: H-blank in and out
//   vblank                 V-blank in and out (the frame is drawn)
//   frame                  224 lines and a V-blank
//   reset                  the host's reset
//   capture <name>         write what was presented last as <name>.png
//   expect <x> <y> <rrggbb> [<tolerance>]
//                          the last presented picture has about this colour at (x, y)
//
// Numbers are hexadecimal with or without 0x; '#' starts a comment.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "scene_bus.h"

namespace vdphost {

namespace {

// One accessor pair of the plugin, by the trace's names for memory and width.
struct Port {
  const char* target;
  int width;
  void (*write)(PluginApi&, uint32_t address, uint32_t value);
  void (*read)(PluginApi&, uint32_t address);
};

#define VDPHOST_PORT(target, width, Write, Read)                                \
  {                                                                             \
    target, width, [](PluginApi& p, uint32_t a, uint32_t v) { p.Write(a, v); }, \
        [](PluginApi& p, uint32_t a) { p.Read(a); }                             \
  }
const Port kPorts[] = {
    VDPHOST_PORT("vdp1regs", 16, WriteWordVDP1Regs, ReadWordVDP1Regs),
    VDPHOST_PORT("vdp1vram", 8, WriteByteVDP1VRAM, ReadByteVDP1VRAM),
    VDPHOST_PORT("vdp1vram", 16, WriteWordVDP1VRAM, ReadWordVDP1VRAM),
    VDPHOST_PORT("vdp1vram", 32, WriteLongVDP1VRAM, ReadLongVDP1VRAM),
    VDPHOST_PORT("vdp2regs", 16, WriteWordVDP2Regs, ReadWordVDP2Regs),
    VDPHOST_PORT("vdp2regs", 32, WriteLongVDP2Regs, ReadLongVDP2Regs),
    VDPHOST_PORT("vdp2vram", 8, WriteByteVDP2VRAM, ReadByteVDP2VRAM),
    VDPHOST_PORT("vdp2vram", 16, WriteWordVDP2VRAM, ReadWordVDP2VRAM),
    VDPHOST_PORT("vdp2vram", 32, WriteLongVDP2VRAM, ReadLongVDP2VRAM),
    VDPHOST_PORT("vdp2cram", 16, WriteWordVDP2CRAM, ReadWordVDP2CRAM),
    VDPHOST_PORT("vdp2cram", 32, WriteLongVDP2CRAM, ReadLongVDP2CRAM),
};
#undef VDPHOST_PORT

bool Access(PluginApi& api, const std::string& op, const std::string& target, uint32_t a,
            uint32_t v) {
  const int width = std::atoi(op.c_str() + 1);
  for (const Port& port : kPorts) {
    if (target != port.target || width != port.width) continue;
    if (op[0] == 'w')
      port.write(api, a, v);
    else
      port.read(api, a);
    return true;
  }
  return false;
}

bool ParseHex(const std::string& text, uint32_t& value) {
  if (text.empty()) return false;
  char* end = nullptr;
  value = static_cast<uint32_t>(std::strtoul(text.c_str(), &end, 16));
  return end != nullptr && *end == '\0';
}

}  // namespace

bool PlayTrace(const std::string& path, SceneBus& bus, std::string& error) {
  std::ifstream in(path);
  if (!in) {
    error = "cannot read " + path;
    return false;
  }
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    const size_t hash = line.find('#');
    if (hash != std::string::npos) line.erase(hash);
    std::istringstream words(line);
    std::string op, target, address, value;
    if (!(words >> op)) continue;
    const std::string where = path + ":" + std::to_string(number) + ": ";
    if (op == "hblank") {
      bus.api().VDPOnHblankIn();
      bus.api().VDPOnHblankOut();
    } else if (op == "vblank") {
      bus.Vblank();
    } else if (op == "frame") {
      bus.Frame();
    } else if (op == "reset") {
      bus.api().Reset();
    } else if (op == "capture") {
      if (!(words >> target)) {
        error = where + "capture needs a name";
        return false;
      }
      bus.Capture(target);
    } else if (op == "expect") {
      int x = -1, y = -1, tolerance = 8;
      std::string colour;
      uint32_t rgb = 0, texel = 0;
      if (!(words >> x >> y >> colour) || !ParseHex(colour, rgb)) {
        error = where + "expect needs x, y and a colour";
        return false;
      }
      words >> tolerance;
      if (!bus.PresentedPixel(x, y, texel)) {
        error =
            where + "nothing presented at (" + std::to_string(x) + ", " + std::to_string(y) + ")";
        return false;
      }
      const int expected[3] = {static_cast<int>(rgb >> 16) & 0xFF,
                               static_cast<int>(rgb >> 8) & 0xFF, static_cast<int>(rgb) & 0xFF};
      const int got[3] = {static_cast<int>(texel) & 0xFF, static_cast<int>(texel >> 8) & 0xFF,
                          static_cast<int>(texel >> 16) & 0xFF};
      for (int c = 0; c < 3; ++c) {
        if (std::abs(got[c] - expected[c]) > tolerance) {
          char text[96];
          std::snprintf(text, sizeof(text), "at (%d, %d) %02x%02x%02x, expected %06x", x, y, got[0],
                        got[1], got[2], rgb);
          error = where + text;
          return false;
        }
      }
    } else if ((op[0] == 'w' || op[0] == 'r') && (op == "w8" || op == "w16" || op == "w32" ||
                                                  op == "r8" || op == "r16" || op == "r32")) {
      uint32_t a = 0, v = 0;
      words >> target >> address >> value;
      if (!ParseHex(address, a) || (op[0] == 'w' && !ParseHex(value, v))) {
        error = where + "bad number";
        return false;
      }
      if (!Access(bus.api(), op, target, a, v)) {
        error = where + "no " + op + " access to " + target;
        return false;
      }
    } else {
      error = where + "unknown operation " + op;
      return false;
    }
  }
  return true;
}

}  // namespace vdphost
