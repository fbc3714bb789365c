#include "plugin_host.h"

#include <tlhelp32.h>

#include <cstdio>
#include <fstream>
#include <sstream>

namespace host {

namespace {

std::vector<StatusLine> reportedLines;

void __cdecl OnStatusLine(const char* text, uint32_t colour) {
  reportedLines.push_back({text != nullptr ? text : "(null)", colour});
}

template <typename T>
bool Resolve(HMODULE module, T& entry, const char* name, int argumentBytes) {
  char exported[64];
#if defined(_WIN64)
  (void)argumentBytes;
  std::snprintf(exported, sizeof(exported), "%s", name);
#else
  if (argumentBytes < 0)
    std::snprintf(exported, sizeof(exported), "%s", name);
  else
    std::snprintf(exported, sizeof(exported), "@%s@%d", name, argumentBytes);
#endif
  entry = reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(module, exported)));
  if (entry == nullptr) std::printf("    missing export %s\n", exported);
  return entry != nullptr;
}

std::string CurrentDirectory() {
  char path[MAX_PATH];
  GetCurrentDirectoryA(sizeof(path), path);
  return path;
}

}  // namespace

bool LoadPlugin(Plugin& p) {
  p.module = LoadLibraryA("VDP_dll.dll");
  if (p.module == nullptr) {
    std::printf("    LoadLibraryA(\"VDP_dll.dll\") failed, error %lu\n", GetLastError());
    return false;
  }
  const HMODULE m = p.module;
  bool ok = true;
  // Lifecycle and blanking: undecorated. Accessors: decorated by their argument bytes.
#define LIFECYCLE(name) ok &= Resolve(m, p.name, #name, -1)
#define READER(name) ok &= Resolve(m, p.name, #name, 4)
#define WRITER(name) ok &= Resolve(m, p.name, #name, 8)
  LIFECYCLE(InitVDPPlugin);
  LIFECYCLE(DeInitPlugin);
  LIFECYCLE(Reset);
  LIFECYCLE(SetupPlugin);
  LIFECYCLE(DisplayPluginInfo);
  LIFECYCLE(VDPOnVblankIn);
  LIFECYCLE(VDPOnVblankOut);
  LIFECYCLE(VDPOnHblankIn);
  LIFECYCLE(VDPOnHblankOut);
  WRITER(WriteWordVDP1Regs);
  READER(ReadWordVDP1Regs);
  WRITER(WriteByteVDP1VRAM);
  WRITER(WriteWordVDP1VRAM);
  WRITER(WriteLongVDP1VRAM);
  READER(ReadByteVDP1VRAM);
  READER(ReadWordVDP1VRAM);
  READER(ReadLongVDP1VRAM);
  WRITER(WriteByteVDP1FrameBuffer);
  WRITER(WriteWordVDP1FrameBuffer);
  WRITER(WriteLongVDP1FrameBuffer);
  READER(ReadByteVDP1FrameBuffer);
  READER(ReadWordVDP1FrameBuffer);
  READER(ReadLongVDP1FrameBuffer);
  WRITER(WriteWordVDP2Regs);
  WRITER(WriteLongVDP2Regs);
  READER(ReadWordVDP2Regs);
  READER(ReadLongVDP2Regs);
  WRITER(WriteByteVDP2VRAM);
  WRITER(WriteWordVDP2VRAM);
  WRITER(WriteLongVDP2VRAM);
  READER(ReadByteVDP2VRAM);
  READER(ReadWordVDP2VRAM);
  READER(ReadLongVDP2VRAM);
  WRITER(WriteWordVDP2CRAM);
  WRITER(WriteLongVDP2CRAM);
  READER(ReadWordVDP2CRAM);
  READER(ReadLongVDP2CRAM);
#undef LIFECYCLE
#undef READER
#undef WRITER
  return ok;
}

Plugin& ThePlugin() {
  static Plugin plugin;
  return plugin;
}

// --- sessions ----------------------------------------------------------------------------

Session::Session(const char* name, const char* settings)
    : directory_(CurrentDirectory() + "\\" + name) {
  CreateDirectoryA(directory_.c_str(), nullptr);
  const std::string file = directory_ + "\\VDP_plugin.ini";
  DeleteFileA(file.c_str());
  if (settings != nullptr) {
    std::ofstream out(file, std::ios::binary);
    out << settings;
  }
}

bool Session::Start() {
  reportedLines.clear();
  PluginInitInfo info = {0, OnStatusLine, ThePlugin().module, directory_.c_str()};
  running_ = true;
  return ThePlugin().InitVDPPlugin(&info);
}

void Session::Stop() {
  if (!running_) return;
  ThePlugin().DeInitPlugin();
  running_ = false;
}

const std::vector<StatusLine>& Session::statusLines() const { return reportedLines; }

