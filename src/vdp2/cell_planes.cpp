// VDP2 cell planes: NBG0-NBG3 as maps of pattern names pointing at 8x8-dot characters.
//
// A plane's map is four planes A, B, C, D in a 2x2 arrangement that repeats without end.
// Each plane has a texture of its whole size in the display (one per VRAM start
// address); the tile cache keeps the cells in view current inside it, and the plane is
// then drawn as one quad per plane-sized region that the screen window overlaps.
#include "display/opengl_display.h"
#include "platform/platform.h"
#include "vdp2/vdp2_core.h"

using vdp::SignExtend;

namespace {

constexpr uint32_t kIconHand = 0x10;

struct PlaneSize {
  int32_t width, height;
};
// By plane size code. Code 2 is not a hardware setting; it is treated as code 0 (one
// page), for the plane size here and for the plane addresses, so that it draws the map
// it would name as a single page instead of an undefined one.
constexpr PlaneSize kPlaneSizes[4] = {{512, 512}, {1024, 512}, {512, 512}, {1024, 1024}};

// VRAM bytes of an 8x8 cell by colour mode; 0 where the mode has no meaning.
constexpr uint32_t kBytesPerCell[8] = {32, 64, 128, 128, 256, 0, 0, 0};

// Position on the map, which repeats every `period` dots.
int32_t Wrap(int32_t v, int32_t period) {
  const int32_t m = v % period;
  return m < 0 ? m + period : m;
}

// Division rounding toward minus infinity.
int32_t FloorDiv(int32_t a, int32_t b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

// One axis of a plane-sized region on screen: where it starts and ends, and which part of
// the plane's texture it shows.
QuadSpan PlaceRegion(int32_t start, int32_t extent, int32_t scroll, int32_t windowEnd, float zoom,
                     int32_t screen) {
  const int32_t end = start + extent;
  QuadSpan a;
  if (start <= scroll) {
    a.screenStart = 0;
    a.texStart = static_cast<float>(scroll - start) / static_cast<float>(extent);
  } else {
    a.screenStart = static_cast<int32_t>(static_cast<float>(start - scroll) / zoom);
    a.texStart = 0.0f;
  }
  if (end >= windowEnd) {
    a.screenEnd = screen;
    a.texEnd = static_cast<float>(windowEnd - start) / static_cast<float>(extent);
  } else {
    a.screenEnd = static_cast<int32_t>(static_cast<float>(end - scroll) / zoom);
    a.texEnd = 1.0f;
  }
  return a;
}

}  // namespace

CellPlaneParams VDP2Core::ReadCellPlaneParams(PlaneId plane) const {
  using namespace vdp2field;
  CellPlaneParams p{};
  if (plane > NBG3) return p;  // only NBG0-NBG3 have cell maps here
  p.ramMode = static_cast<uint16_t>(RamMode());
  p.cramOffset = Field(kCramOffset, plane) << (p.ramMode == 2 ? 10 : 9);
  p.zeroDotOpaque = static_cast<uint8_t>(Field(kZeroDotOpaque, plane));
  p.colourMode = static_cast<uint8_t>(Field(kColourMode, plane));
  p.characterSize = Field(kCharacterSize, plane);
  p.patternsPerPageSide = (2 - p.characterSize) * 32;
  p.patternsPerPage = p.patternsPerPageSide * p.patternsPerPageSide;
  p.patternNameSize = Field(kPatternNameSize, plane);
  p.characterNumberMode = Field(kCharacterNumberMode, plane);
  p.supplementaryPalette = Field(kSupplementaryPalette, plane);
  p.supplementaryCharacter = Field(kSupplementaryCharacter, plane);
  p.bytesPerCell = kBytesPerCell[p.colourMode & 7];
  p.planeSizeCode = Field(kPlaneSize, plane);
  p.planeWidth = kPlaneSizes[p.planeSizeCode].width;
  p.planeHeight = kPlaneSizes[p.planeSizeCode].height;
  p.mapOffset = Field(kMapOffset, plane);
  for (int k = 0; k < 4; ++k) p.planeAddress[k] = Field(kMapRegister[plane][k]);
  p.scrollX = SignExtend(Field(kScrollX, plane), 11);
  p.scrollY = SignExtend(Field(kScrollY, plane), 11);
  if (plane == NBG0 || plane == NBG1) {
    p.zoomX = static_cast<float>(Field(kZoomXInteger, plane)) +
              static_cast<float>(Field(kZoomXFraction, plane)) * 0.00390625f;
    p.zoomY = static_cast<float>(Field(kZoomYInteger, plane)) +
              static_cast<float>(Field(kZoomYFraction, plane)) * 0.00390625f;
  } else {
    p.zoomX = p.zoomY = 1.0f;  // NBG2 and NBG3 do not zoom
  }
  return p;
}

void VDP2Core::ComputePlaneAddresses(CellPlaneParams& params) {
  // Page size by pattern name size and character size: the map value counts pages.
  uint32_t shift, mask;
  if (params.patternNameSize != 0) {
    shift = params.characterSize != 0 ? 11 : 13;  // 2 KB or 8 KB pages
    mask = params.characterSize != 0 ? 255 : 63;
  } else {
    shift = params.characterSize != 0 ? 12 : 14;  // 4 KB or 16 KB pages
    mask = params.characterSize != 0 ? 127 : 31;
  }
  const uint32_t o = params.mapOffset << 6;
  for (uint32_t& slot : params.planeAddress) {
    const uint32_t m = slot & 0x3F;
    const uint32_t p = m | o;
    uint32_t address;
    switch (params.planeSizeCode) {
      case 1: {  // 2x1 pages: an odd map value moves the plane two pages on
        const uint32_t q = p & mask & ~1u;
        const uint32_t a = (q + (m & 1) * 2) << shift;
        address = a < vdp::kVramBytes ? a : q << shift;
        break;
      }
      case 3: {  // 2x2 pages: bit 1 of the map value moves the plane eight pages on
        const uint32_t q = p & mask & ~3u;
        const uint32_t a = (q + (m & 2) * 4) << shift;
        address = a < vdp::kVramBytes ? a : q << shift;
        break;
      }
      default:  // 1x1 page, and code 2 taken as 1x1
        address = (p & mask) << shift;
        break;
    }
    slot = address % vdp::kVramBytes;
  }
}

PatternName VDP2Core::DecodePatternNameWord(uint16_t word, uint32_t supplementaryCharacter,
                                            uint32_t supplementaryPalette, uint32_t characterSize,
                                            uint32_t colourMode, uint32_t characterNumberMode) {
  PatternName n{};
  if (characterNumberMode == 0) {
    n.hFlip = static_cast<uint8_t>(vdp::Bit(word, 10));
    n.vFlip = static_cast<uint8_t>(vdp::Bit(word, 11));
  }
  // 16 colours: the word gives palette bits 3-0, the supplementary field bits 6-4; other
  // modes take bits 6-4 from the word.
  n.palette = colourMode == 0 ? (word >> 12) | (supplementaryPalette << 4) : (word >> 12) & 7;
  const uint32_t spcn = supplementaryCharacter;
  uint32_t number;
  if (characterSize == 0) {
    number = characterNumberMode == 0 ? (spcn << 10) | (word & 0x3FFu)
                                      : ((spcn & 0x1C) << 10) | (word & 0xFFFu);
  } else {
    // 2x2 characters: the low two bits of the number come from the supplementary field.
    const uint32_t high = characterNumberMode == 0 ? ((spcn & 0x1C) << 8) | (word & 0x3FFu)
                                                   : ((spcn & 0x10) << 8) | (word & 0xFFFu);
    number = (high << 2) | (spcn & 3);
  }
  n.characterAddress = number * 32;
  return n;
}

PatternName VDP2Core::DecodePatternNameLong(uint32_t data, uint32_t colourMode) {
  PatternName n{};
  n.hFlip = static_cast<uint8_t>(vdp::Bit(data, 30));
  n.vFlip = static_cast<uint8_t>(vdp::Bit(data, 31));
  n.palette = vdp::Bits(data, 22, 16);
  if (colourMode != 0) n.palette >>= 4;
  n.characterAddress = (data & 0x3FFFu) * 32;
  return n;
}

void VDP2Core::DisplayNBG0CellMode() { DisplayCellMode(NBG0); }
void VDP2Core::DisplayNBG1CellMode() { DisplayCellMode(NBG1); }
void VDP2Core::DisplayNBG2CellMode() { DisplayCellMode(NBG2); }
void VDP2Core::DisplayNBG3CellMode() { DisplayCellMode(NBG3); }

void VDP2Core::DisplayCellMode(PlaneId plane) {
  if (display == nullptr) return;
  CellPlaneParams params = ReadCellPlaneParams(plane);
  // Only NBG0's colour field has room for codes 5-7.
  if (params.colourMode > 4)
    platform::ShowMessageBox("Unknown NBG0 color mode", "VDP plugin warning", kIconHand);
  ComputePlaneAddresses(params);
  for (const uint32_t address : params.planeAddress)
    display->PreparePlaneTexture(address, params.planeWidth, params.planeHeight);
  PlaneQuad colour{};
  PlaneColour(plane, colour);
  DrawCellPlane(plane, params, colour);
}

void VDP2Core::DrawCellPlane(PlaneId plane, const CellPlaneParams& params,
                             const PlaneQuad& colour) {
  const int32_t cs = static_cast<int32_t>(params.characterSize) * 8 + 8;  // character dots
  const int32_t w = params.planeWidth, h = params.planeHeight;
  if (w <= 0 || h <= 0 || (w & (w - 1)) != 0 || (h & (h - 1)) != 0) return;  // no plane
  const int32_t side = static_cast<int32_t>(params.patternsPerPageSide);
  const int32_t scrollX = params.scrollX, scrollY = params.scrollY;
  // The screen window in plane dots.
  const int32_t endX =
      scrollX + static_cast<int32_t>(static_cast<float>(displayWidth) * params.zoomX);
  const int32_t endY =
      scrollY + static_cast<int32_t>(static_cast<float>(displayHeight) * params.zoomY);
  auto slotOf = [w, h](int32_t mx, int32_t my) {
    return static_cast<MapSlot>((mx >= w ? 1 : 0) + (my >= h ? 2 : 0));
  };

  // Pass 1: bring every pattern the window touches up to date in its plane's texture.
  for (int32_t y = scrollY; y < endY + cs; y += cs) {
    const int32_t my = Wrap(y, 2 * h);
    const int32_t py = my & (h - 1);
    const int32_t row = py / cs;
    for (int32_t x = scrollX; x < endX + cs; x += cs) {
      const int32_t mx = Wrap(x, 2 * w);
      const MapSlot slot = slotOf(mx, my);
      const uint32_t planeAddress = params.planeAddress[slot];
      const int32_t px = mx & (w - 1);
      const int32_t col = px / cs;
      // Pages left to right, top to bottom inside the plane, each page row-major.
      const int32_t page = (col >= side ? 1 : 0) + (row >= side ? 2 : 0);
      const uint32_t index = static_cast<uint32_t>(page) * params.patternsPerPage +
                             static_cast<uint32_t>((row % side) * side + (col % side));
      uint32_t raw;
      PatternName name;
      if (params.patternNameSize != 0) {
        const uint16_t word = vram.ReadWord(planeAddress + 2 * index);
        raw = word;
        name = DecodePatternNameWord(word, params.supplementaryCharacter,
                                     params.supplementaryPalette, params.characterSize,
                                     params.colourMode, params.characterNumberMode);
      } else {
        raw = vram.ReadLong(planeAddress + 4 * index);
        name = DecodePatternNameLong(raw, params.colourMode);
      }
      RefreshPatternPosition(plane, slot, index, raw, name, planeAddress, w, h, px & ~(cs - 1),
                             py & ~(cs - 1), params);
    }
  }

  // Pass 2: one quad per plane-sized region of the repeated map inside the window.
  for (int32_t y = scrollY; y < endY;) {
    const int32_t my = Wrap(y, 2 * h);
    const int32_t top = FloorDiv(y, h) * h;
    const QuadSpan v = PlaceRegion(top, h, scrollY, endY, params.zoomY, displayHeight);
    for (int32_t x = scrollX; x < endX;) {
      const int32_t mx = Wrap(x, 2 * w);
      const int32_t left = FloorDiv(x, w) * w;
      const QuadSpan u = PlaceRegion(left, w, scrollX, endX, params.zoomX, displayWidth);
      PlaneQuad quad = colour;
      PlaceQuad(quad, u, v);
      quad.filter = switches.planeFiltering[plane];
      display->DrawPlaneTextureQuad(params.planeAddress[slotOf(mx, my)], quad);
      x = left + w + 1;
    }
    y = top + h + 1;
  }
}
