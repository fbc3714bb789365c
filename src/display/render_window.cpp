// The render window thread and the rules of its window procedure and menu.
#include "display/render_window.h"

#include "common/switches.h"
#include "display/opengl_display.h"
#include "display/scale_rules.h"
#include "resource_ids.h"

namespace display {

namespace {

constexpr uint32_t kColourFailure = 0x0000FF;
constexpr uint32_t kYesNoExclamation = 0x34;

// A menu item whose check mark mirrors one switch: the value written when the item
// becomes checked (and its opposite when it becomes unchecked).
enum class Target : uint8_t { Switch, PlaneFiltering, PlaneShown };
struct CheckItem {
  int id;
  Target target;
  SharedFlag Switches::*flag;  // Target::Switch
  int plane;                   // the planes' targets: NBG0-NBG3, RBG0, RBG1 as 0-5
  uint8_t checkedValue;
};

constexpr CheckItem SwitchItem(int id, SharedFlag Switches::*flag) {
  return {id, Target::Switch, flag, 0, 1};
}
constexpr CheckItem PlaneItem(int id, Target target, int plane) {
  return {id, target, nullptr, plane, static_cast<uint8_t>(target == Target::PlaneShown ? 0 : 1)};
}

constexpr CheckItem kCheckItems[] = {
    SwitchItem(IDM_FILTER_NORMAL_SPRITES, &Switches::normalSpritesFiltering),
    SwitchItem(IDM_FILTER_DISTORTED_SPRITES, &Switches::distortedSpritesFiltering),
    SwitchItem(IDM_FILTER_SCALED_SPRITES, &Switches::scaledSpritesFiltering),
    SwitchItem(IDM_AA_POLYGONS, &Switches::polygonsAntialiasing),
    SwitchItem(IDM_AA_LINES, &Switches::linesAntialiasing),
    SwitchItem(IDM_AA_POLYLINES, &Switches::polylinesAntialiasing),
    SwitchItem(IDM_DISABLE_NORMAL_SPRITES, &Switches::disableNormalSprites),
    SwitchItem(IDM_DISABLE_DISTORTED_SPRITES, &Switches::disableDistortedSprites),
    SwitchItem(IDM_DISABLE_SCALED_SPRITES, &Switches::disableScaledSprites),
    SwitchItem(IDM_DISABLE_POLYGONS, &Switches::disablePolygons),
    // "Polylines/lines" switches lines only; polylines have no menu item.
    SwitchItem(IDM_DISABLE_LINES, &Switches::disableLines),
    PlaneItem(IDM_FILTER_NBG0, Target::PlaneFiltering, 0),
    PlaneItem(IDM_FILTER_NBG1, Target::PlaneFiltering, 1),
    PlaneItem(IDM_FILTER_NBG2, Target::PlaneFiltering, 2),
    PlaneItem(IDM_FILTER_NBG3, Target::PlaneFiltering, 3),
    PlaneItem(IDM_FILTER_RBG0, Target::PlaneFiltering, 4),
    PlaneItem(IDM_FILTER_RBG1, Target::PlaneFiltering, 5),
    PlaneItem(IDM_DISABLE_NBG0, Target::PlaneShown, 0),
    PlaneItem(IDM_DISABLE_NBG1, Target::PlaneShown, 1),
    PlaneItem(IDM_DISABLE_NBG2, Target::PlaneShown, 2),
    PlaneItem(IDM_DISABLE_NBG3, Target::PlaneShown, 3),
    PlaneItem(IDM_DISABLE_RBG0, Target::PlaneShown, 4),
    PlaneItem(IDM_DISABLE_RBG1, Target::PlaneShown, 5),
    SwitchItem(IDM_DOT_BY_DOT, &Switches::dotByDot),
};

SharedFlag& TargetOf(Switches& s, const CheckItem& item) {
  switch (item.target) {
    case Target::PlaneFiltering:
      return s.planeFiltering[item.plane];
    case Target::PlaneShown:
      return s.planeShown[item.plane];
    default:
      return s.*item.flag;
  }
}

uint8_t ReadTarget(const OpenGLDisplay& d, const CheckItem& item) {
  return d.switches != nullptr ? TargetOf(*d.switches, item).load() : 0;
}

void WriteTarget(OpenGLDisplay& d, const CheckItem& item, uint8_t value) {
  if (d.switches != nullptr) TargetOf(*d.switches, item) = value;
}

const CheckItem* FindCheckItem(int id) {
  for (const CheckItem& item : kCheckItems)
    if (item.id == id) return &item;
  return nullptr;
}

// The menu's check mark decides; the target is not read.
void ToggleCheck(platform::WindowHandle window, OpenGLDisplay& d, const CheckItem& item) {
  const bool nowChecked = !platform::IsMenuItemChecked(window, item.id);
  WriteTarget(d, item, nowChecked ? item.checkedValue : static_cast<uint8_t>(!item.checkedValue));
  platform::SetMenuItemChecked(window, item.id, nowChecked);
}

// "all/none": with none of the items checked, check them all; otherwise uncheck all.
template <size_t N>
void ToggleGroup(platform::WindowHandle window, OpenGLDisplay& d, const int (&ids)[N]) {
  bool anyChecked = false;
  for (int id : ids) anyChecked = anyChecked || platform::IsMenuItemChecked(window, id);
  for (int id : ids) {
    const CheckItem* item = FindCheckItem(id);
    WriteTarget(d, *item, anyChecked ? 0 : 1);
    platform::SetMenuItemChecked(window, id, !anyChecked);
  }
}

constexpr int kSpriteFilterItems[] = {IDM_FILTER_NORMAL_SPRITES, IDM_FILTER_DISTORTED_SPRITES,
                                      IDM_FILTER_SCALED_SPRITES};
constexpr int kPlaneFilterItems[] = {IDM_FILTER_NBG0, IDM_FILTER_NBG1, IDM_FILTER_NBG2,
                                     IDM_FILTER_NBG3, IDM_FILTER_RBG0, IDM_FILTER_RBG1};

void ChooseRenderingSize(platform::WindowHandle window, OpenGLDisplay& d, int index) {
  for (int i = 0; i < 7; ++i)
    platform::SetMenuItemChecked(window, kRenderingSizes[i].menuId, i == index);
  d.SetRenderingSize(kRenderingSizes[index].width, kRenderingSizes[index].height);
}

void RunCommand(platform::WindowHandle window, OpenGLDisplay& d, uint32_t id) {
  if (const CheckItem* item = FindCheckItem(static_cast<int>(id))) {
    ToggleCheck(window, d, *item);
    return;
  }
  for (int i = 0; i < 7; ++i) {
    if (kRenderingSizes[i].menuId == static_cast<int>(id)) {
      ChooseRenderingSize(window, d, i);
      return;
    }
  }
  switch (id) {
    case IDM_FILTER_VDP1_ALL:
      ToggleGroup(window, d, kSpriteFilterItems);
      break;
    case IDM_FILTER_VDP2_ALL:
      ToggleGroup(window, d, kPlaneFilterItems);
      break;
    case IDM_TOGGLE_FULLSCREEN:
      d.RequestFullscreenToggle();
      break;
    // Cache clearing is handed to the host thread, which may be drawing from the caches.
    case IDM_CLEAR_VDP1_CACHE:
      d.RequestClearVDP1Cache();
      break;
    case IDM_CLEAR_VDP2_CACHE:
      d.RequestClearVDP2Cache();
      break;
    default:
      break;
  }
}

}  // namespace

void SyncMenuChecks(platform::WindowHandle window) {
  OpenGLDisplay* d = CurrentDisplay();
  if (d == nullptr || window == nullptr) return;
  const int index = d->GetResolutionIndex();
  if (index >= 0)
    for (int i = 0; i < 7; ++i)
      platform::SetMenuItemChecked(window, kRenderingSizes[i].menuId, i == index);
  // Items whose state is "on" get their mark; the others are left as they are.
  for (const CheckItem& item : kCheckItems)
    if (ReadTarget(*d, item) == item.checkedValue)
      platform::SetMenuItemChecked(window, item.id, true);
}

// Escape in fullscreen: the menu and the cursor go, or come back.
void ToggleMenuAndCursor(platform::WindowHandle window, OpenGLDisplay& d) {
  if (!d.fullscreen) return;
  d.menuShown = d.menuShown ? 0 : 1;
  if (d.menuShown) {
    platform::AttachFreshMenu(window, d.instance);
    SyncMenuChecks(window);
    if (d.cursorHidden) {
      platform::ShowMouseCursor(true);
      d.cursorHidden = 0;
    }
  } else {
    platform::DetachMenu(window);
    if (!d.cursorHidden) {
      platform::ShowMouseCursor(false);
      d.cursorHidden = 1;
    }
  }
}

bool DisplayWindowProc(platform::WindowHandle window, const platform::WindowEvent& event) {
  OpenGLDisplay* d = CurrentDisplay();
  using platform::WindowEventKind;
  if (event.kind == WindowEventKind::Create) {
    SyncMenuChecks(window);
    return true;
  }
  if (event.kind == WindowEventKind::Destroy) {
    platform::PostQuit();
    // Only the display's own window gives its handle up: a replaced window that is
    // destroyed late must not take the handle of the window that replaced it.
    if (d != nullptr) d->windowHandle.compare_exchange_strong(window, nullptr);
    return true;
  }
  if (d == nullptr) return true;
  // A window being replaced stays on screen until its thread ends, which a closing message
  // box can hold up for seconds. What the player picks from its menu is kept for the
  // window that replaces it; a fullscreen toggle or Escape there would act on a window that
  // is going, and the toggle that replaces it is the one under way.
  const bool replaced = d->windowHandle.load() != window;
  switch (event.kind) {
    case WindowEventKind::Close:
      return true;  // the window lives as long as the display
    case WindowEventKind::KeyDown:
      if (!replaced && platform::IsEscapeKeyDown()) ToggleMenuAndCursor(window, *d);
      return true;
    case WindowEventKind::SysKeyDown:
      // Alt+Enter toggles fullscreen; every other system key (Alt+F4 too) is swallowed.
      if (!replaced && event.value == platform::kKeyReturn) d->RequestFullscreenToggle();
      return true;
    case WindowEventKind::Command:
      if (replaced && event.value == IDM_TOGGLE_FULLSCREEN) return true;
      if (event.value >= 107 && event.value <= IDM_DOT_BY_DOT) RunCommand(window, *d, event.value);
      return true;
    default:
      return true;
  }
}

namespace {
// The window this thread made, while the display still has it.
thread_local platform::WindowHandle ownWindow = nullptr;
}  // namespace

// The refused-mode box is shown once the window is published, so that the host never
// waits on the player's answer; the box's own loop serves the window meanwhile, and a
// restart that ends the thread closes the box with it.
void RenderWindowThread() {
  OpenGLDisplay* d = CurrentDisplay();
  if (d == nullptr) return;
  platform::RegisterDisplayClass(d->instance, DisplayWindowProc);
  const bool full = d->fullscreen != 0;
  bool modeRefused = false;
  if (full) {
    modeRefused = !platform::SwitchScreenMode(d->renderWidth, d->renderHeight);
    d->screenModeSwitched = modeRefused ? 0 : 1;
  }
  const int width = full ? d->renderWidth.load() : d->PictureWidth();
  const int height = full ? d->renderHeight.load() : d->PictureHeight();
  const platform::WindowHandle window =
      platform::CreateDisplayWindow(d->instance, full, width, height);
  ownWindow = window;
  d->windowHandle = window;
  if (window == nullptr) {
    if (d->messageCallback != nullptr)
      d->messageCallback("OpenGL Plugin: window creation failed", kColourFailure);
    return;
  }
  // Sized and with its menu before it is shown: the first frame the player sees takes
  // menu choices.
  if (!full) {
    platform::FitWindowToPicture(window, d->PictureWidth(), d->PictureHeight());
    platform::AttachFreshMenu(window, d->instance);
    SyncMenuChecks(window);
    if (!d->menuShown && d->cursorHidden) {
      platform::ShowMouseCursor(true);
      d->cursorHidden = 0;
    }
  } else if (!d->menuShown) {
    platform::DetachMenu(window);
    if (!d->cursorHidden) {
      platform::ShowMouseCursor(false);
      d->cursorHidden = 1;
    }
  }
  platform::ShowDisplayWindow(window);
  if (modeRefused)
    platform::ShowMessageBox("Unable to switch to fullscreen mode", "Error", kYesNoExclamation);
  platform::RunMessageLoop([]() -> platform::WindowHandle {
    const OpenGLDisplay* current = CurrentDisplay();
    return current != nullptr && current->windowHandle.load() == ownWindow ? ownWindow : nullptr;
  });
}

}  // namespace display
