// OpenGLDisplay: start and stop, sizes and requests, clearing and presenting.
#include "display/opengl_display.h"

#include "display/gl_api.h"
#include "display/render_window.h"
#include "display/scale_rules.h"
#include "vdp1/vdp1_core.h"
#include "vdp2/vdp2_core.h"

namespace display {
SecondaryColor3fProc secondaryColor3f = nullptr;
}

namespace {

OpenGLDisplay* currentDisplay = nullptr;

// Initial data of new tile-page textures: the largest plane, all transparent.
uint32_t zeroBlock[1024 * 1024];

constexpr uint32_t kColourOk = 0x32FF32;
constexpr uint32_t kColourCore = 0xE6C8A0;
constexpr uint32_t kIconHand = 0x10;
// How long a stop waits for the window thread to leave the library's code.
constexpr uint32_t kThreadEndWaitMs = 5000;

}  // namespace

const uint32_t* const kZeroBlock = zeroBlock;

OpenGLDisplay* CurrentDisplay() { return currentDisplay; }
void SetCurrentDisplay(OpenGLDisplay* display) { currentDisplay = display; }

OpenGLDisplay::OpenGLDisplay(const PluginInitInfo& info) {
  vdp::BuildSettingsPath(settingsPath, info.directory);
  messageCallback = info.messageCallback;
  platform::DeleteFileNamed("opengl.log");
}

OpenGLDisplay::~OpenGLDisplay() { SaveSettings(); }

void OpenGLDisplay::ConnectCores(VDP1Core* vdp1Core, VDP2Core* vdp2Core) {
  vdp1 = vdp1Core;
  vdp2 = vdp2Core;
}

// --- start and stop ---------------------------------------------------------------------

bool OpenGLDisplay::Init(platform::InstanceHandle moduleInstance) {
  instance = moduleInstance;
  fullscreen = 0;
  fullscreenTogglePending = 0;
  scale = 1.0f;
  SetVDPResolution(320, 240);  // no window yet: only recorded
  {
    std::lock_guard<std::mutex> lock(sizeLock);
    if (renderWidth != 320 || renderHeight != 240) {
      renderWidth = 320;
      renderHeight = 240;
      resizePending = 1;
    }
  }
  if (!StartRenderThread()) return false;
  InitOpenglAPI();
  if (messageCallback != nullptr) {
    messageCallback("VDP OpenGL plugin: initialisation OK!", kColourOk);
    messageCallback("VDP1 core v1.1", kColourCore);
    messageCallback("VDP2 core v1.1", kColourCore);
  }
  LoadSettings();
  return true;
}

bool OpenGLDisplay::StartRenderThread() {
  threadHandle = platform::StartThread(display::RenderWindowThread, &threadId);
  if (threadHandle == nullptr) {
    platform::ShowMessageBox("Failed to create rendering Window thread", "Error", kIconHand);
    return false;
  }
  // The thread either publishes its window or ends without one.
  while (windowHandle.load() == nullptr) {
    if (platform::ThreadHasEnded(threadHandle)) {
      if (windowHandle.load() != nullptr) break;
      platform::CloseThread(threadHandle);
      threadHandle = nullptr;
      return false;
    }
    platform::SleepMs(10);
  }
  return true;
}

void OpenGLDisplay::InitOpenglAPI() {
  glSurface = platform::OpenGLSurface(windowHandle.load());
  glReady = platform::CreateAndBindContext(glSurface);
  if (!glReady) return;
  glShadeModel(GL_SMOOTH);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glEnable(GL_LINE_SMOOTH);
  glEnable(GL_POLYGON_SMOOTH);
  glLightModeli(GL_LIGHT_MODEL_COLOR_CONTROL, GL_SEPARATE_SPECULAR_COLOR);
  display::secondaryColor3f = reinterpret_cast<display::SecondaryColor3fProc>(
      platform::GetGLProcAddress("glSecondaryColor3fEXT"));
  glDisable(GL_LIGHTING);
  glEnable(GL_COLOR_SUM_EXT);
  for (uint32_t& name : planeTexture) glGenTextures(1, &name);
  if (fullscreen) glViewport(0, 0, renderWidth, renderHeight);
}

void OpenGLDisplay::Shutdown() {
  const platform::WindowHandle window = windowHandle.load();
  if (window != nullptr) {
    for (int i = 0; i < 6; ++i) planeTexture[i] = planeTextureWidth[i] = planeTextureHeight[i] = 0;
    for (TilePageTexture& page : tilePageTexture) {
      if (glReady && page.texture != 0) glDeleteTextures(1, &page.texture);
      page.texture = 0;
    }
    // Every cached texture is stale once the context goes, and its name with it: a new
    // context hands the same numbers out again, to other textures.
    if (vdp1 != nullptr) {
      vdp1->ClearCache();
      for (SpriteTexture& entry : vdp1->spriteTextures) entry.glTexture = 0;
    }
    if (vdp2 != nullptr) vdp2->ClearCache();
    if (fullscreen) platform::RestoreScreenMode();
    platform::ReleaseContext(glSurface, window);
    glSurface = nullptr;
    glReady = false;
    display::secondaryColor3f = nullptr;
    platform::SendDestroy(window);
    while (windowHandle.load() != nullptr && !platform::ThreadHasEnded(threadHandle))
      platform::SleepMs(50);
    windowHandle = nullptr;
    platform::UnregisterDisplayClass(instance);
  }
  if (threadHandle != nullptr) {
    // The library may be unloaded right after a stop: let the thread leave its code.
    for (uint32_t waited = 0; !platform::ThreadHasEnded(threadHandle) && waited < kThreadEndWaitMs;
         waited += 10)
      platform::SleepMs(10);
    platform::CloseThread(threadHandle);
    threadHandle = nullptr;
  }
}

