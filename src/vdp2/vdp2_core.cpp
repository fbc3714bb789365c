// VDP2Core: construction, registers, VRAM and colour RAM, blanking status.
#include "vdp2/vdp2_core.h"

#include <cstring>

#include "common/bits.h"
#include "platform/platform.h"

using vdp::Bit;
using vdp::Bits;

namespace {

constexpr PaletteChangeRecord kNeverChanged = {1, 0xFFFFFFFFu};

// Which colour-word bits hold a sprite's priority register number, by sprite type.
struct SpritePriorityBits {
  uint16_t mask;
  uint8_t shift;
};
constexpr SpritePriorityBits kSpriteTypes[16] = {
    {0xC000, 14}, {0xE000, 13}, {0x4000, 14}, {0x6000, 13}, {0x6000, 13}, {0x7000, 12},
    {0x7000, 12}, {0x7000, 12}, {0x0080, 7},  {0x0080, 7},  {0x00C0, 6},  {0, 0},
    {0, 0},       {0, 0},       {0, 0},       {0, 0},
};

}  // namespace

VDP2Core::VDP2Core(const PluginInitInfo& info, Switches& menuSwitches) : switches(menuSwitches) {
  vdp::BuildSettingsPath(settingsPath, info.directory);
  for (auto& r : paletteBlockChange) r = kNeverChanged;
  for (auto& r : paletteBankChange) r = kNeverChanged;
  cramChange = kNeverChanged;
  directColourChange = kNeverChanged;
  for (auto& e : tileCache) {
    e.dirty = 1;
    e.palette = 0;
    e.stamp = 0;
  }
  for (auto& p : patternCache) p = {0xFFFFFFFFu, 0xFFFFFFFFu, 0};
  std::memset(registers, 0, sizeof(registers));
  vram.Clear();
  std::memset(cram, 0, sizeof(cram));
  std::memset(cramShadow, 0, sizeof(cramShadow));
  std::memset(spritePriority, 0, sizeof(spritePriority));
  for (int p = 0; p < kPlaneCount; ++p) {
    planeNeedsFullUpload[p] = 1;
  }
  std::memset(vramBankChanged, 1, sizeof(vramBankChanged));
  platform::DeleteFileNamed("vdp2.log");
  directColourChange.changed = 0;
}

void VDP2Core::ConnectCores(VDP1Core* vdp1Core, OpenGLDisplay* displayObject) {
  vdp1 = vdp1Core;
  display = displayObject;
}

// --- registers -------------------------------------------------------------------------

void VDP2Core::WriteWordVDP2Regs(uint32_t address, uint16_t value) {
  const uint32_t r = address & 0x1FE;
  registers[r >> 1] = value;
  if (lineLog != nullptr) lineLog->Append(lineCounter, static_cast<uint16_t>(r), value);
  RegisterWritten(r, value);
}

void VDP2Core::WriteLongVDP2Regs(uint32_t address, uint32_t value) {
  const uint32_t r = address & 0x1FC;
  const uint16_t upper = static_cast<uint16_t>(value >> 16);
  const uint16_t lower = static_cast<uint16_t>(value);
  registers[r >> 1] = upper;
  registers[(r >> 1) + 1] = lower;
  if (lineLog != nullptr) {
    lineLog->Append(lineCounter, static_cast<uint16_t>(r), upper);
    lineLog->Append(lineCounter, static_cast<uint16_t>(r + 2), lower);
  }
  // The second register of the pair is interpreted before the first.
  RegisterWritten(r + 2, lower);
  RegisterWritten(r, upper);
}

void VDP2Core::RegisterWritten(uint32_t offset, uint16_t value) {
  switch (offset) {
    case vdp2reg::TVMD:
      UpdateResolution(value);
      break;
    case vdp2reg::SPCTL: {
      const SpritePriorityBits& row = kSpriteTypes[Bits(value, 3, 0)];
      spritePRBitsMask = row.mask;
      spritePRBitsShift = row.shift;
      break;
    }
    case vdp2reg::PRISA:
    case vdp2reg::PRISB:
    case vdp2reg::PRISC:
    case vdp2reg::PRISD: {
      const uint32_t k = (offset - vdp2reg::PRISA) / 2;
      spritePriority[2 * k] = static_cast<uint8_t>(Bits(value, 2, 0));
      spritePriority[2 * k + 1] = static_cast<uint8_t>(Bits(value, 10, 8));
      break;
    }
    default:
      break;
  }
}

uint16_t VDP2Core::ReadWordVDP2Regs(uint32_t address) {
  const uint32_t r = address & 0x1FE;
  PrepareRegisterRead(r);
  return registers[r >> 1];
}

uint32_t VDP2Core::ReadLongVDP2Regs(uint32_t address) {
  const uint32_t r = address & 0x1FC;
  PrepareRegisterRead(r);
  PrepareRegisterRead(r + 2);
  return (static_cast<uint32_t>(registers[r >> 1]) << 16) | registers[(r >> 1) + 1];
}

