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
#include "common/shared_flag.h"

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

// One sprite texture cache entry: a texture descriptor (fields up to byteSize) and the
// GL texture built from it.
struct SpriteTexture {
  uint8_t endCodeDisable;           // cmdDrawMode bit 7
  uint8_t transparentPixelDisable;  // cmdDrawMode bit 6
  uint8_t colourMode;               // cmdDrawMode bits 5-3
  uint32_t colour;                  // cmdColour
  uint32_t address;                 // texture byte address in VRAM
  uint32_t width;                   // 0 to 504 dots
  uint32_t height;                  // 0 to 255 lines
  int32_t byteSize;                 // bytes of texture data
  uint8_t dirty;                    // must be rebuilt before use
  uint32_t glTexture;               // 0 while none has been generated
  float uMax, vMax;                 // texture coordinates of the far edges
  uint32_t paddedWidth, paddedHeight;
};

class VDP1Core {
 public:
  explicit VDP1Core(const PluginInitInfo& info);
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

  // Menu accessors: index 0..5 in the order of the fields below.
  void SetUserSwitch(int index, uint8_t value);
  uint8_t GetUserSwitch(int index) const;
  void SetQualityFlag(int index, uint8_t value);
  uint8_t GetQualityFlag(int index) const;

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
  // User switches (the "Disable" menu), in accessor order.
  SharedFlag disableNormalSprites{0};
  SharedFlag disableScaledSprites{0};
  SharedFlag disableDistortedSprites{0};
  SharedFlag disablePolygons{0};
  SharedFlag disablePolylines{0};
  SharedFlag disableLines{0};
  // Quality flags (settings file and "Filtering" menu), in accessor order.
  SharedFlag normalSpritesFiltering{0};
  SharedFlag scaledSpritesFiltering{0};
  SharedFlag distortedSpritesFiltering{0};
  SharedFlag polygonsAntialiasing{0};
  SharedFlag polylinesAntialiasing{0};
  SharedFlag linesAntialiasing{0};
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
  SharedFlag* UserSwitchSlot(int index);
  SharedFlag* QualityFlagSlot(int index);
  void MarkOwnerDirty(uint32_t address) {
    textureOwner[(address & vdp::kVramMask) >> 3]->dirty = 1;
  }
};
