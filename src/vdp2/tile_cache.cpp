// VDP2 tile cache: decoded 8x8 cells kept per 32-byte VRAM block, and a record per
// pattern position of what was last uploaded there, so that an unchanged cell is neither
// decoded nor sent to the GPU again.
//
// Every stamp is a frame number compared as a signed 32-bit value: "all ones" (never)
// counts as -1, older than any frame, also after Reset has set the counter back to 0.
#include <cstring>

#include "display/opengl_display.h"
#include "vdp2/vdp2_core.h"

namespace {

constexpr uint32_t kCramMask = 0x7FF;
constexpr uint32_t kPatternsPerSlot = 16384;
constexpr uint32_t kPatternCacheSize = 262144;

int32_t Signed(uint32_t stamp) { return static_cast<int32_t>(stamp); }

}  // namespace

const PaletteChangeRecord& VDP2Core::PaletteRecordFor(const CellPlaneParams& params,
                                                      uint32_t palette) const {
  const uint32_t off = params.cramOffset >> 1;
  const bool wide = params.ramMode == 2;  // two words per colour
  switch (params.colourMode) {
    case 0:
      return paletteBlockChange[((off + palette * (wide ? 8u : 16u)) & kCramMask) / 16];
    case 1:
      return paletteBankChange[((off + palette * (wide ? 128u : 256u)) & kCramMask) / 256];
    case 2:  // 2048 colours may use all of colour RAM
      return cramChange;
    default:  // RGB dots do not use colour RAM
      return directColourChange;
  }
}

void VDP2Core::RefreshPatternPosition(PlaneId plane, MapSlot slot, uint32_t patternIndex,
                                      uint32_t rawData, const PatternName& name,
                                      uint32_t planeAddress, int32_t planeWidth,
                                      int32_t planeHeight, int32_t cx, int32_t cy,
                                      const CellPlaneParams& params) {
  const uint32_t cellCount = params.characterSize != 0 ? 4 : 1;
  const PaletteChangeRecord& record = PaletteRecordFor(params, name.palette);
  TileCacheEntry* cells[4];
  int32_t stampBefore[4];
  for (uint32_t k = 0; k < cellCount; ++k) {
    const uint32_t address = (name.characterAddress + k * params.bytesPerCell) & vdp::kVramMask;
    cells[k] = &tileCache[address >> 5];
    stampBefore[k] = Signed(cells[k]->stamp);
  }

  bool decodedNow = false;
  for (uint32_t k = 0; k < cellCount; ++k) {
    TileCacheEntry& e = *cells[k];
    const bool valid = e.dirty == 0 && e.palette == name.palette && record.changed == 0 &&
                       Signed(e.stamp) >= Signed(record.stamp);
    if (valid) continue;
    if (params.colourMode > 4) {
      // No dot format: such cells are shown transparent.
      std::memset(e.texels, 0, sizeof(e.texels));
    } else {
      const uint32_t address = (name.characterAddress + k * params.bytesPerCell) & vdp::kVramMask;
      DecodeDotRun(address, params.colourMode, params.zeroDotOpaque,
                   static_cast<int32_t>(params.bytesPerCell),
                   static_cast<int32_t>(params.cramOffset), params.ramMode, name.palette, e.texels);
    }
    e.dirty = 0;
    e.stamp = frameCounter;
    e.palette = name.palette;
    decodedNow = true;
  }

  PatternUploadRecord& r =
      patternCache[((plane * 4u + slot) * kPatternsPerSlot + patternIndex) % kPatternCacheSize];
  const int32_t uploadStamp = Signed(r.uploadStamp);
  bool uploadCell[4] = {false, false, false, false};
  if (r.data != rawData || decodedNow) {
    r.data = rawData;
    r.uploadStamp = frameCounter;
    for (uint32_t k = 0; k < cellCount; ++k) uploadCell[k] = true;
  } else {
    // Same data and cells: only cells decoded (at another position) since the last
    // upload here go up; an unchanged position costs no GL call.
    bool newer = false;
    for (uint32_t k = 0; k < cellCount; ++k) {
      uploadCell[k] = stampBefore[k] > uploadStamp;
      newer |= uploadCell[k];
    }
    if (newer) r.uploadStamp = frameCounter;
  }
  r.nextVisit = frameCounter + 1;

  if (display == nullptr) return;
  for (uint32_t k = 0; k < cellCount; ++k) {
    if (!uploadCell[k]) continue;
    // Cells of a 2x2 character: 0 upper left, 1 upper right, 2 lower left, 3 lower right;
    // a flip mirrors each cell and swaps their places.
    int32_t dx = cellCount == 4 ? static_cast<int32_t>(k & 1) * 8 : 0;
    int32_t dy = cellCount == 4 ? static_cast<int32_t>(k >> 1) * 8 : 0;
    if (cellCount == 4 && name.hFlip) dx = 8 - dx;
    if (cellCount == 4 && name.vFlip) dy = 8 - dy;
    const uint32_t* texels = cells[k]->texels;
    if (name.hFlip || name.vFlip) {
      MirrorTile(name.hFlip, name.vFlip, texels, mirroredCell);
      texels = mirroredCell;
    }
    display->UploadPlaneCell(planeAddress, planeWidth, planeHeight, cx + dx, cy + dy, texels);
  }
}

void VDP2Core::MirrorTile(uint8_t hFlip, uint8_t vFlip, const uint32_t* src, uint32_t* dst) {
  if (hFlip && vFlip) {
    for (int i = 0; i < 64; ++i) dst[i] = src[63 - i];
  } else if (hFlip) {
    for (int r = 0; r < 8; ++r)
      for (int c = 0; c < 8; ++c) dst[r * 8 + c] = src[r * 8 + 7 - c];
  } else if (vFlip) {
    for (int r = 0; r < 8; ++r) std::memcpy(dst + r * 8, src + (7 - r) * 8, 8 * sizeof(uint32_t));
  }
}
