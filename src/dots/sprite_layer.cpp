// Sprite data: frame-buffer dot to screen dot, sprite types 0-F, palette or RGB, shadow
// codes, priority and colour RAM offset.
#include "dots/sprite_layer.h"

#include <cstring>

#include "common/rgb555.h"

namespace dots {
namespace {

// Where a sprite type keeps its fields: PR (priority register select), CC (ratio register
// select) and the dot colour DC, as value = (data >> shift) & mask. Types 0-7 are 16-bit
// data, types 8-F 8-bit; in types C-F the PR/CC bits are also the top bits of DC.
struct SpriteType {
  uint8_t prShift, prMask, ccShift, ccMask;
  uint16_t dcMask;
};
constexpr SpriteType kSpriteTypes[16] = {
    {14, 3, 11, 7, 0x7FF}, {13, 7, 11, 3, 0x7FF}, {14, 1, 11, 7, 0x7FF}, {13, 3, 11, 3, 0x7FF},
    {13, 3, 10, 7, 0x3FF}, {12, 7, 11, 1, 0x7FF}, {12, 7, 10, 3, 0x3FF}, {12, 7, 9, 7, 0x1FF},
    {7, 1, 0, 0, 0x7F},    {7, 1, 6, 1, 0x3F},    {6, 3, 0, 0, 0x3F},    {0, 0, 6, 3, 0x3F},
    {7, 1, 0, 0, 0xFF},    {7, 1, 6, 1, 0xFF},    {6, 3, 0, 0, 0xFF},    {0, 0, 6, 3, 0xFF}};

struct SpriteLine {
  SpriteType type;
  uint32_t dataMask;       // 8-bit types read the low byte of 16-bit data
  bool mixed;              // SPCLMD: data with the MSB set is RGB
  bool window;             // SPWINEN on a type with an MSB: the MSB is the sprite-window bit
  bool msbShadow;          // types 2-7 without the window: the MSB marks shadow
  bool transparentShadow;  // SDCTL TPSDSL: the MSB-only code casts shadow
  uint32_t cramOffset;
  uint8_t priority[8];  // PRISA-PRISD by PR value
  const ColourRam* cram;

  LayerDot Make(uint32_t data) const {
    data &= dataMask;
    if (data == 0) return LayerDot{0, 0, 0, 0};  // all-zero data is transparent
    if (mixed && (data & 0x8000)) {
      // RGB dots have PR = CC = 0.
      return LayerDot{vdp::Rgb555ToTexel(data), priority[0], kDotRgb, 0};
    }
    uint8_t flags = 0;
    if (window && (data & 0x8000)) {
      flags = kDotSpriteWindow;
      data &= 0x7FFF;
      if (data == 0) return LayerDot{0, 0, flags, 0};  // in the window, no sprite dot
    }
    const uint32_t dc = data & type.dcMask;
    const uint16_t cc = static_cast<uint16_t>((data >> type.ccShift) & type.ccMask);
    const uint8_t p = priority[(data >> type.prShift) & type.prMask];
    // The normal shadow code (DC all ones but its LSB) wins over the MSB codes; a shadow
    // that only darkens what is below takes part in priority but shows no colour.
    if (dc == (type.dcMask & ~1u)) return LayerDot{0, p, uint8_t(flags | kDotShadeBelow), cc};
    if (msbShadow && (data & 0x8000)) {
      if ((data & 0x7FFF) == 0) {
        // Transparent shadow; without TPSDSL a plain transparent dot.
        return transparentShadow ? LayerDot{0, p, kDotShadeBelow, cc} : LayerDot{0, 0, 0, 0};
      }
      flags |= kDotShadeSelf;
    }
    bool msb;
    const uint32_t texel = cram->Texel((dc + cramOffset) & 0x7FF, msb);
    flags |= msb ? kDotCramMsb : 0;
    return LayerDot{texel, p, flags, cc};
  }
};

// The layer dot of the frame-buffer word in hand. Make is the same for the same data on a
// line: runs of one word (the clear word 0 above all) are made once.
class SpriteRun {
 public:
  explicit SpriteRun(const SpriteLine& s) : s_(s) { dots_[0] = dots_[1] = s.Make(0); }
  const LayerDot& Of(uint32_t data) {
    if (data != data_) {
      data_ = data;
      dots_[0] = dots_[1] = s_.Make(data);
      priorities_ |= dots_[0].priority;
    }
    return dots_[0];
  }
  uint32_t Data() const { return data_; }
  const LayerDot* Two() const { return dots_; }  // the dot twice, for two-dot copies
  bool AnyPriority() const { return priorities_ != 0; }

