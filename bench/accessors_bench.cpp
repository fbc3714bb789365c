// The host's hottest path: memory and register writes through the exports.
#include <benchmark/benchmark.h>

#include "bench_plugin.h"
#include "plugin/plugin_api.h"

namespace {

// One running plugin for all accessor benchmarks.
void EnsurePlugin() { static BenchPlugin plugin; }

void BM_Vdp1VramWordWriteUnchanged(benchmark::State& state) {
  EnsurePlugin();
  uint32_t a = 0;
  for (auto _ : state) {
    WriteWordVDP1VRAM(a, 0x1234);
    a = (a + 2) & 0xFFF;
  }
}
BENCHMARK(BM_Vdp1VramWordWriteUnchanged);

void BM_Vdp1VramWordWriteChanging(benchmark::State& state) {
  EnsurePlugin();
  uint32_t a = 0;
  uint16_t v = 0;
  for (auto _ : state) {
    WriteWordVDP1VRAM(a, v++);
    a = (a + 2) & 0xFFF;
  }
}
BENCHMARK(BM_Vdp1VramWordWriteChanging);

void BM_Vdp2VramLongWriteUnchanged(benchmark::State& state) {
  EnsurePlugin();
  uint32_t a = 0;
  for (auto _ : state) {
    WriteLongVDP2VRAM(a, 0xCAFEBABE);
    a = (a + 4) & 0xFFFF;
  }
}
BENCHMARK(BM_Vdp2VramLongWriteUnchanged);

void BM_Vdp2VramLongWriteChanging(benchmark::State& state) {
  EnsurePlugin();
  uint32_t a = 0, v = 0;
  for (auto _ : state) {
    WriteLongVDP2VRAM(a, v++);
    a = (a + 4) & 0xFFFF;
  }
}
BENCHMARK(BM_Vdp2VramLongWriteChanging);

void BM_Vdp2CramWordWrite(benchmark::State& state) {
  EnsurePlugin();
  uint32_t a = 0;
  uint16_t v = 0;
  for (auto _ : state) {
    WriteWordVDP2CRAM(a, v++);
    a = (a + 2) & 0xFFF;
  }
}
BENCHMARK(BM_Vdp2CramWordWrite);

void BM_RegisterWrites(benchmark::State& state) {
  EnsurePlugin();
  uint16_t v = 0;
  for (auto _ : state) {
    WriteWordVDP1Regs(0x06, v);    // EWDR: stored only
    WriteWordVDP2Regs(0x70, v);    // SCXIN0: stored only
    WriteWordVDP2Regs(0xF0, v++);  // PRISA: decoded at write time
  }
  state.SetItemsProcessed(state.iterations() * 3);
}
BENCHMARK(BM_RegisterWrites);

}  // namespace
