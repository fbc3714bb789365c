// A contact sheet: frames of a run as half-size thumbnails in a grid, each labelled with
// its frame number, under a title line (the renderer that drew them).
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace vdphost {

class ContactSheet {
 public:
  static constexpr int kColumns = 4, kRows = 4;
  static constexpr int kCells = kColumns * kRows;

  // title: digits, spaces and the capitals of "OPENGL" and "DOT BY DOT"; empty for none.
  explicit ContactSheet(std::string title = "") : title_(std::move(title)) {}

  // Every thumbnail is half of the first frame's size; later frames of another size are
  // sampled to it.
  void Add(int frame, const std::vector<uint32_t>& texels, int width, int height);
  bool full() const { return count_ == kCells; }
  bool Write(const std::string& path) const;

 private:
  void Text(int x, int y, const std::string& text);
  void Fill(int x, int y, int w, int h, uint32_t colour);

  int thumbWidth_ = 0, thumbHeight_ = 0, sheetWidth_ = 0, sheetHeight_ = 0;
  int count_ = 0, titleHeight_ = 0;
  std::string title_;
  std::vector<uint32_t> sheet_;
};

}  // namespace vdphost
