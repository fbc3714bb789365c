#include "scene_bus.h"

namespace vdphost {

bool SceneBus::PresentedPixel(int x, int y, uint32_t& texel) const {
  std::vector<uint32_t> texels;
  int width = 0, height = 0;
  if (!screen_.Read(texels, width, height)) return false;
  if (x < 0 || y < 0 || x >= width || y >= height) return false;
  texel = texels[static_cast<size_t>(y) * width + x];
  return true;
}

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
  Vblank();
}

void SceneBus::Vblank() {
  api_.VDPOnVblankIn();
  api_.VDPOnVblankOut();
  if (afterFrame) afterFrame();
}

}  // namespace vdphost
