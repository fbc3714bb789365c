// The library's globals: the menu's switches, the three core objects and the module
// instance.
#pragma once

#include "platform/platform.h"

struct Switches;
class VDP1Core;
class VDP2Core;
class OpenGLDisplay;

namespace plugin {
extern Switches* switches;
extern VDP1Core* vdp1;
extern VDP2Core* vdp2;
extern OpenGLDisplay* display;
extern platform::InstanceHandle instance;
}  // namespace plugin
