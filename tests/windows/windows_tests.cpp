// The plugin DLL as a host sees it under Windows: loaded by name, driven through its
// exports on the test's main thread (the host's emulation thread), and looked at through
// the windows, menus, message boxes, files and screen pixels it leaves.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "check.h"
#include "plugin_host.h"

using host::Boxes;
using host::DisplayWindow;
using host::IsItemChecked;
using host::Session;
using host::Settle;
using host::ThePlugin;
using host::WaitUntil;
using host::WindowText;

namespace {

constexpr int kResolutionItems[] = {137, 149, 138, 139, 140, 141, 142};

// Every command item of the render window's menu, with its text.
struct MenuItem {
  int id;
  const char* text;
};
constexpr MenuItem kMenuItems[] = {
    {121, "Toggle fullscreen (alt+enter)"},
    {137, "320*240"},
    {149, "400*300"},
    {138, "640*480"},
    {139, "800*600"},
    {140, "1024*768"},
    {141, "1280*1024"},
    {142, "1600*1200"},
    {107, "Normal sprites"},
    {108, "Distorted sprites"},
    {109, "Scaled sprites"},
    {117, "all/none"},
    {143, "NBG0"},
    {144, "NBG1"},
    {145, "NBG2"},
    {146, "NBG3"},
    {147, "RBG0"},
    {148, "RBG1"},
    {116, "all/none"},
    {119, "Polygons"},
    {120, "Lines"},
    {150, "Polylines"},
    {124, "Normal sprites"},
    {125, "Distorted sprites"},
    {126, "Scaled sprites"},
    {127, "Polygons"},
    {128, "Polylines/lines"},
    {129, "NBG0"},
    {111, "NBG1"},
    {112, "NBG2"},
    {113, "NBG3"},
    {114, "RBG0"},
    {115, "RBG1"},
    {151, "Clear VDP1 cache"},
    {135, "Clear VDP2 cache"},
};

// Items whose check mark one command flips.
constexpr int kToggleItems[] = {107, 108, 109, 143, 144, 145, 146, 147, 148, 119, 120, 150,
                                124, 125, 126, 127, 128, 129, 111, 112, 113, 114, 115};

std::vector<bool> CheckMarks(HWND window) {
  std::vector<bool> marks;
  for (const MenuItem& item : kMenuItems) marks.push_back(IsItemChecked(window, item.id));
  return marks;
}

std::string CheckedItems(HWND window) {
  std::string list;
  for (const MenuItem& item : kMenuItems)
    if (IsItemChecked(window, item.id)) list += std::to_string(item.id) + " ";
  return list.empty() ? "none" : list;
}

bool PostCommandAndWait(HWND window, WPARAM id, bool checked) {
  PostMessageA(window, WM_COMMAND, id, 0);
  return WaitUntil([&] { return IsItemChecked(window, static_cast<int>(id)) == checked; });
}

// The outer size the window fitting rule gives a picture: the rectangle adjusted for
// style 0x80023 with a menu, 44 pixels taller.
SIZE FittedWindowSize(int pictureWidth, int pictureHeight) {
  RECT r = {0, 0, pictureWidth, pictureHeight};
  AdjustWindowRect(&r, 0x80023, TRUE);
  return {r.right, r.bottom + 44};
}

SIZE OuterSize(HWND window) {
  RECT r = {};
  GetWindowRect(window, &r);
  return {r.right - r.left, r.bottom - r.top};
}

bool IsWindowedDisplay(HWND window) {
  const LONG style = GetWindowLongA(window, GWL_STYLE);
  return (style & WS_POPUP) == 0 && (style & WS_SYSMENU) != 0;
}

using Entry = Session::Entry;
const std::vector<Entry> kFirstRunSettings = {
    {"VDP1", "Polygons antialiasing", "0"},    {"VDP1", "Polylines antialiasing", "0"},
    {"VDP1", "Lines antialiasing", "0"},       {"VDP1", "Normal sprites filtering", "0"},
    {"VDP1", "Scaled sprites filtering", "0"}, {"VDP1", "Distorted sprites filtering", "0"},
    {"OPENGL", "rendering width", "320"},      {"OPENGL", "rendering height", "240"},
};

std::string Describe(const std::vector<Entry>& entries) {
  std::string text;
  for (const Entry& e : entries) text += "[" + e.section + "] " + e.key + "=" + e.value + "; ";
  return text;
}

std::string ValueOf(const std::vector<Entry>& entries, const char* key) {
  for (const Entry& e : entries)
    if (e.key == key) return e.value;
  return "(missing)";
}

bool FileExists(const char* name) { return GetFileAttributesA(name) != INVALID_FILE_ATTRIBUTES; }

// Escape held down as the window thread sees it: the thread reads the keyboard state when
// the key message arrives, so the state is shared with it and says "down" until released.
class EscapeHeld {
 public:
  explicit EscapeHeld(HWND window)
      : windowThread_(GetWindowThreadProcessId(window, nullptr)),
        attached_(AttachThreadInput(GetCurrentThreadId(), windowThread_, TRUE) != FALSE) {
    SetEscapeState(0x80);
    PostMessageA(window, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
  }
  ~EscapeHeld() {
    SetEscapeState(0);
    if (attached_) AttachThreadInput(GetCurrentThreadId(), windowThread_, FALSE);
  }
  EscapeHeld(const EscapeHeld&) = delete;
  EscapeHeld& operator=(const EscapeHeld&) = delete;

 private:
  static void SetEscapeState(BYTE state) {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_ESCAPE] = state;
    SetKeyboardState(keys);
  }
  DWORD windowThread_;
  bool attached_;
};

// --- cases -------------------------------------------------------------------------------

void AboutBoxIsModalAndNeedsNoStart() {
  Boxes().Clear();
  Boxes().hostCallRunning = true;
  ThePlugin().DisplayPluginInfo();  // returns once the box was clicked away
  Boxes().hostCallRunning = false;
  const auto boxes = Boxes().Boxes();
  REQUIRE(boxes.size() == 1, "one message box shown, saw %zu", boxes.size());
  CHECK(boxes[0].caption == "About", "caption \"About\", saw \"%s\"", boxes[0].caption.c_str());
  CHECK(boxes[0].text == "OpenGL VDP plugin Ver 1.0.1", "about text, saw \"%s\"",
        boxes[0].text.c_str());
  CHECK(boxes[0].hostCallRunning, "DisplayPluginInfo returned before its box was answered");
}

void FirstRunReportsAndWritesDefaults() {
  // Logs of an earlier run: two are removed at start; vdp1.log is held open, empty.
  for (const char* name : {"vdp2.log", "opengl.log", "vdp1.log"}) {
    FILE* f = std::fopen(name, "w");
    if (f != nullptr) {
      std::fputs("old run\n", f);
      std::fclose(f);
    }
  }
  Session session("first_run");
  REQUIRE(session.Start(), "InitVDPPlugin returns true");
  const std::vector<host::StatusLine> expected = {
      {"VDP OpenGL plugin: initialisation OK!", 0x32FF32},
      {"VDP1 core v1.1", 0xE6C8A0},
      {"VDP2 core v1.1", 0xE6C8A0},
  };
  const auto& lines = session.statusLines();
  CHECK(lines.size() == expected.size(), "3 status lines, saw %zu", lines.size());
  for (size_t i = 0; i < lines.size() && i < expected.size(); ++i)
    CHECK(lines[i].text == expected[i].text && lines[i].colour == expected[i].colour,
          "status line %zu: \"%s\" 0x%06X, saw \"%s\" 0x%06X", i, expected[i].text.c_str(),
          expected[i].colour, lines[i].text.c_str(), lines[i].colour);
  CHECK(DisplayWindow() != nullptr, "the window exists when InitVDPPlugin returns");
  CHECK(session.Settings() == kFirstRunSettings, "defaults written at start, file holds: %s",
        Describe(session.Settings()).c_str());
  CHECK(!FileExists("vdp2.log") && !FileExists("opengl.log"),
        "vdp2.log and opengl.log of an earlier run are gone");
  WIN32_FILE_ATTRIBUTE_DATA vdp1Log = {};
  CHECK(GetFileAttributesExA("vdp1.log", GetFileExInfoStandard, &vdp1Log) &&
            vdp1Log.nFileSizeLow == 0,
        "vdp1.log exists and is empty while the plugin runs");
  ThePlugin().VDPOnVblankOut();
  session.Stop();
  CHECK(session.Settings() == kFirstRunSettings, "the same values saved at stop, file holds: %s",
        Describe(session.Settings()).c_str());
}

void StoredSettingsAreReadAndSavedBack() {
  Session session("stored",
                  "[VDP1]\r\nNormal sprites filtering=7\r\nLines antialiasing=0\r\n"
                  "[OPENGL]\r\nrendering width=1152\r\nrendering height=864\r\n");
  REQUIRE(session.Start(), "InitVDPPlugin returns true");
  const HWND window = DisplayWindow();
  REQUIRE(window != nullptr, "a render window");
  // The window is published before its thread attaches and marks the menu it keeps.
  CHECK(Settle(window), "the window thread serves its messages");
  CHECK(IsItemChecked(window, 107), "\"Normal sprites\" filtering loaded as set is checked");
  CHECK(!IsItemChecked(window, 120), "\"Lines\" antialiasing loaded as clear is unchecked");
  // 1152 / 320 = 3.6: the picture is scaled by 3.2.
  ThePlugin().VDPOnVblankOut();
  CHECK(WindowText(window) == "Rendering Window: 320X240X3.20=1024X768",
        "title of a 1152-wide rendering size, saw \"%s\"", WindowText(window).c_str());
  const SIZE fitted = FittedWindowSize(1024, 768), outer = OuterSize(window);
  CHECK(outer.cx == fitted.cx && outer.cy == fitted.cy, "window %ldx%ld, saw %ldx%ld", fitted.cx,
        fitted.cy, outer.cx, outer.cy);
  session.Stop();
  const auto saved = session.Settings();
  CHECK(ValueOf(saved, "Normal sprites filtering") == "1", "7 saved back as 1, saw %s",
        ValueOf(saved, "Normal sprites filtering").c_str());
  CHECK(ValueOf(saved, "rendering width") == "1152" && ValueOf(saved, "rendering height") == "864",
        "the stored rendering size kept, file holds: %s", Describe(saved).c_str());
}

void RenderWindowAndItsMenu() {
  Session session("window");
  REQUIRE(session.Start(), "InitVDPPlugin returns true");
  const auto windows = host::WindowsOfClass("display");
  REQUIRE(windows.size() == 1, "one window of class \"display\", saw %zu", windows.size());
  const HWND window = windows[0];
  CHECK(WindowText(window) == "OpenGL display", "title before the first frame, saw \"%s\"",
        WindowText(window).c_str());
  CHECK(IsWindowVisible(window), "the window is shown");
  CHECK(IsWindowedDisplay(window), "a bordered window with a system menu, style 0x%08lX",
        GetWindowLongA(window, GWL_STYLE));
  CHECK(GetWindowThreadProcessId(window, nullptr) != GetCurrentThreadId(),
        "the window runs on a thread of its own, not the host's");
  CHECK(Settle(window), "the window thread serves its messages");
  const HMENU menu = GetMenu(window);
  REQUIRE(menu != nullptr, "the window has a menu");
  const char* titles[] = {"Display", "Filtering", "Disable", "Options"};
  CHECK(GetMenuItemCount(menu) == 4, "4 menus in the bar, saw %d", GetMenuItemCount(menu));
  for (int i = 0; i < 4; ++i) {
    char text[64] = {};
    GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof(text), MF_BYPOSITION);
    CHECK(std::string(text) == titles[i], "menu %d \"%s\", saw \"%s\"", i, titles[i], text);
  }
  for (const MenuItem& item : kMenuItems) {
    char text[64] = {};
    GetMenuStringA(menu, static_cast<UINT>(item.id), text, sizeof(text), MF_BYCOMMAND);
    CHECK(std::string(text) == item.text, "item %d \"%s\", saw \"%s\"", item.id, item.text, text);
  }
  CHECK(CheckedItems(window) == "137 ", "only 320*240 checked at start, saw %s",
        CheckedItems(window).c_str());
  // The resource itself carries no check mark and nothing greyed.
  const HMENU fresh = LoadMenuA(ThePlugin().module, MAKEINTRESOURCEA(104));
  REQUIRE(fresh != nullptr, "menu 104 in the library");
  for (const MenuItem& item : kMenuItems) {
    const UINT state = GetMenuState(fresh, static_cast<UINT>(item.id), MF_BYCOMMAND);
    CHECK(state == 0, "item %d plain in the resource, state 0x%X", item.id, state);
  }
  DestroyMenu(fresh);
  CHECK(LoadIconA(ThePlugin().module, MAKEINTRESOURCEA(102)) != nullptr,
        "icon group 102 in the library");
}

