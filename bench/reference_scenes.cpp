#include "reference_scenes.h"

#include <cmath>
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

void Vdp2Registers(uint32_t address, std::initializer_list<uint16_t> words) {
  for (uint16_t w : words) {
    WriteWordVDP2Regs(address, w);
    address += 2;
  }
}

}  // namespace

SpriteScene::SpriteScene(uint32_t polygons) : polygons_(polygons) {
  if (!plugin_.running()) return;
  // Sprite type 1: colour bits 15-13 select priority register i, which holds i.
  WriteWordVDP2Regs(0xE0, 0x0001);
  for (uint16_t r = 0; r < 4; ++r)
    WriteWordVDP2Regs(0xF0 + 2 * r, static_cast<uint16_t>(((2 * r + 1) << 8) | (2 * r)));
  for (uint32_t c = 0; c < 128; ++c)
    WriteWordVDP2CRAM(0x200 + 2 * c, static_cast<uint16_t>(c * 0x0421 + 1));
  for (uint32_t i = 0; i < kSprites; ++i) {
    const uint32_t texture = kTextureBase + i * kTextureBytes;
    for (uint32_t b = 0; b < kTextureBytes; ++b) WriteByteVDP1VRAM(texture + b, TextureByte(i, b));
    // Normal sprite, 16 colours from bank 0x100 + 16 * (i % 8), priority i % 8.
    const uint16_t colour = static_cast<uint16_t>(((i % 8) << 13) | 0x100 | ((i % 8) << 4));
    Vdp1Words(i * 32,
              {0x0000, 0, 0x0000, colour, static_cast<uint16_t>(texture / 8), (2 << 8) | 16,
               static_cast<uint16_t>((i * 7) % 304), static_cast<uint16_t>((i * 13) % 224)});
  }
  if (polygons_ == 0) {
    Vdp1Words(kSprites * 32, {0x8000});
    return;
  }
  // Polygons: RGB dots shown among the palette ones (SPCLMD) at priority 7, shaded from
  // the four corners of one gouraud table.
  constexpr uint32_t kGouraudTable = 0x7F000;
  WriteWordVDP2Regs(vdp2reg::TVMD, 0x8000);  // the display on, 320 x 224
  WriteWordVDP2Regs(0xE0, 0x0021);
  WriteWordVDP2Regs(0xF0, 0x0107);
  Vdp1Words(kGouraudTable, {0x801F, 0x83E0, 0xFC00, 0xFFFF});
  for (uint32_t i = 0; i < polygons_; ++i) {
    const auto x = static_cast<uint16_t>((i * 11) % 304), y = static_cast<uint16_t>((i * 17) % 208);
    const auto x2 = static_cast<uint16_t>(x + 15), y2 = static_cast<uint16_t>(y + 15);
    Vdp1Words((kSprites + i) * 32, {0x0004, 0, 0x0004, static_cast<uint16_t>(0x8000 | i), 0, 0, x,
                                    y, x2, y, x2, y2, x, y2, kGouraudTable / 8});
  }
  Vdp1Words((kSprites + polygons_) * 32, {0x8000});
}

uint64_t SpriteScene::DrawnDots() const {
  uint64_t dots = uint64_t{polygons_} * 16 * 16;
  for (uint32_t i = 0; i < kSprites; ++i) {
    for (uint32_t b = 0; b < kTextureBytes; ++b) dots += TextureByte(i, b) != 0 ? 2 : 0;
  }
  return dots;
}

void SpriteScene::ChangeEveryTexture() {
  value_ = value_ == 0x12 ? 0x21 : 0x12;
  for (uint32_t i = 0; i < kSprites; ++i)
    WriteByteVDP1VRAM(kTextureBase + i * kTextureBytes, value_);
}

// An empty command table, the 352 x 240 mode, 255 random colours and 512 characters of
// random 16-colour dots at 0x0-0x3FFF: what the plane scenes draw from.
static void WriteRandomCharacters(std::mt19937& random) {
  WriteWordVDP1VRAM(0, 0x8000);
  WriteWordVDP2Regs(vdp2reg::TVMD, 0x8011);
  for (uint32_t i = 1; i < 256; ++i)
    WriteWordVDP2CRAM(i * 2, static_cast<uint16_t>(random() & 0x7FFF));
  for (uint32_t a = 0; a < 0x4000; a += 4) WriteLongVDP2VRAM(a, static_cast<uint32_t>(random()));
}

