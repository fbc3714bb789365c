// Start, stop and reset of the plugin, the about box, and the frame event.
#include <new>

#include "display/opengl_display.h"
#include "display/render_window.h"
#include "platform/platform.h"
#include "plugin/dot_frames.h"
#include "plugin/plugin_api.h"
#include "plugin/plugin_globals.h"
#include "vdp1/vdp1_core.h"
#include "vdp2/vdp2_core.h"

namespace plugin {
Switches* switches = nullptr;
VDP1Core* vdp1 = nullptr;
VDP2Core* vdp2 = nullptr;
OpenGLDisplay* display = nullptr;
platform::InstanceHandle instance = nullptr;
}  // namespace plugin

namespace {

constexpr uint32_t kIconInformation = 0x40;

// The cores' caches, for the display's requests and restarts.
class CoreTextureCaches final : public TextureCaches {
 public:
  void ClearVDP1Cache() override { plugin::vdp1->ClearCache(); }
  void ClearVDP2Cache() override { plugin::vdp2->ClearCache(); }
  void ForgetTextureNames() override {
    plugin::vdp1->ForgetTextureNames();
    plugin::vdp2->ClearCache();
  }
};
CoreTextureCaches coreCaches;

void DeleteObjects() {
  plugin::StopDotRenderer();  // saves the renderer's switch
  delete plugin::display;     // saves the rendering size
  delete plugin::vdp1;        // saves the VDP1 quality flags
  delete plugin::vdp2;
  delete plugin::switches;
  plugin::display = nullptr;
  plugin::vdp1 = nullptr;
  plugin::vdp2 = nullptr;
  plugin::switches = nullptr;
  SetCurrentDisplay(nullptr);
}

}  // namespace

bool VDP_CDECL InitVDPPlugin(PluginInitInfo* info) {
  if (info == nullptr) return false;
  plugin::instance = info->instance;
  plugin::switches = new (std::nothrow) Switches;
  if (plugin::switches == nullptr) return false;
  plugin::vdp1 = new (std::nothrow) VDP1Core(*info, *plugin::switches);
  plugin::vdp2 = new (std::nothrow) VDP2Core(*info, *plugin::switches);
  plugin::display = new (std::nothrow) OpenGLDisplay(*info);
  if (plugin::vdp1 == nullptr || plugin::vdp2 == nullptr || plugin::display == nullptr) {
    DeleteObjects();
    return false;
  }
  plugin::vdp1->ConnectCores(plugin::vdp2, plugin::display);
  plugin::vdp2->ConnectCores(plugin::vdp1, plugin::display);
  plugin::display->Connect(plugin::switches, &coreCaches);
  // Before the window is made, so that its menu marks the renderer from the start.
  plugin::StartDotRenderer(*info);
  SetCurrentDisplay(plugin::display);
  const bool started = plugin::display->Init(info->instance, display::RenderWindowThread);
  // Without a window nothing runs, and the host is told so. The objects stay until
  // DeInitPlugin, which the host still calls last.
  return started;
}

void VDP_CDECL DeInitPlugin() {
  if (plugin::display == nullptr) return;
  plugin::display->Shutdown();
  DeleteObjects();
}

// Reset and the frame event before the start or after the stop find no cores and return.
void VDP_CDECL Reset() {
  if (plugin::display == nullptr) return;
  plugin::vdp1->Reset();
  plugin::vdp2->Reset();
}

void VDP_CDECL DisplayPluginInfo() {
  platform::ShowMessageBox("OpenGL VDP plugin Ver 1.0.1", "About", kIconInformation);
}

void VDP_CDECL VDPOnVblankOut() {
  if (plugin::display == nullptr) return;
  plugin::display->ProcessPendingRequests();
  if (!plugin::PresentDotFrame()) plugin::vdp1->DrawFrame();
  plugin::vdp2->VDPOnVblankOut();
  plugin::StartNextPeriod();
}
