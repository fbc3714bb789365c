// The coefficient table settings of one parameter set on one line.
#include "dots/rotation_coefficients.h"

#include "dots/rotation_registers.h"

namespace dots {

CoefficientTable::CoefficientTable(int set, RegisterView regs, const LineStart& start,
                                   const ParameterTable& t, const uint16_t* cram,
                                   bool perDotAllowed) {
  const uint32_t ktctl = vdp::Bits(regs[reg::KTCTL], set * 8 + 4, set * 8);
  on_ = ktctl & 1;
  oneWord_ = (ktctl >> 1) & 1;
  use_ = static_cast<Use>((ktctl >> 2) & 3);
  lineColour_ = !oneWord_ && ((ktctl >> 4) & 1);
  const bool inCram = regs.Field(reg::RAMCTL, reg::kCrkteBit, reg::kCrkteBit);
  cram_ = inCram ? cram : nullptr;
  // Per dot needs a VRAM bank given to the coefficient table (RDBS 01) or colour RAM.
  bool bank = false;
  for (unsigned b = 0; b < 8; b += 2) bank |= regs.Field(reg::RAMCTL, b + 1, b) == 1;
  perDot_ = on_ && perDotAllowed && (inCram || bank);
  const uint32_t ktaos = regs.Field(reg::KTAOF, set * 8 + 2, set * 8);
  base_ = oneWord_ ? (ktaos & 7) * 0x20000 : (ktaos & 3) * 0x40000;
  ka_ = start.ka;
  dka_ = perDot_ ? t.dkax : 0;
  // Two words: sign at bit 23 (kx, ky: 16 fraction bits; Xp: 8). One word (in the upper
  // half): sign at bit 30 (kx, ky: 10 fraction bits; Xp: 2).
  const bool xp = use_ == kXp;
  valueTop_ = oneWord_ ? 1 : 8;
  valueDown_ = oneWord_ ? 17 : 8;
  valueScale_ = int64_t{1} << (oneWord_ ? (xp ? 14 : 6) : (xp ? 8 : 0));
}

}  // namespace dots
