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

// out[x] = the entry of table for the image that keys[x] names (its tiebreak), or 0 where
// zeroWhere[x] is not 0 (zeroWhere may be null), for x in [0, width).
void LookUpTies(const uint8_t* keys, const uint8_t (&table)[8], const uint8_t* zeroWhere, int width,
                uint8_t* out);

// shade[x] = 0xFF where the top image (key keys[x]) is halved, else 0: where a shadow
// sprite dot of sprites (the sprite layer, ranked with tiebreak spriteTie) has a priority
// above 0 and at least the top image's (sprites win ties), as takesShadow says for that
// image; elsewhere where the top image is a sprite-shadow dot (kDotShadeSelf).
void ShadeLine(const LayerDot* sprites, uint32_t spriteTie, const uint8_t* keys,
               const uint8_t (&takesShadow)[8], int width, uint8_t* shade);

}  // namespace dots
