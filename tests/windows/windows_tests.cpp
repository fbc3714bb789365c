// The plugin DLL as a host sees it under Windows: loaded by name, driven through its
// exports on the test's main thread (the host's emulation thread), and looked at through
// the windows, menus, message boxes, settings file and screen pixels it leaves.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "check.h"
#include "plugin_host.h"

using namespace host;

namespace {

// Menu items.
enum : int {
  kNormalSpritesFiltering = 107,
  kSpritesFilteringAllOrNone = 117,
  kPolygonsAntialiasing = 119,
  kLinesAntialiasing = 120,
  kToggleFullscreen = 121,
  kDisableNbg0 = 129,
  kResolution320 = 137,
};

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

std::string Join(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "; ";
  return text;
}

std::string ValueOf(const std::vector<std::string>& settings, const std::string& key) {
  for (const std::string& line : settings)
    if (line.starts_with(key + "=")) return line.substr(key.size() + 1);
  return "(missing)";
}

// Escape pressed as the window thread sees it: that thread reads the keyboard state when
// the key message arrives, so the state is shared with it and held down until done().
template <typename F>
bool PressEscape(HWND window, F done) {
  const DWORD windowThread = GetWindowThreadProcessId(window, nullptr);
  AttachThreadInput(GetCurrentThreadId(), windowThread, TRUE);
  BYTE keys[256] = {};
  GetKeyboardState(keys);
  keys[VK_ESCAPE] = 0x80;
  SetKeyboardState(keys);
  PostMessageA(window, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
  const bool ok = WaitUntil(done);
  keys[VK_ESCAPE] = 0;
  SetKeyboardState(keys);
  AttachThreadInput(GetCurrentThreadId(), windowThread, FALSE);
  return ok;
}

// --- cases -------------------------------------------------------------------------------

void AboutBoxIsModalAndNeedsNoStart() {
  const auto boxes = AnswerBoxesDuring([] { ThePlugin().DisplayPluginInfo(); });
  REQUIRE(boxes.size() == 1, "one message box shown, saw %zu", boxes.size());
  CHECK(boxes[0].caption == "About" && boxes[0].text == "OpenGL VDP plugin Ver 1.0.1",
        "the about box, saw \"%s\": \"%s\"", boxes[0].caption.c_str(), boxes[0].text.c_str());
  CHECK(boxes[0].duringCall, "DisplayPluginInfo returned before its box was answered");
}

void FirstRunReportsAndWritesDefaults() {
  Session session("first_run");
  REQUIRE(session.Start(), "InitVDPPlugin returns true");
  const std::vector<StatusLine> expected = {{"VDP OpenGL plugin: initialisation OK!", 0x32FF32},
                                            {"VDP1 core v1.1", 0xE6C8A0},
                                            {"VDP2 core v1.1", 0xE6C8A0}};
  std::string seen;
  for (const StatusLine& line : session.statusLines())
    seen += "\"" + line.text + "\" " + std::to_string(line.colour) + "; ";
  CHECK(session.statusLines() == expected, "the 3 status lines in order, saw %s", seen.c_str());
  CHECK(DisplayWindow() != nullptr, "the window exists when InitVDPPlugin returns");
  const std::vector<std::string> defaults = {"[VDP1]",
                                             "Polygons antialiasing=0",
                                             "Polylines antialiasing=0",
                                             "Lines antialiasing=0",
                                             "Normal sprites filtering=0",
                                             "Scaled sprites filtering=0",
                                             "Distorted sprites filtering=0",
                                             "[OPENGL]",
                                             "rendering width=320",
                                             "rendering height=240"};
  CHECK(session.Settings() == defaults, "defaults written at start, file holds: %s",
        Join(session.Settings()).c_str());
  ThePlugin().VDPOnVblankOut();
  session.Stop();
  CHECK(session.Settings() == defaults, "the same values saved at stop, file holds: %s",
        Join(session.Settings()).c_str());
}

void StoredSettingsAreReadAndSavedBack() {
  Session session("stored",
                  "[VDP1]\r\nNormal sprites filtering=7\r\nLines antialiasing=0\r\n"
                  "[OPENGL]\r\nrendering width=1152\r\nrendering height=864\r\n");
  REQUIRE(session.Start(), "InitVDPPlugin returns true");
  const HWND window = DisplayWindow();
  // The window is published before its thread attaches and marks the menu it keeps.
  REQUIRE(window != nullptr && Settle(window), "a render window serving its messages");
  CHECK(
      IsItemChecked(window, kNormalSpritesFiltering) && !IsItemChecked(window, kLinesAntialiasing),
      "the stored flags shown in the menu, checked: %s", CheckedItems(window).c_str());
  ThePlugin().VDPOnVblankOut();  // 1152 / 320 = 3.6: the picture is scaled by 3.2
  CHECK(WindowText(window) == "Rendering Window: 320X240X3.20=1024X768",
        "title of a 1152-wide rendering size, saw \"%s\"", WindowText(window).c_str());
  session.Stop();
  const auto saved = session.Settings();
  CHECK(ValueOf(saved, "Normal sprites filtering") == "1" &&
            ValueOf(saved, "rendering width") == "1152" &&
            ValueOf(saved, "rendering height") == "864",
        "7 saved back as 1, the size kept; file holds: %s", Join(saved).c_str());
}

void RenderWindowAndItsMenu() {
  Session session("window");
  REQUIRE(session.Start(), "InitVDPPlugin returns true");
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
  CHECK(GetMenuItemCount(GetMenu(window)) == 4, "4 menus in the bar, saw %d",
        GetMenuItemCount(GetMenu(window)));
  CHECK(CheckedItems(window) == "137 ", "only 320*240 checked at start, saw %s",
        CheckedItems(window).c_str());
}

// A red polygon and a white RGB sprite drawn by VDP1, read back from the screen.
void PolygonAndSpriteReachTheScreen() {
  Session session("vdp1_frame");
  REQUIRE(session.Start(), "InitVDPPlugin returns true");
  const HWND window = DisplayWindow();
  REQUIRE(window != nullptr, "a render window");
  auto& plugin = ThePlugin();
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
  for (int frame = 0; frame < 3; ++frame) plugin.VDPOnVblankOut();
  CHECK(WindowText(window) == "Rendering Window: 320X240", "title after a frame, saw \"%s\"",
        WindowText(window).c_str());
  Sleep(200);  // let the X server show the last swap
  RECT client = {};
  GetClientRect(window, &client);
  const int top = client.bottom - 240;  // the 320 x 240 picture sits at the lower left
  struct Probe {
    const char* what;
    int x, y;
    COLORREF expected;
  } probes[] = {{"polygon", 80, 60, RGB(255, 0, 0)},
                {"sprite", 208, 48, RGB(248, 248, 248)},
                {"erased background", 300, 200, RGB(0, 0, 0)}};
  for (const Probe& p : probes) {
    const COLORREF c = ScreenPixel(window, p.x, top + p.y);
    const int dr = GetRValue(c) - GetRValue(p.expected), dg = GetGValue(c) - GetGValue(p.expected),
              db = GetBValue(c) - GetBValue(p.expected);
    CHECK(dr * dr + dg * dg + db * db <= 3 * 8 * 8, "%s at (%d,%d): expected 0x%06lX, saw 0x%06lX",
          p.what, p.x, p.y, p.expected, c);
  }
}

void MenuCommandsToggleCheckMarks() {
  Session session("menu");
  REQUIRE(session.Start(), "InitVDPPlugin returns true");
  const HWND window = DisplayWindow();
  REQUIRE(window != nullptr, "a render window");
  for (int id : {kNormalSpritesFiltering, kDisableNbg0}) {
    CHECK(PostCommandAndWait(window, id, true), "command %d checks its item", id);
    CHECK(PostCommandAndWait(window, id, false), "command %d again unchecks it", id);
  }
  // "all/none": with any of its items checked it clears all, with none it checks all.
  auto all = [&](bool checked) {
    return WaitUntil([&] {
      for (int id : {107, 108, 109})
        if (IsItemChecked(window, id) != checked) return false;
      return true;
    });
  };
  PostCommandAndWait(window, 108, true);
  PostMessageA(window, WM_COMMAND, kSpritesFilteringAllOrNone, 0);
  CHECK(all(false), "all/none with one checked clears it: %s", CheckedItems(window).c_str());
  PostMessageA(window, WM_COMMAND, kSpritesFilteringAllOrNone, 0);
  CHECK(all(true), "all/none with none checked checks all: %s", CheckedItems(window).c_str());
  // The whole wParam is the identifier: a notification code in its high half is no command.
  PostMessageA(window, WM_COMMAND, MAKEWPARAM(kNormalSpritesFiltering, 1), 0);
  PostMessageA(window, WM_COMMAND, MAKEWPARAM(kToggleFullscreen, 1), 0);
  CHECK(Settle(window) && IsItemChecked(window, kNormalSpritesFiltering),
        "a command word with a notification code changed a check mark");
  ThePlugin().VDPOnVblankOut();
  CHECK(DisplayWindow() == window && IsWindowedDisplay(window),
        "no fullscreen toggle from a command word with a notification code");
  PostCommandAndWait(window, kPolygonsAntialiasing, true);
  session.Stop();
  const auto saved = session.Settings();
  CHECK(ValueOf(saved, "Polygons antialiasing") == "1" &&
            ValueOf(saved, "Normal sprites filtering") == "1" &&
            ValueOf(saved, "Lines antialiasing") == "0",
        "flags chosen in the menu saved, file holds: %s", Join(saved).c_str());
}

void ResolutionItemsResizeAtTheNextFrame() {
  Session session("resolution");
  REQUIRE(session.Start(), "InitVDPPlugin returns true");
  const HWND window = DisplayWindow();
  REQUIRE(window != nullptr, "a render window");
  ThePlugin().VDPOnVblankOut();
  struct Choice {
    int id;
    const char* title;
    int pictureWidth, pictureHeight;
  } choices[] = {{140, "Rendering Window: 320X240X3.20=1024X768", 1024, 768},
                 {149, "Rendering Window: 320X240X1.25=400X300", 400, 300}};
  for (const Choice& c : choices) {
    const std::string titleBefore = WindowText(window);
    REQUIRE(PostCommandAndWait(window, c.id, true), "item %d checked when chosen", c.id);
    CHECK(CheckedItems(window) == std::to_string(c.id) + " ", "only %d checked, saw %s", c.id,
          CheckedItems(window).c_str());
    CHECK(WindowText(window) == titleBefore, "no change before the next frame, title \"%s\"",
          WindowText(window).c_str());
    ThePlugin().VDPOnVblankOut();
    CHECK(WindowText(window) == c.title, "after %d: title \"%s\", saw \"%s\"", c.id, c.title,
          WindowText(window).c_str());
    // The window fitting rule: the picture adjusted for style 0x80023 with a menu, 44 taller.
    RECT fitted = {0, 0, c.pictureWidth, c.pictureHeight}, outer = {};
    AdjustWindowRect(&fitted, 0x80023, TRUE);
    GetWindowRect(window, &outer);
    CHECK(
        outer.right - outer.left == fitted.right && outer.bottom - outer.top == fitted.bottom + 44,
        "after %d: window %ldx%ld, saw %ldx%ld", c.id, fitted.right, fitted.bottom + 44,
        outer.right - outer.left, outer.bottom - outer.top);
  }
  session.Stop();
  const auto saved = session.Settings();
  CHECK(ValueOf(saved, "rendering width") == "400" && ValueOf(saved, "rendering height") == "300",
        "the chosen size saved, file holds: %s", Join(saved).c_str());
}

void CloseKeysAndEscapeLeaveWindowedDisplay() {
  Session session("keys");
  REQUIRE(session.Start(), "InitVDPPlugin returns true");
  const HWND window = DisplayWindow();
  REQUIRE(window != nullptr, "a render window");
  ThePlugin().VDPOnVblankOut();
  const std::string title = WindowText(window);
  PostMessageA(window, WM_CLOSE, 0, 0);
  PostMessageA(window, WM_SYSKEYDOWN, VK_F4, 0x20000000);  // Alt+F4
  PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);        // the close box
  CHECK(PressEscape(window, [&] { return Settle(window); }), "the window serves its messages");
  CHECK(IsWindow(window) && IsWindowVisible(window), "close box, Alt+F4 and WM_CLOSE leave it");
  CHECK(GetMenu(window) != nullptr, "Escape in windowed mode keeps the menu");
  ThePlugin().VDPOnVblankOut();
  CHECK(DisplayWindow() == window && WindowText(window) == title,
        "nothing restarted at the next frame, title \"%s\"", WindowText(window).c_str());
}

void AltEnterTogglesFullscreenAtTheNextFrame() {
  Session session("fullscreen");
  REQUIRE(session.Start(), "InitVDPPlugin returns true");
  const HWND windowed = DisplayWindow();
  REQUIRE(windowed != nullptr, "a render window");
  ThePlugin().VDPOnVblankOut();
  // Pressed three ways before one frame: one toggle.
  PostMessageA(windowed, WM_SYSKEYDOWN, VK_RETURN, 0x20000000);
  PostMessageA(windowed, WM_SYSKEYDOWN, VK_RETURN, 0x20000000);
  PostMessageA(windowed, WM_COMMAND, kToggleFullscreen, 0);
  CHECK(Settle(windowed), "the window thread serves its messages");
  CHECK(DisplayWindow() == windowed && IsWindowedDisplay(windowed),
        "nothing switched before the next frame");
  // The new window's thread asks the screen mode first; a refused switch shows a box.
  const auto boxes = AnswerBoxesDuring([&] {
    ThePlugin().VDPOnVblankOut();
    WaitUntil([&] { return DisplayWindow() != nullptr && DisplayWindow() != windowed; });
  });
  std::printf("    screen mode switch to 320x240: %s\n", boxes.empty() ? "done" : "refused");
  for (const Box& box : boxes)
    CHECK(box.caption == "Error" && box.text == "Unable to switch to fullscreen mode",
          "only the mode switch warning, saw \"%s\": \"%s\"", box.caption.c_str(),
          box.text.c_str());
  const auto windows = WindowsOfClass("display");
  REQUIRE(windows.size() == 1 && windows[0] != windowed, "one new render window, saw %zu",
          windows.size());
  const HWND full = windows[0];
  RECT outer = {};
  GetWindowRect(full, &outer);
  CHECK((GetWindowLongA(full, GWL_STYLE) & WS_POPUP) != 0 &&
            (GetWindowLongA(full, GWL_EXSTYLE) & WS_EX_APPWINDOW) != 0 &&
            outer.right - outer.left == 320 && outer.bottom - outer.top == 240,
        "a 320x240 popup application window");
  CHECK(PressEscape(full, [&] { return GetMenu(full) == nullptr; }), "Escape removes the menu");
  CHECK(PressEscape(full, [&] { return GetMenu(full) != nullptr; }), "Escape brings it back");
  ThePlugin().VDPOnVblankOut();
  CHECK(DisplayWindow() == full, "one toggle only: still fullscreen a frame later");
  PostMessageA(full, WM_SYSKEYDOWN, VK_RETURN, 0x20000000);
  CHECK(Settle(full), "the fullscreen window serves its messages");
  ThePlugin().VDPOnVblankOut();
  const HWND back = DisplayWindow();
  REQUIRE(back != nullptr && back != full, "Alt+Enter again: a new window");
  CHECK(IsWindowedDisplay(back), "windowed again, style 0x%08lX", GetWindowLongA(back, GWL_STYLE));
  CHECK(Settle(back) && CheckedItems(back) == "137 ", "the fresh menu shows the size, saw %s",
        CheckedItems(back).c_str());
  CHECK(WindowsOfClass("display").size() == 1, "no window left behind by the toggles");
}

// Each row writes through one export and reads back through another.
#define ROUND_TRIP(write, address, value, read, readAddress, expected)                \
  {                                                                                   \
#write " then " #read, [] { ThePlugin().write(address, value); },                   \
   [] { return static_cast<uint32_t>(ThePlugin().read(readAddress)); }, expected \
  }

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
      ROUND_TRIP(WriteLongVDP1VRAM, 0x100, 0x11223344, ReadWordVDP1VRAM, 0x102, 0x3344),
      ROUND_TRIP(WriteWordVDP1VRAM, 0x200, 0xABCD, ReadLongVDP1VRAM, 0x200, 0xABCD0000),
      ROUND_TRIP(WriteByteVDP1VRAM, 0x301, 0x5A, ReadWordVDP1VRAM, 0x300, 0x005A),
      ROUND_TRIP(WriteLongVDP1VRAM, 0x80010, 0xCAFEBABE, ReadLongVDP1VRAM, 0x10, 0xCAFEBABE),
      ROUND_TRIP(WriteLongVDP1FrameBuffer, 0x40, 0xFFFFFFFF, ReadLongVDP1FrameBuffer, 0x40, 0),
      ROUND_TRIP(WriteByteVDP1FrameBuffer, 0x41, 0xFF, ReadByteVDP1FrameBuffer, 0x41, 0),
      ROUND_TRIP(WriteWordVDP1FrameBuffer, 0x40, 0xFFFF, ReadWordVDP1FrameBuffer, 0x40, 0),
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
  const host::Plugin& p = ThePlugin();
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

std::vector<HWND> SetupDialogs() {
  std::vector<HWND> found;
  for (HWND dialog : WindowsOfClass("#32770"))
    if (WindowText(dialog) == "Scroll screens modes") found.push_back(dialog);
  return found;
}

void SetupDialogOpensOnceAndAgainAfterClose() {
  WNDCLASSA hostClass = {};
  hostClass.lpfnWndProc = DefWindowProcA;
  hostClass.hInstance = GetModuleHandleA(nullptr);
  hostClass.lpszClassName = "Kalvrine 2";
  RegisterClassA(&hostClass);
  const HWND hostWindow = CreateWindowExA(0, "Kalvrine 2", "Kalvrine", WS_OVERLAPPEDWINDOW, 0, 0,
                                          200, 100, nullptr, nullptr, hostClass.hInstance, nullptr);
  REQUIRE(hostWindow != nullptr, "the test's host window");
  Session session("setup");
  REQUIRE(session.Start(), "InitVDPPlugin returns true");
  for (int opening = 0; opening < 2; ++opening) {
    ThePlugin().SetupPlugin();
    ThePlugin().SetupPlugin();
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

void TenStartsAndStopsLeaveNothingBehind() {
  {  // The system starts helper threads of its own the first time; count after that.
    Session warmUp("cycles");
    REQUIRE(warmUp.Start(), "InitVDPPlugin returns true");
    ThePlugin().VDPOnVblankOut();
  }
  const int baseline = ThreadCountOfThisProcess();
  for (int cycle = 0; cycle < 10; ++cycle) {
    Session session("cycles");
    CHECK(session.Start() && DisplayWindow() != nullptr, "start %d makes a window", cycle);
    ThePlugin().VDPOnVblankOut();
    session.Stop();
    CHECK(WindowsOfClass("display").empty(), "stop %d leaves no \"display\" window", cycle);
  }
  const int after = ThreadCountOfThisProcess();
  CHECK(after <= baseline, "threads: %d before the cycles, %d after", baseline, after);
}

const check::Case kCases[] = {
    {"AboutBoxIsModalAndNeedsNoStart", AboutBoxIsModalAndNeedsNoStart},
    {"FirstRunReportsAndWritesDefaults", FirstRunReportsAndWritesDefaults},
    {"StoredSettingsAreReadAndSavedBack", StoredSettingsAreReadAndSavedBack},
    {"RenderWindowAndItsMenu", RenderWindowAndItsMenu},
    {"PolygonAndSpriteReachTheScreen", PolygonAndSpriteReachTheScreen},
    {"MenuCommandsToggleCheckMarks", MenuCommandsToggleCheckMarks},
    {"ResolutionItemsResizeAtTheNextFrame", ResolutionItemsResizeAtTheNextFrame},
    {"CloseKeysAndEscapeLeaveWindowedDisplay", CloseKeysAndEscapeLeaveWindowedDisplay},
    {"AltEnterTogglesFullscreenAtTheNextFrame", AltEnterTogglesFullscreenAtTheNextFrame},
    {"RegistersAndMemoriesRoundTrip", RegistersAndMemoriesRoundTrip},
    {"SetupDialogOpensOnceAndAgainAfterClose", SetupDialogOpensOnceAndAgainAfterClose},
    {"TenStartsAndStopsLeaveNothingBehind", TenStartsAndStopsLeaveNothingBehind},
};

}  // namespace

int main() {
  setvbuf(stdout, nullptr, _IONBF, 0);
  if (!LoadPlugin(ThePlugin())) {
    std::printf("0 passed, 1 failed\n");
    return 1;
  }
  return check::RunAll(kCases);
}
