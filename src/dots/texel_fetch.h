// A sprite's character pattern in VDP1 VRAM: texels read in the command's colour mode and
// turned into the dot the command writes, with its transparent and end codes.
#pragma once

#include <cstdint>

#include "common/console_memory.h"
#include "dots/vdp1_command_fields.h"

namespace dots {

enum class TexelKind : uint8_t { kDot, kTransparent, kEndCode };

struct Texel {
  TexelKind kind;
  uint16_t colour;  // the 16-bit dot (bank code, table word or RGB)
};

class TexelFetch {
 public:
  // Set up for one command; false for the prohibited colour modes 6 and 7, which draw
  // nothing.
  bool Begin(const vdp::ConsoleMemory& vram, const CommandFields& command, DrawMode mode);
  // On a line drawn with high-speed shrink end codes are ignored: they are colours.
  void SetShrinking(bool shrinking) { endCodes_ = endCodesOn_ && !shrinking; }
  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }

  // The texel at column u, row v (0 <= u < Width, 0 <= v < Height).
  Texel At(int32_t u, int32_t v) const;

 private:
  uint32_t Code(uint32_t index) const;

  const vdp::ConsoleMemory* vram_ = nullptr;
  uint32_t mode_ = 0;
  uint32_t base_ = 0;
  uint16_t colour_ = 0;
  int32_t width_ = 0, height_ = 0;
  bool transparentDrawn_ = false;
  bool endCodesOn_ = false;  // ECD clear
  bool endCodes_ = false;
};

}  // namespace dots
