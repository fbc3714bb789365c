// The settings file: what a first run writes, what later runs read and save back.
#include <string>

#include "display/opengl_display.h"
#include "plugin_fixture.h"

namespace vdptest {
namespace {

const char kFirstRunFile[] =
    "[VDP1]\r\n"
    "Polygons antialiasing=0\r\n"
    "Polylines antialiasing=0\r\n"
    "Lines antialiasing=0\r\n"
    "Normal sprites filtering=0\r\n"
    "Scaled sprites filtering=0\r\n"
    "Distorted sprites filtering=0\r\n"
    "[OPENGL]\r\n"
    "rendering width=320\r\n"
    "rendering height=240\r\n";

class SettingsFile : public PluginTest {
 protected:
  void SetUp() override {
    startInSetUp = false;
    PluginTest::SetUp();
  }
  std::string Ini() const { return ReadFile(dir.File("VDP_plugin.ini")); }
};

TEST_F(SettingsFile, FirstRunWritesDefaultsInOrderAndStopSavesCurrentValues) {
  ASSERT_TRUE(Start());
  EXPECT_EQ(Ini(), kFirstRunFile);
  ASSERT_TRUE(headless::SendEvent(headless::CurrentWindow(), platform::WindowEventKind::Command,
                                  119));  // antialias polygons
  ASSERT_TRUE(headless::SendEvent(headless::CurrentWindow(), platform::WindowEventKind::Command,
                                  139));  // 800*600
  Stop();
  const std::string saved = Ini();
  EXPECT_NE(saved.find("Polygons antialiasing=1"), std::string::npos) << saved;
  EXPECT_NE(saved.find("rendering width=800\r\nrendering height=600"), std::string::npos) << saved;
}

}  // namespace
}  // namespace vdptest
