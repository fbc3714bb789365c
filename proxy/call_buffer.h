// The calls recorded but not yet written: a ring that the host's thread fills and the
// writer thread empties. Appending is a store and a counter update, so that recording
// costs the emulation a few nanoseconds per call; the file is written elsewhere.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <thread>

#include "proxy/plugin_calls.h"

namespace proxy {

struct CallRecord {
  uint32_t address;
  uint32_t value;  // written value, value read, or InitVDPPlugin's result
  Call call;
};

// One producer (the thread that makes the host's calls, as an emulator does) and one
// consumer. A full ring makes the producer wait for the consumer rather than lose a call;
// with no consumer running, calls are not kept.
class CallBuffer {
 public:
  // 2^20 records: about a second of the busiest traffic a host sends, so the writer can
  // sleep between passes.
  static constexpr uint32_t kCapacity = 1u << 20;

  void Append(Call call, uint32_t address, uint32_t value) {
    const uint32_t head = head_.load(std::memory_order_relaxed);
    if (head - tailSeen_ == kCapacity) [[unlikely]] {
      if (!WaitForRoom(head)) return;
    }
    records_[head & (kCapacity - 1)] = CallRecord{address, value, call};
    head_.store(head + 1, std::memory_order_release);
  }

  // Consumer side: hands every record appended so far to sink(const CallRecord*, count),
  // in order, and frees their room. Returns how many there were.
  template <typename Sink>
  size_t Drain(Sink&& sink) {
    const uint32_t head = head_.load(std::memory_order_acquire);
    uint32_t tail = tail_.load(std::memory_order_relaxed);
    const size_t count = head - tail;
    while (tail != head) {
      const uint32_t index = tail & (kCapacity - 1);
      const uint32_t run = std::min<uint32_t>(head - tail, kCapacity - index);
      sink(&records_[index], run);
      tail += run;
      tail_.store(tail, std::memory_order_release);
    }
    return count;
  }

  void SetConsumer(bool running) { consumer_.store(running, std::memory_order_release); }
  // Forgets what was appended while no consumer ran.
  void Clear() { tail_.store(head_.load(std::memory_order_acquire), std::memory_order_release); }

 private:
  bool WaitForRoom(uint32_t head) {
    for (;;) {
      tailSeen_ = tail_.load(std::memory_order_acquire);
      if (head - tailSeen_ < kCapacity) return true;
      if (!consumer_.load(std::memory_order_acquire)) return false;
      std::this_thread::yield();
    }
  }

  alignas(64) std::atomic<uint32_t> head_{0};
  uint32_t tailSeen_ = 0;  // the producer's last look at tail_
  alignas(64) std::atomic<uint32_t> tail_{0};
  std::atomic<bool> consumer_{false};
  alignas(64) CallRecord records_[kCapacity] = {};
};

}  // namespace proxy
