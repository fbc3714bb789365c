// Every trace under tests/fuzz/regressions once crashed or hung the plugin, or upset a
// sanitizer, in the fuzz target; the hand-made seeds of tests/fuzz/corpus are hostile too
// (command tables that loop, the largest sprites, modes that do not exist). Each replays,
// within the fuzz target's bounds and in each renderer, through a freshly started plugin
// that must survive it and stop cleanly.
#include <filesystem>

#include "common/switches.h"
#include "plugin_fixture.h"
#include "static_plugin_api.h"
#include "trace_replayer.h"

class FuzzRegressions : public vdptest::PluginTest {};

TEST_F(FuzzRegressions, EveryFoundInputReplaysHarmlessly) {
  vdphost::PluginApi api = vdptest::StaticPluginApi();
  std::error_code missing;
  for (const char* inputs : {VDP_FUZZ_DIR "/regressions", VDP_FUZZ_DIR "/corpus"})
    for (const auto& entry : std::filesystem::directory_iterator(inputs, missing))
      for (const uint8_t dots : {0, 1}) {  // each renderer
        SCOPED_TRACE(entry.path().filename().string() + (dots ? " dot by dot" : " OpenGL"));
        plugin::switches->dotByDot = dots;
        vdptrace::TraceReader reader;
        if (reader.OpenFile(entry.path().string())) {
          vdphost::TraceReplayer replayer(
              api, {0, vdptest::RecordStatusLine, nullptr, dir.path().c_str()}, false);
          vdphost::ReplayRecords(reader, replayer, vdphost::kFuzzInputLimits);
          replayer.Finish();
        }
        Stop();
        ASSERT_TRUE(Start());
      }
}
