// The plain records the cores build and the display draws.
#pragma once

#include <cstdint>

// One sprite texture cache entry: a texture descriptor (fields up to byteSize) and the
// GL texture built from it.
struct SpriteTexture {
  uint8_t endCodeDisable;           // cmdDrawMode bit 7
  uint8_t transparentPixelDisable;  // cmdDrawMode bit 6
  uint8_t colourMode;               // cmdDrawMode bits 5-3
  uint32_t colour;                  // cmdColour
  uint32_t address;                 // texture byte address in VRAM
  uint32_t width;                   // 0 to 504 dots
  uint32_t height;                  // 0 to 255 lines
  int32_t byteSize;                 // bytes of texture data
  uint8_t dirty;                    // must be rebuilt before use
  uint32_t glTexture;               // 0 while none has been generated
  float uMax, vMax;                 // texture coordinates of the far edges
  uint32_t paddedWidth, paddedHeight;
};

// A VDP1 sprite as one textured quad.
struct SpriteQuad {
  int16_t x[4], y[4];  // corners A, B, C, D in emulated-screen units
  uint32_t texture;    // GL texture name
  float uMax, vMax;    // texture coordinates of the far edges
  uint8_t filtering;
  uint8_t flipH, flipV;
  float primary[12];    // red, green, blue per corner (multiplied)
  float secondary[12];  // red, green, blue per corner (added)
  float alpha;
  uint8_t shadow;
};

// An untextured VDP1 polygon, polyline or line with a colour per corner.
struct ShadedShape {
  uint8_t antialiasing;
  int16_t vertices[8];  // xA, yA, xB, yB, xC, yC, xD, yD
  float colours[12];    // red, green, blue for A, B, C, D
  float alpha;
};

// One VDP2 plane quad in picture coordinates (displayWidth x displayHeight, y down).
struct PlaneQuad {
  int32_t x0, y0, x1, y1;
  uint8_t filter;  // 1 = linear
  float s0, s1, t0, t1;
  float mulR, mulG, mulB;
  float addR, addG, addB;
  float alpha;
};

// GL work done since the counters were last cleared, for tests and benchmarks.
struct DisplayWorkCounters {
  uint32_t texturesUploaded;    // glTexImage2D of sprite and plane textures
  uint32_t texSubImageCalls;    // glTexSubImage2D calls
  uint32_t texturedQuadsDrawn;  // sprites
  uint32_t shapesDrawn;         // polygons, polylines and lines
  uint32_t planeQuadsDrawn;     // VDP2 plane quads
  uint32_t framesPresented;
  uint32_t framesErased;
};