void FirstFrameFitsWindowAndShowsErasedPicture() {
  Session session("first_frame");
  REQUIRE(session.Start(), "InitVDPPlugin returns true");
  const HWND window = DisplayWindow();
  REQUIRE(window != nullptr, "a render window");
  ThePlugin().VDPOnVblankOut();  // the start's pending resize, then a frame erased
  ThePlugin().VDPOnVblankOut();  // the erased frame presented
  CHECK(WindowText(window) == "Rendering Window: 320X240",
        "title after the first frame, saw \"%s\"", WindowText(window).c_str());
  const SIZE fitted = FittedWindowSize(320, 240), outer = OuterSize(window);
  CHECK(outer.cx == fitted.cx && outer.cy == fitted.cy, "window %ldx%ld, saw %ldx%ld", fitted.cx,
        fitted.cy, outer.cx, outer.cy);
  Sleep(200);  // let the X server show the last swap
  // The picture lies at the lower left of the client area.
  RECT client = {};
  GetClientRect(window, &client);
  const POINT inside[] = {
      {20, client.bottom - 20}, {160, client.bottom - 120}, {300, client.bottom - 220}};
  for (const POINT& p : inside) {
    const COLORREF c = host::ScreenPixel(window, p.x, p.y);
    CHECK(c == RGB(0, 0, 0), "erased picture black at (%ld,%ld), saw 0x%06lX", p.x, p.y, c);
  }
  // The same screen reading sees the menu bar, which is not black.
  MENUBARINFO bar = {};
  bar.cbSize = sizeof(bar);
  if (GetMenuBarInfo(window, OBJID_MENU, 0, &bar)) {
    POINT p = {bar.rcBar.right - 4, bar.rcBar.top + 2};
    ScreenToClient(window, &p);
    const COLORREF c = host::ScreenPixel(window, p.x, p.y);
    CHECK(c != RGB(0, 0, 0) && c != CLR_INVALID, "menu bar read from the screen, saw 0x%06lX", c);
  }
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
      0x0000, 0, 0x0028, 0, 0x10000 / 8, 0x0210, 200, 40, 0, 0, 0, 0, 0, 0, 0, 0,
      0x8000};
  for (uint32_t i = 0; i < sizeof(table) / sizeof(table[0]); ++i)
    plugin.WriteWordVDP1VRAM(2 * i, table[i]);
  for (uint32_t i = 0; i < 16 * 16; ++i) plugin.WriteWordVDP1VRAM(0x10000 + 2 * i, 0xFFFF);
  for (int frame = 0; frame < 3; ++frame) plugin.VDPOnVblankOut();
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
    const COLORREF c = host::ScreenPixel(window, p.x, top + p.y);
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
  for (int id : kToggleItems) {
    CHECK(PostCommandAndWait(window, id, true), "command %d checks its item", id);
    CHECK(PostCommandAndWait(window, id, false), "command %d again unchecks it", id);
  }
  // "all/none": with none of its items checked it checks all, otherwise it clears all.
  struct Group {
    int command;
    std::vector<int> items;
  };
  const Group groups[] = {{117, {107, 108, 109}}, {116, {143, 144, 145, 146, 147, 148}}};
  for (const Group& g : groups) {
    auto all = [&](bool checked) {
      return WaitUntil([&] {
        for (int id : g.items)
          if (IsItemChecked(window, id) != checked) return false;
        return true;
      });
    };
    PostMessageA(window, WM_COMMAND, g.command, 0);
    CHECK(all(true), "%d with none checked checks them all: %s", g.command,
          CheckedItems(window).c_str());
    PostMessageA(window, WM_COMMAND, g.command, 0);
    CHECK(all(false), "%d with all checked clears them", g.command);
    PostCommandAndWait(window, g.items[1], true);
    PostMessageA(window, WM_COMMAND, g.command, 0);
    CHECK(all(false), "%d with one checked clears it: %s", g.command, CheckedItems(window).c_str());
  }
  // Identifiers without a command, and a command word with a notification code in its
  // high half (the whole wParam is the identifier), change nothing.
  const std::vector<bool> before = CheckMarks(window);
  const WPARAM ignored[] = {110,
                            118,
                            122,
                            123,
                            130,
                            131,
                            132,
                            133,
                            134,
                            136,
                            106,
                            152,
                            MAKEWPARAM(107, 1),
                            MAKEWPARAM(121, 1)};
  for (WPARAM id : ignored) PostMessageA(window, WM_COMMAND, id, 0);
  CHECK(Settle(window), "the window thread serves its messages");
  CHECK(CheckMarks(window) == before, "ignored commands changed check marks: %s",
        CheckedItems(window).c_str());
  ThePlugin().VDPOnVblankOut();
  CHECK(DisplayWindow() == window && IsWindowedDisplay(window),
        "no fullscreen toggle from a command word with a notification code");
  // Menu choices reach the cores: two quality flags left on are saved at stop.
  PostCommandAndWait(window, 119, true);
  PostCommandAndWait(window, 107, true);
  session.Stop();
  const auto saved = session.Settings();
  CHECK(ValueOf(saved, "Polygons antialiasing") == "1" &&
            ValueOf(saved, "Normal sprites filtering") == "1" &&
            ValueOf(saved, "Lines antialiasing") == "0",
        "flags chosen in the menu saved, file holds: %s", Describe(saved).c_str());
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
  };
  const Choice choices[] = {
      {138, "Rendering Window: 320X240X2.00=640X480", 640, 480},
      {140, "Rendering Window: 320X240X3.20=1024X768", 1024, 768},
      {149, "Rendering Window: 320X240X1.25=400X300", 400, 300},
      {137, "Rendering Window: 320X240", 320, 240},
  };
  for (const Choice& c : choices) {
    const std::string titleBefore = WindowText(window);
    REQUIRE(PostCommandAndWait(window, c.id, true), "item %d checked when chosen", c.id);
    for (int other : kResolutionItems)
      CHECK(other == c.id || !IsItemChecked(window, other), "item %d unchecked after %d", other,
            c.id);
    CHECK(WindowText(window) == titleBefore, "no change before the next frame, title \"%s\"",
          WindowText(window).c_str());
    ThePlugin().VDPOnVblankOut();
    CHECK(WindowText(window) == c.title, "after %d: title \"%s\", saw \"%s\"", c.id, c.title,
          WindowText(window).c_str());
    const SIZE fitted = FittedWindowSize(c.pictureWidth, c.pictureHeight);
    const SIZE outer = OuterSize(window);
    CHECK(outer.cx == fitted.cx && outer.cy == fitted.cy, "after %d: window %ldx%ld, saw %ldx%ld",
          c.id, fitted.cx, fitted.cy, outer.cx, outer.cy);
  }
  PostCommandAndWait(window, 141, true);
  ThePlugin().VDPOnVblankOut();
  session.Stop();
  const auto saved = session.Settings();
  CHECK(ValueOf(saved, "rendering width") == "1280" && ValueOf(saved, "rendering height") == "1024",
        "the chosen size saved, file holds: %s", Describe(saved).c_str());
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
  {
    EscapeHeld escape(window);
    CHECK(Settle(window), "the window thread serves its messages");
  }
  CHECK(IsWindow(window) && IsWindowVisible(window),
        "close box, Alt+F4 and WM_CLOSE leave the window");
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
  PostMessageA(windowed, WM_COMMAND, 121, 0);
  CHECK(Settle(windowed), "the window thread serves its messages");
  CHECK(DisplayWindow() == windowed && IsWindowedDisplay(windowed),
        "nothing switched before the next frame");
  Boxes().Clear();
  ThePlugin().VDPOnVblankOut();
  const auto windows = host::WindowsOfClass("display");
  REQUIRE(windows.size() == 1, "one render window after the toggle, saw %zu", windows.size());
  const HWND full = windows[0];
  CHECK(full != windowed && !IsWindow(windowed), "the windowed window was replaced");
  const LONG style = GetWindowLongA(full, GWL_STYLE);
  const LONG exStyle = GetWindowLongA(full, GWL_EXSTYLE);
  CHECK((style & WS_POPUP) != 0 && (exStyle & WS_EX_APPWINDOW) != 0,
        "a popup application window, style 0x%08lX ex 0x%08lX", style, exStyle);
  const SIZE outer = OuterSize(full);
  CHECK(outer.cx == 320 && outer.cy == 240, "popup of the rendering size 320x240, saw %ldx%ld",
        outer.cx, outer.cy);
  CHECK(WindowText(full) == "OpenGL display", "a restarted window's title, saw \"%s\"",
        WindowText(full).c_str());
  CHECK(GetMenu(full) != nullptr, "the menu is kept in fullscreen");
  {
    EscapeHeld escape(full);
    CHECK(WaitUntil([&] { return GetMenu(full) == nullptr; }), "Escape removes the menu");
  }
  {
    EscapeHeld escape(full);
    CHECK(WaitUntil([&] { return GetMenu(full) != nullptr; }), "Escape again brings it back");
  }
  CHECK(WaitUntil([&] { return IsItemChecked(full, 137); }),
        "the menu brought back shows the size: %s", CheckedItems(full).c_str());
  // A refused mode switch is reported, and the window is still made.
  std::printf("    screen mode switch to 320x240: %s\n",
              Boxes().Boxes().empty() ? "done" : "refused, message box shown");
  for (const auto& box : Boxes().Boxes())
    CHECK(box.caption == "Error" && box.text == "Unable to switch to fullscreen mode",
          "only the mode switch warning, saw \"%s\": \"%s\"", box.caption.c_str(),
          box.text.c_str());
  ThePlugin().VDPOnVblankOut();
  CHECK(DisplayWindow() == full, "one toggle only: still fullscreen a frame later");
  PostMessageA(full, WM_SYSKEYDOWN, VK_RETURN, 0x20000000);
  CHECK(Settle(full), "the fullscreen window serves its messages");
  ThePlugin().VDPOnVblankOut();
  const HWND back = DisplayWindow();
  REQUIRE(back != nullptr && back != full, "Alt+Enter again: a new window");
  CHECK(IsWindowedDisplay(back), "windowed again, style 0x%08lX", GetWindowLongA(back, GWL_STYLE));
  CHECK(Settle(back), "the new window serves its messages");
  CHECK(CheckedItems(back) == "137 ", "the fresh menu shows the size, saw %s",
        CheckedItems(back).c_str());
  CHECK(host::WindowsOfClass("display").size() == 1, "no window left behind by the toggles");
}

