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
  // With polygons: as many 16 x 16 gouraud-shaded RGB squares drawn after the sprites.
  explicit SpriteScene(uint32_t polygons = 0);
  // The dots VDP1 draws a frame: every sprite and polygon lies whole in the frame buffer,
  // and a texture's transparent dots are not drawn.
  uint64_t DrawnDots() const;
  // Byte b of sprite i's texture: two dots of code (i + b) % 15, so one byte in 15 is
  // transparent and none holds an end code (15).
  static uint8_t TextureByte(uint32_t i, uint32_t b) {
    return static_cast<uint8_t>(0x11 * ((i + b) % 15));
  }
  bool running() const { return plugin_.running(); }
  // One changed byte per texture, as a game streaming new animation frames would.
  void ChangeEveryTexture();

 private:
  BenchPlugin plugin_;
  uint32_t polygons_ = 0;
  uint8_t value_ = 0x12;
};

// Four 352 x 240 planes of 16-colour characters with random names and colours (or those of
// them that BGON's low bits name); two frames drawn already, so every tile is cached.
class PlaneScene {
 public:
  explicit PlaneScene(uint16_t planes = 0x000F);
  bool running() const { return plugin_.running(); }
  // Moves every plane one dot right and down.
  void Scroll();
  // Six 96 x 64 VDP1 sprites of the normal shadow code; with effects, two rectangle
  // windows (W0 cuts NBG0, W1 NBG1), colour calculation of NBG0 and NBG1 by their ratios,
  // and shadows on the four planes. Without, the sprites show nothing.
  void Compose(bool effects);
  static constexpr int kLines = 240;
  // What a host writes before line y: NBG0's horizontal scroll and colour RAM word 1.
  void WriteLine(int y);
  // One word of one character's dots changed, as a game animating a tile does.
  void ChangeCharacter();

 private:
  BenchPlugin plugin_;
  uint32_t scroll_ = 0;
  uint16_t character_ = 0;
};

// RBG0 alone over the whole 352 x 240 screen: a floor of random 16-colour cells seen in
// perspective, parameter A with a coefficient table (kx and ky) read per dot: KAst steps
// one entry a line and dKAx 1/1024 entry a dot, so the dots of a line read their line's.
class RotationScene {
 public:
  RotationScene();
  bool running() const { return plugin_.running(); }
  // Turns the floor by 2/1024 of a turn (a new parameter table in VRAM).
  void Turn();

 private:
  BenchPlugin plugin_;
  int angle_ = 0;
};
