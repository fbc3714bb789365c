// VDP2 bitmap planes: NBG0, NBG1 and RBG0 showing an image stored dot by dot in VRAM.
//
// Each plane keeps one texture of the whole bitmap in the display. It is loaded whole
// after start, Reset and "Clear VDP2 cache"; on other frames only the part in view is
// decoded again, and NBG1 and RBG0 skip even that while no VRAM bank under them changed.
#include <algorithm>

#include "display/opengl_display.h"
#include "platform/platform.h"
#include "vdp2/vdp2_core.h"

using vdp::SignExtend;

namespace {

constexpr uint32_t kIconHand = 0x10;
// 1/255 as the single-precision constant the colour offsets are scaled by.
constexpr float kOffsetStep = 0.003921569f;
constexpr uint32_t kBitmapBaseStep = 0x20000;  // map offset unit of a bitmap
constexpr uint32_t kBankBytes = 0x10000;
constexpr uint32_t kBankCount = 8;

struct BitmapSize {
  int32_t width, height;
};
constexpr BitmapSize kNbgBitmapSizes[4] = {{512, 256}, {512, 512}, {1024, 256}, {1024, 512}};
constexpr BitmapSize kRbgBitmapSizes[2] = {{512, 256}, {512, 512}};

// VRAM bytes of a bitmap; 0 for a colour mode without meaning.
uint32_t BitmapBytes(uint32_t colourMode, int32_t width, int32_t height) {
  const uint32_t dots = static_cast<uint32_t>(width) * static_cast<uint32_t>(height);
  switch (colourMode) {
    case 0:
      return dots / 2;
    case 1:
      return dots;
    case 2:
    case 3:
      return dots * 2;
    case 4:
      return dots * 4;
    default:
      return 0;
  }
}

// The 64 KB banks a bitmap of that size is taken to cover.
uint32_t BanksCovered(uint32_t bytes) {
  if (bytes <= kBankBytes) return 1;
  if (bytes <= 2 * kBankBytes) return 2;
  if (bytes <= 4 * kBankBytes) return 4;
  return 8;
}

// One axis of the window onto a bitmap: where the bitmap lands on screen, which part of
// the texture shows, and the first bitmap dot in view.
struct AxisPlacement : QuadSpan {
  int32_t source;
};

// lo and hi are the window's ends in bitmap dots; extent the bitmap's size; screen the
// picture's size on that axis.
AxisPlacement PlaceAxis(int32_t lo, int32_t hi, int32_t extent, int32_t screen) {
  AxisPlacement a;
  if (lo < 0) {
    a.screenStart = -lo;
    a.texStart = 0.0f;
    a.source = 0;
  } else {
    a.screenStart = 0;
    a.texStart = static_cast<float>(lo) / static_cast<float>(extent);
    a.source = lo;
  }
  if (hi > extent) {
    a.screenEnd = extent - lo;
    a.texEnd = 1.0f;
  } else {
    a.screenEnd = screen;
    a.texEnd = static_cast<float>(hi) / static_cast<float>(extent);
  }
  return a;
}

}  // namespace

void VDP2Core::PlaceQuad(PlaneQuad& quad, const QuadSpan& h, const QuadSpan& v) const {
  quad.x0 = h.screenStart * horizontalMultiplier;
  quad.x1 = h.screenEnd * horizontalMultiplier;
  quad.y0 = v.screenStart * verticalMultiplier;
  quad.y1 = v.screenEnd * verticalMultiplier;
  quad.s0 = h.texStart;
  quad.s1 = h.texEnd;
  quad.t0 = v.texStart;
  quad.t1 = v.texEnd;
}

void VDP2Core::PlaneColour(PlaneId plane, PlaneQuad& quad) const {
  // The colour calculation ratio always applies (CCCTL is not consulted).
  quad.alpha = static_cast<float>(1.0 - Field(vdp2field::kColourRatio, plane) * 0.03125);
  float* const mul[3] = {&quad.mulR, &quad.mulG, &quad.mulB};
  float* const add[3] = {&quad.addR, &quad.addG, &quad.addB};
  const bool enabled = Field(vdp2field::kOffsetEnable, plane) != 0;
  const uint32_t first =
      Field(vdp2field::kOffsetSelect, plane) != 0 ? vdp2reg::COBR : vdp2reg::COAR;
  for (int c = 0; c < 3; ++c) {
    *mul[c] = 1.0f;
    *add[c] = 0.0f;
    if (!enabled) continue;
    // 9-bit signed offset: a negative one darkens by multiplication, a positive one is
    // added as the secondary colour.
    const uint32_t w = Reg(first + 2 * c) & 0x1FF;
    if (w & 0x100)
      *mul[c] = 1.0f - static_cast<float>(~w & 0xFF) * kOffsetStep;
    else
      *add[c] = static_cast<float>(w & 0xFF) * kOffsetStep;
  }
}

void VDP2Core::DrawBitmapNBG0() { DrawBitmapPlane(NBG0); }
void VDP2Core::DrawBitmapNBG1() { DrawBitmapPlane(NBG1); }
void VDP2Core::DrawBitmapRBG0() { DrawBitmapPlane(RBG0); }

