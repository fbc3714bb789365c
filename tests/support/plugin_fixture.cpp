#include "plugin_fixture.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace vdptest {

TempDir::TempDir() {
  char pattern[] = "/tmp/vdptest-XXXXXX";
  const char* made = mkdtemp(pattern);
  path_ = made != nullptr ? made : "/tmp";
}

TempDir::~TempDir() {
  std::error_code ignored;
  if (path_ != "/tmp") std::filesystem::remove_all(path_, ignored);
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

void WriteFile(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
}

Rgba Unpack(uint32_t t) {
  return {static_cast<int>(t & 0xFF), static_cast<int>((t >> 8) & 0xFF),
          static_cast<int>((t >> 16) & 0xFF), static_cast<int>(t >> 24)};
}

::testing::AssertionResult ColourNear(uint32_t texel, Rgba e, int tolerance) {
  const Rgba c = Unpack(texel);
  if (std::abs(c.r - e.r) <= tolerance && std::abs(c.g - e.g) <= tolerance &&
      std::abs(c.b - e.b) <= tolerance)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << "got (" << c.r << ", " << c.g << ", " << c.b << "), expected (" << e.r << ", " << e.g
         << ", " << e.b << ") within " << tolerance;
}

std::vector<std::pair<std::string, uint32_t>>& StatusLines() {
  static std::vector<std::pair<std::string, uint32_t>> lines;
  return lines;
}

void VDP_CDECL RecordStatusLine(const char* text, uint32_t colour) {
  StatusLines().emplace_back(text, colour);
}

void PluginTest::SetUp() {
  StatusLines().clear();
  headless::ClearMessageBoxes();
  info = PluginInitInfo{0, RecordStatusLine, nullptr, dir.path().c_str()};
  if (startInSetUp) {
    ASSERT_TRUE(Start());
  }
}

void PluginTest::TearDown() { Stop(); }

bool PluginTest::Start() {
  running = InitVDPPlugin(&info);
  return running;
}

void PluginTest::Stop() {
  if (running) DeInitPlugin();
  running = false;
}

void PluginTest::Frame() {
  VDPOnVblankIn();
  VDPOnVblankOut();
}

void PluginTest::DrawEveryFrame() {
  WriteWordVDP1Regs(0x00, 0);  // TVMR: VBE clear
  WriteWordVDP1Regs(0x02, 0);  // FBCR: one-cycle mode
  WriteWordVDP1Regs(0x04, 2);  // PTMR: draw at frame change
}

bool PluginTest::Capture() {
  return headless::PresentedPicture(picture, pictureWidth, pictureHeight);
}

uint32_t PluginTest::Pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= pictureWidth || y >= pictureHeight) return 0;
  return picture[static_cast<size_t>(y) * pictureWidth + x];
}

void PluginTest::Vdp1Words(uint32_t address, std::initializer_list<uint16_t> words) {
  for (uint16_t w : words) {
    WriteWordVDP1VRAM(address, w);
    address += 2;
  }
}

}  // namespace vdptest
