// What each screen does in composition on one line, read once from the line's registers:
// its windows, colour calculation (when, with which ratio), line colour insertion, shadow
// and colour offset, and which per-dot paths the line needs.
#pragma once

#include <cstdint>

#include "common/console_memory.h"
#include "dots/colour_maths.h"
#include "dots/colour_ram.h"
#include "dots/display_mode.h"
#include "dots/layer_line.h"
#include "dots/vdp2_registers.h"
#include "dots/window.h"

namespace dots {

// A layer's place in the per-screen register fields: NBG0-NBG3 0-3, RBG0 4 (RBG1 shares
// NBG0's, EXBG NBG1's). Sprites answer 5, their window-control field; their other bits
// lie elsewhere in each register.
int ScreenSlot(Layer layer);

// The images composition ranks besides the layers.
enum : int { kBackImage = kLayerCount, kLineColourImage, kImageCount };

struct ImageRules {
  // Whether a top dot is calculated: its priority p has bit p of ccPriorities (0: the
  // screen never is), it has every flag of ccAll, and one of ccAny if that is not 0.
  uint8_t ccPriorities, ccAll, ccAny;
  bool ccEnabled;    // its CCCTL bit, which extended calculation reads for lower images
  uint8_t ratio[8];  // 5-bit ratio; sprites choose one by their CC number (ratioMask 7)
  uint8_t ratioMask;
  bool lineColour;      // LNCLEN: the line colour screen goes in under this screen's dots
  bool shadow;          // SDEN: shadow sprites darken this screen
  ColourOffset offset;  // kNoOffset when off
};

struct LineRules {
  ImageRules images[kImageCount];
  LayerDot back, lineColour;  // the line's back screen and line colour screen dots
  LineWindows windows;
  uint32_t layerWindow[kLayerCount];  // each layer's transparency window-control field
  uint32_t ccWindow;                  // the colour-calculation window-control field
  // Paths the line needs.
  bool calculate;          // some screen can be colour calculated
  bool insertsLineColour;  // and some inserts the line colour screen
  bool offset;             // some image has a colour offset
  // CCCTL: extended calculation (allowed in normal TV modes only), the ratio of the second
  // image, add mode; and the colour RAM mode extended calculation depends on.
  bool extended, ratioFromSecond, add, cramMode0;
};

// The rules of picture line y: SetRegisterRules, then SetLineDots.
void BuildLineRules(int y, const DisplayMode& mode, RegisterView regs, const ColourRam& cram,
                    const vdp::ConsoleMemory& vram, LineRules& rules);
// Every rule that the registers alone make: lines that share registers share them. Reads
// no scroll or zoom value (see LineStates::Settings).
void SetRegisterRules(const DisplayMode& mode, RegisterView regs, LineRules& rules);
// What else line y reads: its back and line colour screen dots (from their tables in
// VRAM) and its windows.
void SetLineDots(int y, const DisplayMode& mode, RegisterView regs, const ColourRam& cram,
                 const vdp::ConsoleMemory& vram, LineRules& rules);

}  // namespace dots
