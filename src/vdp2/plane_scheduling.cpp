// VDP2 plane scheduling: which planes a priority level paints, and in what order.
#include "vdp2/vdp2_core.h"

void VDP2Core::DrawPlanesWithPriority(uint8_t priority) {
  // Priority number 0 means the plane is not displayed.
  if (priority == 0 || display == nullptr) return;
  // Later planes paint over earlier ones: at equal priority RBG0 is on top, NBG3 lowest.
  static constexpr PlaneId kVisitOrder[] = {NBG3, NBG2, NBG1, NBG0, RBG0};
  for (const PlaneId plane : kVisitOrder) {
    if (Field(vdp2field::kPriority, plane) != priority) continue;
    if (Field(vdp2field::kPlaneOn, plane) == 0 || switches.planeShown[plane] == 0) continue;
    const bool bitmap = Field(vdp2field::kBitmapMode, plane) != 0;
    switch (plane) {
      case NBG0:
        bitmap ? DrawBitmapNBG0() : DisplayNBG0CellMode();
        break;
      case NBG1:
        bitmap ? DrawBitmapNBG1() : DisplayNBG1CellMode();
        break;
      case NBG2:
        DisplayNBG2CellMode();
        break;
      case NBG3:
        DisplayNBG3CellMode();
        break;
      default:
        // RBG0's rotated cell mode is not drawn; RBG1 is never drawn.
        if (bitmap) DrawBitmapRBG0();
        break;
    }
  }
}
