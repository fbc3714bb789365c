#include <windows.h>

#include "screen_capture.h"

namespace vdphost {

namespace {

struct WindowSearch {
  DWORD process;
  HWND found;
};

BOOL CALLBACK CheckWindow(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<WindowSearch*>(context);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  char name[16] = "";
  GetClassNameA(window, name, sizeof name);
  if (process != search->process || lstrcmpiA(name, "display") != 0) return TRUE;
  search->found = window;
  return FALSE;
}

// The plugin's render window (class "display") among this process's top-level windows.
HWND RenderWindow() {
  WindowSearch search{GetCurrentProcessId(), nullptr};
  EnumWindows(CheckWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// The client area as the screen shows it. A GL window's picture is read from the screen,
// not from GL: under Wine the front buffer reads back black.
bool Grab(HWND window, std::vector<uint32_t>& texels, int& width, int& height) {
  RECT client{};
  if (!GetClientRect(window, &client) || client.right <= 0 || client.bottom <= 0) return false;
  width = client.right;
  height = client.bottom;
  POINT origin{0, 0};
  ClientToScreen(window, &origin);
  BITMAPINFO format{};
  format.bmiHeader.biSize = sizeof(format.bmiHeader);
  format.bmiHeader.biWidth = width;
  format.bmiHeader.biHeight = -height;  // top row first
  format.bmiHeader.biPlanes = 1;
  format.bmiHeader.biBitCount = 32;
  format.bmiHeader.biCompression = BI_RGB;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &format, DIB_RGB_COLORS, &bits, nullptr, 0);
  bool ok = false;
  if (bitmap != nullptr) {
    HGDIOBJ previous = SelectObject(memory, bitmap);
    ok = BitBlt(memory, 0, 0, width, height, screen, origin.x, origin.y, SRCCOPY) != 0;
    GdiFlush();
    SelectObject(memory, previous);
    if (ok) {
      // BGRX in memory: swap to RGBA.
      const auto* bgr = static_cast<const uint32_t*>(bits);
      texels.resize(static_cast<size_t>(width) * height);
      for (size_t i = 0; i < texels.size(); ++i) {
        const uint32_t p = bgr[i];
        texels[i] = 0xFF000000u | ((p & 0xFF) << 16) | (p & 0xFF00) | ((p >> 16) & 0xFF);
      }
    }
    DeleteObject(bitmap);
  }
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return ok;
}

}  // namespace

ScreenCapture::ScreenCapture(const std::string&) {}

ScreenCapture::~ScreenCapture() = default;

bool ScreenCapture::Read(std::vector<uint32_t>& texels, int& width, int& height) const {
  const HWND window = RenderWindow();
  if (window == nullptr) return false;
  // The display server shows a buffer swap a little later: wait until two looks agree.
  std::vector<uint32_t> before;
  int w = 0, h = 0;
  if (!Grab(window, before, w, h)) return false;
  for (int attempt = 0; attempt < 20; ++attempt) {
    Sleep(20);
    if (!Grab(window, texels, width, height)) return false;
    if (width == w && height == h && texels == before) return true;
    before.swap(texels);
    w = width;
    h = height;
  }
  return true;
}

}  // namespace vdphost
