// GL operations for VDP1 polygons, polylines and lines.
#include "display/gl_api.h"
#include "display/opengl_display.h"

void OpenGLDisplay::DrawShadedQuad(const ShadedShape&) {}
void OpenGLDisplay::DrawShadedLineLoop(const ShadedShape&) {}
void OpenGLDisplay::DrawShadedLine(const ShadedShape&) {}
