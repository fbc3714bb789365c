// Writes a binary trace while the host runs. The host's emulation thread appends records
// to a ring in memory (a few nanoseconds, no lock, no allocation); a background thread
// writes the ring out at least every quarter second, so a killed host loses at most the
// last fraction of a second. Close writes the rest.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "trace_format.h"

namespace vdptrace {

class TraceWriter {
 public:
  // ringBytes: the memory ring, rounded up to a power of two of at least 128 KB (the
  // longest record fits). The drainer is woken early when it is half full.
  explicit TraceWriter(uint32_t ringBytes = 1u << 23);
  ~TraceWriter() { Close(); }
  TraceWriter(const TraceWriter&) = delete;
  TraceWriter& operator=(const TraceWriter&) = delete;

  // Creates the file (replacing one of that name) and writes the header: the plugin's file
  // name and the start record's directory. False, with the reason in error, when the file
  // cannot be created. A writer that is not open ignores every record.
  bool Open(const char* path, const char* pluginName, const char* directory, std::string& error);
  bool IsOpen() const { return open_; }

  // The calls, recorded after they returned. Access: one of the 28 accessors with its
  // address and value (for a read, the value the plugin returned). Event: a lifecycle or
  // blanking call without arguments; VDPOnVblankOut also writes the frame mark. Everything
  // must come from the thread that opened the writer (the host's emulation thread), except
  // SetupPlugin and DisplayPluginInfo, which a host calls from its user-interface thread:
  // from another thread they are written after the records of the next drain.
  inline void Access(Call call, uint32_t address, uint32_t value);
  void Event(Call call);
  void Init(bool result, const char* directory);

  // Writes what is left and closes the file. False when any write failed (disk full...).
  // It joins the drain thread: in a Windows DLL, call it from DeInitPlugin, never from
  // DllMain (a thread cannot end while the loader lock is held), and keep a writer that
  // may still be open at unloading out of static storage.
  bool Close();

  uint32_t frames() const { return frames_; }
  // Bytes in the file so far, header included; exact after Close.
  uint64_t bytesWritten() const { return written_.load(std::memory_order_relaxed); }

 private:
  static constexpr uint32_t kSlack = 16;  // past the ring's end: a record is written whole

  void MakeRoom(uint32_t bytes);
  void Append(const uint8_t* bytes, uint32_t count);
  inline void Publish(uint32_t length);
  void DrainLoop();
  void Drain();

  bool open_ = false;
  std::FILE* file_ = nullptr;
  uint32_t ringBytes_;         // a power of two
  std::vector<uint8_t> ring_;  // ringBytes_ + kSlack
  uint32_t head_ = 0;          // producer's position, free-running
  uint32_t tailSeen_ = 0;      // the consumer's position as the producer last saw it
  std::atomic<uint32_t> published_{0};
  std::atomic<uint32_t> tail_{0};
  uint32_t next_[kSpaceCount] = {};
  uint32_t last_[kAccessorCount] = {};
  uint32_t frames_ = 0;

  std::thread::id owner_;
  std::thread drainer_;
  std::mutex mutex_;  // guards side_, sideOpen_, stop_ and the drainer's sleep
  std::condition_variable wakeDrainer_;
  std::atomic<bool> wake_{false};
  bool stop_ = false;
  bool sideOpen_ = false;
  std::vector<uint8_t> side_;     // records from other threads
  std::vector<uint8_t> staging_;  // one drain's bytes, written with one call
  std::atomic<uint64_t> written_{0};
  bool failed_ = false;
};

inline void TraceWriter::Publish(uint32_t length) {
  const uint32_t pos = head_ & (ringBytes_ - 1);
  if (pos + length > ringBytes_)  // the record ran into the slack: wrap its end around
    std::memcpy(ring_.data(), ring_.data() + ringBytes_, pos + length - ringBytes_);
  head_ += length;
  published_.store(head_, std::memory_order_release);
}

inline void TraceWriter::Access(Call call, uint32_t address, uint32_t value) {
  if (!open_) return;
  // Past half full the drainer is woken early; MakeRoom also waits when the ring is full.
  if (head_ - tailSeen_ > ringBytes_ / 2) MakeRoom(kMaxAccessorRecord);
  const int index = static_cast<int>(call);
  const CallInfo& info = kCalls[index];
  value &= info.size == 4 ? 0xFFFFFFFFu : (1u << (info.size * 8)) - 1;
  uint32_t& next = next_[static_cast<int>(info.space)];
  const int32_t delta = static_cast<int32_t>(address - next);
  next = address + info.size;
  AddressMode mode = kAddressAbsolute;
  uint32_t addressBytes = 4, addressField = address;
  if (delta == 0) {
    mode = kAddressNext;
    addressBytes = 0;
  } else if (delta == static_cast<int8_t>(delta)) {
    mode = kAddressDelta8;
    addressBytes = 1;
    addressField = static_cast<uint32_t>(delta);
  } else if (delta == static_cast<int16_t>(delta)) {
    mode = kAddressDelta16;
    addressBytes = 2;
    addressField = static_cast<uint32_t>(delta);
  }
  uint32_t& last = last_[index - kFirstAccessor];
  const bool repeat = value == last;
  last = value;
  // Fields are stored whole and the length counts only their bytes (little-endian hosts):
  // the bytes beyond are free ring space that the next record overwrites.
  uint8_t* p = ring_.data() + (head_ & (ringBytes_ - 1));
  p[0] = AccessorTag(call, mode, repeat);
  std::memcpy(p + 1, &addressField, 4);
  uint32_t length = 1 + addressBytes;
  if (!repeat) {
    std::memcpy(p + length, &value, 4);
    length += info.size;
  }
  Publish(length);
}

}  // namespace vdptrace
