#include <windows.h>

#include <cstdio>
#include <cstring>

#include "plugin_api.h"

namespace vdphost {

void* OpenPluginLibrary(const std::string& path, std::string& error) {
  HMODULE library = LoadLibraryA(path.c_str());
  if (library == nullptr)
    error = "cannot load " + path + ": system error " + std::to_string(GetLastError());
  return reinterpret_cast<void*>(library);
}

void* FindPluginExport(void* library, const char* name) {
#if defined(_WIN64)
  const char* exported = name;
#else
  // Fastcall names carry their argument bytes: address, and value for the writers.
  char exported[64];
  if (std::strncmp(name, "Read", 4) == 0)
    std::snprintf(exported, sizeof exported, "@%s@4", name);
  else if (std::strncmp(name, "Write", 5) == 0)
    std::snprintf(exported, sizeof exported, "@%s@8", name);
  else
    std::snprintf(exported, sizeof exported, "%s", name);
#endif
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), exported));
}

}  // namespace vdphost
