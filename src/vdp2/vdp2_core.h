// VDP2Core: the emulated background processor.
#pragma once

#include <cstdint>

#include "common/console_memory.h"
#include "plugin/plugin_types.h"
#include "plugin/settings_path.h"

class VDP1Core;
class OpenGLDisplay;

// The planes in the order of every per-plane array, menu item and texture slot.
enum PlaneId : uint8_t { NBG0 = 0, NBG1 = 1, NBG2 = 2, NBG3 = 3, RBG0 = 4, RBG1 = 5 };
constexpr int kPlaneCount = 6;

// VDP2 register byte offsets (the register at offset r is element r / 2).
namespace vdp2reg {
constexpr uint32_t TVMD = 0x00;    // bit 15 display, 7-6 interlace, 5-4 lines, 1-0 dots
constexpr uint32_t EXTEN = 0x02;
constexpr uint32_t TVSTAT = 0x04;  // built on read: 3 V-blank, 2 H-blank, 1 odd, 0 PAL
constexpr uint32_t HCNT = 0x08;
constexpr uint32_t VCNT = 0x0A;
constexpr uint32_t RAMCTL = 0x0E;  // bits 13-12 colour RAM mode
constexpr uint32_t BGON = 0x20;    // bits 0-4 plane on, bits 8-12 zero-dot opaque
constexpr uint32_t CHCTLA = 0x28;
constexpr uint32_t CHCTLB = 0x2A;
constexpr uint32_t BMPNA = 0x2C;
constexpr uint32_t BMPNB = 0x2E;
constexpr uint32_t PNCN0 = 0x30;
constexpr uint32_t PLSZ = 0x3A;
constexpr uint32_t MPOFN = 0x3C;
constexpr uint32_t MPOFR = 0x3E;
constexpr uint32_t MPABN0 = 0x40;
constexpr uint32_t SCXIN0 = 0x70;
constexpr uint32_t SCYIN0 = 0x74;
constexpr uint32_t ZMXIN0 = 0x78;
constexpr uint32_t ZMXDN0 = 0x7A;
constexpr uint32_t ZMYIN0 = 0x7C;
constexpr uint32_t ZMYDN0 = 0x7E;
constexpr uint32_t SCXIN1 = 0x80;
constexpr uint32_t SCYIN1 = 0x84;
constexpr uint32_t ZMXIN1 = 0x88;
constexpr uint32_t ZMXDN1 = 0x8A;
constexpr uint32_t ZMYIN1 = 0x8C;
constexpr uint32_t ZMYDN1 = 0x8E;
constexpr uint32_t SCXN2 = 0x90;
constexpr uint32_t SCYN2 = 0x92;
constexpr uint32_t SCXN3 = 0x94;
constexpr uint32_t SCYN3 = 0x96;
constexpr uint32_t RPMD = 0xB0;
constexpr uint32_t SPCTL = 0xE0;   // bits 3-0 sprite type
constexpr uint32_t CRAOFA = 0xE4;
constexpr uint32_t CRAOFB = 0xE6;
constexpr uint32_t PRISA = 0xF0;   // two 3-bit sprite priority numbers per register
constexpr uint32_t PRISB = 0xF2;
constexpr uint32_t PRISC = 0xF4;
constexpr uint32_t PRISD = 0xF6;
constexpr uint32_t PRINA = 0xF8;
constexpr uint32_t PRINB = 0xFA;
constexpr uint32_t PRIR = 0xFC;
constexpr uint32_t CCRNA = 0x108;
constexpr uint32_t CCRNB = 0x10A;
constexpr uint32_t CCRR = 0x10C;
constexpr uint32_t CLOFEN = 0x110;
constexpr uint32_t CLOFSL = 0x112;
constexpr uint32_t COAR = 0x114;
constexpr uint32_t COAG = 0x116;
constexpr uint32_t COAB = 0x118;
constexpr uint32_t COBR = 0x11A;
constexpr uint32_t COBG = 0x11C;
constexpr uint32_t COBB = 0x11E;
}  // namespace vdp2reg

// A changed flag and the frame stamp of a colour RAM range (all ones: never).
struct PaletteChangeRecord {
  uint8_t changed;
  uint32_t stamp;
};

// One decoded 8x8 cell per 32-byte VRAM block.
struct TileCacheEntry {
  uint8_t dirty;
  uint32_t texels[64];
  uint32_t palette;
  uint32_t stamp;
};

// What was last uploaded at one pattern position of one plane slot.
struct PatternUploadRecord {
  uint32_t data;
  uint32_t nextVisit;
  uint32_t uploadStamp;
};

class VDP2Core {
 public:
  explicit VDP2Core(const PluginInitInfo& info);
  VDP2Core(const VDP2Core&) = delete;
  VDP2Core& operator=(const VDP2Core&) = delete;

