// Headless OpenGL: an offscreen Mesa context over a buffer the size of the window's
// client area. A buffer swap keeps a copy of the picture for tests to read back.
#include <GL/gl.h>
#include <GL/osmesa.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <vector>

#include "platform/headless/headless_state.h"
#include "platform/headless/headless_testing.h"
#include "platform/platform.h"

namespace {

struct Surface {
  platform::WindowHandle window;
  OSMesaContext context = nullptr;
  std::vector<uint32_t> buffer;  // bottom row first, as GL draws it
  int width = 0, height = 0;
};

struct Presented {
  std::mutex lock;
  std::vector<uint32_t> texels;  // top row first
  int width = 0, height = 0;
  int count = 0;
};

// A tool can ask the stand-in system for a screenshot of every presented frame, the way
// a real desktop could be captured: the file named by VDP_HEADLESS_SCREEN is rewritten
// at each swap with "VDPRGBA\n<width> <height>\n" and the texels, top row first.
void WriteScreenshot(const std::vector<uint32_t>& texels, int width, int height) {
  static const char* path = std::getenv("VDP_HEADLESS_SCREEN");
  if (path == nullptr || path[0] == '\0') return;
  FILE* file = std::fopen(path, "wb");
  if (file == nullptr) return;
  std::fprintf(file, "VDPRGBA\n%d %d\n", width, height);
  std::fwrite(texels.data(), sizeof(uint32_t), texels.size(), file);
  std::fclose(file);
}

Presented& LastPresented() {
  static Presented presented;
  return presented;
}

// Binds the context over a buffer matching the window's current client area.
bool Bind(Surface& s) {
  int width = 1, height = 1;
  headless::ClientSizeOf(s.window, width, height);
  width = std::max(width, 1);
  height = std::max(height, 1);
  if (width != s.width || height != s.height || s.buffer.empty()) {
    s.width = width;
    s.height = height;
    s.buffer.assign(static_cast<size_t>(width) * height, 0);
  }
  return OSMesaMakeCurrent(s.context, s.buffer.data(), GL_UNSIGNED_BYTE, width, height) == GL_TRUE;
}

}  // namespace

namespace headless {

bool PresentedPicture(std::vector<uint32_t>& texels, int& width, int& height) {
  Presented& p = LastPresented();
  std::lock_guard<std::mutex> g(p.lock);
  if (p.count == 0) return false;
  texels = p.texels;
  width = p.width;
  height = p.height;
  return true;
}

int PresentCount() {
  Presented& p = LastPresented();
  std::lock_guard<std::mutex> g(p.lock);
  return p.count;
}

}  // namespace headless

namespace platform {

GLContextHandle OpenGLSurface(WindowHandle window) {
  auto* s = new Surface;
  s->window = window;
  return s;
}

bool CreateAndBindContext(GLContextHandle surface) {
  auto* s = static_cast<Surface*>(surface);
  if (headless::failContext.exchange(false)) return false;
  s->context = OSMesaCreateContextExt(OSMESA_RGBA, 16, 0, 0, nullptr);
  if (s->context == nullptr) return false;
  return Bind(*s);
}

void ReleaseContext(GLContextHandle surface, WindowHandle) {
  auto* s = static_cast<Surface*>(surface);
  if (s == nullptr) return;
  if (s->context != nullptr) {
    glFinish();
    OSMesaDestroyContext(s->context);
  }
  delete s;
}

void SwapSurfaceBuffers(GLContextHandle surface) {
  auto* s = static_cast<Surface*>(surface);
  if (s == nullptr || s->context == nullptr) return;
  glFinish();
  {
    // The picture is the window's client area; GL draws from its lower-left corner.
    int width = s->width, height = s->height;
    headless::ClientSizeOf(s->window, width, height);
    Presented& p = LastPresented();
    std::lock_guard<std::mutex> g(p.lock);
    p.width = width;
    p.height = height;
    const int rows = std::min(height, s->height), columns = std::min(width, s->width);
    // The rows below copy over the whole picture when the surface covers the client area:
    // then only its size is set (no clearing pass once the size holds).
    if (rows == height && columns == width) {
      p.texels.resize(static_cast<size_t>(width) * height);
    } else {
      p.texels.assign(static_cast<size_t>(width) * height, 0);
    }
    for (int glRow = 0; glRow < rows; ++glRow)
      std::copy_n(&s->buffer[static_cast<size_t>(glRow) * s->width], columns,
                  &p.texels[static_cast<size_t>(height - 1 - glRow) * width]);
    ++p.count;
    WriteScreenshot(p.texels, width, height);
  }
  // The window may have been resized since the last frame: follow its client area.
  Bind(*s);
}

void* GetGLProcAddress(const char* name) {
  return reinterpret_cast<void*>(OSMesaGetProcAddress(name));
}

}  // namespace platform
