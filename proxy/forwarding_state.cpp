#include "proxy/proxy_state.h"

namespace proxy {

namespace {

bool VDP_CDECL RefuseStart(PluginInitInfo*) { return false; }
void VDP_CDECL Ignore() {}
template <typename T>
T VDP_FASTCALL ReadNothing(uint32_t) {
  return 0;
}
template <typename T>
void VDP_FASTCALL WriteNothing(uint32_t, T) {}

}  // namespace

constinit PluginTable real = {
    RefuseStart,
#define PROXY_HARMLESS_EVENT(name) Ignore,
#define PROXY_HARMLESS_ACCESSORS(name, T) ReadNothing<T>, WriteNothing<T>,
    PROXY_EVENTS(PROXY_HARMLESS_EVENT) PROXY_ACCESSORS(PROXY_HARMLESS_ACCESSORS)
#undef PROXY_HARMLESS_EVENT
#undef PROXY_HARMLESS_ACCESSORS
};
vdptrace::TraceWriter& trace = *new vdptrace::TraceWriter;

}  // namespace proxy
