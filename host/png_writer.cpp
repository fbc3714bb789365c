// PNG written with zlib alone, so that the Windows build of the host needs no image
// library: one IHDR, one IDAT of unfiltered rows, IEND.
#include "png_writer.h"

#include <zlib.h>

#include <cstdio>
#include <vector>

namespace vdphost {

namespace {

void PutBigEndian(std::vector<unsigned char>& out, uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8)
    out.push_back(static_cast<unsigned char>(value >> shift));
}

bool WriteChunk(std::FILE* file, const char type[4], const std::vector<unsigned char>& data) {
  std::vector<unsigned char> length, crc;
  PutBigEndian(length, static_cast<uint32_t>(data.size()));
  uLong sum = crc32(0, reinterpret_cast<const Bytef*>(type), 4);
  // zlib's crc32 takes a null buffer as "start over": an empty chunk adds nothing.
  if (!data.empty()) sum = crc32(sum, data.data(), static_cast<uInt>(data.size()));
  PutBigEndian(crc, static_cast<uint32_t>(sum));
  return std::fwrite(length.data(), 1, 4, file) == 4 && std::fwrite(type, 1, 4, file) == 4 &&
         (data.empty() || std::fwrite(data.data(), 1, data.size(), file) == data.size()) &&
         std::fwrite(crc.data(), 1, 4, file) == 4;
}

}  // namespace

bool WritePng(const std::string& path, const uint32_t* texels, int width, int height) {
  if (width <= 0 || height <= 0) return false;
  const size_t rowBytes = static_cast<size_t>(width) * 4 + 1;
  std::vector<unsigned char> rows(rowBytes * height);
  for (int y = 0; y < height; ++y) {
    unsigned char* row = &rows[rowBytes * y];
    row[0] = 0;  // no filter
    for (int x = 0; x < width; ++x) {
      const uint32_t t = texels[static_cast<size_t>(y) * width + x];
      // R, G, B from the texel's bytes in memory order; a picture is shown opaque, whatever
      // alpha GL left in the buffer.
      row[1 + 4 * x] = static_cast<unsigned char>(t);
      row[2 + 4 * x] = static_cast<unsigned char>(t >> 8);
      row[3 + 4 * x] = static_cast<unsigned char>(t >> 16);
      row[4 + 4 * x] = 0xFF;
    }
  }
  uLongf packedSize = compressBound(static_cast<uLong>(rows.size()));
  std::vector<unsigned char> packed(packedSize);
  if (compress2(packed.data(), &packedSize, rows.data(), static_cast<uLong>(rows.size()), 6) !=
      Z_OK)
    return false;
  packed.resize(packedSize);
  std::vector<unsigned char> header;
  PutBigEndian(header, static_cast<uint32_t>(width));
  PutBigEndian(header, static_cast<uint32_t>(height));
  header.insert(header.end(), {8, 6, 0, 0, 0});  // 8 bits, RGBA, deflate, no filter, no interlace
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  static const unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  bool ok = std::fwrite(kSignature, 1, 8, file) == 8 && WriteChunk(file, "IHDR", header) &&
            WriteChunk(file, "IDAT", packed) && WriteChunk(file, "IEND", {});
  ok = std::fclose(file) == 0 && ok;
  return ok;
}

}  // namespace vdphost
