// The render window thread and its window procedure.
#pragma once

#include "platform/platform.h"

namespace display {

// Thread procedure: class, screen mode, window, menu, message loop.
void RenderWindowThread();
// The window procedure's rules; true when the event was handled.
bool DisplayWindowProc(platform::WindowHandle window, const platform::WindowEvent& event);
// Check marks of the window's current menu from the current state.
void SyncMenuChecks(platform::WindowHandle window);

}  // namespace display
