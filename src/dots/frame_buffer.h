// VDP1's two frame buffers: which one is drawn and which displayed, their change and
// erase as TVMR, FBCR, PTMR and the erase registers ask, and the host's window onto the
// draw buffer.
#pragma once

#include <cstdint>

#include "dots/chip_view.h"
#include "dots/vdp1_raster.h"

namespace dots {

class FrameBuffers {
 public:
  FrameBuffers() { Reset(); }

  // An FBCR write. In manual mode (FCM=1) a change (FCT=1) or an erase (FCT=0) is requested
  // once per write and carried out at the next frame change.
  void OnFbcrWrite(uint16_t fbcr);
  // The frame change at V-blank out: the erase of the field that ended, the buffers' change
  // (every field in one-cycle mode, on request in manual mode, after an erase in V-blank
  // when TVMR's VBE asks), and a draw into the new draw buffer when PTMR says 10.
  void OnFrameChange(const ChipView& chips);
  // PTMR written with 01: the whole table is drawn now into the draw buffer.
  void DrawNow(const ChipView& chips);

  const FrameBufferMemory& Displayed() const { return buffers_[drawIndex_ ^ 1]; }
  const DrawReport& LastDraw() const { return lastDraw_; }
  // Draws made since the buffers were made or reset.
  uint32_t Draws() const { return draws_; }

  // The host's frame-buffer window: the draw buffer, console byte order, addresses wrapped.
  uint8_t ReadByte(uint32_t a) const { return buffers_[drawIndex_].ReadByte(a); }
  uint16_t ReadWord(uint32_t a) const { return buffers_[drawIndex_].ReadWord(a); }
  uint32_t ReadLong(uint32_t a) const { return buffers_[drawIndex_].ReadLong(a); }
  void WriteByte(uint32_t a, uint8_t v) { buffers_[drawIndex_].Byte(a) = v; }
  void WriteWord(uint32_t a, uint16_t v) { buffers_[drawIndex_].Word(a) = v; }
  void WriteLong(uint32_t a, uint32_t v) { buffers_[drawIndex_].Long(a) = v; }

  // Both buffers cleared, buffer 0 drawn, no request pending, drawing state at power-on.
  void Reset();

 private:
  void Erase(FrameBufferMemory& buffer, const uint16_t* registers) const;
  void Draw(const ChipView& chips);

  FrameBufferMemory buffers_[2];
  uint32_t drawIndex_ = 0;
  bool changeRequested_ = false;
  bool eraseRequested_ = false;
  bool displayEraseDue_ = false;  // the displayed buffer is erased as the field shows it
  bool doubleDensity_ = false;    // FBCR DIE and DIL, which take effect at a change
  uint32_t lineParity_ = 0;
  Vdp1Raster raster_;
  DrawReport lastDraw_;
  uint32_t draws_ = 0;
};

}  // namespace dots
