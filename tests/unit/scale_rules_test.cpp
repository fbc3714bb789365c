// Mapping the emulated screen onto the window: scale steps, fullscreen sizes, titles.
#include "display/scale_rules.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

TEST(ChooseScale, LargestStepNotAboveTheRatio) {
  struct Case {
    float renderWidth, vdpWidth, scale;
  } cases[] = {
      {320, 320, 1.0f},  {400, 320, 1.25f}, {640, 320, 2.0f},  {800, 320, 2.5f},
      {1024, 320, 3.2f}, {1280, 320, 4.0f}, {1600, 320, 5.0f}, {800, 352, 2.0f},
      {640, 704, 1.0f},  {1152, 320, 3.2f}, {0, 320, 1.0f},    {1600, 100, 5.0f},
  };
  for (const Case& c : cases)
    EXPECT_EQ(display::ChooseScale(c.renderWidth / c.vdpWidth), c.scale)
        << c.renderWidth << "/" << c.vdpWidth;
  EXPECT_EQ(display::ChooseScale(std::nanf("")), 5.0f);
  EXPECT_EQ(display::ChooseScale(-3.0f), 1.0f);
}

TEST(RenderingSizeForVdpWidth, FirstFullscreenModeThatHoldsTheWidth) {
  struct Case {
    int vdpWidth, width, height;
    bool found;
  } cases[] = {
      {320, 320, 240, true},    {321, 400, 300, true},   {640, 640, 480, true},
      {704, 800, 600, true},    {1024, 1024, 768, true}, {1280, 1280, 1024, true},
      {1600, 1600, 1200, true}, {1601, -1, -1, false},
  };
  for (const Case& c : cases) {
    int width = -1, height = -1;
    EXPECT_EQ(display::RenderingSizeForVdpWidth(c.vdpWidth, width, height), c.found);
    EXPECT_EQ(width, c.width) << c.vdpWidth;
    EXPECT_EQ(height, c.height) << c.vdpWidth;
  }
  EXPECT_EQ(display::ResolutionIndexOfWidth(640), 2);
  EXPECT_EQ(display::ResolutionIndexOfWidth(1152), -1);
}

TEST(WindowTitle, ShowsTheRenderingSizeOrTheScaledPicture) {
  char title[128];
  display::FormatWindowTitle(title, sizeof(title), 1.0f, 320, 240, 320, 240, 320, 240);
  EXPECT_EQ(std::string(title), "Rendering Window: 320X240");
  display::FormatWindowTitle(title, sizeof(title), 2.0f, 640, 480, 320, 224, 640, 448);
  EXPECT_EQ(std::string(title), "Rendering Window: 320X224X2.00=640X448");
  display::FormatWindowTitle(title, sizeof(title), 3.2f, 1024, 768, 320, 240, 1024, 768);
  EXPECT_EQ(std::string(title), "Rendering Window: 320X240X3.20=1024X768");
}

}  // namespace
