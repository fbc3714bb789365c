#include "display/scale_rules.h"

#include <cmath>
#include <cstdio>

namespace display {

float ChooseScale(float ratio) {
  const double r = ratio;
  if (std::isnan(r)) return 5.0f;
  if (r < 1.25) return 1.0f;
  if (r < 2.0) return 1.25f;
  if (r < 2.5) return 2.0f;
  if (r < 3.2) return 2.5f;
  if (r < 4.0) return 3.2f;
  if (r < 5.0) return 4.0f;
  return 5.0f;
}

int ResolutionIndexOfWidth(int32_t width) {
  for (int i = 0; i < 7; ++i)
    if (kRenderingSizes[i].width == width) return i;
  return -1;
}

bool RenderingSizeForVdpWidth(int32_t vdpWidth, int32_t& width, int32_t& height) {
  for (const RenderingSize& s : kRenderingSizes) {
    if (vdpWidth <= s.width) {
      width = s.width;
      height = s.height;
      return true;
    }
  }
  return false;
}

void FormatWindowTitle(char* text, size_t size, float scale, int32_t renderWidth,
                       int32_t renderHeight, int32_t vdpWidth, int32_t vdpHeight,
                       int32_t pictureWidth, int32_t pictureHeight) {
  if (scale == 1.0f)
    std::snprintf(text, size, "Rendering Window: %dX%d", static_cast<int>(renderWidth),
                  static_cast<int>(renderHeight));
  else
    std::snprintf(text, size, "Rendering Window: %dX%dX%.2f=%dX%d", static_cast<int>(vdpWidth),
                  static_cast<int>(vdpHeight), static_cast<double>(scale),
                  static_cast<int>(pictureWidth), static_cast<int>(pictureHeight));
}

}  // namespace display
