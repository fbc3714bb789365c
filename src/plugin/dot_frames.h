// The plugin's side of the dot-by-dot renderer: which renderer draws the display period
// under way, the chips' view the renderer reads, its frame events, and its setting.
#pragma once

#include <cstdint>

#include "common/host_types.h"

namespace dots {
class DotRenderer;
}

namespace plugin {

// While the display period under way is drawn dot by dot: the renderer; else null. Set at
// V-blank out from the menu's switch, so a switch takes effect at the next frame.
extern dots::DotRenderer* drawingDots;

// InitVDPPlugin, once the cores exist: its setting, the renderer and its view of them (a
// renderer that cannot be allocated leaves the switch without effect).
void StartDotRenderer(const PluginInitInfo& info);
// DeInitPlugin: the setting saved, the renderer gone.
void StopDotRenderer();

// The renderer as it was made (both frame buffers clear), for a caller that clears the
// chips' memories behind the host's back.
void ResetDotRenderer();

// V-blank in: the period's picture, composed from its lines.
void EndDotPeriod();
// V-blank out: when the switch names the dot-by-dot renderer, the ended period's picture
// is shown and true returned; false leaves the frame to the OpenGL renderer.
bool PresentDotFrame();
// V-blank out, last: the next period starts, drawn by the renderer the switch names.
void StartNextPeriod();
// A VDP1 register write while drawing dot by dot: frame changes and draws it asks for.
void DotVdp1RegisterWritten(uint32_t address, uint16_t value);

}  // namespace plugin
