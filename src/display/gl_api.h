// OpenGL 1.1 headers and the one extension entry point the plugin uses.
#pragma once

#if defined(_WIN32)
#include <windows.h>
#define VDP_GLAPI __stdcall
#else
#define VDP_GLAPI
#endif
#include <GL/gl.h>

#ifndef GL_COLOR_SUM_EXT
#define GL_COLOR_SUM_EXT 0x8458
#endif
#ifndef GL_LIGHT_MODEL_COLOR_CONTROL
#define GL_LIGHT_MODEL_COLOR_CONTROL 0x81F8
#endif
#ifndef GL_SEPARATE_SPECULAR_COLOR
#define GL_SEPARATE_SPECULAR_COLOR 0x81FA
#endif

namespace display {

using SecondaryColor3fProc = void(VDP_GLAPI*)(GLfloat, GLfloat, GLfloat);

// glSecondaryColor3fEXT of the current context, looked up by InitOpenglAPI; null when the
// driver lacks EXT_secondary_color, and then the added colour is skipped.
extern SecondaryColor3fProc secondaryColor3f;

inline void SecondaryColor(GLfloat r, GLfloat g, GLfloat b) {
  if (secondaryColor3f != nullptr) secondaryColor3f(r, g, b);
}

}  // namespace display
