// OpenGLDisplay: the picture. Owns the render window (through its thread), the GL
// context on the host thread, the sizes that map the emulated screen onto the window,
// the requests the window thread hands to the host thread, and every GL call.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>

#include "common/draw_records.h"
#include "common/host_types.h"
#include "common/settings_path.h"
#include "platform/platform.h"

struct Switches;

// The cores' texture caches as the display sees them: told when the player asks for a
// cache to be cleared, and when every GL texture name they hold went with the context.
class TextureCaches {
 public:
  virtual void ClearVDP1Cache() = 0;
  virtual void ClearVDP2Cache() = 0;
  virtual void ForgetTextureNames() = 0;

 protected:
  ~TextureCaches() = default;
};

// One GL texture per 2 KB of VDP2 VRAM at which a cell plane starts.
struct TilePageTexture {
  int32_t width;
  int32_t height;
  uint8_t flag;
  uint32_t texture;
};

class OpenGLDisplay {
 public:
  explicit OpenGLDisplay(const PluginInitInfo& info);
  ~OpenGLDisplay();
  OpenGLDisplay(const OpenGLDisplay&) = delete;
  OpenGLDisplay& operator=(const OpenGLDisplay&) = delete;

  // The menu's switches and the caches to tell; both outlive the display.
  void Connect(Switches* menuSwitches, TextureCaches* textureCaches);

  // Host thread. windowThread is the render window's thread procedure.
  bool Init(platform::InstanceHandle moduleInstance, platform::ThreadProc windowThread);
  bool StartRenderThread();
  void InitOpenglAPI();
  void Shutdown();
  void SetVDPResolution(int32_t width, int32_t height);
  void ProcessPendingRequests();
  void ToggleFullscreen();
  void ApplyRenderingSize();
  void EraseFrame();
  void PresentFrame();
  void RequestClearAfterSwap() { clearAfterSwap = 1; }
  void LoadSettings();
  void SaveSettings();

  // Window thread.
  void SetRenderingSize(int32_t width, int32_t height);
  void RequestFullscreenToggle() { fullscreenTogglePending = 1; }
  void RequestClearVDP1Cache() { vdp1ClearPending = 1; }
  void RequestClearVDP2Cache() { vdp2ClearPending = 1; }
  // Index of renderWidth among the menu's widths, or -1.
  int GetResolutionIndex() const;

  // GL drawing operations, host thread with the context current.
  // VDP1 sprites (gl_sprites.cpp).
  void UploadTexture(SpriteTexture& entry, const uint32_t* pixels);
  void DrawTexturedQuad(const SpriteQuad& quad);
  // VDP1 shapes (gl_shapes.cpp).
  void DrawShadedQuad(const ShadedShape& shape);
  void DrawShadedLineLoop(const ShadedShape& shape);
  void DrawShadedLine(const ShadedShape& shape);
  // VDP2 planes (gl_planes.cpp).
  void UploadPlaneTexture(int slot, const uint32_t* texels, int32_t width, int32_t height);
  void UpdatePlaneTextureRect(int slot, const uint32_t* texels, int32_t width, int32_t height,
                              int32_t x, int32_t y);
  void DrawBitmapPlaneQuad(int slot, const PlaneQuad& quad);
  void PreparePlaneTexture(uint32_t address, int32_t width, int32_t height);
  void UploadPlaneCell(uint32_t address, int32_t planeWidth, int32_t planeHeight, int32_t x,
                       int32_t y, const uint32_t* texels);
  void DrawPlaneTextureQuad(uint32_t address, const PlaneQuad& quad);
  // A whole picture of RGBA texels, rows pitch texels apart, over the picture area
  // (gl_picture.cpp).
  void DrawPicture(const uint32_t* texels, int width, int height, int pitch, bool linear);

  // Emulated-screen point to normalised device coordinates.
  float NdcX(double x) const { return static_cast<float>(2.0 * x / vdpWidth - 1.0); }
  float NdcY(double y) const { return static_cast<float>(1.0 - 2.0 * y / vdpHeight); }

  // Picture size in windowed mode: the VDP resolution times the scale, truncated.
  int32_t PictureWidth() const { return static_cast<int32_t>(vdpWidth * scale); }
  int32_t PictureHeight() const { return static_cast<int32_t>(vdpHeight * scale); }

  DisplayWorkCounters counters{};

  char settingsPath[vdp::kSettingsPathSize];
  Switches* switches = nullptr;
  TextureCaches* caches = nullptr;
  std::atomic<platform::WindowHandle> windowHandle{nullptr};
  platform::InstanceHandle instance = nullptr;
  platform::GLContextHandle glSurface = nullptr;  // device context and GL context
  bool glReady = false;                           // context created and current
  PluginMessageCallback messageCallback = nullptr;
  uint32_t planeTexture[6] = {};
  int32_t planeTextureWidth[6] = {};
  int32_t planeTextureHeight[6] = {};
  uint8_t clearAfterSwap = 0;
  uint32_t pictureTexture = 0;  // the dot-by-dot picture's texture, made at its first frame
  TilePageTexture tilePageTexture[256] = {};
  std::atomic<int32_t> renderWidth{0};
  std::atomic<int32_t> renderHeight{0};
  std::atomic<int32_t> vdpWidth{0};
  std::atomic<int32_t> vdpHeight{0};
  std::atomic<float> scale{1.0f};
  std::atomic<uint8_t> resizePending{0};
  std::atomic<uint8_t> fullscreen{0};
  std::atomic<uint8_t> screenModeSwitched{0};  // by the window thread, for fullscreen
  std::atomic<uint8_t> fullscreenTogglePending{0};
  std::atomic<uint8_t> vdp1ClearPending{0};
  std::atomic<uint8_t> vdp2ClearPending{0};
  std::atomic<uint8_t> menuShown{1};
  std::atomic<uint8_t> cursorHidden{0};
  platform::ThreadHandle threadHandle = nullptr;
  uint32_t threadId = 0;
  // A window thread that was told to go and has not ended yet. No new window thread
  // starts while it runs: the display stays without a window and retries each frame.
  platform::ThreadHandle retiredThread = nullptr;

 private:
  void WindowedResize();
  void Restart();
  void StartWindowAndContext();
  void StopDisplay(uint32_t threadWaitMs);
  void EndWindowThread(uint32_t waitMs);
  bool ReapRetiredThread();
  void KeepWindowUp();
  void SetRenderingSizeForVdpWidth();
  void SendTitle();
  // Guards the rendering size against the window thread's menu requests.
  std::mutex sizeLock;
  platform::ThreadProc windowThreadProc = nullptr;
};

// The one display object, for the window thread (set by InitVDPPlugin).
OpenGLDisplay* CurrentDisplay();
void SetCurrentDisplay(OpenGLDisplay* display);

// All-zero texels for new tile-page textures: 1024 x 1024 RGBA.
extern const uint32_t* const kZeroBlock;
