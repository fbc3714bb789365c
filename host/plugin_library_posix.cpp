#include <dlfcn.h>

#include "plugin_api.h"

namespace vdphost {

void* OpenPluginLibrary(const std::string& path, std::string& error) {
  void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) {
    const char* why = dlerror();
    error = "cannot load " + path + (why != nullptr ? std::string(": ") + why : "");
  }
  return library;
}

void* FindPluginExport(void* library, const char* name) { return dlsym(library, name); }

}  // namespace vdphost
