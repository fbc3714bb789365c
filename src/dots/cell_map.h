// A cell screen's map: where the pattern name of a map position lies in VRAM, and the
// cells a steady line crosses, kept for the next lines that cross the same ones.
#pragma once

#include <cstdint>

#include "common/console_memory.h"
#include "dots/dot_formats.h"
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

// One 8-dot column of a steady line's cells: the cell's first row and what a character
// gives its dots' colours (see the screens' dot policies).
struct CellColumn {
  // The cell's first long in VRAM (its address / 4, wrapped), chosen among a 2x2
  // character's after flips.
  uint32_t firstLong;
  uint32_t rowFlip;  // 7 when the character is flipped upside down, else 0
  bool hFlip;
  uint8_t flags;  // the character's kDotPr, kDotCc
  uint32_t palette;
  CharacterColours colours;

  // The first long of the cell's row r (0-7) of rowLongs longs.
  uint32_t RowLong(uint32_t r, uint32_t rowLongs) const {
    return firstLong + (r ^ rowFlip) * rowLongs;
  }
};

// The cell columns a steady line crosses, left to right, kept by map row. Lines of one cell
// row that start within a few cells of each other (most lines of a screen, even with line
// scroll) cross the same cells, and so do the lines of the next periods that show that
// row, wherever the scroll puts it: they reuse the cells instead of reading and decoding
// their names again, once the names read the same; and they ask for the cells' colours
// again only when those may have changed.
class LineCells {
 public:
  // The columns of a line of width dots from map position (x, y) (wrapped to the map), cells
  // of cellBytes; colourOf(palette, flags) gives a character's CharacterColours.
  // vramStamp names VRAM's contents (0 when unknown: nothing is reused); colourStamp names
  // what colourOf() answers.
  template <class Colours>
  const CellColumn* Cross(const CellMap& map, const PatternNameDecoder& decode, uint32_t cellBytes,
                          uint32_t x, uint32_t y, int width, const vdp::ConsoleMemory& vram,
                          uint64_t vramStamp, uint64_t colourStamp, Colours colourOf) {
    const uint32_t maskX = (1024u << map.wide) - 1, cellMask = maskX >> 3;
    const uint32_t first = x >> 3, count = ((x & 7) + static_cast<uint32_t>(width) + 7) >> 3;
    Row& r = rows_[(y >> 3) % kRows];
    if (vramStamp != 0 && r.made && r.row == y >> 3 && r.cellBytes == cellBytes && r.map == map) {
      // A line scrolled a few dots from the one that read them still finds its cells.
      const uint32_t offset = (first - r.column) & cellMask;
      if (offset + count <= r.count && (r.vramStamp == vramStamp || r.NamesHold(map, vram))) {
        r.vramStamp = vramStamp;
        if (colourStamp != r.colourStamp) {
          r.colourStamp = colourStamp;
          for (uint32_t k = 0; k < r.count; ++k) {
            r.columns[k].colours = colourOf(r.columns[k].palette, r.columns[k].flags);
          }
        }
        return r.columns + offset;
      }
    }
    r.made = true;
    r.map = map;
    r.cellBytes = cellBytes;
    r.row = y >> 3;
    r.vramStamp = vramStamp;
    r.colourStamp = colourStamp;
    r.column = (first - kSlack) & cellMask;
    r.count = count + 2 * kSlack;
    const uint32_t twoByTwo = map.form.twoByTwo ? 1 : 0;
    uint32_t at = ~0u;
    Character ch{};
    CharacterColours colours{};
    for (uint32_t k = 0; k < r.count; ++k) {
      const uint32_t cellX = ((r.column + k) << 3) & maskX;
      // Within a page's row the names follow one another (a 2x2 character's two cells
      // share one); a page's first cell, or the line's, finds its name afresh.
      const uint32_t last = at;
      if (k == 0 || (cellX & 511) == 0) {
        at = map.EntryAddress(cellX, y);
      } else if (!twoByTwo || (cellX & 8) == 0) {
        at += map.nameBytes;
      }
      r.nameAt[k] = at;
      r.names[k] = ReadName(map, vram, at);
      if (at != last) {
        const Character next = decode(r.names[k]);
        if (k == 0 || next.palette != ch.palette || next.flags != ch.flags) {
          colours = colourOf(next.palette, next.flags);
        }
        ch = next;
      }
      // Flips turn the whole character: a 2x2 character's cells change places too.
      const uint32_t across = ((cellX >> 3) & twoByTwo) ^ (ch.hFlip ? twoByTwo : 0);
      const uint32_t down = ((y >> 3) & twoByTwo) ^ (ch.vFlip ? twoByTwo : 0);
      const uint32_t cell = ch.address + ((down << 1) | across) * cellBytes;
      r.columns[k] = CellColumn{(cell & vdp::kVramMask) >> 2,
                                ch.vFlip ? 7u : 0u,
                                ch.hFlip,
                                ch.flags,
                                ch.palette,
                                colours};
    }
    return r.columns + kSlack;
  }

 private:
  static uint32_t ReadName(const CellMap& map, const vdp::ConsoleMemory& vram, uint32_t at) {
    return map.form.oneWord ? vram.ReadWord(at) : vram.ReadLong(at);
  }

  // Cells kept on either side of a line's own, for lines scrolled a little from it (line
  // scroll, a scroll register written between lines).
  static constexpr uint32_t kSlack = 2;
  // A line's dots over 8-dot cells, the first one partly shown, and the slack.
  static constexpr uint32_t kMost = Picture::kMaxWidth / 8 + 1 + 2 * kSlack;
  // Map rows kept: more than a 240-line picture spans.
  static constexpr uint32_t kRows = 32;

  // One map row's cells.
  struct Row {
    bool made = false;
    CellMap map{};
    uint32_t cellBytes = 0, row = 0;  // row: map row in cells
    uint64_t vramStamp = 0;           // the VRAM contents the names were last read from
    uint64_t colourStamp = 0;
    uint32_t column = 0, count = 0;        // the first cell kept (map column) and how many
    uint32_t nameAt[kMost], names[kMost];  // each cell's pattern name: its address, as read
    CellColumn columns[kMost];

    // Whether VRAM still holds every cell's name as it was read.
    bool NamesHold(const CellMap& m, const vdp::ConsoleMemory& vram) const {
      uint32_t differ = 0;
      for (uint32_t k = 0; k < count; ++k) differ |= ReadName(m, vram, nameAt[k]) ^ names[k];
      return differ == 0;
    }
  };
  Row rows_[kRows];
};

}  // namespace dots
