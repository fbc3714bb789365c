// The thin exports: each forwards to one method of one core object.
//
// The cores exist from InitVDPPlugin to DeInitPlugin. A host that calls out of order
// (a blanking event before the start, one more register write after the stop) finds no
// core: writes are dropped and reads answer 0. The test on the core's pointer is the only
// cost, and it always goes the same way in a running emulator.
#include "dots/dot_renderer.h"
#include "plugin/dot_frames.h"
#include "plugin/plugin_api.h"
#include "plugin/plugin_globals.h"
#include "vdp1/vdp1_core.h"
#include "vdp2/vdp2_core.h"

using plugin::vdp1;
using plugin::vdp2;

void VDP_CDECL VDPOnVblankIn() {
  if (vdp2 == nullptr) return;
  vdp2->VDPOnVblankIn();
  if (plugin::drawingDots != nullptr) plugin::EndDotPeriod();
}
void VDP_CDECL VDPOnHblankIn() {
  if (vdp2 != nullptr) vdp2->VDPOnHblankIn();
}
void VDP_CDECL VDPOnHblankOut() {
  if (vdp2 != nullptr) vdp2->VDPOnHblankOut();
}

void VDP_FASTCALL WriteWordVDP1Regs(uint32_t a, uint16_t v) {
  if (vdp1 == nullptr) return;
  vdp1->WriteWordVDP1Regs(a, v);
  if (plugin::drawingDots != nullptr) plugin::DotVdp1RegisterWritten(a, v);
}
uint16_t VDP_FASTCALL ReadWordVDP1Regs(uint32_t a) {
  return vdp1 != nullptr ? vdp1->ReadWordVDP1Regs(a) : 0;
}
void VDP_FASTCALL WriteByteVDP1VRAM(uint32_t a, uint8_t v) {
  if (vdp1 != nullptr) vdp1->WriteByteVDP1VRAM(a, v);
}
void VDP_FASTCALL WriteWordVDP1VRAM(uint32_t a, uint16_t v) {
  if (vdp1 != nullptr) vdp1->WriteWordVDP1VRAM(a, v);
}
void VDP_FASTCALL WriteLongVDP1VRAM(uint32_t a, uint32_t v) {
  if (vdp1 != nullptr) vdp1->WriteLongVDP1VRAM(a, v);
}
uint8_t VDP_FASTCALL ReadByteVDP1VRAM(uint32_t a) {
  return vdp1 != nullptr ? vdp1->ReadByteVDP1VRAM(a) : 0;
}
uint16_t VDP_FASTCALL ReadWordVDP1VRAM(uint32_t a) {
  return vdp1 != nullptr ? vdp1->ReadWordVDP1VRAM(a) : 0;
}
uint32_t VDP_FASTCALL ReadLongVDP1VRAM(uint32_t a) {
  return vdp1 != nullptr ? vdp1->ReadLongVDP1VRAM(a) : 0;
}

// The VDP1 frame buffer exists in the dot-by-dot renderer only: the host sees its draw
// buffer. The OpenGL renderer's picture exists only in the GL back buffer.
using plugin::drawingDots;
void VDP_FASTCALL WriteByteVDP1FrameBuffer(uint32_t a, uint8_t v) {
  if (drawingDots != nullptr) drawingDots->frameBuffers.WriteByte(a, v);
}
void VDP_FASTCALL WriteWordVDP1FrameBuffer(uint32_t a, uint16_t v) {
  if (drawingDots != nullptr) drawingDots->frameBuffers.WriteWord(a, v);
}
void VDP_FASTCALL WriteLongVDP1FrameBuffer(uint32_t a, uint32_t v) {
  if (drawingDots != nullptr) drawingDots->frameBuffers.WriteLong(a, v);
}
uint8_t VDP_FASTCALL ReadByteVDP1FrameBuffer(uint32_t a) {
  return drawingDots != nullptr ? drawingDots->frameBuffers.ReadByte(a) : 0;
}
uint16_t VDP_FASTCALL ReadWordVDP1FrameBuffer(uint32_t a) {
  return drawingDots != nullptr ? drawingDots->frameBuffers.ReadWord(a) : 0;
}
uint32_t VDP_FASTCALL ReadLongVDP1FrameBuffer(uint32_t a) {
  return drawingDots != nullptr ? drawingDots->frameBuffers.ReadLong(a) : 0;
}

void VDP_FASTCALL WriteWordVDP2Regs(uint32_t a, uint16_t v) {
  if (vdp2 != nullptr) vdp2->WriteWordVDP2Regs(a, v);
}
void VDP_FASTCALL WriteLongVDP2Regs(uint32_t a, uint32_t v) {
  if (vdp2 != nullptr) vdp2->WriteLongVDP2Regs(a, v);
}
uint16_t VDP_FASTCALL ReadWordVDP2Regs(uint32_t a) {
  return vdp2 != nullptr ? vdp2->ReadWordVDP2Regs(a) : 0;
}
uint32_t VDP_FASTCALL ReadLongVDP2Regs(uint32_t a) {
  return vdp2 != nullptr ? vdp2->ReadLongVDP2Regs(a) : 0;
}
void VDP_FASTCALL WriteByteVDP2VRAM(uint32_t a, uint8_t v) {
  if (vdp2 != nullptr) vdp2->WriteByteVDP2VRAM(a, v);
}
void VDP_FASTCALL WriteWordVDP2VRAM(uint32_t a, uint16_t v) {
  if (vdp2 != nullptr) vdp2->WriteWordVDP2VRAM(a, v);
}
void VDP_FASTCALL WriteLongVDP2VRAM(uint32_t a, uint32_t v) {
  if (vdp2 != nullptr) vdp2->WriteLongVDP2VRAM(a, v);
}
uint8_t VDP_FASTCALL ReadByteVDP2VRAM(uint32_t a) {
  return vdp2 != nullptr ? vdp2->ReadByteVDP2VRAM(a) : 0;
}
uint16_t VDP_FASTCALL ReadWordVDP2VRAM(uint32_t a) {
  return vdp2 != nullptr ? vdp2->ReadWordVDP2VRAM(a) : 0;
}
uint32_t VDP_FASTCALL ReadLongVDP2VRAM(uint32_t a) {
  return vdp2 != nullptr ? vdp2->ReadLongVDP2VRAM(a) : 0;
}
void VDP_FASTCALL WriteWordVDP2CRAM(uint32_t a, uint16_t v) {
  if (vdp2 != nullptr) vdp2->WriteWordVDP2CRAM(a, v);
}
void VDP_FASTCALL WriteLongVDP2CRAM(uint32_t a, uint32_t v) {
  if (vdp2 != nullptr) vdp2->WriteLongVDP2CRAM(a, v);
}
uint16_t VDP_FASTCALL ReadWordVDP2CRAM(uint32_t a) {
  return vdp2 != nullptr ? vdp2->ReadWordVDP2CRAM(a) : 0;
}
uint32_t VDP_FASTCALL ReadLongVDP2CRAM(uint32_t a) {
  return vdp2 != nullptr ? vdp2->ReadLongVDP2CRAM(a) : 0;
}
