// InitVDPPlugin and DeInitPlugin of the proxy: the slow path around the forwarding.
#include <cstdio>
#include <ctime>

#include "proxy/library_files.h"
#include "proxy/proxy_state.h"

namespace proxy {

namespace {

constexpr uint32_t kRed = 0x0000FF;  // 0xBBGGRR

std::string FileName(const std::string& path) {
  const size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A new file in directory named after stem and the time; an earlier trace is never
// replaced. Empty when none could be created.
std::string NewTracePath(const std::string& directory, const std::string& stem) {
  const std::time_t now = std::time(nullptr);
  char stamp[32] = "";
  if (const std::tm* local = std::localtime(&now))
    std::strftime(stamp, sizeof stamp, "-%Y%m%d-%H%M%S", local);
  for (int n = 1; n < 1000; ++n) {
    char suffix[48];
    std::snprintf(suffix, sizeof suffix, n > 1 ? "%s-%d.vdptrace" : "%s.vdptrace", stamp, n);
    const std::string path = directory + stem + suffix;
    if (CreateNewFile(path)) return path;
  }
  return {};
}

}  // namespace

bool Start(PluginInitInfo* info) {
  auto say = [info](const std::string& text) {
    if (info != nullptr && info->messageCallback != nullptr)
      info->messageCallback(text.c_str(), kRed);
  };
  if (!EnsureRealPlugin()) {
    say("VDP proxy: " + RealPlugin().error);
    return false;
  }
  if (info == nullptr) return real.InitVDPPlugin(info);
  const std::string self = OwnLibraryPath();
  const char* directory = info->directory != nullptr ? info->directory : "";
  if (!trace.IsOpen()) {
    const std::string name = FileName(self);
    const std::string folder = self.substr(0, self.size() - name.size());
    const std::string path = NewTracePath(folder, name.substr(0, name.rfind('.')));
    std::string error = "no new file name is free";
    if (path.empty() ||
        !trace.Open(path.c_str(), FileName(RealPlugin().path).c_str(), directory, error))
      say("VDP proxy: not recording, cannot create a trace in " + folder + ": " + error);
  }
  // The real plugin finds its window class, menu, dialog and icon in its own module.
  PluginInitInfo forwarded = *info;
  forwarded.instance = RealPlugin().module;
  const bool started = real.InitVDPPlugin(&forwarded);
  trace.Init(started, directory);
  return started;
}

void Stop() {
  real.DeInitPlugin();
  trace.Event(vdptrace::Call::DeInitPlugin);
  trace.Close();
}

}  // namespace proxy
