// vdphost: a stand-in emulator host. Loads a plugin by its exports, plays demo scenes
// or recorded traces through them, and writes what the plugin presented as PNG files.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "plugin_api.h"
#include "png_writer.h"
#include "scene_bus.h"

namespace {

void VDPHOST_CDECL PrintStatus(const char* text, uint32_t colour) {
  std::printf("plugin: %s (colour %06X)\n", text, colour);
}

void Usage() {
  std::printf(
      "usage: vdphost --plugin <library> [--out <dir>] [--scene <name>]... [--trace <file>]...\n"
      "  With neither --scene nor --trace, every demo scene is played.\n"
      "  --settings <dir>  directory of VDP_plugin.ini (default: the output directory)\n"
      "  --list            list the demo scenes\n");
}

}  // namespace

int main(int argc, char** argv) {
  std::string pluginPath, outDir = ".", settingsDir;
  std::vector<std::string> scenes, traces;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--plugin" && hasValue)
      pluginPath = argv[++i];
    else if (arg == "--out" && hasValue)
      outDir = argv[++i];
    else if (arg == "--settings" && hasValue)
      settingsDir = argv[++i];
    else if (arg == "--scene" && hasValue)
      scenes.push_back(argv[++i]);
    else if (arg == "--trace" && hasValue)
      traces.push_back(argv[++i]);
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
  const vdphost::ScreenCapture screen(outDir);

  vdphost::PluginApi api{};
  std::string error;
  if (!vdphost::LoadPlugin(pluginPath, api, error)) {
    std::fprintf(stderr, "vdphost: %s\n", error.c_str());
    return 1;
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
  if (scenes.empty() && traces.empty())
    for (int s = 0; s < vdphost::kDemoSceneCount; ++s)
      scenes.push_back(vdphost::kDemoScenes[s].name);
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
  return failures == 0 ? 0 : 1;
}
