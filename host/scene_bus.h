// What scenes and traces do to the plugin: console writes, blanking, captures.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "plugin_api.h"
#include "screen_capture.h"

namespace vdphost {

class SceneBus {
 public:
  SceneBus(PluginApi& api, const ScreenCapture& screen,
           std::function<void(const std::string&)> capture)
      : api_(api), screen_(screen), capture_(std::move(capture)) {}

  PluginApi& api() { return api_; }
  void Vdp1Words(uint32_t address, std::initializer_list<uint16_t> words);
  void Vdp2Words(uint32_t address, std::initializer_list<uint16_t> words);
  void CramWords(uint32_t address, std::initializer_list<uint16_t> words);
  // One frame: 224 lines of horizontal blanking, then vertical blanking.
  void Frame();
  // V-blank in and out: the frame is drawn, then afterFrame is called.
  void Vblank();
  void Capture(const std::string& name) { capture_(name); }
  // The presented texel at (x, y) of the picture; false when nothing was presented.
  bool PresentedPixel(int x, int y, uint32_t& texel) const;
  // The whole presented picture; false when nothing was presented.
  bool Presented(std::vector<uint32_t>& texels, int& width, int& height) const {
    return screen_.Read(texels, width, height);
  }

  // Where scenes write pictures of their own (the animated demo's contact sheet), how
  // many frames of the animated demo to play (0: all of them), and whether the plugin
  // started with its dot-by-dot renderer (the demo names its pictures after it).
  std::string outputDirectory = ".";
  int demoFrames = 0;
  bool dotByDot = false;
  std::function<void()> afterFrame;

 private:
  PluginApi& api_;
  const ScreenCapture& screen_;
  std::function<void(const std::string&)> capture_;
};

// Built-in scenes: name, and a function that plays it.
struct DemoScene {
  const char* name;
  const char* description;
  void (*play)(SceneBus& bus);
};
extern const DemoScene kDemoScenes[];
extern const int kDemoSceneCount;

// The animated demo (demo_animated.cpp), the scene played when none is named.
void PlayAnimatedDemo(SceneBus& bus);

// Plays a recorded trace (see trace_player.cpp for the format). False on a bad line,
// with the line number and reason in error.
bool PlayTrace(const std::string& path, SceneBus& bus, std::string& error);

}  // namespace vdphost
