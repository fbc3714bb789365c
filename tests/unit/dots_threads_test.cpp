// The dot-by-dot renderer's lines drawn by 1, 2 and 8 threads: the same picture, bit for
// bit, from a busy frame whose registers change on every line; and a start and stop with
// workers leaves no thread behind. Run under ThreadSanitizer by the threads label.
#include <filesystem>
#include <iterator>
#include <set>

#include "plugin_fixture.h"

namespace vdptest {
namespace {

int ThreadsOfThisProcess() {
  using std::filesystem::directory_iterator;
  return static_cast<int>(std::distance(directory_iterator("/proc/self/task"), {}));
}

class DotsThreads : public PluginTest {
 protected:
  void SetUp() override {
    startInSetUp = false;
    PluginTest::SetUp();
  }
  // Four cell planes over VRAM and colour RAM of pseudo-random words, NBG0 scrolled
  // differently on every line, a few frames; the last picture.
  std::vector<uint32_t> BusyPicture(int threads) {
    WriteFile(dir.File("VDP_plugin.ini"),
              "[RENDERER]\r\ndot by dot=1\r\nthreads=" + std::to_string(threads) + "\r\n");
    EXPECT_TRUE(Start());
    uint32_t x = 99;
    auto next = [&x] { return x = x * 1103515245u + 12345u; };
    for (uint32_t a = 0; a < 0x80000; a += 4) WriteLongVDP2VRAM(a, next());
    for (uint32_t a = 0; a < 0x1000; a += 4) WriteLongVDP2CRAM(a, next() & 0x7FFF7FFF);
    const uint16_t regs[][2] = {{0x00, 0x8000}, {0x20, 0x000F}, {0xF8, 0x0304}, {0xFA, 0x0506},
                                {0x28, 0x1010}, {0x2A, 0x0010}, {0x78, 1},      {0x7C, 1},
                                {0x88, 1},      {0x8C, 1}};
    for (const auto& r : regs) WriteWordVDP2Regs(r[0], r[1]);
    for (int frame = 0; frame < 3; ++frame) {
      for (uint16_t line = 0; line < 224; ++line) {
        WriteWordVDP2Regs(0x70, static_cast<uint16_t>(line * 3 + frame));  // SCXIN0
        WriteWordVDP2CRAM(2, static_cast<uint16_t>(line * 97));
        VDPOnHblankIn();
        VDPOnHblankOut();
      }
      Frame();
    }
    EXPECT_TRUE(Capture());
    Stop();
    return picture;
  }
};

TEST_F(DotsThreads, SameFramesWithOneTwoAndEightThreads) {
  const std::vector<uint32_t> one = BusyPicture(1);
  EXPECT_GT(std::set<uint32_t>(one.begin(), one.end()).size(), 100u) << "a busy picture";
  // The first start made the system's own threads; a stop leaves none of the plugin's.
  const int threadsBefore = ThreadsOfThisProcess();
  EXPECT_TRUE(BusyPicture(8) == one) << "8 threads";
  EXPECT_TRUE(BusyPicture(2) == one) << "2 threads";
  EXPECT_EQ(ThreadsOfThisProcess(), threadsBefore) << "threads left after DeInitPlugin";
}

}  // namespace
}  // namespace vdptest
