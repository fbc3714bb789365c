// GL operations for VDP1 polygons, polylines and lines: one untextured primitive with a
// colour per corner. The secondary colour is left as the last textured quad set it.
#include "display/gl_api.h"
#include "display/opengl_display.h"

namespace {

void EmitCorners(const OpenGLDisplay& display, const ShadedShape& shape, int count) {
  for (int i = 0; i < count; ++i) {
    glColor4f(shape.colours[3 * i], shape.colours[3 * i + 1], shape.colours[3 * i + 2],
              shape.alpha);
    glVertex2f(display.NdcX(shape.vertices[2 * i]), display.NdcY(shape.vertices[2 * i + 1]));
  }
}

}  // namespace

void OpenGLDisplay::DrawShadedQuad(const ShadedShape& shape) {
  ++counters.shapesDrawn;
  if (!glReady) return;
  glBegin(GL_QUADS);
  EmitCorners(*this, shape, 4);
  glEnd();
}

void OpenGLDisplay::DrawShadedLineLoop(const ShadedShape& shape) {
  ++counters.shapesDrawn;
  if (!glReady) return;
  glBegin(GL_LINE_LOOP);
  EmitCorners(*this, shape, 4);
  glEnd();
}

void OpenGLDisplay::DrawShadedLine(const ShadedShape& shape) {
  ++counters.shapesDrawn;
  if (!glReady) return;
  glBegin(GL_LINES);
  EmitCorners(*this, shape, 2);
  glEnd();
}
