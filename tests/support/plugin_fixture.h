// Runs the plugin through its exports in a private settings directory, with the headless
// platform, and reads back what it presented.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/headless/headless_testing.h"
#include "plugin/plugin_api.h"
#include "plugin/plugin_globals.h"

class VDP1Core;
class VDP2Core;
class OpenGLDisplay;

namespace vdptest {

// A fresh, empty directory under the system's temporary directory, removed at the end.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  const std::string& path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& text);

struct Rgba {
  int r, g, b, a;
};
Rgba Unpack(uint32_t texel);
// Channels within tolerance of each other (alpha ignored).
::testing::AssertionResult ColourNear(uint32_t texel, Rgba expected, int tolerance = 6);

// Status lines the plugin sent to the host.
std::vector<std::pair<std::string, uint32_t>>& StatusLines();
void VDP_CDECL RecordStatusLine(const char* text, uint32_t colour);

class PluginTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Starts the plugin (SetUp does it unless startInSetUp is cleared first).
  bool Start();
  void Stop();
  // The running plugin's objects.
  static VDP1Core* Vdp1() { return plugin::vdp1; }
  static VDP2Core* Vdp2() { return plugin::vdp2; }
  static OpenGLDisplay* Display() { return plugin::display; }

  // One emulated frame: V-blank in and out.
  void Frame();
  // VDP1 in one-cycle mode drawing automatically every frame.
  void DrawEveryFrame();

  // The last presented picture; (x, y) in window picture pixels, y = 0 at the top.
  bool Capture();
  uint32_t Pixel(int x, int y) const;
  int pictureWidth = 0, pictureHeight = 0;
  std::vector<uint32_t> picture;

  // Console-order VDP1 memory writes through the exports.
  static void Vdp1Words(uint32_t address, std::initializer_list<uint16_t> words);

  TempDir dir;
  PluginInitInfo info{};
  bool startInSetUp = true;
  bool running = false;
};

}  // namespace vdptest
