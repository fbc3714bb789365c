#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include "proxy/library_files.h"

namespace proxy {

std::string OwnLibraryPath() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&OwnLibraryPath), &info) == 0 || info.dli_fname == nullptr)
    return {};
  return info.dli_fname;
}

void* OpenLibrary(const std::string& path, std::string& error) {
  void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) {
    const char* why = dlerror();
    error = why != nullptr ? why : "cannot load";
  }
  return library;
}

void* FindEntryPoint(void* library, const char* name) { return dlsym(library, name); }

std::string AccessorExportName(const char* name, int) { return name; }

bool CreateNewFile(const std::string& path) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  close(fd);
  return true;
}

}  // namespace proxy
