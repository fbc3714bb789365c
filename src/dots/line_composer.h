// Priority per dot: the layers' lines and the back screen into one output line.
#pragma once

#include <cstdint>

#include "dots/layer_line.h"

namespace dots {

// Each dot shows the layer of the highest priority number; equal numbers go to the layer
// first in Layer order (sprite, RBG0, NBG0 or RBG1, NBG1, NBG2, NBG3); where no layer
// shows, the back screen does.
void ComposeLayers(const LineBuffers& layers, int width, uint32_t backTexel, uint32_t* out);

}  // namespace dots
