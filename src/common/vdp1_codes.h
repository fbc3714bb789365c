// The codes of a VDP1 command table that both renderers decode: command kinds (CMDCTRL
// bits 3-0), colour modes (CMDPMOD bits 5-3) and colour calculations (CMDPMOD bits 1-0).
#pragma once

#include <cstdint>

namespace vdp1codes {

// Command codes; the others are prohibited and draw nothing.
enum CommandCode : uint32_t {
  kNormalSprite = 0,
  kScaledSprite = 1,
  kDistortedSprite = 2,
  kPolygon = 4,
  kPolyline = 5,
  kLine = 6,
  kUserClip = 8,
  kSystemClip = 9,
  kLocalCoordinates = 10,
};

// Colour modes (6 and 7 are prohibited).
enum ColourMode : uint32_t {
  kBank16 = 0,
  kLookupTable16 = 1,
  kBank64 = 2,
  kBank128 = 3,
  kBank256 = 4,
  kRgb = 5,
};

// Colour calculations; bit 2 of CMDPMOD adds gouraud shading.
enum ColourCalculation : uint32_t {
  kReplace = 0,
  kShadow = 1,
  kHalfLuminance = 2,
  kHalfTransparency = 3,
};

}  // namespace vdp1codes
