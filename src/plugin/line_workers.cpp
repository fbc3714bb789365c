// The worker threads of the dot-by-dot renderer: a job handed out under one lock, run in
// parallel, joined before the host's thread goes on.
#include "plugin/line_workers.h"

#include <algorithm>

namespace plugin {

void LineWorkers::Start(int parts) {
  Stop();
  parts_ = std::clamp(parts, 1, kMaxParts);
  stopping_ = false;
  // A worker waits for the jobs after the last one given out.
  for (int k = 1; k < parts_; ++k)
    threads_[k - 1] = std::thread(&LineWorkers::Work, this, k, generation_);
}

void LineWorkers::Stop() {
  {
    std::lock_guard<std::mutex> hold(lock_);
    stopping_ = true;
  }
  wake_.notify_all();
  for (std::thread& t : threads_)
    if (t.joinable()) t.join();
  parts_ = 1;
}

void LineWorkers::Run(Job job, void* context) {
  if (parts_ > 1) {
    std::lock_guard<std::mutex> hold(lock_);
    job_ = job;
    context_ = context;
    pending_ = parts_ - 1;
    ++generation_;
  }
  wake_.notify_all();
  job(0, parts_, context);
  if (parts_ == 1) return;
  std::unique_lock<std::mutex> hold(lock_);
  done_.wait(hold, [this] { return pending_ == 0; });
}

void LineWorkers::Work(int part, uint64_t seen) {
  for (;;) {
    Job job;
    void* context;
    int parts;
    {
      std::unique_lock<std::mutex> hold(lock_);
      wake_.wait(hold, [&] { return stopping_ || generation_ != seen; });
      if (stopping_) return;
      seen = generation_;
      job = job_;
      context = context_;
      parts = parts_;
    }
    job(part, parts, context);
    {
      std::lock_guard<std::mutex> hold(lock_);
      --pending_;
    }
    done_.notify_one();
  }
}

}  // namespace plugin
