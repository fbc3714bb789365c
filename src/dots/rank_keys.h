// Priority ranking by packed keys, sixteen dots at a time where the processor has SSE2:
// a layer dot's key is its priority number * 8 plus its layer's tiebreak, so that per dot
// the highest key names the top image and the next one the image below it.
#pragma once

#include <cstdint>

#include "dots/layer_line.h"

namespace dots {

// A tiebreak is 1-6, higher for the layer first in Layer order (which wins ties). The back
// screen's key sits above every priority-0 dot's and below every shown one, and its low
// 3 bits name it.
constexpr uint8_t kBackKey = 7;

// The key of a layer dot. In the sprite layer, a dot that only casts shadow
// (kDotShadeBelow) takes no place in the ranking: it keys as priority 0.
inline uint8_t RankKey(const LayerDot& d, uint32_t tie, bool spriteLayer) {
  const bool castOnly = spriteLayer && (d.flags & kDotShadeBelow);
  return static_cast<uint8_t>((castOnly ? 0 : d.priority) * 8u + tie);
}

// What ranking a layer's line found.
struct LayerRank {
  uint8_t flags;  // the sprite layer's dots' flags or-ed (which shadow paths read), else 0
  bool shows;     // some dot keys above priority 0, and so can be a top or second image
};

// Ranks line[0, width) into the line's keys so far: best[x] becomes the highest key of dot
// x, and second[x] (when not null) the next highest.
LayerRank RankLayer(const LayerDot* line, uint32_t tie, bool spriteLayer, int width, uint8_t* best,
                    uint8_t* second);

// keys[x] &= 7 for x in [0, width): the tiebreaks alone, which name the images.
void KeepTies(uint8_t* keys, int width);

}  // namespace dots
