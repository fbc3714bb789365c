// The plugin DLL as a host sees it under Windows: loaded by name, driven through its
// exports on the test's main thread (the host's emulation thread), and looked at through
// the windows, menus, message boxes, settings file and screen pixels it leaves.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "check.h"
#include "plugin_host.h"
#include "version.h"

using namespace host;

namespace {

// Menu items: 107-109 filtering of normal, distorted and scaled sprites, 117 their
// all/none, 119 polygon and 120 line antialiasing, 121 toggle fullscreen, 129 disable NBG0,
// 137 320*240, 140 1024*768.

// Starts the session; its render window, or null.
HWND StartWithWindow(Session& session) { return session.Start() ? DisplayWindow() : nullptr; }

std::string CheckedItems(HWND window) {
  std::string list;
  for (int id = 100; id <= 160; ++id)
    if (IsItemChecked(window, id)) list += std::to_string(id) + " ";
  return list.empty() ? "none" : list;
}

bool PostCommandAndWait(HWND window, int id, bool checked) {
  PostMessageA(window, WM_COMMAND, id, 0);
  return WaitUntil([&] { return IsItemChecked(window, id) == checked; });
}

bool IsWindowedDisplay(HWND window) {
  const LONG style = GetWindowLongA(window, GWL_STYLE);
  return (style & WS_POPUP) == 0 && (style & WS_SYSMENU) != 0;
}

// Whether the settings file text holds this "key=value" line.
bool Holds(const std::string& settings, const std::string& line) {
  return settings.find("; " + line + "; ") != std::string::npos;
}

// Escape pressed as the window thread sees it: that thread reads the keyboard state when
// the key message arrives, so the state is shared with it and held down until done().
template <typename F>
bool PressEscape(HWND window, F done) {
  const DWORD windowThread = GetWindowThreadProcessId(window, nullptr);
  AttachThreadInput(GetCurrentThreadId(), windowThread, TRUE);
  BYTE keys[256] = {};
  keys[VK_ESCAPE] = 0x80;
  SetKeyboardState(keys);
  PostMessageA(window, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
  const bool ok = WaitUntil(done);
  keys[VK_ESCAPE] = 0;
  SetKeyboardState(keys);
  AttachThreadInput(GetCurrentThreadId(), windowThread, FALSE);
  return ok;
}

void AboutBoxIsModalAndNeedsNoStart() {
  const auto boxes = BoxesDuring([] { plugin.DisplayPluginInfo(); });
  REQUIRE(boxes.size() == 1, "one message box shown, saw %zu", boxes.size());
  CHECK(boxes[0].caption == "About" && boxes[0].text == "OpenGL VDP plugin Ver 1.0.1",
        "the about box, saw \"%s\": \"%s\"", boxes[0].caption.c_str(), boxes[0].text.c_str());
  CHECK(boxes[0].duringCall, "DisplayPluginInfo returned before its box was answered");
}

void FirstStartReportsShowsTheWindowAndWritesDefaults() {
  Session session("first_run");
  REQUIRE(session.Start(), "InitVDPPlugin returns true");
  CHECK(session.statusLines() ==
            "VDP OpenGL plugin: initialisation OK! (32FF32); VDP1 core v1.1 (E6C8A0); "
            "VDP2 core v1.1 (E6C8A0); ",
        "the 3 status lines in order, saw %s", session.statusLines().c_str());
  const char* defaults =
      "[VDP1]; Polygons antialiasing=0; Polylines antialiasing=0; Lines antialiasing=0; "
      "Normal sprites filtering=0; Scaled sprites filtering=0; Distorted sprites filtering=0; "
      "[RENDERER]; dot by dot=0; threads=2; [OPENGL]; rendering width=320; rendering height=240; ";
  CHECK(session.Settings() == defaults, "defaults written at start, file holds: %s",
        session.Settings().c_str());
  const auto windows = WindowsOfClass("display");
  REQUIRE(windows.size() == 1, "one window of class \"display\", saw %zu", windows.size());
  const HWND window = windows[0];
  CHECK(WindowText(window) == "OpenGL display", "title before the first frame, saw \"%s\"",
        WindowText(window).c_str());
  CHECK(IsWindowVisible(window) && IsWindowedDisplay(window),
        "a shown window with a border and a system menu, style 0x%08lX",
        GetWindowLongA(window, GWL_STYLE));
  CHECK(GetWindowThreadProcessId(window, nullptr) != GetCurrentThreadId(),
        "the window runs on a thread of its own, not the host's");
  REQUIRE(Settle(window), "the window thread serves its messages");
  CHECK(CheckedItems(window) == "137 ", "only 320*240 checked at start, saw %s",
        CheckedItems(window).c_str());
  plugin.VDPOnVblankOut();
  session.Stop();
  CHECK(session.Settings() == defaults, "the same values saved at stop, file holds: %s",
        session.Settings().c_str());
}

void StoredSettingsAreReadAndSavedBack() {
  Session session("stored",
                  "[VDP1]\r\nNormal sprites filtering=7\r\nLines antialiasing=0\r\n"
                  "[OPENGL]\r\nrendering width=1152\r\nrendering height=864\r\n");
  const HWND window = StartWithWindow(session);
  // The window is published before its thread attaches and marks the menu it keeps.
  REQUIRE(window != nullptr && Settle(window), "a render window serving its messages");
  CHECK(IsItemChecked(window, 107) && !IsItemChecked(window, 120),
        "the stored flags shown in the menu, checked: %s", CheckedItems(window).c_str());
  plugin.VDPOnVblankOut();
  session.Stop();
  const std::string saved = session.Settings();
  CHECK(Holds(saved, "Normal sprites filtering=1") && Holds(saved, "rendering width=1152") &&
            Holds(saved, "rendering height=864"),
        "7 saved back as 1, the size kept; file holds: %s", saved.c_str());
}

// A red polygon at (20,20)-(140,100) and a white 16 x 16 RGB sprite at (200, 40), drawn
// by VDP1 at every frame.
void WritePolygonAndSprite() {
  plugin.WriteWordVDP1Regs(0x02, 0x0000);  // FBCR: one-cycle mode
  plugin.WriteWordVDP1Regs(0x04, 0x0002);  // PTMR: draw at every frame change
  const uint16_t table[] = {
      // polygon, red, corners (20,20) (140,20) (140,100) (20,100)
      0x0004, 0, 0x0000, 0x801F, 0, 0, 20, 20, 140, 20, 140, 100, 20, 100, 0, 0,
      // normal sprite, RGB colours, 16 x 16 texture at 0x10000, at (200, 40)
      0x0000, 0, 0x0028, 0, 0x10000 / 8, 0x0210, 200, 40, 0, 0, 0, 0, 0, 0, 0, 0, 0x8000};
  for (uint32_t i = 0; i < sizeof(table) / sizeof(table[0]); ++i)
    plugin.WriteWordVDP1VRAM(2 * i, table[i]);
  for (uint32_t i = 0; i < 16 * 16; ++i) plugin.WriteWordVDP1VRAM(0x10000 + 2 * i, 0xFFFF);
}

// A red polygon and a white RGB sprite drawn by VDP1, read back from the screen.
void PolygonAndSpriteReachTheScreen() {
  Session session("vdp1_frame");
  const HWND window = StartWithWindow(session);
  REQUIRE(window != nullptr, "a start with a render window");
  WritePolygonAndSprite();
  for (int frame = 0; frame < 3; ++frame) plugin.VDPOnVblankOut();
  CHECK(WindowText(window) == "Rendering Window: 320X240", "title after a frame, saw \"%s\"",
        WindowText(window).c_str());
  RECT client = {};
  GetClientRect(window, &client);
  const int top = client.bottom - 240;  // the 320 x 240 picture sits at the lower left
  const HDC screen = GetDC(nullptr);
  struct Probe {
    const char* what;
    int x, y;
    COLORREF expected;
  } probes[] = {{"polygon", 80, 60, RGB(255, 0, 0)},
                {"sprite", 208, 48, RGB(248, 248, 248)},
                {"erased background", 300, 200, RGB(0, 0, 0)}};
  auto seen = [&](const Probe& p) {
    POINT at = {p.x, top + p.y};
    ClientToScreen(window, &at);
    return GetPixel(screen, at.x, at.y);
  };
  auto matches = [](COLORREF c, COLORREF e) {
    const int dr = GetRValue(c) - GetRValue(e), dg = GetGValue(c) - GetGValue(e),
              db = GetBValue(c) - GetBValue(e);
    return dr * dr + dg * dg + db * db <= 3 * 8 * 8;
  };
  // The X server shows a swap a moment later, and none before the window is mapped: draw
  // on until the picture shows (a busy machine takes longer).
  WaitUntil([&] {
    plugin.VDPOnVblankOut();
    for (const Probe& p : probes)
      if (!matches(seen(p), p.expected)) return false;
    return true;
  });
  for (const Probe& p : probes)
    CHECK(matches(seen(p), p.expected), "%s at (%d,%d): expected 0x%06lX, saw 0x%06lX", p.what, p.x,
          p.y, p.expected, seen(p));
  ReleaseDC(nullptr, screen);
}

void MenuCommandsToggleCheckMarks() {
  Session session("menu");
  const HWND window = StartWithWindow(session);
  REQUIRE(window != nullptr, "a start with a render window");
  CHECK(PostCommandAndWait(window, 129, true), "\"Disable NBG0\" checks its item");
  CHECK(PostCommandAndWait(window, 129, false), "\"Disable NBG0\" again unchecks it");
  // "all/none": with any of its items checked it clears all, with none it checks all.
  auto shows = [&](const char* checked) {
    return WaitUntil([&] { return CheckedItems(window) == checked; });
  };
  PostCommandAndWait(window, 108, true);
  PostMessageA(window, WM_COMMAND, 117, 0);
  CHECK(shows("137 "), "all/none with one checked clears it: %s", CheckedItems(window).c_str());
  PostMessageA(window, WM_COMMAND, 117, 0);
  CHECK(shows("107 108 109 137 "), "all/none with none checked checks all: %s",
        CheckedItems(window).c_str());
  // The whole wParam is the identifier: a notification code in its high half is no command.
  PostMessageA(window, WM_COMMAND, MAKEWPARAM(121, 1), 0);
  Settle(window);
  plugin.VDPOnVblankOut();
  CHECK(DisplayWindow() == window && IsWindowedDisplay(window),
        "no fullscreen toggle from a command word with a notification code");
  PostCommandAndWait(window, 119, true);
  session.Stop();
  const std::string saved = session.Settings();
  CHECK(Holds(saved, "Polygons antialiasing=1") && Holds(saved, "Normal sprites filtering=1"),
        "flags chosen in the menu saved, file holds: %s", saved.c_str());
}

void ResolutionItemResizesAtTheNextFrame() {
  Session session("resolution");
  const HWND window = StartWithWindow(session);
  REQUIRE(window != nullptr, "a start with a render window");
  plugin.VDPOnVblankOut();
  const std::string titleBefore = WindowText(window);
  REQUIRE(PostCommandAndWait(window, 140, true), "1024*768 checked when chosen");
  CHECK(CheckedItems(window) == "140 ", "only 1024*768 checked, saw %s",
        CheckedItems(window).c_str());
  CHECK(WindowText(window) == titleBefore, "no change before the next frame, title \"%s\"",
        WindowText(window).c_str());
  plugin.VDPOnVblankOut();
  CHECK(WindowText(window) == "Rendering Window: 320X240X3.20=1024X768",
        "title after the next frame, saw \"%s\"", WindowText(window).c_str());
  // The window fitting rule: the picture adjusted for style 0x80023 with a menu, 44 taller.
  RECT fitted = {0, 0, 1024, 768}, outer = {};
  AdjustWindowRect(&fitted, 0x80023, TRUE);
  GetWindowRect(window, &outer);
  CHECK(outer.right - outer.left == fitted.right && outer.bottom - outer.top == fitted.bottom + 44,
        "window %ldx%ld, saw %ldx%ld", fitted.right, fitted.bottom + 44, outer.right - outer.left,
        outer.bottom - outer.top);
  session.Stop();
  const std::string saved = session.Settings();
  CHECK(Holds(saved, "rendering width=1024") && Holds(saved, "rendering height=768"),
        "the chosen size saved, file holds: %s", saved.c_str());
}

void KeysLeaveTheWindowAndAltEnterTogglesFullscreen() {
  Session session("keys");
  const HWND windowed = StartWithWindow(session);
  REQUIRE(windowed != nullptr, "a start with a render window");
  plugin.VDPOnVblankOut();
  PostMessageA(windowed, WM_CLOSE, 0, 0);
  PostMessageA(windowed, WM_SYSKEYDOWN, VK_F4, 0x20000000);  // Alt+F4
  PostMessageA(windowed, WM_SYSCOMMAND, SC_CLOSE, 0);        // the close box
  CHECK(PressEscape(windowed, [&] { return Settle(windowed); }), "the window serves messages");
  CHECK(IsWindowVisible(windowed), "close box, Alt+F4 and WM_CLOSE leave the window");
  CHECK(GetMenu(windowed) != nullptr, "Escape in windowed mode keeps the menu");
  plugin.VDPOnVblankOut();
  CHECK(DisplayWindow() == windowed, "nothing restarted at the next frame");
  // Pressed three ways before one frame: one toggle.
  PostMessageA(windowed, WM_SYSKEYDOWN, VK_RETURN, 0x20000000);
  PostMessageA(windowed, WM_SYSKEYDOWN, VK_RETURN, 0x20000000);
  PostMessageA(windowed, WM_COMMAND, 121, 0);
  CHECK(Settle(windowed), "the window thread serves its messages");
  CHECK(DisplayWindow() == windowed && IsWindowedDisplay(windowed),
        "nothing switched before the next frame");
  // The new window's thread asks the screen mode first; a refused switch shows a box.
  const auto boxes = BoxesDuring([&] {
    plugin.VDPOnVblankOut();
    WaitUntil([&] { return DisplayWindow() != nullptr && DisplayWindow() != windowed; });
  });
  std::printf("    screen mode switch to 320x240: %s\n", boxes.empty() ? "done" : "refused");
  for (const Box& box : boxes)
    CHECK(box.caption == "Error" && box.text == "Unable to switch to fullscreen mode",
          "only the mode switch warning, saw \"%s\": \"%s\"", box.caption.c_str(),
          box.text.c_str());
  const HWND full = DisplayWindow();
  REQUIRE(full != nullptr && full != windowed, "a new render window after the toggle");
  RECT outer = {};
  GetWindowRect(full, &outer);
  CHECK((GetWindowLongA(full, GWL_STYLE) & WS_POPUP) != 0 &&
            (GetWindowLongA(full, GWL_EXSTYLE) & WS_EX_APPWINDOW) != 0 &&
            outer.right - outer.left == 320 && outer.bottom - outer.top == 240,
        "a 320x240 popup application window");
  CHECK(PressEscape(full, [&] { return GetMenu(full) == nullptr; }), "Escape removes the menu");
  CHECK(PressEscape(full, [&] { return GetMenu(full) != nullptr; }), "Escape brings it back");
  plugin.VDPOnVblankOut();
  CHECK(DisplayWindow() == full, "one toggle only: still fullscreen a frame later");
  PostMessageA(full, WM_SYSKEYDOWN, VK_RETURN, 0x20000000);
  CHECK(Settle(full), "the fullscreen window serves its messages");
  plugin.VDPOnVblankOut();
  const HWND back = DisplayWindow();
  REQUIRE(back != nullptr && back != full, "Alt+Enter again: a new window");
  CHECK(IsWindowedDisplay(back), "windowed again, style 0x%08lX", GetWindowLongA(back, GWL_STYLE));
  CHECK(Settle(back) && CheckedItems(back) == "137 ", "the fresh menu shows the size, saw %s",
        CheckedItems(back).c_str());
  CHECK(WindowsOfClass("display").size() == 1, "no window left behind by the toggles");
}

// Each row writes through one export and reads back through another.
// clang-format off
#define ROUND_TRIP(write, address, value, read, readAddress, expected) \
  {#write " then " #read, [] { plugin.write(address, value); },          \
   [] { return static_cast<uint32_t>(plugin.read(readAddress)); }, expected}
// clang-format on

void RegistersAndMemoriesRoundTrip() {
  Session session("memories");
  REQUIRE(session.Start(), "InitVDPPlugin returns true");
  const struct {
    const char* what;
    void (*write)();
    uint32_t (*read)();
    uint32_t expected;
  } trips[] = {
      ROUND_TRIP(WriteLongVDP1VRAM, 0x100, 0x11223344, ReadByteVDP1VRAM, 0x100, 0x11),
      ROUND_TRIP(WriteWordVDP1VRAM, 0x200, 0xABCD, ReadLongVDP1VRAM, 0x200, 0xABCD0000),
      ROUND_TRIP(WriteByteVDP1VRAM, 0x301, 0x5A, ReadWordVDP1VRAM, 0x300, 0x005A),
      ROUND_TRIP(WriteLongVDP1VRAM, 0x80010, 0xCAFEBABE, ReadLongVDP1VRAM, 0x10, 0xCAFEBABE),
      ROUND_TRIP(WriteLongVDP1FrameBuffer, 0x40, 0xFFFFFFFF, ReadLongVDP1FrameBuffer, 0x40, 0),
      ROUND_TRIP(WriteWordVDP1Regs, 0x00, 0, ReadWordVDP1Regs, 0x16, 0x1000),  // MODR
      ROUND_TRIP(WriteLongVDP2VRAM, 0x1000, 0x01020304, ReadByteVDP2VRAM, 0x1002, 0x03),
      ROUND_TRIP(WriteWordVDP2VRAM, 0x2002, 0xBEEF, ReadLongVDP2VRAM, 0x2000, 0x0000BEEF),
      ROUND_TRIP(WriteByteVDP2VRAM, 0x3000, 0x77, ReadWordVDP2VRAM, 0x3000, 0x7700),
      ROUND_TRIP(WriteWordVDP2CRAM, 0x20, 0x7FFF, ReadWordVDP2CRAM, 0x20, 0x7FFF),
      ROUND_TRIP(WriteLongVDP2CRAM, 0x40, 0x12345678, ReadLongVDP2CRAM, 0x40, 0x12345678),
      ROUND_TRIP(WriteWordVDP2Regs, 0x20, 0x0013, ReadWordVDP2Regs, 0x20, 0x0013),  // BGON
      ROUND_TRIP(WriteLongVDP2Regs, 0x28, 0x12343210, ReadLongVDP2Regs, 0x28, 0x12343210),
  };
  for (const auto& t : trips) {
    t.write();
    const uint32_t value = t.read();
    CHECK(value == t.expected, "%s: 0x%X, saw 0x%X", t.what, t.expected, value);
  }
  const Plugin& p = plugin;
  const HWND window = DisplayWindow();
  p.Reset();
  CHECK(p.ReadLongVDP1VRAM(0x100) == 0x11223344 && p.ReadLongVDP2CRAM(0x40) == 0x12345678 &&
            DisplayWindow() == window,
        "VRAM, CRAM and the window kept by Reset");
  p.VDPOnVblankIn();
  p.VDPOnHblankIn();
  p.VDPOnHblankOut();
  CHECK((p.ReadWordVDP2Regs(0x04) & 0x8) != 0, "TVSTAT reports V-blank");
}

void SetupDialogOpensOnceAndAgainAfterClose() {
  const HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSA hostClass = {0, DefWindowProcA, 0, 0, instance, {}, {}, {}, {}, "Kalvrine 2"};
  RegisterClassA(&hostClass);
  const HWND hostWindow = CreateWindowExA(0, "Kalvrine 2", "Kalvrine", WS_OVERLAPPEDWINDOW, 0, 0,
                                          200, 100, nullptr, nullptr, instance, nullptr);
  REQUIRE(hostWindow != nullptr, "the test's host window");
  Session session("setup");
  REQUIRE(session.Start(), "InitVDPPlugin returns true");
  for (int opening = 0; opening < 2; ++opening) {
    plugin.SetupPlugin();
    plugin.SetupPlugin();
    const auto dialogs = SetupDialogs();
    REQUIRE(dialogs.size() == 1, "opening %d: one \"Scroll screens modes\" dialog, saw %zu",
            opening, dialogs.size());
    CHECK(IsWindowVisible(dialogs[0]), "opening %d: the dialog is shown", opening);
    CHECK(GetWindow(dialogs[0], GW_OWNER) == hostWindow,
          "opening %d: owned by the host's \"Kalvrine 2\" window", opening);
    SendMessageA(dialogs[0], WM_CLOSE, 0, 0);
    CHECK(!IsWindow(dialogs[0]), "opening %d: WM_CLOSE destroys the dialog", opening);
  }
  DestroyWindow(hostWindow);
}

// A held Alt+Enter or an impatient player: fullscreen toggles and resolution items posted
// every few milliseconds while the host draws. Frames keep coming, the window is there
// once the burst is over, and a stop leaves nothing behind. A watchdog ends the run if
// the host thread stops returning.
void BurstsOfTogglesAndResolutionsNeverStopTheHost() {
  const int baseline = ThreadCountOfThisProcess();
  Session session("bursts");
  REQUIRE(StartWithWindow(session) != nullptr, "a start with a render window");
  WritePolygonAndSprite();
  std::atomic<int> frames{0};
  std::atomic<bool> posting{true}, done{false};
  std::thread watchdog([&] {
    for (int seen = -1, still = 0; !done; Sleep(100)) {
      still = frames == seen ? still + 1 : 0;
      seen = frames;
      if (still < 200) continue;
      std::printf("    FAILED: no frame returned for 20 s (after %d frames)\n", seen);
      ExitProcess(3);
    }
  });
  std::thread poster([&] {
    const int kItems[] = {121, 121, 137, 149, 138, 139, 140, 141, 142};
    for (uint32_t random = 12345; posting;) {
      random = random * 1103515245 + 12345;
      const HWND window = DisplayWindow();
      const uint32_t pick = (random >> 16) % 10;
      if (pick == 9)
        PostMessageA(window, WM_SYSKEYDOWN, VK_RETURN, 0x20000000);  // Alt+Enter
      else
        PostMessageA(window, WM_COMMAND, kItems[pick], 0);
      Sleep(1 + (random >> 24) % 10);
    }
  });
  DWORD slowest = 0;
  for (const DWORD start = GetTickCount(); GetTickCount() - start < 4000; ++frames) {
    const DWORD before = GetTickCount();
    plugin.VDPOnVblankOut();
    slowest = std::max(slowest, GetTickCount() - before);
    Sleep(1);
  }
  posting = false;
  poster.join();
  std::printf("    %d frames in 4 s of bursts, the slowest %lu ms\n", frames.load(), slowest);
  CHECK(frames >= 100, "frames kept coming, saw %d", frames.load());
  // A window thread still closing the refused-mode box holds the new window back a while.
  CHECK(WaitUntil([&] {
          plugin.VDPOnVblankOut();
          return WindowsOfClass("display").size() == 1 && IsWindowVisible(DisplayWindow());
        }),
        "one render window once the burst is over, saw %zu", WindowsOfClass("display").size());
  session.Stop();
  done = true;
  watchdog.join();
  CHECK(WindowsOfClass("display").empty(), "no render window left after the stop");
  CHECK(WaitUntil([&] { return ThreadCountOfThisProcess() <= baseline; }),
        "threads: %d before the start, %d after the stop", baseline, ThreadCountOfThisProcess());
}

// The file's properties as Windows shows them: the release, what it is and whose.
void VersionResourceNamesTheRelease() {
  char path[MAX_PATH] = {};
  DWORD unused = 0;
  GetModuleFileNameA(plugin.module, path, MAX_PATH);
  std::vector<char> info(GetFileVersionInfoSizeA(path, &unused));
  REQUIRE(!info.empty() && GetFileVersionInfoA(path, 0, info.size(), info.data()),
          "a version resource in %s", path);
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT size = 0;
  REQUIRE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &size), "numbers");
  CHECK(fixed->dwFileVersionMS == (VDP_VERSION_MAJOR << 16 | VDP_VERSION_MINOR) &&
            fixed->dwProductVersionLS == VDP_VERSION_PATCH << 16,
        "file and product version %s", VDP_VERSION_TEXT);
  for (const char* key : {"FileVersion", "FileDescription", "LegalCopyright"}) {
    char* value = nullptr;
    const std::string query = std::string("\\StringFileInfo\\000004B0\\") + key;
    const bool found =
        VerQueryValueA(info.data(), query.c_str(), reinterpret_cast<void**>(&value), &size);
    const std::string text = found ? value : "";
    CHECK(!text.empty() && (key != std::string("FileVersion") || text == VDP_VERSION_TEXT),
          "%s is \"%s\"", key, text.c_str());
  }
}

