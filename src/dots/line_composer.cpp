// The composition pass over one line's layer dots, in variants chosen per line by the
// paths the line's registers make active.
#include "dots/line_composer.h"

#include <cstring>

#include "dots/colour_maths.h"

namespace dots {
namespace {

// A ranked image: its dot and which layer or screen gave it (Layer, kBackImage or
// kLineColourImage).
struct Image {
  const LayerDot* dot;
  int id;
};

// The layers that can show a dot on the line, in Layer order: the others are left out of
// every dot's ranking.
struct ShownLayers {
  int count;
  int ids[kLayerCount];
  const LayerDot* lines[kLayerCount];
  bool sprites;  // the sprite layer is among them (the only one that casts shadow)
};

void ApplyTransparencyWindows(const LineRules& r, const ShownLayers& shown, LineBuffers& b,
                              int width) {
  const LayerDot* sprites = b.layers[kSprite];
  for (int i = 0; i < shown.count; ++i) {
    const int layer = shown.ids[i];
    const uint32_t control = r.layerWindow[layer];
    if (!WindowActive(control)) continue;
    // Only priorities change, so the sprite window bits stay for the later layers.
    LayerDot* line = b.layers[layer];
    if (!ReadsSpriteWindow(control)) {
      int runs[5][2];
      const int count = WindowAreaRuns(control, r.windows, width, runs);
      for (int run = 0; run < count; ++run) {
        for (int x = runs[run][0]; x < runs[run][1]; ++x) line[x].priority = 0;
      }
      continue;
    }
    for (int x = 0; x < width; ++x) {
      if (InWindowArea(control, r.windows, x, sprites[x].flags & kDotSpriteWindow)) {
        line[x].priority = 0;
      }
    }
  }
}

// Whether the top image is shown halved: a sprite-shadow dot shades itself, and a shadow
// sprite dot that wins priority (sprites win ties) shades the image on top if that screen
// takes shadow.
bool Shaded(const LineRules& r, const Image& top, const LayerDot& sprite) {
  if ((sprite.flags & kDotShadeBelow) && sprite.priority >= top.dot->priority &&
      sprite.priority != 0) {
    return r.images[top.id].shadow;
  }
  return (top.dot->flags & kDotShadeSelf) != 0;
}

bool Calculated(const ImageRules& i, const LayerDot& d) {
  return ((i.ccPriorities >> d.priority) & 1) && (d.flags & i.ccAll) == i.ccAll &&
         (i.ccAny == 0 || (d.flags & i.ccAny) != 0);
}

uint32_t Ratio(const LineRules& r, const Image& image) {
  const ImageRules& i = r.images[image.id];
  return i.ratio[image.dot->code & i.ratioMask];
}

bool Rgb(const Image& image) { return (image.dot->flags & kDotRgb) != 0; }

// Extended calculation: the second image mixed with the images below it at the fixed
// ratios of the hardware's table, by colour RAM mode, the images' CC enables and formats.
uint32_t ExtendedSecond(const LineRules& r, const Image& second, const Image& third,
                        const Image& fourth) {
  const uint32_t s = second.dot->texel, t = third.dot->texel;
  if (second.id != kLineColourImage) {
    // Colour RAM modes 1 and 2 mix only an RGB second image.
    if (!r.images[second.id].ccEnabled || (!r.cramMode0 && !Rgb(second))) return s;
    return Mix2(s, t);
  }
  // The line colour screen is the second image, the former second and third below it.
  if (!r.images[kLineColourImage].ccEnabled) return s;
  if (!r.cramMode0 && !Rgb(third)) return s;
  if (!r.cramMode0 && !Rgb(fourth)) return Mix2(s, t);
  return r.images[third.id].ccEnabled ? Mix211(s, t, fourth.dot->texel) : Mix2(s, t);
}

template <bool kCalculate, bool kOffset>
void ComposeDots(const LineRules& r, const LineBuffers& b, const ShownLayers& shown, int width,
                 uint32_t* out) {
  const Image back{&r.back, kBackImage};
  for (int x = 0; x < width; ++x) {
    // The shown dots ranked; a sprite dot that only casts shadow takes no place among them.
    Image top = back, second = back, third = back, fourth = back;
    if constexpr (!kCalculate) {
      // Only the top image is needed.
      uint32_t best = 0;
      for (int i = 0; i < shown.count; ++i) {
        const LayerDot& d = shown.lines[i][x];
        const uint32_t p = d.flags & kDotShadeBelow ? 0 : d.priority;
        if (p > best) best = p, top = Image{&d, shown.ids[i]};
      }
    }
    for (int i = 0; kCalculate && i < shown.count; ++i) {
      const LayerDot& d = shown.lines[i][x];
      if (d.priority == 0 || (d.flags & kDotShadeBelow)) continue;
      const Image image{&d, shown.ids[i]};
      if (d.priority > top.dot->priority) {
        fourth = third, third = second, second = top, top = image;
      } else if (d.priority > second.dot->priority) {
        fourth = third, third = second, second = image;
      } else if (d.priority > third.dot->priority) {
        fourth = third, third = image;
      } else if (d.priority > fourth.dot->priority) {
        fourth = image;
      }
    }
    const bool shade = shown.sprites && Shaded(r, top, b.layers[kSprite][x]);
    uint32_t colour = top.dot->texel;
    const ImageRules& rules = r.images[top.id];
    if (kCalculate && Calculated(rules, *top.dot) && !b.noColourCalculation[x]) {
      if (rules.lineColour) {
        fourth = third, third = second, second = Image{&r.lineColour, kLineColourImage};
      }
      const uint32_t below =
          r.extended ? ExtendedSecond(r, second, third, fourth) : second.dot->texel;
      colour = r.add ? AddSaturated(colour, below)
                     : Blend(colour, below, Ratio(r, r.ratioFromSecond ? second : top));
    }
    if (kOffset) colour = Offset(colour, rules.offset);
    out[x] = shade ? Halve(colour) : colour;
  }
}

// The top image alone, on a line without colour calculation: per dot the highest of the
// shown layers' rank keys, priority above a tiebreak that favours the layer first in Layer
// order, wins. Shown layer i (of kCount) ranks by priority * 8 + (kCount - i); the back
// screen's key 7 sits above every priority-0 dot and below every shown one, so the highest
// key is ComposeDots's top image, and its low 3 bits name it. kShadow: some sprite dot of
// the line shades (the sprites are then shown layer 0, the only one with shadow flags).
template <int kCount, bool kOffset, bool kShadow>
void ComposeTops(const LineRules& r, const LineBuffers& b, const ShownLayers& shown, int width,
                 uint32_t* out) {
  constexpr uint32_t kBackKey = 7;
  const LayerDot* byTie[8] = {};
  ColourOffset offsets[8];  // the top image's colour offset, by tiebreak
  bool shadows[8] = {};     // whether shadow sprites darken the top image, by tiebreak
  for (int i = 0; i < kCount; ++i) {
    byTie[kCount - i] = shown.lines[i];
    offsets[kCount - i] = r.images[shown.ids[i]].offset;
    shadows[kCount - i] = r.images[shown.ids[i]].shadow;
  }
  byTie[kBackKey] = b.back;
  offsets[kBackKey] = r.images[kBackImage].offset;
  shadows[kBackKey] = r.images[kBackImage].shadow;
  const LayerDot* sprites = b.layers[kSprite];
#pragma GCC unroll 2
  for (int x = 0; x < width; ++x) {
    uint32_t best = kBackKey;
#pragma GCC unroll 8
    for (int tie = kCount; tie > 0; --tie) {
      const LayerDot& d = byTie[tie][x];
      // A sprite dot that only casts shadow takes no place in the ranking.
      const bool castOnly = kShadow && tie == kCount && (d.flags & kDotShadeBelow);
      const uint32_t key = (castOnly ? 0 : d.priority) * 8u + static_cast<uint32_t>(tie);
      best = key > best ? key : best;
    }
    const uint32_t tie = best & 7;
    const LayerDot& top = byTie[tie][x];
    uint32_t colour = kOffset ? Offset(top.texel, offsets[tie]) : top.texel;
    if (kShadow) {
      // As ComposeDots: a sprite-shadow dot shades itself; a shadow sprite dot that wins
      // priority (sprites win ties) shades the top dot if that screen takes shadow.
      const LayerDot& sprite = sprites[x];
      bool shade = (top.flags & kDotShadeSelf) != 0;
      if ((sprite.flags & kDotShadeBelow) && sprite.priority >= top.priority &&
          sprite.priority != 0) {
        shade = shadows[tie];
      }
      if (shade) colour = Halve(colour);
    }
    out[x] = colour;
  }
}

// Whether some sprite dot of the line casts a shadow or is shaded.
bool SpriteShadows(const LayerDot* sprites, int width) {
  uint32_t flags = 0;
  for (int x = 0; x < width; ++x) flags |= sprites[x].flags;
  return (flags & (kDotShadeBelow | kDotShadeSelf)) != 0;
}

// A line with colour calculation but neither extended calculation nor line colour
// insertion reads only the top two images: the two highest rank keys (as ComposeTops),
// kept by one max and one clamped max per layer, name them. The rest is ComposeDots.
template <int kCount>
void ComposeTopTwo(const LineRules& r, const LineBuffers& b, const ShownLayers& shown, int width,
                   uint32_t* out) {
  constexpr uint32_t kBackKey = 7;
  const LayerDot* byTie[8] = {};
  int idByTie[8] = {};
  for (int i = 0; i < kCount; ++i) {
    byTie[kCount - i] = shown.lines[i];
    idByTie[kCount - i] = shown.ids[i];
  }
  byTie[kBackKey] = b.back;
  idByTie[kBackKey] = kBackImage;
  const bool shadows = shown.sprites && SpriteShadows(b.layers[kSprite], width);
  const LayerDot* sprites = b.layers[kSprite];
  for (int x = 0; x < width; ++x) {
    uint32_t best = kBackKey, second = kBackKey;
#pragma GCC unroll 8
    for (int tie = kCount; tie > 0; --tie) {
      const LayerDot& d = byTie[tie][x];
      // A sprite dot that only casts shadow takes no place in the ranking.
      const bool castOnly = tie == kCount && shown.sprites && (d.flags & kDotShadeBelow);
      const uint32_t key = (castOnly ? 0 : d.priority) * 8u + static_cast<uint32_t>(tie);
      const uint32_t lower = key < best ? key : best;
      second = lower > second ? lower : second;
      best = key > best ? key : best;
    }
    const Image top{&byTie[best & 7][x], idByTie[best & 7]};
    const Image next{&byTie[second & 7][x], idByTie[second & 7]};
    const bool shade = shadows && Shaded(r, top, sprites[x]);
    uint32_t colour = top.dot->texel;
    const ImageRules& rules = r.images[top.id];
    if (Calculated(rules, *top.dot) && !b.noColourCalculation[x]) {
      const uint32_t below = next.dot->texel;
      colour = r.add ? AddSaturated(colour, below)
                     : Blend(colour, below, Ratio(r, r.ratioFromSecond ? next : top));
    }
    if (r.offset) colour = Offset(colour, rules.offset);
    out[x] = shade ? Halve(colour) : colour;
  }
}

using DotsFunction = void (*)(const LineRules&, const LineBuffers&, const ShownLayers&, int,
                              uint32_t*);
constexpr DotsFunction kPaths[2][2] = {{ComposeDots<false, false>, ComposeDots<false, true>},
                                       {ComposeDots<true, false>, ComposeDots<true, true>}};
// By the count of shown layers, offsets, shadows.
#define VDP_TOPS(n)                                                \
  {                                                                \
    {ComposeTops<n, false, false>, ComposeTops<n, false, true>}, { \
      ComposeTops<n, true, false>, ComposeTops<n, true, true>      \
    }                                                              \
  }
constexpr DotsFunction kTopPaths[kLayerCount + 1][2][2] = {
    VDP_TOPS(0), VDP_TOPS(1), VDP_TOPS(2), VDP_TOPS(3), VDP_TOPS(4), VDP_TOPS(5), VDP_TOPS(6)};
#undef VDP_TOPS
constexpr DotsFunction kTopTwoPaths[kLayerCount + 1] = {
    ComposeTopTwo<0>, ComposeTopTwo<1>, ComposeTopTwo<2>, ComposeTopTwo<3>,
    ComposeTopTwo<4>, ComposeTopTwo<5>, ComposeTopTwo<6>};

// Whether some image inserts the line colour screen under it.
bool InsertsLineColour(const LineRules& r) {
  for (const ImageRules& i : r.images) {
    if (i.lineColour) return true;
  }
  return false;
}

}  // namespace

void ComposeLayers(const LineRules& r, LineBuffers& b, int width, uint32_t* out,
                   uint32_t shownLayers) {
  ShownLayers shown{0, {}, {}, (shownLayers & 1u << kSprite) != 0};
  for (int layer = 0; layer < kLayerCount; ++layer) {
    if (!(shownLayers >> layer & 1)) continue;
    shown.ids[shown.count] = layer;
    shown.lines[shown.count++] = b.layers[layer];
  }
  ApplyTransparencyWindows(r, shown, b, width);
  if (r.calculate) {
    if (WindowActive(r.ccWindow)) {
      FillWindowMask(r.ccWindow, r.windows, b.layers[kSprite], width, b.noColourCalculation);
    } else {
      std::memset(b.noColourCalculation, 0, static_cast<size_t>(width));
    }
  }
  if (!r.calculate) {
    FillDots(b.back, r.back, width);
    const bool shadows = shown.sprites && SpriteShadows(b.layers[kSprite], width);
    return kTopPaths[shown.count][r.offset][shadows](r, b, shown, width, out);
  }
  if (!r.extended && !InsertsLineColour(r)) {
    FillDots(b.back, r.back, width);
    return kTopTwoPaths[shown.count](r, b, shown, width, out);
  }
  kPaths[r.calculate][r.offset](r, b, shown, width, out);
}

}  // namespace dots
