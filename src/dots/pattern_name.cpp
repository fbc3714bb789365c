// The two-word pattern name and the four one-word forms (character size x supplement mode).
#include "dots/pattern_name.h"

#include "common/bits.h"
#include "dots/layer_line.h"

namespace dots {
namespace {

using vdp::Bit;
using vdp::Bits;

// Two words: 31 VF, 30 HF, 29 PR, 28 CC, 22-16 palette, 14-0 character number.
Character TwoWord(uint32_t e, const PatternNameForm&) {
  return Character{Bits(e, 14, 0) * 0x20, Bits(e, 22, 16), Bit(e, 30) != 0, Bit(e, 31) != 0,
                   static_cast<uint8_t>((Bit(e, 29) ? kDotPr : 0) | (Bit(e, 28) ? kDotCc : 0))};
}

// What every one-word form shares: PR and CC from PNCN bits 9 and 8; palette bits 6-4 from
// PNCN bits 7-5 over the name's bits 15-12 for 16 colours, else the name's bits 14-12;
// flips in bits 11 (VF) and 10 (HF) unless the number takes 12 bits.
Character OneWordCommon(uint32_t w, const PatternNameForm& f, uint32_t number) {
  const uint32_t s = f.supplement;
  const uint32_t palette =
      f.sixteenColours ? (Bits(s, 7, 5) << 4) | Bits(w, 15, 12) : Bits(w, 14, 12) << 4;
  const bool flips = !f.twelveBitNumber;
  return Character{number * 0x20, palette, flips && Bit(w, 10), flips && Bit(w, 11),
                   static_cast<uint8_t>((Bit(s, 9) ? kDotPr : 0) | (Bit(s, 8) ? kDotCc : 0))};
}

Character OneWordSmallTenBit(uint32_t w, const PatternNameForm& f) {
  return OneWordCommon(w, f, (Bits(f.supplement, 4, 0) << 10) | Bits(w, 9, 0));
}
Character OneWordSmallTwelveBit(uint32_t w, const PatternNameForm& f) {
  return OneWordCommon(w, f, (Bits(f.supplement, 4, 2) << 12) | Bits(w, 11, 0));
}
// 2x2 characters: the number's low two bits come from PNCN bits 1-0.
Character OneWordLargeTenBit(uint32_t w, const PatternNameForm& f) {
  const uint32_t s = f.supplement;
  return OneWordCommon(w, f, (Bits(s, 4, 2) << 12) | (Bits(w, 9, 0) << 2) | Bits(s, 1, 0));
}
Character OneWordLargeTwelveBit(uint32_t w, const PatternNameForm& f) {
  const uint32_t s = f.supplement;
  return OneWordCommon(w, f, (Bit(s, 4) << 14) | (Bits(w, 11, 0) << 2) | Bits(s, 1, 0));
}

}  // namespace

PatternNameDecoder ChoosePatternNameDecoder(const PatternNameForm& form) {
  if (!form.oneWord) return TwoWord;
  if (form.twoByTwo) return form.twelveBitNumber ? OneWordLargeTwelveBit : OneWordLargeTenBit;
  return form.twelveBitNumber ? OneWordSmallTwelveBit : OneWordSmallTenBit;
}

}  // namespace dots
