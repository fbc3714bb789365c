#include <atomic>
#include <cstdlib>
#include <mutex>

#include "proxy/library_files.h"
#include "proxy/proxy_state.h"
#include "proxy/real_plugin.h"

namespace proxy {

namespace {

enum class Loading { NotTried, Loaded, Failed };
constinit std::atomic<Loading> loading{Loading::NotTried};
std::mutex loadingLock;
RealPluginFile file;

// The table's first entries: the first call of any export loads the real plugin (a host
// may show the about box or the setup dialog before it starts the plugin) and then
// forwards; without a real plugin they do nothing.
template <auto Slot>
bool VDP_CDECL StartFirst(PluginInitInfo* info) {
  return EnsureRealPlugin() && (real.*Slot)(info);
}
template <auto Slot>
void VDP_CDECL EventFirst() {
  if (EnsureRealPlugin()) (real.*Slot)();
}
template <auto Slot, typename T>
T VDP_FASTCALL ReadFirst(uint32_t address) {
  return EnsureRealPlugin() ? (real.*Slot)(address) : 0;
}
template <auto Slot, typename T>
void VDP_FASTCALL WriteFirst(uint32_t address, T value) {
  if (EnsureRealPlugin()) (real.*Slot)(address, value);
}

}  // namespace

constinit PluginTable real = {StartFirst<&PluginTable::InitVDPPlugin>,
#define PROXY_FIRST_EVENT(name) EventFirst<&PluginTable::name>,
#define PROXY_FIRST_ACCESSORS(name, T) \
  ReadFirst<&PluginTable::Read##name, T>, WriteFirst<&PluginTable::Write##name, T>,
                              PROXY_EVENTS(PROXY_FIRST_EVENT) PROXY_ACCESSORS(PROXY_FIRST_ACCESSORS)
#undef PROXY_FIRST_EVENT
#undef PROXY_FIRST_ACCESSORS
};
vdptrace::TraceWriter& trace = *new vdptrace::TraceWriter;

bool EnsureRealPlugin() {
  if (loading.load(std::memory_order_acquire) == Loading::NotTried) {
    std::lock_guard<std::mutex> hold(loadingLock);
    if (loading.load(std::memory_order_relaxed) == Loading::NotTried) {
      file.path = RealPluginPath(OwnLibraryPath(), std::getenv(kRealPluginVariable));
      PluginTable found{};
      const bool loaded = LoadRealPlugin(file.path, found, file.module, file.error);
      if (loaded) real = found;
      loading.store(loaded ? Loading::Loaded : Loading::Failed, std::memory_order_release);
    }
  }
  return loading.load(std::memory_order_acquire) == Loading::Loaded;
}

const RealPluginFile& RealPlugin() { return file; }

}  // namespace proxy
