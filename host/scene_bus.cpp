#include "scene_bus.h"

namespace vdphost {

void SceneBus::Vdp1Words(uint32_t address, std::initializer_list<uint16_t> words) {
  for (uint16_t w : words) {
    api_.WriteWordVDP1VRAM(address, w);
    address += 2;
  }
}

void SceneBus::Vdp2Words(uint32_t address, std::initializer_list<uint16_t> words) {
  for (uint16_t w : words) {
    api_.WriteWordVDP2VRAM(address, w);
    address += 2;
  }
}

void SceneBus::CramWords(uint32_t address, std::initializer_list<uint16_t> words) {
  for (uint16_t w : words) {
    api_.WriteWordVDP2CRAM(address, w);
    address += 2;
  }
}

void SceneBus::Frame() {
  for (int line = 0; line < 224; ++line) {
    api_.VDPOnHblankIn();
    api_.VDPOnHblankOut();
  }
  api_.VDPOnVblankIn();
  api_.VDPOnVblankOut();
}

}  // namespace vdphost
