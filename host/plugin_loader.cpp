#include "plugin_api.h"

namespace vdphost {

namespace {

template <typename F>
bool Resolve(void* library, const char* name, F& slot, std::string& error) {
  void* symbol = FindPluginExport(library, name);
  if (symbol == nullptr) {
    error = std::string("missing export ") + name;
    return false;
  }
  slot = reinterpret_cast<F>(symbol);
  return true;
}

}  // namespace

bool LoadPlugin(const std::string& path, PluginApi& api, std::string& error) {
  void* library = OpenPluginLibrary(path, error);
  if (library == nullptr) return false;
#define VDPHOST_EXPORT(name) Resolve(library, #name, api.name, error)
  return VDPHOST_EXPORT(InitVDPPlugin) && VDPHOST_EXPORT(DeInitPlugin) && VDPHOST_EXPORT(Reset) &&
         VDPHOST_EXPORT(SetupPlugin) && VDPHOST_EXPORT(DisplayPluginInfo) &&
         VDPHOST_EXPORT(VDPOnVblankIn) && VDPHOST_EXPORT(VDPOnVblankOut) &&
         VDPHOST_EXPORT(VDPOnHblankIn) && VDPHOST_EXPORT(VDPOnHblankOut) &&
         VDPHOST_EXPORT(WriteWordVDP1Regs) && VDPHOST_EXPORT(ReadWordVDP1Regs) &&
         VDPHOST_EXPORT(WriteByteVDP1VRAM) && VDPHOST_EXPORT(WriteWordVDP1VRAM) &&
         VDPHOST_EXPORT(WriteLongVDP1VRAM) && VDPHOST_EXPORT(ReadByteVDP1VRAM) &&
         VDPHOST_EXPORT(ReadWordVDP1VRAM) && VDPHOST_EXPORT(ReadLongVDP1VRAM) &&
         VDPHOST_EXPORT(WriteByteVDP1FrameBuffer) && VDPHOST_EXPORT(WriteWordVDP1FrameBuffer) &&
         VDPHOST_EXPORT(WriteLongVDP1FrameBuffer) && VDPHOST_EXPORT(ReadByteVDP1FrameBuffer) &&
         VDPHOST_EXPORT(ReadWordVDP1FrameBuffer) && VDPHOST_EXPORT(ReadLongVDP1FrameBuffer) &&
         VDPHOST_EXPORT(WriteWordVDP2Regs) && VDPHOST_EXPORT(WriteLongVDP2Regs) &&
         VDPHOST_EXPORT(ReadWordVDP2Regs) && VDPHOST_EXPORT(ReadLongVDP2Regs) &&
         VDPHOST_EXPORT(WriteByteVDP2VRAM) && VDPHOST_EXPORT(WriteWordVDP2VRAM) &&
         VDPHOST_EXPORT(WriteLongVDP2VRAM) && VDPHOST_EXPORT(ReadByteVDP2VRAM) &&
         VDPHOST_EXPORT(ReadWordVDP2VRAM) && VDPHOST_EXPORT(ReadLongVDP2VRAM) &&
         VDPHOST_EXPORT(WriteWordVDP2CRAM) && VDPHOST_EXPORT(WriteLongVDP2CRAM) &&
         VDPHOST_EXPORT(ReadWordVDP2CRAM) && VDPHOST_EXPORT(ReadLongVDP2CRAM);
#undef VDPHOST_EXPORT
}

}  // namespace vdphost
