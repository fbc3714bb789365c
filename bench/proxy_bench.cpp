// The recording proxy's cost per forwarded call: the same accessor called directly in the
// real plugin and through the proxy, which forwards it and records it in the trace
// writer's ring. The difference is the overhead (at most 10 ns is the goal). Both run in
// bursts that fit the ring, as an emulator's frames do; the writer's thread empties it
// between bursts, outside the timing.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "plugin_api.h"

namespace {

constexpr int kBurst = 1 << 16;  // calls per burst: about 200 KB of trace

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

// Lets the writer's thread (which wakes at least every quarter second, sooner when its
// ring is half full) empty the ring before the next burst.
void LetWriterDrain(benchmark::State& state, int burstsSinceDrain) {
  if (burstsSinceDrain < 16) return;
  state.PauseTiming();
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  state.ResumeTiming();
}

// arg 0: direct, 1: through the proxy.
void BM_ProxyWriteWordVDP2VRAM(benchmark::State& state) {
  if (!Plugin().running()) return state.SkipWithError("the proxy did not start");
  auto write = Plugin().api(state.range(0) != 0).WriteWordVDP2VRAM;
  int bursts = 0;
  for (auto _ : state) {
    for (uint32_t i = 0; i < kBurst; ++i) write((i * 2) & 0x7FFFE, static_cast<uint16_t>(i));
    LetWriterDrain(state, ++bursts);
    if (bursts == 16) bursts = 0;
  }
  state.SetItemsProcessed(state.iterations() * kBurst);
}
BENCHMARK(BM_ProxyWriteWordVDP2VRAM)->ArgName("proxied")->Arg(0)->Arg(1);

void BM_ProxyReadLongVDP1VRAM(benchmark::State& state) {
  if (!Plugin().running()) return state.SkipWithError("the proxy did not start");
  auto read = Plugin().api(state.range(0) != 0).ReadLongVDP1VRAM;
  int bursts = 0;
  for (auto _ : state) {
    uint32_t sum = 0;
    for (uint32_t i = 0; i < kBurst; ++i) sum += read((i * 4) & 0x7FFFC);
    benchmark::DoNotOptimize(sum);
    LetWriterDrain(state, ++bursts);
    if (bursts == 16) bursts = 0;
  }
  state.SetItemsProcessed(state.iterations() * kBurst);
}
BENCHMARK(BM_ProxyReadLongVDP1VRAM)->ArgName("proxied")->Arg(0)->Arg(1);

}  // namespace
