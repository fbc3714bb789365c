// vdphost --compare: the same input played with the OpenGL renderer, then dot by dot, and
// the pictures of each selected frame compared dot by dot.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace vdphost {

struct Picture {
  std::vector<uint32_t> texels;  // RGBA, red in the low byte, top row first
  int width = 0, height = 0;
};

struct Difference {
  uint64_t differing = 0, compared = 0;
  int largest = 0;  // the largest difference in a channel
  double Percent() const { return compared == 0 ? 0.0 : 100.0 * differing / compared; }
};

// Compares at the dot-by-dot picture's size, sampling the OpenGL picture at the nearest
// corresponding position: its window may be scaled. A dot differs when a channel differs
// by more than tolerance. marked (when given) gets the dot-by-dot picture darkened, with
// the differing dots in magenta.
Difference ComparePictures(const Picture& opengl, const Picture& dots, int tolerance,
                           Picture* marked);

// The OpenGL pass's pictures, kept compressed in a file until the dot-by-dot pass reaches
// the same frame, so that one picture of each pass is in memory at a time.
class ReferenceFrames {
 public:
  explicit ReferenceFrames(const std::string& path) : path_(path) {}
  ~ReferenceFrames();
  ReferenceFrames(const ReferenceFrames&) = delete;
  ReferenceFrames& operator=(const ReferenceFrames&) = delete;

  bool StartWriting();
  bool Write(uint32_t frame, const Picture& picture);
  // Switches to reading from the first frame written.
  bool StartReading();
  // The picture written for frame; false when there is none (frames are asked in order).
  bool Find(uint32_t frame, Picture& picture);

 private:
  bool ReadNext();

  std::string path_;
  std::FILE* file_ = nullptr;
  bool pending_ = false;     // header_ and packed_ hold a frame not asked for yet
  uint32_t header_[4] = {};  // frame, width, height, packed size
  std::vector<unsigned char> packed_;
};

// The per-frame lines, the difference pictures and the total.
class CompareReport {
 public:
  CompareReport(const std::string& outDir, int tolerance)
      : outDir_(outDir), tolerance_(tolerance) {}
  void Add(uint32_t frame, const Picture& opengl, const Picture& dots);
  // Prints the total; the number of frames compared.
  int Finish() const;

 private:
  std::string outDir_;
  int tolerance_;
  int frames_ = 0;
  double sum_ = 0, worst_ = 0;
  uint32_t worstFrame_ = 0;
  Picture marked_;
};

}  // namespace vdphost
