// VDP1's frame-buffer registers as the dot-by-dot renderer reads them, and the frame
// buffer's shape in each TV mode.
#pragma once

#include <cstdint>

#include "common/bits.h"

namespace dots {

// Indexes into ChipView::vdp1Registers (byte offset / 2).
namespace vdp1reg {
constexpr uint32_t kTvmr = 0;  // TV mode: b3 VBE (erase in V-blank), b2-0 TVM
constexpr uint32_t kFbcr = 1;  // frame change: b4 EOS, b3 DIE, b2 DIL, b1 FCM, b0 FCT
constexpr uint32_t kPtmr = 2;  // draw trigger: b1-0 PTM
constexpr uint32_t kEwdr = 3;  // erase word
constexpr uint32_t kEwlr = 4;  // erase area upper-left: b15-9 X / unit, b8-0 first row
constexpr uint32_t kEwrr = 5;  // erase area lower-right: b15-9 X / unit (exclusive), b8-0 last row
}  // namespace vdp1reg

// TVMR.
constexpr bool EraseInVblank(uint16_t tvmr) { return vdp::Bit(tvmr, 3) != 0; }
constexpr uint32_t TvMode(uint16_t tvmr) { return vdp::Bits(tvmr, 2, 0); }

// FBCR.
constexpr bool ManualChange(uint16_t fbcr) { return vdp::Bit(fbcr, 1) != 0; }    // FCM
constexpr bool ChangeTrigger(uint16_t fbcr) { return vdp::Bit(fbcr, 0) != 0; }   // FCT
constexpr bool DoubleDensity(uint16_t fbcr) { return vdp::Bit(fbcr, 3) != 0; }   // DIE
constexpr uint32_t DrawnLineParity(uint16_t fbcr) { return vdp::Bit(fbcr, 2); }  // DIL
constexpr uint32_t ShrinkParity(uint16_t fbcr) { return vdp::Bit(fbcr, 4); }     // EOS

// PTMR.
enum DrawTrigger : uint32_t { kIdle = 0, kDrawOnWrite = 1, kDrawAtChange = 2 };
constexpr uint32_t DrawTriggerOf(uint16_t ptmr) { return vdp::Bits(ptmr, 1, 0); }

// EWLR / EWRR fields.
constexpr uint32_t EraseColumnUnits(uint16_t ew) { return vdp::Bits(ew, 15, 9); }
constexpr uint32_t EraseRow(uint16_t ew) { return vdp::Bits(ew, 8, 0); }

// The frame buffer's dots in one TV mode. TVM 0 normal, 2 rotation 16 and 4 HDTV hold
// 512x256 16-bit dots; 1 high resolution 1024x256 and 3 rotation 8 512x512 8-bit dots.
// The prohibited codes 5-7 are taken as normal.
struct FrameGeometry {
  int32_t width;         // dots a row
  int32_t rows;          // rows in the buffer
  uint32_t bytesPerRow;  // 1024, or 512 in rotation 8
  bool eightBit;         // one byte a dot, the even dot in the upper byte of a word
  uint32_t eraseUnit;    // dots per step of the erase area's X fields

  static constexpr FrameGeometry Of(uint32_t tvm) {
    switch (tvm) {
      case 1:
        return {1024, 256, 1024, true, 16};
      case 3:
        return {512, 512, 512, true, 16};
      default:
        return {512, 256, 1024, false, 8};
    }
  }
  constexpr uint32_t Address(int32_t x, int32_t row) const {
    return static_cast<uint32_t>(row) * bytesPerRow + static_cast<uint32_t>(x) * (eightBit ? 1 : 2);
  }
};

}  // namespace dots
