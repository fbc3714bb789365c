// VDP2Core: the emulated background processor.
#pragma once

#include <cstddef>
#include <cstdint>

#include "common/bits.h"
#include "common/console_memory.h"
#include "common/draw_records.h"
#include "common/host_types.h"
#include "common/line_log.h"
#include "common/settings_path.h"
#include "common/switches.h"

class VDP1Core;
class OpenGLDisplay;

// The planes in the order of every per-plane array, menu item and texture slot.
enum PlaneId : uint8_t { NBG0 = 0, NBG1 = 1, NBG2 = 2, NBG3 = 3, RBG0 = 4, RBG1 = 5 };
constexpr int kPlaneCount = 6;
static_assert(sizeof(Switches::planeShown) / sizeof(SharedFlag) == kPlaneCount);

// VDP2 register byte offsets (the register at offset r is element r / 2).
namespace vdp2reg {
constexpr uint32_t TVMD = 0x00;  // bit 15 display, 7-6 interlace, 5-4 lines, 1-0 dots
constexpr uint32_t EXTEN = 0x02;
constexpr uint32_t TVSTAT = 0x04;  // built on read: 3 V-blank, 2 H-blank, 1 odd, 0 PAL
constexpr uint32_t HCNT = 0x08;
constexpr uint32_t VCNT = 0x0A;
constexpr uint32_t RAMCTL = 0x0E;  // bits 13-12 colour RAM mode
constexpr uint32_t BGON = 0x20;    // bits 0-4 plane on, bits 8-12 zero-dot opaque
constexpr uint32_t CHCTLA = 0x28;  // NBG0 bits 6-0, NBG1 bits 13-8 (see kColourMode...)
constexpr uint32_t CHCTLB = 0x2A;  // NBG2 bits 1-0, NBG3 bits 5-4, RBG0 bits 14-8
constexpr uint32_t BMPNA = 0x2C;   // bitmap palette numbers NBG0 2-0, NBG1 10-8
constexpr uint32_t BMPNB = 0x2E;   // bitmap palette number RBG0 2-0
constexpr uint32_t PNCN0 = 0x30;   // PNCN0-PNCN3, one word apart
constexpr uint32_t PLSZ = 0x3A;    // plane size codes, two bits per NBG
constexpr uint32_t MPOFN = 0x3C;   // map offsets, three bits per NBG, four apart
constexpr uint32_t MPOFR = 0x3E;   // RBG0 map offsets: 2-0 parameter A, 6-4 parameter B
constexpr uint32_t MPABN0 = 0x40;  // MPABNn at 0x40 + 4n, MPCDNn at 0x42 + 4n
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
constexpr uint32_t RPMD = 0xB0;    // bits 1-0 rotation parameter mode
constexpr uint32_t SPCTL = 0xE0;   // bits 3-0 sprite type
constexpr uint32_t CRAOFA = 0xE4;  // colour RAM offsets, three bits per NBG, four apart
constexpr uint32_t CRAOFB = 0xE6;  // RBG0 2-0, sprites 6-4
constexpr uint32_t PRISA = 0xF0;   // two 3-bit sprite priority numbers per register
constexpr uint32_t PRISB = 0xF2;
constexpr uint32_t PRISC = 0xF4;
constexpr uint32_t PRISD = 0xF6;
constexpr uint32_t PRINA = 0xF8;    // priority numbers NBG0 2-0, NBG1 10-8
constexpr uint32_t PRINB = 0xFA;    // priority numbers NBG2 2-0, NBG3 10-8
constexpr uint32_t PRIR = 0xFC;     // priority number RBG0 2-0
constexpr uint32_t CCRNA = 0x108;   // colour calculation ratios NBG0 4-0, NBG1 12-8
constexpr uint32_t CCRNB = 0x10A;   // NBG2 4-0, NBG3 12-8
constexpr uint32_t CCRR = 0x10C;    // RBG0 4-0
constexpr uint32_t CLOFEN = 0x110;  // colour offset enable, bit n for PlaneId n
constexpr uint32_t CLOFSL = 0x112;  // colour offset select (0 = A, 1 = B), bit n for PlaneId n
constexpr uint32_t COAR = 0x114;    // colour offsets A and B, 9-bit signed each
constexpr uint32_t COAG = 0x116;
constexpr uint32_t COAB = 0x118;
constexpr uint32_t COBR = 0x11A;
constexpr uint32_t COBG = 0x11C;
constexpr uint32_t COBB = 0x11E;
}  // namespace vdp2reg

// One field of a register: bits hi..lo of the register at a byte offset.
struct RegField {
  uint32_t offset;
  uint8_t hi, lo;
};
// A field the plane does not have; reads as 0.
constexpr RegField kNoField = {0xFFFFFFFFu, 0, 0};

