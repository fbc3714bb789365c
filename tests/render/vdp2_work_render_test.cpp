// GL work of cell planes: what an unchanged, a slightly changed and a cleared frame cost,
// and that the picture stays right while the work is skipped. Also bad data through the
// exports with a real context.
#include <random>

#include "vdp2_scene.h"

namespace vdptest {
namespace {

// 352 x 240 shows 45 x 31 positions of 8-dot patterns.
constexpr uint32_t kRows = 31, kPositions = 45 * kRows;

class PlaneWorkRender : public Vdp2Scene {
 protected:
  void SetUp() override {
    Vdp2Scene::SetUp();
    if (!running) return;
    Screen(0x8011);  // 352 x 240
    // NBG0: character 1 (colour 1, red) everywhere but column 0, which shows character 2
    // with palette 1 (colour 16 + 2, green). NBG1-NBG3 beneath it at pages 9-11 with
    // character 3 (blue).
    Colour(1, kRed);
    Colour(16 + 2, kGreen);
    Colour(3, kBlue);
    Bytes(0x20, 0x11, 32);
    Bytes(0x40, 0x22, 32);
    Bytes(0x60, 0x33, 32);
    SimpleCellNbg0(8, 1);
    for (uint32_t row = 0; row < 64; ++row) WriteWordVDP2VRAM((8 << 13) + row * 128, 0x1002);
    Reg(vdp2reg::BGON, 0x000F);
    Reg(vdp2reg::PRINA, 0x0104);
    Reg(vdp2reg::PRINB, 0x0101);
    for (uint32_t n = 1; n < 4; ++n) {
      Reg(vdp2reg::PNCN0 + 2 * n, 0x8000);
      const uint16_t page = static_cast<uint16_t>((8 + n) * 0x0101);
      Reg(vdp2reg::MPABN0 + 4 * n, page);
      Reg(vdp2reg::MPABN0 + 4 * n + 2, page);
      Words((8 + n) << 13, 3, 4096);
    }
    Reg(vdp2reg::SCXN2, 100);
    Reg(vdp2reg::SCYN3, 0x7F0);
  }
};

TEST_F(PlaneWorkRender, IdenticalSecondFrameUploadsNothingAndLooksTheSame) {
  Work() = {};
  ASSERT_TRUE(FrameAndCapture());
  EXPECT_GE(Work().texSubImageCalls, 4 * kPositions);
  const std::vector<uint32_t> first = picture;
  Work() = {};
  ASSERT_TRUE(FrameAndCapture());
  EXPECT_EQ(Work().texSubImageCalls, 0u);
  EXPECT_EQ(Work().texturesUploaded, 0u);
  EXPECT_LE(Work().planeQuadsDrawn, 4u * 4) << "at most four quads per plane";
  EXPECT_TRUE(picture == first) << "the picture changed without any change of data";
  EXPECT_TRUE(ColourNear(Pixel(3, 100), Seen(kGreen)));
  EXPECT_TRUE(ColourNear(Pixel(100, 100), Seen(kRed)));
}

TEST_F(PlaneWorkRender, OneChangedPatternNameUploadsThatPatternsCellOnly) {
  Frame();
  WriteWordVDP2VRAM((8 << 13) + 2 * (3 * 64 + 5), 3);  // NBG0 column 5, row 3: blue
  Work() = {};
  ASSERT_TRUE(FrameAndCapture());
  EXPECT_EQ(Work().texSubImageCalls, 1u);
  EXPECT_TRUE(ColourNear(Pixel(5 * 8 + 4, 3 * 8 + 4), Seen(kBlue)));
  EXPECT_TRUE(ColourNear(Pixel(6 * 8 + 4, 3 * 8 + 4), Seen(kRed)));
}

TEST_F(PlaneWorkRender, ColourRamChangeRedecodesOnlyCellsOfThatBlock) {
  Frame();
  Frame();
  Colour(16 + 2, kWhite);  // palette 1's block: NBG0's column 0 only
  Work() = {};
  ASSERT_TRUE(FrameAndCapture());
  EXPECT_EQ(Work().texSubImageCalls, kRows);
  EXPECT_TRUE(ColourNear(Pixel(3, 100), Seen(kWhite)));
  EXPECT_TRUE(ColourNear(Pixel(100, 100), Seen(kRed)));
  Work() = {};
  Frame();
  EXPECT_EQ(Work().texSubImageCalls, 0u);
}

TEST_F(PlaneWorkRender, ClearingTheCacheOrRestartingTheDisplayRedrawsEverything) {
  Frame();
  plugin::display->RequestClearVDP2Cache();  // the menu's "Clear VDP2 cache"
  Work() = {};
  ASSERT_TRUE(FrameAndCapture());
  EXPECT_GE(Work().texSubImageCalls, 4 * kPositions);
  // A display restart loses every texture; the planes come back whole.
  plugin::display->RequestFullscreenToggle();
  Frame();
  ASSERT_TRUE(FrameAndCapture());
  EXPECT_TRUE(ColourNear(Pixel(pictureWidth / 2, pictureHeight / 2), Seen(kRed)));
  EXPECT_TRUE(ColourNear(Pixel(1, pictureHeight / 2), Seen(kGreen)));
}

TEST_F(PlaneWorkRender, AnyRegisterAndMemoryContentKeepsPresenting) {
  std::mt19937 random(99);
  auto next = [&] { return static_cast<uint32_t>(random()); };
  for (int frame = 0; frame < 24; ++frame) {
    for (uint32_t r = 0x0E; r < 0x120; r += 2) WriteWordVDP2Regs(r, static_cast<uint16_t>(next()));
    WriteWordVDP2Regs(vdp2reg::BGON, static_cast<uint16_t>(next() | 0x1F));
    WriteWordVDP2Regs(vdp2reg::PRINA, static_cast<uint16_t>(next() | 0x0101));
    WriteWordVDP2Regs(vdp2reg::PRINB, static_cast<uint16_t>(next() | 0x0101));
    WriteWordVDP2Regs(vdp2reg::PRIR, static_cast<uint16_t>(next() | 1));
    if (frame % 6 == 5) WriteWordVDP2Regs(vdp2reg::TVMD, static_cast<uint16_t>(next() | 0x8000));
    for (int i = 0; i < 4000; ++i) WriteLongVDP2VRAM(next(), next());
    for (int i = 0; i < 256; ++i) WriteWordVDP2CRAM(next(), static_cast<uint16_t>(next()));
    const int presented = headless::PresentCount();
    Frame();
    ASSERT_EQ(headless::PresentCount(), presented + 1) << "frame " << frame;
  }
}

}  // namespace
}  // namespace vdptest
