// Shared between the headless window system and its GL layer.
#pragma once

#include <atomic>

#include "platform/platform.h"

namespace headless {
// Set by FailNextContextCreation.
extern std::atomic<bool> failContext;
// The client area of a live window; false when the window is gone.
bool ClientSizeOf(platform::WindowHandle window, int& width, int& height);
}  // namespace headless
