// The writer thread: empties the call buffer into the trace file every few milliseconds,
// so a host that is killed loses only the calls of the last pass.
#pragma once

#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <string>
#include <thread>

#include "proxy/call_buffer.h"

namespace proxy {

class TraceRecorder {
 public:
  // Passes are this far apart, well under the second that a killed host may lose.
  static constexpr int kPassMilliseconds = 20;

  // Takes the file (created new); writes the header, then every call the buffer receives.
  void Start(CallBuffer& calls, std::FILE* file, const std::string& pluginName,
             const std::string& directory);
  // Writes what is left and closes the file.
  void Stop();
  bool running() const { return thread_.joinable(); }

 private:
  void Run();

  CallBuffer* calls_ = nullptr;
  std::FILE* file_ = nullptr;
  std::thread thread_;
  std::mutex lock_;
  std::condition_variable wake_;
  bool stopping_ = false;
};

// A path in directory, named after stem and the time, that no file has yet; the file is
// created and returned open, or null when none could be made.
std::FILE* CreateTraceFile(const std::string& directory, const std::string& stem,
                           std::string& path);

}  // namespace proxy
