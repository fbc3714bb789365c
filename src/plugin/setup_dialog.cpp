// SetupPlugin: the modeless "Scroll screens modes" dialog, one at a time.
#include "platform/platform.h"
#include "plugin/plugin_api.h"
#include "plugin/plugin_globals.h"
#include "resource_ids.h"
#include "vdp2/vdp2_core.h"

namespace {

platform::WindowHandle setupDialog = nullptr;

void OnDialogCommand(int controlId) {
  int plane = -1;
  switch (controlId) {
    case IDC_NBG0_PATTERNS:
      plane = NBG0;
      break;
    case IDC_NBG1_PATTERNS:
      plane = NBG1;
      break;
    case IDC_NBG2_PATTERNS:
      plane = NBG2;
      break;
    case IDC_NBG3_PATTERNS:
      plane = NBG3;
      break;
    default:
      return;
  }
  if (plugin::vdp2 != nullptr) plugin::vdp2->ShowPatterns(plane, 0);
}

void OnDialogClosed() { setupDialog = nullptr; }

}  // namespace

void VDP_CDECL SetupPlugin() {
  if (setupDialog != nullptr) return;
  setupDialog = platform::CreateSetupDialog(plugin::instance, platform::FindHostWindow(),
                                            OnDialogCommand, OnDialogClosed);
}
