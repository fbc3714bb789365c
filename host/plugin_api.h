// The plugin as a host sees it: a library and its 37 exported functions.
#pragma once

#include <cstdint>
#include <string>

namespace vdphost {

using StatusCallback = void (*)(const char* text, uint32_t colour);

// The host's start record: four pointer-sized members.
struct InitInfo {
  uintptr_t reserved;
  StatusCallback messageCallback;
  void* instance;
  const char* directory;
};

struct PluginApi {
  bool (*InitVDPPlugin)(InitInfo*);
  void (*DeInitPlugin)();
  void (*Reset)();
  void (*SetupPlugin)();
  void (*DisplayPluginInfo)();
  void (*VDPOnVblankIn)();
  void (*VDPOnVblankOut)();
  void (*VDPOnHblankIn)();
  void (*VDPOnHblankOut)();
  void (*WriteWordVDP1Regs)(uint32_t, uint16_t);
  uint16_t (*ReadWordVDP1Regs)(uint32_t);
  void (*WriteByteVDP1VRAM)(uint32_t, uint8_t);
  void (*WriteWordVDP1VRAM)(uint32_t, uint16_t);
  void (*WriteLongVDP1VRAM)(uint32_t, uint32_t);
  uint8_t (*ReadByteVDP1VRAM)(uint32_t);
  uint16_t (*ReadWordVDP1VRAM)(uint32_t);
  uint32_t (*ReadLongVDP1VRAM)(uint32_t);
  void (*WriteByteVDP1FrameBuffer)(uint32_t, uint8_t);
  void (*WriteWordVDP1FrameBuffer)(uint32_t, uint16_t);
  void (*WriteLongVDP1FrameBuffer)(uint32_t, uint32_t);
  uint8_t (*ReadByteVDP1FrameBuffer)(uint32_t);
  uint16_t (*ReadWordVDP1FrameBuffer)(uint32_t);
  uint32_t (*ReadLongVDP1FrameBuffer)(uint32_t);
  void (*WriteWordVDP2Regs)(uint32_t, uint16_t);
  void (*WriteLongVDP2Regs)(uint32_t, uint32_t);
  uint16_t (*ReadWordVDP2Regs)(uint32_t);
  uint32_t (*ReadLongVDP2Regs)(uint32_t);
  void (*WriteByteVDP2VRAM)(uint32_t, uint8_t);
  void (*WriteWordVDP2VRAM)(uint32_t, uint16_t);
  void (*WriteLongVDP2VRAM)(uint32_t, uint32_t);
  uint8_t (*ReadByteVDP2VRAM)(uint32_t);
  uint16_t (*ReadWordVDP2VRAM)(uint32_t);
  uint32_t (*ReadLongVDP2VRAM)(uint32_t);
  void (*WriteWordVDP2CRAM)(uint32_t, uint16_t);
  void (*WriteLongVDP2CRAM)(uint32_t, uint32_t);
  uint16_t (*ReadWordVDP2CRAM)(uint32_t);
  uint32_t (*ReadLongVDP2CRAM)(uint32_t);
};

// Loads the library and looks every export up by name. On failure, error says which.
bool LoadPlugin(const std::string& path, PluginApi& api, std::string& error);

}  // namespace vdphost
