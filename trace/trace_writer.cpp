#include "trace_writer.h"

#include <bit>
#include <chrono>

namespace vdptrace {

static_assert(std::endian::native == std::endian::little, "records are stored in host order");

namespace {

void PutU16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}

// A length-prefixed string; longer than 65,535 bytes is cut there.
void PutString(std::vector<uint8_t>& out, const char* text) {
  const size_t length = text != nullptr ? std::strlen(text) : 0;
  const size_t kept = length > 0xFFFF ? 0xFFFF : length;
  PutU16(out, static_cast<uint32_t>(kept));
  out.insert(out.end(), text, text + kept);
}

}  // namespace

TraceWriter::TraceWriter(uint32_t ringBytes) : ringBytes_(1u << 17) {
  while (ringBytes_ < ringBytes && ringBytes_ < (1u << 30)) ringBytes_ <<= 1;
}

bool TraceWriter::Open(const char* path, const char* pluginName, const char* directory,
                       std::string& error) {
  Close();
  file_ = std::fopen(path, "wb");
  if (file_ == nullptr) {
    error = std::string("cannot create ") + path;
    return false;
  }
  // Unbuffered: each drain is one write, so a killed host never leaves half a record.
  std::setvbuf(file_, nullptr, _IONBF, 0);
  std::vector<uint8_t> header(kMagic, kMagic + sizeof(kMagic));
  PutU16(header, kVersion);
  PutString(header, pluginName);
  PutString(header, directory);
  if (std::fwrite(header.data(), 1, header.size(), file_) != header.size()) {
    std::fclose(file_);
    file_ = nullptr;
    error = std::string("cannot write ") + path;
    return false;
  }
  written_.store(header.size(), std::memory_order_relaxed);
  ring_.assign(ringBytes_ + kSlack, 0);
  staging_.reserve(ringBytes_);
  head_ = tailSeen_ = 0;
  published_.store(0);
  tail_.store(0);
  std::memset(next_, 0, sizeof(next_));
  std::memset(last_, 0, sizeof(last_));
  frames_ = 0;
  failed_ = false;
  stop_ = false;
  wake_.store(false);
  {
    std::lock_guard<std::mutex> lock(mutex_);
    side_.clear();
    sideOpen_ = true;
  }
  owner_ = std::this_thread::get_id();
  drainer_ = std::thread([this] { DrainLoop(); });
  open_ = true;
  return true;
}

void TraceWriter::MakeRoom(uint32_t bytes) {
  tailSeen_ = tail_.load(std::memory_order_acquire);
  const uint32_t room = ringBytes_ - bytes - kSlack;
  if ((head_ - tailSeen_ > ringBytes_ / 2 || head_ - tailSeen_ > room) && !wake_.exchange(true)) {
    std::lock_guard<std::mutex> lock(mutex_);
    wakeDrainer_.notify_one();
  }
  while (head_ - tailSeen_ > room) {
    std::this_thread::yield();
    tailSeen_ = tail_.load(std::memory_order_acquire);
  }
}

void TraceWriter::Append(const uint8_t* bytes, uint32_t count) {
  MakeRoom(count);
  const uint32_t pos = head_ & (ringBytes_ - 1);
  const uint32_t first = count < ringBytes_ - pos ? count : ringBytes_ - pos;
  std::memcpy(ring_.data() + pos, bytes, first);
  std::memcpy(ring_.data(), bytes + first, count - first);
  head_ += count;
  published_.store(head_, std::memory_order_release);
}

void TraceWriter::Event(Call call) {
  const uint8_t tag = EventTag(call);
  if ((call == Call::SetupPlugin || call == Call::DisplayPluginInfo) &&
      std::this_thread::get_id() != owner_) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (sideOpen_) side_.push_back(tag);
    return;
  }
  if (!open_ || IsAccessor(call) || call == Call::InitVDPPlugin || call == Call::FrameMark) return;
  Append(&tag, 1);
  if (call == Call::VDPOnVblankOut) {
    uint8_t mark[5] = {kFrameMarkTag};
    std::memcpy(mark + 1, &frames_, 4);
    ++frames_;
    Append(mark, 5);
  }
}

void TraceWriter::Init(bool result, const char* directory) {
  if (!open_) return;
  std::vector<uint8_t> record{EventTag(Call::InitVDPPlugin), static_cast<uint8_t>(result)};
  PutString(record, directory);
  Append(record.data(), static_cast<uint32_t>(record.size()));
}

void TraceWriter::DrainLoop() {
  for (;;) {
    bool stopping = false;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      wakeDrainer_.wait_for(lock, std::chrono::milliseconds(250),
                            [this] { return stop_ || wake_.load(); });
      stopping = stop_;
    }
    wake_.store(false);
    Drain();
    if (stopping) return;
  }
}

void TraceWriter::Drain() {
  const uint32_t head = published_.load(std::memory_order_acquire);
  const uint32_t tail = tail_.load(std::memory_order_relaxed);
  const uint32_t count = head - tail, pos = tail & (ringBytes_ - 1);
  const uint32_t first = count < ringBytes_ - pos ? count : ringBytes_ - pos;
  staging_.assign(ring_.data() + pos, ring_.data() + pos + first);
  staging_.insert(staging_.end(), ring_.data(), ring_.data() + (count - first));
  tail_.store(head, std::memory_order_release);
  {
    std::lock_guard<std::mutex> lock(mutex_);
    staging_.insert(staging_.end(), side_.begin(), side_.end());
    side_.clear();
  }
  if (staging_.empty() || failed_) return;
  if (std::fwrite(staging_.data(), 1, staging_.size(), file_) != staging_.size())
    failed_ = true;
  else
    written_.fetch_add(staging_.size(), std::memory_order_relaxed);
}

bool TraceWriter::Close() {
  if (!open_) return !failed_;
  open_ = false;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
    wakeDrainer_.notify_one();
  }
  drainer_.join();
  {
    std::lock_guard<std::mutex> lock(mutex_);
    sideOpen_ = false;
    side_.clear();
  }
  if (std::fclose(file_) != 0) failed_ = true;
  file_ = nullptr;
  ring_.clear();
  ring_.shrink_to_fit();
  return !failed_;
}

}  // namespace vdptrace
