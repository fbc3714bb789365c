#include "plugin_host.h"

#include <tlhelp32.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <fstream>
#include <mutex>
#include <thread>

namespace host {

namespace {

std::string reportedLines;

void __cdecl OnStatusLine(const char* text, uint32_t colour) {
  char line[300];
  std::snprintf(line, sizeof(line), "%s (%06X); ", text != nullptr ? text : "(null)", colour);
  reportedLines += line;
}

// argumentBytes < 0: an undecorated name; otherwise the 32-bit fastcall decoration.
template <typename T>
bool Resolve(HMODULE module, T& entry, const std::string& name, int argumentBytes = -1) {
  const std::string exported = sizeof(void*) == 4 && argumentBytes >= 0
                                   ? "@" + name + "@" + std::to_string(argumentBytes)
                                   : name;
  entry = reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(module, exported.c_str())));
  if (entry == nullptr) std::printf("    missing export %s\n", exported.c_str());
  return entry != nullptr;
}

}  // namespace

bool LoadPlugin() {
  Plugin& p = plugin;
  p.module = LoadLibraryA("VDP_dll.dll");
  if (p.module == nullptr) {
    std::printf("    LoadLibraryA(\"VDP_dll.dll\") failed, error %lu\n", GetLastError());
    return false;
  }
  bool ok = Resolve(p.module, p.InitVDPPlugin, "InitVDPPlugin");
#define HOST_RESOLVE_EVENT(name) ok &= Resolve(p.module, p.name, #name);
#define HOST_RESOLVE_ACCESSORS(name, T)                   \
  ok &= Resolve(p.module, p.Read##name, "Read" #name, 4); \
  ok &= Resolve(p.module, p.Write##name, "Write" #name, 8);
  HOST_EVENTS(HOST_RESOLVE_EVENT)
  HOST_ACCESSORS(HOST_RESOLVE_ACCESSORS)
  return ok;
}

Session::Session(const char* name, std::string_view settings) {
  char current[MAX_PATH];
  GetCurrentDirectoryA(sizeof(current), current);
  directory_ = std::string(current) + "\\" + name;
  CreateDirectoryA(directory_.c_str(), nullptr);
  const std::string file = directory_ + "\\VDP_plugin.ini";
  DeleteFileA(file.c_str());
  if (!settings.empty()) std::ofstream(file, std::ios::binary) << settings;
}

bool Session::Start() {
  reportedLines.clear();
  PluginInitInfo info = {0, OnStatusLine, plugin.module, directory_.c_str()};
  running_ = true;
  return plugin.InitVDPPlugin(&info);
}

void Session::Stop() {
  if (running_) plugin.DeInitPlugin();
  running_ = false;
}

const std::string& Session::statusLines() const { return reportedLines; }

std::string Session::Settings() const {
  std::ifstream in(directory_ + "\\VDP_plugin.ini");
  std::string lines;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) lines += line + "; ";
  }
  return lines;
}

std::vector<HWND> WindowsOfClass(const char* className) {
  std::vector<HWND> found;
  for (HWND w = nullptr; (w = FindWindowExA(nullptr, w, className, nullptr)) != nullptr;) {
    DWORD process = 0;
    GetWindowThreadProcessId(w, &process);
    if (process == GetCurrentProcessId()) found.push_back(w);
  }
  return found;
}

std::vector<HWND> SetupDialogs() {
  std::vector<HWND> found;
  for (HWND dialog : WindowsOfClass("#32770"))
    if (WindowText(dialog) == "Scroll screens modes") found.push_back(dialog);
  return found;
}

HWND DisplayWindow() { return FindWindowExA(nullptr, nullptr, "display", nullptr); }

std::string WindowText(HWND window) {
  char text[256] = {};
  GetWindowTextA(window, text, sizeof(text));
  return text;
}

bool IsItemChecked(HWND window, int id) {
  const UINT state = GetMenuState(GetMenu(window), static_cast<UINT>(id), MF_BYCOMMAND);
  return state != static_cast<UINT>(-1) && (state & MF_CHECKED) != 0;
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
  for (const bool expected : {!before, before}) {
    PostMessageA(window, WM_COMMAND, kSentinel, 0);
    if (!WaitUntil([&] { return IsItemChecked(window, kSentinel) == expected; })) return false;
  }
  return true;
}

namespace {
std::mutex boxesLock;
std::vector<Box> boxesSeen;
std::atomic<bool> calling{false};

void AnswerEveryBox() {
  constexpr int kMessageTextId = 0xFFFF;  // the static that holds a message box's text
  std::vector<HWND> answered;
  for (;;) {
    // A handle of a box that is gone may come back for a new one.
    std::erase_if(answered, [](HWND box) { return !IsWindow(box); });
    for (HWND box : WindowsOfClass("#32770")) {
      if (!IsWindowVisible(box) || GetDlgItem(box, kMessageTextId) == nullptr ||
          std::ranges::find(answered, box) != answered.end())
        continue;
      char text[512] = {};
      GetDlgItemTextA(box, kMessageTextId, text, sizeof(text));
      std::lock_guard lock(boxesLock);
      boxesSeen.push_back({WindowText(box), text, calling.load()});
      // The first button that the box has answers it: OK, or Yes of a yes/no box.
      const int answer = GetDlgItem(box, IDOK) != nullptr ? IDOK : IDYES;
      PostMessageA(box, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED), 0);
      answered.push_back(box);
    }
    Sleep(20);
  }
}
}  // namespace

void StartAnsweringBoxes() { std::thread(AnswerEveryBox).detach(); }

std::vector<Box> BoxesDuring(const std::function<void()>& call) {
  {
    std::lock_guard lock(boxesLock);
    boxesSeen.clear();
  }
  calling = true;
  call();
  calling = false;
  Sleep(200);  // a box still open after the call is found too
  std::lock_guard lock(boxesLock);
  return boxesSeen;
}

}  // namespace host