void VDP2Core::PrepareRegisterRead(uint32_t offset) {
  switch (offset) {
    case vdp2reg::TVSTAT: {
      uint16_t status = static_cast<uint16_t>((inVBlank ? 8 : 0) | (inHBlank ? 4 : 0) |
                                              (oddField ? 2 : 0) | (standard ? 1 : 0));
      // With the display disabled the chip reports V-blank throughout.
      if (Bit(Reg(vdp2reg::TVMD), 15) == 0) status |= 8;
      registers[vdp2reg::TVSTAT >> 1] = status;
      break;
    }
    case vdp2reg::HCNT:
      registers[vdp2reg::HCNT >> 1] = hCounterSequence++;
      break;
    case vdp2reg::VCNT:
      registers[vdp2reg::VCNT >> 1] = lineCounter;
      break;
    default:
      break;
  }
}

// --- VRAM: compare before store, mark the 32-byte tile and the 64 KB bank ----------

void VDP2Core::WriteByteVDP2VRAM(uint32_t address, uint8_t value) {
  if (vdp::StoreIfChanged(vram.Byte(address), value)) MarkVramChange(address);
}

void VDP2Core::WriteWordVDP2VRAM(uint32_t address, uint16_t value) {
  if (vdp::StoreIfChanged(vram.Word(address), value)) MarkVramChange(address);
}

void VDP2Core::WriteLongVDP2VRAM(uint32_t address, uint32_t value) {
  if (vdp::StoreIfChanged(vram.Long(address), value)) MarkVramChange(address);
}

// --- colour RAM: in RAM mode 0 the 1024 colours are mirrored in both halves ---------

void VDP2Core::WriteWordVDP2CRAM(uint32_t address, uint16_t value) {
  const uint32_t i = (address >> 1) & 0x7FF;
  cram[i] = value;
  if (lineLog != nullptr)
    lineLog->Append(lineCounter, static_cast<uint16_t>(vdp::LineLog::kCramTarget | i), value);
  if (RamMode() == 0) cram[(i - 1024) & 0x7FF] = value;
}

void VDP2Core::WriteLongVDP2CRAM(uint32_t address, uint32_t value) {
  const uint32_t i = (address >> 1) & 0x7FE;
  const uint16_t upper = static_cast<uint16_t>(value >> 16);
  const uint16_t lower = static_cast<uint16_t>(value);
  cram[i] = upper;
  cram[i + 1] = lower;
  if (lineLog != nullptr) {
    lineLog->Append(lineCounter, static_cast<uint16_t>(vdp::LineLog::kCramTarget | i), upper);
    lineLog->Append(lineCounter, static_cast<uint16_t>(vdp::LineLog::kCramTarget | (i + 1)), lower);
  }
  if (RamMode() == 0) {
    cram[(i - 1024) & 0x7FF] = upper;
    cram[(i - 1023) & 0x7FF] = lower;
  }
}

uint16_t VDP2Core::ReadWordVDP2CRAM(uint32_t address) const { return cram[(address >> 1) & 0x7FF]; }

uint32_t VDP2Core::ReadLongVDP2CRAM(uint32_t address) const {
  const uint32_t i = ((address & 0xFFF) >> 1) & 0x7FE;
  return (static_cast<uint32_t>(cram[i]) << 16) | cram[i + 1];
}

// --- blanking, caches ------------------------------------------------------------------

void VDP2Core::VDPOnVblankOut() {
  inVBlank = 0;
  lineCounter = 0;
  ++frameCounter;
}

void VDP2Core::VDPOnHblankOut() {
  ++lineCounter;
  inHBlank = 0;
  oddField ^= 1;
}

void VDP2Core::MarkAllTilesDirty() {
  for (auto& e : tileCache) e.dirty = 1;
}

void VDP2Core::ClearCache() {
  MarkAllTilesDirty();
  std::memset(vramBankChanged, 1, sizeof(vramBankChanged));
  std::memset(planeNeedsFullUpload, 1, sizeof(planeNeedsFullUpload));
}

void VDP2Core::Reset() {
  frameCounter = 0;
  // Stamps from before would count as newer than every frame until the counter caught up
  // with them: a changed cell would reach only the first position showing it, and cells
  // of a palette changed late would be decoded again every frame. Upload records go back
  // to "never" and colour records to frame 0 ("never" stays never).
  for (auto& p : patternCache) p.uploadStamp = 0xFFFFFFFFu;
  auto rewind = [](PaletteChangeRecord& r) {
    if (r.stamp != 0xFFFFFFFFu) r.stamp = 0;
  };
  for (auto& r : paletteBlockChange) rewind(r);
  for (auto& r : paletteBankChange) rewind(r);
  rewind(cramChange);
  ClearCache();
}

void VDP2Core::ShowPatterns(int /*plane*/, int /*option*/) {}
