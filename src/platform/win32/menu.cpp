// The render window's menu and check marks, the mouse cursor and the Escape key.
#include <windows.h>

#include "platform/platform.h"
#include "platform/win32/win32_handles.h"
#include "resource_ids.h"

static_assert(sizeof(void*) != 4 || sizeof(MENUITEMINFOA) == 48);

namespace {

// Replaces the window's menu; the menu it had is no longer anyone's and is destroyed.
void ReplaceMenu(HWND window, HMENU menu) {
  const HMENU previous = GetMenu(window);
  SetMenu(window, menu);
  if (previous != nullptr && previous != menu) DestroyMenu(previous);
}

}  // namespace

namespace platform {

void AttachFreshMenu(WindowHandle window, InstanceHandle instance) {
  ReplaceMenu(win32::Hwnd(window),
              LoadMenuA(win32::Hinstance(instance), win32::ResourceId(IDR_DISPLAY_MENU)));
}

void DetachMenu(WindowHandle window) { ReplaceMenu(win32::Hwnd(window), nullptr); }

bool IsMenuItemChecked(WindowHandle window, int id) {
  const HMENU menu = GetMenu(win32::Hwnd(window));
  if (menu == nullptr) return false;
  MENUITEMINFOA info = {};
  info.cbSize = sizeof(info);
  info.fMask = MIIM_STATE;
  GetMenuItemInfoA(menu, static_cast<UINT>(id), FALSE, &info);
  // Checked means exactly "checked": a checked item that is also highlighted or
  // greyed counts as unchecked.
  return info.fState == MFS_CHECKED;
}

void SetMenuItemChecked(WindowHandle window, int id, bool checked) {
  CheckMenuItem(GetMenu(win32::Hwnd(window)), static_cast<UINT>(id),
                checked ? MF_CHECKED : MF_UNCHECKED);
}

void ShowMouseCursor(bool show) { ShowCursor(show ? TRUE : FALSE); }

bool IsEscapeKeyDown() {
  BYTE keys[256] = {};
  GetKeyboardState(keys);
  return (keys[VK_ESCAPE] & 0x80) != 0;
}

}  // namespace platform
