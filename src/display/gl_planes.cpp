// GL operations for VDP2 planes: bitmap plane textures, tile-page textures of cell
// planes, and the textured quads both are drawn with.
//
// Work is counted when it is asked for; without a current context (a failed start, or a
// display object that was never started) the GL calls themselves are skipped.
#include "display/gl_api.h"
#include "display/opengl_display.h"

namespace {

// A plane quad in normalised device coordinates, textured and coloured: colour =
// texel x multipliers + offsets (secondary colour), opacity = texel alpha x alpha.
void DrawQuad(const OpenGLDisplay& d, GLuint texture, const PlaneQuad& q) {
  const float xa = d.NdcX(q.x0), xb = d.NdcX(q.x1);
  const float ya = d.NdcY(q.y0), yb = d.NdcY(q.y1);
  const GLint filter = q.filter ? GL_LINEAR : GL_NEAREST;
  glBindTexture(GL_TEXTURE_2D, texture);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
  glEnable(GL_TEXTURE_2D);
  glBegin(GL_QUADS);
  glColor4f(q.mulR, q.mulG, q.mulB, q.alpha);
  display::SecondaryColor(q.addR, q.addG, q.addB);
  glTexCoord2f(q.s0, q.t0);
  glVertex2f(xa, ya);
  glTexCoord2f(q.s1, q.t0);
  glVertex2f(xb, ya);
  glTexCoord2f(q.s1, q.t1);
  glVertex2f(xb, yb);
  glTexCoord2f(q.s0, q.t1);
  glVertex2f(xa, yb);
  glEnd();
  glDisable(GL_TEXTURE_2D);
}

}  // namespace

void OpenGLDisplay::UploadPlaneTexture(int slot, const uint32_t* texels, int32_t width,
                                       int32_t height) {
  if (slot < 0 || slot >= 6) return;
  const bool sameSize = width == planeTextureWidth[slot] && height == planeTextureHeight[slot];
  if (sameSize) {
    ++counters.texSubImageCalls;
  } else {
    ++counters.texturesUploaded;
    planeTextureWidth[slot] = width;
    planeTextureHeight[slot] = height;
  }
  if (!glReady) return;
  glBindTexture(GL_TEXTURE_2D, planeTexture[slot]);
  if (sameSize)
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, texels);
  else
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels);
}

void OpenGLDisplay::UpdatePlaneTextureRect(int slot, const uint32_t* texels, int32_t width,
                                           int32_t height, int32_t x, int32_t y) {
  if (slot < 0 || slot >= 6) return;
  ++counters.texSubImageCalls;
  if (!glReady) return;
  glBindTexture(GL_TEXTURE_2D, planeTexture[slot]);
  glTexSubImage2D(GL_TEXTURE_2D, 0, x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, texels);
}

void OpenGLDisplay::DrawBitmapPlaneQuad(int slot, const PlaneQuad& quad) {
  if (slot < 0 || slot >= 6) return;
  ++counters.planeQuadsDrawn;
  if (!glReady) return;
  DrawQuad(*this, planeTexture[slot], quad);
}

void OpenGLDisplay::PreparePlaneTexture(uint32_t address, int32_t width, int32_t height) {
  if (!glReady) return;
  // Texels come from the zero block, which holds the largest plane and no more.
  if (width <= 0 || height <= 0 || width * height > 1024 * 1024) return;
  TilePageTexture& page = tilePageTexture[(address >> 11) & 0xFF];
  if (page.texture != 0 && page.width == width && page.height == height) return;
  if (page.texture == 0) glGenTextures(1, &page.texture);
  // A new or resized texture starts transparent.
  glBindTexture(GL_TEXTURE_2D, page.texture);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, kZeroBlock);
  ++counters.texturesUploaded;
  page.width = width;
  page.height = height;
}

void OpenGLDisplay::UploadPlaneCell(uint32_t address, int32_t /*planeWidth*/,
                                    int32_t /*planeHeight*/, int32_t x, int32_t y,
                                    const uint32_t* texels) {
  ++counters.texSubImageCalls;
  if (!glReady) return;
  glBindTexture(GL_TEXTURE_2D, tilePageTexture[(address >> 11) & 0xFF].texture);
  glTexSubImage2D(GL_TEXTURE_2D, 0, x, y, 8, 8, GL_RGBA, GL_UNSIGNED_BYTE, texels);
}

void OpenGLDisplay::DrawPlaneTextureQuad(uint32_t address, const PlaneQuad& quad) {
  ++counters.planeQuadsDrawn;
  if (!glReady) return;
  DrawQuad(*this, tilePageTexture[(address >> 11) & 0xFF].texture, quad);
}
