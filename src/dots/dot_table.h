// The layer dot each raw dot of a 16- or 256-colour character (or bitmap) becomes on one
// screen, by the character's palette and flags: a dot of a cell row is then one table load.
#pragma once

#include <cstdint>
#include <cstring>

#include "dots/dot_formats.h"
#include "dots/layer_line.h"

namespace dots {

// The formats whose dots go through a table: the raw dot indexes it.
template <class F>
constexpr bool kTabledFormat = F::kDotBits == 4 || F::kDotBits == 8;

// One screen's table. An entry is exactly ScreenColours::Make of its dot, palette and flags;
// a palette's entries are made when a character first needs them and kept while the
// settings they come from hold, so lines and periods that change none of them share them.
class DotTable {
 public:
  // The entries for one line's settings of a screen drawn in format F: those made for
  // other settings are dropped. Any format: the stamp serves them all.
  template <class F>
  void Use(const ScreenColours& c) {
    const Settings now{c.cram,        c.cramOffset, c.priority,  c.priorityMode,
                       c.specialCode, F::kDotBits,  c.zeroOpaque};
    if (!Same(now, settings_) && !StepColours<F>(c, now)) {
      std::memset(made_, 0, sizeof(made_));
      std::memset(pairSlot_, 0, sizeof(pairSlot_));
      pairSlots_ = 0;
      linesKept_ = 0;
      settings_ = now;
      ++stamp_;
      return;
    }
    // Settings that hold, or that colour RAM words written between lines stepped in place
    // (see StepColours), keep the entries and pairs made.
    if (linesKept_ < kLinesBeforePairs && ++linesKept_ == kLinesBeforePairs) {
      ++stamp_;  // pairs can be had now: callers that keep entries ask again
    }
  }
  // Names the settings of the last Use: equal while entries made under them stay valid.
  uint64_t Stamp() const { return stamp_; }

  // The 2^kDotBits layer dots of a character's palette and flags (kDotPr, kDotCc), by raw
  // dot, under the settings of the last Use.
  template <class F>
  const LayerDot* Dots(const ScreenColours& c, uint32_t palette, uint8_t flags) {
    const uint32_t key = Key<F>(palette, flags);
    LayerDot* dots = entries_ + (key << F::kDotBits);
    const uint64_t bit = uint64_t{1} << (key & 63);
    if (!(made_[key >> 6] & bit)) {
      made_[key >> 6] |= bit;
      Make<F>(c, palette, flags, dots);
    }
    return dots;
  }

  // At 16 colours, once the settings have held over a few lines: the layer dots of both raw
  // dots a byte packs (left dot in the high nibble) side by side, by byte, so that a cell
  // row is four copies of two dots. Null when the palette has none: settings too new, or
  // every pair slot taken by other palettes.
  template <class F>
  const LayerDot* Pairs(const ScreenColours& c, uint32_t palette, uint8_t flags) {
    if (F::kDotBits != 4 || linesKept_ < kLinesBeforePairs) return nullptr;
    const uint32_t key = Key<F>(palette, flags);
    if (pairSlot_[key] == 0) {
      if (pairSlots_ == kPairSlots) return nullptr;
      pairSlot_[key] = static_cast<uint8_t>(++pairSlots_);
      const LayerDot* dots = Dots<F>(c, palette, flags);
      LayerDot* pairs = pairs_[pairSlots_ - 1];
      for (uint32_t byte = 0; byte < 256; ++byte) {
        pairs[byte * 2] = dots[byte >> 4];
        pairs[byte * 2 + 1] = dots[byte & 15];
      }
    }
    return pairs_[pairSlot_[key] - 1];
  }

 private:
  // Everything an entry depends on besides its palette, flags and dot.
  struct Settings {
    ColourRam cram;
    uint32_t cramOffset, priority, priorityMode, specialCode, dotBits;
    bool zeroOpaque;
  };
  static bool Same(const Settings& a, const Settings& b) {
    return a.cram.SameColours(b.cram) && a.cramOffset == b.cramOffset && a.priority == b.priority &&
           a.priorityMode == b.priorityMode && a.specialCode == b.specialCode &&
           a.dotBits == b.dotBits && a.zeroOpaque == b.zeroOpaque;
  }

  // 16 colours: palette bits 6-0 pick the colours; 256 colours: bits 6-4. With the flags.
  template <class F>
  static uint32_t Key(uint32_t palette, uint8_t flags) {
    return ((F::kDotBits == 4 ? palette & 0x7F : (palette >> 4) & 7) << 2) |
           (flags & (kDotPr | kDotCc));
  }

