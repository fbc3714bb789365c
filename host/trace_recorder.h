// vdphost --record: every call vdphost makes to the plugin, written as a binary trace.
#pragma once

#include <string>

#include "plugin_api.h"

namespace vdphost {

// Puts recording stand-ins in the place of api's 37 functions: each forwards to the
// plugin, then records the call (a read with the value the plugin returned).
bool StartRecording(PluginApi& api, const std::string& tracePath, const std::string& pluginPath,
                    const std::string& directory, std::string& error);

// Frames recorded so far.
uint32_t RecordedFrames();

// Ends a recording, if one runs, and gives the exit status: `status`, or 1 when the trace
// could not be written whole.
int FinishRecording(int status);

}  // namespace vdphost
