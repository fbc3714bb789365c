// The binary trace: what the writer stores the reader gives back, and a damaged file is
// refused with the offset and the cause.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "trace_reader.h"
#include "trace_writer.h"

using namespace vdptrace;

namespace {

struct Expected {
  Call call;
  uint32_t address, value;
};

std::string TempTrace(const char* name) {
  return (std::filesystem::temp_directory_path() /
          (std::string(name) + "." + std::to_string(getpid()) + ".vdptrace"))
      .string();
}

std::vector<uint8_t> Bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

std::string ReadToEnd(const std::vector<uint8_t>& bytes) {
  TraceReader reader;
  Record record;
  if (reader.OpenMemory(bytes.data(), bytes.size()))
    while (reader.Next(record)) {
    }
  return reader.error();
}

}  // namespace

TEST(TraceFormat, EveryRecordTypeComesBackAsWritten) {
  const std::string path = TempTrace("roundtrip");
  std::vector<Expected> expected{{Call::InitVDPPlugin, 0, 1}};
  TraceWriter writer(1 << 17);  // the smallest ring: records wrap around its end
  std::string error;
  ASSERT_TRUE(writer.Open(path.c_str(), "VDP_dll.dll", "C:\\emu", error)) << error;
  writer.Init(true, std::string(70000, 'd').c_str());  // cut to 65,535 bytes
  // Over a megabyte: more than the ring and the reader's file window hold.
  for (uint32_t i = 0; i < 400000; ++i) {
    writer.Access(Call::WriteWordVDP2VRAM, i * 2, i & 0xFFFF);
    expected.push_back({Call::WriteWordVDP2VRAM, i * 2, i & 0xFFFF});
  }
  // Sequential, 8-, 16- and 32-bit address steps both ways; values that repeat and not.
  const uint32_t steps[] = {0, 0, 1, uint32_t(-100), 300, uint32_t(-40000), 0x12345678};
  for (int c = kFirstAccessor; c < kFirstAccessor + kAccessorCount; ++c) {
    const Call call = static_cast<Call>(c);
    const uint32_t mask = Info(call).size == 4 ? ~0u : (1u << (8 * Info(call).size)) - 1;
    uint32_t address = 0x100000 * c;
    for (int i = 0; i < 7; ++i) {
      address += steps[i] + (i > 0 ? Info(call).size : 0);
      const uint32_t value = (i == 2 ? 0 : 0x9ABCDEF1u * (i % 4 + 1)) & mask;
      writer.Access(call, address, value);
      expected.push_back({call, address, value});
    }
  }
  for (int c = 1; c < kFirstAccessor; ++c) {
    writer.Event(static_cast<Call>(c));
    expected.push_back({static_cast<Call>(c), 0, 0});
    if (static_cast<Call>(c) == Call::VDPOnVblankOut) expected.push_back({Call::FrameMark, 0, 0});
  }
  writer.Event(Call::VDPOnVblankOut);
  expected.push_back({Call::VDPOnVblankOut, 0, 0});
  expected.push_back({Call::FrameMark, 0, 1});
  // A host killed now would lose nothing: the drain thread has written it all.
  std::this_thread::sleep_for(std::chrono::milliseconds(1100));
  const uintmax_t beforeClose = std::filesystem::file_size(path);
  ASSERT_TRUE(writer.Close());
  EXPECT_EQ(std::filesystem::file_size(path), beforeClose) << "records waited for Close";

  TraceReader reader;
  ASSERT_TRUE(reader.OpenFile(path)) << reader.error();
  EXPECT_EQ(reader.pluginName(), "VDP_dll.dll");
  EXPECT_EQ(reader.directory(), "C:\\emu");
  Record record;
  for (int pass = 0; pass < 2; ++pass) {  // the second after Rewind, as a replay does
    ASSERT_TRUE(pass == 0 || reader.Rewind());
    for (const Expected& e : expected) {
      ASSERT_TRUE(reader.Next(record)) << reader.error();
      ASSERT_EQ(record.call, e.call) << Info(record.call).name << " at byte " << record.offset;
      ASSERT_EQ(record.address, e.address) << Info(e.call).name;
      ASSERT_EQ(record.value, e.value) << Info(e.call).name;
      if (e.call == Call::InitVDPPlugin) {
        ASSERT_EQ(record.directory, std::string(65535, 'd'));
      }
    }
    EXPECT_FALSE(reader.Next(record));
    EXPECT_EQ(reader.error(), "");
  }
  EXPECT_EQ(std::filesystem::file_size(path), writer.bytesWritten());
  std::filesystem::remove(path);
}

TEST(TraceFormat, DamagedFilesAreRefusedWithOffsetAndCause) {
  const std::string path = TempTrace("damaged");
  TraceWriter writer;
  std::string error;
  ASSERT_TRUE(writer.Open(path.c_str(), "p", "d", error)) << error;
  writer.Init(true, "d");                           // bytes 16..20
  writer.Access(Call::WriteWordVDP2VRAM, 2, 0x55);  // 21..24
  writer.Access(Call::WriteWordVDP2VRAM, 4, 0x66);  // 25..27: the next word costs tag + value
  writer.Event(Call::VDPOnVblankOut);               // 28, frame mark 29..33
  writer.Close();
  const std::vector<uint8_t> good = Bytes(path);
  std::filesystem::remove(path);
  ASSERT_EQ(good.size(), 34u);
  ASSERT_EQ(ReadToEnd(good), "");

  struct Case {
    const char* what;
    size_t keep;                 // bytes kept from the start
    int at;                      // byte changed (-1: none) ...
    uint8_t to;                  // ... to this value
    std::vector<uint8_t> extra;  // appended
    const char* message;
  } cases[] = {
      {"empty", 0, -1, 0, {}, "byte 0: truncated header"},
      {"magic", 34, 3, 'X', {}, "byte 0: wrong magic: not a VDP trace"},
      {"newer", 34, 8, 2, {}, "byte 8: format version 2 is newer than this reader's (1)"},
      {"header", 15, -1, 0, {}, "byte 13: truncated directory: 1 bytes announced, 0 left"},
      {"init", 20, -1, 0, {}, "byte 16: truncated record InitVDPPlugin: 5 bytes needed, 4 left"},
      {"access",
       23,
       -1,
       0,
       {},
       "byte 21: truncated record WriteWordVDP2VRAM: 4 bytes needed, 2 left"},
      {"mark", 33, -1, 0, {}, "byte 29: truncated record FrameMark: 5 bytes needed, 4 left"},
      {"type", 34, -1, 0, {0xF5}, "byte 34: unknown record type 0xF5"},
      {"sequence", 34, 30, 3, {}, "byte 29: frame mark 3 out of sequence (expected 0)"},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> bytes(good.begin(), good.begin() + c.keep);
    if (c.at >= 0) bytes[c.at] = c.to;
    bytes.insert(bytes.end(), c.extra.begin(), c.extra.end());
    EXPECT_EQ(ReadToEnd(bytes), c.message) << c.what;
  }
  // Every cut and every single-byte change stays inside the buffer (AddressSanitizer).
  for (size_t n = 0; n < good.size(); ++n) {
    ReadToEnd(std::vector<uint8_t>(good.begin(), good.begin() + n));
    std::vector<uint8_t> bytes = good;
    bytes[n] ^= 0xFF;
    ReadToEnd(bytes);
  }
}
