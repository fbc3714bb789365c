// Built-in demo scenes: small programs written the way a game sets the chips up.
#include "scene_bus.h"
#include "scene_writer.h"

namespace vdphost {

namespace {

// One VDP1 command; addresses in bytes.
void Command(SceneBus& bus, int index, uint16_t control, uint16_t drawMode, uint16_t colour,
             uint32_t textureAddress, uint16_t size, std::initializer_list<int16_t> xy,
             uint32_t gouraudAddress = 0) {
  Vdp1Command c;
  c.control = control;
  c.drawMode = drawMode;
  c.colour = colour;
  c.textureAddress = textureAddress;
  c.size = size;
  int k = 0;
  for (int16_t v : xy)
    if (k < 8) c.xy[k++] = v;
  c.gouraudAddress = gouraudAddress;
  c.Write(bus.api(), index);
}

void EndTable(SceneBus& bus, int index) { Vdp1Command::End(bus.api(), index); }

void StartVdp(SceneBus& bus) {
  PluginApi& api = bus.api();
  api.WriteWordVDP2Regs(0x00, 0x8000);  // TVMD: display on, 320 x 224
  api.WriteWordVDP1Regs(0x00, 0x0000);  // TVMR
  api.WriteWordVDP1Regs(0x02, 0x0000);  // FBCR: one-cycle mode
  api.WriteWordVDP1Regs(0x04, 0x0002);  // PTMR: draw at every frame change
}

void Polygons(SceneBus& bus) {
  StartVdp(bus);
  Command(bus, 0, 0x000A, 0, 0, 0, 0, {0, 0});  // local coordinates (0, 0)
  Command(bus, 1, 0x0004, 0x0000, Rgb(31, 0, 0), 0, 0, {20, 20, 140, 20, 140, 100, 20, 100});
  Command(bus, 2, 0x0004, 0x0003, Rgb(0, 31, 0), 0, 0, {80, 60, 200, 60, 200, 140, 80, 140});
  Command(bus, 3, 0x0004, 0x0002, Rgb(31, 31, 31), 0, 0, {220, 20, 300, 20, 300, 100, 220, 100});
  // Gouraud quad: corners red, green, blue, white through a table at 0x7000.
  bus.Vdp1Words(0x7000, {Rgb(31, 16, 16), Rgb(16, 31, 16), Rgb(16, 16, 31), Rgb(31, 31, 31)});
  Command(bus, 4, 0x0004, 0x0004, Rgb(16, 16, 16), 0, 0, {20, 120, 140, 120, 140, 200, 20, 200},
          0x7000);
  Command(bus, 5, 0x0005, 0x0000, Rgb(31, 31, 0), 0, 0, {170, 150, 300, 150, 300, 210, 170, 210});
  Command(bus, 6, 0x0006, 0x0000, Rgb(0, 31, 31), 0, 0, {170, 210, 300, 150});
  EndTable(bus, 7);
  bus.Frame();
  bus.Capture("polygons");
}

void Sprites(SceneBus& bus) {
  StartVdp(bus);
  // A 16 x 16 RGB sprite: a colour gradient with a transparent corner.
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x)
      bus.api().WriteWordVDP1VRAM(0x10000 + (y * 16 + x) * 2,
                                  (x + y < 4) ? 0 : Rgb(x * 2, y * 2, 31 - x - y));
  // A 16 x 16 colour-bank sprite, 4 bits per dot, palette in colour RAM bank 0x100.
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; x += 2)
      bus.api().WriteByteVDP1VRAM(
          0x12000 + (y * 16 + x) / 2,
          static_cast<uint8_t>(((((x + y) / 2) & 15) << 4) | (((x + y + 1) / 2) & 15)));
  for (int i = 0; i < 16; ++i)
    bus.api().WriteWordVDP2CRAM((0x100 + i) * 2, Rgb(i * 2, 31 - i * 2, 16));
  const uint16_t size = Vdp1Command::Size(16, 16);
  Command(bus, 0, 0x0000, 0x0028, 0, 0x10000, size, {20, 20});            // normal, RGB
  Command(bus, 1, 0x0030, 0x0028, 0, 0x10000, size, {60, 20});            // flipped both ways
  Command(bus, 2, 0x0A01, 0x0028, 0, 0x10000, size, {160, 112, 64, 64});  // zoom, centre
  Command(bus, 3, 0x0002, 0x0028, 0, 0x10000, size,
          {220, 30, 300, 50, 290, 120, 230, 100});                    // distorted
  Command(bus, 4, 0x0000, 0x0000, 0x0100, 0x12000, size, {20, 160});  // colour bank
  EndTable(bus, 5);
  bus.Frame();
  bus.Capture("sprites");
}

void BitmapPlane(SceneBus& bus) {
  StartVdp(bus);
  PluginApi& api = bus.api();
  // NBG0: 512 x 256 bitmap of RGB dots, vertical stripes, priority 1.
  for (int y = 0; y < 256; ++y)
    for (int x = 0; x < 512; ++x)
      api.WriteWordVDP2VRAM((y * 512 + x) * 2, ((x / 32) & 1) ? Rgb(0, 10, 24) : Rgb(24, 20, 0));
  api.WriteWordVDP2Regs(0x28, 0x0032);  // CHCTLA: NBG0 bitmap, 512 x 256, RGB colours
  api.WriteWordVDP2Regs(0x78, 1);       // zoom 1.0
  api.WriteWordVDP2Regs(0x7C, 1);
  api.WriteWordVDP2Regs(0xF8, 0x0001);  // PRINA: NBG0 priority 1
  api.WriteWordVDP2Regs(0xF0, 0x0002);  // PRISA: sprites priority 2
  api.WriteWordVDP2Regs(0x20, 0x0001);  // BGON: NBG0 on
  Command(bus, 0, 0x0004, 0x0000, Rgb(31, 31, 31), 0, 0, {100, 60, 220, 60, 220, 160, 100, 160});
  EndTable(bus, 1);
  for (int frame = 0; frame < 8; ++frame) {
    api.WriteWordVDP2Regs(0x70, static_cast<uint16_t>(frame * 4));  // scroll right
    bus.Frame();
  }
  bus.Capture("bitmap_plane");
}

}  // namespace

const DemoScene kDemoScenes[] = {
    {"demo", "the animated demo: every layer the plugin draws, 880 frames", PlayAnimatedDemo},
    {"polygons", "VDP1 polygons in each colour calculation, gouraud, polyline, line", Polygons},
    {"sprites", "VDP1 RGB and colour-bank sprites: normal, flipped, scaled, distorted", Sprites},
    {"bitmap_plane", "a scrolling VDP2 bitmap plane beneath a VDP1 polygon", BitmapPlane},
};
const int kDemoSceneCount = sizeof(kDemoScenes) / sizeof(kDemoScenes[0]);

}  // namespace vdphost
