// Compares pictures of the same frames taken on two systems: compare_pictures <tolerance>
// <a.png> <b.png> [<a.png> <b.png>...]. The render window's client area may differ in
// size between them while the picture keeps to its lower-left corner, so the overlap
// is compared from there. A pair fails when more than one pixel in 200 differs by more
// than the tolerance in a channel: two rasterisers, or one over two window sizes, may
// sample a scaled texture or place an edge a pixel apart, but no more.
#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

struct Picture {
  png_image image{};
  std::vector<png_byte> rgb;
};

bool Load(const char* path, Picture& p) {
  p.image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&p.image, path)) return false;
  p.image.format = PNG_FORMAT_RGB;
  p.rgb.resize(PNG_IMAGE_SIZE(p.image));
  return png_image_finish_read(&p.image, nullptr, p.rgb.data(), 0, nullptr) != 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4 || argc % 2 != 0) {
    std::fprintf(stderr, "usage: compare_pictures <tolerance> <a.png> <b.png>...\n");
    return 2;
  }
  const int tolerance = std::atoi(argv[1]);
  int failures = 0;
  for (int i = 2; i + 1 < argc; i += 2) {
    Picture a, b;
    if (!Load(argv[i], a) || !Load(argv[i + 1], b)) {
      std::printf("FAILED: cannot read %s or %s\n", argv[i], argv[i + 1]);
      ++failures;
      continue;
    }
    const int width = std::min(a.image.width, b.image.width);
    const int height = std::min(a.image.height, b.image.height);
    int worst = 0, over = 0;
    for (int y = 1; y <= height; ++y)
      for (int x = 0; x < width; ++x) {
        const png_byte* pa = &a.rgb[((a.image.height - y) * a.image.width + x) * 3];
        const png_byte* pb = &b.rgb[((b.image.height - y) * b.image.width + x) * 3];
        int most = 0;
        for (int c = 0; c < 3; ++c) most = std::max(most, std::abs(pa[c] - pb[c]));
        worst = std::max(worst, most);
        over += most > tolerance;
      }
    // Pixels placed differently: at most one in two hundred of the picture.
    const bool same = width >= 64 && height >= 64 && over * 200 <= width * height;
    std::printf("%s %s vs %s: %dx%d compared, largest difference %d, %d pixels over %d\n",
                same ? "same:" : "FAILED:", argv[i], argv[i + 1], width, height, worst, over,
                tolerance);
    failures += !same;
  }
  return failures == 0 ? 0 : 1;
}