void RegistersAndMemoriesRoundTrip() {
  Session session("memories");
  REQUIRE(session.Start(), "InitVDPPlugin returns true");
  const host::Plugin& p = ThePlugin();
  struct RoundTrip {
    const char* what;
    void (*write)();
    uint32_t (*read)();
    uint32_t expected;
  };
  const RoundTrip trips[] = {
      {"VDP1 VRAM long, first byte", [] { ThePlugin().WriteLongVDP1VRAM(0x100, 0x11223344); },
       []() -> uint32_t { return ThePlugin().ReadByteVDP1VRAM(0x100); }, 0x11},
      {"VDP1 VRAM long, last byte", [] {},
       []() -> uint32_t { return ThePlugin().ReadByteVDP1VRAM(0x103); }, 0x44},
      {"VDP1 VRAM long, second word", [] {},
       []() -> uint32_t { return ThePlugin().ReadWordVDP1VRAM(0x102); }, 0x3344},
      {"VDP1 VRAM word into a long", [] { ThePlugin().WriteWordVDP1VRAM(0x200, 0xABCD); },
       []() -> uint32_t { return ThePlugin().ReadLongVDP1VRAM(0x200); }, 0xABCD0000},
      {"VDP1 VRAM byte into a word", [] { ThePlugin().WriteByteVDP1VRAM(0x301, 0x5A); },
       []() -> uint32_t { return ThePlugin().ReadWordVDP1VRAM(0x300); }, 0x005A},
      {"VDP1 VRAM repeats every 512 KB", [] { ThePlugin().WriteLongVDP1VRAM(0x80010, 0xCAFEBABE); },
       []() -> uint32_t { return ThePlugin().ReadLongVDP1VRAM(0x10); }, 0xCAFEBABE},
      {"VDP1 frame buffer long reads 0",
       [] { ThePlugin().WriteLongVDP1FrameBuffer(0x40, 0xFFFFFFFF); },
       []() -> uint32_t { return ThePlugin().ReadLongVDP1FrameBuffer(0x40); }, 0},
      {"VDP1 frame buffer word reads 0", [] { ThePlugin().WriteWordVDP1FrameBuffer(0x40, 0xFFFF); },
       []() -> uint32_t { return ThePlugin().ReadWordVDP1FrameBuffer(0x40); }, 0},
      {"VDP1 frame buffer byte reads 0", [] { ThePlugin().WriteByteVDP1FrameBuffer(0x41, 0xFF); },
       []() -> uint32_t { return ThePlugin().ReadByteVDP1FrameBuffer(0x41); }, 0},
      {"VDP1 MODR reports version 1 with nothing set", [] {},
       []() -> uint32_t { return ThePlugin().ReadWordVDP1Regs(0x16); }, 0x1000},
      {"VDP2 VRAM long, third byte", [] { ThePlugin().WriteLongVDP2VRAM(0x1000, 0x01020304); },
       []() -> uint32_t { return ThePlugin().ReadByteVDP2VRAM(0x1002); }, 0x03},
      {"VDP2 VRAM word into a long", [] { ThePlugin().WriteWordVDP2VRAM(0x2002, 0xBEEF); },
       []() -> uint32_t { return ThePlugin().ReadLongVDP2VRAM(0x2000); }, 0x0000BEEF},
      {"VDP2 VRAM byte into a word", [] { ThePlugin().WriteByteVDP2VRAM(0x3000, 0x77); },
       []() -> uint32_t { return ThePlugin().ReadWordVDP2VRAM(0x3000); }, 0x7700},
      {"VDP2 CRAM word", [] { ThePlugin().WriteWordVDP2CRAM(0x20, 0x7FFF); },
       []() -> uint32_t { return ThePlugin().ReadWordVDP2CRAM(0x20); }, 0x7FFF},
      {"VDP2 CRAM long", [] { ThePlugin().WriteLongVDP2CRAM(0x40, 0x12345678); },
       []() -> uint32_t { return ThePlugin().ReadLongVDP2CRAM(0x40); }, 0x12345678},
      {"VDP2 BGON word", [] { ThePlugin().WriteWordVDP2Regs(0x20, 0x0013); },
       []() -> uint32_t { return ThePlugin().ReadWordVDP2Regs(0x20); }, 0x0013},
      {"VDP2 CHCTLA/CHCTLB long", [] { ThePlugin().WriteLongVDP2Regs(0x28, 0x12343210); },
       []() -> uint32_t { return ThePlugin().ReadLongVDP2Regs(0x28); }, 0x12343210},
  };
  for (const RoundTrip& t : trips) {
    t.write();
    const uint32_t value = t.read();
    CHECK(value == t.expected, "%s: 0x%X, saw 0x%X", t.what, t.expected, value);
  }
  // Reset keeps memories and the window.
  const HWND window = DisplayWindow();
  p.Reset();
  CHECK(p.ReadLongVDP1VRAM(0x100) == 0x11223344 && p.ReadLongVDP2CRAM(0x40) == 0x12345678,
        "VRAM and CRAM kept by Reset");
  CHECK(DisplayWindow() == window, "the window kept by Reset");
  // The blanking events run on the host thread like the accessors.
  p.VDPOnVblankIn();
  p.VDPOnHblankIn();
  p.VDPOnHblankOut();
  CHECK((p.ReadWordVDP2Regs(0x04) & 0x8) != 0, "TVSTAT reports V-blank");
}

