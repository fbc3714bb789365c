// A binary trace's records made as calls of the plugin's exports: the one replay loop of
// vdphost --play, the fuzz target and the regression test.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "plugin_api.h"
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
// A replayer that does not own the plugin finds it running and hands it back running at
// Finish: a stop record stops it, so that the calls after it meet a stopped plugin, and
// the next start record (or Finish) starts it again with the replayer's start record.
class TraceReplayer {
 public:
  TraceReplayer(PluginApi& api, InitInfo info, bool ownsPlugin = true)
      : api_(api), info_(info), owns_(ownsPlugin), running_(!ownsPlugin) {}
  void Apply(const vdptrace::Record& record);
  void Finish();

  uint32_t frames() const { return frames_; }
  uint32_t drawnFrames() const { return drawn_; }  // VDPOnVblankOut calls made
  uint64_t mismatches() const { return mismatches_; }
  const std::vector<ReadMismatch>& firstMismatches() const { return first_; }

 private:
  void Start();
  void Compare(const vdptrace::Record& record, uint32_t replayed);

  PluginApi& api_;
  InitInfo info_;
  bool owns_;
  bool running_;
  bool stopped_ = false;  // a borrowed plugin stopped by the trace
  uint32_t frames_ = 0, drawn_ = 0;
  uint64_t mismatches_ = 0;
  std::vector<ReadMismatch> first_;
};

// Bounds on one replay: records applied and frames drawn.
struct ReplayLimits {
  uint64_t records = UINT64_MAX;
  uint32_t drawnFrames = UINT32_MAX;
};

// One fuzz input's bounds: a frame with a sprite or plane of the largest size takes tens
// of milliseconds on llvmpipe under the sanitizers, so eight keep an input under a second.
inline constexpr ReplayLimits kFuzzInputLimits{1u << 18, 8};

// Applies the reader's records until the end, a bad record or a limit, calling afterFrame
// after each frame mark. False when it stopped at a limit.
bool ReplayRecords(vdptrace::TraceReader& reader, TraceReplayer& replayer,
                   const ReplayLimits& limits = {},
                   const std::function<void(const vdptrace::Record&)>& afterFrame = {});

}  // namespace vdphost
