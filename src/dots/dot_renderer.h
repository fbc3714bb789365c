// The dot-by-dot renderer as a whole: VDP1's frame buffers, the composer of VDP2's lines,
// the display period's log of register and colour RAM writes, and the picture it makes.
// Pure: it reads the chips through a ChipView and knows no plugin, display or thread.
#pragma once

#include "common/line_log.h"
#include "dots/chip_view.h"
#include "dots/frame_buffer.h"
#include "dots/picture.h"
#include "dots/screen_composer.h"

namespace dots {

// About 10 MB of fixed tables (each thread's scratch keeps its screens' tables, about 0.6 MB):
// allocate it once, on the heap.
class DotRenderer {
 public:
  // V-blank out: VDP1's frame change (erase, change, draw as its registers say), then a
  // new display period starts from the chips' state of now.
  void StartPeriod(const ChipView& chips) {
    frameBuffers.OnFrameChange(chips);
    composer_.BeginPeriod(chips);
    log.Clear();
    composed_ = false;
  }
  // V-blank in: the period's lines are complete; its picture is composed from them.
  void EndPeriod(const ChipView& chips) {
    PrepareEnd(chips);
    ComposePart(0, 1, chips);
  }
  // EndPeriod in parts, for threads: PrepareEnd once, then ComposePart(k, parts) for every
  // k, each on one thread at a time. Part k draws lines k, k + parts, ...; every line reads
  // only its own state, so the picture is the same for any number of parts.
  void PrepareEnd(const ChipView& chips) {
    composer_.PrepareLines(chips, log, picture_);
    composed_ = true;
  }
  void ComposePart(int part, int parts, const ChipView& chips) {
    for (int y = part; y < picture_.height; y += parts)
      composer_.ComposeLine(y, chips, frameBuffers.Displayed(), scratch_[part], picture_);
  }
  static constexpr int kMaxParts = 8;
  // The period's picture once composed at V-blank in, else null.
  const Picture* ComposedPicture() const { return composed_ ? &picture_ : nullptr; }
  // The picture of the period that ended. A period that was not logged line by line (the
  // renderer was switched on during it) is drawn with the chips' state of now throughout.
  const Picture& PeriodPicture(const ChipView& chips) {
    if (!composed_) {
      composer_.BeginPeriod(chips);
      log.Clear();
      EndPeriod(chips);
    }
    return picture_;
  }

  // Both frame buffers clear, no period under way: as the renderer was made.
  void Reset() {
    frameBuffers.Reset();
    log.Clear();
    composed_ = false;
  }

  FrameBuffers frameBuffers;
  // Appended by the VDP2 core while a period is drawn dot by dot.
  vdp::LineLog log;

 private:
  ScreenComposer composer_;
  LineBuffers scratch_[kMaxParts];
  Picture picture_;
  bool composed_ = false;
};

}  // namespace dots
