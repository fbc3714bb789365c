// Conversions between the platform seam's opaque handles and the Windows types.
#pragma once

#include <windows.h>

#include "platform/platform.h"

namespace win32 {

inline HWND Hwnd(platform::WindowHandle window) { return static_cast<HWND>(window); }
inline HINSTANCE Hinstance(platform::InstanceHandle instance) {
  return static_cast<HINSTANCE>(instance);
}
// MAKEINTRESOURCEA without the int-to-pointer cast warning.
inline LPCSTR ResourceId(int id) {
  return reinterpret_cast<LPCSTR>(static_cast<ULONG_PTR>(static_cast<WORD>(id)));
}

}  // namespace win32
