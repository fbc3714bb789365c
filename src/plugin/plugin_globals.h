// The library's globals: the three core objects and the module instance.
#pragma once

#include "platform/platform.h"

class VDP1Core;
class VDP2Core;
class OpenGLDisplay;

namespace plugin {
extern VDP1Core* vdp1;
extern VDP2Core* vdp2;
extern OpenGLDisplay* display;
extern platform::InstanceHandle instance;
}  // namespace plugin
