// Pattern names: what one map entry says about its character, in each of the forms the
// pattern-name control register (PNCN) selects.
#pragma once

#include <cstdint>

namespace dots {

struct Character {
  uint32_t address;  // VRAM byte address of the character's first cell
  uint32_t palette;  // 7-bit palette number (colour address bits 10-4)
  bool hFlip, vFlip;
  uint8_t flags;  // kDotPr, kDotCc
};

// The screen's pattern-name form, from its PNCN and character control fields.
struct PatternNameForm {
  bool oneWord;
  bool twelveBitNumber;  // CNSM: 12-bit character numbers, no flips
  bool sixteenColours;   // palette bits 6-4 come from PNCN rather than the name
  bool twoByTwo;         // characters of 2x2 cells
  uint32_t supplement;   // PNCN bits 9-0

  bool operator==(const PatternNameForm&) const = default;
};

using PatternNameDecoder = Character (*)(uint32_t entry, const PatternNameForm& form);

// The decoder for a form, chosen once per line; entries are read as longs for two-word
// names and as words otherwise.
PatternNameDecoder ChoosePatternNameDecoder(const PatternNameForm& form);

}  // namespace dots
