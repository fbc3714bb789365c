// VDP1Core: the emulated sprite and polygon processor.
#pragma once

#include <cstdint>
#include <fstream>
#include <vector>

#include "common/console_memory.h"
#include "common/draw_records.h"
#include "common/host_types.h"
#include "common/rgb555.h"
#include "common/settings_path.h"
#include "common/switches.h"

class VDP2Core;
class OpenGLDisplay;

// VDP1 register offsets within the chip's register window (byte offsets; the host's
// address counts with its low five bits only).
namespace vdp1reg {
constexpr uint32_t TVMR = 0x00;  // bits 2-0 TV mode, bit 3 VBE (erase/write in V-blank)
constexpr uint32_t FBCR = 0x02;  // bit 0 FCT, bit 1 FCM, bits 3-2 double interlace
constexpr uint32_t PTMR = 0x04;  // bits 1-0 PTM plot trigger mode
constexpr uint32_t EWDR = 0x06;
constexpr uint32_t EWLR = 0x08;
constexpr uint32_t EWRR = 0x0A;
constexpr uint32_t ENDR = 0x0C;
constexpr uint32_t EDSR = 0x10;  // bit 1 current end bit fetched, bit 0 previous one
constexpr uint32_t LOPR = 0x12;
constexpr uint32_t COPR = 0x14;
constexpr uint32_t MODR = 0x16;  // read-only mode status, computed on read
constexpr uint32_t kCount = 12;  // words in the register image
}  // namespace vdp1reg

// One entry of a parts list: a drawing command as the walker met it.
struct DrawPart {
  uint16_t control;  // cmdControl; & 0x0F selects the drawing routine
  uint32_t command;  // the command's VRAM address in 8-byte units
  int16_t localX;    // local coordinates in force when the command was walked
  int16_t localY;
};

class VDP1Core {
 public:
  VDP1Core(const PluginInitInfo& info, Switches& menuSwitches);
  ~VDP1Core();
  VDP1Core(const VDP1Core&) = delete;
  VDP1Core& operator=(const VDP1Core&) = delete;

  void ConnectCores(VDP2Core* vdp2Core, OpenGLDisplay* displayObject);

  // Host accessors.
  void WriteWordVDP1Regs(uint32_t address, uint16_t value);
  uint16_t ReadWordVDP1Regs(uint32_t address);
  void WriteByteVDP1VRAM(uint32_t address, uint8_t value);
  void WriteWordVDP1VRAM(uint32_t address, uint16_t value);
  void WriteLongVDP1VRAM(uint32_t address, uint32_t value);
  uint8_t ReadByteVDP1VRAM(uint32_t address) const { return vram.ReadByte(address); }
  uint16_t ReadWordVDP1VRAM(uint32_t address) const { return vram.ReadWord(address); }
  uint32_t ReadLongVDP1VRAM(uint32_t address) const { return vram.ReadLong(address); }

  void Reset();
  void ClearCache();
  // Every GL texture name is gone with the display's context.
  void ForgetTextureNames();

  // Frame compositor (frame_compositor.cpp).
  void DrawFrame();
  // Command table walker (command_walker.cpp).
  void BuildPartsListVectors();
  // Sprite texture cache (sprite_texture_cache.cpp).
  void ReadTextureDescriptor(uint32_t commandAddress, SpriteTexture& descriptor) const;
  void GetSpriteTexture(const SpriteTexture& descriptor, uint32_t& glTexture, float& uMax,
                        float& vMax);
  // Sprite drawing (sprite_draw.cpp).
  void NormalSpriteDraw();
  void ScaledSpriteDraw();
  void DistortedSpriteDraw();
  void ComputeSpriteColours(SpriteQuad& quad, uint32_t commandAddress) const;
  // Polygon, polyline and line drawing (shape_draw.cpp).
  void PolygonDraw();
  void PolylineDraw();
  void LineDraw();
  void ComputeShapeColours(ShadedShape& shape, uint32_t commandAddress) const;

  void LoadSettings();
  void SaveSettings();

  // State, by hardware meaning. Public so that the compositor, the tests and the
  // benchmarks can see what a frame did; the host reaches it only through the exports.
  char settingsPath[vdp::kSettingsPathSize];
  uint16_t registers[vdp1reg::kCount];
  vdp::ConsoleMemory vram;
  VDP2Core* vdp2 = nullptr;
  OpenGLDisplay* display = nullptr;
  int32_t commandCount = 0;
  uint8_t highResolution = 0;
  uint8_t doubleInterlace = 0;
  uint32_t yMultiplier = 1;
  uint32_t xMultiplier = 1;
  uint8_t drawRequest = 0;
  uint8_t eraseRequest = 0;
  uint8_t flipRequest = 0;
  Switches& switches;  // the menu's switches, owned by the plugin
  int16_t LocalCoordinateX = 0;
  int16_t LocalCoordinateY = 0;
  int16_t endLocalX = 0;
  int16_t endLocalY = 0;
  uint16_t currentControl = 0;
  uint16_t currentCommand = 0;
  uint16_t returnCommand = 0;
  std::vector<DrawPart> partsLists[8];
  SpriteTexture* textureOwner[65536];
  SpriteTexture spriteTextures[65536];
  vdp::Rgb555Table rgb555Table;
  std::ofstream logStream;

 private:
  void MarkOwnerDirty(uint32_t address) {
    textureOwner[(address & vdp::kVramMask) >> 3]->dirty = 1;
  }
};
