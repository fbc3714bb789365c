// InitVDPPlugin and DeInitPlugin of the proxy: the slow path around the forwarding.
#include <cstdlib>

#include "proxy/library_files.h"
#include "proxy/proxy_state.h"
#include "proxy/real_plugin.h"
#include "proxy/trace_recorder.h"

namespace proxy {

namespace {

constexpr uint32_t kRed = 0x0000FF;  // 0xBBGGRR

struct Session {
  void* module = nullptr;  // the real plugin, once loaded
  std::string pluginName;
  TraceRecorder recorder;
};

// Never destroyed: a host may exit without DeInitPlugin while the writer still runs.
Session& TheSession() {
  static Session* session = new Session;
  return *session;
}

std::string FileName(const std::string& path) {
  const size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

bool Start(PluginInitInfo* info) {
  Session& session = TheSession();
  auto say = [info](const std::string& text, uint32_t colour) {
    if (info != nullptr && info->messageCallback != nullptr)
      info->messageCallback(text.c_str(), colour);
  };
  const std::string self = OwnLibraryPath();
  if (session.module == nullptr) {
    const std::string path = RealPluginPath(self, std::getenv(kRealPluginVariable));
    std::string error;
    if (!LoadRealPlugin(path, real, session.module, error)) {
      say("VDP proxy: " + error, kRed);
      return false;
    }
    session.pluginName = FileName(path);
  }
  if (info == nullptr) return real.InitVDPPlugin(info);
  if (!session.recorder.running()) {
    const std::string name = FileName(self);
    const std::string directory = self.substr(0, self.size() - name.size());
    std::string tracePath;
    if (std::FILE* file = CreateTraceFile(directory, name.substr(0, name.rfind('.')), tracePath)) {
      calls.Clear();
      session.recorder.Start(calls, file, session.pluginName,
                             info->directory != nullptr ? info->directory : "");
    } else {
      say("VDP proxy: cannot create a trace file in " + directory + ", not recording", kRed);
    }
  }
  // The real plugin finds its window class, menu, dialog and icon in its own module.
  PluginInitInfo forwarded = *info;
  forwarded.instance = session.module;
  const bool started = real.InitVDPPlugin(&forwarded);
  calls.Append(Call::InitVDPPlugin, 0, started ? 1 : 0);
  return started;
}

void Stop() {
  real.DeInitPlugin();
  calls.Append(Call::DeInitPlugin, 0, 0);
  TheSession().recorder.Stop();
}

}  // namespace proxy
