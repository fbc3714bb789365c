#include "png_writer.h"

#include <png.h>

#include <cstdio>
#include <vector>

namespace vdphost {

bool WritePng(const std::string& path, const uint32_t* texels, int width, int height) {
  if (width <= 0 || height <= 0) return false;
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
  if (info == nullptr || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
    return false;
  }
  png_init_io(png, file);
  png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int row = 0; row < height; ++row) {
    // The presented alpha is what GL left in the buffer; a picture is shown opaque.
    std::vector<uint32_t> line(texels + static_cast<size_t>(row) * width,
                               texels + static_cast<size_t>(row + 1) * width);
    for (uint32_t& t : line) t |= 0xFF000000u;
    png_write_row(png, reinterpret_cast<png_const_bytep>(line.data()));
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  std::fclose(file);
  return true;
}

}  // namespace vdphost
