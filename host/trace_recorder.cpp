#include "trace_recorder.h"

#include <cstdio>
#include <type_traits>

#include "trace_writer.h"

namespace vdphost {

namespace {

using vdptrace::Call;

PluginApi plugin;  // the real functions
vdptrace::TraceWriter writer;
std::string recordingPath;

template <Call C, auto Slot, typename R, typename... A>
R Record(A... args) {
  if constexpr (C == Call::InitVDPPlugin) {
    const bool result = (plugin.*Slot)(args...);
    writer.Init(result, (args->directory, ...));
    return result;
  } else if constexpr (!std::is_void_v<R>) {
    const R value = (plugin.*Slot)(args...);
    writer.Access(C, args..., value);
    return value;
  } else if constexpr (sizeof...(A) == 2) {
    (plugin.*Slot)(args...);
    writer.Access(C, args...);
  } else {
    (plugin.*Slot)();
    writer.Event(C);
  }
}

// The recording function has the calling convention of the export it stands for.
template <Call C, auto Slot, typename R, typename... A>
R VDPHOST_CDECL RecordCdecl(A... args) {
  return Record<C, Slot, R, A...>(args...);
}
template <Call C, auto Slot, typename R, typename... A>
constexpr auto RecordingFor(R(VDPHOST_CDECL*)(A...)) {
  return &RecordCdecl<C, Slot, R, A...>;
}
#if defined(_WIN32) && !defined(_WIN64)
template <Call C, auto Slot, typename R, typename... A>
R VDPHOST_FASTCALL RecordFastcall(A... args) {
  return Record<C, Slot, R, A...>(args...);
}
template <Call C, auto Slot, typename R, typename... A>
constexpr auto RecordingFor(R(VDPHOST_FASTCALL*)(A...)) {
  return &RecordFastcall<C, Slot, R, A...>;
}
#endif

template <Call C, auto Slot>
constexpr auto Recording() {
  return RecordingFor<C, Slot>(std::remove_reference_t<decltype(plugin.*Slot)>{});
}

}  // namespace

bool StartRecording(PluginApi& api, const std::string& tracePath, const std::string& pluginPath,
                    const std::string& directory, std::string& error) {
  const size_t slash = pluginPath.find_last_of("/\\");
  const std::string name = slash == std::string::npos ? pluginPath : pluginPath.substr(slash + 1);
  if (!writer.Open(tracePath.c_str(), name.c_str(), directory.c_str(), error)) return false;
  recordingPath = tracePath;
  plugin = api;
#define VDPHOST_RECORD(name) api.name = Recording<Call::name, &PluginApi::name>()
  VDPHOST_RECORD(InitVDPPlugin);
  VDPHOST_RECORD(DeInitPlugin);
  VDPHOST_RECORD(Reset);
  VDPHOST_RECORD(SetupPlugin);
  VDPHOST_RECORD(DisplayPluginInfo);
  VDPHOST_RECORD(VDPOnVblankIn);
  VDPHOST_RECORD(VDPOnVblankOut);
  VDPHOST_RECORD(VDPOnHblankIn);
  VDPHOST_RECORD(VDPOnHblankOut);
  VDPHOST_RECORD(WriteWordVDP1Regs);
  VDPHOST_RECORD(ReadWordVDP1Regs);
  VDPHOST_RECORD(WriteByteVDP1VRAM);
  VDPHOST_RECORD(WriteWordVDP1VRAM);
  VDPHOST_RECORD(WriteLongVDP1VRAM);
  VDPHOST_RECORD(ReadByteVDP1VRAM);
  VDPHOST_RECORD(ReadWordVDP1VRAM);
  VDPHOST_RECORD(ReadLongVDP1VRAM);
  VDPHOST_RECORD(WriteByteVDP1FrameBuffer);
  VDPHOST_RECORD(WriteWordVDP1FrameBuffer);
  VDPHOST_RECORD(WriteLongVDP1FrameBuffer);
  VDPHOST_RECORD(ReadByteVDP1FrameBuffer);
  VDPHOST_RECORD(ReadWordVDP1FrameBuffer);
  VDPHOST_RECORD(ReadLongVDP1FrameBuffer);
  VDPHOST_RECORD(WriteWordVDP2Regs);
  VDPHOST_RECORD(WriteLongVDP2Regs);
  VDPHOST_RECORD(ReadWordVDP2Regs);
  VDPHOST_RECORD(ReadLongVDP2Regs);
  VDPHOST_RECORD(WriteByteVDP2VRAM);
  VDPHOST_RECORD(WriteWordVDP2VRAM);
  VDPHOST_RECORD(WriteLongVDP2VRAM);
  VDPHOST_RECORD(ReadByteVDP2VRAM);
  VDPHOST_RECORD(ReadWordVDP2VRAM);
  VDPHOST_RECORD(ReadLongVDP2VRAM);
  VDPHOST_RECORD(WriteWordVDP2CRAM);
  VDPHOST_RECORD(WriteLongVDP2CRAM);
  VDPHOST_RECORD(ReadWordVDP2CRAM);
  VDPHOST_RECORD(ReadLongVDP2CRAM);
#undef VDPHOST_RECORD
  return true;
}

uint32_t RecordedFrames() { return writer.frames(); }

int FinishRecording(int status) {
  if (!writer.IsOpen()) return status;
  const uint32_t frames = writer.frames();
  if (!writer.Close()) {
    std::fprintf(stderr, "vdphost: could not write all of %s\n", recordingPath.c_str());
    return 1;
  }
  std::printf("recorded %u frames, %llu bytes to %s\n", frames,
              static_cast<unsigned long long>(writer.bytesWritten()), recordingPath.c_str());
  return status;
}

}  // namespace vdphost
