// The VDP2 registers and colour RAM in force on each host line of a display period: the
// state at the period's start, with the period's logged writes applied from their lines.
// Lines that change nothing share the previous line's copy, so the tables hold one copy
// per changing line at most; each line reads only its own copies.
#pragma once

#include <cstdint>

#include "common/line_log.h"
#include "dots/chip_view.h"
#include "dots/colour_ram.h"

namespace dots {

class LineStates {
 public:
  // Host lines a period can name; later writes show on no line of the period.
  static constexpr int kMaxLines = 512;
  static constexpr int kRegisterWords = 256;
  static constexpr int kCramWords = 2048;

  // The state the period's first line starts from.
  void Begin(const ChipView& chips);
  // The copies for every line. If the log overflowed, lines from its last entry's line on
  // see the end-of-period state of chips.
  void Build(const ChipView& chips, const vdp::LineLog& log);

  // A number no other call of the process returns (never 0): names memory contents.
  static uint64_t NewStamp();

  const uint16_t* Registers(int line) const { return registers_[registerCopy_[Clamp(line)]]; }
  // Names the registers of line but the scroll screens' scroll and zoom values (0x70-0x97),
  // which raster effects write on every line: what reads none of those can be kept over
  // the lines that share the name, within the period.
  const uint16_t* Settings(int line) const {
    return registers_[settingsCopy_[registerCopy_[Clamp(line)]]];
  }
  const uint16_t* Cram(int line) const { return cram_[cramCopy_[Clamp(line)]]; }
  // A number naming the contents of Cram(line): equal stamps, equal words, across periods
  // and across every LineStates of the process. Never 0.
  uint64_t CramStamp(int line) const { return cramStamp_[cramCopy_[Clamp(line)]]; }
  // How Cram(line) differs from the copy of the lines before it.
  const CramChange& CramChangeOf(int line) const { return cramChange_[cramCopy_[Clamp(line)]]; }

 private:
  static int Clamp(int line) { return line < 0 ? 0 : (line >= kMaxLines ? kMaxLines - 1 : line); }
  void Apply(const vdp::LineWrite& write, int line);
  void CopyFromChips(const ChipView& chips);

  uint16_t startRegisters_[kRegisterWords] = {};
  uint16_t startCram_[kCramWords] = {};
  // Copy 0 is the start state; one more per changing line, one for the end state.
  uint16_t registers_[kMaxLines + 2][kRegisterWords];
  uint16_t cram_[kMaxLines + 2][kCramWords];
  uint64_t cramStamp_[kMaxLines + 2] = {};
  CramChange cramChange_[kMaxLines + 2];
  uint64_t startCramStamp_ = 0;  // kept while the period start's colour RAM is unchanged
  CramChange startChange_;       // how it differs from the last period's last copy
  uint16_t registerCopy_[kMaxLines] = {};
  // By register copy: the first copy of the run that differs from it only in scroll values.
  uint16_t settingsCopy_[kMaxLines + 2] = {};
  uint16_t cramCopy_[kMaxLines] = {};
  int registerCount_ = 0, cramCount_ = 0;
  int registerLine_ = -1, cramLine_ = -1;  // the line the newest copy was made for
};

}  // namespace dots
