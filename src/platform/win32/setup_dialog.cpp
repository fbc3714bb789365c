// The host's main window and the modeless "Scroll screens modes" dialog it owns.
#include <windows.h>

#include "platform/platform.h"
#include "platform/win32/win32_handles.h"
#include "resource_ids.h"

namespace {

constexpr char kHostWindowClass[] = "Kalvrine 2";

// One dialog at a time: the plugin does not open a second one while this one lives.
platform::DialogCommandHandler commandHandler = nullptr;
platform::DialogClosedHandler closedHandler = nullptr;

INT_PTR CALLBACK SetupDialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      return TRUE;  // the system gives the default control the focus
    case WM_CLOSE:
      DestroyWindow(dialog);
      if (closedHandler != nullptr) closedHandler();
      return FALSE;
    case WM_COMMAND:
      if (commandHandler != nullptr) commandHandler(LOWORD(wParam));
      return FALSE;
    default:
      return FALSE;
  }
}

}  // namespace

namespace platform {

WindowHandle FindHostWindow() { return FindWindowA(kHostWindowClass, nullptr); }

WindowHandle CreateSetupDialog(InstanceHandle instance, WindowHandle owner,
                               DialogCommandHandler onCommand, DialogClosedHandler onClose) {
  commandHandler = onCommand;
  closedHandler = onClose;
  HWND dialog =
      CreateDialogParamA(win32::Hinstance(instance), win32::ResourceId(IDD_SCROLL_SCREENS),
                         win32::Hwnd(owner), SetupDialogProcedure, 0);
  if (dialog != nullptr) ShowWindow(dialog, SW_SHOW);
  return dialog;
}

}  // namespace platform
