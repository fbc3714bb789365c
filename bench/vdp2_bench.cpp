// VDP2 cell planes through the plugin's exports: four 352 x 240 planes of 16-colour
// characters, scrolling every frame, unchanged, and right after "Clear VDP2 cache".
// Reports the time of a whole frame (drawing, swap and erase with the headless Mesa
// context) and the GL work per frame.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdint>
#include <random>
#include <string>

#include "bench_plugin.h"
#include "display/opengl_display.h"
#include "plugin/plugin_api.h"
#include "plugin/plugin_globals.h"
#include "vdp2/vdp2_core.h"

namespace {

// The plugin started in a private directory, with four cell planes on screen.
class PlaneScene {
 public:
  PlaneScene() {
    if (!plugin_.running()) return;
    WriteWordVDP1VRAM(0, 0x8000);              // an empty command table
    WriteWordVDP2Regs(vdp2reg::TVMD, 0x8011);  // 352 x 240
    std::mt19937 random(7);
    for (uint32_t i = 1; i < 256; ++i)
      WriteWordVDP2CRAM(i * 2, static_cast<uint16_t>(random() & 0x7FFF));
    // 512 characters of random 16-colour dots at 0x0-0x3FFF.
    for (uint32_t a = 0; a < 0x4000; a += 4) WriteLongVDP2VRAM(a, static_cast<uint32_t>(random()));
    WriteWordVDP2Regs(vdp2reg::BGON, 0x000F);
    WriteWordVDP2Regs(vdp2reg::PRINA, 0x0403);
    WriteWordVDP2Regs(vdp2reg::PRINB, 0x0201);
    for (uint32_t n = 0; n < 4; ++n) {
      // One-word names, one-page planes at pages 8 + n (0x10000 + n x 8 KB), all four
      // slots alike; each name picks a character, and each character has one palette
      // (the tile cache holds a cell with one palette at a time).
      WriteWordVDP2Regs(vdp2reg::PNCN0 + 2 * n, 0x8000);
      const uint16_t page = static_cast<uint16_t>((8 + n) * 0x0101);
      WriteWordVDP2Regs(vdp2reg::MPABN0 + 4 * n, page);
      WriteWordVDP2Regs(vdp2reg::MPABN0 + 4 * n + 2, page);
      for (uint32_t i = 0; i < 4096; ++i) {
        const uint32_t character = random() & 0x1FF;
        WriteWordVDP2VRAM(((8 + n) << 13) + 2 * i,
                          static_cast<uint16_t>(((character & 0xF) << 12) | character));
      }
    }
    for (uint32_t r : {vdp2reg::ZMXIN0, vdp2reg::ZMYIN0, vdp2reg::ZMXIN1, vdp2reg::ZMYIN1})
      WriteWordVDP2Regs(r, 1);
    Frame();
    Frame();
  }
  bool started() const { return plugin_.running(); }
  static void Frame() { BenchPlugin::Frame(); }

  // Moves every plane one dot right and down.
  void Scroll() {
    ++scroll_;
    const uint16_t s = static_cast<uint16_t>(scroll_ & 0x7FF);
    for (uint32_t r : {vdp2reg::SCXIN0, vdp2reg::SCYIN0, vdp2reg::SCXIN1, vdp2reg::SCYIN1,
                       vdp2reg::SCXN2, vdp2reg::SCYN2, vdp2reg::SCXN3, vdp2reg::SCYN3})
      WriteWordVDP2Regs(r, s);
  }

 private:
  BenchPlugin plugin_;
  uint32_t scroll_ = 0;
};

void ReportWork(benchmark::State& state) {
  const DisplayWorkCounters& c = plugin::display->counters;
  const auto perFrame = benchmark::Counter::kAvgIterations;
  state.counters["texSubImage/frame"] = benchmark::Counter(c.texSubImageCalls, perFrame);
  state.counters["texImage/frame"] = benchmark::Counter(c.texturesUploaded, perFrame);
  state.counters["quads/frame"] = benchmark::Counter(c.planeQuadsDrawn, perFrame);
}

// Frames of the four-plane scene, each after `change` did what the frame is about.
void RunFrames(benchmark::State& state, void (*change)(PlaneScene&)) {
  PlaneScene scene;
  if (!scene.started()) {
    state.SkipWithError("plugin did not start");
    return;
  }
  plugin::display->counters = {};
  for (auto _ : state) {
    change(scene);
    PlaneScene::Frame();
  }
  ReportWork(state);
}

void BM_FourPlanesScrollingEveryFrame(benchmark::State& state) {
  RunFrames(state, [](PlaneScene& scene) { scene.Scroll(); });
}
BENCHMARK(BM_FourPlanesScrollingEveryFrame)->Unit(benchmark::kMillisecond);

void BM_FourPlanesUnchanged(benchmark::State& state) {
  RunFrames(state, [](PlaneScene&) {});
}
BENCHMARK(BM_FourPlanesUnchanged)->Unit(benchmark::kMillisecond);

void BM_FrameAfterClearCache(benchmark::State& state) {
  RunFrames(state, [](PlaneScene&) { plugin::vdp2->ClearCache(); });
}
BENCHMARK(BM_FrameAfterClearCache)->Unit(benchmark::kMillisecond);

}  // namespace
