// The real DLL under a player who cannot stop clicking: the animated demo plays through
// the exports while another thread picks menu items, toggles fullscreen, clears caches and
// opens the setup dialog at random moments; then a stop, and a hundred starts and stops.
// A watchdog ends the run if the host thread stops returning.
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <thread>

#include "check.h"
#include "plugin_host.h"
#include "scene_bus.h"

using namespace host;

namespace {

// Items a player can pick: filters, antialiasing, disables, sizes, fullscreen, caches, and
// the dot-by-dot renderer.
constexpr int kItems[] = {107, 108, 109, 117, 119, 120, 150, 143, 116, 124, 125, 126, 127,
                          128, 129, 111, 112, 137, 149, 138, 139, 140, 121, 151, 135, 152};
// Those whose marks the settings file keeps.
constexpr int kSavedFlags[] = {119, 150, 120, 107, 109, 108};
constexpr const char* kSavedKeys[] = {"Polygons antialiasing",    "Polylines antialiasing",
                                      "Lines antialiasing",       "Normal sprites filtering",
                                      "Scaled sprites filtering", "Distorted sprites filtering"};

std::atomic<int> frames{0};

// Ends the process when no frame has returned for 30 s.
void StartWatchdog() {
  std::thread([] {
    for (int seen = -1, still = 0;; Sleep(100)) {
      still = frames == seen ? still + 1 : 0;
      seen = frames;
      if (still < 300) continue;
      std::printf("    FAILED: the host thread has not returned for 30 s (frame %d)\n", seen);
      ExitProcess(3);
    }
  }).detach();
}

void DemoUnderRandomMenuCommands() {
  const int baseline = ThreadCountOfThisProcess();
  vdphost::PluginApi api{};
  std::string error;
  REQUIRE(vdphost::LoadPlugin("VDP_dll.dll", api, error), "the demo's view of the DLL: %s",
          error.c_str());
  Session session("stress");
  REQUIRE(session.Start(), "InitVDPPlugin returns true");
  std::atomic<bool> playing{true};
  std::thread player([&] {
    for (uint32_t random = 2024; playing;) {
      random = random * 1103515245 + 12345;
      const uint32_t pick = (random >> 16) % (std::size(kItems) + 2);
      if (pick < std::size(kItems))
        PostMessageA(DisplayWindow(), WM_COMMAND, kItems[pick], 0);
      else if (pick == std::size(kItems))
        PostMessageA(DisplayWindow(), WM_SYSKEYDOWN, VK_RETURN, 0x20000000);  // Alt+Enter
      else if (SetupDialogs().empty())
        plugin.SetupPlugin();  // from the host's other thread, as an emulator's menu does
      else
        PostMessageA(SetupDialogs()[0], WM_CLOSE, 0, 0);
      Sleep(1 + (random >> 24) % 40);
    }
  });
  const vdphost::ScreenCapture noScreen("");
  vdphost::SceneBus bus(api, noScreen, [](const std::string&) {});
  // The demo's frames through a counting stand-in, so that the watchdog sees them.
  static decltype(api.VDPOnVblankOut) vblankOut = api.VDPOnVblankOut;
  api.VDPOnVblankOut = [] {
    vblankOut();
    ++frames;
  };
  while (frames < 1000) vdphost::PlayAnimatedDemo(bus);
  playing = false;
  player.join();
  for (HWND dialog : SetupDialogs()) PostMessageA(dialog, WM_CLOSE, 0, 0);
  // The last choices as the menu shows them once everything posted has run.
  bool settled = false;
  for (int tries = 0; tries < 500 && !settled; ++tries) {
    plugin.VDPOnVblankOut();
    settled = DisplayWindow() != nullptr && Settle(DisplayWindow());
  }
  REQUIRE(settled, "a render window serving its messages after the burst");
  std::string expected;
  for (size_t i = 0; i < std::size(kSavedFlags); ++i)
    expected += std::string(kSavedKeys[i]) + "=" +
                (IsItemChecked(DisplayWindow(), kSavedFlags[i]) ? "1" : "0") + "; ";
  const struct {
    int item, width;
  } kSizes[] = {{137, 320}, {149, 400}, {138, 640}, {139, 800}, {140, 1024}};
  expected += std::string("[RENDERER]; dot by dot=") +
              (IsItemChecked(DisplayWindow(), 152) ? "1" : "0") + "; threads=2; ";
  for (const auto& size : kSizes)
    if (IsItemChecked(DisplayWindow(), size.item))
      expected += "[OPENGL]; rendering width=" + std::to_string(size.width) + ";";
  session.Stop();
  std::printf("    %d frames of the demo; saved: %s\n", frames.load(), expected.c_str());
  CHECK(session.Settings().find(expected) != std::string::npos,
        "the settings file holds the last choices %s, holds %s", expected.c_str(),
        session.Settings().c_str());
  CHECK(WindowsOfClass("display").empty() && SetupDialogs().empty(),
        "no render window or dialog left after the stop");
  CHECK(WaitUntil([&] { return ThreadCountOfThisProcess() <= baseline; }),
        "threads: %d before, %d after the stop", baseline, ThreadCountOfThisProcess());
}

// A host frame of a busy game: 224 H-blank pairs, then the V-blank, at about 60 a second.
void PacedFrame() {
  for (int line = 0; line < 224; ++line) {
    plugin.VDPOnHblankIn();
    plugin.VDPOnHblankOut();
  }
  plugin.VDPOnVblankIn();
  plugin.VDPOnVblankOut();
  ++frames;
  Sleep(16);
}

// A cell plane and 96 polygons drawn every frame.
void WriteBusyScene() {
  plugin.WriteWordVDP2Regs(0x00, 0x8000);  // TVMD: display on, 320 x 224
  plugin.WriteWordVDP2Regs(0x20, 0x0001);  // BGON: NBG0
  plugin.WriteWordVDP2Regs(0xF8, 0x0003);  // PRINA: NBG0 priority 3
  plugin.WriteWordVDP1Regs(0x04, 2);       // PTMR: draw at each frame change
  for (uint32_t i = 0; i < 96; ++i) {
    const uint32_t c = i * 0x20;
    const int16_t x = static_cast<int16_t>((i % 12) * 26), y = static_cast<int16_t>((i / 12) * 28);
    const uint16_t colour = static_cast<uint16_t>(0x8000 | (i * 331));
    const uint16_t words[] = {0x0004,
                              0,
                              0,
                              colour,
                              0,
                              0,
                              static_cast<uint16_t>(x),
                              static_cast<uint16_t>(y),
                              static_cast<uint16_t>(x + 20),
                              static_cast<uint16_t>(y),
                              static_cast<uint16_t>(x + 20),
                              static_cast<uint16_t>(y + 20),
                              static_cast<uint16_t>(x),
                              static_cast<uint16_t>(y + 20)};
    for (uint32_t w = 0; w < std::size(words); ++w) plugin.WriteWordVDP1VRAM(c + 2 * w, words[w]);
  }
  plugin.WriteWordVDP1VRAM(96 * 0x20, 0x8000);  // end of the table
}

// Alt+Enter held for a moment while a game runs (the key repeats every 16 to 50 ms) where
// every fullscreen switch is refused, then a size chosen from the menu of the window on
// screen once it has stood still: the size is in use and saved. A window being replaced
// stays on screen while its thread closes the refused-mode box, for seconds under Wine.
void SizeChosenAfterAToggleBurstIsKept() {
  const struct {
    int toggleMs, steadyFrames, item, width;
  } kRounds[] = {{33, 30, 138, 640}, {50, 30, 139, 800}, {16, 20, 140, 1024}, {33, 5, 138, 640}};
  for (const auto& round : kRounds) {
    Session session("burst");
    REQUIRE(session.Start(), "InitVDPPlugin returns true");
    WriteBusyScene();
    std::atomic<bool> holding{true};
    std::thread key([&] {
      for (; holding; Sleep(round.toggleMs))
        if (HWND window = DisplayWindow()) PostMessageA(window, WM_COMMAND, 121, 0);
    });
    for (int f = 0; f < 100; ++f) PacedFrame();
    holding = false;
    key.join();
    HWND shown = nullptr;
    for (int still = 0, f = 0; still < round.steadyFrames && f < 2000; ++f) {
      PacedFrame();
      const HWND now = DisplayWindow();
      still = now != nullptr && now == shown && IsWindowVisible(now) ? still + 1 : 0;
      shown = now;
    }
    REQUIRE(shown != nullptr, "a render window stands after the burst");
    SendMessageA(shown, WM_COMMAND, round.item, 0);
    for (int f = 0; f < 10; ++f) PacedFrame();
    session.Stop();
    const std::string saved = "rendering width=" + std::to_string(round.width) + ";";
    CHECK(session.Settings().find(saved) != std::string::npos,
          "toggles every %d ms, then %d steady frames and item %d: the settings file holds "
          "%s, holds %s",
          round.toggleMs, round.steadyFrames, round.item, saved.c_str(),
          session.Settings().c_str());
  }
}

void HundredStartsAndStopsLeaveNothingBehind() {
  int baseline = 0;
  for (int cycle = 0; cycle <= 100; ++cycle) {
    // The system starts helper threads of its own at the first start: count from the next.
    if (cycle == 1) baseline = ThreadCountOfThisProcess();
    Session session("cycles");
    REQUIRE(session.Start() && DisplayWindow() != nullptr, "start %d makes a window", cycle);
    plugin.VDPOnVblankOut();
    ++frames;
    session.Stop();
    REQUIRE(WindowsOfClass("display").empty(), "stop %d leaves no \"display\" window", cycle);
  }
  CHECK(WaitUntil([&] { return ThreadCountOfThisProcess() <= baseline; }),
        "threads: %d after the first cycle, %d after the 100 others", baseline,
        ThreadCountOfThisProcess());
}

const check::Case kCases[] = {
    CASE(DemoUnderRandomMenuCommands),
    CASE(SizeChosenAfterAToggleBurstIsKept),
    CASE(HundredStartsAndStopsLeaveNothingBehind),
};

}  // namespace

int main(int argc, char** argv) {
  setvbuf(stdout, nullptr, _IONBF, 0);
  if (!LoadPlugin()) return 1;
  StartAnsweringBoxes();
  StartWatchdog();
  return check::RunAll(kCases, argc > 1 ? argv[1] : nullptr);
}
