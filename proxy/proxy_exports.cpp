// The plugin's 37 exports, with the same names and calling conventions as the plugin's
// own (the declarations are the plugin's). Each calls the real plugin, then appends the
// call to the recording buffer; reads record the value the real plugin returned.
#include "plugin/plugin_api.h"
#include "proxy/proxy_state.h"

using proxy::Call;
using proxy::calls;
using proxy::real;

bool VDP_CDECL InitVDPPlugin(PluginInitInfo* info) { return proxy::Start(info); }

void VDP_CDECL DeInitPlugin() { proxy::Stop(); }

#define PROXY_FORWARD_EVENT(name)   \
  void VDP_CDECL name() {           \
    real.name();                    \
    calls.Append(Call::name, 0, 0); \
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
    calls.Append(Call::Read##name, address, value);          \
    return value;                                            \
  }                                                          \
  void VDP_FASTCALL Write##name(uint32_t address, T value) { \
    real.Write##name(address, value);                        \
    calls.Append(Call::Write##name, address, value);         \
  }
PROXY_ACCESSORS(PROXY_FORWARD_ACCESSORS)
