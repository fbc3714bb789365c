// The settings file: a first run writes the defaults, a stop saves what the menus changed.
#include <string>

#include "common/settings_path.h"
#include "plugin_fixture.h"
#include "renderer_setting.h"

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

// vdphost --renderer sets the key as the plugin's own profile writer would, keeping the
// rest of the file, and reads back what the plugin will start with.
TEST(RendererSetting, HostWritesTheKeyAsThePluginsProfileWriterDoes) {
  const char* const files[] = {
      nullptr,  // no file yet
      "[OPENGL]\r\nrendering width=320\r\n",
      "[renderer]\r\nDot By Dot=0\r\nx=5\r\n[VDP1]\r\ny=1\r\n",
      "[VDP1]\r\ny=1\r\n[ RENDERER ]\r\nx=5\r\n\r\n[OPENGL]\r\nw=2\r\n",
  };
  for (const char* text : files)
    for (bool dots : {true, false}) {
      TempDir host, plugin;
      if (text != nullptr) {
        WriteFile(host.File("VDP_plugin.ini"), text);
        WriteFile(plugin.File("VDP_plugin.ini"), text);
      }
      ASSERT_TRUE(vdphost::WriteRendererSetting(host.path(), dots));
      char path[vdp::kSettingsPathSize];
      vdp::BuildSettingsPath(path, plugin.path().c_str());
      vdp::WriteSetting(path, "RENDERER", "dot by dot", dots ? 1 : 0);
      EXPECT_EQ(ReadFile(host.File("VDP_plugin.ini")), ReadFile(plugin.File("VDP_plugin.ini")))
          << (text != nullptr ? text : "no file") << ", dot by dot " << dots;
      EXPECT_EQ(vdphost::ReadsDotByDot(host.path()), dots);
    }
}

}  // namespace
}  // namespace vdptest
