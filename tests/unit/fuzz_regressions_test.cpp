// Every trace under tests/fuzz/regressions once crashed or hung the plugin, or upset a
// sanitizer, in the fuzz target: each replays, within the fuzz target's bounds, through a
// freshly started plugin that must survive it and stop cleanly.
#include <filesystem>

#include "plugin_fixture.h"
#include "static_plugin_api.h"
#include "trace_replayer.h"

class FuzzRegressions : public vdptest::PluginTest {};

TEST_F(FuzzRegressions, EveryFoundInputReplaysHarmlessly) {
  vdphost::PluginApi api = vdptest::StaticPluginApi();
  std::error_code missing;
  for (const auto& entry : std::filesystem::directory_iterator(VDP_FUZZ_REGRESSIONS, missing)) {
    SCOPED_TRACE(entry.path().filename().string());
    vdptrace::TraceReader reader;
    if (reader.OpenFile(entry.path().string())) {
      vdphost::TraceReplayer replayer(api, {}, false);
      vdphost::ReplayRecords(reader, replayer, vdphost::kFuzzInputLimits);
    }
    Stop();
    ASSERT_TRUE(Start());
  }
}
