// Threads, message boxes, private-profile settings and files.
#include <windows.h>
// The seam's names, not the system's ANSI/wide macros of the same spelling.
#undef GetProfileInt
#undef WriteProfileString

#include "platform/platform.h"

namespace {

DWORD WINAPI ThreadEntry(LPVOID parameter) {
  reinterpret_cast<platform::ThreadProc>(parameter)();
  return 0;
}

}  // namespace

namespace platform {

ThreadHandle StartThread(ThreadProc proc, uint32_t* threadId) {
  DWORD id = 0;
  HANDLE thread = CreateThread(nullptr, 0, ThreadEntry, reinterpret_cast<LPVOID>(proc), 0, &id);
  if (threadId != nullptr) *threadId = id;
  return thread;
}

bool ThreadHasEnded(ThreadHandle thread) {
  return thread == nullptr || WaitForSingleObject(thread, 0) == WAIT_OBJECT_0;
}

void CloseThread(ThreadHandle thread) {
  if (thread != nullptr) CloseHandle(thread);
}

void SleepMs(uint32_t milliseconds) { Sleep(milliseconds); }

int ShowMessageBox(const char* text, const char* caption, uint32_t style) {
  return MessageBoxA(nullptr, text, caption, style);
}

int GetProfileInt(const char* section, const char* key, int defaultValue, const char* path) {
  // A missing key gives the default back bit for bit: -1 comes back as 0xFFFFFFFF.
  return static_cast<int>(GetPrivateProfileIntA(section, key, defaultValue, path));
}

bool WriteProfileString(const char* section, const char* key, const char* value, const char* path) {
  return WritePrivateProfileStringA(section, key, value, path) != FALSE;
}

void DeleteFileNamed(const char* name) { DeleteFileA(name); }

}  // namespace platform