BOOL CALLBACK CollectDialogs(HWND window, LPARAM found) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process == GetCurrentProcessId() && WindowText(window) == "Scroll screens modes")
    reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
  return TRUE;
}

std::vector<HWND> SetupDialogs() {
  std::vector<HWND> found;
  EnumWindows(CollectDialogs, reinterpret_cast<LPARAM>(&found));
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
  const host::Plugin& p = ThePlugin();

  p.SetupPlugin();
  auto dialogs = SetupDialogs();
  REQUIRE(dialogs.size() == 1, "one \"Scroll screens modes\" dialog, saw %zu", dialogs.size());
  const HWND dialog = dialogs[0];
  CHECK(IsWindowVisible(dialog), "the dialog is shown");
  CHECK(GetWindow(dialog, GW_OWNER) == hostWindow, "owned by the host's \"Kalvrine 2\" window");
  RECT units = {0, 0, 346, 466}, client = {};
  MapDialogRect(dialog, &units);
  GetClientRect(dialog, &client);
  CHECK(client.right == units.right && client.bottom == units.bottom,
        "346 x 466 dialog units = %ldx%ld pixels, saw %ldx%ld", units.right, units.bottom,
        client.right, client.bottom);
  struct Control {
    int id;
    const char* text;
  };
  const Control controls[] = {{1002, "Priority"}, {1003, "infos"},    {1022, "Priority"},
                              {1006, "Patterns"}, {1007, "Patterns"}, {1023, "Patterns"},
                              {1024, "Patterns"}, {1018, "infos"}};
  for (const Control& c : controls) {
    char text[64] = {};
    GetDlgItemTextA(dialog, c.id, text, sizeof(text));
    CHECK(std::string(text) == c.text, "control %d \"%s\", saw \"%s\"", c.id, c.text, text);
  }
  p.SetupPlugin();
  dialogs = SetupDialogs();
  CHECK(dialogs.size() == 1 && dialogs[0] == dialog, "a second SetupPlugin opens no dialog");
  for (int button : {1006, 1007, 1023, 1024})
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, button)));
  CHECK(IsWindow(dialog) && IsWindowVisible(dialog), "\"Patterns\" leaves the dialog open");
  SendMessageA(dialog, WM_CLOSE, 0, 0);
  CHECK(!IsWindow(dialog), "WM_CLOSE destroys the dialog");

  DestroyWindow(hostWindow);
  p.SetupPlugin();
  dialogs = SetupDialogs();
  REQUIRE(dialogs.size() == 1, "SetupPlugin after a close opens a new dialog, saw %zu",
          dialogs.size());
  CHECK(GetWindow(dialogs[0], GW_OWNER) == nullptr, "no host window: the dialog has no owner");
  SendMessageA(dialogs[0], WM_CLOSE, 0, 0);
  CHECK(SetupDialogs().empty(), "closed again");
}

