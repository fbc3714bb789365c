// A cell screen's map: where the pattern name of a map position lies in VRAM, and the
// characters a steady line crosses, kept for the next lines that cross the same ones.
#pragma once

#include <cstdint>

#include "common/console_memory.h"
#include "dots/pattern_name.h"
#include "dots/picture.h"

namespace dots {

// A cell screen's map settings for one line.
struct CellMap {
  PatternNameForm form;
  uint32_t charShift;   // 3 for 1x1 characters, 4 for 2x2
  uint32_t wide, tall;  // plane of 2 pages across / down
  uint32_t pageBytes, nameBytes;
  uint32_t planeAddress[4];  // A, B, C, D

  bool operator==(const CellMap&) const = default;

  // VRAM address of the pattern name at map position (x, y), wrapped to the map.
  uint32_t EntryAddress(uint32_t x, uint32_t y) const {
    const uint32_t plane = (((y >> (9 + tall)) & 1) << 1) | ((x >> (9 + wide)) & 1);
    const uint32_t page = ((((y >> 9) & tall)) << wide) | ((x >> 9) & wide);
    const uint32_t entry = (((y & 511) >> charShift) << (9 - charShift)) | ((x & 511) >> charShift);
    return planeAddress[plane] + page * pageBytes + entry * nameBytes;
  }
};

// The characters a steady line crosses, left to right. Lines of one character row that
// start at the same map x (most lines of a screen without line scroll) cross the same
// ones: they reuse them instead of reading and decoding the names again.
class LineCharacters {
 public:
  // The characters of a line of width dots from map position (x, y) (wrapped to the map).
  // vramStamp names VRAM's contents (0 when unknown: nothing is reused).
  const Character* Cross(const CellMap& map, PatternNameDecoder decode, uint32_t x, uint32_t y,
                         int width, const vdp::ConsoleMemory& vram, uint64_t vramStamp) {
    const uint32_t charMask = (1u << map.charShift) - 1;
    const Key key{vramStamp, map, y >> map.charShift, x >> map.charShift,
                  ((x & charMask) + static_cast<uint32_t>(width) + charMask) >> map.charShift};
    if (vramStamp != 0 && key == key_) return characters_;
    key_ = key;
    const uint32_t maskX = (1024u << map.wide) - 1;
    for (uint32_t k = 0; k < key.count; ++k) {
      const uint32_t at = map.EntryAddress((x + (k << map.charShift)) & maskX, y);
      characters_[k] = decode(map.form.oneWord ? vram.ReadWord(at) : vram.ReadLong(at), map.form);
    }
    return characters_;
  }

 private:
  struct Key {
    uint64_t vramStamp;
    CellMap map;
    uint32_t row, column, count;  // map row and first column in characters; characters
    bool operator==(const Key&) const = default;
  };
  // A line's dots over 8-dot characters, the first one partly shown.
  static constexpr int kMost = Picture::kMaxWidth / 8 + 1;
  Key key_{};
  Character characters_[kMost];
};

}  // namespace dots
