// OpenGLDisplay: start and stop, sizes and requests, clearing and presenting.
#include "display/opengl_display.h"

#include "display/gl_api.h"
#include "display/scale_rules.h"

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
// How long a restart waits for the old window thread before it goes on without a window:
// a thread still closing a message box (which can take seconds) holds no frame up.
constexpr uint32_t kRestartThreadWaitMs = 250;
// How long a start waits for the window thread to publish its window.
constexpr uint32_t kWindowWaitMs = 5000;

}  // namespace

const uint32_t* const kZeroBlock = zeroBlock;

OpenGLDisplay* CurrentDisplay() { return currentDisplay; }
void SetCurrentDisplay(OpenGLDisplay* display) { currentDisplay = display; }

OpenGLDisplay::OpenGLDisplay(const PluginInitInfo& info) {
  vdp::BuildSettingsPath(settingsPath, info.directory);
  messageCallback = info.messageCallback;
  platform::DeleteFileNamed("opengl.log");
}

OpenGLDisplay::~OpenGLDisplay() {
  SaveSettings();
  platform::CloseThread(retiredThread);
}

void OpenGLDisplay::Connect(Switches* menuSwitches, TextureCaches* textureCaches) {
  switches = menuSwitches;
  caches = textureCaches;
}

// --- start and stop ---------------------------------------------------------------------
//
// Every wait on the window thread has a limit, so that a window thread that stops
// answering (a modal box that never closes, a stuck window system) costs the host some
// frames, never the emulator. The outcome of each limit is defined: a window that comes
// late is taken when it comes; a thread that does not end is retired, and no other one
// starts until it has ended.

bool OpenGLDisplay::Init(platform::InstanceHandle moduleInstance,
                         platform::ThreadProc windowThread) {
  instance = moduleInstance;
  windowThreadProc = windowThread;
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
  // Read before the window exists, so that its menu marks the stored size from the start;
  // the window keeps the 320 x 240 picture until the pending resize applies the size.
  LoadSettings();
  if (!StartRenderThread()) return false;
  InitOpenglAPI();
  if (messageCallback != nullptr) {
    messageCallback("VDP OpenGL plugin: initialisation OK!", kColourOk);
    messageCallback("VDP1 core v1.1", kColourCore);
    messageCallback("VDP2 core v1.1", kColourCore);
  }
  return true;
}

bool OpenGLDisplay::StartRenderThread() {
  if (!ReapRetiredThread()) return false;  // one window thread at a time
  threadHandle = platform::StartThread(windowThreadProc, &threadId);
  if (threadHandle == nullptr) {
    platform::ShowMessageBox("Failed to create rendering Window thread", "Error", kIconHand);
    return false;
  }
  // The thread either publishes its window or ends without one. A window later than the
  // limit is taken at a later frame (KeepWindowUp).
  for (uint32_t waited = 0; windowHandle.load() == nullptr; waited += 10) {
    if (platform::ThreadHasEnded(threadHandle)) {
      if (windowHandle.load() != nullptr) break;
      platform::CloseThread(threadHandle);
      threadHandle = nullptr;
      return false;
    }
    if (waited >= kWindowWaitMs) break;
    platform::SleepMs(10);
  }
  return true;
}

void OpenGLDisplay::InitOpenglAPI() {
  const platform::WindowHandle window = windowHandle.load();
  if (window == nullptr) return;  // taken with the window, when it comes
  glSurface = platform::OpenGLSurface(window);
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
  StopDisplay(kThreadEndWaitMs);
  // The library may be unloaded right after a stop: a retired thread gets the same wait.
  for (uint32_t waited = 0; !ReapRetiredThread() && waited < kThreadEndWaitMs; waited += 10)
    platform::SleepMs(10);
}

// Releases the context and the textures, undoes a fullscreen mode and ends the window
// thread, waiting at most threadWaitMs for it.
void OpenGLDisplay::StopDisplay(uint32_t threadWaitMs) {
  const platform::WindowHandle window = windowHandle.load();
  if (glSurface != nullptr) {
    for (int i = 0; i < 6; ++i) planeTexture[i] = planeTextureWidth[i] = planeTextureHeight[i] = 0;
    if (glReady && pictureTexture != 0) glDeleteTextures(1, &pictureTexture);
    pictureTexture = 0;
    for (TilePageTexture& page : tilePageTexture) {
      if (glReady && page.texture != 0) glDeleteTextures(1, &page.texture);
      page.texture = 0;
    }
    // Every cached texture is stale once the context goes, and its name with it: a new
    // context hands the same numbers out again, to other textures.
    if (caches != nullptr) caches->ForgetTextureNames();
    platform::ReleaseContext(glSurface, window);
    glSurface = nullptr;
    glReady = false;
    display::secondaryColor3f = nullptr;
  }
  // Only a mode that was switched is undone: undoing also tells every window of the
  // system, and waits on those that are busy.
  if (screenModeSwitched.exchange(0)) platform::RestoreScreenMode();
  EndWindowThread(threadWaitMs);
  platform::UnregisterDisplayClass(instance);
}

