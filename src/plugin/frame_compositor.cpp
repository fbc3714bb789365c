// The frame compositor: once per frame, decides whether VDP1 draws, presents and erases,
// and paints the eight priority levels, planes first, then the parts of that level.
#include "common/bits.h"
#include "display/opengl_display.h"
#include "vdp1/vdp1_core.h"
#include "vdp2/vdp2_core.h"

using vdp::Bit;
using vdp::Bits;

namespace {

using DrawRoutine = void (VDP1Core::*)();
// Drawing routine by command code (control & 0x0F); null codes are passed over.
constexpr DrawRoutine kDispatch[16] = {
    &VDP1Core::NormalSpriteDraw,
    &VDP1Core::ScaledSpriteDraw,
    &VDP1Core::DistortedSpriteDraw,
    nullptr,
    &VDP1Core::PolygonDraw,
    &VDP1Core::PolylineDraw,
    &VDP1Core::LineDraw,
    nullptr,
};

}  // namespace

void VDP1Core::DrawFrame() {
  // VDP1 coordinates follow a VDP2 picture whose size was doubled.
  if ((vdp2->hiResDoubled || vdp2->doubleDensity) && !doubleInterlace && !highResolution) {
    xMultiplier = 2;
    yMultiplier = 2;
  } else {
    xMultiplier = 1;
  }
  const uint16_t tvmr = registers[vdp1reg::TVMR / 2];
  const uint16_t fbcr = registers[vdp1reg::FBCR / 2];
  const uint16_t ptmr = registers[vdp1reg::PTMR / 2];
  // One-cycle mode: the frame buffers change every frame.
  if (Bit(tvmr, 3) == 0 && Bits(fbcr, 1, 0) == 0) {
    flipRequest = 1;
    eraseRequest = 1;
  }
  // Drawing starts with the frame change.
  if (Bits(ptmr, 1, 0) == 2 && flipRequest) drawRequest = 1;

  vdp2->DetectCramChanges();
  if (drawRequest) {
    BuildPartsListVectors();
    for (uint8_t p = 0; p < 8; ++p) {
      vdp2->DrawPlanesWithPriority(p);
      for (const DrawPart& part : partsLists[p]) {
        const DrawRoutine routine = kDispatch[part.control & 0x0F];
        if (routine == nullptr) continue;
        currentCommand = static_cast<uint16_t>(part.command);
        LocalCoordinateX = part.localX;
        LocalCoordinateY = part.localY;
        (this->*routine)();
      }
    }
    drawRequest = 0;
  }
  LocalCoordinateX = endLocalX;
  LocalCoordinateY = endLocalY;
  vdp2->SettleCramChanges();
  if (flipRequest) {
    display->PresentFrame();
    flipRequest = 0;
  }
  if (eraseRequest) {
    display->EraseFrame();
    eraseRequest = 0;
  }
}
