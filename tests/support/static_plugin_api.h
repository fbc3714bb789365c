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
  // clang-format off
#define E(name) api.name = ::name
  E(DeInitPlugin); E(Reset); E(SetupPlugin); E(DisplayPluginInfo); E(VDPOnVblankIn);
  E(VDPOnVblankOut); E(VDPOnHblankIn); E(VDPOnHblankOut); E(WriteWordVDP1Regs); E(ReadWordVDP1Regs);
  E(WriteByteVDP1VRAM); E(WriteWordVDP1VRAM); E(WriteLongVDP1VRAM); E(ReadByteVDP1VRAM);
  E(ReadWordVDP1VRAM); E(ReadLongVDP1VRAM); E(WriteByteVDP1FrameBuffer);
  E(WriteWordVDP1FrameBuffer); E(WriteLongVDP1FrameBuffer); E(ReadByteVDP1FrameBuffer);
  E(ReadWordVDP1FrameBuffer); E(ReadLongVDP1FrameBuffer); E(WriteWordVDP2Regs);
  E(WriteLongVDP2Regs); E(ReadWordVDP2Regs); E(ReadLongVDP2Regs); E(WriteByteVDP2VRAM);
  E(WriteWordVDP2VRAM); E(WriteLongVDP2VRAM); E(ReadByteVDP2VRAM); E(ReadWordVDP2VRAM);
  E(ReadLongVDP2VRAM); E(WriteWordVDP2CRAM); E(WriteLongVDP2CRAM); E(ReadWordVDP2CRAM);
  E(ReadLongVDP2CRAM);
#undef E
  // clang-format on
  return api;
}

}  // namespace vdptest
