// The dot-by-dot renderer's VDP2 entry point: a display period's picture from the chips'
// state at its start, its logged writes and the displayed VDP1 frame buffer.
#pragma once

#include <cstdint>

#include "common/line_log.h"
#include "dots/chip_view.h"
#include "dots/display_mode.h"
#include "dots/line_buffers.h"
#include "dots/line_state.h"
#include "dots/picture.h"
#include "dots/rotation_parameters.h"

namespace dots {

// Owns its fixed tables (about 3 MB): allocate it once, on the heap.
class ScreenComposer {
 public:
  // At the start of a display period (V-blank out): the state its first line starts from.
  void BeginPeriod(const ChipView& chips);
  // After the period's last line: every displayed line into out. log: the period's writes.
  void ComposePeriod(const ChipView& chips, const vdp::LineLog& log,
                     const FrameBufferMemory& displayed, Picture& out);
  // One picture line from its own line's state, once ComposePeriod has built the states
  // (or from PrepareLines): any order, any thread with its own scratch, same dots.
  void ComposeLine(int y, const ChipView& chips, const FrameBufferMemory& displayed,
                   LineBuffers& scratch, Picture& out) const;
  // Builds the per-line states and sizes out, without drawing a line.
  void PrepareLines(const ChipView& chips, const vdp::LineLog& log, Picture& out);

 private:
  LineStates states_;
  RotationStarts rotationStarts_;
  LineBuffers scratch_;
  DisplayMode mode_;
  uint64_t vramStamp_ = 0;  // names VRAM's contents from PrepareLines to the next
};

}  // namespace dots
