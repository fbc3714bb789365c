// The OpenGL context on the host thread: the window's device context with its pixel
// format, a WGL context made current, buffer swaps and extension entry points.
#include <windows.h>

#include "platform/platform.h"
#include "platform/win32/win32_handles.h"

static_assert(sizeof(PIXELFORMATDESCRIPTOR) == 40);

namespace {

struct Surface {
  HWND window = nullptr;
  HDC deviceContext = nullptr;
  HGLRC glContext = nullptr;
};

}  // namespace

namespace platform {

GLContextHandle OpenGLSurface(WindowHandle window) {
  auto* surface = new Surface;
  surface->window = win32::Hwnd(window);
  surface->deviceContext = GetDC(surface->window);
  // Double-buffered RGBA, 24 colour bits and a 16-bit depth buffer, drawn into the window.
  PIXELFORMATDESCRIPTOR format = {};
  format.nSize = sizeof(format);
  format.nVersion = 1;
  format.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
  format.iPixelType = PFD_TYPE_RGBA;
  format.cColorBits = 24;
  format.cDepthBits = 16;
  format.iLayerType = PFD_MAIN_PLANE;
  const int index = ChoosePixelFormat(surface->deviceContext, &format);
  SetPixelFormat(surface->deviceContext, index, &format);
  return surface;
}

bool CreateAndBindContext(GLContextHandle handle) {
  auto* surface = static_cast<Surface*>(handle);
  surface->glContext = wglCreateContext(surface->deviceContext);
  if (surface->glContext == nullptr) return false;
  return wglMakeCurrent(surface->deviceContext, surface->glContext) != FALSE;
}

void ReleaseContext(GLContextHandle handle, WindowHandle window) {
  auto* surface = static_cast<Surface*>(handle);
  if (surface == nullptr) return;
  wglMakeCurrent(nullptr, nullptr);
  if (surface->glContext != nullptr) wglDeleteContext(surface->glContext);
  ReleaseDC(win32::Hwnd(window), surface->deviceContext);
  delete surface;
}

void SwapSurfaceBuffers(GLContextHandle handle) {
  auto* surface = static_cast<Surface*>(handle);
  if (surface != nullptr) SwapBuffers(surface->deviceContext);
}

void* GetGLProcAddress(const char* name) {
  return reinterpret_cast<void*>(wglGetProcAddress(name));
}

}  // namespace platform
