// VDP1Core: construction, the register image and VRAM with their side effects.
#include "vdp1/vdp1_core.h"

#include <cstring>

#include "common/bits.h"
#include "platform/platform.h"

using vdp::Bit;
using vdp::Bits;

namespace {

// The settings keys of section "VDP1", in quality-flag order as they are read and
// written: the file lists them in this order.
struct QualityKey {
  const char* key;
  SharedFlag Switches::*field;
};
constexpr QualityKey kQualityKeys[] = {
    {"Polygons antialiasing", &Switches::polygonsAntialiasing},
    {"Polylines antialiasing", &Switches::polylinesAntialiasing},
    {"Lines antialiasing", &Switches::linesAntialiasing},
    {"Normal sprites filtering", &Switches::normalSpritesFiltering},
    {"Scaled sprites filtering", &Switches::scaledSpritesFiltering},
    {"Distorted sprites filtering", &Switches::distortedSpritesFiltering},
};

SpriteTexture FreshSpriteTexture() {
  SpriteTexture t{};
  t.dirty = 1;
  return t;
}

}  // namespace

VDP1Core::VDP1Core(const PluginInitInfo& info, Switches& menuSwitches) : switches(menuSwitches) {
  vdp::BuildSettingsPath(settingsPath, info.directory);
  for (auto& list : partsLists) list.clear();
  for (auto& t : spriteTextures) t = FreshSpriteTexture();
  // The log is cleared and kept open, empty, for the life of the core. Deleting an old
  // one first gives the same result whether or not the system can delete open files.
  platform::DeleteFileNamed("vdp1.log");
  logStream.open("vdp1.log", std::ios::out | std::ios::trunc);
  currentCommand = 0;
  returnCommand = 0;
  std::memset(registers, 0, sizeof(registers));
  vram.Clear();
  rgb555Table.Fill();
  for (uint32_t i = 0; i < 65536; ++i) textureOwner[i] = &spriteTextures[i];
  LoadSettings();
}

VDP1Core::~VDP1Core() {
  SaveSettings();
  logStream.close();
}

void VDP1Core::ConnectCores(VDP2Core* vdp2Core, OpenGLDisplay* displayObject) {
  vdp2 = vdp2Core;
  display = displayObject;
}

void VDP1Core::LoadSettings() {
  for (const QualityKey& k : kQualityKeys) {
    const int value = vdp::ReadSetting(settingsPath, "VDP1", k.key, -1);
    if (value == -1) {
      vdp::WriteSetting(settingsPath, "VDP1", k.key, 0);
      switches.*k.field = 0;
    } else {
      switches.*k.field = value != 0 ? 1 : 0;
    }
  }
}

void VDP1Core::SaveSettings() {
  for (const QualityKey& k : kQualityKeys)
    vdp::WriteSetting(settingsPath, "VDP1", k.key, switches.*k.field ? 1 : 0);
}

// --- registers -------------------------------------------------------------------------

void VDP1Core::WriteWordVDP1Regs(uint32_t address, uint16_t value) {
  const uint32_t o = address & 0x1F;
  switch (o) {
    case vdp1reg::TVMR: {
      const uint32_t tvMode = Bits(value, 2, 0);
      if (tvMode == 1)
        highResolution = 1;
      else if (tvMode == 0 || tvMode == 2 || tvMode == 3)
        highResolution = 0;
      break;
    }
    case vdp1reg::FBCR: {
      // Change mode and trigger, with the V-blank erase bit of TVMR as a third bit.
      const uint32_t m = Bits(value, 1, 0) | (Bit(registers[vdp1reg::TVMR / 2], 3) << 2);
      if (m == 2 || m == 7) eraseRequest = 1;
      if (m == 3 || m == 7) {
        flipRequest = 1;
        if (Bits(registers[vdp1reg::PTMR / 2], 1, 0) == 2) drawRequest = 1;
      }
      const uint32_t interlace = value & 0x0C;
      if (interlace == 0) {
        doubleInterlace = 0;
        yMultiplier = highResolution ? 2 : 1;
      } else if (interlace == 0x08 || interlace == 0x0C) {
        doubleInterlace = 1;
        yMultiplier = highResolution ? 1 : 2;
      }
      break;
    }
    case vdp1reg::PTMR:
      if (Bits(value, 1, 0) == 1) drawRequest = 1;
      break;
    default:
      break;
  }
  const uint32_t index = o >> 1;
  if (index < vdp1reg::kCount) registers[index] = value;
}

uint16_t VDP1Core::ReadWordVDP1Regs(uint32_t address) {
  const uint32_t o = address & 0x1F;
  if ((o & 1) != 0 || o == 0x0E || o > vdp1reg::MODR) return 0;
  if (o == vdp1reg::MODR) {
    const uint16_t tvmr = registers[vdp1reg::TVMR / 2];
    const uint16_t fbcr = registers[vdp1reg::FBCR / 2];
    const uint16_t ptmr = registers[vdp1reg::PTMR / 2];
    const uint16_t modr =
        static_cast<uint16_t>(0x1000 | (Bit(ptmr, 1) << 8) | ((fbcr & 0x1E) << 3) | (tvmr & 0x0F));
    registers[vdp1reg::MODR / 2] = modr;
    return modr;
  }
  return registers[o >> 1];
}

// --- VRAM: compare before store, and mark the texture that owns the block --------------

void VDP1Core::WriteByteVDP1VRAM(uint32_t address, uint8_t value) {
  if (vdp::StoreIfChanged(vram.Byte(address), value)) MarkOwnerDirty(address);
}

void VDP1Core::WriteWordVDP1VRAM(uint32_t address, uint16_t value) {
  if (vdp::StoreIfChanged(vram.Word(address), value)) MarkOwnerDirty(address);
}

void VDP1Core::WriteLongVDP1VRAM(uint32_t address, uint32_t value) {
  if (vdp::StoreIfChanged(vram.Long(address), value)) MarkOwnerDirty(address);
}

// --- reset and cache ----------------------------------------------------------------

void VDP1Core::Reset() {
  currentCommand = 0;
  returnCommand = 0;
  ClearCache();
}

void VDP1Core::ClearCache() {
  for (uint32_t i = 0; i < 65536; ++i) {
    textureOwner[i] = &spriteTextures[i];
    spriteTextures[i].dirty = 1;
  }
}

void VDP1Core::ForgetTextureNames() {
  ClearCache();
  for (SpriteTexture& entry : spriteTextures) entry.glTexture = 0;
}
