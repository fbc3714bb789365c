#include <windows.h>

#include <cstdio>

#include "proxy/library_files.h"

namespace proxy {

std::string OwnLibraryPath() {
  HMODULE self = nullptr;
  if (!GetModuleHandleExA(
          GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
          reinterpret_cast<LPCSTR>(&OwnLibraryPath), &self))
    return {};
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(self, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return {};
  return std::string(path, length);
}

void* OpenLibrary(const std::string& path, std::string& error) {
  // No "cannot find" box from the system for a missing file: the host is told instead.
  const UINT previous = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  HMODULE library = LoadLibraryA(path.c_str());
  const DWORD code = GetLastError();
  SetErrorMode(previous);
  if (library == nullptr) error = "system error " + std::to_string(code);
  return reinterpret_cast<void*>(library);
}

void* FindEntryPoint(void* library, const char* name) {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

std::string AccessorExportName(const char* name, int argumentBytes) {
#if defined(_WIN64)
  (void)argumentBytes;
  return name;
#else
  char decorated[64];
  std::snprintf(decorated, sizeof decorated, "@%s@%d", name, argumentBytes);
  return decorated;
#endif
}

bool CreateNewFile(const std::string& path) {
  HANDLE handle = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  CloseHandle(handle);
  return true;
}

}  // namespace proxy