// Tells the window to go until its thread has ended, or the limit has passed: then the
// thread is retired and its window, if it still has one, is no longer the display's.
void OpenGLDisplay::EndWindowThread(uint32_t waitMs) {
  for (uint32_t waited = 0;; waited += 10) {
    platform::WindowHandle window = windowHandle.load();
    if (window != nullptr) {
      // Its procedure clears the handle and posts the quit message; a thread that did
      // not run it in time loses the window all the same, so it takes no more commands.
      platform::SendDestroy(window);
      windowHandle.compare_exchange_strong(window, nullptr);
    }
    if (platform::ThreadHasEnded(threadHandle) || waited >= waitMs) break;
    platform::SleepMs(10);
  }
  if (threadHandle == nullptr) return;
  if (platform::ThreadHasEnded(threadHandle)) {
    platform::CloseThread(threadHandle);
  } else {
    platform::CloseThread(retiredThread);  // an older one still running: it owns itself
    retiredThread = threadHandle;
  }
  threadHandle = nullptr;
}

// True when no retired window thread runs any more.
bool OpenGLDisplay::ReapRetiredThread() {
  if (retiredThread == nullptr) return true;
  platform::WindowHandle window = windowHandle.load();
  if (window != nullptr) {  // published after it was told to go
    platform::SendDestroy(window);
    windowHandle.compare_exchange_strong(window, nullptr);
  }
  if (!platform::ThreadHasEnded(retiredThread)) return false;
  platform::CloseThread(retiredThread);
  retiredThread = nullptr;
  return true;
}

// A fullscreen window is made for the rendering size of now: a request for it is answered.
void OpenGLDisplay::StartWindowAndContext() {
  if (fullscreen) resizePending = 0;
  if (StartRenderThread()) InitOpenglAPI();
}

// Once a frame: a window that came after its start gave up waiting gets its context, and
// a start held back by a retired thread is made once that thread has ended.
void OpenGLDisplay::KeepWindowUp() {
  if (retiredThread != nullptr) {
    if (ReapRetiredThread() && threadHandle == nullptr) StartWindowAndContext();
    return;
  }
  if (glSurface == nullptr && windowHandle.load() != nullptr) InitOpenglAPI();
}

void OpenGLDisplay::Restart() {
  StopDisplay(kRestartThreadWaitMs);
  StartWindowAndContext();
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

// A request is cleared once acted on. A restart takes every request made of the window
// it replaces: a burst of toggles before a frame, or during its restart, is one toggle.
void OpenGLDisplay::ProcessPendingRequests() {
  KeepWindowUp();
  if (vdp1ClearPending.exchange(0) && caches != nullptr) caches->ClearVDP1Cache();
  if (vdp2ClearPending.exchange(0) && caches != nullptr) caches->ClearVDP2Cache();
  if (fullscreenTogglePending) ToggleFullscreen();
  // A size chosen in a window being replaced waits for the window that replaces it.
  if (windowHandle.load() == nullptr) return;
  bool resize;
  {
    std::lock_guard<std::mutex> lock(sizeLock);
    resize = resizePending.exchange(0) != 0;
  }
  if (resize) ApplyRenderingSize();
}

void OpenGLDisplay::ToggleFullscreen() {
  StopDisplay(kRestartThreadWaitMs);
  fullscreenTogglePending = 0;
  fullscreen = fullscreen ? 0 : 1;
  scale = display::ChooseScale(static_cast<float>(renderWidth) / static_cast<float>(vdpWidth));
  if (vdpWidth > renderWidth || vdpHeight > renderHeight) SetRenderingSizeForVdpWidth();
  // Windowed: a pending size still gets its windowed resize, which restarts nothing.
  StartWindowAndContext();
}

void OpenGLDisplay::ApplyRenderingSize() {
  if (fullscreen)
    Restart();
  else
    WindowedResize();
}

int OpenGLDisplay::GetResolutionIndex() const {
  return display::ResolutionIndexOfWidth(renderWidth);
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
