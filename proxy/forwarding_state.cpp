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

// The table's first entries. The about box and the setup dialog may come before the start,
// so their first call loads the real plugin and forwards. Every other call before the
// start has nothing to reach (the real plugin would ignore it too) and does nothing: no
// library is loaded for a stray call.
template <auto Slot>
bool VDP_CDECL StartFirst(PluginInitInfo* info) {
  return EnsureRealPlugin() && (real.*Slot)(info);
}
template <auto Slot>
void VDP_CDECL EventFirst() {
  if constexpr (Slot == &PluginTable::SetupPlugin || Slot == &PluginTable::DisplayPluginInfo) {
    if (EnsureRealPlugin()) (real.*Slot)();
  }
}
template <auto Slot, typename T>
T VDP_FASTCALL ReadFirst(uint32_t) {
  return 0;
}
template <auto Slot, typename T>
void VDP_FASTCALL WriteFirst(uint32_t, T) {}

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
