// The host's start record and its status-line callback.
#pragma once

#include <cstdint>

#if defined(_WIN32)
#define VDP_CDECL __cdecl
#define VDP_FASTCALL __fastcall
#else
#define VDP_CDECL
#define VDP_FASTCALL
#endif

// A status line for the host: text and a 24-bit colour (0xBBGGRR as the host shows it).
using PluginMessageCallback = void(VDP_CDECL*)(const char* text, uint32_t colour);

// Four 32-bit members on the 32-bit host; pointer-sized natively.
struct PluginInitInfo {
  uintptr_t reserved;  // first word: not read by the plugin
  PluginMessageCallback messageCallback;
  void* instance;         // the plugin module itself: resources and the window class
  const char* directory;  // settings directory, no trailing separator
};
