// The dot-by-dot renderer through the plugin's exports: chosen from the menu or the
// settings file, at the next frame both ways; its frame buffer reached by the host.
#include "common/switches.h"
#include "plugin_fixture.h"
#include "resource_ids.h"
#include "vdp1/vdp1_core.h"

namespace vdptest {
namespace {

constexpr Rgba kBlack{0, 0, 0, 255}, kGreen{0, 248, 0, 255}, kRed{248, 0, 0, 255};

class DotsRender : public PluginTest {
 protected:
  // Display on at 320 x 224; back screen green (shown by the dot-by-dot renderer only, as
  // the OpenGL renderer leaves it black); RGB sprite dots at priority 7; VDP1 drawing a red
  // polygon over (100, 60)-(200, 160) every frame.
  void WriteScene() {
    WriteWordVDP2Regs(0x00, 0x8000);  // TVMD
    WriteWordVDP2Regs(0xAE, 0x0800);  // BKTA: one colour, at VRAM 0x1000
    WriteWordVDP2VRAM(0x1000, 0x03E0);
    WriteWordVDP2Regs(0xE0, 0x0020);  // SPCTL: type 0, RGB dots by their MSB
    WriteWordVDP2Regs(0xF0, 0x0707);  // PRISA
    DrawEveryFrame();
    Vdp1Words(0x00, {0x0004, 0, 0, 0x801F, 0, 0, 100, 60, 200, 60, 200, 160, 100, 160});
    Vdp1Words(0x20, {0x8000});
  }
  bool Choose(bool dots) {
    if ((Vdp1()->switches.dotByDot != 0) == dots) return true;
    return headless::SendEvent(headless::CurrentWindow(), platform::WindowEventKind::Command,
                               IDM_DOT_BY_DOT);
  }
  // After `frames` frames: the back screen's dot and the polygon's.
  void Expect(int frames, Rgba back, Rgba polygon, const char* when) {
    for (int i = 0; i < frames; ++i) Frame();
    ASSERT_TRUE(Capture()) << when;
    EXPECT_TRUE(ColourNear(Pixel(20, 20), back)) << when << ": back screen";
    // The OpenGL renderer shows a shape's channel of 31 as 255, the console as 248.
    EXPECT_TRUE(ColourNear(Pixel(150, 110), polygon, 8)) << when << ": polygon";
  }
};

TEST_F(DotsRender, SwitchTakesEffectAtTheNextFrameBothWaysAndIsKept) {
  WriteScene();
  Expect(2, kBlack, kRed, "OpenGL renderer, the default");
  ASSERT_TRUE(Choose(true));
  // VDP1 draws into a buffer that is shown from the next frame change on.
  Expect(1, kGreen, kGreen, "first frame dot by dot");
  Expect(2, kGreen, kRed, "dot by dot, once VDP1's buffer is displayed");
  ASSERT_TRUE(Choose(false));
  Expect(1, kBlack, kRed, "back to OpenGL");
  ASSERT_TRUE(Choose(true));
  Stop();
  EXPECT_NE(ReadFile(dir.File("VDP_plugin.ini")).find("[RENDERER]\r\ndot by dot=1\r\n"),
            std::string::npos);
  ASSERT_TRUE(Start());
  EXPECT_TRUE(platform::IsMenuItemChecked(headless::CurrentWindow(), IDM_DOT_BY_DOT))
      << "the setting's renderer is marked in the first window";
  WriteScene();
  Expect(3, kGreen, kRed, "dot by dot from the settings file");
}

TEST_F(DotsRender, HostReachesTheDrawBufferInConsoleByteOrder) {
  WriteScene();
  WriteWordVDP1Regs(0x04, 0);       // PTMR: VDP1 draws nothing
  WriteWordVDP1Regs(0x02, 0x0001);  // FBCR: manual changes
  WriteLongVDP1FrameBuffer(0x200, 0xAABBCCDD);
  EXPECT_EQ(ReadLongVDP1FrameBuffer(0x200), 0u) << "no frame buffer in the OpenGL renderer";
  ASSERT_TRUE(Choose(true));
  Frame();
  WriteLongVDP1FrameBuffer(0x40200, 0xAABBCCDD);  // the window repeats every 256 KB
  WriteByteVDP1FrameBuffer(0x205, 0x12);
  WriteWordVDP1FrameBuffer(0x206, 0x3456);
  EXPECT_EQ(ReadByteVDP1FrameBuffer(0x201), 0xBB);
  EXPECT_EQ(ReadWordVDP1FrameBuffer(0x202), 0xCCDD);
  EXPECT_EQ(ReadLongVDP1FrameBuffer(0x204), 0x00123456u);
  // A row of red dots at line 10 from x = 8, shown once a manual change displays it.
  for (uint32_t x = 8; x < 24; ++x) WriteWordVDP1FrameBuffer(10 * 1024 + 2 * x, 0x801F);
  WriteWordVDP1Regs(0x02, 0x0003);
  Expect(2, kGreen, kGreen, "host-written dots, no drawing");
  EXPECT_TRUE(ColourNear(Pixel(12, 10), kRed)) << "a host-written dot";
  EXPECT_EQ(ReadWordVDP1FrameBuffer(10 * 1024 + 16), 0) << "the other buffer is drawn now";
}

// A register written between H-blank events shows from the line the host had reached; a
// colour RAM write likewise; a frame without H-blank events has one state throughout.
TEST_F(DotsRender, WritesBetweenLinesShowFromTheirLine) {
  WriteScene();
  WriteWordVDP2VRAM(0x1002, 0x7C00);  // a blue back screen colour beside the green one
  ASSERT_TRUE(Choose(true));
  auto frame = [](bool lines) {
    for (int line = 0; lines && line < 224; ++line) {
      if (line == 100) WriteWordVDP2Regs(0xAE, 0x0801);  // BKTA: the blue colour
      VDPOnHblankIn();
      VDPOnHblankOut();
    }
    if (!lines) WriteWordVDP2Regs(0xAE, 0x0801);
    VDPOnVblankIn();
    WriteWordVDP2Regs(0xAE, 0x0800);  // back to green in the V-blank
    VDPOnVblankOut();
  };
  const Rgba kBlue{0, 0, 248, 255};
  for (const bool lines : {true, false}) {
    frame(lines);
    frame(lines);
    ASSERT_TRUE(Capture());
    EXPECT_TRUE(ColourNear(Pixel(20, 99), lines ? kGreen : kBlue)) << "lines " << lines;
    EXPECT_TRUE(ColourNear(Pixel(20, 100), kBlue)) << "lines " << lines;
  }
}

}  // namespace
}  // namespace vdptest
