// VDP1 sprite texture decoding and cache.
#include "vdp1/vdp1_core.h"

void VDP1Core::ReadTextureDescriptor(uint32_t, SpriteTexture&) const {}
void VDP1Core::GetSpriteTexture(const SpriteTexture&, uint32_t&, float&, float&) {}
