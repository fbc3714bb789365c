// The composition pass over one line's layer dots, in variants chosen per line by the
// paths the line's registers make active.
#include "dots/line_composer.h"

#include <cstring>

#include "dots/colour_line.h"
#include "dots/colour_maths.h"
#include "dots/rank_keys.h"

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

// The shown layers ranked by key (see rank_keys.h): keys[x] the top image's key and, when
// second is not null, second[x] the next one's. Shown layer i (of count) breaks ties with
// count - i.
struct LineRank {
  uint8_t spriteFlags;  // the line's sprite dots' flags or-ed (0 without sprites)
  uint8_t showingTies;  // bit t: the layer of tiebreak t has a dot above priority 0
};
LineRank RankLine(const ShownLayers& shown, int width, uint8_t* keys, uint8_t* second) {
  std::memset(keys, kBackKey, static_cast<size_t>(width));
  if (second) std::memset(second, kBackKey, static_cast<size_t>(width));
  LineRank rank{0, 0};
  for (int i = 0; i < shown.count; ++i) {
    const bool sprites = shown.sprites && i == 0;
    const uint32_t tie = static_cast<uint32_t>(shown.count - i);
    const LayerRank layer = RankLayer(shown.lines[i], tie, sprites, width, keys, second);
    rank.spriteFlags |= layer.flags;
    if (layer.shows) rank.showingTies |= static_cast<uint8_t>(1u << tie);
  }
  return rank;
}

// The layer lines by tiebreak (the back screen's line at kBackKey).
struct ByTie {
  const LayerDot* lines[8] = {};
  int ids[8] = {};
  ByTie(const ShownLayers& shown, const LineBuffers& b) {
    for (int i = 0; i < shown.count; ++i) {
      lines[shown.count - i] = shown.lines[i];
      ids[shown.count - i] = shown.ids[i];
    }
    lines[kBackKey] = b.back;
    ids[kBackKey] = kBackImage;
  }
  Image At(uint32_t key, int x) const { return Image{&lines[key & 7][x], ids[key & 7]}; }
  // 0xFF by tiebreak where that image takes shadow (see ShadeLine).
  struct Shadows {
    uint8_t takes[8];
  };
  Shadows TakesShadow(const LineRules& r) const {
    Shadows s{};
    for (int tie = 1; tie < 8; ++tie) s.takes[tie] = r.images[ids[tie]].shadow ? 0xFF : 0;
    return s;
  }
};

// Whether some dot of the line can be darkened: sprite-shadow dots darken themselves;
// shadow sprite dots darken only images that take shadow. spriteFlags: see RankLine.
bool LineShades(const LineRules& r, const ByTie& byTie, uint8_t spriteFlags) {
  if (spriteFlags & kDotShadeSelf) return true;
  if (!(spriteFlags & kDotShadeBelow)) return false;
  if (r.images[byTie.ids[kBackKey]].shadow) return true;
  for (int tie = 1; tie < kBackKey; ++tie) {
    if (byTie.lines[tie] && r.images[byTie.ids[tie]].shadow) return true;
  }
  return false;
}

// The top image alone, on a line without colour calculation.
template <bool kOffset>
void ComposeTops(const LineRules& r, const LineBuffers& b, const ShownLayers& shown, int width,
                 uint32_t* out) {
  uint8_t keys[Picture::kMaxWidth];
  const ByTie byTie(shown, b);
  const bool shadows = LineShades(r, byTie, RankLine(shown, width, keys, nullptr).spriteFlags);
  ColourOffset offsets[8];  // the top image's colour offset, by tiebreak
  for (int tie = 1; tie < 8; ++tie) offsets[tie] = r.images[byTie.ids[tie]].offset;
  if (!kOffset && !shadows) {
    KeepTies(keys, width);
#pragma GCC unroll 4
    for (int x = 0; x < width; ++x) out[x] = byTie.lines[keys[x]][x].texel;
    return;
  }
  uint8_t shade[Picture::kMaxWidth];
  if (shadows) {
    ShadeLine(b.layers[kSprite], static_cast<uint32_t>(shown.count), keys,
              byTie.TakesShadow(r).takes, width, shade);
  }
  for (int x = 0; x < width; ++x) {
    const uint32_t tie = keys[x] & 7;
    const uint32_t texel = byTie.lines[tie][x].texel;
    const uint32_t colour = kOffset ? Offset(texel, offsets[tie]) : texel;
    out[x] = shadows && shade[x] ? Halve(colour) : colour;
  }
}

// A line's dots as colour calculation takes them (CalculatedDots), gathered from its
// ranked images.
struct TopTwoLine {
  uint32_t tops[Picture::kMaxWidth], belows[Picture::kMaxWidth];
  uint8_t ratios[Picture::kMaxWidth], calculated[Picture::kMaxWidth], shade[Picture::kMaxWidth];

  void GatherTexels(const ByTie& byTie, const uint8_t* keys, const uint8_t* seconds, int width) {
    for (int x = 0; x < width; ++x) {
      tops[x] = byTie.lines[keys[x] & 7][x].texel;
      belows[x] = byTie.lines[seconds[x] & 7][x].texel;
    }
  }
  // Each dot asks its images' rules.
  void GatherRules(const LineRules& r, const LineBuffers& b, const ByTie& byTie,
                   const uint8_t* keys, const uint8_t* ratioKeys, int width) {
    for (int x = 0; x < width; ++x) {
      const Image top = byTie.At(keys[x], x);
      ratios[x] = static_cast<uint8_t>(Ratio(r, byTie.At(ratioKeys[x], x)));
      calculated[x] =
          Calculated(r.images[top.id], *top.dot) && !b.noColourCalculation[x] ? 0xFF : 0;
    }
  }
};

