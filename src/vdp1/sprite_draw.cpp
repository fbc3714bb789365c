// VDP1 normal, scaled and distorted sprites: each is one textured quad whose colour
// effects ride on the GL primary colour (multiplied), secondary colour (added) and alpha.
#include <algorithm>

#include "display/opengl_display.h"
#include "vdp1/part_corners.h"
#include "vdp1/vdp1_command.h"
#include "vdp1/vdp1_core.h"
#include "vdp2/vdp2_core.h"

namespace {

using vdp1::VDP1Command;

// The single-precision value nearest 1/255: one colour-offset step.
constexpr float kOffsetStep = 0.003921569f;

// A scaled sprite this close to the screen's width is the game clearing the screen.
constexpr int32_t kScreenClearMargin = 20;

enum class SpriteKind { kNormal, kScaled, kDistorted };

// Channel offsets, per corner red, green, blue, in colour units (-255 to 255 after
// clamping).
struct CornerOffsets {
  int value[12];
};

// One channel of the colour-offset register set: bit 8 is the sign, and a negative value
// darkens by 255 - (R & 0xFF) rather than by its two's-complement magnitude.
int ColourOffsetValue(uint16_t reg) {
  const int low = reg & 0xFF;
  return (reg & 0x100) ? -(255 - low) : low;
}

void ConvertOffsets(const CornerOffsets& offsets, SpriteQuad& quad) {
  for (int i = 0; i < 12; ++i) {
    const int o = offsets.value[i];
    quad.primary[i] = o < 0 ? 1.0f + static_cast<float>(std::max(o, -255)) * kOffsetStep : 1.0f;
    quad.secondary[i] = o > 0 ? static_cast<float>(std::min(o, 255)) * kOffsetStep : 0.0f;
  }
}

}  // namespace

void VDP1Core::ComputeSpriteColours(SpriteQuad& quad, uint32_t commandAddress) const {
  const VDP1Command command(vram, commandAddress);
  const vdp1::DrawModeWord mode = command.DrawMode();
  quad.shadow = 0;
  quad.alpha = 1.0f;
  switch (mode.Calculation()) {
    case vdp1::kShadow:
      // A black silhouette of the texture at half alpha: no gouraud, no colour offset.
      quad.alpha = 0.5f;
      quad.shadow = 1;
      std::fill(quad.primary, quad.primary + 12, 0.0f);
      std::fill(quad.secondary, quad.secondary + 12, 0.0f);
      return;
    case vdp1::kHalfTransparency:
      quad.alpha = 0.5f;
      break;
    default:  // replace; half-luminance does not change a sprite
      break;
  }

  CornerOffsets offsets{};
  if (mode.Gouraud()) {
    // A gouraud component of 16 leaves the colour; 0 takes 128 away, 31 adds 120.
    for (int corner = vdp1::kA; corner <= vdp1::kD; ++corner) {
      const vdp1::Rgb5 g = vdp1::Rgb5::From(command.GouraudColour(corner));
      offsets.value[3 * corner + 0] = g.r * 8 - 128;
      offsets.value[3 * corner + 1] = g.g * 8 - 128;
      offsets.value[3 * corner + 2] = g.b * 8 - 128;
    }
  }
  // Sprite colour offset: CLOFEN bit 6 enables it, CLOFSL bit 6 picks set B over set A.
  if (vdp::Bit(vdp2->Reg(vdp2reg::CLOFEN), 6)) {
    const uint32_t first = vdp::Bit(vdp2->Reg(vdp2reg::CLOFSL), 6) ? vdp2reg::COBR : vdp2reg::COAR;
    for (int channel = 0; channel < 3; ++channel) {
      const int value = ColourOffsetValue(vdp2->Reg(first + 2 * channel));
      for (int corner = 0; corner < 4; ++corner) offsets.value[3 * corner + channel] += value;
    }
  }
  ConvertOffsets(offsets, quad);
}

namespace {

// The part of a sprite routine that is the same for the three kinds.
void DrawSprite(VDP1Core& core, SpriteKind kind, uint8_t disabled, uint8_t filtering) {
  if (disabled) return;
  const uint32_t address = uint32_t{core.currentCommand} * 8;
  const VDP1Command command(core.vram, address);

  SpriteTexture descriptor{};
  descriptor.dirty = 1;
  core.ReadTextureDescriptor(address, descriptor);
  // Colour modes 6 and 7 have no texture, and an empty texture shows nothing.
  if (descriptor.colourMode > vdp1::kRgb || descriptor.width == 0 || descriptor.height == 0) return;
  SpriteQuad quad{};
  core.GetSpriteTexture(descriptor, quad.texture, quad.uMax, quad.vMax);

  const vdp1::Placement placement{core.LocalCoordinateX, core.LocalCoordinateY, core.xMultiplier,
                                  core.yMultiplier};
  vdp1::Corners corners;
  switch (kind) {
    case SpriteKind::kNormal:
      corners = vdp1::NormalSpriteCorners(command, descriptor.width, descriptor.height, placement);
      break;
    case SpriteKind::kScaled: {
      if (!vdp1::ScaledSpriteCorners(command, placement, corners)) return;
      // Measured in VDP2 dots, after the multipliers.
      const int32_t limit = core.vdp2->displayWidth - kScreenClearMargin;
      if (corners.x[vdp1::kB] - corners.x[vdp1::kA] > limit &&
          corners.x[vdp1::kC] - corners.x[vdp1::kD] > limit) {
        core.display->RequestClearAfterSwap();
        return;
      }
      break;
    }
    case SpriteKind::kDistorted:
      corners = vdp1::FreeCorners(command, placement);
      break;
  }
  std::copy(corners.x, corners.x + 4, quad.x);
  std::copy(corners.y, corners.y + 4, quad.y);

  quad.filtering = filtering;
  const vdp1::ControlWord control = command.Control();
  quad.flipH = control.FlipH();
  quad.flipV = control.FlipV();
  core.ComputeSpriteColours(quad, address);
  // Mesh shows as uniform half transparency, whatever the colour calculation.
  if (command.DrawMode().Mesh()) quad.alpha = 0.5f;
  core.display->DrawTexturedQuad(quad);
}

}  // namespace

void VDP1Core::NormalSpriteDraw() {
  DrawSprite(*this, SpriteKind::kNormal, switches.disableNormalSprites,
             switches.normalSpritesFiltering);
}

void VDP1Core::ScaledSpriteDraw() {
  DrawSprite(*this, SpriteKind::kScaled, switches.disableScaledSprites,
             switches.scaledSpritesFiltering);
}

void VDP1Core::DistortedSpriteDraw() {
  DrawSprite(*this, SpriteKind::kDistorted, switches.disableDistortedSprites,
             switches.distortedSpritesFiltering);
}
