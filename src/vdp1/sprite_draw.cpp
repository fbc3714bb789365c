// VDP1 normal, scaled and distorted sprites.
#include "vdp1/vdp1_core.h"

void VDP1Core::NormalSpriteDraw() {}
void VDP1Core::ScaledSpriteDraw() {}
void VDP1Core::DistortedSpriteDraw() {}
void VDP1Core::ComputeSpriteColours(SpriteQuad&, uint32_t) const {}
