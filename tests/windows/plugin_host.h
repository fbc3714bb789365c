// What an emulator host has of the plugin: the library loaded by name with its 37 entry
// points, the start record, the status lines it was sent, and what it can see of the
// plugin's windows and message boxes on the screen.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace host {

// The accessors pass the address in ECX and the value in EDX on the 32-bit host; the
// 64-bit build (for machines that cannot run 32-bit code) has one convention only.
#if defined(_WIN64)
#define HOST_FASTCALL
#else
#define HOST_FASTCALL __fastcall
#endif

// The start record: four 32-bit members on the 32-bit host.
struct PluginInitInfo {
  uintptr_t reserved;
  void(__cdecl* messageCallback)(const char* text, uint32_t colour);
  void* instance;
  const char* directory;
};
static_assert(sizeof(void*) != 4 || sizeof(PluginInitInfo) == 16);

// clang-format off
// The entry points without arguments, undecorated.
#define HOST_EVENTS(X) X(DeInitPlugin) X(Reset) X(SetupPlugin) X(DisplayPluginInfo) \
  X(VDPOnVblankIn) X(VDPOnVblankOut) X(VDPOnHblankIn) X(VDPOnHblankOut)
// Read<name> (@Read<name>@4 on the 32-bit host) and Write<name> (@Write<name>@8), value type.
#define HOST_ACCESSORS(X) X(WordVDP1Regs, uint16_t) X(ByteVDP1VRAM, uint8_t) \
  X(WordVDP1VRAM, uint16_t) X(LongVDP1VRAM, uint32_t) X(ByteVDP1FrameBuffer, uint8_t) \
  X(WordVDP1FrameBuffer, uint16_t) X(LongVDP1FrameBuffer, uint32_t) X(WordVDP2Regs, uint16_t) \
  X(LongVDP2Regs, uint32_t) X(ByteVDP2VRAM, uint8_t) X(WordVDP2VRAM, uint16_t) \
  X(LongVDP2VRAM, uint32_t) X(WordVDP2CRAM, uint16_t) X(LongVDP2CRAM, uint32_t)
// clang-format on

struct Plugin {
  HMODULE module = nullptr;
  bool(__cdecl* InitVDPPlugin)(PluginInitInfo*) = nullptr;
#define HOST_DECLARE_EVENT(name) void(__cdecl * name)() = nullptr;
#define HOST_DECLARE_ACCESSORS(name, T)             \
  T(HOST_FASTCALL* Read##name)(uint32_t) = nullptr; \
  void(HOST_FASTCALL * Write##name)(uint32_t, T) = nullptr;
  HOST_EVENTS(HOST_DECLARE_EVENT)
  HOST_ACCESSORS(HOST_DECLARE_ACCESSORS)
};

// Loads "VDP_dll.dll" by name and looks up every entry point by its exported name;
// false, with the missing names printed, when one is absent.
bool LoadPlugin();
inline Plugin plugin;

// One start of the plugin with its own, freshly emptied, settings directory.
class Session {
 public:
  // settings: contents of "VDP_plugin.ini" written before the start, if any.
  explicit Session(const char* name, std::string_view settings = {});
  ~Session() { Stop(); }
  bool Start();
  void Stop();
  // The status lines sent since the start, as "text (RRGGBB); ".
  const std::string& statusLines() const;
  // The lines of the settings file that are not blank, as "line; ".
  std::string Settings() const;

 private:
  std::string directory_;
  bool running_ = false;
};

// Visible or not, the top-level windows of this process with this class name.
std::vector<HWND> WindowsOfClass(const char* className);
HWND DisplayWindow();              // the render window, or null
std::vector<HWND> SetupDialogs();  // the "Scroll screens modes" dialogs
std::string WindowText(HWND window);
bool IsItemChecked(HWND window, int id);
int ThreadCountOfThisProcess();

// Polls until done() holds; false after timeoutMs.
template <typename F>
bool WaitUntil(F done, int timeoutMs = 5000) {
  for (int waited = 0; waited < timeoutMs; waited += 10, Sleep(10))
    if (done()) return true;
  return done();
}

// Waits until the window thread has run every message posted to the window before.
bool Settle(HWND window);

// Message boxes as a user sees them: from the start, a thread finds each message box of
// this process, notes it and clicks it away, so that none blocks the run.
struct Box {
  std::string caption, text;
  bool duringCall;  // seen before call() returned
};
void StartAnsweringBoxes();
// The boxes seen while call() ran and a moment after.
std::vector<Box> BoxesDuring(const std::function<void()>& call);

}  // namespace host
