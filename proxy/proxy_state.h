// What every forwarded call touches: the real plugin's table and the trace writer.
#pragma once

#include <string>

#include "common/host_types.h"
#include "proxy/plugin_calls.h"
#include "trace_writer.h"

namespace proxy {

// The real plugin's entry points. Set before any code runs to stubs that load the real
// plugin at the first call of the start, the about box or the setup dialog; after a failed
// load every call does nothing.
extern constinit PluginTable real;

struct RealPluginFile {
  std::string path;
  void* module = nullptr;
  std::string error;  // why it could not be loaded
};
// Loads the real plugin the first time it is asked; false when it could not be loaded.
bool EnsureRealPlugin();
const RealPluginFile& RealPlugin();
// Records nothing until InitVDPPlugin opens it. Never destroyed: a host may exit without
// DeInitPlugin while the writer's thread still runs.
extern vdptrace::TraceWriter& trace;

// InitVDPPlugin and DeInitPlugin: loading the real plugin, opening and closing the trace.
bool Start(PluginInitInfo* info);
void Stop();

}  // namespace proxy
