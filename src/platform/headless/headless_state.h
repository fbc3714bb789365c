// Shared between the headless window system and its GL layer.
#pragma once

#include "platform/platform.h"

namespace headless {
// The client area of a live window; false when the window is gone.
bool ClientSizeOf(platform::WindowHandle window, int& width, int& height);
}  // namespace headless
