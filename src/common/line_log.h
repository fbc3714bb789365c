// The register and colour RAM writes of one display period, each with the line the host's
// line counter had reached when it was made, so that the dot-by-dot renderer can draw each
// line with the state of its own line. Appended on the host's thread in the accessors;
// read after the period's last line.
#pragma once

#include <cstdint>

namespace vdp {

struct LineWrite {
  uint16_t line;    // the first line that shows the write
  uint16_t target;  // kCramTarget clear: VDP2 register byte offset; set: colour RAM word index
  uint16_t value;
};

class LineLog {
 public:
  static constexpr uint16_t kCramTarget = 0x8000;
  // A period with more writes than this keeps its first ones per line exact; the rest are
  // not lost but seen from the line where the log filled (overflowed() tells).
  static constexpr uint32_t kCapacity = 1u << 16;

  void Clear() {
    count_ = 0;
    overflowed_ = false;
  }
  void Append(uint16_t line, uint16_t target, uint16_t value) {
    if (count_ < kCapacity) [[likely]] {
      entries_[count_++] = LineWrite{line, target, value};
    } else {
      overflowed_ = true;
    }
  }
  uint32_t size() const { return count_; }
  bool overflowed() const { return overflowed_; }
  const LineWrite& operator[](uint32_t i) const { return entries_[i]; }

 private:
  LineWrite entries_[kCapacity];
  uint32_t count_ = 0;
  bool overflowed_ = false;
};

}  // namespace vdp
