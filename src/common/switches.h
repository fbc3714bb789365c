// The render window's menu switches: the window thread writes them when the player picks
// an item, the cores and renderers read them on the host thread while drawing. The plugin
// owns one for each start; the VDP1 quality flags are also kept in the settings file.
#pragma once

#include "common/shared_flag.h"

struct Switches {
  // VDP1 "Disable" menu: parts of each kind are not drawn.
  SharedFlag disableNormalSprites{0};
  SharedFlag disableScaledSprites{0};
  SharedFlag disableDistortedSprites{0};
  SharedFlag disablePolygons{0};
  SharedFlag disablePolylines{0};
  SharedFlag disableLines{0};
  // VDP1 quality flags ("Filtering" menu and settings file): linear texture filtering of
  // sprites, antialiased edges of shapes.
  SharedFlag normalSpritesFiltering{0};
  SharedFlag scaledSpritesFiltering{0};
  SharedFlag distortedSpritesFiltering{0};
  SharedFlag polygonsAntialiasing{0};
  SharedFlag polylinesAntialiasing{0};
  SharedFlag linesAntialiasing{0};
  // VDP2 planes in the order NBG0-NBG3, RBG0, RBG1: shown (the "Disable" item unchecked)
  // and drawn with linear filtering.
  SharedFlag planeShown[6]{1, 1, 1, 1, 1, 1};
  SharedFlag planeFiltering[6]{};
  // "Dot by dot (accurate)": the picture is drawn by the dot-by-dot renderer, from the
  // next frame on (settings file: [RENDERER] "dot by dot").
  SharedFlag dotByDot{0};
};