// Whatever the settings directory or file holds, a start reports, draws and stops; the
// title after a frame shows the size in use.
void SettingsFaultsStartAndStopCleanly() {
  std::ofstream("a_file") << "not a directory";
  const std::string zeros(4096, '\0'), longPath(3000, 'd');
  std::string huge;
  while (huge.size() < (1u << 20)) huge += "[junk]\r\nkey=value that goes on and on\r\n";
  const struct {
    const char* what;
    std::string directory;
    const std::string* settings;
    bool readOnly;
    const char* title;
  } cases[] = {
      {"missing directory", "missing\\below", nullptr, false, "Rendering Window: 320X240"},
      {"a file for a directory", "a_file", nullptr, false, "Rendering Window: 320X240"},
      {"a 3,000-byte directory", longPath, nullptr, false, "Rendering Window: 320X240"},
      {"binary zeros", "zeros", &zeros, false, "Rendering Window: 320X240"},
      {"1 MB of other sections", "huge", &huge, false, "Rendering Window: 320X240"},
      {"read-only file", "read_only", &zeros, true, "Rendering Window: 320X240"},
  };
  for (const auto& c : cases) {
    Session session(c.directory.c_str(), c.settings != nullptr ? *c.settings : "");
    if (c.readOnly)
      SetFileAttributesA((c.directory + "\\VDP_plugin.ini").c_str(), FILE_ATTRIBUTE_READONLY);
    const HWND window = StartWithWindow(session);
    REQUIRE(window != nullptr, "%s: a start with a render window", c.what);
    CHECK(session.statusLines().find("initialisation OK!") != std::string::npos,
          "%s: the status lines, saw %s", c.what, session.statusLines().c_str());
    WritePolygonAndSprite();
    plugin.VDPOnVblankOut();
    plugin.VDPOnVblankOut();
    CHECK(WindowText(window) == c.title, "%s: title \"%s\"", c.what, WindowText(window).c_str());
    session.Stop();
    CHECK(WindowsOfClass("display").empty(), "%s: no window left", c.what);
    if (c.readOnly)
      SetFileAttributesA((c.directory + "\\VDP_plugin.ini").c_str(), FILE_ATTRIBUTE_NORMAL);
  }
}

const check::Case kCases[] = {
    CASE(AboutBoxIsModalAndNeedsNoStart),
    CASE(FirstStartReportsShowsTheWindowAndWritesDefaults),
    CASE(StoredSettingsAreReadAndSavedBack),
    CASE(PolygonAndSpriteReachTheScreen),
    CASE(MenuCommandsToggleCheckMarks),
    CASE(ResolutionItemResizesAtTheNextFrame),
    CASE(KeysLeaveTheWindowAndAltEnterTogglesFullscreen),
    CASE(RegistersAndMemoriesRoundTrip),
    CASE(SetupDialogOpensOnceAndAgainAfterClose),
    CASE(BurstsOfTogglesAndResolutionsNeverStopTheHost),
    CASE(VersionResourceNamesTheRelease),
    CASE(SettingsFaultsStartAndStopCleanly),
};

}  // namespace

int main(int argc, char** argv) {
  setvbuf(stdout, nullptr, _IONBF, 0);
  if (!LoadPlugin()) {
    std::printf("0 passed, 1 failed\n");
    return 1;
  }
  StartAnsweringBoxes();
  return check::RunAll(kCases, argc > 1 ? argv[1] : nullptr);
}
