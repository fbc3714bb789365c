// vdphost: a stand-in emulator host. Loads a plugin by its exports, plays demo scenes
// or recorded traces through them, and writes what the plugin presented as PNG files.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "plugin_api.h"
#include "png_writer.h"
#include "renderer_setting.h"
#include "scene_bus.h"
#include "trace_recorder.h"
#include "trace_replay.h"

namespace {

void VDPHOST_CDECL PrintStatus(const char* text, uint32_t colour) {
  std::printf("plugin: %s (colour %06X)\n", text, colour);
}

void Usage() {
  std::printf(
      "usage: vdphost --plugin <library> [--out <dir>] [--scene <name>]... [--trace <file>]...\n"
      "  With neither --scene nor --trace, the animated demo is played.\n"
      "  --frames <n>      play only the first n frames of the animated demo\n"
      "  --settings <dir>  directory of VDP_plugin.ini (default: the output directory)\n"
      "  --renderer dots|gl  start the plugin with its dot-by-dot (accurate) or OpenGL\n"
      "                    renderer: written to VDP_plugin.ini first (also with --play;\n"
      "                    without it, the file's setting or the plugin's default holds)\n"
      "  --list            list the demo scenes\n"
      "  --record <file>   also write every call made to the plugin as a binary trace\n"
      "usage: vdphost --plugin <library> --play <file> [--out <dir>] [--every N] [--range A-B]\n"
      "  Replays a binary trace; writes frame_NNNNNN.png (frames count from 0) into <dir>.\n"
      "  --every N         save every Nth frame of the range, from its first (default 1;\n"
      "                    0 saves none)\n"
      "  --range A-B       save frames A to B only (also A- for A onwards, A for one frame)\n");
}

}  // namespace

int main(int argc, char** argv) {
  std::string pluginPath, outDir = ".", settingsDir, renderer;
  int demoFrames = 0;
  std::vector<std::string> scenes, traces;
  vdphost::PlayOptions play;
  std::string recordPath;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--plugin" && hasValue)
      pluginPath = argv[++i];
    else if (arg == "--out" && hasValue)
      outDir = argv[++i];
    else if (arg == "--settings" && hasValue)
      settingsDir = argv[++i];
    else if (arg == "--renderer" && hasValue &&
             (argv[i + 1] == std::string("dots") || argv[i + 1] == std::string("gl")))
      renderer = argv[++i];
    else if (arg == "--scene" && hasValue)
      scenes.push_back(argv[++i]);
    else if (arg == "--trace" && hasValue)
      traces.push_back(argv[++i]);
    else if (arg == "--frames" && hasValue)
      demoFrames = std::atoi(argv[++i]);
    else if (vdphost::TakeTraceOption(argc, argv, i, play, recordPath))
      continue;
    else if (arg == "--list") {
      for (int s = 0; s < vdphost::kDemoSceneCount; ++s)
        std::printf("%-14s %s\n", vdphost::kDemoScenes[s].name,
                    vdphost::kDemoScenes[s].description);
      return 0;
    } else {
      Usage();
      return 2;
    }
  }
  if (pluginPath.empty()) {
    Usage();
    return 2;
  }
  if (settingsDir.empty()) settingsDir = outDir;
  if (!renderer.empty() && !vdphost::WriteRendererSetting(settingsDir, renderer == "dots")) {
    std::fprintf(stderr, "vdphost: cannot write %s/VDP_plugin.ini\n", settingsDir.c_str());
    return 1;
  }
  const vdphost::ScreenCapture screen(outDir);

  vdphost::PluginApi api{};
  std::string error;
  if (!vdphost::LoadPlugin(pluginPath, api, error)) {
    std::fprintf(stderr, "vdphost: %s\n", error.c_str());
    return 1;
  }
  if (!recordPath.empty() &&
      !vdphost::StartRecording(api, recordPath, pluginPath, settingsDir, error)) {
    std::fprintf(stderr, "vdphost: %s\n", error.c_str());
    return 1;
  }
  if (!play.trace.empty()) {
    play.outDir = outDir;
    play.settingsDir = settingsDir;
    play.screen = &screen;
    const int status = vdphost::PlayBinaryTrace(api, play, PrintStatus);
    return vdphost::FinishRecording(status);
  }
  vdphost::InitInfo info{0, PrintStatus, nullptr, settingsDir.c_str()};
  if (!api.InitVDPPlugin(&info)) {
    std::fprintf(stderr, "vdphost: the plugin did not start\n");
    api.DeInitPlugin();
    return vdphost::FinishRecording(1);
  }
  int failures = 0;
  vdphost::SceneBus bus(api, screen, [&](const std::string& name) {
    std::vector<uint32_t> texels;
    int width = 0, height = 0;
    const std::string png = outDir + "/" + name + ".png";
    if (screen.Read(texels, width, height) &&
        vdphost::WritePng(png, texels.data(), width, height)) {
      std::printf("wrote %s (%dx%d)\n", png.c_str(), width, height);
    } else {
      std::fprintf(stderr, "vdphost: nothing presented for %s\n", name.c_str());
      ++failures;
    }
  });
  bus.outputDirectory = outDir;
  bus.dotByDot = vdphost::ReadsDotByDot(settingsDir);
  bus.demoFrames = demoFrames;
  if (scenes.empty() && traces.empty()) scenes.push_back("demo");
  for (const std::string& name : scenes) {
    bool found = false;
    for (int s = 0; s < vdphost::kDemoSceneCount && !found; ++s) {
      if (name != vdphost::kDemoScenes[s].name) continue;
      found = true;
      api.Reset();
      vdphost::kDemoScenes[s].play(bus);
    }
    if (!found) {
      std::fprintf(stderr, "vdphost: no scene %s (try --list)\n", name.c_str());
      ++failures;
    }
  }
  for (const std::string& trace : traces) {
    if (!vdphost::PlayTrace(trace, bus, error)) {
      std::fprintf(stderr, "vdphost: %s\n", error.c_str());
      ++failures;
    }
  }
  api.DeInitPlugin();
  return vdphost::FinishRecording(failures == 0 ? 0 : 1);
}
