// vdphost: a stand-in emulator host. Loads a plugin by its exports, plays demo scenes
// or recorded traces through them, and writes what the plugin presented as PNG files.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "plugin_api.h"
#include "png_writer.h"
#include "render_compare.h"
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
      "  --range A-B       save frames A to B only (also A- for A onwards, A for one frame)\n"
      "usage: vdphost --plugin <library> --compare [--tolerance N] [--every N] [--range A-B]\n"
      "               [--out <dir>] [--scene <name>]... [--trace <file>]... [--play <file>]\n"
      "  Plays the input with the OpenGL renderer, then again dot by dot (settings in\n"
      "  <dir>/opengl and <dir>/dots), and compares the frames --every and --range select\n"
      "  (frames count from 0 over the whole input; scenes and text traces are each\n"
      "  followed by 3 unchanged frames, so that still scenes settle dot by dot too). For\n"
      "  each: the share of dots differing by more than N in a channel (default 24), and\n"
      "  compare_NNNNNN.png, the dot-by-dot picture darkened with those dots in magenta.\n"
      "  Compared at the dot-by-dot picture's size, the OpenGL picture sampled at the\n"
      "  nearest corresponding dot when its window is scaled. Ends with the mean and worst.\n");
}

// What one run plays: scenes and text traces, or a binary trace.
struct Inputs {
  std::vector<std::string> scenes, traces;
  int demoFrames = 0;
  vdphost::PlayOptions play;
};

// Starts the plugin with the settings in settingsDir, plays the inputs, stops it; calls
// afterFrame (when set) after every frame with its number. Gives the exit status.
int PlayInputs(vdphost::PluginApi& api, Inputs inputs, const std::string& outDir,
               const std::string& settingsDir, const vdphost::ScreenCapture& screen,
               const std::function<void(uint32_t)>& afterFrame, int settleFrames) {
  if (!inputs.play.trace.empty()) {
    inputs.play.outDir = outDir;
    inputs.play.settingsDir = settingsDir;
    inputs.play.screen = &screen;
    inputs.play.afterFrame = afterFrame;
    return vdphost::PlayBinaryTrace(api, inputs.play, PrintStatus);
  }
  vdphost::InitInfo info{0, PrintStatus, nullptr, settingsDir.c_str()};
  if (!api.InitVDPPlugin(&info)) {
    std::fprintf(stderr, "vdphost: the plugin did not start\n");
    api.DeInitPlugin();
    return 1;
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
  uint32_t frame = 0;
  if (afterFrame) bus.afterFrame = [&] { afterFrame(frame++); };
  bus.outputDirectory = outDir;
  bus.dotByDot = vdphost::ReadsDotByDot(settingsDir);
  bus.demoFrames = inputs.demoFrames;
  if (inputs.scenes.empty() && inputs.traces.empty()) inputs.scenes.push_back("demo");
  for (const std::string& name : inputs.scenes) {
    bool found = false;
    for (int s = 0; s < vdphost::kDemoSceneCount && !found; ++s) {
      if (name != vdphost::kDemoScenes[s].name) continue;
      found = true;
      api.Reset();
      vdphost::kDemoScenes[s].play(bus);
      for (int i = 0; i < settleFrames; ++i) bus.Frame();
    }
    if (!found) {
      std::fprintf(stderr, "vdphost: no scene %s (try --list)\n", name.c_str());
      ++failures;
    }
  }
  for (const std::string& trace : inputs.traces) {
    std::string error;
    if (!vdphost::PlayTrace(trace, bus, error)) {
      std::fprintf(stderr, "vdphost: %s\n", error.c_str());
      ++failures;
    }
    for (int i = 0; i < settleFrames; ++i) bus.Frame();
  }
  api.DeInitPlugin();
  return failures == 0 ? 0 : 1;
}

// The same inputs with each renderer, the OpenGL pass's selected pictures kept
// compressed in a file until the dot-by-dot pass reaches their frame.
int Compare(vdphost::PluginApi& api, const Inputs& inputs, const std::string& outDir,
            const vdphost::ScreenCapture& screen, int tolerance) {
  vdphost::ReferenceFrames reference(outDir + "/opengl/frames.zraw");
  vdphost::CompareReport report(outDir, tolerance);
  vdphost::Picture picture, opengl;
  int failures = 0;
  for (const bool dots : {false, true}) {
    const std::string dir = outDir + (dots ? "/dots" : "/opengl");
    std::error_code ignored;
    std::filesystem::create_directories(dir, ignored);
    if (!vdphost::WriteRendererSetting(dir, dots) ||
        !(dots ? reference.StartReading() : reference.StartWriting())) {
      std::fprintf(stderr, "vdphost: cannot write in %s\n", dir.c_str());
      return 1;
    }
    std::printf("compare: playing with the %s renderer, settings in %s\n",
                dots ? "dot-by-dot" : "OpenGL", dir.c_str());
    std::fflush(stdout);
    const auto afterFrame = [&](uint32_t frame) {
      if (!inputs.play.frames.Saves(frame)) return;
      if (!screen.Read(picture.texels, picture.width, picture.height)) {
        std::fprintf(stderr, "vdphost: nothing presented for frame %u\n", frame);
        ++failures;
      } else if (!dots) {
        failures += !reference.Write(frame, picture);
      } else if (!reference.Find(frame, opengl)) {
        std::fprintf(stderr, "vdphost: no OpenGL picture of frame %u\n", frame);
        ++failures;
      } else {
        report.Add(frame, opengl, picture);
      }
    };
    failures += PlayInputs(api, inputs, dir, dir, screen, afterFrame, 3);
  }
  return report.Finish() > 0 && failures == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  std::string pluginPath, outDir = ".", settingsDir, renderer;
  Inputs inputs;
  std::string recordPath;
  bool compare = false;
  int tolerance = 24;
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
      inputs.scenes.push_back(argv[++i]);
    else if (arg == "--trace" && hasValue)
      inputs.traces.push_back(argv[++i]);
    else if (arg == "--frames" && hasValue)
      inputs.demoFrames = std::atoi(argv[++i]);
    else if (arg == "--compare")
      compare = true;
    else if (arg == "--tolerance" && hasValue)
      tolerance = std::atoi(argv[++i]);
    else if (vdphost::TakeTraceOption(argc, argv, i, inputs.play, recordPath))
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
  // A comparison picks the renderer and settings of each pass itself.
  if (pluginPath.empty() ||
      (compare && (!settingsDir.empty() || !renderer.empty() || !recordPath.empty()))) {
    Usage();
    return 2;
  }
  if (settingsDir.empty()) settingsDir = outDir;
  {
    // Pictures and settings go into folders that may not exist yet.
    std::error_code ignored;
    std::filesystem::create_directories(outDir, ignored);
    std::filesystem::create_directories(settingsDir, ignored);
  }
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
  if (compare) return Compare(api, inputs, outDir, screen, tolerance);
  if (!recordPath.empty() &&
      !vdphost::StartRecording(api, recordPath, pluginPath, settingsDir, error)) {
    std::fprintf(stderr, "vdphost: %s\n", error.c_str());
    return 1;
  }
  return vdphost::FinishRecording(PlayInputs(api, inputs, outDir, settingsDir, screen, {}, 0));
}
