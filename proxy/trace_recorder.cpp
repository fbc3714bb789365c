#include "proxy/trace_recorder.h"

#include <ctime>

#include "proxy/library_files.h"

namespace proxy {

void TraceRecorder::Start(CallBuffer& calls, std::FILE* file, const std::string& pluginName,
                          const std::string& directory) {
  calls_ = &calls;
  file_ = file;
  stopping_ = false;
  // TODO: header through the trace writer
  (void)pluginName;
  (void)directory;
  calls.SetConsumer(true);
  thread_ = std::thread([this] { Run(); });
}

void TraceRecorder::Stop() {
  if (!thread_.joinable()) return;
  {
    std::lock_guard<std::mutex> hold(lock_);
    stopping_ = true;
  }
  wake_.notify_one();
  thread_.join();
  calls_->SetConsumer(false);
  std::fclose(file_);
  file_ = nullptr;
}

void TraceRecorder::Run() {
  auto write = [this](const CallRecord* records, size_t count) {
    // TODO: the trace writer
    std::fwrite(records, sizeof(CallRecord), count, file_);
  };
  std::unique_lock<std::mutex> hold(lock_);
  for (;;) {
    const bool last = stopping_;
    hold.unlock();
    if (calls_->Drain(write) != 0) std::fflush(file_);
    hold.lock();
    if (last) return;
    wake_.wait_for(hold, std::chrono::milliseconds(kPassMilliseconds),
                   [this] { return stopping_; });
  }
}

std::FILE* CreateTraceFile(const std::string& directory, const std::string& stem,
                           std::string& path) {
  const std::time_t now = std::time(nullptr);
  char stamp[32] = "";
  if (const std::tm* local = std::localtime(&now))
    std::strftime(stamp, sizeof stamp, "-%Y%m%d-%H%M%S", local);
  for (int n = 1; n < 1000; ++n) {
    char suffix[48];
    std::snprintf(suffix, sizeof suffix, n > 1 ? "%s-%d.vdptrace" : "%s.vdptrace", stamp, n);
    path = directory + stem + suffix;
    if (std::FILE* file = CreateNewFile(path)) return file;
  }
  return nullptr;
}

}  // namespace proxy
