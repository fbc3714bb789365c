// Replays one display period's register and colour RAM writes into per-line copies.
#include "dots/line_state.h"

#include <atomic>
#include <cstring>

#include "common/bits.h"
#include "dots/vdp2_registers.h"

namespace dots {

uint64_t LineStates::NewStamp() {
  static std::atomic<uint64_t> last{0};
  return ++last;
}

void LineStates::Begin(const ChipView& chips) {
  std::memcpy(startRegisters_, chips.vdp2Registers, sizeof(startRegisters_));
  // A period that starts from the colours the last one ended with (its writes between
  // lines included) keeps that copy's stamp, and the tables made from it; one that starts
  // from the colours the last one started from keeps that stamp.
  const uint16_t* last = cramCount_ > 0 ? cram_[cramCount_ - 1] : nullptr;
  if (last != nullptr && std::memcmp(last, chips.cram, sizeof(startCram_)) == 0) {
    std::memcpy(startCram_, chips.cram, sizeof(startCram_));
    startCramStamp_ = cramStamp_[cramCount_ - 1];
    startChange_ = CramChange{};
    return;
  }
  if (startCramStamp_ != 0 && std::memcmp(startCram_, chips.cram, sizeof(startCram_)) == 0) return;
  std::memcpy(startCram_, chips.cram, sizeof(startCram_));
  startCramStamp_ = NewStamp();
  // Else, when a few words were written in the blanking, what changed since the last copy.
  startChange_ = CramChange{};
  if (last == nullptr) return;
  startChange_.from = cramStamp_[cramCount_ - 1];
  for (uint32_t i = 0; i < kCramWords && startChange_.Few(); ++i) {
    if (last[i] != startCram_[i]) startChange_.Add(i);
  }
}

void LineStates::Apply(const vdp::LineWrite& write, int line) {
  // The first write of a line starts that line's copy from the previous line's.
  if (!(write.target & vdp::LineLog::kCramTarget)) {
    if (registerLine_ != line) {
      std::memcpy(registers_[registerCount_], registers_[registerCount_ - 1],
                  sizeof(registers_[0]));
      settingsCopy_[registerCount_] = settingsCopy_[registerCount_ - 1];
      ++registerCount_;
      registerLine_ = line;
    }
    const uint32_t word = (write.target >> 1) & 0xFF;
    const int copy = registerCount_ - 1;
    if (registers_[copy][word] == write.value) return;
    registers_[copy][word] = write.value;
    const bool scroll = word >= reg::SCXIN0 / 2 && word < reg::ZMCTL / 2;
    if (!scroll) settingsCopy_[copy] = static_cast<uint16_t>(copy);
    return;
  }
  if (cramLine_ != line) {
    std::memcpy(cram_[cramCount_], cram_[cramCount_ - 1], sizeof(cram_[0]));
    cramStamp_[cramCount_] = NewStamp();
    cramChange_[cramCount_] = CramChange{};
    cramChange_[cramCount_].from = cramStamp_[cramCount_ - 1];
    ++cramCount_;
    cramLine_ = line;
  }
  CramChange& change = cramChange_[cramCount_ - 1];
  uint16_t* cram = cram_[cramCount_ - 1];
  const uint32_t index = write.target & 0x7FF;
  cram[index] = write.value;
  change.Add(index);
  // In colour RAM mode 0 the two halves hold the same 1,024 colours: a write to either is
  // stored in the other as well.
  const RegisterView regs(registers_[registerCount_ - 1]);
  if (regs.Field(reg::RAMCTL, 13, 12) == 0) {
    cram[index ^ 0x400] = write.value;
    change.Add(index ^ 0x400);
  }
}

void LineStates::CopyFromChips(const ChipView& chips) {
  settingsCopy_[registerCount_] = static_cast<uint16_t>(registerCount_);
  std::memcpy(registers_[registerCount_++], chips.vdp2Registers, sizeof(registers_[0]));
  cramStamp_[cramCount_] = NewStamp();
  cramChange_[cramCount_] = CramChange{};  // unknown
  std::memcpy(cram_[cramCount_++], chips.cram, sizeof(cram_[0]));
}

void LineStates::Build(const ChipView& chips, const vdp::LineLog& log) {
  std::memcpy(registers_[0], startRegisters_, sizeof(registers_[0]));
  std::memcpy(cram_[0], startCram_, sizeof(cram_[0]));
  settingsCopy_[0] = 0;
  cramStamp_[0] = startCramStamp_;
  cramChange_[0] = startChange_;
  registerCount_ = cramCount_ = 1;
  registerLine_ = cramLine_ = -1;
  // Lines from here on show the end-of-period state (the log lost writes after it).
  const int endStateLine =
      log.overflowed() && log.size() > 0 ? log[log.size() - 1].line : kMaxLines;
  uint32_t next = 0;
  for (int line = 0; line < kMaxLines; ++line) {
    if (line == endStateLine) {
      CopyFromChips(chips);
      for (int rest = line; rest < kMaxLines; ++rest) {
        registerCopy_[rest] = static_cast<uint16_t>(registerCount_ - 1);
        cramCopy_[rest] = static_cast<uint16_t>(cramCount_ - 1);
      }
      return;
    }
    // Writes arrive in the host's order; one naming an earlier line shows from this one.
    for (; next < log.size() && log[next].line <= line; ++next) Apply(log[next], line);
    registerCopy_[line] = static_cast<uint16_t>(registerCount_ - 1);
    cramCopy_[line] = static_cast<uint16_t>(cramCount_ - 1);
  }
}

}  // namespace dots
