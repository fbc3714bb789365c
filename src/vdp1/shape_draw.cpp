// VDP1 polygons, polylines and lines.
#include "vdp1/vdp1_core.h"

void VDP1Core::PolygonDraw() {}
void VDP1Core::PolylineDraw() {}
void VDP1Core::LineDraw() {}
void VDP1Core::ComputeShapeColours(ShadedShape&, uint32_t) const {}
