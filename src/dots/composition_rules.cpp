// Per-line composition rules from CCCTL, SFCCMD, SPCTL, the ratio, shadow, line colour,
// offset and window registers.
#include "dots/composition_rules.h"

#include "common/bits.h"
#include "dots/back_screen.h"

namespace dots {
namespace {

// A sprite dot's calculation condition by its priority number (SPCCCS 0-2 against
// SPCCN); SPCCCS 3 asks for the colour data's MSB instead.
uint8_t SpritePriorities(uint32_t condition, uint32_t number) {
  uint8_t mask = 0;
  for (uint32_t p = 0; p < 8; ++p) {
    const bool ok = condition == 0 ? p <= number : condition == 1 ? p == number : p >= number;
    mask |= static_cast<uint8_t>((condition == 3 || ok) << p);
  }
  return mask;
}

// The colour offset of the screen whose CLOFEN/CLOFSL bit is bit.
void SetOffset(RegisterView regs, unsigned bit, ImageRules& image) {
  const bool on = regs.Field(reg::CLOFEN, bit, bit);
  const uint32_t base = reg::COAR + (regs.Field(reg::CLOFSL, bit, bit) ? 6 : 0);
  const auto gun = [&](uint32_t i) { return on ? vdp::SignExtend(regs[base + i * 2], 9) : 0; };
  image.offset = MakeColourOffset(gun(0), gun(1), gun(2));
}

void SetRatio(ImageRules& image, uint32_t ratio) {
  for (uint8_t& r : image.ratio) r = static_cast<uint8_t>(ratio);
  image.ratioMask = 0;
}

}  // namespace

int ScreenSlot(Layer layer) {
  switch (layer) {
    case kSprite:
      return 5;
    case kRbg0:
      return 4;
    case kNbg0:  // and RBG1, which shows in its place
    case kNbg1:
    case kNbg2:
    case kNbg3:
      return layer - kNbg0;
    case kLayerCount:
      break;
  }
  return 0;
}

void BuildLineRules(int y, const DisplayMode& mode, RegisterView regs, const ColourRam& cram,
                    const vdp::ConsoleMemory& vram, LineRules& r) {
  SetRegisterRules(mode, regs, r);
  SetLineDots(y, mode, regs, cram, vram, r);
}

void SetRegisterRules(const DisplayMode& mode, RegisterView regs, LineRules& r) {
  const uint32_t ccctl = regs[reg::CCCTL];
  const bool blur = vdp::Bit(ccctl, 15);
  r = LineRules{};
  for (int layer = 0; layer < kLayerCount; ++layer) {
    ImageRules& image = r.images[layer];
    const unsigned slot = static_cast<unsigned>(ScreenSlot(static_cast<Layer>(layer)));
    r.layerWindow[layer] = WindowControl(regs, static_cast<WindowField>(slot));
    if (layer == kSprite) {
      const uint32_t spctl = regs[reg::SPCTL];
      image.ccEnabled = vdp::Bit(ccctl, 6);
      image.ccPriorities =
          image.ccEnabled ? SpritePriorities(vdp::Bits(spctl, 13, 12), vdp::Bits(spctl, 10, 8)) : 0;
      image.ccAny = vdp::Bits(spctl, 13, 12) == 3 ? kDotCramMsb | kDotRgb : 0;
      for (uint32_t cc = 0; cc < 8; ++cc) {
        image.ratio[cc] = static_cast<uint8_t>(
            regs.Field(reg::CCRSA + (cc >> 1) * 2, (cc & 1) * 8 + 4, (cc & 1) * 8));
      }
      image.ratioMask = 7;
      image.lineColour = regs.Field(reg::LNCLEN, 5, 5) && !blur;
      SetOffset(regs, 6, image);
      continue;
    }
    image.ccEnabled = vdp::Bit(ccctl, slot);
    image.ccPriorities = image.ccEnabled ? 0xFF : 0;
    // Special colour calculation: the whole screen, characters with the CC bit, such
    // characters' dots matching the special function code, or dots whose colour data MSB
    // is set (always for RGB data).
    static constexpr uint8_t kAll[4] = {0, kDotCc, kDotCc | kDotSpecial, 0};
    const uint32_t special = regs.Field(reg::SFCCMD, slot * 2 + 1, slot * 2);
    image.ccAll = kAll[special];
    image.ccAny = special == 3 ? kDotCramMsb | kDotRgb : 0;
    SetRatio(image, regs.Field(reg::CCRNA + (slot >> 1) * 2, (slot & 1) * 8 + 4, (slot & 1) * 8));
    image.lineColour = regs.Field(reg::LNCLEN, slot, slot) && !blur;
    image.shadow = regs.Field(reg::SDCTL, slot, slot);
    SetOffset(regs, slot, image);
  }
  ImageRules& back = r.images[kBackImage];
  SetRatio(back, regs.Field(reg::CCRLB, 12, 8));
  back.shadow = regs.Field(reg::SDCTL, 5, 5);
  SetOffset(regs, 5, back);
  ImageRules& lineColour = r.images[kLineColourImage];
  SetRatio(lineColour, regs.Field(reg::CCRLB, 4, 0));
  lineColour.ccEnabled = vdp::Bit(ccctl, 5);
  lineColour.offset = kNoOffset;  // never on top

  r.ccWindow = WindowControl(regs, kWindowColourCalculation);
  for (int image = 0; image < kBackImage; ++image) {
    const ImageRules& i = r.images[image];
    r.calculate |= i.ccPriorities != 0;
    r.insertsLineColour |= i.lineColour;
  }
  r.insertsLineColour &= r.calculate;
  for (const ImageRules& i : r.images) {
    r.offset |= i.offset != kNoOffset;
  }
  const bool exclusive = regs.Field(reg::TVMD, 2, 2);
  r.extended = vdp::Bit(ccctl, 10) && !blur && !mode.hiRes && !exclusive;
  r.ratioFromSecond = vdp::Bit(ccctl, 9);
  r.add = vdp::Bit(ccctl, 8);
  r.cramMode0 = regs.Field(reg::RAMCTL, 13, 12) == 0;
}

void SetLineDots(int y, const DisplayMode& mode, RegisterView regs, const ColourRam& cram,
                 const vdp::ConsoleMemory& vram, LineRules& r) {
  // The back screen counts as RGB data, the line colour screen as palette data.
  r.back = LayerDot{BackScreenTexel(y, regs, vram), 0, kDotRgb, 0};
  r.lineColour =
      r.insertsLineColour ? LayerDot{LineColourTexel(y, regs, cram, vram), 0, 0, 0} : LayerDot{};
  r.windows = ComputeLineWindows(y, mode, regs, vram);
}

}  // namespace dots
