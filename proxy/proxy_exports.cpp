// The plugin's 37 exports, with the same names and calling conventions as the plugin's
// own (the declarations are the plugin's). Each calls the real plugin, then hands the call
// to the trace writer's buffer; reads record the value the real plugin returned.
#include "plugin/plugin_api.h"
#include "proxy/proxy_state.h"

using proxy::real;
using proxy::trace;
using vdptrace::Call;

bool VDP_CDECL InitVDPPlugin(PluginInitInfo* info) { return proxy::Start(info); }

void VDP_CDECL DeInitPlugin() { proxy::Stop(); }

#define PROXY_FORWARD_EVENT(name) \
  void VDP_CDECL name() {         \
    real.name();                  \
    trace.Event(Call::name);      \
  }
PROXY_FORWARD_EVENT(Reset)
PROXY_FORWARD_EVENT(SetupPlugin)
PROXY_FORWARD_EVENT(DisplayPluginInfo)
PROXY_FORWARD_EVENT(VDPOnVblankIn)
PROXY_FORWARD_EVENT(VDPOnVblankOut)
PROXY_FORWARD_EVENT(VDPOnHblankIn)
PROXY_FORWARD_EVENT(VDPOnHblankOut)

#define PROXY_FORWARD_ACCESSORS(name, T)                     \
  T VDP_FASTCALL Read##name(uint32_t address) {              \
    const T value = real.Read##name(address);                \
    trace.Access(Call::Read##name, address, value);          \
    return value;                                            \
  }                                                          \
  void VDP_FASTCALL Write##name(uint32_t address, T value) { \
    real.Write##name(address, value);                        \
    trace.Access(Call::Write##name, address, value);         \
  }
PROXY_ACCESSORS(PROXY_FORWARD_ACCESSORS)
