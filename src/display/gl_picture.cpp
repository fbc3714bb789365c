// The dot-by-dot renderer's picture on screen: one texture, updated in place each frame,
// drawn as one quad over the whole picture area.
#include "display/gl_api.h"
#include "display/opengl_display.h"

namespace {

// The largest picture (704 x 512) fits a texture of these power-of-two sides, which
// OpenGL 1.1 requires.
constexpr GLsizei kTextureWidth = 1024;
constexpr GLsizei kTextureHeight = 512;

#ifndef GL_UNPACK_ROW_LENGTH
#define GL_UNPACK_ROW_LENGTH 0x0CF2
#endif

}  // namespace

void OpenGLDisplay::DrawPicture(const uint32_t* texels, int width, int height, int pitch,
                                bool linear) {
  if (width <= 0 || height <= 0 || width > kTextureWidth || height > kTextureHeight) return;
  ++counters.texSubImageCalls;
  ++counters.planeQuadsDrawn;
  if (!glReady) return;
  if (pictureTexture == 0) {
    glGenTextures(1, &pictureTexture);
    glBindTexture(GL_TEXTURE_2D, pictureTexture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, kTextureWidth, kTextureHeight, 0, GL_RGBA,
                 GL_UNSIGNED_BYTE, kZeroBlock);
    ++counters.texturesUploaded;
  }
  glBindTexture(GL_TEXTURE_2D, pictureTexture);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, pitch);
  glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, texels);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
  const GLint filter = linear ? GL_LINEAR : GL_NEAREST;
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);

  const float u = static_cast<float>(width) / kTextureWidth;
  const float v = static_cast<float>(height) / kTextureHeight;
  glDisable(GL_BLEND);
  glEnable(GL_TEXTURE_2D);
  glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
  display::SecondaryColor(0.0f, 0.0f, 0.0f);
  glBegin(GL_QUADS);
  glTexCoord2f(0.0f, 0.0f);
  glVertex2f(-1.0f, 1.0f);
  glTexCoord2f(u, 0.0f);
  glVertex2f(1.0f, 1.0f);
  glTexCoord2f(u, v);
  glVertex2f(1.0f, -1.0f);
  glTexCoord2f(0.0f, v);
  glVertex2f(-1.0f, -1.0f);
  glEnd();
  glDisable(GL_TEXTURE_2D);
  glEnable(GL_BLEND);
}
