// Binary traces: the writer's cost per record, the replay speed of a 1,000-frame demo
// trace on the headless platform, and the trace bytes per frame of the animated demo and of
// a scene that rewrites VRAM and colour RAM every frame.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "scene_bus.h"
#include "trace_recorder.h"
#include "trace_replay.h"
#include "trace_writer.h"

namespace {

using vdptrace::Call;

constexpr uint32_t kDemoFrames = 1000;
constexpr uint64_t kDemoLimit = 20u << 20;  // bytes a 1,000-frame demo recording may take

std::string TempDirectory() {
  char pattern[] = "/tmp/vdptrace-XXXXXX";
  const char* made = mkdtemp(pattern);
  return made != nullptr ? made : "/tmp";
}

// The animated demo, from its start again as often as needed for `frames` frames.
void DemoLoop(vdphost::SceneBus& bus, uint32_t frames) {
  while (vdphost::RecordedFrames() < frames) {
    bus.demoFrames = static_cast<int>(frames - vdphost::RecordedFrames());
    bus.api().Reset();
    vdphost::PlayAnimatedDemo(bus);
  }
}

// Every frame a new 512 x 64 slice of a bitmap plane, a new palette and a new command.
void VramHeavy(vdphost::SceneBus& bus, uint32_t frames) {
  vdphost::PluginApi& api = bus.api();
  api.WriteWordVDP2Regs(0x00, 0x8000);  // TVMD: display on
  api.WriteWordVDP2Regs(0x28, 0x0032);  // CHCTLA: NBG0 bitmap 512 x 256, RGB
  api.WriteWordVDP2Regs(0x20, 0x0001);  // BGON: NBG0
  api.WriteWordVDP2Regs(0xF8, 0x0001);  // PRINA
  for (uint32_t frame = 0; frame < frames; ++frame) {
    const uint32_t base = (frame % 4) * 512 * 64 * 2;
    for (uint32_t i = 0; i < 512 * 64; ++i)
      api.WriteWordVDP2VRAM(base + i * 2,
                            static_cast<uint16_t>(0x8000 | ((i * 7 + frame) & 0x7FFF)));
    for (uint32_t i = 0; i < 256; ++i)
      api.WriteWordVDP2CRAM(i * 2, static_cast<uint16_t>((i * 3 + frame) & 0x7FFF));
    bus.Vdp1Words(0, {0x0004, 0, 0, static_cast<uint16_t>(0x8000 | frame), 0, 0, 10, 10, 100, 10,
                      100, 100, 10, 100, 0, 0, 0x8000});
    bus.Frame();
  }
}

// Records `play` through vdphost's recorder into dir/name.vdptrace.
bool Record(const std::string& dir, const char* name, void (*play)(vdphost::SceneBus&, uint32_t),
            uint32_t frames, uint64_t& bytes) {
  vdphost::PluginApi api{};
  std::string error;
  const std::string path = dir + "/" + name + ".vdptrace";
  if (!vdphost::LoadPlugin(VDP_PLUGIN_LIBRARY, api, error) ||
      !vdphost::StartRecording(api, path, VDP_PLUGIN_LIBRARY, dir, error))
    return false;
  vdphost::InitInfo info{0, nullptr, nullptr, dir.c_str()};
  api.InitVDPPlugin(&info);
  const vdphost::ScreenCapture noScreen("");
  vdphost::SceneBus bus(api, noScreen, [](const std::string&) {});
  bus.outputDirectory = dir;
  play(bus, frames);
  api.DeInitPlugin();
  if (vdphost::FinishRecording(0) != 0) return false;
  bytes = std::filesystem::file_size(path);
  return true;
}

// The cost a host sees per recorded call while the disk keeps up: 10 million records fit
// in the ring, so the emulation thread never waits for the drain thread.
void BM_TraceWriterAccess(benchmark::State& state) {
  const std::string dir = TempDirectory();
  vdptrace::TraceWriter writer(1u << 27);
  std::string error;
  if (!writer.Open((dir + "/w.vdptrace").c_str(), "bench", dir.c_str(), error)) {
    state.SkipWithError(error.c_str());
    return;
  }
  // 0: consecutive VRAM words; 1: scattered addresses and values.
  const bool scattered = state.range(0) == 1;
  uint32_t address = 0, value = 0x8000;
  for (auto _ : state) {
    writer.Access(Call::WriteWordVDP2VRAM, address, value);
    address += scattered ? 0x12346 : 2;
    value += scattered ? 0x3B1 : 1;
  }
  writer.Close();
  state.counters["file_bytes_per_record"] =
      static_cast<double>(writer.bytesWritten()) / static_cast<double>(state.iterations());
  std::filesystem::remove_all(dir);
}
BENCHMARK(BM_TraceWriterAccess)->Arg(0)->Arg(1)->Iterations(10000000);

void BM_TraceBytesPerFrame(benchmark::State& state) {
  const bool demo = state.range(0) == 0;
  const uint32_t frames = demo ? kDemoFrames : 100;
  const std::string dir = TempDirectory();
  uint64_t bytes = 0;
  for (auto _ : state)
    if (!Record(dir, demo ? "demo" : "vram", demo ? DemoLoop : VramHeavy, frames, bytes))
      state.SkipWithError("could not record");
  state.counters["bytes_per_frame"] = static_cast<double>(bytes) / frames;
  if (demo) {
    state.counters["MB_per_1000_frames"] = static_cast<double>(bytes) * 1000 / frames / (1 << 20);
    if (bytes * 1000 / frames > kDemoLimit) state.SkipWithError("over 20 MB for 1,000 frames");
  }
  std::filesystem::remove_all(dir);
}
BENCHMARK(BM_TraceBytesPerFrame)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond);

// The 1,000-frame demo trace replayed through the library's exports, no pictures saved.
void BM_ReplayDemoTrace(benchmark::State& state) {
  const std::string dir = TempDirectory();
  uint64_t bytes = 0;
  vdphost::PluginApi api{};
  std::string error;
  if (!Record(dir, "demo", DemoLoop, kDemoFrames, bytes) ||
      !vdphost::LoadPlugin(VDP_PLUGIN_LIBRARY, api, error)) {
    state.SkipWithError("could not record the demo trace");
    return;
  }
  uint64_t frames = 0;
  for (auto _ : state) {
    vdptrace::TraceReader reader;
    vdptrace::Record record;
    if (!reader.OpenFile(dir + "/demo.vdptrace")) state.SkipWithError(reader.error().c_str());
    vdphost::TraceReplayer replayer(api, vdphost::InitInfo{0, nullptr, nullptr, dir.c_str()});
    while (reader.Next(record)) replayer.Apply(record);
    replayer.Finish();
    frames += replayer.frames();
  }
  state.counters["frames_per_second"] =
      benchmark::Counter(static_cast<double>(frames), benchmark::Counter::kIsRate);
  std::filesystem::remove_all(dir);
}
BENCHMARK(BM_ReplayDemoTrace)->Iterations(2)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
