// The dot-by-dot renderer wired to the cores and the display: its frames, switch and setting.
#include "plugin/dot_frames.h"

#include <algorithm>
#include <new>
#include <utility>

#include "common/settings_path.h"
#include "display/opengl_display.h"
#include "dots/dot_renderer.h"
#include "plugin/line_workers.h"
#include "plugin/plugin_globals.h"
#include "vdp1/vdp1_core.h"
#include "vdp2/vdp2_core.h"

namespace plugin {

dots::DotRenderer* drawingDots = nullptr;

namespace {

dots::DotRenderer* renderer = nullptr;
dots::ChipView chips;
char settingsPath[vdp::kSettingsPathSize];
uint32_t drawsSeen = 0;
bool pictureShown = false;  // the last frame shown was the dot-by-dot renderer's

// Never destroyed: a host that unloads the library without DeInitPlugin must not have
// the loader join threads (a deadlock under Windows' loader lock); they sleep unwoken.
LineWorkers& workers = *new LineWorkers;
int threads = 2;

constexpr const char* kSection = "RENDERER";
constexpr const char* kKey = "dot by dot";
// Threads that draw the lines, the host's included: 1 to 8.
constexpr const char* kThreadsKey = "threads";
constexpr int kDefaultThreads = 2;

static_assert(LineWorkers::kMaxParts <= dots::DotRenderer::kMaxParts);

void ComposeJob(int part, int parts, void*) { drawingDots->ComposePart(part, parts, chips); }

// A draw that fetched the end of the table sets EDSR's current end bit and moves the
// previous one down, as the other renderer's walker does.
void NoteDraws() {
  const uint32_t draws = renderer->frameBuffers.Draws();
  if (draws == drawsSeen) return;
  drawsSeen = draws;
  if (!renderer->frameBuffers.LastDraw().reachedEnd) return;
  uint16_t& edsr = vdp1->registers[vdp1reg::EDSR / 2];
  edsr = static_cast<uint16_t>(((edsr | 4u) >> 1) & 0xFFFF);
}

}  // namespace

void StartDotRenderer(const PluginInitInfo& info) {
  renderer = new (std::nothrow) dots::DotRenderer;
  chips = {vdp1->registers, &vdp1->vram, vdp2->registers, &vdp2->vram, vdp2->cram};
  drawsSeen = 0;
  pictureShown = false;
  vdp::BuildSettingsPath(settingsPath, info.directory);
  int value = vdp::ReadSetting(settingsPath, kSection, kKey, -1);
  if (value == -1) {
    value = 0;
    vdp::WriteSetting(settingsPath, kSection, kKey, value);
  }
  switches->dotByDot = value != 0 ? 1 : 0;
  threads = vdp::ReadSetting(settingsPath, kSection, kThreadsKey, -1);
  if (threads == -1) {
    threads = kDefaultThreads;
    vdp::WriteSetting(settingsPath, kSection, kThreadsKey, threads);
  }
  // A number out of range is taken to the nearest in range.
  threads = std::clamp(threads, 1, LineWorkers::kMaxParts);
  if (renderer != nullptr) workers.Start(threads);
}

void StopDotRenderer() {
  workers.Stop();
  if (switches != nullptr && vdp1 != nullptr) {
    vdp::WriteSetting(settingsPath, kSection, kKey, switches->dotByDot ? 1 : 0);
    vdp::WriteSetting(settingsPath, kSection, kThreadsKey, threads);
  }
  if (vdp2 != nullptr) vdp2->lineLog = nullptr;
  drawingDots = nullptr;
  delete renderer;
  renderer = nullptr;
}

void ResetDotRenderer() {
  if (renderer != nullptr) renderer->Reset();
}

void EndDotPeriod() {
  drawingDots->PrepareEnd(chips);
  workers.Run(ComposeJob, nullptr);
}

bool PresentDotFrame() {
  if (!switches->dotByDot || renderer == nullptr) {
    // The OpenGL renderer draws over what is left in the back buffer: not an old picture.
    if (std::exchange(pictureShown, false)) display->EraseFrame();
    return false;
  }
  pictureShown = true;
  const dots::Picture& picture = renderer->PeriodPicture(chips);
  // The VDP2 filtering items: linear when the player asked it for any plane.
  bool linear = false;
  for (const SharedFlag& f : switches->planeFiltering) linear = linear || f != 0;
  display->DrawPicture(picture.texels, picture.width, picture.height, dots::Picture::kPitch,
                       linear);
  display->PresentFrame();
  return true;
}

void StartNextPeriod() {
  drawingDots = switches->dotByDot ? renderer : nullptr;
  vdp2->lineLog = drawingDots != nullptr ? &drawingDots->log : nullptr;
  if (drawingDots == nullptr) return;
  drawingDots->StartPeriod(chips);
  NoteDraws();
}

void DotVdp1RegisterWritten(uint32_t address, uint16_t value) {
  switch (address & 0x1F) {
    case vdp1reg::FBCR:
      drawingDots->frameBuffers.OnFbcrWrite(value);
      break;
    case vdp1reg::PTMR:
      if ((value & 3) == 1) {
        drawingDots->frameBuffers.DrawNow(chips);
        NoteDraws();
      }
      break;
    default:
      break;
  }
}

}  // namespace plugin
