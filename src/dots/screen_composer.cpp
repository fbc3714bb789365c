// A display period, line by line: per-line state, the layers' lines, their composition.
#include "dots/screen_composer.h"

#include <cstring>

#include "dots/back_screen.h"
#include "dots/line_composer.h"
#include "dots/rotation_registers.h"
#include "dots/rotation_screen.h"
#include "dots/scroll_screen.h"
#include "dots/sprite_layer.h"

namespace dots {
namespace {

constexpr uint32_t kBlack = 0xFF000000u;

// words[0, count) = value, four words a store.
void FillWords(uint16_t* words, uint16_t value, int count) {
  const uint64_t four = value * 0x0001000100010001ull;
  int i = 0;
  for (; i + 4 <= count; i += 4) std::memcpy(words + i, &four, sizeof(four));
  for (; i < count; ++i) words[i] = value;
}

ColourRam LineColourRam(const LineStates& states, int line, RegisterView regs) {
  return ColourRam(states.Cram(line), regs.Field(reg::RAMCTL, 13, 12), states.CramStamp(line),
                   &states.CramChangeOf(line));
}

}  // namespace

void ScreenComposer::BeginPeriod(const ChipView& chips) { states_.Begin(chips); }

void ScreenComposer::PrepareLines(const ChipView& chips, const vdp::LineLog& log, Picture& out) {
  states_.Build(chips, log);
  // VRAM stays as it is while the period's lines are composed.
  vramStamp_ = LineStates::NewStamp();
  // The picture's size and structure are those of its first line.
  mode_ = DisplayMode::FromTvmd(RegisterView(states_.Registers(0))[reg::TVMD]);
  out.width = mode_.width;
  out.height = mode_.height;
  rotationStarts_.Build(states_, log, *chips.vdp2Vram, mode_);
}

void ScreenComposer::ComposePeriod(const ChipView& chips, const vdp::LineLog& log,
                                   const FrameBufferMemory& displayed, Picture& out) {
  PrepareLines(chips, log, out);
  for (int y = 0; y < mode_.height; ++y) ComposeLine(y, chips, displayed, scratch_, out);
}

void ScreenComposer::ComposeLine(int y, const ChipView& chips, const FrameBufferMemory& displayed,
                                 LineBuffers& scratch, Picture& out) const {
  uint32_t* row = out.Row(y);
  const vdp::ConsoleMemory& vram = *chips.vdp2Vram;
  if (!mode_.displayOn) {
    // No picture: black, or with BDCLMD the back screen colour of the display's last line.
    const int last = mode_.height - 1;
    const RegisterView lastRegs(states_.Registers(mode_.HostLine(last)));
    const uint32_t texel = mode_.borderIsBack ? BackScreenTexel(last, lastRegs, vram) : kBlack;
    for (int x = 0; x < mode_.width; ++x) row[x] = texel;
    return;
  }
  const int line = mode_.HostLine(y);
  const RegisterView regs(states_.Registers(line));
  const ColourRam cram = LineColourRam(states_, line, regs);
  // The layers with a dot to show, as a mask of Layer bits.
  uint32_t shown = 0;
  if (DrawSpriteLine(y, mode_, regs, cram, chips.vdp1Registers[0], displayed,
                     scratch.layers[kSprite])) {
    shown |= 1u << kSprite;
  }
  for (int n = 0; n < 4; ++n) {
    scratch.screens[n].vramStamp = vramStamp_;
    scratch.screens[n].settings = states_.Settings(line);
    if (DrawScrollScreenLine(n, y, mode_, regs, cram, vram, scratch.screens[n],
                             scratch.layers[kNbg0 + n])) {
      shown |= 1u << (kNbg0 + n);
    }
  }
  // Only RBG0's coefficients write the line colour screen's dots.
  if (vdp::Bit(regs[reg::BGON], reg::kR0onBit)) {
    const uint16_t lineColour = static_cast<uint16_t>(LineColourAddress(y, regs, vram));
    FillWords(scratch.lineColour, lineColour, mode_.width);
  }
  const RotationLineInput rotation{y,
                                   mode_,
                                   regs,
                                   cram,
                                   states_.Cram(line),
                                   vram,
                                   rotationStarts_.At(y),
                                   scratch.layers[kSprite]};
  if (DrawRotationScreenLine(0, rotation, scratch.rotationDots[0], scratch.layers[kRbg0],
                             scratch.lineColour)) {
    shown |= 1u << kRbg0;
  }
  // RBG1 shows in NBG0's place, which is empty while it is on.
  if (vdp::Bit(regs[reg::BGON], reg::kR1onBit) &&
      DrawRotationScreenLine(1, rotation, scratch.rotationDots[1], scratch.layers[kNbg0],
                             scratch.lineColour)) {
    shown |= 1u << kNbg0;
  }
  // Lines that share the period's registers (but scroll values, which no rule reads)
  // share their rules but a few dots.
  LineRules& rules = scratch.rules;
  const uint16_t* const settings = states_.Settings(line);
  if (settings != scratch.rulesRegisters || scratch.rulesStamp != vramStamp_) {
    scratch.rulesRegisters = settings;
    scratch.rulesStamp = vramStamp_;
    SetRegisterRules(mode_, regs, rules);
  }
  SetLineDots(y, mode_, regs, cram, vram, rules);
  ComposeLayers(rules, scratch, mode_.width, row, shown);
}

}  // namespace dots