// Where each plane keeps its fields, indexed by PlaneId NBG0, NBG1, NBG2, NBG3, RBG0.
namespace vdp2field {
using namespace vdp2reg;
constexpr RegField kPlaneOn[5] = {
    {BGON, 0, 0}, {BGON, 1, 1}, {BGON, 2, 2}, {BGON, 3, 3}, {BGON, 4, 4}};
// Dots of code 0 are drawn (1) or transparent (0).
constexpr RegField kZeroDotOpaque[5] = {
    {BGON, 8, 8}, {BGON, 9, 9}, {BGON, 10, 10}, {BGON, 11, 11}, {BGON, 12, 12}};
constexpr RegField kPriority[5] = {
    {PRINA, 2, 0}, {PRINA, 10, 8}, {PRINB, 2, 0}, {PRINB, 10, 8}, {PRIR, 2, 0}};
// 1 = bitmap, 0 = cells. NBG2 and NBG3 are always cell planes.
constexpr RegField kBitmapMode[5] = {
    {CHCTLA, 1, 1}, {CHCTLA, 9, 9}, kNoField, kNoField, {CHCTLB, 9, 9}};
// Bitmap size code: NBG0/NBG1 0 = 512x256, 1 = 512x512, 2 = 1024x256, 3 = 1024x512;
// RBG0 0 = 512x256, 1 = 512x512.
constexpr RegField kBitmapSize[5] = {
    {CHCTLA, 3, 2}, {CHCTLA, 11, 10}, kNoField, kNoField, {CHCTLB, 10, 10}};
// Colour number code: 0 = 16, 1 = 256, 2 = 2048 colours, 3 = 32,768 RGB, 4 = 16.7M RGB.
constexpr RegField kColourMode[5] = {
    {CHCTLA, 6, 4}, {CHCTLA, 13, 12}, {CHCTLB, 1, 1}, {CHCTLB, 5, 5}, {CHCTLB, 14, 12}};
// 0 = 1x1 cell characters, 1 = 2x2 cells.
constexpr RegField kCharacterSize[5] = {
    {CHCTLA, 0, 0}, {CHCTLA, 8, 8}, {CHCTLB, 0, 0}, {CHCTLB, 4, 4}, kNoField};
constexpr RegField kBitmapPalette[5] = {
    {BMPNA, 2, 0}, {BMPNA, 10, 8}, kNoField, kNoField, {BMPNB, 2, 0}};
// Map offset (bits 8-6 of the map's page number; a bitmap's base is value x 0x20000).
// RBG0's depends on RPMD and is read by RotationMapOffset().
constexpr RegField kMapOffset[5] = {
    {MPOFN, 2, 0}, {MPOFN, 6, 4}, {MPOFN, 10, 8}, {MPOFN, 14, 12}, kNoField};
constexpr RegField kCramOffset[5] = {
    {CRAOFA, 2, 0}, {CRAOFA, 6, 4}, {CRAOFA, 10, 8}, {CRAOFA, 14, 12}, {CRAOFB, 2, 0}};
constexpr RegField kColourRatio[5] = {
    {CCRNA, 4, 0}, {CCRNA, 12, 8}, {CCRNB, 4, 0}, {CCRNB, 12, 8}, {CCRR, 4, 0}};
constexpr RegField kOffsetEnable[5] = {
    {CLOFEN, 0, 0}, {CLOFEN, 1, 1}, {CLOFEN, 2, 2}, {CLOFEN, 3, 3}, {CLOFEN, 4, 4}};
constexpr RegField kOffsetSelect[5] = {
    {CLOFSL, 0, 0}, {CLOFSL, 1, 1}, {CLOFSL, 2, 2}, {CLOFSL, 3, 3}, {CLOFSL, 4, 4}};
// Plane size code: 0 = 1x1 pages, 1 = 2x1, 2 = not a hardware setting, 3 = 2x2.
constexpr RegField kPlaneSize[5] = {
    {PLSZ, 1, 0}, {PLSZ, 3, 2}, {PLSZ, 5, 4}, {PLSZ, 7, 6}, kNoField};
// Pattern name control: 15 one-word data, 14 character number mode (12-bit, no flips),
// 7-5 supplementary palette, 4-0 supplementary character number.
constexpr RegField kPatternNameSize[4] = {
    {PNCN0, 15, 15}, {PNCN0 + 2, 15, 15}, {PNCN0 + 4, 15, 15}, {PNCN0 + 6, 15, 15}};
constexpr RegField kCharacterNumberMode[4] = {
    {PNCN0, 14, 14}, {PNCN0 + 2, 14, 14}, {PNCN0 + 4, 14, 14}, {PNCN0 + 6, 14, 14}};
constexpr RegField kSupplementaryPalette[4] = {
    {PNCN0, 7, 5}, {PNCN0 + 2, 7, 5}, {PNCN0 + 4, 7, 5}, {PNCN0 + 6, 7, 5}};
constexpr RegField kSupplementaryCharacter[4] = {
    {PNCN0, 4, 0}, {PNCN0 + 2, 4, 0}, {PNCN0 + 4, 4, 0}, {PNCN0 + 6, 4, 0}};
// Map registers: plane A bits 5-0 and B bits 13-8 of MPABNn, C and D likewise of MPCDNn.
constexpr RegField kMapRegister[4][4] = {
    {{MPABN0, 5, 0}, {MPABN0, 13, 8}, {MPABN0 + 2, 5, 0}, {MPABN0 + 2, 13, 8}},
    {{MPABN0 + 4, 5, 0}, {MPABN0 + 4, 13, 8}, {MPABN0 + 6, 5, 0}, {MPABN0 + 6, 13, 8}},
    {{MPABN0 + 8, 5, 0}, {MPABN0 + 8, 13, 8}, {MPABN0 + 10, 5, 0}, {MPABN0 + 10, 13, 8}},
    {{MPABN0 + 12, 5, 0}, {MPABN0 + 12, 13, 8}, {MPABN0 + 14, 5, 0}, {MPABN0 + 14, 13, 8}}};
// Integer scroll, bits 10-0, 11-bit two's complement.
constexpr RegField kScrollX[4] = {{SCXIN0, 10, 0}, {SCXIN1, 10, 0}, {SCXN2, 10, 0}, {SCXN3, 10, 0}};
constexpr RegField kScrollY[4] = {{SCYIN0, 10, 0}, {SCYIN1, 10, 0}, {SCYN2, 10, 0}, {SCYN3, 10, 0}};
// Zoom (coordinate increment per screen dot): integer bits 2-0, fraction bits 15-8 of the
// next register. Only NBG0 and NBG1 zoom.
constexpr RegField kZoomXInteger[2] = {{ZMXIN0, 2, 0}, {ZMXIN1, 2, 0}};
constexpr RegField kZoomXFraction[2] = {{ZMXDN0, 15, 8}, {ZMXDN1, 15, 8}};
constexpr RegField kZoomYInteger[2] = {{ZMYIN0, 2, 0}, {ZMYIN1, 2, 0}};
constexpr RegField kZoomYFraction[2] = {{ZMYDN0, 15, 8}, {ZMYDN1, 15, 8}};
// RAMCTL: colour RAM mode.
constexpr RegField kRamMode = {RAMCTL, 13, 12};
}  // namespace vdp2field

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

