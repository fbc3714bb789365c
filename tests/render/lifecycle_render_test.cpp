// Start, frames and stop of the real plugin over Mesa.
#include "plugin_fixture.h"

namespace vdptest {
namespace {

class LifecycleRender : public PluginTest {};

TEST_F(LifecycleRender, EraseLeavesTransparentBlackAndPresentsEveryOneCycleFrame) {
  DrawEveryFrame();
  const int before = headless::PresentCount();
  for (int i = 0; i < 3; ++i) Frame();
  EXPECT_EQ(headless::PresentCount(), before + 3);
  ASSERT_TRUE(Capture());
  EXPECT_EQ(pictureWidth, 320);
  EXPECT_EQ(pictureHeight, 240);
  EXPECT_EQ(Pixel(160, 120) & 0x00FFFFFF, 0u);
}

}  // namespace
}  // namespace vdptest
