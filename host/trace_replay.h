// vdphost --play: a binary trace replayed through the plugin's exports.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "plugin_api.h"
#include "screen_capture.h"
#include "trace_replayer.h"

namespace vdphost {

// Which frames --play writes as PNG files.
struct FrameSelection {
  uint32_t every = 1;  // every Nth frame of the range, counted from its first; 0: none
  uint32_t first = 0, last = UINT32_MAX;
  bool Saves(uint32_t frame) const {
    return every != 0 && frame >= first && frame <= last && (frame - first) % every == 0;
  }
};

struct PlayOptions {
  std::string trace, outDir, settingsDir;
  const ScreenCapture* screen = nullptr;
  FrameSelection frames;
  // When set, called after every frame instead of writing the selected frames.
  std::function<void(uint32_t frame)> afterFrame;
};

// Takes --play, --record, --every and --range with their value from argv at i (moving i
// past the value). False when argv[i] is none of them; bad values end the program.
bool TakeTraceOption(int argc, char** argv, int& i, PlayOptions& play, std::string& record);

// Checks the whole trace, then replays it, writing the selected frames as
// frame_NNNNNN.png into outDir. Gives the exit status.
int PlayBinaryTrace(PluginApi& api, const PlayOptions& options, StatusCallback status);

}  // namespace vdphost
