// Colour RAM as a palette: an 11-bit colour address to a texel, in RAMCTL's three modes.
#pragma once

#include <cstdint>

#include "common/rgb555.h"

namespace dots {

// Every 16-bit colour word's texel, filled once for the process (256 KB, no allocation):
// a colour is one load instead of three shifted fields.
inline const vdp::Rgb555Table& Rgb555Texels() {
  static vdp::Rgb555Table table;
  static const bool filled = (table.Fill(), true);
  (void)filled;
  return table;
}

// How a colour RAM copy differs from the copy it was made from: a few words, or many.
struct CramChange {
  static constexpr uint32_t kMostWords = 8;
  uint64_t from = 0;   // the stamp of the copy it was made from; 0: none
  uint32_t count = 0;  // words written; past kMostWords only "many" is kept
  uint16_t words[kMostWords] = {};
  void Add(uint32_t word) {
    if (count < kMostWords) words[count] = static_cast<uint16_t>(word);
    if (count <= kMostWords) ++count;
  }
  bool Few() const { return from != 0 && count <= kMostWords; }
};

class ColourRam {
 public:
  ColourRam() = default;
  // words: 2,048 console words. Mode 3 is not a hardware setting; it reads as mode 2.
  // stamp: names the words' contents for tables made from them (see SameColours); 0 when
  // unknown.
  // change: how these words differ from an earlier stamp's, when known.
  ColourRam(const uint16_t* words, uint32_t mode, uint64_t stamp = 0,
            const CramChange* change = nullptr)
      : words_(words),
        texels_(Rgb555Texels().entries),
        change_(change),
        stamp_(stamp),
        wide_(mode >= 2) {
    mask_ = mode == 1 ? 0x7FF : 0x3FF;  // modes 0 and 2 ignore address bit 10
  }
  // Whether every address gives the same texel and MSB in both: same stamped contents read
  // in the same mode.
  bool SameColours(const ColourRam& o) const {
    return stamp_ != 0 && stamp_ == o.stamp_ && wide_ == o.wide_ && mask_ == o.mask_;
  }
  uint64_t Stamp() const { return stamp_; }
  const CramChange* Change() const { return change_; }
  bool SameMode(const ColourRam& o) const { return wide_ == o.wide_ && mask_ == o.mask_; }
  uint32_t AddressMask() const { return mask_; }
  // The colour address bits (under AddressMask) that read a console word.
  uint32_t IndexOfWord(uint32_t word) const { return (wide_ ? word >> 1 : word) & mask_; }

  // Texel of the colour address, and the entry's MSB (its colour-calculation bit).
  uint32_t Texel(uint32_t address, bool& msb) const {
    const uint32_t index = address & mask_;
    if (wide_) {
      // Two words, upper first: bit 31 MSB, 23-16 blue, 15-8 green, 7-0 red.
      const uint32_t upper = words_[index * 2], lower = words_[index * 2 + 1];
      msb = (upper >> 15) != 0;
      return 0xFF000000u | ((upper & 0xFF) << 16) | lower;
    }
    const uint32_t word = words_[index];
    msb = (word >> 15) != 0;
    return texels_[word];
  }

 private:
  const uint16_t* words_ = nullptr;
  const uint32_t* texels_ = nullptr;
  const CramChange* change_ = nullptr;
  uint64_t stamp_ = 0;
  bool wide_ = false;
  uint32_t mask_ = 0;
};

}  // namespace dots