  // When now differs from the settings in force only by a few colour RAM words written
  // since: makes again the entries (and pairs) of the dots that read those words, takes
  // now as the settings in force and answers true.
  template <class F>
  bool StepColours(const ScreenColours& c, const Settings& now) {
    const CramChange* change = now.cram.Change();
    if (change == nullptr || !change->Few() || change->from != settings_.cram.Stamp() ||
        !now.cram.SameMode(settings_.cram)) {
      return false;
    }
    Settings before = settings_;
    before.cram = now.cram;
    if (!Same(before, now)) return false;
    settings_ = now;
    for (uint32_t i = 0; i < change->count; ++i) {
      // Words that read as one index (the two halves in mode 0, RGB's two words) are made
      // again once.
      const uint32_t index = now.cram.IndexOfWord(change->words[i]);
      bool again = false;
      for (uint32_t j = 0; j < i; ++j) again |= now.cram.IndexOfWord(change->words[j]) == index;
      if (!again) Remake<F>(c, index);
    }
    return true;
  }

  // Makes again the entries that read colour RAM index (under the address mask). A palette
  // of 2^dotBits colours starts on a multiple of its size from the colour RAM offset (a
  // multiple of 256), so one palette value and dot reach it, the palette repeated every
  // (mask + 1) >> dotBits values when the mask folds the addresses.
  template <class F>
  void Remake(const ScreenColours& c, uint32_t index) {
    if constexpr (kTabledFormat<F>) {
      constexpr uint32_t kBits = F::kDotBits;
      const uint32_t mask = settings_.cram.AddressMask();
      const uint32_t values = kBits == 4 ? 128 : 8;  // palette values a key can name
      const uint32_t address = (index - settings_.cramOffset) & mask;
      const uint32_t dot = address & ((1u << kBits) - 1);
      for (uint32_t p = address >> kBits; p < values; p += (mask + 1) >> kBits) {
        // The palette's four keys (by flags) are four bits of one word of made_.
        if (((made_[p >> 4] >> ((p << 2) & 63)) & 15) == 0) continue;
        for (uint32_t flags = 0; flags < 4; ++flags) {
          const uint32_t key = (p << 2) | flags;
          if (!(made_[key >> 6] & (uint64_t{1} << (key & 63)))) continue;
          const uint32_t palette = kBits == 4 ? p : p << 4;
          const LayerDot d = c.Dot<F>(dot, c.Base<F>(palette, static_cast<uint8_t>(flags)));
          entries_[(key << kBits) + dot] = d;
          if (kBits != 4 || pairSlot_[key] == 0) continue;
          // The pairs of bytes (dot << 4 | other) on the left, (other << 4 | dot) on the right.
          LayerDot* const left = pairs_[pairSlot_[key] - 1] + dot * 32;
          LayerDot* const right = pairs_[pairSlot_[key] - 1] + dot * 2 + 1;
#pragma GCC unroll 16
          for (uint32_t other = 0; other < 16; ++other) {
            left[other * 2] = d;
            right[other * 32] = d;
          }
        }
      }
    }
  }

  // Rare (once per palette in use while the settings hold): kept out of the callers' loops.
  template <class F>
  [[gnu::noinline]] static void Make(const ScreenColours& c, uint32_t palette, uint8_t flags,
                                     LayerDot* dots) {
    const DotBase base = c.Base<F>(palette, flags);
    for (uint32_t dot = 0; dot < (1u << F::kDotBits); ++dot) dots[dot] = c.Dot<F>(dot, base);
  }

  // 512 keys of 16 dots (128 palettes x 4 flag pairs) or 32 keys of 256 dots.
  static constexpr uint32_t kEntries = 8192, kKeys = 512;
  Settings settings_{};
  uint64_t stamp_ = 0;
  uint64_t made_[kKeys / 64] = {};
  LayerDot entries_[kEntries];
  // Pairs cost 256 copies a palette: made only for settings that lines keep.
  static constexpr uint32_t kLinesBeforePairs = 8, kPairSlots = 16;
  uint32_t linesKept_ = 0;        // Use calls since the settings last changed, up to the above
  uint8_t pairSlot_[kKeys] = {};  // by key: 0 none, else the slot + 1
  uint32_t pairSlots_ = 0;        // slots taken
  LayerDot pairs_[kPairSlots][512];
};

}  // namespace dots
