// A rotation parameter set's coefficient table on one line: where each dot's entry lies
// (VRAM or colour RAM, per line or per dot) and what an entry says (its value, the
// transparent bit, the line colour bits).
#pragma once

#include <cstdint>

#include "common/console_memory.h"
#include "dots/rotation_parameters.h"
#include "dots/vdp2_registers.h"

namespace dots {

// An entry as a long: two-word entries as stored, one-word entries in the upper word.
// Bit 31 is the transparent bit either way.
class CoefficientTable {
 public:
  // What the table replaces with an entry's value.
  enum Use : uint32_t { kScaleXY = 0, kScaleX = 1, kScaleY = 2, kXp = 3 };

  CoefficientTable() = default;
  // Set 0 (A) or 1 (B) on a line. perDotAllowed false reads one entry per line (at H 0).
  CoefficientTable(int set, RegisterView regs, const LineStart& start, const ParameterTable& t,
                   const uint16_t* cram, bool perDotAllowed);

  bool on() const { return on_; }
  bool perDot() const { return perDot_; }
  // Every dot of the line reads the entry of H 0: read per line, or per dot with no step.
  bool OneEntry() const { return !perDot_ || dka_ == 0; }
  Use use() const { return use_; }

  // The entry at dot h of the line (h 0 when read per line).
  uint32_t Entry(const vdp::ConsoleMemory& vram, int h) const { return EntryAt(vram, Index(h)); }
  // Which entry dot h reads: dots of one index read one entry.
  uint32_t Index(int h) const { return static_cast<uint32_t>((ka_ + dka_ * h) >> 16) & 0xFFFF; }
  uint32_t EntryAt(const vdp::ConsoleMemory& vram, uint32_t index) const {
    if (cram_) {
      // Colour RAM's upper half, low 10 bits of KA; a two-word entry at the end wraps.
      const uint32_t at = 0x400 + (index & 0x3FF) * (oneWord_ ? 1 : 2);
      return oneWord_ ? uint32_t{cram_[at & 0x7FF]} << 16
                      : (uint32_t{cram_[at & 0x7FF]} << 16) | cram_[(at + 1) & 0x7FF];
    }
    return oneWord_ ? uint32_t{vram.ReadWord(base_ + index * 2)} << 16
                    : vram.ReadLong(base_ + index * 4);
  }
  // The entry's value, with 16 fraction bits.
  int64_t Value(uint32_t entry) const {
    const int32_t top = static_cast<int32_t>(entry << valueTop_);
    return (static_cast<int64_t>(top) >> valueDown_) * valueScale_;
  }
  static bool Transparent(uint32_t entry) { return (entry >> 31) != 0; }
  // Whether some entry can carry line colour bits.
  bool CarriesLineColour() const { return on_ && lineColour_; }
  // The line colour screen's colour address bits 6-0 with bit 7 set, or 0 when the entry
  // carries none (one-word entries never do).
  uint32_t LineColour(uint32_t entry) const {
    return lineColour_ ? 0x80 | ((entry >> 24) & 0x7F) : 0;
  }

 private:
  bool on_ = false, perDot_ = false, oneWord_ = false, lineColour_ = false;
  Use use_ = kScaleXY;
  const uint16_t* cram_ = nullptr;  // colour RAM table, or VRAM at base_
  uint32_t base_ = 0;
  int64_t ka_ = 0, dka_ = 0;  // KA at H 0 and per dot, 16 fraction bits
  // Value(): the field's sign bit shifted to bit 31, shifted back down, then scaled.
  uint32_t valueTop_ = 8, valueDown_ = 8;
  int64_t valueScale_ = 1;
};

}  // namespace dots
