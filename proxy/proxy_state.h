// What every forwarded call touches: the real plugin's table and the trace writer.
#pragma once

#include "plugin/plugin_types.h"
#include "proxy/plugin_calls.h"
#include "trace_writer.h"

namespace proxy {

// The real plugin's entry points: set before any code runs to stubs that do nothing, so
// that a call before InitVDPPlugin, or after the real plugin failed to load, is harmless.
extern constinit PluginTable real;
// Records nothing until InitVDPPlugin opens it. Never destroyed: a host may exit without
// DeInitPlugin while the writer's thread still runs.
extern vdptrace::TraceWriter& trace;

// InitVDPPlugin and DeInitPlugin: loading the real plugin, opening and closing the trace.
bool Start(PluginInitInfo* info);
void Stop();

}  // namespace proxy
