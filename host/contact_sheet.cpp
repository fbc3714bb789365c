#include "contact_sheet.h"

#include "png_writer.h"

namespace vdphost {

namespace {

constexpr int kGap = 4;         // dots between cells and around the sheet
constexpr int kDigitScale = 2;  // label glyphs are 3 x 5 dots, drawn this much larger
constexpr int kLabelHeight = 5 * kDigitScale + 4;
constexpr uint32_t kBackground = 0xFF202020u;  // RGBA bytes in memory order: dark grey
constexpr uint32_t kInk = 0xFFFFFFFFu;

// 3 x 5 glyphs, one row of three bits per entry, top row first, leftmost dot highest.
constexpr uint8_t kDigits[10][5] = {
    {7, 5, 5, 5, 7}, {2, 6, 2, 2, 7}, {7, 1, 7, 4, 7}, {7, 1, 7, 1, 7}, {5, 5, 7, 1, 1},
    {7, 4, 7, 1, 7}, {7, 4, 7, 5, 7}, {7, 1, 1, 1, 1}, {7, 5, 7, 5, 7}, {7, 5, 7, 1, 7},
};
struct Letter {
  char name;
  uint8_t rows[5];
};
constexpr Letter kLetters[] = {
    {'B', {6, 5, 6, 5, 6}}, {'D', {6, 5, 5, 5, 6}}, {'E', {7, 4, 6, 4, 7}}, {'G', {7, 4, 5, 5, 7}},
    {'L', {4, 4, 4, 4, 7}}, {'N', {6, 5, 5, 5, 5}}, {'O', {2, 5, 5, 5, 2}}, {'P', {6, 5, 6, 4, 4}},
    {'T', {7, 2, 2, 2, 2}}, {'Y', {5, 5, 2, 2, 2}}, {' ', {0, 0, 0, 0, 0}},
};

// The glyph of c; characters without one draw a blank.
const uint8_t* Glyph(char c) {
  if (c >= '0' && c <= '9') return kDigits[c - '0'];
  for (const Letter& letter : kLetters)
    if (letter.name == c) return letter.rows;
  return kLetters[sizeof kLetters / sizeof kLetters[0] - 1].rows;
}

// Average of a 2 x 2 block of RGBA texels, channel by channel.
uint32_t Average(uint32_t a, uint32_t b, uint32_t c, uint32_t d) {
  uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const uint32_t sum = ((a >> shift) & 0xFF) + ((b >> shift) & 0xFF) + ((c >> shift) & 0xFF) +
                         ((d >> shift) & 0xFF);
    out |= (sum / 4) << shift;
  }
  return out;
}

}  // namespace

void ContactSheet::Fill(int x, int y, int w, int h, uint32_t colour) {
  for (int row = y; row < y + h && row < sheetHeight_; ++row)
    for (int col = x; col < x + w && col < sheetWidth_; ++col)
      sheet_[static_cast<size_t>(row) * sheetWidth_ + col] = colour;
}

void ContactSheet::Text(int x, int y, const std::string& text) {
  for (size_t i = 0; i < text.size(); ++i, x += 4 * kDigitScale)
    for (int row = 0; row < 5; ++row)
      for (int col = 0; col < 3; ++col)
        if (Glyph(text[i])[row] >> (2 - col) & 1)
          Fill(x + col * kDigitScale, y + row * kDigitScale, kDigitScale, kDigitScale, kInk);
}

void ContactSheet::Add(int frame, const std::vector<uint32_t>& texels, int width, int height) {
  if (full() || width < 2 || height < 2 ||
      texels.size() < static_cast<size_t>(width) * static_cast<size_t>(height))
    return;
  if (count_ == 0) {
    thumbWidth_ = width / 2;
    thumbHeight_ = height / 2;
    titleHeight_ = title_.empty() ? 0 : kLabelHeight;
    sheetWidth_ = kGap + kColumns * (thumbWidth_ + kGap);
    sheetHeight_ = kGap + titleHeight_ + kRows * (thumbHeight_ + kLabelHeight + kGap);
    sheet_.assign(static_cast<size_t>(sheetWidth_) * sheetHeight_, kBackground);
    Text(kGap, kGap + 2, title_);
  }
  const int cellX = kGap + (count_ % kColumns) * (thumbWidth_ + kGap);
  const int cellY =
      kGap + titleHeight_ + (count_ / kColumns) * (thumbHeight_ + kLabelHeight + kGap);
  for (int y = 0; y < thumbHeight_; ++y) {
    const int sy = y * height / thumbHeight_;
    const int sy1 = sy + 1 < height ? sy + 1 : sy;
    for (int x = 0; x < thumbWidth_; ++x) {
      const int sx = x * width / thumbWidth_;
      const int sx1 = sx + 1 < width ? sx + 1 : sx;
      const auto at = [&](int px, int py) { return texels[static_cast<size_t>(py) * width + px]; };
      sheet_[static_cast<size_t>(cellY + y) * sheetWidth_ + cellX + x] =
          Average(at(sx, sy), at(sx1, sy), at(sx, sy1), at(sx1, sy1)) | 0xFF000000u;
    }
  }
  Text(cellX, cellY + thumbHeight_ + 2, std::to_string(frame));
  ++count_;
}

bool ContactSheet::Write(const std::string& path) const {
  return count_ > 0 && WritePng(path, sheet_.data(), sheetWidth_, sheetHeight_);
}

}  // namespace vdphost
