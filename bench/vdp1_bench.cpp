// VDP1 frame cost through the plugin's exports: 2,000 16 x 16 sprites spread over the
// eight priority levels, with every texture cached, and with every texture rewritten
// before each frame.
#include <benchmark/benchmark.h>

#include "bench_plugin.h"
#include "display/opengl_display.h"
#include "plugin/plugin_api.h"
#include "plugin/plugin_globals.h"
#include "reference_scenes.h"

namespace {

void Frame() { BenchPlugin::Frame(); }

void Report(benchmark::State& state, const DisplayWorkCounters& before) {
  const DisplayWorkCounters& after = plugin::display->counters;
  state.counters["uploads/frame"] = benchmark::Counter(
      after.texturesUploaded - before.texturesUploaded, benchmark::Counter::kAvgIterations);
  state.counters["sprites/frame"] = benchmark::Counter(
      after.texturedQuadsDrawn - before.texturedQuadsDrawn, benchmark::Counter::kAvgIterations);
}

void BM_Vdp1SpritesAllCached(benchmark::State& state) {
  SpriteScene session;
  if (!session.running()) {
    state.SkipWithError("plugin did not start");
    return;
  }
  Frame();  // the first frame decodes and uploads every texture
  const DisplayWorkCounters before = plugin::display->counters;
  for (auto _ : state) Frame();
  Report(state, before);
}
BENCHMARK(BM_Vdp1SpritesAllCached)->Unit(benchmark::kMillisecond);

void BM_Vdp1SpritesAllTexturesChanged(benchmark::State& state) {
  SpriteScene session;
  if (!session.running()) {
    state.SkipWithError("plugin did not start");
    return;
  }
  Frame();
  const DisplayWorkCounters before = plugin::display->counters;
  for (auto _ : state) {
    session.ChangeEveryTexture();
    Frame();
  }
  Report(state, before);
}
BENCHMARK(BM_Vdp1SpritesAllTexturesChanged)->Unit(benchmark::kMillisecond);

}  // namespace
