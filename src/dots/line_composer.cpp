// The priority pass over one line's layer dots.
#include "dots/line_composer.h"

namespace dots {

void ComposeLayers(const LineBuffers& layers, int width, uint32_t backTexel, uint32_t* out) {
  for (int x = 0; x < width; ++x) {
    uint32_t texel = backTexel, best = 0;
    for (int layer = 0; layer < kLayerCount; ++layer) {
      const LayerDot& d = layers.layers[layer][x];
      if (d.priority > best) {
        best = d.priority;
        texel = d.texel;
      }
    }
    out[x] = texel;
  }
}

}  // namespace dots
