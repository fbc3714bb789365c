// VDP2 plane scheduling by priority.
#include "vdp2/vdp2_core.h"

void VDP2Core::DrawPlanesWithPriority(uint8_t) {}