// A line with colour calculation but neither extended calculation nor line colour
// insertion reads only the top two images: per dot their texels are gathered with what
// calculates them, then calculated four dots at a time. Where every image that can be on
// top or second is calculated (or not) and mixed at one ratio over the whole line, its
// ratio and calculation are looked up by tiebreak sixteen dots at a time; else each dot
// asks its images' rules.
void ComposeTopTwo(const LineRules& r, const LineBuffers& b, const ShownLayers& shown, int width,
                   uint32_t* out) {
  uint8_t keys[Picture::kMaxWidth], seconds[Picture::kMaxWidth];
  TopTwoLine line;
  const ByTie byTie(shown, b);
  const LineRank rank = RankLine(shown, width, keys, seconds);
  const bool shadows = LineShades(r, byTie, rank.spriteFlags);
  bool steady = true;
  uint8_t calculatedByTie[8] = {}, ratioByTie[8] = {};
  for (uint32_t tie = 1; tie < 8; ++tie) {
    const ImageRules& i = r.images[byTie.ids[tie]];
    calculatedByTie[tie] = i.ccPriorities != 0 ? 0xFF : 0;
    ratioByTie[tie] = i.ratio[0];
    if (tie != kBackKey && !(rank.showingTies >> tie & 1)) continue;  // never top nor second
    steady &= (i.ccPriorities == 0 || i.ccPriorities == 0xFF) && i.ccAll == 0 && i.ccAny == 0 &&
              i.ratioMask == 0;
  }
  const uint8_t* const ratioKeys = r.ratioFromSecond ? seconds : keys;
  line.GatherTexels(byTie, keys, seconds, width);
  if (steady) {
    LookUpTies(ratioKeys, ratioByTie, nullptr, width, line.ratios);
    LookUpTies(keys, calculatedByTie, b.noColourCalculation, width, line.calculated);
  } else {
    line.GatherRules(r, b, byTie, keys, ratioKeys, width);
  }
  if (shadows) {
    ShadeLine(b.layers[kSprite], static_cast<uint32_t>(shown.count), keys,
              byTie.TakesShadow(r).takes, width, line.shade);
  }
  // A colour offset comes between the calculation and the shadow.
  const bool halveNow = shadows && !r.offset;
  CalculateLine(CalculatedDots{line.tops, line.belows, line.ratios, line.calculated,
                               halveNow ? line.shade : nullptr},
                r.add, width, out);
  if (!r.offset) return;
  for (int x = 0; x < width; ++x) {
    const uint32_t colour = Offset(out[x], r.images[byTie.ids[keys[x] & 7]].offset);
    out[x] = shadows && line.shade[x] ? Halve(colour) : colour;
  }
}

// The general path, with extended calculation or line colour insertion: per dot the top
// four images ranked (a sprite dot that only casts shadow takes no place among them).
template <bool kOffset>
void ComposeDots(const LineRules& r, const LineBuffers& b, const ShownLayers& shown, int width,
                 uint32_t* out) {
  uint8_t keys[Picture::kMaxWidth], shade[Picture::kMaxWidth];
  const ByTie byTie(shown, b);
  const bool shadows = LineShades(r, byTie, RankLine(shown, width, keys, nullptr).spriteFlags);
  if (shadows) {
    ShadeLine(b.layers[kSprite], static_cast<uint32_t>(shown.count), keys,
              byTie.TakesShadow(r).takes, width, shade);
  }
  const Image back{&r.back, kBackImage};
  for (int x = 0; x < width; ++x) {
    Image top = back, second = back, third = back, fourth = back;
    for (int i = 0; i < shown.count; ++i) {
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
    uint32_t colour = top.dot->texel;
    const ImageRules& rules = r.images[top.id];
    if (Calculated(rules, *top.dot) && !b.noColourCalculation[x]) {
      if (rules.lineColour) {
        fourth = third, third = second, second = Image{&r.lineColour, kLineColourImage};
      }
      const uint32_t below =
          r.extended ? ExtendedSecond(r, second, third, fourth) : second.dot->texel;
      colour = r.add ? AddSaturated(colour, below)
                     : Blend(colour, below, Ratio(r, r.ratioFromSecond ? second : top));
    }
    if (kOffset) colour = Offset(colour, rules.offset);
    out[x] = shadows && shade[x] ? Halve(colour) : colour;
  }
}

// The back screen's line, filled again only when the line's back dot or width changed (the
// back screen is most often one colour over the whole picture).
void FillBack(const LineRules& r, LineBuffers& b, int width) {
  if (width <= b.backWidth && std::memcmp(&r.back, &b.backHeld, sizeof(LayerDot)) == 0) return;
  FillDots(b.back, r.back, width);
  b.backHeld = r.back;
  b.backWidth = width;
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
  FillBack(r, b, width);
  if (!r.calculate) {
    return r.offset ? ComposeTops<true>(r, b, shown, width, out)
                    : ComposeTops<false>(r, b, shown, width, out);
  }
  if (!r.extended && !r.insertsLineColour) return ComposeTopTwo(r, b, shown, width, out);
  return r.offset ? ComposeDots<true>(r, b, shown, width, out)
                  : ComposeDots<false>(r, b, shown, width, out);
}

}  // namespace dots
