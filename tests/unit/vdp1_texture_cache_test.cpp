// The sprite texture cache through the real plugin: when a sprite's texture is decoded
// and uploaded again, counted by the display.
#include <gtest/gtest.h>

#include "display/opengl_display.h"
#include "plugin/plugin_globals.h"
#include "plugin_fixture.h"
#include "vdp1/vdp1_core.h"
#include "vdp1_commands.h"

namespace vdptest {
namespace {

constexpr uint32_t kTexture = 0x1000;  // byte address of the first texture

class SpriteCache : public PluginTest {
 protected:
  void SetUp() override {
    PluginTest::SetUp();
    DrawEveryFrame();
  }
  static void Put(uint32_t unit, const Command& c) {
    WriteCommand([](uint32_t a, uint16_t v) { WriteWordVDP1VRAM(a, v); }, unit, c);
  }
  // One sprite table: the given sprites, then the end.
  static void Sprites(std::initializer_list<Command> sprites) {
    uint32_t unit = 0;
    for (const Command& c : sprites) {
      Put(unit, c);
      unit += 4;
    }
    Put(unit, {kEndOfTable});
  }
  static Command Sprite(uint16_t drawMode, uint16_t colour, uint32_t width, uint32_t height,
                        uint32_t address = kTexture) {
    return {.control = kNormalSprite,
            .drawMode = drawMode,
            .colour = colour,
            .texture = static_cast<uint16_t>(address / 8),
            .size = Size(width, height),
            .xa = 10,
            .ya = 10};
  }
  uint32_t UploadsInFrame() {
    const uint32_t before = plugin::display->counters.texturesUploaded;
    Frame();
    return plugin::display->counters.texturesUploaded - before;
  }
};

TEST_F(SpriteCache, UnchangedFramesUploadNothing) {
  Sprites({Sprite(ColourMode(4), 0x100, 16, 16), Sprite(ColourMode(5), 0, 8, 8, 0x4000)});
  EXPECT_EQ(UploadsInFrame(), 2u);
  EXPECT_EQ(UploadsInFrame(), 0u);
  EXPECT_EQ(UploadsInFrame(), 0u);
}

TEST_F(SpriteCache, VramWritesDirtyOnlyTheTextureWhoseDataChanged) {
  // 8 x 4 in 16 colours: 16 bytes, blocks 0x200 and 0x201.
  Sprites({Sprite(ColourMode(0), 0x100, 8, 4)});
  ASSERT_EQ(UploadsInFrame(), 1u);
  struct Case {
    const char* what;
    uint32_t address;
    uint8_t value;
    uint32_t uploads;
  };
  const Case cases[] = {
      {"new value in the first block", kTexture + 3, 0x11, 1},
      {"the same value again", kTexture + 3, 0x11, 0},
      {"new value in the last block", kTexture + 15, 0x22, 1},
      {"just past the data", kTexture + 16, 0x33, 0},
      {"just before the data", kTexture - 1, 0x44, 0},
      {"an unused word of the command table", 0x1E, 0x55, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    WriteByteVDP1VRAM(c.address, c.value);
    EXPECT_EQ(UploadsInFrame(), c.uploads);
  }
}

TEST_F(SpriteCache, PartialLastBlockIsOwnedOnlyWhenAnEarlierTextureCoveredIt) {
  // 8 x 3 in 16 colours: 12 bytes, one whole block.
  Sprites({Sprite(ColourMode(0), 0x100, 8, 3)});
  ASSERT_EQ(UploadsInFrame(), 1u);
  WriteByteVDP1VRAM(kTexture + 9, 0x77);
  EXPECT_EQ(UploadsInFrame(), 0u) << "bytes 8 to 11 lie in a block the texture does not own";

  // An 8 x 4 texture at the same address took the second block over; the 8 x 3 that
  // follows keeps it.
  Sprites({Sprite(ColourMode(0), 0x100, 8, 4)});
  ASSERT_EQ(UploadsInFrame(), 1u);
  Sprites({Sprite(ColourMode(0), 0x100, 8, 3)});
  ASSERT_EQ(UploadsInFrame(), 1u);
  WriteByteVDP1VRAM(kTexture + 9, 0x78);
  EXPECT_EQ(UploadsInFrame(), 1u);
}

TEST_F(SpriteCache, EveryDescriptorFieldIsPartOfTheKey) {
  const Command base = Sprite(ColourMode(4), 0x100, 16, 8);
  struct Case {
    const char* what;
    Command changed;
  };
  const Case cases[] = {
      {"width", Sprite(ColourMode(4), 0x100, 24, 8)},
      {"height", Sprite(ColourMode(4), 0x100, 16, 9)},
      {"colour mode", Sprite(ColourMode(3), 0x100, 16, 8)},
      {"colour bank", Sprite(ColourMode(4), 0x200, 16, 8)},
      {"transparent-pixel disable", Sprite(ColourMode(4) | kTransparentPixelDisable, 0x100, 16, 8)},
      {"end-code disable", Sprite(ColourMode(4) | kEndCodeDisable, 0x100, 16, 8)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Sprites({base});
    UploadsInFrame();
    ASSERT_EQ(UploadsInFrame(), 0u);
    Sprites({c.changed});
    EXPECT_EQ(UploadsInFrame(), 1u);
  }
  // Draw mode bits outside the texture description do not rebuild it.
  Sprites({base});
  UploadsInFrame();
  Sprites({Sprite(ColourMode(4) | kGouraud | kMesh | kHalfTransparency, 0x100, 16, 8)});
  EXPECT_EQ(UploadsInFrame(), 0u);
}

TEST_F(SpriteCache, BanksShareAnEntryExceptInRgbMode) {
  Sprites({Sprite(ColourMode(0), 0x100, 8, 8), Sprite(ColourMode(0), 0x200, 8, 8)});
  UploadsInFrame();
  EXPECT_EQ(UploadsInFrame(), 2u) << "two banks on one address rebuild each other";

  Sprites({Sprite(ColourMode(5), 0x100, 8, 8), Sprite(ColourMode(5), 0x200, 8, 8)});
  EXPECT_EQ(UploadsInFrame(), 1u);
  EXPECT_EQ(UploadsInFrame(), 0u) << "RGB sprites ignore the colour word";
}

TEST_F(SpriteCache, ColourRamChangesShowOnlyAfterTheCacheIsCleared) {
  Sprites({Sprite(ColourMode(4), 0x100, 8, 8)});
  UploadsInFrame();
  WriteWordVDP2CRAM(0x202, 0x7FFF);
  EXPECT_EQ(UploadsInFrame(), 0u);
  plugin::vdp1->ClearCache();
  EXPECT_EQ(UploadsInFrame(), 1u);
}

TEST_F(SpriteCache, RebuildsReuseTheEntrysTextureName) {
  Sprites({Sprite(ColourMode(5), 0, 8, 8)});
  UploadsInFrame();
  const uint32_t name = plugin::vdp1->spriteTextures[kTexture / 8].glTexture;
  ASSERT_NE(name, 0u);
  WriteWordVDP1VRAM(kTexture, 0x1234);
  ASSERT_EQ(UploadsInFrame(), 1u);
  EXPECT_EQ(plugin::vdp1->spriteTextures[kTexture / 8].glTexture, name);
  plugin::vdp1->ClearCache();
  ASSERT_EQ(UploadsInFrame(), 1u);
  EXPECT_EQ(plugin::vdp1->spriteTextures[kTexture / 8].glTexture, name);
}

TEST_F(SpriteCache, TextureRunningPastTheEndOfVramOwnsTheWrappedBlocks) {
  // 64 x 4 RGB: 512 bytes from 0x7FF00, the last 256 of them at 0 to 0xFF.
  Sprites({});
  Put(0x100, Sprite(ColourMode(5), 0, 64, 4, 0x7FF00));
  Put(0x104, {kEndOfTable});
  Put(0, {JumpMode(5), 0x100});
  ASSERT_EQ(UploadsInFrame(), 1u);
  WriteWordVDP1VRAM(0x80, 0x1F);
  EXPECT_EQ(UploadsInFrame(), 1u);
}

TEST_F(SpriteCache, ReportedTextureLimitsFollowThePaddedSize) {
  struct Case {
    uint32_t width, height;
    float uMax, vMax;
  };
  const Case cases[] = {
      {504, 255, 0.984375f, 0.99609375f}, {64, 1, 1.0f, 1.0f}, {24, 3, 0.75f, 0.75f}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.width);
    SpriteTexture d{};
    d.dirty = 1;
    Put(0, Sprite(ColourMode(4), 0, c.width, c.height, 0x10000));
    plugin::vdp1->ReadTextureDescriptor(0, d);
    uint32_t name = 0;
    float u = 0, v = 0;
    plugin::vdp1->GetSpriteTexture(d, name, u, v);
    EXPECT_NE(name, 0u);
    EXPECT_FLOAT_EQ(u, c.uMax);
    EXPECT_FLOAT_EQ(v, c.vMax);
  }
}

}  // namespace
}  // namespace vdptest
