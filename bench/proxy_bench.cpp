// The recording proxy's cost per forwarded call: the same accessor called directly in the
// real plugin and through the proxy, which forwards it and records it in the trace
// writer's ring. The difference in CPU time is the overhead on the emulation thread (at
// most 10 ns is the goal); the writer's own thread empties the ring meanwhile.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "plugin_api.h"

namespace {

constexpr uint32_t kBurst = 1 << 16;  // calls per iteration

// The proxy and a copy of the real plugin beside it in a private directory (the proxy
// writes its trace there), started through the proxy with recording on.
class ProxiedPlugin {
 public:
  ProxiedPlugin() {
    char pattern[] = "/tmp/vdpproxy-XXXXXX";
    const char* made = mkdtemp(pattern);
    if (made == nullptr) return;
    directory_ = made;
    namespace fs = std::filesystem;
    std::error_code failed;
    fs::copy_file(fs::path(VDP_PROXY_DIR) / "libvdp_plugin.so", directory_ + "/libvdp_plugin.so",
                  failed);
    fs::copy_file(VDP_PLUGIN_LIBRARY, directory_ + "/libvdp_plugin.real.so", failed);
    std::string error;
    if (failed || !vdphost::LoadPlugin(directory_ + "/libvdp_plugin.so", proxy_, error) ||
        !vdphost::LoadPlugin(directory_ + "/libvdp_plugin.real.so", direct_, error))
      return;
    info_ = vdphost::InitInfo{0, nullptr, nullptr, directory_.c_str()};
    running_ = proxy_.InitVDPPlugin(&info_);
  }
  ~ProxiedPlugin() {
    if (running_) proxy_.DeInitPlugin();
    std::error_code ignored;
    if (!directory_.empty()) std::filesystem::remove_all(directory_, ignored);
  }
  bool running() const { return running_; }
  vdphost::PluginApi& api(bool proxied) { return proxied ? proxy_ : direct_; }

 private:
  std::string directory_;
  vdphost::PluginApi proxy_{}, direct_{};
  vdphost::InitInfo info_{};
  bool running_ = false;
};

ProxiedPlugin& Plugin() {
  static ProxiedPlugin plugin;
  return plugin;
}

// arg 0: direct, 1: through the proxy.
void BM_ProxyWriteWordVDP2VRAM(benchmark::State& state) {
  if (!Plugin().running()) return state.SkipWithError("the proxy did not start");
  auto write = Plugin().api(state.range(0) != 0).WriteWordVDP2VRAM;
  for (auto _ : state)
    for (uint32_t i = 0; i < kBurst; ++i) write((i * 2) & 0x7FFFE, static_cast<uint16_t>(i));
  state.SetItemsProcessed(state.iterations() * kBurst);
}
BENCHMARK(BM_ProxyWriteWordVDP2VRAM)->ArgName("proxied")->Arg(0)->Arg(1);

void BM_ProxyReadLongVDP1VRAM(benchmark::State& state) {
  if (!Plugin().running()) return state.SkipWithError("the proxy did not start");
  auto read = Plugin().api(state.range(0) != 0).ReadLongVDP1VRAM;
  for (auto _ : state) {
    uint32_t sum = 0;
    for (uint32_t i = 0; i < kBurst; ++i) sum += read((i * 4) & 0x7FFFC);
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * kBurst);
}
BENCHMARK(BM_ProxyReadLongVDP1VRAM)->ArgName("proxied")->Arg(0)->Arg(1);

}  // namespace
