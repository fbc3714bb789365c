// What an emulator host has of the plugin: the library loaded by name with its 37 entry
// points, the start record, the status lines it was sent, and what it can see of the
// plugin's windows and message boxes on the screen.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

namespace host {

// The accessors pass the address in ECX and the value in EDX on the 32-bit host; the
// 64-bit build (for machines that cannot run 32-bit code) has one convention only.
#if defined(_WIN64)
#define HOST_FASTCALL
#else
#define HOST_FASTCALL __fastcall
#endif

using StatusCallback = void(__cdecl*)(const char* text, uint32_t colour);

// The start record: four 32-bit members on the 32-bit host.
struct PluginInitInfo {
  uintptr_t reserved;
  StatusCallback messageCallback;
  void* instance;
  const char* directory;
};
static_assert(sizeof(void*) != 4 || sizeof(PluginInitInfo) == 16);

struct Plugin {
  HMODULE module = nullptr;
  bool(__cdecl* InitVDPPlugin)(PluginInitInfo*) = nullptr;
  void(__cdecl* DeInitPlugin)() = nullptr;
  void(__cdecl* Reset)() = nullptr;
  void(__cdecl* SetupPlugin)() = nullptr;
  void(__cdecl* DisplayPluginInfo)() = nullptr;
  void(__cdecl* VDPOnVblankIn)() = nullptr;
  void(__cdecl* VDPOnVblankOut)() = nullptr;
  void(__cdecl* VDPOnHblankIn)() = nullptr;
  void(__cdecl* VDPOnHblankOut)() = nullptr;

  using Write8 = void(HOST_FASTCALL*)(uint32_t, uint8_t);
  using Write16 = void(HOST_FASTCALL*)(uint32_t, uint16_t);
  using Write32 = void(HOST_FASTCALL*)(uint32_t, uint32_t);
  using Read8 = uint8_t(HOST_FASTCALL*)(uint32_t);
  using Read16 = uint16_t(HOST_FASTCALL*)(uint32_t);
  using Read32 = uint32_t(HOST_FASTCALL*)(uint32_t);
  Write16 WriteWordVDP1Regs = nullptr;
  Read16 ReadWordVDP1Regs = nullptr;
  Write8 WriteByteVDP1VRAM = nullptr;
  Write16 WriteWordVDP1VRAM = nullptr;
  Write32 WriteLongVDP1VRAM = nullptr;
  Read8 ReadByteVDP1VRAM = nullptr;
  Read16 ReadWordVDP1VRAM = nullptr;
  Read32 ReadLongVDP1VRAM = nullptr;
  Write8 WriteByteVDP1FrameBuffer = nullptr;
  Write16 WriteWordVDP1FrameBuffer = nullptr;
  Write32 WriteLongVDP1FrameBuffer = nullptr;
  Read8 ReadByteVDP1FrameBuffer = nullptr;
  Read16 ReadWordVDP1FrameBuffer = nullptr;
  Read32 ReadLongVDP1FrameBuffer = nullptr;
  Write16 WriteWordVDP2Regs = nullptr;
  Write32 WriteLongVDP2Regs = nullptr;
  Read16 ReadWordVDP2Regs = nullptr;
  Read32 ReadLongVDP2Regs = nullptr;
  Write8 WriteByteVDP2VRAM = nullptr;
  Write16 WriteWordVDP2VRAM = nullptr;
  Write32 WriteLongVDP2VRAM = nullptr;
  Read8 ReadByteVDP2VRAM = nullptr;
  Read16 ReadWordVDP2VRAM = nullptr;
  Read32 ReadLongVDP2VRAM = nullptr;
  Write16 WriteWordVDP2CRAM = nullptr;
  Write32 WriteLongVDP2CRAM = nullptr;
  Read16 ReadWordVDP2CRAM = nullptr;
  Read32 ReadLongVDP2CRAM = nullptr;
};

// Loads "VDP_dll.dll" by name and looks up every entry point by its exported name;
// false, with the missing names printed, when one is absent.
bool LoadPlugin(Plugin& plugin);
Plugin& ThePlugin();

struct StatusLine {
  std::string text;
  uint32_t colour;
};

// One start of the plugin with its own, freshly emptied, settings directory.
class Session {
 public:
  // settings: contents of "VDP_plugin.ini" written before the start, if any.
  explicit Session(const char* name, const char* settings = nullptr);
  ~Session() { Stop(); }
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  bool Start();
  void Stop();
  bool running() const { return running_; }
  const std::vector<StatusLine>& statusLines() const;
  // The settings file as (section, key, value) entries in file order.
  struct Entry {
    std::string section, key, value;
    bool operator==(const Entry&) const = default;
  };
  std::vector<Entry> Settings() const;

 private:
  std::string directory_;
  bool running_ = false;
};

// --- what is on the screen ---------------------------------------------------------------

// Visible or not, the top-level windows of this process with this class name.
std::vector<HWND> WindowsOfClass(const char* className);
HWND DisplayWindow();  // the render window, or null
std::string WindowText(HWND window);
bool IsItemChecked(HWND window, int id);
COLORREF ScreenPixel(HWND window, int clientX, int clientY);
int ThreadCountOfThisProcess();

// Polls until done() holds; false after timeoutMs.
template <typename F>
bool WaitUntil(F done, int timeoutMs = 5000) {
  for (int waited = 0; !done(); waited += 10) {
    if (waited >= timeoutMs) return false;
    Sleep(10);
  }
  return true;
}

// Waits until the window thread has run every message posted to the window before.
bool Settle(HWND window);

// Message boxes as a user sees them: a thread finds every standard dialog box of this
// process that shows up, notes its caption and text, and clicks it away.
class BoxWatcher {
 public:
  struct Box {
    std::string caption, text;
    bool hostCallRunning;  // the host's call was still inside the plugin
  };
  BoxWatcher();
  ~BoxWatcher();
  std::vector<Box> Boxes();
  void Clear();
  // Set around a call that is expected to show a box.
  std::atomic<bool> hostCallRunning{false};

 private:
  void Watch();
  std::atomic<bool> stop_{false};
  std::vector<Box> boxes_;
  CRITICAL_SECTION lock_;
  std::thread thread_;
};
BoxWatcher& Boxes();

}  // namespace host
