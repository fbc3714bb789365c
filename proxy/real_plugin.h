// The real plugin behind the proxy: which file, and its entry points.
#pragma once

#include <string>

#include "proxy/plugin_calls.h"

namespace proxy {

// The environment variable that names the real plugin's file, absolute or relative to
// the proxy's directory. Unset, the real plugin is the proxy's own file name with ".real"
// before the extension: VDP_dll.dll loads VDP_dll.real.dll beside it.
inline constexpr const char* kRealPluginVariable = "VDP_PROXY_PLUGIN";

std::string RealPluginPath(const std::string& proxyPath, const char* chosen);

// Loads the library and looks up all 37 entry points into table; false, with what is
// missing in error, when one cannot be found.
bool LoadRealPlugin(const std::string& path, PluginTable& table, void*& module, std::string& error);

}  // namespace proxy
