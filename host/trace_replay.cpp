#include "trace_replay.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "png_writer.h"
#include "scene_bus.h"

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

bool ParseCount(const char* text, uint32_t& value) {
  char* end = nullptr;
  const unsigned long v = std::strtoul(text, &end, 10);
  value = static_cast<uint32_t>(v);
  return end != text && v <= UINT32_MAX && (*end == '\0' || *end == '-');
}

// "A-B", "A-" or "A": frames A to B, A onwards, A alone.
bool ParseRange(const char* text, FrameSelection& selection) {
  if (!ParseCount(text, selection.first)) return false;
  const char* dash = std::strchr(text, '-');
  if (dash == nullptr) {
    selection.last = selection.first;
    return true;
  }
  if (dash[1] == '\0') {
    selection.last = UINT32_MAX;
    return true;
  }
  return ParseCount(dash + 1, selection.last) && std::strchr(dash + 1, '-') == nullptr &&
         selection.last >= selection.first;
}

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

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
      if (running_) return;  // already started for calls that came first
      running_ = true;
      Compare(record, api_.InitVDPPlugin(&info_) ? 1 : 0);
      return;
    case Call::DeInitPlugin:
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
  if (record.call == Call::VDPOnVblankOut) api_.VDPOnVblankOut();
  if (record.call == Call::VDPOnHblankIn) api_.VDPOnHblankIn();
  if (record.call == Call::VDPOnHblankOut) api_.VDPOnHblankOut();
}

void TraceReplayer::Finish() {
  if (running_) api_.DeInitPlugin();
  running_ = false;
}

bool TakeTraceOption(int argc, char** argv, int& i, PlayOptions& play, std::string& record) {
  const std::string arg = argv[i];
  if (arg != "--play" && arg != "--record" && arg != "--every" && arg != "--range") return false;
  const char* value = i + 1 < argc ? argv[++i] : nullptr;
  bool good = value != nullptr;
  if (good && arg == "--play") play.trace = value;
  if (good && arg == "--record") record = value;
  if (good && arg == "--every")
    good = ParseCount(value, play.frames.every) && !std::strchr(value, '-');
  if (good && arg == "--range") good = ParseRange(value, play.frames);
  if (!good) {
    std::fprintf(stderr, "vdphost: %s needs %s\n", arg.c_str(),
                 arg == "--every"   ? "a number (0: no frames)"
                 : arg == "--range" ? "a frame range: FIRST-LAST, FIRST- or FIRST"
                                    : "a file");
    std::exit(2);
  }
  return true;
}

int PlayBinaryTrace(PluginApi& api, const PlayOptions& options, StatusCallback status) {
  vdptrace::TraceReader reader;
  vdptrace::Record record;
  // The whole file is checked before the plugin sees any of it.
  bool good = reader.OpenFile(options.trace);
  while (good && reader.Next(record)) {
  }
  if (!good || !reader.error().empty()) {
    std::fprintf(stderr, "vdphost: %s: %s\n", options.trace.c_str(), reader.error().c_str());
    return 1;
  }
  const uint32_t total = reader.frames();
  std::printf("%s: %u frames recorded from %s\n", options.trace.c_str(), total,
              reader.pluginName().c_str());
  if (!reader.Rewind()) return 1;

  TraceReplayer replayer(api, InitInfo{0, status, nullptr, options.settingsDir.c_str()});
  const auto start = std::chrono::steady_clock::now();
  double lastReport = 0;
  int saved = 0, failures = 0;
  while (reader.Next(record)) {
    replayer.Apply(record);
    if (record.call != Call::FrameMark) continue;
    if (options.frames.Saves(record.value)) {
      std::vector<uint32_t> texels;
      int width = 0, height = 0;
      char name[32];
      std::snprintf(name, sizeof(name), "/frame_%06u.png", record.value);
      if (options.screen->Read(texels, width, height) &&
          WritePng(options.outDir + name, texels.data(), width, height)) {
        ++saved;
      } else {
        std::fprintf(stderr, "vdphost: nothing presented for frame %u\n", record.value);
        ++failures;
      }
    }
    const double elapsed = Seconds(start);
    if (elapsed - lastReport >= 1.0) {
      lastReport = elapsed;
      std::printf("frame %u of %u, %.1f frames per second\n", replayer.frames(), total,
                  replayer.frames() / elapsed);
      std::fflush(stdout);
    }
  }
  replayer.Finish();
  const double elapsed = Seconds(start);
  std::printf("replayed %u frames in %.2f s (%.1f frames per second); %d PNG files in %s\n",
              replayer.frames(), elapsed, elapsed > 0 ? replayer.frames() / elapsed : 0.0, saved,
              options.outDir.c_str());
  std::printf("%llu recorded reads returned a different value on replay\n",
              static_cast<unsigned long long>(replayer.mismatches()));
  for (const ReadMismatch& m : replayer.firstMismatches())
    std::printf("  byte %llu, frame %u: %s(0x%X) recorded 0x%X, replayed 0x%X\n",
                static_cast<unsigned long long>(m.offset), m.frame, vdptrace::Info(m.call).name,
                m.address, m.recorded, m.replayed);
  return failures == 0 ? 0 : 1;
}

}  // namespace vdphost
