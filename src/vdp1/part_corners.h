// Corners of VDP1 parts in emulated-screen units, from their command words.
#pragma once

#include <cstdint>

#include "vdp1/vdp1_command.h"

namespace vdp1 {

// What places a part on the screen besides its own words.
struct Placement {
  int16_t localX, localY;
  uint32_t xMultiplier, yMultiplier;
};

// Corners A, B, C, D in order.
struct Corners {
  int16_t x[4], y[4];
};

// Normal sprite: the texture's size from vertex A, far edges at XA + w and YA + h.
Corners NormalSpriteCorners(const VDP1Command& command, uint32_t width, uint32_t height,
                            const Placement& placement);

// Scaled sprite, by its zoom point (control bits 11-8). False for the zoom points that
// name no anchor (1 to 4, 8 and 12): such sprites are not drawn.
bool ScaledSpriteCorners(const VDP1Command& command, const Placement& placement, Corners& corners);

// Distorted sprites, polygons and polylines: the four vertices as written (a line uses
// A and B).
Corners FreeCorners(const VDP1Command& command, const Placement& placement);

}  // namespace vdp1
