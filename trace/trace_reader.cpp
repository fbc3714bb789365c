#include "trace_reader.h"

#include <cstring>

namespace vdptrace {

namespace {

constexpr size_t kWindow = 1 << 20;

std::string Hex(uint32_t v) {
  char text[16];
  std::snprintf(text, sizeof(text), "0x%02X", v);
  return text;
}

}  // namespace

void TraceReader::CloseFile() {
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
}

bool TraceReader::OpenFile(const std::string& path) {
  CloseFile();
  file_ = std::fopen(path.c_str(), "rb");
  if (file_ == nullptr) {
    error_ = "cannot open the file";
    return false;
  }
  buffer_.assign(kWindow, 0);
  data_ = buffer_.data();
  size_ = 0;
  return Rewind();
}

bool TraceReader::OpenMemory(const void* data, size_t size) {
  CloseFile();
  buffer_.clear();
  data_ = static_cast<const uint8_t*>(data);
  size_ = size;
  return Rewind();
}

bool TraceReader::Rewind() {
  error_.clear();
  pos_ = 0;
  base_ = 0;
  if (file_ != nullptr) {
    size_ = 0;
    if (std::fseek(file_, 0, SEEK_SET) != 0) return Fail(0, "cannot seek");
  }
  std::memset(next_, 0, sizeof(next_));
  std::memset(last_, 0, sizeof(last_));
  frames_ = 0;
  return ReadHeader();
}

bool TraceReader::Fail(uint64_t offset, const std::string& cause) {
  error_ = "byte " + std::to_string(offset) + ": " + cause;
  return false;
}

// Makes at least `bytes` bytes available from pos_, refilling the file window.
bool TraceReader::Need(size_t bytes) {
  if (size_ - pos_ >= bytes) return true;
  if (file_ == nullptr) return false;
  if (bytes > buffer_.size()) buffer_.resize(bytes);
  std::memmove(buffer_.data(), buffer_.data() + pos_, size_ - pos_);
  base_ += pos_;
  size_ -= pos_;
  pos_ = 0;
  data_ = buffer_.data();
  size_ += std::fread(buffer_.data() + size_, 1, buffer_.size() - size_, file_);
  return size_ >= bytes;
}

uint32_t TraceReader::Take(size_t bytes) {
  uint32_t v = 0;
  for (size_t i = 0; i < bytes; ++i) v |= static_cast<uint32_t>(data_[pos_ + i]) << (8 * i);
  pos_ += bytes;
  return v;
}

bool TraceReader::ReadString(const char* what, std::string_view& text) {
  const uint64_t at = base_ + pos_;
  if (!Need(2)) return Fail(at, std::string("truncated ") + what + " length");
  const size_t length = Take(2);
  if (!Need(length))
    return Fail(at, std::string("truncated ") + what + ": " + std::to_string(length) +
                        " bytes announced, " + std::to_string(size_ - pos_) + " left");
  text = std::string_view(reinterpret_cast<const char*>(data_ + pos_), length);
  pos_ += length;
  return true;
}

bool TraceReader::ReadHeader() {
  Need(sizeof(kMagic));
  const size_t have = size_ - pos_ < sizeof(kMagic) ? size_ - pos_ : sizeof(kMagic);
  if (have > 0 && std::memcmp(data_ + pos_, kMagic, have) != 0)
    return Fail(0, "wrong magic: not a VDP trace");
  if (have < sizeof(kMagic)) return Fail(0, "truncated header");
  pos_ += sizeof(kMagic);
  if (!Need(2)) return Fail(base_ + pos_, "truncated header");
  const uint32_t version = Take(2);
  if (version > kVersion)
    return Fail(base_ + pos_ - 2, "format version " + std::to_string(version) +
                                      " is newer than this reader's (" + std::to_string(kVersion) +
                                      ")");
  if (version == 0) return Fail(base_ + pos_ - 2, "format version 0 is not valid");
  std::string_view name, directory;
  if (!ReadString("plugin name", name)) return false;
  pluginName_.assign(name);
  if (!ReadString("directory", directory)) return false;
  directory_.assign(directory);
  firstRecord_ = base_ + pos_;
  return true;
}

bool TraceReader::Next(Record& record) {
  if (!error_.empty() || !Need(1)) return false;
  record = Record{};
  record.offset = base_ + pos_;
  const uint8_t tag = data_[pos_];
  const auto truncated = [&](Call call, size_t bytes) {
    return Fail(record.offset, std::string("truncated record ") + Info(call).name + ": " +
                                   std::to_string(bytes) + " bytes needed, " +
                                   std::to_string(size_ - pos_) + " left");
  };
  if (tag < kAccessorTagEnd) {
    const int accessor = tag >> 3;
    const Call call = static_cast<Call>(kFirstAccessor + accessor);
    const CallInfo& info = kCalls[kFirstAccessor + accessor];
    const int mode = (tag >> 1) & 3;
    const bool repeat = (tag & 1) != 0;
    const size_t addressBytes = mode == kAddressAbsolute ? 4 : mode;
    const size_t bytes = 1 + addressBytes + (repeat ? 0 : info.size);
    if (!Need(bytes)) return truncated(call, bytes);
    ++pos_;
    uint32_t& next = next_[static_cast<int>(info.space)];
    const uint32_t field = Take(addressBytes);
    if (mode == kAddressAbsolute)
      record.address = field;
    else if (mode == kAddressDelta8)
      record.address = next + static_cast<uint32_t>(static_cast<int8_t>(field));
    else if (mode == kAddressDelta16)
      record.address = next + static_cast<uint32_t>(static_cast<int16_t>(field));
    else
      record.address = next;
    next = record.address + info.size;
    uint32_t& last = last_[accessor];
    if (!repeat) last = Take(info.size);
    record.call = call;
    record.value = last;
    return true;
  }
  if (tag == kFrameMarkTag) {
    if (!Need(5)) return truncated(Call::FrameMark, 5);
    ++pos_;
    record.call = Call::FrameMark;
    record.value = Take(4);
    if (record.value != frames_)
      return Fail(record.offset, "frame mark " + std::to_string(record.value) +
                                     " out of sequence (expected " + std::to_string(frames_) + ")");
    ++frames_;
    return true;
  }
  if (tag >= kEventTagBase && tag < kEventTagBase + kFirstAccessor) {
    record.call = static_cast<Call>(tag - kEventTagBase);
    if (record.call != Call::InitVDPPlugin) {
      ++pos_;
      return true;
    }
    // tag, result, directory length, directory
    if (!Need(4)) return truncated(Call::InitVDPPlugin, 4);
    const size_t length = data_[pos_ + 2] | static_cast<size_t>(data_[pos_ + 3]) << 8;
    if (!Need(4 + length)) return truncated(Call::InitVDPPlugin, 4 + length);
    record.value = data_[pos_ + 1];
    if (record.value > 1)
      return Fail(record.offset,
                  "InitVDPPlugin result " + std::to_string(record.value) + " is neither 0 nor 1");
    record.directory = std::string_view(reinterpret_cast<const char*>(data_ + pos_ + 4), length);
    pos_ += 4 + length;
    return true;
  }
  return Fail(record.offset, "unknown record type " + Hex(tag));
}

}  // namespace vdptrace
