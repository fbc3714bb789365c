// The two-word pattern name and the four one-word forms (character size x supplement mode).
#include "dots/pattern_name.h"

#include "common/bits.h"
#include "dots/layer_line.h"

namespace dots {

using vdp::Bit;
using vdp::Bits;

PatternNameDecoder::PatternNameDecoder(const PatternNameForm& form) {
  static_assert(kDotCc == 1 && kDotPr == 2, "a two-word name's bits 29-28 are PR and CC");
  if (!form.oneWord) {
    // Two words: 31 VF, 30 HF, 29 PR, 28 CC, 22-16 palette, 14-0 character number.
    numberMask_ = 0x7FFF;
    paletteShift_ = 16, paletteMask_ = 0x7F;
    flagsShift_ = 28, flagsMask_ = 3;
    hFlipBit_ = 30, vFlipBit_ = 31, flips_ = 1;
    return;
  }
  // One word: PR and CC from PNCN bits 9 and 8; palette bits 6-4 from PNCN bits 7-5 over
  // the name's bits 15-12 for 16 colours, else the name's bits 14-12; flips in bits 11
  // (VF) and 10 (HF) unless the number takes 12 bits.
  const uint32_t s = form.supplement;
  paletteShift_ = 12;
  if (form.sixteenColours) {
    paletteMask_ = 0xF, paletteSupplement_ = Bits(s, 7, 5) << 4;
  } else {
    paletteMask_ = 7, paletteUp_ = 4;
  }
  flagsSupplement_ = (Bit(s, 9) ? kDotPr : 0) | (Bit(s, 8) ? kDotCc : 0);
  hFlipBit_ = 10, vFlipBit_ = 11, flips_ = form.twelveBitNumber ? 0 : 1;
  numberMask_ = form.twelveBitNumber ? 0xFFF : 0x3FF;
  if (form.twoByTwo) {
    // 2x2 characters: the number's low two bits come from PNCN bits 1-0.
    numberShift_ = 2;
    numberSupplement_ =
        (form.twelveBitNumber ? Bit(s, 4) << 14 : Bits(s, 4, 2) << 12) | Bits(s, 1, 0);
  } else {
    numberSupplement_ = form.twelveBitNumber ? Bits(s, 4, 2) << 12 : Bits(s, 4, 0) << 10;
  }
}

}  // namespace dots
