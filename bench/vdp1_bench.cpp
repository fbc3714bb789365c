// VDP1 frame cost through the plugin's exports: 2,000 16 x 16 sprites spread over the
// eight priority levels, with every texture cached, and with every texture rewritten
// before each frame.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "bench_plugin.h"
#include "display/opengl_display.h"
#include "plugin/plugin_api.h"
#include "plugin/plugin_globals.h"

namespace {

constexpr uint32_t kSprites = 2000;
constexpr uint32_t kTextureBase = 0x10000;
constexpr uint32_t kTextureBytes = 16 * 16 / 2;  // 16 colours: 4 bits per dot

void Words(uint32_t address, std::initializer_list<uint16_t> words) {
  for (uint16_t w : words) {
    WriteWordVDP1VRAM(address, w);
    address += 2;
  }
}

// The plugin started in a private settings directory, drawing every frame.
class Session {
 public:
  Session() {
    if (!plugin_.running()) return;
    // Sprite type 1: colour bits 15-13 select priority register i, which holds i.
    WriteWordVDP2Regs(0xE0, 0x0001);
    for (uint16_t r = 0; r < 4; ++r)
      WriteWordVDP2Regs(0xF0 + 2 * r, static_cast<uint16_t>(((2 * r + 1) << 8) | (2 * r)));
    for (uint32_t c = 0; c < 128; ++c)
      WriteWordVDP2CRAM(0x200 + 2 * c, static_cast<uint16_t>(c * 0x0421 + 1));
    for (uint32_t i = 0; i < kSprites; ++i) {
      const uint32_t texture = kTextureBase + i * kTextureBytes;
      for (uint32_t b = 0; b < kTextureBytes; ++b)
        WriteByteVDP1VRAM(texture + b, static_cast<uint8_t>(0x11 * ((i + b) % 15 + 1)));
      // Normal sprite, 16 colours from bank 0x100 + 16 * (i % 8), priority i % 8.
      const uint16_t colour = static_cast<uint16_t>(((i % 8) << 13) | 0x100 | ((i % 8) << 4));
      Words(i * 32, {0x0000, 0, 0x0000, colour, static_cast<uint16_t>(texture / 8), (2 << 8) | 16,
                     static_cast<uint16_t>((i * 7) % 304), static_cast<uint16_t>((i * 13) % 224)});
    }
    Words(kSprites * 32, {0x8000});
  }
  bool running() const { return plugin_.running(); }

 private:
  BenchPlugin plugin_;
};

void Frame() { BenchPlugin::Frame(); }

void Report(benchmark::State& state, const DisplayWorkCounters& before) {
  const DisplayWorkCounters& after = plugin::display->counters;
  state.counters["uploads/frame"] = benchmark::Counter(
      after.texturesUploaded - before.texturesUploaded, benchmark::Counter::kAvgIterations);
  state.counters["sprites/frame"] = benchmark::Counter(
      after.texturedQuadsDrawn - before.texturedQuadsDrawn, benchmark::Counter::kAvgIterations);
}

void BM_Vdp1SpritesAllCached(benchmark::State& state) {
  Session session;
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
  Session session;
  if (!session.running()) {
    state.SkipWithError("plugin did not start");
    return;
  }
  Frame();
  const DisplayWorkCounters before = plugin::display->counters;
  uint8_t value = 0x12;
  for (auto _ : state) {
    // One changed byte per texture, as a game streaming new animation frames would.
    value = value == 0x12 ? 0x21 : 0x12;
    for (uint32_t i = 0; i < kSprites; ++i)
      WriteByteVDP1VRAM(kTextureBase + i * kTextureBytes, value);
    Frame();
  }
  Report(state, before);
}
BENCHMARK(BM_Vdp1SpritesAllTexturesChanged)->Unit(benchmark::kMillisecond);

}  // namespace