void VDP2Core::DrawBitmapPlane(PlaneId plane) {
  if (display == nullptr) return;
  const uint32_t colourMode = Field(vdp2field::kColourMode, plane);
  const uint32_t ramMode = RamMode();
  const int32_t cramWordOffset =
      static_cast<int32_t>(Field(vdp2field::kCramOffset, plane) * (ramMode == 2 ? 512 : 256));
  const uint8_t opaqueZero = static_cast<uint8_t>(Field(vdp2field::kZeroDotOpaque, plane));
  const uint32_t palette = Field(vdp2field::kBitmapPalette, plane);
  if (plane == NBG0 && colourMode > 4)
    platform::ShowMessageBox("Unknown NBG0 color mode", "VDP plugin warning", kIconHand);

  const BitmapSize size = plane == RBG0 ? kRbgBitmapSizes[Field(vdp2field::kBitmapSize, plane)]
                                        : kNbgBitmapSizes[Field(vdp2field::kBitmapSize, plane)];
  const int32_t width = size.width, height = size.height;
  const uint32_t mapOffset =
      plane == RBG0 ? RotationMapOffset() : Field(vdp2field::kMapOffset, plane);
  const uint32_t base = mapOffset * kBitmapBaseStep;
  const uint32_t bytes = BitmapBytes(colourMode, width, height);

  PlaneQuad quad{};
  PlaneColour(plane, quad);
  quad.filter = switches.planeFiltering[plane];
  // The part of the bitmap to decode again when the texture is only brought up to date.
  int32_t regionX, regionY, regionW, regionH;
  if (plane == RBG0) {
    // Rotation parameters are not evaluated: the window is the bitmap's top-left corner.
    const int32_t qw = displayWidth <= 512 ? displayWidth : 512;
    const int32_t qh = displayHeight <= height ? displayHeight : height;
    const float s1 = displayWidth <= 512 ? static_cast<float>(displayWidth * 0.001953125) : 1.0f;
    const float t1 = displayHeight <= height
                         ? static_cast<float>(displayHeight) / static_cast<float>(height)
                         : 1.0f;
    PlaceQuad(quad, {0, qw, 0.0f, s1}, {0, qh, 0.0f, t1});
    regionX = regionY = 0;
    regionW = qw;
    regionH = qh;
  } else {
    // The window in bitmap dots; the fractional scroll is not used.
    const int32_t sx = SignExtend(Field(vdp2field::kScrollX, plane), 11);
    const int32_t sy = SignExtend(Field(vdp2field::kScrollY, plane), 11);
    const double zx =
        Field(vdp2field::kZoomXInteger, plane) + Field(vdp2field::kZoomXFraction, plane) / 256.0;
    const double zy =
        Field(vdp2field::kZoomYInteger, plane) + Field(vdp2field::kZoomYFraction, plane) / 256.0;
    const int32_t x0 = static_cast<int32_t>(sx * zx);
    const int32_t x1 = static_cast<int32_t>((displayWidth + sx) * zx);
    const int32_t y0 = static_cast<int32_t>(sy * zy);
    const int32_t y1 = static_cast<int32_t>((displayHeight + sy) * zy);
    if (x0 > width || x1 < 0 || y0 > height || y1 < 0) return;  // off the bitmap
    const AxisPlacement h = PlaceAxis(x0, x1, width, displayWidth);
    const AxisPlacement v = PlaceAxis(y0, y1, height, displayHeight);
    PlaceQuad(quad, h, v);
    regionX = h.source;
    regionY = v.source;
    regionW = std::min(x1, width) - h.source;
    regionH = std::min(y1, height) - v.source;
  }

  // VRAM banks under the bitmap: NBG0 refreshes every frame, the others only when a bank
  // changed. The flags are shared, so a plane drawn earlier in the frame over the same
  // banks takes the change for itself.
  const uint32_t firstBank = base / kBankBytes;
  const uint32_t lastBank = std::min(firstBank + BanksCovered(bytes), kBankCount);
  bool bankChanged = false;
  for (uint32_t b = firstBank; b < lastBank; ++b) {
    bankChanged |= vramBankChanged[b] != 0;
    vramBankChanged[b] = 0;
  }
  const int slot = plane;
  // A texture of another size (or none) is loaded whole as well.
  const bool fullUpload = planeNeedsFullUpload[plane] != 0 ||
                          display->planeTextureWidth[slot] != width ||
                          display->planeTextureHeight[slot] != height;
  // Nothing decodes in a colour mode without meaning: the plane is left undrawn.
  if (colourMode > 4) return;
  if (fullUpload) {
    DecodeDotRun(base, colourMode, opaqueZero, static_cast<int32_t>(bytes), 2 * cramWordOffset,
                 ramMode, palette, bitmapTexels);
    display->UploadPlaneTexture(slot, bitmapTexels, width, height);
    planeNeedsFullUpload[plane] = 0;
  } else if ((plane == NBG0 || bankChanged) && regionW > 0 && regionH > 0) {
    DecodeDotRect(base, colourMode, opaqueZero, width, height, regionX, regionY, regionW, regionH,
                  cramWordOffset, ramMode, palette, bitmapTexels);
    display->UpdatePlaneTextureRect(slot, bitmapTexels, regionW, regionH, regionX, regionY);
  }
  display->DrawBitmapPlaneQuad(slot, quad);
}
