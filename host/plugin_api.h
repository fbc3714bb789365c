// The plugin as a host sees it: a library and its 37 exported functions.
#pragma once

#include <cstdint>
#include <string>

// On the 32-bit Windows host the accessors take the address in ECX and the value in EDX;
// elsewhere there is one convention.
#if defined(_WIN32) && !defined(_WIN64)
#define VDPHOST_CDECL __cdecl
#define VDPHOST_FASTCALL __fastcall
#else
#define VDPHOST_CDECL
#define VDPHOST_FASTCALL
#endif

namespace vdphost {

using StatusCallback = void(VDPHOST_CDECL*)(const char* text, uint32_t colour);

// The host's start record: four pointer-sized members.
struct InitInfo {
  uintptr_t reserved;
  StatusCallback messageCallback;
  void* instance;
  const char* directory;
};

struct PluginApi {
  bool(VDPHOST_CDECL* InitVDPPlugin)(InitInfo*);
  void(VDPHOST_CDECL* DeInitPlugin)();
  void(VDPHOST_CDECL* Reset)();
  void(VDPHOST_CDECL* SetupPlugin)();
  void(VDPHOST_CDECL* DisplayPluginInfo)();
  void(VDPHOST_CDECL* VDPOnVblankIn)();
  void(VDPHOST_CDECL* VDPOnVblankOut)();
  void(VDPHOST_CDECL* VDPOnHblankIn)();
  void(VDPHOST_CDECL* VDPOnHblankOut)();
  void(VDPHOST_FASTCALL* WriteWordVDP1Regs)(uint32_t, uint16_t);
  uint16_t(VDPHOST_FASTCALL* ReadWordVDP1Regs)(uint32_t);
  void(VDPHOST_FASTCALL* WriteByteVDP1VRAM)(uint32_t, uint8_t);
  void(VDPHOST_FASTCALL* WriteWordVDP1VRAM)(uint32_t, uint16_t);
  void(VDPHOST_FASTCALL* WriteLongVDP1VRAM)(uint32_t, uint32_t);
  uint8_t(VDPHOST_FASTCALL* ReadByteVDP1VRAM)(uint32_t);
  uint16_t(VDPHOST_FASTCALL* ReadWordVDP1VRAM)(uint32_t);
  uint32_t(VDPHOST_FASTCALL* ReadLongVDP1VRAM)(uint32_t);
  void(VDPHOST_FASTCALL* WriteByteVDP1FrameBuffer)(uint32_t, uint8_t);
  void(VDPHOST_FASTCALL* WriteWordVDP1FrameBuffer)(uint32_t, uint16_t);
  void(VDPHOST_FASTCALL* WriteLongVDP1FrameBuffer)(uint32_t, uint32_t);
  uint8_t(VDPHOST_FASTCALL* ReadByteVDP1FrameBuffer)(uint32_t);
  uint16_t(VDPHOST_FASTCALL* ReadWordVDP1FrameBuffer)(uint32_t);
  uint32_t(VDPHOST_FASTCALL* ReadLongVDP1FrameBuffer)(uint32_t);
  void(VDPHOST_FASTCALL* WriteWordVDP2Regs)(uint32_t, uint16_t);
  void(VDPHOST_FASTCALL* WriteLongVDP2Regs)(uint32_t, uint32_t);
  uint16_t(VDPHOST_FASTCALL* ReadWordVDP2Regs)(uint32_t);
  uint32_t(VDPHOST_FASTCALL* ReadLongVDP2Regs)(uint32_t);
  void(VDPHOST_FASTCALL* WriteByteVDP2VRAM)(uint32_t, uint8_t);
  void(VDPHOST_FASTCALL* WriteWordVDP2VRAM)(uint32_t, uint16_t);
  void(VDPHOST_FASTCALL* WriteLongVDP2VRAM)(uint32_t, uint32_t);
  uint8_t(VDPHOST_FASTCALL* ReadByteVDP2VRAM)(uint32_t);
  uint16_t(VDPHOST_FASTCALL* ReadWordVDP2VRAM)(uint32_t);
  uint32_t(VDPHOST_FASTCALL* ReadLongVDP2VRAM)(uint32_t);
  void(VDPHOST_FASTCALL* WriteWordVDP2CRAM)(uint32_t, uint16_t);
  void(VDPHOST_FASTCALL* WriteLongVDP2CRAM)(uint32_t, uint32_t);
  uint16_t(VDPHOST_FASTCALL* ReadWordVDP2CRAM)(uint32_t);
  uint32_t(VDPHOST_FASTCALL* ReadLongVDP2CRAM)(uint32_t);
};

// Loads the library and looks every export up by name. On failure, error says which.
bool LoadPlugin(const std::string& path, PluginApi& api, std::string& error);

// The OS part of loading (plugin_library_posix.cpp, plugin_library_win32.cpp): the
// library, and an export by the plain name of its function (decorated where the 32-bit
// Windows convention names it so).
void* OpenPluginLibrary(const std::string& path, std::string& error);
void* FindPluginExport(void* library, const char* name);

}  // namespace vdphost
