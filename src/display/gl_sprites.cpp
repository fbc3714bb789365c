// GL operations for VDP1 sprites: texture uploads into the cache entries' names and one
// textured quad per sprite.
#include "display/gl_api.h"
#include "display/opengl_display.h"

void OpenGLDisplay::UploadTexture(SpriteTexture& entry, const uint32_t* pixels) {
  ++counters.texturesUploaded;
  if (!glReady) return;
  // An entry keeps its name for good; every rebuild re-specifies the same texture.
  if (entry.glTexture == 0) {
    GLuint name = 0;
    glGenTextures(1, &name);
    entry.glTexture = name;
  }
  glBindTexture(GL_TEXTURE_2D, entry.glTexture);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, static_cast<GLsizei>(entry.paddedWidth),
               static_cast<GLsizei>(entry.paddedHeight), 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
}

void OpenGLDisplay::DrawTexturedQuad(const SpriteQuad& quad) {
  ++counters.texturedQuadsDrawn;
  if (!glReady) return;
  glBindTexture(GL_TEXTURE_2D, quad.texture);
  const GLint filter = quad.filtering ? GL_LINEAR : GL_NEAREST;
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);

  // Unflipped, A shows the top-left texel, B the top-right, C the bottom-right.
  const float left = quad.flipH ? quad.uMax : 0.0f;
  const float right = quad.flipH ? 0.0f : quad.uMax;
  const float top = quad.flipV ? quad.vMax : 0.0f;
  const float bottom = quad.flipV ? 0.0f : quad.vMax;
  const float u[4] = {left, right, right, left};
  const float v[4] = {top, top, bottom, bottom};

  glEnable(GL_TEXTURE_2D);
  glBegin(GL_QUADS);
  for (int i = 0; i < 4; ++i) {
    glTexCoord2f(u[i], v[i]);
    glColor4f(quad.primary[3 * i], quad.primary[3 * i + 1], quad.primary[3 * i + 2], quad.alpha);
    display::SecondaryColor(quad.secondary[3 * i], quad.secondary[3 * i + 1],
                            quad.secondary[3 * i + 2]);
    glVertex2f(NdcX(quad.x[i]), NdcY(quad.y[i]));
  }
  glEnd();
  glDisable(GL_TEXTURE_2D);
}
