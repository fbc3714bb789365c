// VDP2 plane scheduling and bitmap planes: which planes each level draws, when a bitmap's
// texture is refreshed, warnings, and bad register and memory contents.
#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <random>

#include "platform/headless/headless_testing.h"
#include "vdp2_rig.h"

namespace vdptest {
namespace {

using Levels = std::array<uint32_t, 8>;

// Quads each priority level draws.
Levels QuadsPerLevel(Vdp2Rig& rig) {
  Levels quads{};
  for (uint8_t p = 0; p < 8; ++p) {
    const uint32_t before = rig.display->counters.planeQuadsDrawn;
    rig.vdp2->DrawPlanesWithPriority(p);
    quads[p] = rig.display->counters.planeQuadsDrawn - before;
  }
  return quads;
}

// A 512 x 256 bitmap in 256 colours (two 64 KB banks) at map offset `offset`.
void BitmapNbg(Vdp2Rig& rig, PlaneId plane, uint16_t priority, uint16_t offset) {
  if (plane == NBG0) {
    rig.Reg(vdp2reg::CHCTLA, 0x0012);
    rig.Reg(vdp2reg::PRINA, priority);
    rig.Reg(vdp2reg::MPOFN, offset);
    rig.Reg(vdp2reg::ZMXIN0, 1);
    rig.Reg(vdp2reg::ZMYIN0, 1);
  } else {
    rig.Reg(vdp2reg::CHCTLA, 0x1200);
    rig.Reg(vdp2reg::PRINA, static_cast<uint16_t>(priority << 8));
    rig.Reg(vdp2reg::MPOFN, static_cast<uint16_t>(offset << 4));
    rig.Reg(vdp2reg::ZMXIN1, 1);
    rig.Reg(vdp2reg::ZMYIN1, 1);
  }
  rig.Reg(vdp2reg::BGON, static_cast<uint16_t>(1u << plane));
}

TEST(Vdp2Scheduling, EachLevelDrawsThePlanesOfItsPriority) {
  struct Case {
    const char* what;
    std::function<void(Vdp2Rig&)> setUp;
    Levels quads;
  };
  const Case cases[] = {
      {"NBG0 bitmap at priority 3",
       [](Vdp2Rig& r) { BitmapNbg(r, NBG0, 3, 0); },
       {0, 0, 0, 1, 0, 0, 0, 0}},
      {"priority 0 is never drawn",
       [](Vdp2Rig& r) {
         BitmapNbg(r, NBG0, 0, 0);
         r.Reg(vdp2reg::BGON, 0x1F);
       },
       {}},
      {"plane off in BGON",
       [](Vdp2Rig& r) {
         BitmapNbg(r, NBG1, 2, 0);
         r.Reg(vdp2reg::BGON, 0x1D);
       },
       {}},
      {"NBG1 switched off by the user",
       [](Vdp2Rig& r) {
         BitmapNbg(r, NBG1, 2, 0);
         r.vdp2->SetPlaneShown(NBG1, 0);
       },
       {}},
      {"RBG0 in cell mode draws nothing",
       [](Vdp2Rig& r) {
         r.Reg(vdp2reg::BGON, 0x10);
         r.Reg(vdp2reg::PRIR, 4);
       },
       {}},
      {"RBG0 bitmap at priority 4",
       [](Vdp2Rig& r) {
         r.Reg(vdp2reg::BGON, 0x10);
         r.Reg(vdp2reg::PRIR, 4);
         r.Reg(vdp2reg::CHCTLB, 0x0200);
       },
       {0, 0, 0, 0, 1, 0, 0, 0}},
      {"RBG1's BGON bit draws nothing",
       [](Vdp2Rig& r) {
         r.Reg(vdp2reg::BGON, 0x20);
         r.Reg(vdp2reg::PRIR, 0x0707);
       },
       {}},
      {"NBG2 and NBG3 cells at 7 and 5",
       [](Vdp2Rig& r) {
         r.Reg(vdp2reg::BGON, 0x0C);
         r.Reg(vdp2reg::PRINB, 0x0507);
       },
       {0, 0, 0, 0, 0, 1, 0, 1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Vdp2Rig rig;
    c.setUp(rig);
    EXPECT_EQ(QuadsPerLevel(rig), c.quads);
  }
}

class BitmapRefresh : public ::testing::Test {
 protected:
  const DisplayWorkCounters& Work() const { return rig.display->counters; }
  Vdp2Rig rig;
};

TEST_F(BitmapRefresh, Nbg1AndRbg0RefreshOnlyWhenABankUnderThemChanged) {
  for (const PlaneId plane : {NBG1, RBG0}) {
    SCOPED_TRACE(plane == NBG1 ? "NBG1" : "RBG0");
    Vdp2Rig r;
    if (plane == NBG1) {
      BitmapNbg(r, NBG1, 1, 1);  // banks 2 and 3
    } else {
      r.Reg(vdp2reg::BGON, 0x10);
      r.Reg(vdp2reg::PRIR, 1);
      r.Reg(vdp2reg::CHCTLB, 0x1200);  // bitmap, 256 colours, 512 x 256
      r.Reg(vdp2reg::RPMD, 1);
      r.Reg(vdp2reg::MPOFR, 0x0010);  // parameter B's offset 1
    }
    r.Frame();
    EXPECT_EQ(r.display->counters.texturesUploaded, 1u) << "first frame loads it whole";
    r.Frame();
    EXPECT_EQ(r.display->counters.texSubImageCalls, 0u);
    EXPECT_EQ(r.display->counters.planeQuadsDrawn, 1u) << "still drawn";
    r.vdp2->WriteByteVDP2VRAM(0x30000, 9);  // bank 3
    r.Frame();
    EXPECT_EQ(r.display->counters.texSubImageCalls, 1u);
    r.vdp2->WriteByteVDP2VRAM(0x40000, 9);  // bank 4, not under the bitmap
    r.Frame();
    EXPECT_EQ(r.display->counters.texSubImageCalls, 0u);
  }
}

TEST_F(BitmapRefresh, Nbg0RefreshesEveryFrame) {
  BitmapNbg(rig, NBG0, 1, 0);
  rig.Frame();
  for (int i = 0; i < 3; ++i) {
    rig.Frame();
    EXPECT_EQ(Work().texSubImageCalls, 1u);
    EXPECT_EQ(Work().texturesUploaded, 0u);
  }
}

TEST_F(BitmapRefresh, PlaneDrawnEarlierOverTheSameBanksTakesTheChange) {
  BitmapNbg(rig, NBG1, 2, 0);
  rig.Reg(vdp2reg::CHCTLA, 0x1212);  // NBG0 bitmap too, same base, priority 1
  rig.Reg(vdp2reg::PRINA, 0x0201);
  rig.Reg(vdp2reg::ZMXIN0, 1);
  rig.Reg(vdp2reg::ZMYIN0, 1);
  rig.Reg(vdp2reg::BGON, 0x03);
  rig.Frame();
  rig.vdp2->WriteByteVDP2VRAM(0x100, 9);
  rig.Frame();
  EXPECT_EQ(Work().texSubImageCalls, 1u) << "NBG0 refreshes, NBG1 finds the flags cleared";
  EXPECT_EQ(Work().planeQuadsDrawn, 2u);
}

TEST_F(BitmapRefresh, WindowOffTheBitmapDrawsNothingAndKeepsTheChange) {
  BitmapNbg(rig, NBG1, 1, 0);
  rig.Frame();
  rig.Reg(vdp2reg::SCXIN1, 600);  // x0 = 600 > 512
  rig.vdp2->WriteByteVDP2VRAM(0x100, 9);
  rig.Frame();
  EXPECT_EQ(Work().planeQuadsDrawn, 0u);
  EXPECT_EQ(Work().texSubImageCalls, 0u);
  rig.Reg(vdp2reg::SCXIN1, 0);
  rig.Frame();
  EXPECT_EQ(Work().texSubImageCalls, 1u);
}

TEST_F(BitmapRefresh, ClearCacheAndNewSizesLoadTheWholeBitmap) {
  BitmapNbg(rig, NBG1, 1, 0);
  rig.Frame();
  rig.vdp2->ClearCache();
  rig.Frame();
  EXPECT_EQ(Work().texSubImageCalls, 1u);
  EXPECT_EQ(rig.display->planeTextureWidth[NBG1], 512);
  rig.Reg(vdp2reg::CHCTLA, 0x1E00);  // 1024 x 512
  rig.Frame();
  EXPECT_EQ(Work().texturesUploaded, 1u);
  EXPECT_EQ(rig.display->planeTextureWidth[NBG1], 1024);
  EXPECT_EQ(rig.display->planeTextureHeight[NBG1], 512);
}

TEST(Vdp2Warnings, Nbg0ColourModesWithoutMeaningWarnEveryFrameAndDrawNothing) {
  struct Case {
    const char* what;
    PlaneId plane;
    uint16_t bgon, chctla, chctlb;
    size_t boxesPerFrame;
  };
  const Case cases[] = {
      {"NBG0 bitmap, mode 5", NBG0, 0x01, 0x0052, 0, 1},
      {"NBG0 bitmap, mode 7", NBG0, 0x01, 0x0072, 0, 1},
      {"NBG0 cells, mode 6", NBG0, 0x01, 0x0060, 0, 1},
      {"RBG0 bitmap, mode 5: no warning", RBG0, 0x10, 0, 0x5200, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Vdp2Rig rig;
    headless::ClearMessageBoxes();
    rig.Reg(vdp2reg::BGON, c.bgon);
    rig.Reg(vdp2reg::PRINA, 1);
    rig.Reg(vdp2reg::PRIR, 1);
    rig.Reg(vdp2reg::CHCTLA, c.chctla);
    rig.Reg(vdp2reg::CHCTLB, c.chctlb);
    rig.Reg(vdp2reg::ZMXIN0, 1);
    rig.Reg(vdp2reg::ZMYIN0, 1);
    rig.Words(0, 0x0101, 0x10000);
    rig.Frame();
    rig.Frame();
    const auto boxes = headless::MessageBoxes();
    ASSERT_EQ(boxes.size(), 2 * c.boxesPerFrame);
    for (const auto& b : boxes) {
      EXPECT_EQ(b.text, "Unknown NBG0 color mode");
      EXPECT_EQ(b.caption, "VDP plugin warning");
      EXPECT_EQ(b.style, 0x10u);
    }
    // Nothing decodes: bitmaps stay undrawn, cells are uploaded transparent.
    if (c.plane == RBG0 || (c.chctla & 2)) {
      EXPECT_EQ(rig.display->counters.planeQuadsDrawn, 0u);
    }
  }
}

// One quad per plane-sized region in view: zoomed NBG0 and NBG1 (up to 8 plane dots per
// screen dot over 512-dot planes in a 704 x 480 picture), NBG2 and NBG3 at most 2 x 2
// regions, two bitmaps with one quad each.
constexpr uint32_t kZoomedRegions = (704 * 8 / 512 + 2) * (480 * 8 / 512 + 2);
constexpr uint32_t kMaxQuads = 2 * kZoomedRegions + 2 * 4 + 2;

TEST(Vdp2BadInput, AnyRegisterAndMemoryContentDrawsWithinBounds) {
  Vdp2Rig rig;
  std::mt19937 random(1234);
  auto next = [&] { return static_cast<uint32_t>(random()); };
  for (int frame = 0; frame < 120; ++frame) {
    // Registers: all random, then planes on with priorities so that they are drawn.
    for (uint32_t r = 0x0E; r < 0x120; r += 2) rig.Reg(r, static_cast<uint16_t>(next()));
    rig.Reg(vdp2reg::BGON, static_cast<uint16_t>(next() | 0x1F));
    rig.Reg(vdp2reg::PRINA, static_cast<uint16_t>(next() | 0x0101));
    rig.Reg(vdp2reg::PRINB, static_cast<uint16_t>(next() | 0x0101));
    rig.Reg(vdp2reg::PRIR, static_cast<uint16_t>(next() | 1));
    if (frame % 4 == 0) rig.Reg(vdp2reg::TVMD, static_cast<uint16_t>(next()));
    for (int i = 0; i < 2000; ++i) rig.vdp2->WriteLongVDP2VRAM(next(), next());
    for (int i = 0; i < 64; ++i) rig.vdp2->WriteWordVDP2CRAM(next(), static_cast<uint16_t>(next()));
    if (frame % 10 == 0) rig.vdp2->ClearCache();
    rig.Frame();
    EXPECT_LE(rig.display->counters.planeQuadsDrawn, kMaxQuads) << "frame " << frame;
  }
}

TEST(Vdp2BadInput, ExtremeFieldsEachDrawWithoutFault) {
  struct Case {
    const char* what;
    uint32_t reg;
    uint16_t value;
  };
  const Case cases[] = {
      {"plane size code 2 everywhere", vdp2reg::PLSZ, 0xAAAA},
      {"zoom 0", vdp2reg::ZMXIN0, 0},
      {"zoom 7.99", vdp2reg::ZMXDN0, 0xFF00},
      {"largest supplementary character", vdp2reg::PNCN0, 0x801F},
      {"two-word names", vdp2reg::PNCN0, 0x0000},
      {"colour RAM offset 7 in RAM mode 2", vdp2reg::CRAOFA, 0x7777},
      {"RAM mode 3", vdp2reg::RAMCTL, 0x3000},
      {"map offset 7", vdp2reg::MPOFN, 0x7777},
      {"most negative scroll", vdp2reg::SCXIN0, 0x0400},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Vdp2Rig rig;
    rig.CellNbg0(0x0001, 0x001F, 63, 0xFFFF);
    rig.Reg(vdp2reg::RAMCTL, 0x2000);
    rig.Reg(vdp2reg::ZMXIN0, 7);
    rig.Reg(vdp2reg::ZMYIN0, 7);
    rig.Reg(c.reg, c.value);
    rig.Words(0, 0xFFFF, 0x40000);
    rig.Frame();
    rig.Frame();
    EXPECT_LE(rig.display->counters.planeQuadsDrawn, kMaxQuads);
  }
}

}  // namespace
}  // namespace vdptest
