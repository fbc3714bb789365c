// libFuzzer target: an input is a binary trace, replayed through the plugin's exports over
// the headless platform and a real Mesa context, so that the trace reader and everything
// the plugin does with host traffic (registers, command tables, sprites, planes) is fuzzed.
#include <stdlib.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>

#include "common/switches.h"
#include "plugin/dot_frames.h"
#include "plugin/plugin_globals.h"
#include "static_plugin_api.h"
#include "trace_replayer.h"
#include "vdp1/vdp1_core.h"
#include "vdp2/vdp2_core.h"

namespace {

vdphost::PluginApi api = vdptest::StaticPluginApi();

void VDP_CDECL IgnoreStatus(const char*, uint32_t) {}

// What an input wrote stays in memories and registers, which Reset keeps: cleared, so that
// every input starts from the same state and a crash replays from its file alone.
void ClearState() {
  for (uint32_t a = 0; a < vdp1reg::kCount * 2; a += 2) api.WriteWordVDP1Regs(a, 0);
  for (uint32_t a = 0; a < sizeof(plugin::vdp2->registers); a += 2) api.WriteWordVDP2Regs(a, 0);
  for (uint32_t a = 0; a < sizeof(plugin::vdp2->cram); a += 4) api.WriteLongVDP2CRAM(a, 0);
  plugin::vdp1->vram.Clear();
  plugin::vdp2->vram.Clear();
  plugin::ResetDotRenderer();
  api.Reset();  // every cache entry is stale after the memories changed behind it
}

char settingsDir[] = "/tmp/vdp-fuzz-XXXXXX";
vdphost::InitInfo info{};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // A settings directory per process (a long run makes one per job), gone at its end.
  info = {0, IgnoreStatus, nullptr, mkdtemp(settingsDir) ? settingsDir : "/tmp"};
  if (info.directory == settingsDir) std::atexit([] { std::filesystem::remove_all(settingsDir); });
  // Started once per process, not per input: a start costs a window thread and a GL
  // context, which would spend the run on paths the lifecycle tests cover instead of on
  // traffic. An input's own stop record does stop it, so that the calls after it meet a
  // stopped plugin; its next start record, or the end of the input, starts it again.
  if (!api.InitVDPPlugin(&info)) std::fprintf(stderr, "trace_fuzzer: the plugin did not start\n");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vdptrace::TraceReader reader;
  if (!reader.OpenMemory(data, size)) return 0;
  // Inputs of odd length are drawn by the dot-by-dot renderer, the others by OpenGL: both
  // see every kind of traffic, and an input replays in the renderer it ran in.
  if (plugin::switches != nullptr) plugin::switches->dotByDot = size & 1;
  vdphost::TraceReplayer replayer(api, info, false);
  vdphost::ReplayRecords(reader, replayer, vdphost::kFuzzInputLimits);
  replayer.Finish();
  if (plugin::vdp1 != nullptr) ClearState();
  return 0;
}
