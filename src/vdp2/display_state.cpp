// VDP2 display state: the resolution that TVMD selects, and colour RAM change records.
#include "common/bits.h"
#include "display/opengl_display.h"
#include "vdp2/vdp2_core.h"

using vdp::Bits;

void VDP2Core::UpdateResolution(uint16_t tvmd) {
  static constexpr int32_t kLines[4] = {224, 240, 224, 240};  // NTSC only
  static constexpr int32_t kDots[4] = {320, 352, 640, 704};
  int32_t lines = kLines[Bits(tvmd, 5, 4)];
  int32_t dots = kDots[Bits(tvmd, 1, 0)];
  switch (Bits(tvmd, 7, 6)) {
    case 0:  // no interlace
    case 2:  // single-density interlace
      doubleDensity = 0;
      break;
    case 3:  // double-density interlace
      lines *= 2;
      doubleDensity = 1;
      break;
    default:  // not a setting of the chip: density unchanged
      break;
  }
  hiResDoubled = 0;
  if (dots > 400 && lines < 300) {
    // High resolution without double density: lines doubled to keep the aspect.
    lines *= 2;
    horizontalMultiplier = 1;
    verticalMultiplier = 2;
    hiResDoubled = 1;
  } else {
    verticalMultiplier = 1;
    if (lines > dots) {
      dots *= 2;
      horizontalMultiplier = 2;
    } else {
      horizontalMultiplier = 1;
    }
  }
  displayWidth = dots;
  displayHeight = lines;
  if (display != nullptr) display->SetVDPResolution(displayWidth, displayHeight);
}

void VDP2Core::DetectCramChanges() {
  for (uint32_t i = 0; i < 2048; ++i) {
    if (cram[i] != cramShadow[i]) {
      paletteBlockChange[i / 16] = {1, frameCounter};
      paletteBankChange[i / 256] = {1, frameCounter};
      cramChange = {1, frameCounter};
      cramShadow[i] = cram[i];
    }
  }
}

void VDP2Core::SettleCramChanges() {
  for (auto& r : paletteBlockChange)
    if (r.changed) r = {0, frameCounter};
  for (auto& r : paletteBankChange)
    if (r.changed) r = {0, frameCounter};
  if (cramChange.changed) cramChange = {0, frameCounter};
}
