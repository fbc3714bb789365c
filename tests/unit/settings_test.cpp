// The settings file: a first run writes the defaults, a stop saves what the menus changed.
#include <string>

#include "plugin_fixture.h"

namespace vdptest {
namespace {

std::string SettingsText(int polygonAntialiasing, int width, int height) {
  return "[VDP1]\r\nPolygons antialiasing=" + std::to_string(polygonAntialiasing) +
         "\r\nPolylines antialiasing=0\r\nLines antialiasing=0\r\nNormal sprites filtering=0\r\n"
         "Scaled sprites filtering=0\r\nDistorted sprites filtering=0\r\n[RENDERER]\r\n"
         "dot by dot=0\r\nthreads=2\r\n[OPENGL]\r\n"
         "rendering width=" +
         std::to_string(width) + "\r\nrendering height=" + std::to_string(height) + "\r\n";
}

TEST_F(PluginTest, SettingsFileHoldsTheDefaultsThenWhatTheMenusChanged) {
  EXPECT_EQ(ReadFile(dir.File("VDP_plugin.ini")), SettingsText(0, 320, 240));
  for (int command : {119, 139})  // antialias polygons; 800 * 600
    ASSERT_TRUE(headless::SendEvent(headless::CurrentWindow(), platform::WindowEventKind::Command,
                                    command));
  Stop();
  EXPECT_EQ(ReadFile(dir.File("VDP_plugin.ini")), SettingsText(1, 800, 600));
}

}  // namespace
}  // namespace vdptest
