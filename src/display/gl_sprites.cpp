// GL operations for VDP1 sprites.
#include "display/gl_api.h"
#include "display/opengl_display.h"

void OpenGLDisplay::UploadTexture(SpriteTexture&, const uint32_t*) {}
void OpenGLDisplay::DrawTexturedQuad(const SpriteQuad&) {}
