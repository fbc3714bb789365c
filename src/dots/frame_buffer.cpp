// Frame change, erase and draw triggers of VDP1's two frame buffers.
#include "dots/frame_buffer.h"

#include <algorithm>

#include "dots/vdp1_registers.h"

namespace dots {

void FrameBuffers::Reset() {
  for (FrameBufferMemory& buffer : buffers_) buffer.Clear();
  drawIndex_ = 0;
  changeRequested_ = eraseRequested_ = displayEraseDue_ = doubleDensity_ = false;
  lineParity_ = 0;
  raster_.Reset();
  lastDraw_ = {};
}

void FrameBuffers::OnFbcrWrite(uint16_t fbcr) {
  if (!ManualChange(fbcr)) return;
  if (ChangeTrigger(fbcr))
    changeRequested_ = true;
  else
    eraseRequested_ = true;
}

// The erase runs over the displayed buffer while the field shows it, so it is carried out
// at the end of that field, at the next frame change, before the buffers trade roles.
// VBE=1 with FCM=0, or with FCM=1 and FCT=0, is prohibited: VBE is not used then.
void FrameBuffers::OnFrameChange(const ChipView& chips) {
  const uint16_t* registers = chips.vdp1Registers;
  if (!registers) return;
  const uint16_t tvmr = registers[vdp1reg::kTvmr], fbcr = registers[vdp1reg::kFbcr];
  FrameBufferMemory& shown = buffers_[drawIndex_ ^ 1];
  if (displayEraseDue_) Erase(shown, registers);
  const bool oneCycle = !ManualChange(fbcr);
  const bool change = oneCycle || changeRequested_;
  if (change) {
    // Erase and change: the erase runs through V-blank, then the buffers change. The whole
    // area is erased (how far the chip gets before V-blank ends is not modelled).
    if (!oneCycle && EraseInVblank(tvmr)) Erase(shown, registers);
    drawIndex_ ^= 1;
    doubleDensity_ = DoubleDensity(fbcr);
    lineParity_ = DrawnLineParity(fbcr);
  }
  displayEraseDue_ = oneCycle || (eraseRequested_ && !EraseInVblank(tvmr));
  changeRequested_ = eraseRequested_ = false;
  if (change && DrawTriggerOf(registers[vdp1reg::kPtmr]) == kDrawAtChange) Draw(chips);
}

void FrameBuffers::DrawNow(const ChipView& chips) {
  if (chips.vdp1Registers) Draw(chips);
}

void FrameBuffers::Draw(const ChipView& chips) {
  DrawTarget target;
  target.memory = &buffers_[drawIndex_];
  target.geometry = FrameGeometry::Of(TvMode(chips.vdp1Registers[vdp1reg::kTvmr]));
  target.doubleDensity = doubleDensity_;
  target.lineParity = lineParity_;
  target.shrinkParity = ShrinkParity(chips.vdp1Registers[vdp1reg::kFbcr]);
  lastDraw_ = raster_.Draw(chips, target);
  ++draws_;
}

// Fills the erase area with EWDR: columns from EWLR's X to EWRR's X (exclusive), in units
// of 8 dots (16 in 8-bit modes), rows from EWLR's Y to EWRR's Y (inclusive), all within
// the buffer. In 8-bit modes each word erases two dots, the even one from bits 15-8.
void FrameBuffers::Erase(FrameBufferMemory& buffer, const uint16_t* registers) const {
  const FrameGeometry g = FrameGeometry::Of(TvMode(registers[vdp1reg::kTvmr]));
  const uint16_t word = registers[vdp1reg::kEwdr];
  const uint16_t upperLeft = registers[vdp1reg::kEwlr], lowerRight = registers[vdp1reg::kEwrr];
  const int32_t left = static_cast<int32_t>(EraseColumnUnits(upperLeft) * g.eraseUnit);
  int32_t right = static_cast<int32_t>(EraseColumnUnits(lowerRight) * g.eraseUnit);
  int32_t bottom = static_cast<int32_t>(EraseRow(lowerRight));
  if (right > g.width) right = g.width;
  if (bottom >= g.rows) bottom = g.rows - 1;
  if (right <= left) return;
  // The area's columns come in units of 8 or 16 dots, so each row of it is whole host longs,
  // each holding the erase word twice (two 16-bit dots, or four 8-bit ones).
  const uint32_t longs = g.Address(right, 0) / 4 - g.Address(left, 0) / 4;
  const uint32_t pair = word * 0x10001u;
  for (int32_t row = static_cast<int32_t>(EraseRow(upperLeft)); row <= bottom; ++row)
    std::fill_n(buffer.longs + g.Address(left, row) / 4, longs, pair);
}

}  // namespace dots
