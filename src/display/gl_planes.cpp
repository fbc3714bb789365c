// GL operations for VDP2 planes.
#include "display/gl_api.h"
#include "display/opengl_display.h"

void OpenGLDisplay::UploadPlaneTexture(int, const uint32_t*, int32_t, int32_t) {}
void OpenGLDisplay::UpdatePlaneTextureRect(int, const uint32_t*, int32_t, int32_t, int32_t,
                                           int32_t) {}
void OpenGLDisplay::DrawBitmapPlaneQuad(int, const PlaneQuad&) {}
void OpenGLDisplay::PreparePlaneTexture(uint32_t, int32_t, int32_t) {}
void OpenGLDisplay::UploadPlaneCell(uint32_t, int32_t, int32_t, int32_t, int32_t,
                                    const uint32_t*) {}
void OpenGLDisplay::DrawPlaneTextureQuad(uint32_t, const PlaneQuad&) {}