void OpenGLDisplay::Restart() {
  Shutdown();
  if (StartRenderThread()) InitOpenglAPI();
}

// --- sizes ------------------------------------------------------------------------------

void OpenGLDisplay::SendTitle() {
  char title[128];
  display::FormatWindowTitle(title, sizeof(title), scale, renderWidth, renderHeight, vdpWidth,
                             vdpHeight, PictureWidth(), PictureHeight());
  platform::SetWindowTitle(windowHandle.load(), title);
}

void OpenGLDisplay::WindowedResize() {
  const platform::WindowHandle window = windowHandle.load();
  if (window == nullptr) return;
  scale = display::ChooseScale(static_cast<float>(renderWidth) / static_cast<float>(vdpWidth));
  platform::FitWindowToPicture(window, PictureWidth(), PictureHeight());
  if (glReady) glViewport(0, 0, PictureWidth(), PictureHeight());
  SendTitle();
}

void OpenGLDisplay::SetRenderingSizeForVdpWidth() {
  int32_t width = 0, height = 0;
  if (!display::RenderingSizeForVdpWidth(vdpWidth, width, height)) return;
  std::lock_guard<std::mutex> lock(sizeLock);
  renderWidth = width;
  renderHeight = height;
}

void OpenGLDisplay::SetVDPResolution(int32_t width, int32_t height) {
  if (width == vdpWidth && height == vdpHeight) return;
  vdpWidth = width;
  vdpHeight = height;
  if (windowHandle.load() == nullptr) return;
  if (fullscreen) {
    if (width <= renderWidth && height <= renderHeight) return;
    SetRenderingSizeForVdpWidth();
    Restart();
  } else {
    WindowedResize();
  }
}

void OpenGLDisplay::SetRenderingSize(int32_t width, int32_t height) {
  std::lock_guard<std::mutex> lock(sizeLock);
  if (width == renderWidth && height == renderHeight) return;
  renderWidth = width;
  renderHeight = height;
  resizePending = 1;
}

void OpenGLDisplay::ProcessPendingRequests() {
  if (vdp1ClearPending.exchange(0) && vdp1 != nullptr) vdp1->ClearCache();
  if (vdp2ClearPending.exchange(0) && vdp2 != nullptr) vdp2->ClearCache();
  if (fullscreenTogglePending.exchange(0)) ToggleFullscreen();
  bool resize;
  {
    std::lock_guard<std::mutex> lock(sizeLock);
    resize = resizePending.exchange(0) != 0;
  }
  if (resize) ApplyRenderingSize();
}

void OpenGLDisplay::ToggleFullscreen() {
  Shutdown();
  fullscreen = fullscreen ? 0 : 1;
  scale = display::ChooseScale(static_cast<float>(renderWidth) / static_cast<float>(vdpWidth));
  if (vdpWidth > renderWidth || vdpHeight > renderHeight) SetRenderingSizeForVdpWidth();
  if (StartRenderThread()) InitOpenglAPI();
}

void OpenGLDisplay::ApplyRenderingSize() {
  if (fullscreen) {
    Restart();
  } else {
    WindowedResize();
    // A size read from the settings file after the menu was made: its marks follow.
    display::SyncResolutionChecks(windowHandle.load());
  }
}

int OpenGLDisplay::GetResolutionIndex() const {
  return display::ResolutionIndexOfWidth(renderWidth);
}

void OpenGLDisplay::ToggleMenuAndCursor() {
  if (!fullscreen) return;
  const platform::WindowHandle window = windowHandle.load();
  menuShown = menuShown ? 0 : 1;
  if (menuShown) {
    platform::AttachFreshMenu(window, instance);
    display::SyncMenuChecks(window);
    if (cursorHidden) {
      platform::ShowMouseCursor(true);
      cursorHidden = 0;
    }
  } else {
    platform::DetachMenu(window);
    if (!cursorHidden) {
      platform::ShowMouseCursor(false);
      cursorHidden = 1;
    }
  }
}

// --- frames -----------------------------------------------------------------------------

void OpenGLDisplay::EraseFrame() {
  ++counters.framesErased;
  if (!glReady) return;
  glClearColor(0, 0, 0, 0);
  glClear(GL_COLOR_BUFFER_BIT);
}

void OpenGLDisplay::PresentFrame() {
  ++counters.framesPresented;
  if (!glReady) return;
  platform::SwapSurfaceBuffers(glSurface);
  if (clearAfterSwap) {
    clearAfterSwap = 0;
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT);
  }
}

// --- settings ---------------------------------------------------------------------------

void OpenGLDisplay::LoadSettings() {
  int width = vdp::ReadSetting(settingsPath, "OPENGL", "rendering width", -1);
  if (width == -1) {
    width = 320;
    vdp::WriteSetting(settingsPath, "OPENGL", "rendering width", width);
  }
  int height = vdp::ReadSetting(settingsPath, "OPENGL", "rendering height", -1);
  if (height == -1) {
    height = 240;
    vdp::WriteSetting(settingsPath, "OPENGL", "rendering height", height);
  }
  std::lock_guard<std::mutex> lock(sizeLock);
  renderWidth = width;
  renderHeight = height;
}

void OpenGLDisplay::SaveSettings() {
  vdp::WriteSetting(settingsPath, "OPENGL", "rendering width", renderWidth);
  vdp::WriteSetting(settingsPath, "OPENGL", "rendering height", renderHeight);
}