std::vector<Session::Entry> Session::Settings() const {
  std::ifstream in(directory_ + "\\VDP_plugin.ini");
  std::vector<Entry> entries;
  std::string line, section;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    if (line.front() == '[') {
      section = line.substr(1, line.find(']') - 1);
    } else {
      const size_t eq = line.find('=');
      entries.push_back(
          {section, line.substr(0, eq), eq == std::string::npos ? "" : line.substr(eq + 1)});
    }
  }
  return entries;
}

// --- the screen --------------------------------------------------------------------------

namespace {
struct ClassSearch {
  const char* className;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectOfClass(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<ClassSearch*>(parameter);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  char name[64] = {};
  GetClassNameA(window, name, sizeof(name));
  if (process == GetCurrentProcessId() && lstrcmpA(name, search->className) == 0)
    search->found.push_back(window);
  return TRUE;
}
}  // namespace

std::vector<HWND> WindowsOfClass(const char* className) {
  ClassSearch search{className, {}};
  EnumWindows(CollectOfClass, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND DisplayWindow() {
  const std::vector<HWND> windows = WindowsOfClass("display");
  return windows.empty() ? nullptr : windows.front();
}

std::string WindowText(HWND window) {
  char text[256] = {};
  GetWindowTextA(window, text, sizeof(text));
  return text;
}

bool IsItemChecked(HWND window, int id) {
  const HMENU menu = GetMenu(window);
  if (menu == nullptr) return false;
  const UINT state = GetMenuState(menu, static_cast<UINT>(id), MF_BYCOMMAND);
  return state != static_cast<UINT>(-1) && (state & MF_CHECKED) != 0;
}

COLORREF ScreenPixel(HWND window, int clientX, int clientY) {
  POINT point = {clientX, clientY};
  ClientToScreen(window, &point);
  const HDC screen = GetDC(nullptr);
  const COLORREF colour = GetPixel(screen, point.x, point.y);
  ReleaseDC(nullptr, screen);
  return colour;
}

int ThreadCountOfThisProcess() {
  const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return -1;
  THREADENTRY32 entry = {};
  entry.dwSize = sizeof(entry);
  int count = 0;
  for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
    if (entry.th32OwnerProcessID == GetCurrentProcessId()) ++count;
  CloseHandle(snapshot);
  return count;
}

bool Settle(HWND window) {
  // Posted messages are served in order: once a toggle posted last has shown, everything
  // before it has run. "Disable > VDP2 > RBG1" is toggled twice and ends as it was.
  constexpr int kSentinel = 115;
  const bool before = IsItemChecked(window, kSentinel);
  for (int i = 0; i < 2; ++i) {
    const bool expected = (i == 0) ? !before : before;
    PostMessageA(window, WM_COMMAND, kSentinel, 0);
    if (!WaitUntil([&] { return IsItemChecked(window, kSentinel) == expected; })) return false;
  }
  return true;
}

// --- message boxes -----------------------------------------------------------------------

BoxWatcher::BoxWatcher() {
  InitializeCriticalSection(&lock_);
  thread_ = std::thread([this] { Watch(); });
}

BoxWatcher::~BoxWatcher() {
  stop_ = true;
  thread_.join();
  DeleteCriticalSection(&lock_);
}

std::vector<BoxWatcher::Box> BoxWatcher::Boxes() {
  EnterCriticalSection(&lock_);
  std::vector<Box> copy = boxes_;
  LeaveCriticalSection(&lock_);
  return copy;
}

void BoxWatcher::Clear() {
  EnterCriticalSection(&lock_);
  boxes_.clear();
  LeaveCriticalSection(&lock_);
}

void BoxWatcher::Watch() {
  constexpr int kMessageTextId = 0xFFFF;  // the static that holds a message box's text
  std::vector<HWND> dismissed;
  while (!stop_) {
    // A handle of a box that is gone may come back for a new one.
    std::erase_if(dismissed, [](HWND d) { return !IsWindow(d); });
    for (HWND box : WindowsOfClass("#32770")) {
      if (!IsWindowVisible(box) || GetDlgItem(box, kMessageTextId) == nullptr) continue;
      bool seen = false;
      for (HWND d : dismissed) seen = seen || d == box;
      if (seen) continue;
      char text[512] = {};
      GetDlgItemTextA(box, kMessageTextId, text, sizeof(text));
      const Box record{WindowText(box), text, hostCallRunning.load()};
      EnterCriticalSection(&lock_);
      boxes_.push_back(record);
      LeaveCriticalSection(&lock_);
      // The first button that the box has answers it: OK, or Yes of a yes/no box.
      const int answer = GetDlgItem(box, IDOK) != nullptr ? IDOK : IDYES;
      PostMessageA(box, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED), 0);
      dismissed.push_back(box);
    }
    Sleep(20);
  }
}

BoxWatcher& Boxes() {
  static BoxWatcher watcher;
  return watcher;
}

}  // namespace host