void TenStartsAndStopsLeaveNothingBehind() {
  {  // The system starts helper threads of its own the first time; count after that.
    Session warmUp("cycles");
    REQUIRE(warmUp.Start(), "InitVDPPlugin returns true");
    ThePlugin().VDPOnVblankOut();
  }
  const int baseline = host::ThreadCountOfThisProcess();
  const DWORD start = GetTickCount();
  for (int cycle = 0; cycle < 10; ++cycle) {
    Session session("cycles");
    CHECK(session.Start(), "start %d returns true", cycle);
    CHECK(session.statusLines().size() == 3, "start %d reports 3 lines, saw %zu", cycle,
          session.statusLines().size());
    CHECK(DisplayWindow() != nullptr, "start %d makes a window", cycle);
    ThePlugin().VDPOnVblankOut();
    session.Stop();
    CHECK(host::WindowsOfClass("display").empty(), "stop %d leaves no \"display\" window", cycle);
  }
  const int after = host::ThreadCountOfThisProcess();
  CHECK(after <= baseline, "threads: %d before the cycles, %d after", baseline, after);
  std::printf("    10 starts and stops in %lu ms\n", GetTickCount() - start);
}

const check::Case kCases[] = {
    {"AboutBoxIsModalAndNeedsNoStart", AboutBoxIsModalAndNeedsNoStart},
    {"FirstRunReportsAndWritesDefaults", FirstRunReportsAndWritesDefaults},
    {"StoredSettingsAreReadAndSavedBack", StoredSettingsAreReadAndSavedBack},
    {"RenderWindowAndItsMenu", RenderWindowAndItsMenu},
    {"FirstFrameFitsWindowAndShowsErasedPicture", FirstFrameFitsWindowAndShowsErasedPicture},
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
  if (!host::LoadPlugin(ThePlugin())) {
    std::printf("0 passed, 1 failed\n");
    return 1;
  }
  Boxes();  // the watcher runs from here on
  return check::RunAll(kCases);
}
