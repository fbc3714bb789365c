// Start, stop, reset and the dialogs, as the host sees them through the exports.
#include <string>

#include "display/opengl_display.h"
#include "plugin_fixture.h"
#include "resource_ids.h"
#include "vdp1/vdp1_core.h"
#include "vdp2/vdp2_core.h"

namespace vdptest {
namespace {

class Lifecycle : public PluginTest {
 protected:
  void SetUp() override {
    startInSetUp = false;
    PluginTest::SetUp();
  }
};

TEST_F(Lifecycle, StatusLinesArriveInOrderOnceTheWindowExists) {
  ASSERT_TRUE(Start());
  const std::vector<std::pair<std::string, uint32_t>> expected = {
      {"VDP OpenGL plugin: initialisation OK!", 0x32FF32},
      {"VDP1 core v1.1", 0xE6C8A0},
      {"VDP2 core v1.1", 0xE6C8A0},
  };
  EXPECT_EQ(StatusLines(), expected);
  EXPECT_NE(headless::CurrentWindow(), nullptr);
  EXPECT_EQ(headless::WindowTitle(headless::CurrentWindow()), "OpenGL display");
}

TEST_F(Lifecycle, TenStartStopCyclesLeaveNoWindowOrThreadBehind) {
  for (int cycle = 0; cycle < 10; ++cycle) {
    ASSERT_TRUE(Start()) << "cycle " << cycle;
    WriteWordVDP1Regs(0x04, 2);
    Frame();
    Stop();
    ASSERT_EQ(headless::LiveWindowCount(), 0) << "cycle " << cycle;
    ASSERT_EQ(headless::RunningWindowThreadCount(), 0) << "cycle " << cycle;
  }
  EXPECT_EQ(StatusLines().size(), 30u);
}

TEST_F(Lifecycle, WindowOrThreadFailureEndsTheStartWithFalse) {
  headless::FailNextWindowCreation();
  EXPECT_FALSE(Start());
  ASSERT_FALSE(StatusLines().empty());
  EXPECT_EQ(StatusLines().back(),
            std::make_pair(std::string("OpenGL Plugin: window creation failed"), 0x0000FFu));
  DeInitPlugin();  // the host still ends with DeInitPlugin

  headless::FailNextThreadStart();
  EXPECT_FALSE(Start());
  const auto boxes = headless::MessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "Failed to create rendering Window thread");
  EXPECT_EQ(boxes[0].caption, "Error");
  EXPECT_EQ(boxes[0].style, 0x10u);
  DeInitPlugin();

