// The render window as a user drives it: menu commands, keys, sizes, fullscreen.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "display/opengl_display.h"
#include "plugin_fixture.h"
#include "resource_ids.h"
#include "vdp1/vdp1_core.h"
#include "vdp2/vdp2_core.h"

namespace vdptest {
namespace {

using platform::WindowEventKind;

class RenderWindow : public PluginTest {
 protected:
  platform::WindowHandle Window() const { return headless::CurrentWindow(); }
  bool Command(int id) { return headless::SendEvent(Window(), WindowEventKind::Command, id); }
  bool Checked(int id) const { return headless::MenuItemChecked(Window(), id); }
  int CheckedResolutionItems() const {
    int n = 0;
    for (int id : {IDM_RES_320, IDM_RES_400, IDM_RES_640, IDM_RES_800, IDM_RES_1024, IDM_RES_1280,
                   IDM_RES_1600})
      n += Checked(id) ? 1 : 0;
    return n;
  }
};

TEST_F(RenderWindow, CheckTogglesFollowTheMenusOwnMarks) {
  struct Case {
    int id;
    const char* what;
    SharedFlag* target;
    uint8_t checkedValue;
  } cases[] = {
      {IDM_FILTER_NORMAL_SPRITES, "normal filtering", &Vdp1()->switches.normalSpritesFiltering, 1},
      {IDM_FILTER_DISTORTED_SPRITES, "distorted filtering",
       &Vdp1()->switches.distortedSpritesFiltering, 1},
      {IDM_FILTER_SCALED_SPRITES, "scaled filtering", &Vdp1()->switches.scaledSpritesFiltering, 1},
      {IDM_AA_POLYGONS, "polygon antialiasing", &Vdp1()->switches.polygonsAntialiasing, 1},
      {IDM_AA_LINES, "line antialiasing", &Vdp1()->switches.linesAntialiasing, 1},
      {IDM_AA_POLYLINES, "polyline antialiasing", &Vdp1()->switches.polylinesAntialiasing, 1},
      {IDM_DISABLE_NORMAL_SPRITES, "disable normal", &Vdp1()->switches.disableNormalSprites, 1},
      {IDM_DISABLE_DISTORTED_SPRITES, "disable distorted",
       &Vdp1()->switches.disableDistortedSprites, 1},
      {IDM_DISABLE_SCALED_SPRITES, "disable scaled", &Vdp1()->switches.disableScaledSprites, 1},
      {IDM_DISABLE_POLYGONS, "disable polygons", &Vdp1()->switches.disablePolygons, 1},
      {IDM_DISABLE_LINES, "disable lines", &Vdp1()->switches.disableLines, 1},
      {IDM_FILTER_NBG0, "NBG0 filtering", &Vdp2()->switches.planeFiltering[NBG0], 1},
      {IDM_FILTER_RBG1, "RBG1 filtering", &Vdp2()->switches.planeFiltering[RBG1], 1},
      {IDM_DISABLE_NBG0, "NBG0 shown", &Vdp2()->switches.planeShown[NBG0], 0},
      {IDM_DISABLE_NBG1, "NBG1 shown", &Vdp2()->switches.planeShown[NBG1], 0},
      {IDM_DISABLE_RBG1, "RBG1 shown", &Vdp2()->switches.planeShown[RBG1], 0},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(Command(c.id)) << c.what;
    EXPECT_TRUE(Checked(c.id)) << c.what;
    EXPECT_EQ(c.target->load(), c.checkedValue) << c.what;
    // The mark decides, not the target: a target changed behind the menu's back is
    // overwritten by the next click.
    *c.target = c.checkedValue;
    ASSERT_TRUE(Command(c.id));
    EXPECT_FALSE(Checked(c.id)) << c.what;
    EXPECT_EQ(c.target->load(), static_cast<uint8_t>(!c.checkedValue)) << c.what;
  }
  EXPECT_EQ(Vdp1()->switches.disablePolylines, 0) << "\"Polylines/lines\" leaves polylines on";
}

TEST_F(RenderWindow, AllOrNoneGroupsSetAllWhenNoneCheckedElseClearAll) {
  ASSERT_TRUE(Command(IDM_FILTER_VDP1_ALL));
  EXPECT_TRUE(Checked(IDM_FILTER_NORMAL_SPRITES) && Checked(IDM_FILTER_DISTORTED_SPRITES) &&
              Checked(IDM_FILTER_SCALED_SPRITES));
  EXPECT_EQ(Vdp1()->switches.scaledSpritesFiltering, 1);
  ASSERT_TRUE(Command(IDM_FILTER_DISTORTED_SPRITES));  // one of three now unchecked
  ASSERT_TRUE(Command(IDM_FILTER_VDP1_ALL));
  EXPECT_FALSE(Checked(IDM_FILTER_NORMAL_SPRITES) || Checked(IDM_FILTER_SCALED_SPRITES));
  EXPECT_EQ(Vdp1()->switches.normalSpritesFiltering, 0);

  ASSERT_TRUE(Command(IDM_FILTER_NBG2));
  ASSERT_TRUE(Command(IDM_FILTER_VDP2_ALL));  // one checked: all cleared
  for (int p = 0; p < 6; ++p) EXPECT_EQ(Vdp2()->switches.planeFiltering[p], 0) << p;
  ASSERT_TRUE(Command(IDM_FILTER_VDP2_ALL));
  for (int p = 0; p < 6; ++p) EXPECT_EQ(Vdp2()->switches.planeFiltering[p], 1) << p;
  EXPECT_TRUE(Checked(IDM_FILTER_RBG1));
}

TEST_F(RenderWindow, ResolutionItemsAreRadioChoicesAppliedAtTheNextFrame) {
  Frame();
  EXPECT_TRUE(Checked(IDM_RES_320));
  EXPECT_EQ(headless::WindowTitle(Window()), "Rendering Window: 320X240");
  ASSERT_TRUE(Command(IDM_RES_320));  // the current size: no request
  EXPECT_EQ(Display()->resizePending, 0);
  ASSERT_TRUE(Command(IDM_RES_640));
  EXPECT_EQ(CheckedResolutionItems(), 1);
  EXPECT_TRUE(Checked(IDM_RES_640));
  EXPECT_EQ(headless::WindowTitle(Window()), "Rendering Window: 320X240") << "not before a frame";
  Frame();
  EXPECT_EQ(headless::WindowTitle(Window()), "Rendering Window: 320X240X2.00=640X480");
  int width = 0, height = 0;
  headless::WindowClientSize(Window(), width, height);
  EXPECT_EQ(width, 640);
  EXPECT_EQ(height, 480);
  // A 320 x 224 picture at 2.0 follows a TVMD write at once.
  WriteWordVDP2Regs(0x00, 0x8000);
  EXPECT_EQ(headless::WindowTitle(Window()), "Rendering Window: 320X224X2.00=640X448");
  Frame();
  ASSERT_TRUE(Capture());
  EXPECT_EQ(pictureWidth, 640);
  EXPECT_EQ(pictureHeight, 448);
}

TEST_F(RenderWindow, CloseBoxAltF4AndEscapeInAWindowLeaveItAsItIs) {
  platform::WindowHandle window = Window();
  ASSERT_TRUE(headless::SendEvent(window, WindowEventKind::Close, 0));
  ASSERT_TRUE(headless::SendEvent(window, WindowEventKind::SysKeyDown, 0x73));  // F4
  ASSERT_TRUE(headless::SendEvent(window, WindowEventKind::KeyDown, 0x1B, true));
  Frame();
  EXPECT_EQ(Window(), window);
  EXPECT_TRUE(headless::WindowHasMenu(window));
  EXPECT_FALSE(headless::WindowIsFullscreen(window));
  EXPECT_EQ(headless::CursorHideCount(), 0);
}

TEST_F(RenderWindow, FullscreenTogglesOnceAtTheNextFrameAndRestartsTheWindow) {
  platform::WindowHandle windowed = Window();
  ASSERT_TRUE(headless::SendEvent(windowed, WindowEventKind::SysKeyDown, platform::kKeyReturn));
  ASSERT_TRUE(Command(IDM_TOGGLE_FULLSCREEN));
  EXPECT_EQ(Window(), windowed) << "nothing happens before the frame";
  Vdp1()->spriteTextures[9].dirty = 0;
  Vdp1()->spriteTextures[9].glTexture = 77;
  Frame();
  platform::WindowHandle full = Window();
  ASSERT_NE(full, windowed);
  EXPECT_TRUE(headless::WindowIsFullscreen(full));
  EXPECT_EQ(headless::LiveWindowCount(), 1);
  EXPECT_EQ(Vdp1()->spriteTextures[9].dirty, 1) << "textures died with the old context";
  EXPECT_EQ(Vdp1()->spriteTextures[9].glTexture, 0u) << "and their names with it";
  int width = 0, height = 0;
  headless::CurrentScreenMode(width, height);
  EXPECT_EQ(width, 320);
  EXPECT_EQ(height, 240);
  Frame();
  EXPECT_EQ(Window(), full) << "two requests before a frame make one toggle";

  // Escape removes the menu and hides the cursor; again brings both back.
  ASSERT_TRUE(headless::SendEvent(full, WindowEventKind::KeyDown, 0x1B, true));
  EXPECT_FALSE(headless::WindowHasMenu(full));
  EXPECT_EQ(headless::CursorHideCount(), 1);
  ASSERT_TRUE(headless::SendEvent(full, WindowEventKind::KeyDown, 0x41, false));  // not Escape
  EXPECT_FALSE(headless::WindowHasMenu(full));
  ASSERT_TRUE(headless::SendEvent(full, WindowEventKind::KeyDown, 0x1B, true));
  EXPECT_TRUE(headless::WindowHasMenu(full));
  EXPECT_EQ(headless::CursorHideCount(), 0);

  // A VDP resolution that outgrows the mode restarts at the next larger one.
  WriteWordVDP2Regs(0x00, 0x8002);  // 640 x 448
  EXPECT_NE(Window(), full);
  headless::CurrentScreenMode(width, height);
  EXPECT_EQ(width, 640);
  EXPECT_EQ(height, 480);
  full = Window();
  WriteWordVDP2Regs(0x00, 0x8012);  // 640 x 480 still fits
  EXPECT_EQ(Window(), full);

  ASSERT_TRUE(headless::SendEvent(full, WindowEventKind::SysKeyDown, platform::kKeyReturn));
  Frame();
  EXPECT_FALSE(headless::WindowIsFullscreen(Window()));
  headless::CurrentScreenMode(width, height);
  EXPECT_EQ(width, 0) << "desktop mode restored";
}

// Milliseconds one call of f takes.
template <typename F>
int64_t MillisecondsOf(F f) {
  const auto start = std::chrono::steady_clock::now();
  f();
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                               start)
      .count();
}

// A held Alt+Enter or an impatient player: toggles and sizes posted every few
// milliseconds while frames are drawn.
TEST_F(RenderWindow, BurstsOfTogglesAndSizesNeverHoldFramesAndLeaveOneWindow) {
  // Something for every switch to act on: a sprite, a polygon and NBG0.
  Vdp1Words(0x00, {0x0000, 0, 0, 0, 0x1000 / 8, 0x0210, 8, 8});  // 16 x 16 sprite at (8, 8)
  Vdp1Words(0x20, {0x0004, 0, 0, 0x001F, 0, 0, 40, 40, 80, 40, 80, 80, 40, 80});  // polygon
  Vdp1Words(0x40, {0x8000});        // end of the table
  WriteWordVDP2Regs(0x20, 0x0001);  // BGON: NBG0 on
  DrawEveryFrame();
  std::atomic<bool> posting{true};
  std::thread player([&] {
    const int kItems[] = {IDM_RES_320,
                          IDM_RES_640,
                          IDM_RES_1024,
                          IDM_TOGGLE_FULLSCREEN,
                          IDM_FILTER_NORMAL_SPRITES,
                          IDM_FILTER_VDP2_ALL,
                          IDM_AA_POLYGONS,
                          IDM_DISABLE_NORMAL_SPRITES,
                          IDM_DISABLE_NBG0,
                          IDM_CLEAR_VDP1_CACHE,
                          IDM_CLEAR_VDP2_CACHE};
    constexpr uint32_t kCount = sizeof(kItems) / sizeof(kItems[0]);
    for (uint32_t random = 7; posting;) {
      random = random * 1103515245 + 12345;
      const uint32_t pick = (random >> 16) % (kCount + 1);
      if (pick < kCount)
        headless::PostEvent(Window(), WindowEventKind::Command, kItems[pick]);
      else  // Alt+Enter
        headless::PostEvent(Window(), WindowEventKind::SysKeyDown, platform::kKeyReturn);
      std::this_thread::sleep_for(std::chrono::milliseconds(1 + (random >> 24) % 10));
    }
  });
  int64_t slowest = 0;
  for (const auto start = std::chrono::steady_clock::now();
       std::chrono::steady_clock::now() - start < std::chrono::seconds(2);)
    slowest = std::max(slowest, MillisecondsOf([&] { Frame(); }));
  posting = false;
  player.join();
  EXPECT_LT(slowest, 2000) << "a frame waited on the window thread";
  Frame();
  Frame();
  EXPECT_EQ(headless::LiveWindowCount(), 1);
  EXPECT_EQ(headless::RunningWindowThreadCount(), 1);
  EXPECT_EQ(Display()->fullscreenTogglePending, 0) << "requests of replaced windows dropped";
  Stop();
  EXPECT_EQ(headless::LiveWindowCount(), 0);
  EXPECT_EQ(headless::RunningWindowThreadCount(), 0);
}

// Nobody answers the refused-mode box, or the window thread stops answering for a while:
// frames keep coming, and the display takes its window back once the thread is free.
TEST_F(RenderWindow, AWindowThreadThatStopsAnsweringHoldsNoFrame) {
  headless::FailNextScreenModeSwitch();
  headless::HoldMessageBoxes(true);
  ASSERT_TRUE(Command(IDM_TOGGLE_FULLSCREEN));
  EXPECT_LT(MillisecondsOf([&] { Frame(); }), 1000) << "the host waited on the box";
  const platform::WindowHandle full = Window();
  ASSERT_NE(full, nullptr);
  EXPECT_TRUE(headless::WindowIsFullscreen(full));
  ASSERT_EQ(headless::MessageBoxes().size(), 1u);
  EXPECT_EQ(headless::MessageBoxes()[0].text, "Unable to switch to fullscreen mode");
  // The box serves the window meanwhile; the toggle back closes the box with its thread.
  ASSERT_TRUE(Command(IDM_TOGGLE_FULLSCREEN));
  EXPECT_LT(MillisecondsOf([&] { Frame(); }), 1000);
  EXPECT_FALSE(headless::WindowIsFullscreen(Window()));
  EXPECT_EQ(headless::RunningWindowThreadCount(), 1);
  headless::HoldMessageBoxes(false);

  // The window thread stalls as the toggle is made: the frame gives up on it. The replaced
  // window stays on screen meanwhile: its toggles are not requests any more, but a size
  // chosen from its menu is kept for the window that replaces it.
  const platform::WindowHandle stalled = Window();
  ASSERT_TRUE(Command(IDM_TOGGLE_FULLSCREEN));
  headless::StallNextMessage(2000);
  EXPECT_LT(MillisecondsOf([&] { Frame(); }), 1800) << "the frame waited on the stalled thread";
  headless::PostEvent(stalled, WindowEventKind::Command, IDM_TOGGLE_FULLSCREEN);
  headless::PostEvent(stalled, WindowEventKind::SysKeyDown, platform::kKeyReturn);
  headless::PostEvent(stalled, WindowEventKind::Command, IDM_RES_640);
  int64_t slowest = 0, frames = 0;
  for (const auto start = std::chrono::steady_clock::now();
       std::chrono::steady_clock::now() - start < std::chrono::seconds(3); ++frames)
    slowest = std::max(slowest, MillisecondsOf([&] { Frame(); }));
  EXPECT_LT(slowest, 1000);
  EXPECT_GT(frames, 20);
  ASSERT_NE(Window(), nullptr) << "a window once the stalled thread has ended";
  EXPECT_TRUE(headless::WindowIsFullscreen(Window())) << "one toggle, none from the old window";
  EXPECT_EQ(headless::LiveWindowCount(), 1);
  int width = 0, height = 0;
  headless::CurrentScreenMode(width, height);
  EXPECT_EQ(width, 640) << "the size chosen in the replaced window is the fullscreen mode";
  EXPECT_TRUE(platform::IsMenuItemChecked(Window(), IDM_RES_640));
}

TEST_F(RenderWindow, ClearCacheCommandsMakeEveryTextureStaleByTheNextFrame) {
  for (auto& t : Vdp1()->spriteTextures) t.dirty = 0;
  for (auto& e : Vdp2()->tileCache) e.dirty = 0;
  ASSERT_TRUE(Command(IDM_CLEAR_VDP1_CACHE));
  ASSERT_TRUE(Command(IDM_CLEAR_VDP2_CACHE));
  ASSERT_TRUE(Command(136));  // an unused identifier inside the range
  Frame();
  EXPECT_EQ(Vdp1()->spriteTextures[1234].dirty, 1);
  EXPECT_EQ(Vdp2()->tileCache[4321].dirty, 1);
  EXPECT_EQ(Vdp2()->planeNeedsFullUpload[NBG0], 1);
}

class RenderWindowFromSettings : public RenderWindow {
 protected:
  void SetUp() override {
    startInSetUp = false;
    RenderWindow::SetUp();
    WriteFile(dir.File("VDP_plugin.ini"),
              "[VDP1]\nNormal sprites filtering=1\n[OPENGL]\nrendering width=1152\n"
              "rendering height=864\n");
    ASSERT_TRUE(Start());
  }
};

TEST_F(RenderWindowFromSettings, LoadedFlagsAreCheckedAndOddSizesCheckNoResolution) {
  Frame();
  EXPECT_EQ(CheckedResolutionItems(), 0);
  EXPECT_EQ(headless::WindowTitle(Window()), "Rendering Window: 320X240X3.20=1024X768");
  // The window was made before the settings were read; the fresh menu of a restart shows
  // the loaded flag checked, and one click clears it.
  ASSERT_TRUE(headless::SendEvent(Window(), WindowEventKind::SysKeyDown, platform::kKeyReturn));
  Frame();
  ASSERT_TRUE(headless::SendEvent(Window(), WindowEventKind::SysKeyDown, platform::kKeyReturn));
  Frame();
  EXPECT_TRUE(Checked(IDM_FILTER_NORMAL_SPRITES));
  ASSERT_TRUE(Command(IDM_FILTER_NORMAL_SPRITES));
  EXPECT_EQ(Vdp1()->switches.normalSpritesFiltering, 0);
}

}  // namespace
}  // namespace vdptest
