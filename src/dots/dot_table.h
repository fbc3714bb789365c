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
    if (!Same(now, settings_)) {
      settings_ = now;
      std::memset(made_, 0, sizeof(made_));
      ++stamp_;
    }
  }
  // Names the settings of the last Use: equal while entries made under them stay valid.
  uint64_t Stamp() const { return stamp_; }

  // The 2^kDotBits layer dots of a character's palette and flags (kDotPr, kDotCc), by raw
  // dot, under the settings of the last Use.
  template <class F>
  const LayerDot* Dots(const ScreenColours& c, uint32_t palette, uint8_t flags) {
    // 16 colours: palette bits 6-0 pick the colours; 256 colours: bits 6-4.
    const uint32_t key = ((F::kDotBits == 4 ? palette & 0x7F : (palette >> 4) & 7) << 2) |
                         (flags & (kDotPr | kDotCc));
    LayerDot* dots = entries_ + (key << F::kDotBits);
    const uint64_t bit = uint64_t{1} << (key & 63);
    if (!(made_[key >> 6] & bit)) {
      made_[key >> 6] |= bit;
      Make<F>(c, palette, flags, dots);
    }
    return dots;
  }

 private:
  // Rare (once per palette in use while the settings hold): kept out of the callers' loops.
  template <class F>
  [[gnu::noinline]] static void Make(const ScreenColours& c, uint32_t palette, uint8_t flags,
                                     LayerDot* dots) {
    const DotBase base = c.Base<F>(palette, flags);
    for (uint32_t dot = 0; dot < (1u << F::kDotBits); ++dot) dots[dot] = c.Dot<F>(dot, base);
  }

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

  // 512 keys of 16 dots (128 palettes x 4 flag pairs) or 32 keys of 256 dots.
  static constexpr uint32_t kEntries = 8192, kKeys = 512;
  Settings settings_{};
  uint64_t stamp_ = 0;
  uint64_t made_[kKeys / 64] = {};
  LayerDot entries_[kEntries];
};

}  // namespace dots
