// The chips as the dot-by-dot renderer's composer sees them, owned by a test: VDP1 and
// VDP2 registers and memories, colour RAM, a displayed frame buffer and a line log; writes
// into them as tables of pokes, and the picture composed from them.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "dots/screen_composer.h"

namespace dotstest {

// One write into the chips before composing: a VDP2 register (byte offset), VDP2 VRAM
// byte, word or long, colour RAM word, frame-buffer byte or word, VDP1 register (index),
// or a logged register write (line << 16 | offset).
enum Kind : uint8_t { kReg, kByte, kWord, kLong, kCram, kFbByte, kFbWord, kVdp1Reg, kLog };
struct Poke {
  Kind kind;
  uint32_t where, value;
};
inline Poke R(uint32_t offset, uint32_t v) { return {kReg, offset, v}; }
inline Poke B(uint32_t address, uint32_t v) { return {kByte, address, v}; }
inline Poke W(uint32_t address, uint32_t v) { return {kWord, address, v}; }
inline Poke L(uint32_t address, uint32_t v) { return {kLong, address, v}; }
inline Poke Cr(uint32_t index, uint32_t v) { return {kCram, index, v}; }
inline Poke Fb(uint32_t address, uint32_t v) { return {kFbByte, address, v}; }
inline Poke Fw(uint32_t address, uint32_t v) { return {kFbWord, address, v}; }
inline Poke V1(uint32_t index, uint32_t v) { return {kVdp1Reg, index, v}; }
inline Poke Log(uint32_t line, uint32_t offset, uint32_t v) {
  return {kLog, line << 16 | offset, v};
}

// A dot of the picture and the pokes that make it.
struct DotCase {
  const char* what;
  int x, y;
  uint32_t texel;
  std::vector<Poke> pokes;
};

class DotsChips : public ::testing::Test {
 protected:
  // Everything cleared; colour RAM entry i holds colour i, so a palette dot shows its
  // colour address.
  void Clear() {
    for (uint16_t& r : regs) r = 0;
    for (uint16_t& r : vdp1Regs) r = 0;
    vram2->Clear();
    fb->Clear();
    log->Clear();
    for (uint32_t i = 0; i < 2048; ++i) cram[i] = static_cast<uint16_t>(i);
  }
  void Apply(const std::vector<Poke>& pokes) {
    for (const Poke& p : pokes) {
      const auto v16 = static_cast<uint16_t>(p.value);
      if (p.kind == kReg) regs[(p.where >> 1) & 0xFF] = v16;
      if (p.kind == kByte) vram2->Byte(p.where) = static_cast<uint8_t>(p.value);
      if (p.kind == kWord) vram2->Word(p.where) = v16;
      if (p.kind == kLong) vram2->Long(p.where) = p.value;
      if (p.kind == kCram) cram[p.where & 0x7FF] = v16;
      if (p.kind == kFbByte) fb->Byte(p.where) = static_cast<uint8_t>(p.value);
      if (p.kind == kFbWord) fb->Word(p.where) = v16;
      if (p.kind == kVdp1Reg) vdp1Regs[p.where & 15] = v16;
      if (p.kind == kLog)
        log->Append(static_cast<uint16_t>(p.where >> 16), static_cast<uint16_t>(p.where), v16);
    }
  }
  void Compose() {
    composer->BeginPeriod(chips);
    composer->ComposePeriod(chips, *log, *fb, *picture);
  }
  // Each case from SetUp's state, then common, then its own pokes.
  void Check(const std::vector<DotCase>& cases, const std::vector<Poke>& common = {}) {
    for (const DotCase& c : cases) {
      SetUp();
      Apply(common);
      Apply(c.pokes);
      Compose();
      EXPECT_EQ(picture->Row(c.y)[c.x], c.texel) << c.what;
    }
  }

  std::unique_ptr<vdp::ConsoleMemory> vram1 = std::make_unique<vdp::ConsoleMemory>();
  std::unique_ptr<vdp::ConsoleMemory> vram2 = std::make_unique<vdp::ConsoleMemory>();
  std::unique_ptr<dots::FrameBufferMemory> fb = std::make_unique<dots::FrameBufferMemory>();
  std::unique_ptr<vdp::LineLog> log = std::make_unique<vdp::LineLog>();
  std::unique_ptr<dots::ScreenComposer> composer = std::make_unique<dots::ScreenComposer>();
  std::unique_ptr<dots::Picture> picture = std::make_unique<dots::Picture>();
  uint16_t regs[256] = {}, vdp1Regs[16] = {}, cram[2048] = {};
  dots::ChipView chips{vdp1Regs, vram1.get(), regs, vram2.get(), cram};
};

}  // namespace dotstest
