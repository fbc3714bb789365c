// The table of exports a host would look up, filled with the plugin linked in statically.
#pragma once

#include "plugin/plugin_api.h"
#include "plugin_api.h"

namespace vdptest {

inline vdphost::PluginApi StaticPluginApi() {
  vdphost::PluginApi api{};
  api.InitVDPPlugin = [](vdphost::InitInfo* i) {
    PluginInitInfo info{i->reserved, i->messageCallback, i->instance, i->directory};
    return ::InitVDPPlugin(&info);
  };
#define VDPTEST_EXPORT(name) api.name = ::name;
  VDPTEST_EXPORT(DeInitPlugin)
  VDPTEST_EXPORT(Reset) VDPTEST_EXPORT(SetupPlugin) VDPTEST_EXPORT(DisplayPluginInfo)
      VDPTEST_EXPORT(VDPOnVblankIn) VDPTEST_EXPORT(VDPOnVblankOut) VDPTEST_EXPORT(
          VDPOnHblankIn) VDPTEST_EXPORT(VDPOnHblankOut) VDPTEST_EXPORT(WriteWordVDP1Regs)
          VDPTEST_EXPORT(ReadWordVDP1Regs) VDPTEST_EXPORT(WriteByteVDP1VRAM) VDPTEST_EXPORT(
              WriteWordVDP1VRAM) VDPTEST_EXPORT(WriteLongVDP1VRAM) VDPTEST_EXPORT(ReadByteVDP1VRAM)
              VDPTEST_EXPORT(ReadWordVDP1VRAM) VDPTEST_EXPORT(ReadLongVDP1VRAM) VDPTEST_EXPORT(
                  WriteByteVDP1FrameBuffer) VDPTEST_EXPORT(WriteWordVDP1FrameBuffer)
                  VDPTEST_EXPORT(WriteLongVDP1FrameBuffer) VDPTEST_EXPORT(ReadByteVDP1FrameBuffer)
                      VDPTEST_EXPORT(ReadWordVDP1FrameBuffer)
                          VDPTEST_EXPORT(ReadLongVDP1FrameBuffer) VDPTEST_EXPORT(WriteWordVDP2Regs)
                              VDPTEST_EXPORT(WriteLongVDP2Regs) VDPTEST_EXPORT(ReadWordVDP2Regs)
                                  VDPTEST_EXPORT(ReadLongVDP2Regs) VDPTEST_EXPORT(WriteByteVDP2VRAM)
                                      VDPTEST_EXPORT(WriteWordVDP2VRAM) VDPTEST_EXPORT(
                                          WriteLongVDP2VRAM) VDPTEST_EXPORT(ReadByteVDP2VRAM)
                                          VDPTEST_EXPORT(ReadWordVDP2VRAM)
                                              VDPTEST_EXPORT(ReadLongVDP2VRAM)
                                                  VDPTEST_EXPORT(WriteWordVDP2CRAM)
                                                      VDPTEST_EXPORT(WriteLongVDP2CRAM)
                                                          VDPTEST_EXPORT(ReadWordVDP2CRAM)
                                                              VDPTEST_EXPORT(ReadLongVDP2CRAM)
#undef VDPTEST_EXPORT
                                                                  return api;
}

}  // namespace vdptest
