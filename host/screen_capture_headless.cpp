#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "screen_capture.h"

namespace vdphost {

// The headless system rewrites this file at every buffer swap: "VDPRGBA\n<w> <h>\n" and
// the texels.
ScreenCapture::ScreenCapture(const std::string& workDir) {
  if (workDir.empty()) return;
  path_ = workDir + "/.screen.rgba";
  setenv("VDP_HEADLESS_SCREEN", path_.c_str(), 1);
}

ScreenCapture::~ScreenCapture() {
  if (!path_.empty()) std::remove(path_.c_str());
}

bool ScreenCapture::Read(std::vector<uint32_t>& texels, int& width, int& height) const {
  if (path_.empty()) return false;
  std::ifstream in(path_, std::ios::binary);
  std::string magic;
  if (!(in >> magic >> width >> height) || magic != "VDPRGBA" || width <= 0 || height <= 0)
    return false;
  in.get();
  texels.resize(static_cast<size_t>(width) * height);
  in.read(reinterpret_cast<char*>(texels.data()),
          static_cast<std::streamsize>(texels.size() * sizeof(uint32_t)));
  return static_cast<bool>(in);
}

}  // namespace vdphost