// A cell plane's registers, read once per drawing.
struct CellPlaneParams {
  uint16_t ramMode;
  uint32_t cramOffset;  // bytes: CRAM offset field << 9 (<< 10 in RAM mode 2)
  uint8_t zeroDotOpaque;
  uint8_t colourMode;
  uint32_t characterSize;        // 0 = 8x8 dots, 1 = 2x2 cells (16x16 dots)
  uint32_t patternsPerPageSide;  // 64 or 32
  uint32_t patternsPerPage;      // 4096 or 1024
  uint32_t patternNameSize;      // 1 = one word per pattern, 0 = two words
  uint32_t characterNumberMode;  // 0 = 10-bit number with flips, 1 = 12-bit without
  uint32_t supplementaryPalette;
  uint32_t supplementaryCharacter;
  uint32_t bytesPerCell;  // 32, 64, 128 or 256; 0 for a colour mode without meaning
  int32_t planeWidth, planeHeight;
  uint32_t planeSizeCode;
  uint32_t mapOffset;
  uint32_t planeAddress[4];  // A, B, C, D: map register values, then VRAM addresses
  int32_t scrollX, scrollY;
  float zoomX, zoomY;
};

// What one pattern name says about its character.
struct PatternName {
  uint8_t hFlip;
  uint8_t vFlip;
  uint32_t palette;           // palette number (bits 6-4 only outside 16-colour mode)
  uint32_t characterAddress;  // VRAM byte address, not yet reduced to 512 KB
};

// Map slots of a cell plane: the 2x2 arrangement of planes A, B, C, D.
enum MapSlot : uint8_t { kSlotA = 0, kSlotB = 1, kSlotC = 2, kSlotD = 3 };

// Where a plane quad lies along one axis: picture dots before doubling, and the part of
// the texture it shows.
struct QuadSpan {
  int32_t screenStart, screenEnd;
  float texStart, texEnd;
};

class VDP2Core {
 public:
  VDP2Core(const PluginInitInfo& info, Switches& menuSwitches);
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