 private:
  const SpriteLine& s_;
  uint32_t data_ = 0, priorities_ = 0;
  LayerDot dots_[2];
};

// VDP1 frame-buffer forms (TVMR bits 2-0): 1 high resolution, 8-bit dots, 1,024 a row;
// 3 rotation 8, 8-bit dots, 512 a row; the others 16-bit dots, 512 a row.
// True when some dot has a priority.
template <bool kEightBit>
bool FillLine(const SpriteLine& s, const FrameBufferMemory& fb, uint32_t rowAddress,
              uint32_t rowMask, uint32_t xShift, int width, LayerDot* line) {
  SpriteRun run(s);
  for (int x = 0; x < width; ++x) {
    const uint32_t fx = (static_cast<uint32_t>(x) >> xShift) & rowMask;
    line[x] = run.Of(kEightBit ? fb.ReadByte(rowAddress + fx) : fb.ReadWord(rowAddress + fx * 2));
  }
  return run.AnyPriority();
}

// FillLine for 16-bit dots one to a screen dot, the row within the buffer: four dots (one
// host 64-bit word, console words swapped in pairs) compared at a time with the run's data.
bool FillWordLine(const SpriteLine& s, const FrameBufferMemory& fb, uint32_t rowAddress, int width,
                  LayerDot* line) {
  SpriteRun run(s);
  uint64_t runFour = 0;  // the run's data in each of four words
  const uint8_t* row = fb.Bytes() + rowAddress;
  int x = 0;
  for (; x + 4 <= width; x += 4) {
    uint64_t four;
    std::memcpy(&four, row + 2 * x, sizeof(four));
    if (four != runFour) {
      // Console word x + k is host half-word (x + k) ^ 1.
      for (int k = 0; k < 4; ++k) line[x + k] = run.Of((four >> (16 * (k ^ 1))) & 0xFFFF);
      runFour = run.Data() * 0x0001000100010001ull;
      continue;
    }
    std::memcpy(line + x, run.Two(), 2 * sizeof(LayerDot));
    std::memcpy(line + x + 2, run.Two(), 2 * sizeof(LayerDot));
  }
  for (; x < width; ++x) line[x] = run.Of(fb.ReadWord(rowAddress + 2 * static_cast<uint32_t>(x)));
  return run.AnyPriority();
}

// Whether the bytes [address, address + bytes) of a row are all 0 (address 32-aligned):
// most rows of most frames hold no sprite. Read 32 bytes at a time in any byte order; a
// few bytes read past the end can only make a clear row draw dot by dot, as exactly.
bool RowIsClear(const FrameBufferMemory& fb, uint32_t address, uint32_t bytes) {
  bytes = (bytes + 31) & ~31u;
  if (address + bytes > FrameBufferMemory::kBytes) {
    uint32_t any = 0;
    for (uint32_t a = address; a < address + bytes; a += 4) any |= fb.ReadLong(a);
    return any == 0;
  }
  const uint8_t* row = fb.Bytes() + address;
  uint64_t any = 0;
  for (uint32_t i = 0; i < bytes; i += 32) {
    uint64_t a, b, c, d;
    std::memcpy(&a, row + i, 8);
    std::memcpy(&b, row + i + 8, 8);
    std::memcpy(&c, row + i + 16, 8);
    std::memcpy(&d, row + i + 24, 8);
    any |= (a | b) | (c | d);
  }
  return any == 0;
}

}  // namespace

bool DrawSpriteLine(int y, const DisplayMode& mode, RegisterView regs, const ColourRam& cram,
                    uint32_t tvmr, const FrameBufferMemory& frameBuffer, LayerDot* line) {
  const uint32_t spctl = regs[reg::SPCTL];
  const uint32_t typeCode = vdp::Bits(spctl, 3, 0);
  SpriteLine s{kSpriteTypes[typeCode],
               typeCode >= 8 ? 0xFFu : 0xFFFFu,
               false,
               false,
               false,
               false,
               0,
               {},
               &cram};
  const bool hasMsb = typeCode >= 2 && typeCode <= 7;
  s.mixed = vdp::Bit(spctl, 5);
  s.window = hasMsb && !s.mixed && vdp::Bit(spctl, 4);
  s.msbShadow = hasMsb && !s.mixed && !s.window;
  s.transparentShadow = regs.Field(reg::SDCTL, 8, 8);
  s.cramOffset = regs.Field(reg::CRAOFB, 6, 4) << 8;
  for (uint32_t pr = 0; pr < 8; ++pr) {
    s.priority[pr] = static_cast<uint8_t>(
        regs.Field(reg::PRISA + (pr >> 1) * 2, (pr & 1) * 8 + 2, (pr & 1) * 8));
  }
  const uint32_t form = vdp::Bits(tvmr, 2, 0);
  const bool eightBit = form == 1 || form == 3;
  const uint32_t dotsPerRow = form == 1 ? 1024 : 512;
  // Pictures taller than 256 lines (double density, exclusive monitor) show one buffer
  // row on two lines (VDP1 draws one field's lines); a 512-dot row under a 640/704-dot
  // display shows each dot twice.
  const uint32_t row = static_cast<uint32_t>(mode.height > 256 ? y >> 1 : y);
  const uint32_t xShift = mode.hiRes && dotsPerRow == 512 ? 1 : 0;
  const uint32_t rowAddress = row * (form == 3 ? 512 : 1024);
  // All-zero data is transparent whatever the sprite type.
  const uint32_t shownDots = (static_cast<uint32_t>(mode.width) + xShift) >> xShift;
  const uint32_t usedDots = shownDots < dotsPerRow ? shownDots : dotsPerRow;
  if (RowIsClear(frameBuffer, rowAddress, usedDots << (eightBit ? 0 : 1))) {
    ClearDots(line, mode.width);  // windows still read the line
    return false;
  }
  if (eightBit) {
    return FillLine<true>(s, frameBuffer, rowAddress, dotsPerRow - 1, xShift, mode.width, line);
  }
  if (xShift == 0 && rowAddress + 2 * usedDots <= FrameBufferMemory::kBytes &&
      mode.width <= static_cast<int>(dotsPerRow)) {
    return FillWordLine(s, frameBuffer, rowAddress, mode.width, line);
  }
  return FillLine<false>(s, frameBuffer, rowAddress, dotsPerRow - 1, xShift, mode.width, line);
}

}  // namespace dots
