// GL operations for VDP1 polygons, polylines and lines: one untextured primitive with a
// colour per corner. The secondary colour is left as the last textured quad set it.
#include "display/gl_api.h"
#include "display/opengl_display.h"

namespace {

// One primitive through the first `count` corners, each with its colour.
void DrawShape(OpenGLDisplay& display, GLenum primitive, const ShadedShape& shape, int count) {
  ++display.counters.shapesDrawn;
  if (!display.glReady) return;
  glBegin(primitive);
  for (int i = 0; i < count; ++i) {
    glColor4f(shape.colours[3 * i], shape.colours[3 * i + 1], shape.colours[3 * i + 2],
              shape.alpha);
    glVertex2f(display.NdcX(shape.vertices[2 * i]), display.NdcY(shape.vertices[2 * i + 1]));
  }
  glEnd();
}

}  // namespace

void OpenGLDisplay::DrawShadedQuad(const ShadedShape& shape) {
  DrawShape(*this, GL_QUADS, shape, 4);
}

void OpenGLDisplay::DrawShadedLineLoop(const ShadedShape& shape) {
  DrawShape(*this, GL_LINE_LOOP, shape, 4);
}

void OpenGLDisplay::DrawShadedLine(const ShadedShape& shape) {
  DrawShape(*this, GL_LINES, shape, 2);
}
