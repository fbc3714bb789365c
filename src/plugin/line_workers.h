// Threads that share a job with the host's thread: the dot-by-dot renderer's lines are
// split between them at V-blank in, and the host goes on when every part is done. The
// workers are started and ended with the plugin; between jobs they sleep.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

namespace plugin {

class LineWorkers {
 public:
  static constexpr int kMaxParts = 8;
  using Job = void (*)(int part, int parts, void* context);

  ~LineWorkers() { Stop(); }
  // parts - 1 worker threads (parts clamped to 1..kMaxParts); the host's thread is part 0.
  void Start(int parts);
  void Stop();
  int parts() const { return parts_; }
  // job(k, parts, context) for every part k, part 0 on the calling thread; returns when
  // all have returned.
  void Run(Job job, void* context);

 private:
  void Work(int part, uint64_t seen);

  std::thread threads_[kMaxParts - 1];
  int parts_ = 1;
  std::mutex lock_;
  std::condition_variable wake_, done_;
  uint64_t generation_ = 0;  // bumped for each job
  int pending_ = 0;          // workers still running the job
  bool stopping_ = false;
  Job job_ = nullptr;
  void* context_ = nullptr;
};

}  // namespace plugin
