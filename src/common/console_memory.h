// Console byte order over host-order 32-bit words.
//
// Both chips' VRAM, and VDP1's frame buffers, are held as host-order (little-endian) 32-bit
// words, each holding one big-endian console long. The console byte at address a is
// therefore host byte a ^ 3 and the console word at a is the host half-word at a ^ 2; no
// access ever swaps bytes. Every address is first reduced to the size of the memory, so a
// memory repeats through the address space.
#pragma once

#include <cstdint>
#include <cstring>

namespace vdp {

constexpr uint32_t kVramBytes = 0x80000;
constexpr uint32_t kVramMask = kVramBytes - 1;
constexpr uint32_t kVramWords = kVramBytes / 4;

// Stores value into a memory slot; true when that changed what was stored. Caches are
// marked only for real changes, so a write of the stored value costs one compare.
template <typename T>
inline bool StoreIfChanged(T& stored, T value) {
  if (stored == value) return false;
  stored = value;
  return true;
}

// Console memory of kSize bytes (a power of two), aligned for 32-bit access.
template <uint32_t kSize>
struct ConsoleMemoryOf {
  static constexpr uint32_t kBytes = kSize;
  static constexpr uint32_t kMask = kSize - 1;
  uint32_t longs[kSize / 4];

  uint8_t* Bytes() { return reinterpret_cast<uint8_t*>(longs); }
  const uint8_t* Bytes() const { return reinterpret_cast<const uint8_t*>(longs); }

  // References to the stored unit; the address is masked, word and long addresses are
  // aligned down so that an access never straddles the end of the memory.
  uint8_t& Byte(uint32_t a) { return Bytes()[(a & kMask) ^ 3]; }
  uint16_t& Word(uint32_t a) { return reinterpret_cast<uint16_t*>(longs)[((a & kMask) ^ 2) >> 1]; }
  uint32_t& Long(uint32_t a) { return longs[(a & kMask) >> 2]; }

  uint8_t ReadByte(uint32_t a) const { return Bytes()[(a & kMask) ^ 3]; }
  uint16_t ReadWord(uint32_t a) const {
    return reinterpret_cast<const uint16_t*>(longs)[((a & kMask) ^ 2) >> 1];
  }
  uint32_t ReadLong(uint32_t a) const { return longs[(a & kMask) >> 2]; }
  // The long at address 4 * index, wrapped: for walks that step a long at a time.
  uint32_t LongAt(uint32_t index) const { return longs[index & (kMask >> 2)]; }

  void Clear() { std::memset(longs, 0, sizeof(longs)); }
};

// Either chip's 512 KB of VRAM.
using ConsoleMemory = ConsoleMemoryOf<kVramBytes>;

}  // namespace vdp
