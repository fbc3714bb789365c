// The plugin started for a benchmark: a private settings directory, VDP1 in one-cycle
// mode drawing at every frame change, stopped and cleaned up at the end.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <string>

#include "common/settings_path.h"
#include "plugin/plugin_api.h"

class BenchPlugin {
 public:
  BenchPlugin() {
    char pattern[] = "/tmp/vdpbench-XXXXXX";
    const char* made = mkdtemp(pattern);
    directory_ = made != nullptr ? made : "/tmp";
    WriteThreads(directory_.c_str());
    info_ = PluginInitInfo{0, nullptr, nullptr, directory_.c_str()};
    running_ = InitVDPPlugin(&info_);
    if (!running_) return;
    WriteWordVDP1Regs(0x00, 0);  // TVMR
    WriteWordVDP1Regs(0x02, 0);  // FBCR: one-cycle mode
    WriteWordVDP1Regs(0x04, 2);  // PTMR: draw at every frame change
  }
  ~BenchPlugin() {
    if (running_) DeInitPlugin();
    std::error_code ignored;
    if (directory_ != "/tmp") std::filesystem::remove_all(directory_, ignored);
  }
  BenchPlugin(const BenchPlugin&) = delete;
  BenchPlugin& operator=(const BenchPlugin&) = delete;

  bool running() const { return running_; }
  // Threads that compose a frame drawn dot by dot (the settings file's [RENDERER]
  // threads); 0 leaves the plugin's default.
  static inline int dotThreads = 0;
  static void WriteThreads(const char* directory) {
    char path[vdp::kSettingsPathSize];
    if (dotThreads > 0 && vdp::BuildSettingsPath(path, directory))
      vdp::WriteSetting(path, "RENDERER", "threads", dotThreads);
  }
  static void Frame() {
    VDPOnVblankIn();
    VDPOnVblankOut();
  }

 private:
  std::string directory_;
  PluginInitInfo info_{};
  bool running_ = false;
};
