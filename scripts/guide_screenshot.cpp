// The user guide's picture, taken by scripts/guide_screenshot.sh under Wine: a Windows
// program that loads VDP_dll.dll as a host does, plays the animated demo into the render
// window, opens "Display > Resolution" with the mouse as a player would, and writes the
// screen rectangle of the window and its open menus to guide_rect.txt. It waits for the
// file guide_done to appear (the script's screenshot), then closes the menu and stops.
// Usage: guide_screenshot.exe <path of VDP_dll.dll>
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "plugin_api.h"
#include "scene_bus.h"
#include "screen_capture.h"

namespace {

void __cdecl PrintStatus(const char* text, uint32_t colour) {
  std::printf("plugin: %s (colour %06X)\n", text, colour);
}

void Click(POINT at) {
  SetCursorPos(at.x, at.y);
  Sleep(150);
  mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
  mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
}

// A window as it draws itself (WM_PRINT), as a 32-bit BMP file.
bool WritePrintedBmp(const char* path, HWND window, const RECT& r) {
  const int w = r.right - r.left, h = r.bottom - r.top;
  BITMAPINFO bmi = {};
  bmi.bmiHeader = {sizeof(BITMAPINFOHEADER), w, h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  const HDC screen = GetDC(nullptr), memory = CreateCompatibleDC(screen);
  const HBITMAP bitmap = CreateDIBSection(screen, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
  const HGDIOBJ old = SelectObject(memory, bitmap);
  const bool copied = PrintWindow(window, memory, 0);
  const DWORD bytes = static_cast<DWORD>(w) * h * 4;
  BITMAPFILEHEADER file = {0x4D42, static_cast<DWORD>(sizeof(file) + sizeof(bmi.bmiHeader)) + bytes,
                           0, 0, sizeof(file) + sizeof(bmi.bmiHeader)};
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(&file), sizeof(file));
  out.write(reinterpret_cast<const char*>(&bmi.bmiHeader), sizeof(bmi.bmiHeader));
  out.write(static_cast<const char*>(bits), bytes);
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return copied && out.good();
}

// The open menus, the first opened first.
std::vector<HWND> OpenMenus() {
  std::vector<HWND> menus;
  for (HWND popup = nullptr; (popup = FindWindowExA(nullptr, popup, "#32768", nullptr));)
    if (IsWindowVisible(popup)) menus.insert(menus.begin(), popup);
  return menus;
}

void WaitForMenus(size_t count) {
  for (int waited = 0; waited < 3000 && OpenMenus().size() < count; waited += 50) Sleep(50);
  Sleep(200);
}

POINT Middle(const RECT& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

}  // namespace

int main(int argc, char** argv) {
  setvbuf(stdout, nullptr, _IONBF, 0);
  if (argc != 2) {
    std::printf("usage: guide_screenshot.exe <VDP_dll.dll>\n");
    return 2;
  }
  vdphost::PluginApi api{};
  std::string error;
  if (!vdphost::LoadPlugin(argv[1], api, error)) {
    std::printf("%s\n", error.c_str());
    return 1;
  }
  const HMODULE module = GetModuleHandleA(argv[1]);
  // A rendering size of 800 x 600 shows the 352-dot demo twice as large.
  char directory[MAX_PATH];
  GetCurrentDirectoryA(sizeof directory, directory);
  std::ofstream(std::string(directory) + "\\VDP_plugin.ini")
      << "[OPENGL]\r\nrendering width=800\r\nrendering height=600\r\n";
  vdphost::InitInfo info{0, PrintStatus, module, directory};
  if (!api.InitVDPPlugin(&info)) return 1;
  const vdphost::ScreenCapture noScreen("");
  vdphost::SceneBus bus(api, noScreen, [](const std::string&) {});
  bus.demoFrames = 150;
  vdphost::PlayAnimatedDemo(bus);

  const HWND window = FindWindowA("display", nullptr);
  const HMENU menu = GetMenu(window);
  RECT item = {};
  int status = 1;
  if (window != nullptr && menu != nullptr && GetMenuItemRect(window, menu, 0, &item)) {
    // A first start of Wine's desktop can take a while to take clicks: try again.
    for (int tries = 0; tries < 10 && OpenMenus().empty(); ++tries) {
      SetForegroundWindow(window);
      Click(Middle(item));  // "Display"
      WaitForMenus(1);
    }
    for (int tries = 0; tries < 5 && OpenMenus().size() < 2; ++tries) {
      if (GetMenuItemRect(window, GetSubMenu(menu, 0), 1, &item))
        Click(Middle(item));  // "Resolution"
      WaitForMenus(2);
    }
    Sleep(300);
    // Under Xvfb, Wine leaves menus that lie wholly over an OpenGL window unpainted on the
    // screen: each menu is also written as it draws itself, for the script to lay on top.
    RECT shot = {};
    GetWindowRect(window, &shot);
    const std::vector<HWND> menus = OpenMenus();
    for (size_t i = 0; i < menus.size(); ++i) {
      RECT r = {};
      GetWindowRect(menus[i], &r);
      UnionRect(&shot, &shot, &r);
      char name[64];
      std::snprintf(name, sizeof name, "guide_menu_%zu_%ld_%ld.bmp", i, r.left, r.top);
      WritePrintedBmp(name, menus[i], r);
    }
    if (menus.size() == 2)
      std::ofstream("guide_rect.txt")
          << shot.left << " " << shot.top << " " << shot.right - shot.left << " "
          << shot.bottom - shot.top << "\n";
    for (int waited = 0; menus.size() == 2 && waited < 60000 &&
                         GetFileAttributesA("guide_done") == INVALID_FILE_ATTRIBUTES;
         waited += 100)
      Sleep(100);
    PostMessageA(window, WM_CANCELMODE, 0, 0);
    Sleep(300);
    status = menus.size() == 2 ? 0 : 1;
  } else {
    std::printf("no render window with a menu\n");
  }
  api.DeInitPlugin();
  return status;
}
