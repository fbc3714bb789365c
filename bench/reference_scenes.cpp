#include "reference_scenes.h"

#include <initializer_list>
#include <random>

#include "plugin/plugin_api.h"
#include "vdp2/vdp2_core.h"

namespace {

constexpr uint32_t kTextureBase = 0x10000;
constexpr uint32_t kTextureBytes = 16 * 16 / 2;  // 16 colours: 4 bits per dot

void Vdp1Words(uint32_t address, std::initializer_list<uint16_t> words) {
  for (uint16_t w : words) {
    WriteWordVDP1VRAM(address, w);
    address += 2;
  }
}

}  // namespace

SpriteScene::SpriteScene() {
  if (!plugin_.running()) return;
  // Sprite type 1: colour bits 15-13 select priority register i, which holds i.
  WriteWordVDP2Regs(0xE0, 0x0001);
  for (uint16_t r = 0; r < 4; ++r)
    WriteWordVDP2Regs(0xF0 + 2 * r, static_cast<uint16_t>(((2 * r + 1) << 8) | (2 * r)));
  for (uint32_t c = 0; c < 128; ++c)
    WriteWordVDP2CRAM(0x200 + 2 * c, static_cast<uint16_t>(c * 0x0421 + 1));
  for (uint32_t i = 0; i < kSprites; ++i) {
    const uint32_t texture = kTextureBase + i * kTextureBytes;
    for (uint32_t b = 0; b < kTextureBytes; ++b)
      WriteByteVDP1VRAM(texture + b, static_cast<uint8_t>(0x11 * ((i + b) % 15 + 1)));
    // Normal sprite, 16 colours from bank 0x100 + 16 * (i % 8), priority i % 8.
    const uint16_t colour = static_cast<uint16_t>(((i % 8) << 13) | 0x100 | ((i % 8) << 4));
    Vdp1Words(i * 32,
              {0x0000, 0, 0x0000, colour, static_cast<uint16_t>(texture / 8), (2 << 8) | 16,
               static_cast<uint16_t>((i * 7) % 304), static_cast<uint16_t>((i * 13) % 224)});
  }
  Vdp1Words(kSprites * 32, {0x8000});
}

void SpriteScene::ChangeEveryTexture() {
  value_ = value_ == 0x12 ? 0x21 : 0x12;
  for (uint32_t i = 0; i < kSprites; ++i)
    WriteByteVDP1VRAM(kTextureBase + i * kTextureBytes, value_);
}

PlaneScene::PlaneScene() {
  if (!plugin_.running()) return;
  WriteWordVDP1VRAM(0, 0x8000);              // an empty command table
  WriteWordVDP2Regs(vdp2reg::TVMD, 0x8011);  // 352 x 240
  std::mt19937 random(7);
  for (uint32_t i = 1; i < 256; ++i)
    WriteWordVDP2CRAM(i * 2, static_cast<uint16_t>(random() & 0x7FFF));
  // 512 characters of random 16-colour dots at 0x0-0x3FFF.
  for (uint32_t a = 0; a < 0x4000; a += 4) WriteLongVDP2VRAM(a, static_cast<uint32_t>(random()));
  WriteWordVDP2Regs(vdp2reg::BGON, 0x000F);
  WriteWordVDP2Regs(vdp2reg::PRINA, 0x0403);
  WriteWordVDP2Regs(vdp2reg::PRINB, 0x0201);
  for (uint32_t n = 0; n < 4; ++n) {
    // One-word names, one-page planes at pages 8 + n (0x10000 + n x 8 KB), all four
    // slots alike; each name picks a character, and each character has one palette
    // (the tile cache holds a cell with one palette at a time).
    WriteWordVDP2Regs(vdp2reg::PNCN0 + 2 * n, 0x8000);
    const uint16_t page = static_cast<uint16_t>((8 + n) * 0x0101);
    WriteWordVDP2Regs(vdp2reg::MPABN0 + 4 * n, page);
    WriteWordVDP2Regs(vdp2reg::MPABN0 + 4 * n + 2, page);
    for (uint32_t i = 0; i < 4096; ++i) {
      const uint32_t character = random() & 0x1FF;
      WriteWordVDP2VRAM(((8 + n) << 13) + 2 * i,
                        static_cast<uint16_t>(((character & 0xF) << 12) | character));
    }
  }
  for (uint32_t r : {vdp2reg::ZMXIN0, vdp2reg::ZMYIN0, vdp2reg::ZMXIN1, vdp2reg::ZMYIN1})
    WriteWordVDP2Regs(r, 1);
  BenchPlugin::Frame();
  BenchPlugin::Frame();
}

void PlaneScene::Scroll() {
  ++scroll_;
  const uint16_t s = static_cast<uint16_t>(scroll_ & 0x7FF);
  for (uint32_t r : {vdp2reg::SCXIN0, vdp2reg::SCYIN0, vdp2reg::SCXIN1, vdp2reg::SCYIN1,
                     vdp2reg::SCXN2, vdp2reg::SCYN2, vdp2reg::SCXN3, vdp2reg::SCYN3})
    WriteWordVDP2Regs(r, s);
}
