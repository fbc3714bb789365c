// Reads a binary trace record by record, checking every byte. A bad file stops the reader
// with one message naming the byte offset and the cause; it never reads outside its
// buffer, whatever the input.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "trace_format.h"

namespace vdptrace {

struct Record {
  Call call = Call::FrameMark;
  uint64_t offset = 0;         // of the record's tag in the file
  uint32_t address = 0;        // accessors
  uint32_t value = 0;          // accessors (a read's recorded result), Init's result, frame number
  std::string_view directory;  // InitVDPPlugin; valid until the next call of Next
};

class TraceReader {
 public:
  TraceReader() = default;
  ~TraceReader() { CloseFile(); }
  TraceReader(const TraceReader&) = delete;
  TraceReader& operator=(const TraceReader&) = delete;

  // Open and read the header; false with error() set when it is bad. A memory trace is
  // not copied: it must outlive the reader.
  bool OpenFile(const std::string& path);
  bool OpenMemory(const void* data, size_t size);
  // Back to the first record, for a second pass over a checked file.
  bool Rewind();

  // The next record. False at the end of the trace (error() empty) or on a bad record.
  bool Next(Record& record);

  // "byte <offset>: <cause>", empty while nothing is wrong.
  const std::string& error() const { return error_; }
  const std::string& pluginName() const { return pluginName_; }
  const std::string& directory() const { return directory_; }
  uint32_t frames() const { return frames_; }  // frame marks read so far

 private:
  bool Need(size_t bytes);
  bool Fail(uint64_t offset, const std::string& cause);
  bool ReadHeader();
  bool ReadString(const char* what, std::string_view& text);
  uint32_t Take(size_t bytes);  // little-endian, after Need

  std::FILE* file_ = nullptr;
  std::vector<uint8_t> buffer_;  // file window
  const uint8_t* data_ = nullptr;
  size_t size_ = 0;    // bytes at data_
  size_t pos_ = 0;     // next byte at data_
  uint64_t base_ = 0;  // file offset of data_[0]
  uint64_t firstRecord_ = 0;
  std::string error_, pluginName_, directory_;
  uint32_t next_[kSpaceCount] = {};
  uint32_t last_[kAccessorCount] = {};
  uint32_t frames_ = 0;
  void CloseFile();
};

}  // namespace vdptrace
