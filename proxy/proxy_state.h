// What every forwarded call touches: the real plugin's table and the recording buffer.
// Both are set up before any code runs (constant initialisation), so an export called
// before InitVDPPlugin, or after the real plugin failed to load, reaches harmless stubs.
#pragma once

#include "plugin/plugin_types.h"
#include "proxy/call_buffer.h"
#include "proxy/plugin_calls.h"

namespace proxy {

// The real plugin's entry points; harmless stubs until it is loaded.
extern constinit PluginTable real;
// Zero-initialised, so its megabytes take no room in the library file.
extern constinit CallBuffer calls;

// InitVDPPlugin and DeInitPlugin: loading the real plugin, the trace file, the writer.
bool Start(PluginInitInfo* info);
void Stop();

}  // namespace proxy
