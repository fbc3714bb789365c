// The render window: its class, screen mode, creation, size, title and message loop.
#include <windows.h>

#include "platform/platform.h"
#include "platform/win32/win32_handles.h"
#include "resource_ids.h"

// The layouts the 32-bit host ABI fixes for these records.
static_assert(sizeof(void*) != 4 || sizeof(WNDCLASSEXA) == 48);
static_assert(sizeof(void*) != 4 || sizeof(DEVMODEA) == 156);

namespace {

constexpr char kClassName[] = "display";
constexpr char kInitialTitle[] = "OpenGL display";
// CS_HREDRAW | CS_VREDRAW | CS_OWNDC: the GL surface keeps one device context.
constexpr UINT kClassStyle = CS_HREDRAW | CS_VREDRAW | CS_OWNDC;
// Windowed: a border and a system menu only (no sizing frame, no minimise box).
constexpr DWORD kWindowedStyle = WS_BORDER | WS_SYSMENU;
// The style the picture rectangle is adjusted with, whatever the window's own style.
constexpr DWORD kFittingStyle = 0x80023;
// Extra outer height given to a fitted window, above the adjusted rectangle.
constexpr int kFittingExtraHeight = 44;

// Asks the window's own thread to fit the window: wParam, lParam = picture size.
constexpr UINT kFitMessage = WM_APP + 1;

platform::WindowEventHandler eventHandler = nullptr;

void FitOnOwnThread(HWND window, int pictureWidth, int pictureHeight) {
  RECT picture = {0, 0, pictureWidth, pictureHeight};
  AdjustWindowRect(&picture, kFittingStyle, TRUE);
  RECT current = {};
  GetWindowRect(window, &current);
  MoveWindow(window, current.left, current.top, picture.right, picture.bottom + kFittingExtraHeight,
             TRUE);
}

// A send that gives up after the limit, and at once when the window's thread hangs.
bool SendWithLimit(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  DWORD_PTR result = 0;
  return SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL | SMTO_ABORTIFHUNG,
                             platform::kSendLimitMs, &result) != 0;
}

bool Deliver(HWND window, platform::WindowEventKind kind, uint32_t value) {
  return eventHandler != nullptr && eventHandler(window, platform::WindowEvent{kind, value});
}

LRESULT CALLBACK DisplayWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  using platform::WindowEventKind;
  bool handled = false;
  switch (message) {
    case WM_CREATE:
      handled = Deliver(window, WindowEventKind::Create, 0);
      break;
    case WM_DESTROY:
      handled = Deliver(window, WindowEventKind::Destroy, 0);
      // The loop may be waiting on this window's messages alone, and the quit message
      // belongs to no window: wake it so that it asks for its window again.
      PostMessageA(window, WM_NULL, 0, 0);
      break;
    case WM_CLOSE:
      handled = Deliver(window, WindowEventKind::Close, 0);
      break;
    case WM_KEYDOWN:
      handled = Deliver(window, WindowEventKind::KeyDown, static_cast<uint32_t>(wParam));
      break;
    case WM_SYSKEYDOWN:
      handled = Deliver(window, WindowEventKind::SysKeyDown, static_cast<uint32_t>(wParam));
      break;
    case WM_COMMAND:
      handled = Deliver(window, WindowEventKind::Command, static_cast<uint32_t>(wParam));
      break;
    case kFitMessage:
      FitOnOwnThread(window, static_cast<int>(wParam), static_cast<int>(lParam));
      return 0;
    default:
      break;
  }
  if (handled) return 0;
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

namespace platform {

void RegisterDisplayClass(InstanceHandle instance, WindowEventHandler handler) {
  eventHandler = handler;
  WNDCLASSEXA windowClass = {};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.style = kClassStyle;
  windowClass.lpfnWndProc = DisplayWindowProcedure;
  windowClass.hInstance = win32::Hinstance(instance);
  windowClass.hIcon = LoadIconA(win32::Hinstance(instance), win32::ResourceId(IDI_PLUGIN));
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  windowClass.lpszMenuName = win32::ResourceId(IDR_DISPLAY_MENU);
  windowClass.lpszClassName = kClassName;
  // A class left registered by an earlier window thread serves as well.
  RegisterClassExA(&windowClass);
}

void UnregisterDisplayClass(InstanceHandle instance) {
  UnregisterClassA(kClassName, win32::Hinstance(instance));
}

bool SwitchScreenMode(int width, int height) {
  DEVMODEA mode = {};
  mode.dmSize = sizeof(mode);
  mode.dmPelsWidth = static_cast<DWORD>(width);
  mode.dmPelsHeight = static_cast<DWORD>(height);
  mode.dmBitsPerPel = 32;
  mode.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT;
  return ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN) == DISP_CHANGE_SUCCESSFUL;
}

void RestoreScreenMode() { ChangeDisplaySettingsA(nullptr, 0); }

WindowHandle CreateDisplayWindow(InstanceHandle instance, bool fullscreen, int width, int height) {
  const DWORD extendedStyle = fullscreen ? WS_EX_APPWINDOW : 0;
  const DWORD style = fullscreen ? WS_POPUP : kWindowedStyle;
  return CreateWindowExA(extendedStyle, kClassName, kInitialTitle, style, CW_USEDEFAULT,
                         CW_USEDEFAULT, width, height, nullptr, nullptr, win32::Hinstance(instance),
                         nullptr);
}

void ShowDisplayWindow(WindowHandle window) { ShowWindow(win32::Hwnd(window), SW_SHOWDEFAULT); }

void FitWindowToPicture(WindowHandle window, int pictureWidth, int pictureHeight) {
  // Moving a window of another thread waits on that thread: ask it instead, with a limit.
  if (GetWindowThreadProcessId(win32::Hwnd(window), nullptr) == GetCurrentThreadId())
    FitOnOwnThread(win32::Hwnd(window), pictureWidth, pictureHeight);
  else
    SendWithLimit(win32::Hwnd(window), kFitMessage, pictureWidth, pictureHeight);
}

void RunMessageLoop(WindowReader currentWindow) {
  MSG message;
  for (;;) {
    const BOOL result = GetMessageA(&message, win32::Hwnd(currentWindow()), 0, 0);
    if (result == 0 || result == -1) break;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

void PostQuit() { PostQuitMessage(0); }

void SetWindowTitle(WindowHandle window, const char* title) {
  // A send that outlives its limit is still run later: its text must outlive the caller.
  static char text[256];
  lstrcpynA(text, title, sizeof(text));
  SendWithLimit(win32::Hwnd(window), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

bool SendDestroy(WindowHandle window) {
  if (SendWithLimit(win32::Hwnd(window), WM_DESTROY, 0, 0)) return true;
  // A send given up on may be dropped: posted, it is run whenever the thread gets back to
  // its queue, and the thread still ends.
  PostMessageA(win32::Hwnd(window), WM_DESTROY, 0, 0);
  return false;
}

}  // namespace platform
