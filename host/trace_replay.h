// vdphost --play: a binary trace replayed through the plugin's exports.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "plugin_api.h"
#include "screen_capture.h"
#include "trace_reader.h"

namespace vdphost {

// A recorded read (or InitVDPPlugin result) that came out differently on replay.
struct ReadMismatch {
  uint64_t offset;  // of the record in the trace
  uint32_t frame;   // frames completed before it
  vdptrace::Call call;
  uint32_t address, recorded, replayed;
};

// Makes the calls of a trace's records. It starts the plugin with its own start record
// (the host's settings directory, not the recorded one) when the trace does, or before a
// first call that needs it, and stops it at DeInitPlugin or at Finish. SetupPlugin and
// DisplayPluginInfo are not made: a dialog and a message box draw nothing.
class TraceReplayer {
 public:
  TraceReplayer(PluginApi& api, InitInfo info) : api_(api), info_(info) {}
  void Apply(const vdptrace::Record& record);
  void Finish();

  uint32_t frames() const { return frames_; }
  uint64_t mismatches() const { return mismatches_; }
  const std::vector<ReadMismatch>& firstMismatches() const { return first_; }

 private:
  void Start();
  void Compare(const vdptrace::Record& record, uint32_t replayed);

  PluginApi& api_;
  InitInfo info_;
  bool running_ = false;
  uint32_t frames_ = 0;
  uint64_t mismatches_ = 0;
  std::vector<ReadMismatch> first_;
};

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
};

// Takes --play, --record, --every and --range with their value from argv at i (moving i
// past the value). False when argv[i] is none of them; bad values end the program.
bool TakeTraceOption(int argc, char** argv, int& i, PlayOptions& play, std::string& record);

// Checks the whole trace, then replays it, writing the selected frames as
// frame_NNNNNN.png into outDir. Gives the exit status.
int PlayBinaryTrace(PluginApi& api, const PlayOptions& options, StatusCallback status);

}  // namespace vdphost
