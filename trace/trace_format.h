// The binary trace, version 1: what a host said to a video plugin, call by call.
// docs/trace-format.md describes the bytes; this header names the calls and the tags.
#pragma once

#include <cstdint>

namespace vdptrace {

inline constexpr char kMagic[8] = {'V', 'D', 'P', 'T', 'R', 'A', 'C', 'E'};
inline constexpr uint16_t kVersion = 1;

// The plugin's 37 exports in their export order, then the frame mark that follows each
// VDPOnVblankOut.
enum class Call : uint8_t {
  InitVDPPlugin,
  DeInitPlugin,
  Reset,
  SetupPlugin,
  DisplayPluginInfo,
  VDPOnVblankIn,
  VDPOnVblankOut,
  VDPOnHblankIn,
  VDPOnHblankOut,
  WriteWordVDP1Regs,
  ReadWordVDP1Regs,
  WriteByteVDP1VRAM,
  WriteWordVDP1VRAM,
  WriteLongVDP1VRAM,
  ReadByteVDP1VRAM,
  ReadWordVDP1VRAM,
  ReadLongVDP1VRAM,
  WriteByteVDP1FrameBuffer,
  WriteWordVDP1FrameBuffer,
  WriteLongVDP1FrameBuffer,
  ReadByteVDP1FrameBuffer,
  ReadWordVDP1FrameBuffer,
  ReadLongVDP1FrameBuffer,
  WriteWordVDP2Regs,
  WriteLongVDP2Regs,
  ReadWordVDP2Regs,
  ReadLongVDP2Regs,
  WriteByteVDP2VRAM,
  WriteWordVDP2VRAM,
  WriteLongVDP2VRAM,
  ReadByteVDP2VRAM,
  ReadWordVDP2VRAM,
  ReadLongVDP2VRAM,
  WriteWordVDP2CRAM,
  WriteLongVDP2CRAM,
  ReadWordVDP2CRAM,
  ReadLongVDP2CRAM,
  FrameMark,
};

inline constexpr int kCallCount = static_cast<int>(Call::FrameMark) + 1;
inline constexpr int kFirstAccessor = static_cast<int>(Call::WriteWordVDP1Regs);
inline constexpr int kAccessorCount = static_cast<int>(Call::FrameMark) - kFirstAccessor;

// Address spaces: each keeps its own "next address" for delta coding, shared by its reads
// and writes so that a read-modify-write run stays sequential.
enum class Space : uint8_t { Vdp1Regs, Vdp1Vram, Vdp1FrameBuffer, Vdp2Regs, Vdp2Vram, Vdp2Cram };
inline constexpr int kSpaceCount = 6;

struct CallInfo {
  const char* name;
  Space space;   // accessors only
  uint8_t size;  // value bytes of an accessor: 1, 2 or 4; 0 for the others
  bool read;     // an accessor whose value is the plugin's result
};

inline constexpr CallInfo kCalls[kCallCount] = {
    {"InitVDPPlugin", Space::Vdp1Regs, 0, false},
    {"DeInitPlugin", Space::Vdp1Regs, 0, false},
    {"Reset", Space::Vdp1Regs, 0, false},
    {"SetupPlugin", Space::Vdp1Regs, 0, false},
    {"DisplayPluginInfo", Space::Vdp1Regs, 0, false},
    {"VDPOnVblankIn", Space::Vdp1Regs, 0, false},
    {"VDPOnVblankOut", Space::Vdp1Regs, 0, false},
    {"VDPOnHblankIn", Space::Vdp1Regs, 0, false},
    {"VDPOnHblankOut", Space::Vdp1Regs, 0, false},
    {"WriteWordVDP1Regs", Space::Vdp1Regs, 2, false},
    {"ReadWordVDP1Regs", Space::Vdp1Regs, 2, true},
    {"WriteByteVDP1VRAM", Space::Vdp1Vram, 1, false},
    {"WriteWordVDP1VRAM", Space::Vdp1Vram, 2, false},
    {"WriteLongVDP1VRAM", Space::Vdp1Vram, 4, false},
    {"ReadByteVDP1VRAM", Space::Vdp1Vram, 1, true},
    {"ReadWordVDP1VRAM", Space::Vdp1Vram, 2, true},
    {"ReadLongVDP1VRAM", Space::Vdp1Vram, 4, true},
    {"WriteByteVDP1FrameBuffer", Space::Vdp1FrameBuffer, 1, false},
    {"WriteWordVDP1FrameBuffer", Space::Vdp1FrameBuffer, 2, false},
    {"WriteLongVDP1FrameBuffer", Space::Vdp1FrameBuffer, 4, false},
    {"ReadByteVDP1FrameBuffer", Space::Vdp1FrameBuffer, 1, true},
    {"ReadWordVDP1FrameBuffer", Space::Vdp1FrameBuffer, 2, true},
    {"ReadLongVDP1FrameBuffer", Space::Vdp1FrameBuffer, 4, true},
    {"WriteWordVDP2Regs", Space::Vdp2Regs, 2, false},
    {"WriteLongVDP2Regs", Space::Vdp2Regs, 4, false},
    {"ReadWordVDP2Regs", Space::Vdp2Regs, 2, true},
    {"ReadLongVDP2Regs", Space::Vdp2Regs, 4, true},
    {"WriteByteVDP2VRAM", Space::Vdp2Vram, 1, false},
    {"WriteWordVDP2VRAM", Space::Vdp2Vram, 2, false},
    {"WriteLongVDP2VRAM", Space::Vdp2Vram, 4, false},
    {"ReadByteVDP2VRAM", Space::Vdp2Vram, 1, true},
    {"ReadWordVDP2VRAM", Space::Vdp2Vram, 2, true},
    {"ReadLongVDP2VRAM", Space::Vdp2Vram, 4, true},
    {"WriteWordVDP2CRAM", Space::Vdp2Cram, 2, false},
    {"WriteLongVDP2CRAM", Space::Vdp2Cram, 4, false},
    {"ReadWordVDP2CRAM", Space::Vdp2Cram, 2, true},
    {"ReadLongVDP2CRAM", Space::Vdp2Cram, 4, true},
    {"FrameMark", Space::Vdp1Regs, 0, false},
};

constexpr const CallInfo& Info(Call call) { return kCalls[static_cast<int>(call)]; }
constexpr bool IsAccessor(Call call) {
  return static_cast<int>(call) >= kFirstAccessor && call != Call::FrameMark;
}

// Record tags. An accessor's tag packs the accessor, how its address is coded and whether
// its value is omitted because it repeats the accessor's previous value:
//   tag = accessor * 8 + addressMode * 2 + repeat     (accessor 0..27, tags 0x00..0xDF)
// Every other call is one tag of its own.
enum AddressMode : uint8_t {
  kAddressNext = 0,      // the space's next address: no bytes
  kAddressDelta8 = 1,    // next address + signed 8-bit delta
  kAddressDelta16 = 2,   // next address + signed 16-bit delta
  kAddressAbsolute = 3,  // 32-bit address
};
inline constexpr uint8_t kAccessorTagEnd = kAccessorCount * 8;  // 0xE0
inline constexpr uint8_t kEventTagBase = 0xE0;                  // + call, for the 9 lifecycle calls
inline constexpr uint8_t kFrameMarkTag = 0xEF;

constexpr uint8_t AccessorTag(Call call, AddressMode mode, bool repeat) {
  return static_cast<uint8_t>((static_cast<int>(call) - kFirstAccessor) * 8 + mode * 2 +
                              (repeat ? 1 : 0));
}
constexpr uint8_t EventTag(Call call) {
  return call == Call::FrameMark ? kFrameMarkTag
                                 : static_cast<uint8_t>(kEventTagBase + static_cast<int>(call));
}

// The longest accessor record: tag, 32-bit address, 32-bit value.
inline constexpr int kMaxAccessorRecord = 9;

}  // namespace vdptrace
