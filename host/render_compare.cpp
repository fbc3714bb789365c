// Standard C++ and zlib only, so that vdphost and vdphost.exe share it.
#include "render_compare.h"

#include <zlib.h>

#include <algorithm>
#include <cstdlib>

#include "png_writer.h"

namespace vdphost {

namespace {

int Channel(uint32_t texel, int c) { return static_cast<int>(texel >> (8 * c)) & 0xFF; }

// Magenta: rare in the scenes, and unlike any darkened dot.
constexpr uint32_t kMarked = 0xFFFF00FFu;

}  // namespace

Difference ComparePictures(const Picture& opengl, const Picture& dots, int tolerance,
                           Picture* marked) {
  Difference d;
  if (marked != nullptr) {
    marked->width = dots.width;
    marked->height = dots.height;
    marked->texels.resize(dots.texels.size());
  }
  if (opengl.width <= 0 || opengl.height <= 0) return d;
  for (int y = 0; y < dots.height; ++y) {
    const int sy = static_cast<int>(static_cast<int64_t>(y) * opengl.height / dots.height);
    for (int x = 0; x < dots.width; ++x) {
      const int sx = static_cast<int>(static_cast<int64_t>(x) * opengl.width / dots.width);
      const size_t at = static_cast<size_t>(y) * dots.width + x;
      const uint32_t a = opengl.texels[static_cast<size_t>(sy) * opengl.width + sx];
      const uint32_t b = dots.texels[at];
      int most = 0;
      for (int c = 0; c < 3; ++c) most = std::max(most, std::abs(Channel(a, c) - Channel(b, c)));
      d.largest = std::max(d.largest, most);
      const bool differs = most > tolerance;
      d.differing += differs;
      if (marked != nullptr)
        marked->texels[at] = differs ? kMarked : 0xFF000000u | ((b >> 2) & 0x3F3F3Fu);
    }
  }
  d.compared = static_cast<uint64_t>(dots.width) * dots.height;
  return d;
}

ReferenceFrames::~ReferenceFrames() {
  if (file_ != nullptr) std::fclose(file_);
  std::remove(path_.c_str());
}

bool ReferenceFrames::StartWriting() {
  if (file_ != nullptr) std::fclose(file_);
  file_ = std::fopen(path_.c_str(), "wb");
  return file_ != nullptr;
}

bool ReferenceFrames::Write(uint32_t frame, const Picture& picture) {
  const uLong size = static_cast<uLong>(picture.texels.size() * sizeof(uint32_t));
  uLongf packedSize = compressBound(size);
  packed_.resize(packedSize);
  if (file_ == nullptr ||
      compress2(packed_.data(), &packedSize, reinterpret_cast<const Bytef*>(picture.texels.data()),
                size, 1) != Z_OK)
    return false;
  const uint32_t header[4] = {frame, static_cast<uint32_t>(picture.width),
                              static_cast<uint32_t>(picture.height),
                              static_cast<uint32_t>(packedSize)};
  return std::fwrite(header, sizeof header, 1, file_) == 1 &&
         std::fwrite(packed_.data(), 1, packedSize, file_) == packedSize;
}

bool ReferenceFrames::StartReading() {
  if (file_ != nullptr) std::fclose(file_);
  pending_ = false;
  file_ = std::fopen(path_.c_str(), "rb");
  return file_ != nullptr;
}

bool ReferenceFrames::ReadNext() {
  if (file_ == nullptr || std::fread(header_, sizeof header_, 1, file_) != 1) return false;
  packed_.resize(header_[3]);
  pending_ = std::fread(packed_.data(), 1, packed_.size(), file_) == packed_.size();
  return pending_;
}

bool ReferenceFrames::Find(uint32_t frame, Picture& picture) {
  while ((pending_ || ReadNext()) && header_[0] < frame) pending_ = false;
  if (!pending_ || header_[0] != frame) return false;
  pending_ = false;
  picture.width = static_cast<int>(header_[1]);
  picture.height = static_cast<int>(header_[2]);
  picture.texels.resize(static_cast<size_t>(picture.width) * picture.height);
  uLongf size = static_cast<uLongf>(picture.texels.size() * sizeof(uint32_t));
  return uncompress(reinterpret_cast<Bytef*>(picture.texels.data()), &size, packed_.data(),
                    static_cast<uLong>(packed_.size())) == Z_OK &&
         size == picture.texels.size() * sizeof(uint32_t);
}

void CompareReport::Add(uint32_t frame, const Picture& opengl, const Picture& dots) {
  const Difference d = ComparePictures(opengl, dots, tolerance_, &marked_);
  char name[32];
  std::snprintf(name, sizeof name, "compare_%06u.png", frame);
  const bool written =
      WritePng(outDir_ + "/" + name, marked_.texels.data(), marked_.width, marked_.height);
  std::printf("frame %u: %.2f%% of %llu dots differ by more than %d (largest %d)%s%s\n", frame,
              d.Percent(), static_cast<unsigned long long>(d.compared), tolerance_, d.largest,
              written ? ", " : "", written ? name : "");
  ++frames_;
  sum_ += d.Percent();
  if (frames_ == 1 || d.Percent() > worst_) {
    worst_ = d.Percent();
    worstFrame_ = frame;
  }
}

int CompareReport::Finish() const {
  std::printf("compared %d frames: mean %.2f%%, worst %.2f%% (frame %u) of dots differing\n",
              frames_, frames_ == 0 ? 0.0 : sum_ / frames_, worst_, worstFrame_);
  std::fflush(stdout);
  return frames_;
}

}  // namespace vdphost
