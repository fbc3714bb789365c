// The render window thread and the rules of its window procedure and menu.
#include "display/render_window.h"

#include "display/opengl_display.h"
#include "display/scale_rules.h"
#include "resource_ids.h"
#include "vdp1/vdp1_core.h"
#include "vdp2/vdp2_core.h"

namespace display {

namespace {

constexpr uint32_t kColourFailure = 0x0000FF;
constexpr uint32_t kYesNoExclamation = 0x34;

// A menu item whose check mark mirrors one byte: the value written when the item
// becomes checked and when it becomes unchecked.
enum class Target : uint8_t { VDP1Quality, VDP1Switch, PlaneFiltering, PlaneShown };
struct CheckItem {
  int id;
  Target target;
  int index;  // accessor index or PlaneId
  uint8_t checkedValue;
};

// VDP1 accessor indexes: switches and quality flags share this order.
constexpr int kNormal = 0, kScaled = 1, kDistorted = 2, kPolygons = 3, kPolylines = 4, kLines = 5;

constexpr CheckItem kCheckItems[] = {
    {IDM_FILTER_NORMAL_SPRITES, Target::VDP1Quality, kNormal, 1},
    {IDM_FILTER_DISTORTED_SPRITES, Target::VDP1Quality, kDistorted, 1},
    {IDM_FILTER_SCALED_SPRITES, Target::VDP1Quality, kScaled, 1},
    {IDM_AA_POLYGONS, Target::VDP1Quality, kPolygons, 1},
    {IDM_AA_LINES, Target::VDP1Quality, kLines, 1},
    {IDM_AA_POLYLINES, Target::VDP1Quality, kPolylines, 1},
    {IDM_DISABLE_NORMAL_SPRITES, Target::VDP1Switch, kNormal, 1},
    {IDM_DISABLE_DISTORTED_SPRITES, Target::VDP1Switch, kDistorted, 1},
    {IDM_DISABLE_SCALED_SPRITES, Target::VDP1Switch, kScaled, 1},
    {IDM_DISABLE_POLYGONS, Target::VDP1Switch, kPolygons, 1},
    // "Polylines/lines" switches lines only; polylines have no menu item.
    {IDM_DISABLE_LINES, Target::VDP1Switch, kLines, 1},
    {IDM_FILTER_NBG0, Target::PlaneFiltering, NBG0, 1},
    {IDM_FILTER_NBG1, Target::PlaneFiltering, NBG1, 1},
    {IDM_FILTER_NBG2, Target::PlaneFiltering, NBG2, 1},
    {IDM_FILTER_NBG3, Target::PlaneFiltering, NBG3, 1},
    {IDM_FILTER_RBG0, Target::PlaneFiltering, RBG0, 1},
    {IDM_FILTER_RBG1, Target::PlaneFiltering, RBG1, 1},
    {IDM_DISABLE_NBG0, Target::PlaneShown, NBG0, 0},
    {IDM_DISABLE_NBG1, Target::PlaneShown, NBG1, 0},
    {IDM_DISABLE_NBG2, Target::PlaneShown, NBG2, 0},
    {IDM_DISABLE_NBG3, Target::PlaneShown, NBG3, 0},
    {IDM_DISABLE_RBG0, Target::PlaneShown, RBG0, 0},
    {IDM_DISABLE_RBG1, Target::PlaneShown, RBG1, 0},
};

uint8_t ReadTarget(const OpenGLDisplay& d, const CheckItem& item) {
  switch (item.target) {
    case Target::VDP1Quality:
      return d.vdp1->GetQualityFlag(item.index);
    case Target::VDP1Switch:
      return d.vdp1->GetUserSwitch(item.index);
    case Target::PlaneFiltering:
      return d.vdp2->GetPlaneFiltering(item.index);
    case Target::PlaneShown:
      return d.vdp2->IsPlaneShown(item.index);
  }
  return 0;
}

void WriteTarget(OpenGLDisplay& d, const CheckItem& item, uint8_t value) {
  switch (item.target) {
    case Target::VDP1Quality:
      d.vdp1->SetQualityFlag(item.index, value);
      break;
    case Target::VDP1Switch:
      d.vdp1->SetUserSwitch(item.index, value);
      break;
    case Target::PlaneFiltering:
      d.vdp2->SetPlaneFiltering(item.index, value);
      break;
    case Target::PlaneShown:
      d.vdp2->SetPlaneShown(item.index, value);
      break;
  }
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
      if (event.value >= 107 && event.value <= 151) RunCommand(window, *d, event.value);
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
