// What the plugin presented last, as a screenshot of its render window shows it: the
// window's client area, RGBA texels (red in the low byte), top row first. Natively the
// headless stand-in system writes the screenshot to a file (screen_capture_headless.cpp);
// on Windows it is read from the screen with GDI (screen_capture_gdi.cpp).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vdphost {

class ScreenCapture {
 public:
  // workDir: where a screenshot file may be kept while the host runs; empty for no
  // screenshots (benchmarks: none are taken at buffer swaps).
  explicit ScreenCapture(const std::string& workDir);
  ~ScreenCapture();
  ScreenCapture(const ScreenCapture&) = delete;
  ScreenCapture& operator=(const ScreenCapture&) = delete;

  // False when no picture was presented.
  bool Read(std::vector<uint32_t>& texels, int& width, int& height) const;

 private:
  std::string path_;
};

}  // namespace vdphost
