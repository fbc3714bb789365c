#include "trace_replay.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "png_writer.h"
#include "scene_bus.h"

namespace vdphost {

namespace {

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
  ReplayRecords(reader, replayer, {}, [&](const vdptrace::Record& mark) {
    if (options.afterFrame) {
      options.afterFrame(mark.value);
    } else if (options.frames.Saves(mark.value)) {
      std::vector<uint32_t> texels;
      int width = 0, height = 0;
      char name[32];
      std::snprintf(name, sizeof(name), "/frame_%06u.png", mark.value);
      if (options.screen->Read(texels, width, height) &&
          WritePng(options.outDir + name, texels.data(), width, height)) {
        ++saved;
      } else {
        std::fprintf(stderr, "vdphost: nothing presented for frame %u\n", mark.value);
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
  });
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