PlaneScene::PlaneScene(uint16_t planes) {
  if (!plugin_.running()) return;
  std::mt19937 random(7);
  WriteRandomCharacters(random);
  WriteWordVDP2Regs(vdp2reg::BGON, planes);
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

void PlaneScene::Compose(bool effects) {
  // A 16 x 16 texture of code 0xE: with colour 0x7F0, type 0's normal shadow 0x7FE.
  constexpr uint32_t kShadowTexture = 0x10000;
  for (uint32_t b = 0; b < 128; ++b) WriteByteVDP1VRAM(kShadowTexture + b, 0xEE);
  for (uint16_t i = 0; i < 6; ++i) {
    const auto x = static_cast<uint16_t>(10 + 110 * (i % 3)),
               y = static_cast<uint16_t>(20 + 110 * (i / 3));
    Vdp1Words(i * 32u, {0x0001, 0, 0x0000, 0x07F0, kShadowTexture / 8, (2 << 8) | 16, x, y, 0, 0,
                        static_cast<uint16_t>(x + 95), static_cast<uint16_t>(y + 63)});
  }
  Vdp1Words(6 * 32, {0x8000});
  WriteWordVDP2Regs(0xF0, 0x0007);  // PRISA: the sprites over the planes
  if (!effects) return;
  // W0 (40, 30)-(200, 150) and W1 (150, 100)-(320, 220), X in half dots.
  Vdp2Registers(0xC0, {80, 30, 400, 150, 300, 100, 640, 220});
  WriteWordVDP2Regs(0xD0, 0x0802);   // WCTLA: NBG0 hidden inside W0, NBG1 inside W1
  WriteWordVDP2Regs(0xEC, 0x0003);   // CCCTL: NBG0 and NBG1 calculated
  WriteWordVDP2Regs(0x108, 0x0A14);  // CCRNA: their ratios
  WriteWordVDP2Regs(0xE2, 0x000F);   // SDCTL: shadows on the four planes
}

void PlaneScene::WriteLine(int y) {
  WriteWordVDP2Regs(vdp2reg::SCXIN0, static_cast<uint16_t>((scroll_ + (y & 15)) & 0x7FF));
  WriteWordVDP2CRAM(2, static_cast<uint16_t>(y * 0x0421 & 0x7FFF));
}

void PlaneScene::ChangeCharacter() {
  // Character 5's first row, at 16 colours 4 bytes, takes two patterns in turn.
  character_ = character_ == 0x1234 ? 0x4321 : 0x1234;
  WriteWordVDP2VRAM(5 * 32, character_);
}

RotationScene::RotationScene() {
  if (!plugin_.running()) return;
  std::mt19937 random(7);
  // Bank A0: 512 characters of random 16-colour dots; A1: a page of 64 x 64 one-word
  // names at 0x20000 (plane 16); B0: the coefficients at 0x40000; B1: the parameters.
  WriteRandomCharacters(random);
  for (uint32_t i = 0; i < 4096; ++i) {
    const uint32_t character = random() & 0x1FF;
    WriteWordVDP2VRAM(0x20000 + 2 * i,
                      static_cast<uint16_t>(((character & 0xF) << 12) | character));
  }
  // kx = ky = camera height / distance below a horizon 16 lines above the screen.
  for (uint32_t y = 0; y < 256; ++y) WriteLongVDP2VRAM(0x40000 + 4 * y, (56u << 16) / (y + 16));
  WriteWordVDP2Regs(vdp2reg::RAMCTL, 0x131B);  // A0 characters, A1 names, B0 coefficients
  WriteWordVDP2Regs(vdp2reg::BGON, 0x0010);
  WriteWordVDP2Regs(vdp2reg::CHCTLB, 0x0000);  // RBG0: 16 colours, 1 x 1 cells
  WriteWordVDP2Regs(0x38, 0x8000);             // PNCR: one-word names
  for (uint32_t k = 0; k < 8; ++k) WriteWordVDP2Regs(0x50 + 2 * k, 0x1010);  // MPABRA-MPOPRA
  WriteWordVDP2Regs(0xB4, 0x0001);        // KTCTL: A's table on, two-word entries, kx and ky
  WriteWordVDP2Regs(0xB6, 0x0001);        // KTAOF: at 0x40000
  Vdp2Registers(0xBC, {0x0003, 0xF800});  // RPTAU, RPTAL: the table at 0x7F000
  WriteWordVDP2Regs(vdp2reg::PRIR, 1);
  Turn();
  BenchPlugin::Frame();
  BenchPlugin::Frame();
}

void RotationScene::Turn() {
  angle_ += 2;
  const double a = angle_ * 6.283185307179586 / 1024;
  const auto c = static_cast<uint32_t>(std::lround(std::cos(a) * 65536));
  const auto s = static_cast<uint32_t>(std::lround(std::sin(a) * 65536));
  const auto put = [](uint32_t offset, uint32_t value, uint32_t used) {
    WriteLongVDP2VRAM(0x7F000 + offset, value & used);
  };
  put(0x00, static_cast<uint32_t>(-176 * 65536), 0x1FFFFFC0);  // Xst
  put(0x04, static_cast<uint32_t>(-192 * 65536), 0x1FFFFFC0);  // Yst
  put(0x14, 0x10000, 0x7FFC0);                                 // dX
  put(0x1C, c, 0xFFFC0);                                       // A
  put(0x20, 0u - s, 0xFFFC0);                                  // B
  put(0x28, s, 0xFFFC0);                                       // D
  put(0x2C, c, 0xFFFC0);                                       // E
  put(0x44, 1024u << 16, 0x3FFFFFC0);                          // Mx
  put(0x48, 1024u << 16, 0x3FFFFFC0);                          // My
  put(0x4C, 0x10000, 0xFFFFFF);                                // kx
  put(0x50, 0x10000, 0xFFFFFF);                                // ky
  put(0x58, 0x10000, 0x3FFFFC0);                               // dKAst: an entry a line
  put(0x5C, 0x40, 0x3FFFFC0);                                  // dKAx: 1/1024 entry a dot
}
