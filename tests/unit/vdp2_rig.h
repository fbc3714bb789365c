// The two cores and a display object that was never started (no window, no GL context):
// the plane code runs as in a frame, the display counts the GL work asked of it.
#pragma once

#include <initializer_list>
#include <memory>

#include "display/opengl_display.h"
#include "plugin_fixture.h"
#include "vdp1/vdp1_core.h"
#include "vdp2/vdp2_core.h"

namespace vdptest {

struct Vdp2Rig {
  Vdp2Rig() {
    info = PluginInitInfo{0, nullptr, nullptr, dir.path().c_str()};
    vdp1 = std::make_unique<VDP1Core>(info);
    vdp2 = std::make_unique<VDP2Core>(info);
    display = std::make_unique<OpenGLDisplay>(info);
    vdp1->ConnectCores(vdp2.get(), display.get());
    vdp2->ConnectCores(vdp1.get(), display.get());
    display->ConnectCores(vdp1.get(), vdp2.get());
    Reg(vdp2reg::TVMD, 0x8000);  // 320 x 224
  }

  void Reg(uint32_t offset, uint16_t value) { vdp2->WriteWordVDP2Regs(offset, value); }
  // Registers as offset, value pairs.
  void Regs(std::initializer_list<uint32_t> pairs) {
    for (auto p = pairs.begin(); p + 1 < pairs.end(); p += 2)
      Reg(p[0], static_cast<uint16_t>(p[1]));
  }
  void Words(uint32_t address, uint16_t value, uint32_t count) {
    for (uint32_t i = 0; i < count; ++i) vdp2->WriteWordVDP2VRAM(address + 2 * i, value);
  }

  // NBG0 as cells at priority 1, zoom 1, one-word pattern names, a one-page plane whose
  // four map slots are all `page` (in units of the page size); every name is `name`.
  void CellNbg0(uint16_t chctla, uint16_t pncn, uint32_t page, uint16_t name) {
    Regs({vdp2reg::BGON, 1, vdp2reg::PRINA, 1, vdp2reg::CHCTLA, chctla, vdp2reg::PNCN0,
          0x8000u | pncn, vdp2reg::MPABN0, page * 0x101, vdp2reg::MPABN0 + 2, page * 0x101,
          vdp2reg::ZMXIN0, 1, vdp2reg::ZMYIN0, 1});
    const uint32_t pageBytes = (chctla & 1) ? 0x800 : 0x2000;
    Words(page * pageBytes, name, pageBytes / 2);
  }

  // One frame of VDP2 planes as the compositor runs it, counters cleared first.
  void Frame() {
    display->counters = {};
    vdp2->DetectCramChanges();
    for (uint8_t p = 0; p < 8; ++p) vdp2->DrawPlanesWithPriority(p);
    vdp2->SettleCramChanges();
    vdp2->VDPOnVblankOut();
  }

  TempDir dir;
  PluginInitInfo info{};
  std::unique_ptr<VDP1Core> vdp1;
  std::unique_ptr<VDP2Core> vdp2;
  std::unique_ptr<OpenGLDisplay> display;
};

}  // namespace vdptest
