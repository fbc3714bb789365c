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

// Decodes the names of one form: each field of a name is where the form puts it, over
// what PNCN supplies, so a form is a set of shifts and masks made once per line. Entries
// are read as longs for two-word names and as words otherwise.
class PatternNameDecoder {
 public:
  PatternNameDecoder() = default;
  explicit PatternNameDecoder(const PatternNameForm& form);

  Character operator()(uint32_t entry) const {
    const uint32_t number = ((entry & numberMask_) << numberShift_) | numberSupplement_;
    const uint32_t palette =
        (((entry >> paletteShift_) & paletteMask_) << paletteUp_) | paletteSupplement_;
    const auto flags =
        static_cast<uint8_t>(((entry >> flagsShift_) & flagsMask_) | flagsSupplement_);
    return Character{number * 0x20, palette, ((entry >> hFlipBit_) & flips_) != 0,
                     ((entry >> vFlipBit_) & flips_) != 0, flags};
  }

 private:
  uint32_t numberMask_ = 0, numberShift_ = 0, numberSupplement_ = 0;
  uint32_t paletteShift_ = 0, paletteMask_ = 0, paletteUp_ = 0, paletteSupplement_ = 0;
  uint32_t flagsShift_ = 0, flagsMask_ = 0, flagsSupplement_ = 0;
  uint32_t hFlipBit_ = 0, vFlipBit_ = 0, flips_ = 0;  // flips_: 1 when the form has them
};

}  // namespace dots