  // No GL context: the plugin runs on with its window, and presents nothing.
  headless::FailNextContextCreation();
  ASSERT_TRUE(Start());
  DrawEveryFrame();
  const int presented = headless::PresentCount();
  for (int i = 0; i < 3; ++i) Frame();
  EXPECT_EQ(headless::PresentCount(), presented);
  EXPECT_NE(headless::CurrentWindow(), nullptr);
  Stop();
  EXPECT_TRUE(Start()) << "a later start works";
}

// Whatever the settings file or its directory holds, the plugin starts, draws, stops and
// leaves the values below in use.
TEST_F(Lifecycle, SettingsFaultsStartWithDefinedValues) {
  const std::string zeros(4096, '\0');
  std::string huge;
  while (huge.size() < (1u << 20)) huge += "[junk]\nkey=value that goes on and on\n";
  const struct Case {
    const char* what;
    std::string file;  // contents of VDP_plugin.ini
    int32_t width, height;
    uint8_t polygonsAntialiasing;
  } cases[] = {
      {"binary zeros", zeros, 320, 240, 0},
      {"1 MB of other sections", huge, 320, 240, 0},
      {"values out of range, taken as they stand",
       "[VDP1]\nPolygons antialiasing=-7\n[OPENGL]\nrendering width=-5\n"
       "rendering height=2147483647\n",
       -5, 2147483647, 1},
      {"a zero size", "[OPENGL]\nrendering width=0\nrendering height=0\n", 0, 0, 0},
  };
  for (const Case& c : cases) {
    WriteFile(dir.File("VDP_plugin.ini"), c.file);
    ASSERT_TRUE(Start()) << c.what;
    DrawEveryFrame();
    Frame();
    Frame();
    EXPECT_EQ(Display()->renderWidth, c.width) << c.what;
    EXPECT_EQ(Display()->renderHeight, c.height) << c.what;
    EXPECT_EQ(Vdp1()->switches.polygonsAntialiasing, c.polygonsAntialiasing) << c.what;
    // A fullscreen mode that the screen may refuse, and back.
    ASSERT_TRUE(headless::SendEvent(headless::CurrentWindow(),
                                    platform::WindowEventKind::SysKeyDown, platform::kKeyReturn));
    Frame();
    ASSERT_TRUE(headless::SendEvent(headless::CurrentWindow(),
                                    platform::WindowEventKind::SysKeyDown, platform::kKeyReturn));
    Frame();
    // Fullscreen grew a size smaller than the picture; the size in use is saved.
    const std::string inUse = "rendering width=" + std::to_string(Display()->renderWidth) +
                              "\r\nrendering height=" + std::to_string(Display()->renderHeight);
    Stop();
    EXPECT_NE(ReadFile(dir.File("VDP_plugin.ini")).find(inUse), std::string::npos) << c.what;
  }
}

// A careless host: before the start and after the stop, every export but the start, the
// about box and the setup dialog returns at once, reads 0 and leaves no window, box or file.
TEST_F(Lifecycle, CallsBeforeStartAndAfterStopDoNothing) {
  using Call = uint32_t (*)(uint32_t);
  // clang-format off
  static constexpr struct { const char* name; Call call; } kExports[] = {
    {"DeInitPlugin", [](uint32_t) { DeInitPlugin(); return 0u; }},
    {"Reset", [](uint32_t) { Reset(); return 0u; }},
    {"VDPOnVblankIn", [](uint32_t) { VDPOnVblankIn(); return 0u; }},
    {"VDPOnVblankOut", [](uint32_t) { VDPOnVblankOut(); return 0u; }},
    {"VDPOnHblankIn", [](uint32_t) { VDPOnHblankIn(); return 0u; }},
    {"VDPOnHblankOut", [](uint32_t) { VDPOnHblankOut(); return 0u; }},
#define ACCESSORS(name, T)                                                             \
    {"Read" #name, [](uint32_t a) { return static_cast<uint32_t>(Read##name(a)); }}, \
    {"Write" #name, [](uint32_t a) { Write##name(a, static_cast<T>(0xFFFFFFFF)); return 0u; }},
    ACCESSORS(WordVDP1Regs, uint16_t) ACCESSORS(ByteVDP1VRAM, uint8_t)
    ACCESSORS(WordVDP1VRAM, uint16_t) ACCESSORS(LongVDP1VRAM, uint32_t)
    ACCESSORS(ByteVDP1FrameBuffer, uint8_t) ACCESSORS(WordVDP1FrameBuffer, uint16_t)
    ACCESSORS(LongVDP1FrameBuffer, uint32_t) ACCESSORS(WordVDP2Regs, uint16_t)
    ACCESSORS(LongVDP2Regs, uint32_t) ACCESSORS(ByteVDP2VRAM, uint8_t)
    ACCESSORS(WordVDP2VRAM, uint16_t) ACCESSORS(LongVDP2VRAM, uint32_t)
    ACCESSORS(WordVDP2CRAM, uint16_t) ACCESSORS(LongVDP2CRAM, uint32_t)
#undef ACCESSORS
  };
  // clang-format on
  auto callEveryExport = [this](const char* when) {
    const std::string settings = ReadFile(dir.File("VDP_plugin.ini"));
    StatusLines().clear();
    for (const auto& e : kExports)
      for (uint32_t address : {0x0u, 0xFFFFFFFEu})
        EXPECT_EQ(e.call(address), 0u) << e.name << " " << when;
    EXPECT_EQ(headless::LiveWindowCount(), 0) << when;
    EXPECT_EQ(headless::RunningWindowThreadCount(), 0) << when;
    EXPECT_TRUE(headless::MessageBoxes().empty()) << when;
    EXPECT_TRUE(StatusLines().empty()) << when;
    EXPECT_EQ(ReadFile(dir.File("VDP_plugin.ini")), settings) << when;
  };
  callEveryExport("before the start");
  ASSERT_TRUE(Start());
  WriteWordVDP2VRAM(0x100, 0x1234);
  Stop();
  callEveryExport("after the stop");
  ASSERT_TRUE(Start()) << "a start after stray calls works";
  EXPECT_EQ(ReadWordVDP2VRAM(0x100), 0u) << "a new start begins with clear memories";
}

TEST_F(Lifecycle, AboutBoxNeedsNoRunningPlugin) {
  DisplayPluginInfo();
  const auto boxes = headless::MessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "OpenGL VDP plugin Ver 1.0.1");
  EXPECT_EQ(boxes[0].caption, "About");
  EXPECT_EQ(boxes[0].style, 0x40u);
}

TEST_F(Lifecycle, SetupDialogOpensOnceAndAgainAfterClosing) {
  headless::SetHostWindowPresent(true);
  ASSERT_TRUE(Start());
  SetupPlugin();
  SetupPlugin();
  EXPECT_EQ(headless::OpenSetupDialogCount(), 1);
  EXPECT_NE(headless::LastSetupDialogOwner(), nullptr) << "owned by the host window";
  platform::WindowHandle dialog = headless::LastSetupDialog();
  for (int button : {IDC_NBG0_PATTERNS, IDC_NBG1_PATTERNS, IDC_NBG2_PATTERNS, IDC_NBG3_PATTERNS})
    headless::ClickSetupDialogButton(dialog, button);
  EXPECT_EQ(headless::OpenSetupDialogCount(), 1) << "Patterns buttons change nothing";
  headless::CloseSetupDialog(dialog);
  EXPECT_EQ(headless::OpenSetupDialogCount(), 0);
  headless::SetHostWindowPresent(false);
  SetupPlugin();
  EXPECT_EQ(headless::OpenSetupDialogCount(), 1);
  EXPECT_EQ(headless::LastSetupDialogOwner(), nullptr) << "no host window: no owner";
  headless::CloseSetupDialog(headless::LastSetupDialog());
}

TEST_F(Lifecycle, ResetKeepsWindowSizeRegistersAndMemories) {
  ASSERT_TRUE(Start());
  ASSERT_TRUE(headless::SendEvent(headless::CurrentWindow(), platform::WindowEventKind::Command,
                                  IDM_RES_640));
  Frame();
  platform::WindowHandle window = headless::CurrentWindow();
  WriteWordVDP1VRAM(0x10, 0xABCD);
  WriteWordVDP2Regs(0x20, 0x0013);
  WriteWordVDP2CRAM(0x02, 0x7FFF);
  Reset();
  Frame();
  EXPECT_EQ(headless::CurrentWindow(), window);
  EXPECT_EQ(Display()->renderWidth, 640);
  EXPECT_EQ(ReadWordVDP1VRAM(0x10), 0xABCD);
  EXPECT_EQ(ReadWordVDP2Regs(0x20), 0x0013);
  EXPECT_EQ(ReadWordVDP2CRAM(0x02), 0x7FFF);
}

TEST_F(Lifecycle, FrameBufferIsNotEmulated) {
  ASSERT_TRUE(Start());
  WriteByteVDP1FrameBuffer(0x10, 0x55);
  WriteWordVDP1FrameBuffer(0x10, 0x5555);
  WriteLongVDP1FrameBuffer(0x10, 0x55555555);
  EXPECT_EQ(ReadByteVDP1FrameBuffer(0x10), 0);
  EXPECT_EQ(ReadWordVDP1FrameBuffer(0x10), 0);
  EXPECT_EQ(ReadLongVDP1FrameBuffer(0x10), 0u);
  EXPECT_EQ(ReadLongVDP1VRAM(0x10), 0u);
}

TEST_F(Lifecycle, AnyAddressAndValueStayInsideTheTables) {
  ASSERT_TRUE(Start());
  uint32_t x = 12345;
  auto next = [&x] {
    x = x * 1103515245u + 12345u;
    return x;
  };
  DrawEveryFrame();
  for (int i = 0; i < 200000; ++i) {
    if (i % 20000 == 0) Frame();
    const uint32_t a = next(), v = next();
    switch (v % 9) {
      case 0:
        WriteWordVDP1Regs(a, static_cast<uint16_t>(v >> 8));
        break;
      case 1:
        WriteLongVDP1VRAM(a, v);
        break;
      case 2:
        WriteByteVDP2VRAM(a, static_cast<uint8_t>(v >> 8));
        break;
      case 3:  // every register but TVMD, whose writes resize the window
        if ((a & 0x1FE) != 0) WriteWordVDP2Regs(a, static_cast<uint16_t>(v >> 8));
        break;
      case 4:
        WriteLongVDP2CRAM(a, v);
        break;
      case 5:
        WriteWordVDP2CRAM(a, static_cast<uint16_t>(v));
        break;
      case 6:
        ReadLongVDP2Regs(a);
        break;
      case 7:
        ReadWordVDP1Regs(a);
        break;
      default:
        ReadLongVDP2CRAM(a);
        break;
    }
  }
  Frame();
}

}  // namespace
}  // namespace vdptest
