// VDP2 cell planes through the plugin's exports: four 352 x 240 planes of 16-colour
// characters, scrolling every frame, unchanged, and right after "Clear VDP2 cache".
// Reports the time of a whole frame (drawing, swap and erase with the headless Mesa
// context) and the GL work per frame.
#include <benchmark/benchmark.h>

#include "bench_plugin.h"
#include "display/opengl_display.h"
#include "plugin/plugin_api.h"
#include "plugin/plugin_globals.h"
#include "reference_scenes.h"
#include "vdp2/vdp2_core.h"

namespace {

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
  if (!scene.running()) {
    state.SkipWithError("plugin did not start");
    return;
  }
  plugin::display->counters = {};
  for (auto _ : state) {
    change(scene);
    BenchPlugin::Frame();
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
