// How the emulated screen is sized onto the window: scale steps, fullscreen sizes,
// the menu's rendering sizes and the window titles.
#pragma once

#include <cstddef>
#include <cstdint>

namespace display {

// Largest of the steps 1.0, 1.25, 2.0, 2.5, 3.2, 4.0, 5.0 not above ratio; a ratio that
// is not a number gives 5.0.
float ChooseScale(float ratio);

// The rendering sizes of the "Resolution" menu, in menu order, with their item ids.
struct RenderingSize {
  int32_t width;
  int32_t height;
  int menuId;
};
constexpr RenderingSize kRenderingSizes[7] = {
    {320, 240, 137},  {400, 300, 149},   {640, 480, 138},   {800, 600, 139},
    {1024, 768, 140}, {1280, 1024, 141}, {1600, 1200, 142},
};

// Index of width among kRenderingSizes, or -1.
int ResolutionIndexOfWidth(int32_t width);

// The fullscreen mode that holds a VDP width: false when it is wider than all of them.
bool RenderingSizeForVdpWidth(int32_t vdpWidth, int32_t& width, int32_t& height);

// Window title in windowed mode.
void FormatWindowTitle(char* text, size_t size, float scale, int32_t renderWidth,
                       int32_t renderHeight, int32_t vdpWidth, int32_t vdpHeight,
                       int32_t pictureWidth, int32_t pictureHeight);

}  // namespace display
