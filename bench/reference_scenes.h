// Reference scenes drawn by the benchmarks and by the frame-cost report, set up through
// the plugin's exports: 2,000 sprites, and four cell planes that can scroll.
#pragma once

#include <cstdint>

#include "bench_plugin.h"

// 2,000 16 x 16 sprites spread over the eight priority levels, each with its own
// 16-colour texture. Nothing is drawn yet: the first frame decodes every texture.
class SpriteScene {
 public:
  static constexpr uint32_t kSprites = 2000;
  SpriteScene();
  bool running() const { return plugin_.running(); }
  // One changed byte per texture, as a game streaming new animation frames would.
  void ChangeEveryTexture();

 private:
  BenchPlugin plugin_;
  uint8_t value_ = 0x12;
};

// Four 352 x 240 planes of 16-colour characters with random names and colours; two
// frames drawn already, so every tile is cached.
class PlaneScene {
 public:
  PlaneScene();
  bool running() const { return plugin_.running(); }
  // Moves every plane one dot right and down.
  void Scroll();

 private:
  BenchPlugin plugin_;
  uint32_t scroll_ = 0;
};
