// VDP1Core and VDP2Core wired together without a display, for logic that draws nothing.
#pragma once

#include <memory>
#include <utility>
#include <vector>

#include "plugin_fixture.h"
#include "vdp1/vdp1_core.h"
#include "vdp1_commands.h"
#include "vdp2/vdp2_core.h"

namespace vdptest {

struct Vdp1Cores {
  Vdp1Cores() {
    vdp1->ConnectCores(vdp2.get(), nullptr);
    vdp2->ConnectCores(vdp1.get(), nullptr);
  }
  void Write(uint32_t unit, const Command& command) {
    WriteCommand([this](uint32_t a, uint16_t v) { vdp1->WriteWordVDP1VRAM(a, v); }, unit, command);
  }
  void Words(uint32_t address, const std::vector<uint16_t>& words) {
    for (uint16_t w : words) vdp1->WriteWordVDP1VRAM(std::exchange(address, address + 2), w);
  }

  TempDir dir;
  PluginInitInfo info{0, nullptr, nullptr, dir.path().c_str()};
  std::unique_ptr<VDP1Core> vdp1 = std::make_unique<VDP1Core>(info);
  std::unique_ptr<VDP2Core> vdp2 = std::make_unique<VDP2Core>(info);
};

}  // namespace vdptest