  void ConnectCores(VDP1Core* vdp1Core, OpenGLDisplay* displayObject);

  // Host accessors.
  void WriteWordVDP2Regs(uint32_t address, uint16_t value);
  void WriteLongVDP2Regs(uint32_t address, uint32_t value);
  uint16_t ReadWordVDP2Regs(uint32_t address);
  uint32_t ReadLongVDP2Regs(uint32_t address);
  void WriteByteVDP2VRAM(uint32_t address, uint8_t value);
  void WriteWordVDP2VRAM(uint32_t address, uint16_t value);
  void WriteLongVDP2VRAM(uint32_t address, uint32_t value);
  uint8_t ReadByteVDP2VRAM(uint32_t address) const { return vram.ReadByte(address); }
  uint16_t ReadWordVDP2VRAM(uint32_t address) const { return vram.ReadWord(address); }
  uint32_t ReadLongVDP2VRAM(uint32_t address) const { return vram.ReadLong(address); }
  void WriteWordVDP2CRAM(uint32_t address, uint16_t value);
  void WriteLongVDP2CRAM(uint32_t address, uint32_t value);
  uint16_t ReadWordVDP2CRAM(uint32_t address) const;
  uint32_t ReadLongVDP2CRAM(uint32_t address) const;

  void VDPOnVblankIn() { inVBlank = 1; }
  void VDPOnVblankOut();
  void VDPOnHblankIn() { inHBlank = 1; }
  void VDPOnHblankOut();

  void RegisterWritten(uint32_t offset, uint16_t value);
  void PrepareRegisterRead(uint32_t offset);

  void ClearCache();
  void MarkAllTilesDirty();
  void Reset();

  void SetPlaneShown(int plane, uint8_t value) { planeShown[plane] = value; }
  uint8_t IsPlaneShown(int plane) const { return planeShown[plane]; }
  void SetPlaneFiltering(int plane, uint8_t value) { planeFiltering[plane] = value; }
  uint8_t GetPlaneFiltering(int plane) const { return planeFiltering[plane]; }

  // The setup dialog's "Patterns" buttons: no effect.
  void ShowPatterns(int plane, int option);

  // Display state (display_state.cpp).
  void UpdateResolution(uint16_t tvmd);
  void DetectCramChanges();
  void SettleCramChanges();
  // Plane scheduling (plane_scheduling.cpp).
  void DrawPlanesWithPriority(uint8_t priority);
  // Sprite colour-bank lookup through colour RAM, for the VDP1 decoders.
  uint32_t SpriteColourLookup(uint32_t code) const;

  uint16_t Reg(uint32_t offset) const { return registers[(offset & 0x1FF) >> 1]; }
  // Colour RAM mode, RAMCTL bits 13-12.
  uint32_t RamMode() const { return (Reg(vdp2reg::RAMCTL) >> 12) & 3; }

  char settingsPath[vdp::kSettingsPathSize];
  uint16_t registers[256];
  vdp::ConsoleMemory vram;
  uint16_t cram[2048];
  VDP1Core* vdp1 = nullptr;
  OpenGLDisplay* display = nullptr;
  uint8_t standard = 0;  // 0 = NTSC, never changed
  uint8_t inVBlank = 0;
  uint8_t inHBlank = 0;
  uint8_t oddField = 0;
  int32_t verticalMultiplier = 1;
  int32_t horizontalMultiplier = 1;
  uint16_t cramShadow[2048];
  uint16_t spritePRBitsMask = 0;
  uint32_t spritePRBitsShift = 0;
  uint8_t spritePriority[8];
  uint8_t planeShown[kPlaneCount];
  uint8_t planeFiltering[kPlaneCount];
  uint32_t frameCounter = 0;
  PaletteChangeRecord paletteBlockChange[128];
  PaletteChangeRecord paletteBankChange[8];
  PaletteChangeRecord cramChange;
  PaletteChangeRecord directColourChange;
  TileCacheEntry tileCache[16384];
  PatternUploadRecord patternCache[262144];
  uint8_t vramBankChanged[8];
  uint8_t planeNeedsFullUpload[kPlaneCount];
  uint16_t lineCounter = 0;
  uint16_t hCounterSequence = 0;
  // Resolution as a TVMD value of 0 leaves it, until the first TVMD write.
  int32_t displayHeight = 224;
  int32_t displayWidth = 320;
  uint8_t hiResDoubled = 0;
  uint8_t doubleDensity = 0;

 private:
  void MarkVramChange(uint32_t address) {
    tileCache[(address & vdp::kVramMask) >> 5].dirty = 1;
    vramBankChanged[(address & vdp::kVramMask) >> 16] = 1;
  }
};
