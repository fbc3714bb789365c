// Sprite colour-bank codes through VDP2 colour RAM, for the VDP1 texture decoders.
#include "common/bits.h"
#include "common/rgb555.h"
#include "vdp2/vdp2_core.h"

uint32_t VDP2Core::SpriteColourLookup(uint32_t code) const {
  // CRAOFB bits 6-4: where the sprite colours start in colour RAM, in 256-colour steps.
  const uint32_t offset = vdp::Bits(Reg(vdp2reg::CRAOFB), 6, 4);
  if (RamMode() == 2) {
    // 32-bit colours, two words each: B in the first word's low byte, G and R in the
    // second word's high and low bytes.
    const uint32_t index = offset * 512 + code * 2;
    const uint32_t w0 = cram[index & 0x7FF];
    const uint32_t w1 = cram[(index + 1) & 0x7FF];
    return 0xFF000000u | ((w0 & 0xFF) << 16) | w1;
  }
  return vdp::Rgb555ToTexel(cram[(offset * 256 + code) & 0x7FF]);
}
