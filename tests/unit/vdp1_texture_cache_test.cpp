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
  static Command Sprite(uint16_t drawMode, uint16_t colour, uint32_t width = 16,
                        uint32_t height = 8, uint32_t address = kTexture) {
    return Part(kNormalSprite, drawMode, 10, 10, 0, 0, colour, address, Size(width, height));
  }
  // Draws a frame of the sprites and counts the textures uploaded for it.
  uint32_t Uploads(std::initializer_list<Command> sprites) {
    DrawEveryFrame();
    WriteTable(WriteWordVDP1VRAM, sprites);
    const uint32_t before = plugin::display->counters.texturesUploaded;
    Frame();
    return plugin::display->counters.texturesUploaded - before;
  }
};

TEST_F(SpriteCache, OnlyWritesThatChangeATexturesDataOrClearingTheCacheUploadAgain) {
  // 8 x 4 in 16 colours: 16 bytes, blocks 0x200 and 0x201. 64 x 4 in RGB: 512 bytes from
  // 0x7FF80, the last 384 of them wrapped round to 0, under and after the table.
  const Command bank = Sprite(ColourMode(0), 0x100, 8, 4),
                rgb = Sprite(ColourMode(5), 0, 64, 4, 0x7FF80);
  ASSERT_EQ(Uploads({bank, rgb}), 2u);
  const uint32_t name = plugin::vdp1->spriteTextures[kTexture / 8].glTexture;
  struct Step {
    const char* what;
    void (*act)();
    uint32_t uploads;
  };
  const Step steps[] = {
      {"nothing", [] {}, 0},
      {"new value in the first block", [] { WriteByteVDP1VRAM(kTexture + 3, 0x11); }, 1},
      {"the same value again", [] { WriteByteVDP1VRAM(kTexture + 3, 0x11); }, 0},
      {"new value in the last block", [] { WriteByteVDP1VRAM(kTexture + 15, 0x22); }, 1},
      {"just past the data", [] { WriteByteVDP1VRAM(kTexture + 16, 0x33); }, 0},
      {"just before the data", [] { WriteByteVDP1VRAM(kTexture - 1, 0x44); }, 0},
      {"data wrapped past the end of VRAM", [] { WriteByteVDP1VRAM(0x170, 0x55); }, 1},
      {"colour RAM: shown only once the cache is cleared", [] { WriteWordVDP2CRAM(0x202, 1); }, 0},
      {"cache cleared", [] { plugin::vdp1->ClearCache(); }, 2},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.what);
    s.act();
    EXPECT_EQ(Uploads({bank, rgb}), s.uploads);
  }
  EXPECT_EQ(plugin::vdp1->spriteTextures[kTexture / 8].glTexture, name) << "the name is reused";
}

TEST_F(SpriteCache, TheTextureDescriptionButNotTheColourWordOfRgbSpritesIsTheKey) {
  const uint16_t bank = ColourMode(4), rgb = ColourMode(5);
  const Command base = Sprite(bank, 0x100);
  struct Case {
    const char* what;
    Command before, after;
    uint32_t uploads;
  };
  const Case cases[] = {
      {"width", base, Sprite(bank, 0x100, 24), 1},
      {"height", base, Sprite(bank, 0x100, 16, 9), 1},
      {"colour mode", base, Sprite(ColourMode(3), 0x100), 1},
      {"colour bank", base, Sprite(bank, 0x200), 1},
      {"transparent-pixel disable", base, Sprite(bank | kTransparentPixelDisable, 0x100), 1},
      {"the colour word of an RGB sprite", Sprite(rgb, 0x100), Sprite(rgb, 0x200), 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Uploads({c.before});
    ASSERT_EQ(Uploads({c.before}), 0u);
    EXPECT_EQ(Uploads({c.after}), c.uploads);
  }
}

}  // namespace
}  // namespace vdptest
