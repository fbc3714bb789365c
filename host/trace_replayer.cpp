#include "trace_replayer.h"

#include <cstdio>

namespace vdphost {

namespace {

using vdptrace::Call;

// The accessors by call number: a write returns the value written, a read its result.
using Accessor = uint32_t (*)(PluginApi&, uint32_t address, uint32_t value);
#define VDPHOST_WRITE(name) \
  [](PluginApi& p, uint32_t a, uint32_t v) -> uint32_t { return p.name(a, v), v; }
#define VDPHOST_READ(name) [](PluginApi& p, uint32_t a, uint32_t) -> uint32_t { return p.name(a); }
const Accessor kAccessors[vdptrace::kAccessorCount] = {
    VDPHOST_WRITE(WriteWordVDP1Regs),        VDPHOST_READ(ReadWordVDP1Regs),
    VDPHOST_WRITE(WriteByteVDP1VRAM),        VDPHOST_WRITE(WriteWordVDP1VRAM),
    VDPHOST_WRITE(WriteLongVDP1VRAM),        VDPHOST_READ(ReadByteVDP1VRAM),
    VDPHOST_READ(ReadWordVDP1VRAM),          VDPHOST_READ(ReadLongVDP1VRAM),
    VDPHOST_WRITE(WriteByteVDP1FrameBuffer), VDPHOST_WRITE(WriteWordVDP1FrameBuffer),
    VDPHOST_WRITE(WriteLongVDP1FrameBuffer), VDPHOST_READ(ReadByteVDP1FrameBuffer),
    VDPHOST_READ(ReadWordVDP1FrameBuffer),   VDPHOST_READ(ReadLongVDP1FrameBuffer),
    VDPHOST_WRITE(WriteWordVDP2Regs),        VDPHOST_WRITE(WriteLongVDP2Regs),
    VDPHOST_READ(ReadWordVDP2Regs),          VDPHOST_READ(ReadLongVDP2Regs),
    VDPHOST_WRITE(WriteByteVDP2VRAM),        VDPHOST_WRITE(WriteWordVDP2VRAM),
    VDPHOST_WRITE(WriteLongVDP2VRAM),        VDPHOST_READ(ReadByteVDP2VRAM),
    VDPHOST_READ(ReadWordVDP2VRAM),          VDPHOST_READ(ReadLongVDP2VRAM),
    VDPHOST_WRITE(WriteWordVDP2CRAM),        VDPHOST_WRITE(WriteLongVDP2CRAM),
    VDPHOST_READ(ReadWordVDP2CRAM),          VDPHOST_READ(ReadLongVDP2CRAM),
};
#undef VDPHOST_WRITE
#undef VDPHOST_READ

constexpr size_t kMismatchesShown = 5;

}  // namespace

void TraceReplayer::Start() {
  if (running_) return;
  const bool result = api_.InitVDPPlugin(&info_);
  running_ = true;  // the host calls DeInitPlugin even after a failed start
  if (!result) std::fprintf(stderr, "vdphost: the plugin did not start\n");
}

void TraceReplayer::Compare(const vdptrace::Record& record, uint32_t replayed) {
  if (replayed == record.value) return;
  ++mismatches_;
  if (first_.size() < kMismatchesShown)
    first_.push_back({record.offset, frames_, record.call, record.address, record.value, replayed});
}

void TraceReplayer::Apply(const vdptrace::Record& record) {
  const int call = static_cast<int>(record.call);
  if (vdptrace::IsAccessor(record.call)) {
    Start();
    const uint32_t result =
        kAccessors[call - vdptrace::kFirstAccessor](api_, record.address, record.value);
    if (vdptrace::Info(record.call).read) Compare(record, result);
    return;
  }
  switch (record.call) {
    case Call::InitVDPPlugin:
      if (stopped_) {  // a borrowed plugin that the trace stopped starts again
        stopped_ = false;
        api_.InitVDPPlugin(&info_);
        return;
      }
      if (running_) return;  // already started for calls that came first
      running_ = true;
      Compare(record, api_.InitVDPPlugin(&info_) ? 1 : 0);
      return;
    case Call::DeInitPlugin:
      if (!owns_ && !stopped_) {
        // The calls that follow meet a stopped plugin, as a careless host's would.
        stopped_ = true;
        api_.DeInitPlugin();
        return;
      }
      Finish();
      return;
    case Call::SetupPlugin:
    case Call::DisplayPluginInfo:
      return;
    case Call::FrameMark:
      ++frames_;
      return;
    default:
      break;
  }
  Start();
  if (record.call == Call::Reset) api_.Reset();
  if (record.call == Call::VDPOnVblankIn) api_.VDPOnVblankIn();
  if (record.call == Call::VDPOnVblankOut) ++drawn_, api_.VDPOnVblankOut();
  if (record.call == Call::VDPOnHblankIn) api_.VDPOnHblankIn();
  if (record.call == Call::VDPOnHblankOut) api_.VDPOnHblankOut();
}

void TraceReplayer::Finish() {
  if (running_ && owns_) api_.DeInitPlugin();
  if (stopped_) api_.InitVDPPlugin(&info_);  // a borrowed plugin is handed back running
  stopped_ = false;
  running_ = !owns_;
}

bool ReplayRecords(vdptrace::TraceReader& reader, TraceReplayer& replayer,
                   const ReplayLimits& limits,
                   const std::function<void(const vdptrace::Record&)>& afterFrame) {
  vdptrace::Record record;
  for (uint64_t applied = 0; reader.Next(record); ++applied) {
    if (applied >= limits.records ||
        (record.call == Call::VDPOnVblankOut && replayer.drawnFrames() >= limits.drawnFrames))
      return false;
    replayer.Apply(record);
    if (record.call == Call::FrameMark && afterFrame) afterFrame(record);
  }
  return true;
}

}  // namespace vdphost
