// The plugin's 37 entry points as lists, so that the table of the real plugin, its
// lookup and the exports that forward to it are written once.
#pragma once

#include <cstdint>

#include "common/host_types.h"

// clang-format off
// Entry points without arguments (InitVDPPlugin stands apart: it takes the start record).
#define PROXY_EVENTS(X) X(DeInitPlugin) X(Reset) X(SetupPlugin) X(DisplayPluginInfo) \
  X(VDPOnVblankIn) X(VDPOnVblankOut) X(VDPOnHblankIn) X(VDPOnHblankOut)
// Accessor pairs: Read<name>(address) and Write<name>(address, value), and the value type.
#define PROXY_ACCESSORS(X) X(WordVDP1Regs, uint16_t) X(ByteVDP1VRAM, uint8_t) \
  X(WordVDP1VRAM, uint16_t) X(LongVDP1VRAM, uint32_t) X(ByteVDP1FrameBuffer, uint8_t) \
  X(WordVDP1FrameBuffer, uint16_t) X(LongVDP1FrameBuffer, uint32_t) X(WordVDP2Regs, uint16_t) \
  X(LongVDP2Regs, uint32_t) X(ByteVDP2VRAM, uint8_t) X(WordVDP2VRAM, uint16_t) \
  X(LongVDP2VRAM, uint32_t) X(WordVDP2CRAM, uint16_t) X(LongVDP2CRAM, uint32_t)
// clang-format on

namespace proxy {

// The real plugin's entry points, each with its calling convention.
struct PluginTable {
  bool(VDP_CDECL* InitVDPPlugin)(PluginInitInfo*);
#define PROXY_TABLE_EVENT(name) void(VDP_CDECL * name)();
#define PROXY_TABLE_ACCESSORS(name, T)   \
  T(VDP_FASTCALL* Read##name)(uint32_t); \
  void(VDP_FASTCALL * Write##name)(uint32_t, T);
  PROXY_EVENTS(PROXY_TABLE_EVENT)
  PROXY_ACCESSORS(PROXY_TABLE_ACCESSORS)
#undef PROXY_TABLE_EVENT
#undef PROXY_TABLE_ACCESSORS
};

}  // namespace proxy
