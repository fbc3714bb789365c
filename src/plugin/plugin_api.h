// The 37 functions the host looks up in the library.
#pragma once

#include <cstdint>

#include "common/host_types.h"

#if defined(_WIN32)
#define VDP_EXPORT __declspec(dllexport)
#else
#define VDP_EXPORT __attribute__((visibility("default")))
#endif

#define VDP_LIFECYCLE extern "C" VDP_EXPORT
#define VDP_ACCESSOR extern "C" VDP_EXPORT

// Lifecycle and blanking events: caller cleans the stack, undecorated names.
VDP_LIFECYCLE bool VDP_CDECL InitVDPPlugin(PluginInitInfo* info);
VDP_LIFECYCLE void VDP_CDECL DeInitPlugin();
VDP_LIFECYCLE void VDP_CDECL Reset();
VDP_LIFECYCLE void VDP_CDECL SetupPlugin();
VDP_LIFECYCLE void VDP_CDECL DisplayPluginInfo();
VDP_LIFECYCLE void VDP_CDECL VDPOnVblankIn();
VDP_LIFECYCLE void VDP_CDECL VDPOnVblankOut();
VDP_LIFECYCLE void VDP_CDECL VDPOnHblankIn();
VDP_LIFECYCLE void VDP_CDECL VDPOnHblankOut();

// Memory and register accessors: address in ECX, value in EDX ("fastcall").
VDP_ACCESSOR void VDP_FASTCALL WriteWordVDP1Regs(uint32_t address, uint16_t value);
VDP_ACCESSOR uint16_t VDP_FASTCALL ReadWordVDP1Regs(uint32_t address);
VDP_ACCESSOR void VDP_FASTCALL WriteByteVDP1VRAM(uint32_t address, uint8_t value);
VDP_ACCESSOR void VDP_FASTCALL WriteWordVDP1VRAM(uint32_t address, uint16_t value);
VDP_ACCESSOR void VDP_FASTCALL WriteLongVDP1VRAM(uint32_t address, uint32_t value);
VDP_ACCESSOR uint8_t VDP_FASTCALL ReadByteVDP1VRAM(uint32_t address);
VDP_ACCESSOR uint16_t VDP_FASTCALL ReadWordVDP1VRAM(uint32_t address);
VDP_ACCESSOR uint32_t VDP_FASTCALL ReadLongVDP1VRAM(uint32_t address);
VDP_ACCESSOR void VDP_FASTCALL WriteByteVDP1FrameBuffer(uint32_t address, uint8_t value);
VDP_ACCESSOR void VDP_FASTCALL WriteWordVDP1FrameBuffer(uint32_t address, uint16_t value);
VDP_ACCESSOR void VDP_FASTCALL WriteLongVDP1FrameBuffer(uint32_t address, uint32_t value);
VDP_ACCESSOR uint8_t VDP_FASTCALL ReadByteVDP1FrameBuffer(uint32_t address);
VDP_ACCESSOR uint16_t VDP_FASTCALL ReadWordVDP1FrameBuffer(uint32_t address);
VDP_ACCESSOR uint32_t VDP_FASTCALL ReadLongVDP1FrameBuffer(uint32_t address);
VDP_ACCESSOR void VDP_FASTCALL WriteWordVDP2Regs(uint32_t address, uint16_t value);
VDP_ACCESSOR void VDP_FASTCALL WriteLongVDP2Regs(uint32_t address, uint32_t value);
VDP_ACCESSOR uint16_t VDP_FASTCALL ReadWordVDP2Regs(uint32_t address);
VDP_ACCESSOR uint32_t VDP_FASTCALL ReadLongVDP2Regs(uint32_t address);
VDP_ACCESSOR void VDP_FASTCALL WriteByteVDP2VRAM(uint32_t address, uint8_t value);
VDP_ACCESSOR void VDP_FASTCALL WriteWordVDP2VRAM(uint32_t address, uint16_t value);
VDP_ACCESSOR void VDP_FASTCALL WriteLongVDP2VRAM(uint32_t address, uint32_t value);
VDP_ACCESSOR uint8_t VDP_FASTCALL ReadByteVDP2VRAM(uint32_t address);
VDP_ACCESSOR uint16_t VDP_FASTCALL ReadWordVDP2VRAM(uint32_t address);
VDP_ACCESSOR uint32_t VDP_FASTCALL ReadLongVDP2VRAM(uint32_t address);
VDP_ACCESSOR void VDP_FASTCALL WriteWordVDP2CRAM(uint32_t address, uint16_t value);
VDP_ACCESSOR void VDP_FASTCALL WriteLongVDP2CRAM(uint32_t address, uint32_t value);
VDP_ACCESSOR uint16_t VDP_FASTCALL ReadWordVDP2CRAM(uint32_t address);
VDP_ACCESSOR uint32_t VDP_FASTCALL ReadLongVDP2CRAM(uint32_t address);
