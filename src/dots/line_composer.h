// Composition of one picture line: the layers' lines, the back screen and the line colour
// screen into output dots.
#pragma once

#include <cstdint>

#include "dots/composition_rules.h"
#include "dots/line_buffers.h"

namespace dots {

// Per dot, in the hardware's order: each layer's transparency window; priority (the
// highest number shows, equal numbers go to the layer first in Layer order, the back
// screen shows where no layer does); a shadow sprite dot on top leaves and darkens the dot
// now on top; colour calculation of the top dot with the one below (line colour inserted,
// extended calculation), outside the colour-calculation window; the top screen's colour
// offset; shadow. Clears the priority of layer dots inside their windows. shownLayers: bit
// n set when Layer n may show a dot on the line; the lines of the others are not read
// (the sprite line is read for its window bits all the same).
constexpr uint32_t kEveryLayer = (1u << kLayerCount) - 1;
void ComposeLayers(const LineRules& rules, LineBuffers& layers, int width, uint32_t* out,
                   uint32_t shownLayers = kEveryLayer);

}  // namespace dots
