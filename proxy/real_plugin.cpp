#include "proxy/real_plugin.h"

#include "proxy/library_files.h"

namespace proxy {

namespace {

size_t DirectoryEnd(const std::string& path) {
  const size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? 0 : slash + 1;
}

bool IsAbsolute(const std::string& path) {
  return (!path.empty() && (path[0] == '/' || path[0] == '\\')) ||
         (path.size() > 1 && path[1] == ':');
}

template <typename F>
bool Find(void* library, const std::string& name, F& slot, std::string& missing) {
  void* entry = FindEntryPoint(library, name.c_str());
  if (entry == nullptr) {
    missing += (missing.empty() ? "" : ", ") + name;
    return false;
  }
  slot = reinterpret_cast<F>(entry);
  return true;
}

}  // namespace

std::string RealPluginPath(const std::string& proxyPath, const char* chosen) {
  const std::string directory = proxyPath.substr(0, DirectoryEnd(proxyPath));
  if (chosen != nullptr && chosen[0] != '\0')
    return IsAbsolute(chosen) ? std::string(chosen) : directory + chosen;
  const std::string name = proxyPath.substr(directory.size());
  const size_t dot = name.rfind('.');
  if (dot == std::string::npos) return proxyPath + ".real";
  return directory + name.substr(0, dot) + ".real" + name.substr(dot);
}

bool LoadRealPlugin(const std::string& path, PluginTable& table, void*& module,
                    std::string& error) {
  std::string why;
  void* library = OpenLibrary(path, why);
  if (library == nullptr) {
    error = "cannot load " + path + " (" + why + ")";
    return false;
  }
  PluginTable found{};
  std::string missing;
  Find(library, "InitVDPPlugin", found.InitVDPPlugin, missing);
#define PROXY_FIND_EVENT(name) Find(library, #name, found.name, missing);
#define PROXY_FIND_ACCESSORS(name, T)                                            \
  Find(library, AccessorExportName("Read" #name, 4), found.Read##name, missing); \
  Find(library, AccessorExportName("Write" #name, 8), found.Write##name, missing);
  PROXY_EVENTS(PROXY_FIND_EVENT)
  PROXY_ACCESSORS(PROXY_FIND_ACCESSORS)
#undef PROXY_FIND_EVENT
#undef PROXY_FIND_ACCESSORS
  if (!missing.empty()) {
    error = path + " lacks " + missing;
    return false;
  }
  table = found;
  module = library;
  return true;
}

}  // namespace proxy