  // Dot decoders (dot_decoder.cpp): VRAM dots to RGBA texels, 0 = transparent.
  void DecodeDotRun(uint32_t address, uint32_t colourMode, uint8_t opaqueZero, int32_t byteCount,
                    int32_t cramByteOffset, uint32_t ramMode, uint32_t paletteNumber,
                    uint32_t* out) const;
  void DecodeDotRect(uint32_t base, uint32_t colourMode, uint8_t opaqueZero, int32_t bitmapWidth,
                     int32_t bitmapHeight, int32_t x, int32_t y, int32_t width, int32_t height,
                     int32_t cramWordOffset, uint32_t ramMode, uint32_t paletteNumber,
                     uint32_t* out) const;

  // Bitmap planes (bitmap_planes.cpp).
  void DrawBitmapNBG0();
  void DrawBitmapNBG1();
  void DrawBitmapRBG0();
  // Colour ratio and colour offset of a plane, into the colour members of a quad.
  void PlaneColour(PlaneId plane, PlaneQuad& quad) const;
  // Sets the quad's picture area and texture coordinates, doubled as the resolution requires.
  void PlaceQuad(PlaneQuad& quad, const QuadSpan& h, const QuadSpan& v) const;

  // Cell planes (cell_planes.cpp).
  void DisplayNBG0CellMode();
  void DisplayNBG1CellMode();
  void DisplayNBG2CellMode();
  void DisplayNBG3CellMode();
  // Reads plane n's registers (NBG0-NBG3); planeAddress holds the map register values.
  CellPlaneParams ReadCellPlaneParams(PlaneId plane) const;
  // Map register values in planeAddress become VRAM byte addresses.
  static void ComputePlaneAddresses(CellPlaneParams& params);
  static PatternName DecodePatternNameWord(uint16_t word, uint32_t supplementaryCharacter,
                                           uint32_t supplementaryPalette, uint32_t characterSize,
                                           uint32_t colourMode, uint32_t characterNumberMode);
  static PatternName DecodePatternNameLong(uint32_t data, uint32_t colourMode);
  void DrawCellPlane(PlaneId plane, const CellPlaneParams& params, const PlaneQuad& colour);

  // Tile cache (tile_cache.cpp).
  void RefreshPatternPosition(PlaneId plane, MapSlot slot, uint32_t patternIndex, uint32_t rawData,
                              const PatternName& name, uint32_t planeAddress, int32_t planeWidth,
                              int32_t planeHeight, int32_t cx, int32_t cy,
                              const CellPlaneParams& params);
  static void MirrorTile(uint8_t hFlip, uint8_t vFlip, const uint32_t* src, uint32_t* dst);

  uint16_t Reg(uint32_t offset) const { return registers[(offset & 0x1FF) >> 1]; }
  // A register field; fields a plane does not have read as 0.
  uint32_t Field(const RegField& f) const {
    return f.offset == kNoField.offset ? 0 : vdp::Bits(Reg(f.offset), f.hi, f.lo);
  }
  // A plane's field from one of the vdp2field tables; 0 for a plane the table lacks.
  template <size_t N>
  uint32_t Field(const RegField (&table)[N], PlaneId plane) const {
    return FieldOf(table, N, plane);
  }
  uint32_t FieldOf(const RegField* table, size_t count, PlaneId plane) const {
    return static_cast<size_t>(plane) < count ? Field(table[plane]) : 0;
  }
  // Colour RAM mode, RAMCTL bits 13-12.
  uint32_t RamMode() const { return Field(vdp2field::kRamMode); }
  // RBG0's bitmap base: MPOFR bits 2-0 for rotation parameter mode 0, else bits 6-4.
  uint32_t RotationMapOffset() const {
    return vdp::Bits(Reg(vdp2reg::RPMD), 1, 0) == 0 ? vdp::Bits(Reg(vdp2reg::MPOFR), 2, 0)
                                                    : vdp::Bits(Reg(vdp2reg::MPOFR), 6, 4);
  }

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
  Switches& switches;  // the menu's switches, owned by the plugin
  // While a display period is drawn dot by dot: where register and colour RAM writes are
  // recorded with the line they show from.
  vdp::LineLog* lineLog = nullptr;
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

  // Scratch texels for bitmap refreshes: the largest bitmap, 1024 x 512.
  uint32_t bitmapTexels[1024 * 512];
  // Scratch cell for mirrored uploads.
  uint32_t mirroredCell[64];

 private:
  void DrawBitmapPlane(PlaneId plane);
  void DisplayCellMode(PlaneId plane);
  // The change record that covers the colours a cell uses.
  const PaletteChangeRecord& PaletteRecordFor(const CellPlaneParams& params,
                                              uint32_t palette) const;
  void MarkVramChange(uint32_t address) {
    tileCache[(address & vdp::kVramMask) >> 5].dirty = 1;
    vramBankChanged[(address & vdp::kVramMask) >> 16] = 1;
  }
};
