// vdp_frame_costs: the per-frame figures of docs/performance.md. Plays one reference
// scene through the plugin linked in, and measures only the frames that the scene is
// about: the time spent in VDPOnVblankOut, where the plugin draws and presents, and in
// VDPOnVblankIn when the dot-by-dot renderer draws the period (it composes the picture
// there), and the GL work done. Under callgrind (--collect-atstart=no) the same calls are
// the only ones collected, so the dump holds the measured frames and nothing else.
//
//   vdp_frame_costs --scene <name> [--renderer opengl|dots] [--frames N] [--reps R]
//                   [--trace FILE] [--threads N] [--no-baseline] [--attribute-allocations]
//
// --threads (default 1) is the settings file's number of threads that compose a frame drawn
// dot by dot: with one, the host thread does all the work, and its callgrind dump holds it.
// Each repetition first plays N empty frames (the baseline: erase, swap and the fixed
// per-frame work), then, with --renderer dots, the scene in the OpenGL renderer, then the
// scene in the renderer asked for; it prints one line of key=value pairs: the median
// and mean frame times, the baselines' medians, and the work per frame, with the heap
// allocations made on the host thread during the measured calls (the plugin's and Mesa's);
// --attribute-allocations also counts those with no Mesa object on their call stack (slow:
// a stack walk per allocation, so its frame times are not the figures to report).
#include <stdlib.h>

// Valgrind's header comes with valgrind, which scripts/bench.sh installs. Without it the
// program still times frames, and its callgrind dumps hold nothing.
#if VDP_HAVE_CALLGRIND
#include <valgrind/callgrind.h>
#else
#define CALLGRIND_TOGGLE_COLLECT
#endif

#include <dlfcn.h>
#include <errno.h>
#include <execinfo.h>
#include <stddef.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "bench_plugin.h"
#include "display/opengl_display.h"
#include "dots/dot_renderer.h"
#include "plugin/dot_frames.h"
#include "plugin/plugin_api.h"
#include "plugin/plugin_globals.h"
#include "reference_scenes.h"
#include "scene_bus.h"
#include "trace_reader.h"
#include "trace_replay.h"
#include "vdp2/vdp2_core.h"

// Heap allocations counted while the host thread is in a measured call: this program's
// malloc family stands in for the C library's (operator new and Mesa reach it too) and
// forwards to it.
extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* p, size_t size);
void* __libc_memalign(size_t alignment, size_t size);
}
namespace {
thread_local bool countingAllocations = false;
thread_local bool walkingStack = false;  // the walk's own allocations are not counted
bool attributeAllocations = false;
uint64_t allocations = 0, allocationsOutsideMesa = 0;

// Objects whose code is Mesa's, as scripts/perf_report.py names them.
bool MadeInMesa() {
  void* frames[64];
  const int n = backtrace(frames, 64);
  for (int i = 0; i < n; ++i) {
    Dl_info info;
    if (dladdr(frames[i], &info) == 0 || info.dli_fname == nullptr) continue;
    for (const char* name : {"OSMesa", "libGL", "glapi", "gallium", "LLVM", "_dri", "swrast"})
      if (std::strstr(info.dli_fname, name) != nullptr) return true;
  }
  return false;
}

void NoteAllocation() {
  if (!countingAllocations || walkingStack) return;
  ++allocations;
  if (!attributeAllocations) return;
  walkingStack = true;
  if (!MadeInMesa()) ++allocationsOutsideMesa;
  walkingStack = false;
}
}  // namespace
extern "C" {
void* malloc(size_t size) {
  NoteAllocation();
  return __libc_malloc(size);
}
void* calloc(size_t count, size_t size) {
  NoteAllocation();
  return __libc_calloc(count, size);
}
void* realloc(void* p, size_t size) {
  NoteAllocation();
  return __libc_realloc(p, size);
}
void* memalign(size_t alignment, size_t size) {
  NoteAllocation();
  return __libc_memalign(alignment, size);
}
void* aligned_alloc(size_t alignment, size_t size) { return memalign(alignment, size); }
int posix_memalign(void** p, size_t alignment, size_t size) {
  *p = memalign(alignment, size);
  return *p != nullptr || size == 0 ? 0 : ENOMEM;
}
}

namespace {

// What the measured frames cost, summed.
struct Meter {
  bool on = false;
  uint32_t frames = 0;
  std::vector<double> seconds;              // each frame's
  double vblankInSeconds = 0;               // of the frame under way
  double hostSeconds = 0;                   // the host's lines of the frame under way
  uint64_t pictureDots = 0;                 // width x height of the pictures composed dot by dot
  int pictureWidth = 0, pictureHeight = 0;  // the last one's
  uint64_t allocations = 0;                 // heap allocations in the measured calls
  uint64_t outsideMesa = 0;                 // of which no Mesa object was on the stack
  uint32_t allocatingFrames = 0;
  std::vector<double> frameAllocations;  // each frame's
  uint64_t allocationsBefore = 0;        // the counts when the frame under way started
  uint64_t outsideMesaBefore = 0;
  DisplayWorkCounters work{};
  uint64_t vdp1Dots = 0;  // dots VDP1 draws a frame, in the scenes that know it
};
Meter meter;

// The renderer the scenes are played in: the menu's switch, set once the plugin runs.
bool drawDots = false;
void ChooseRenderer() {
  if (plugin::switches != nullptr) plugin::switches->dotByDot = drawDots ? 1 : 0;
}

void AddWork(DisplayWorkCounters& sum, const DisplayWorkCounters& after,
             const DisplayWorkCounters& before) {
  sum.texturesUploaded += after.texturesUploaded - before.texturesUploaded;
  sum.texSubImageCalls += after.texSubImageCalls - before.texSubImageCalls;
  sum.texturedQuadsDrawn += after.texturedQuadsDrawn - before.texturedQuadsDrawn;
  sum.shapesDrawn += after.shapesDrawn - before.shapesDrawn;
  sum.planeQuadsDrawn += after.planeQuadsDrawn - before.planeQuadsDrawn;
}

// V-blank in, timed and counted while the meter is on and the period is drawn dot by dot;
// the OpenGL renderer only notes the blanking there.
void MeteredVblankIn() {
  if (!meter.on || plugin::drawingDots == nullptr) return VDPOnVblankIn();
  meter.allocationsBefore = allocations;
  meter.outsideMesaBefore = allocationsOutsideMesa;
  countingAllocations = true;
  const auto start = std::chrono::steady_clock::now();
  CALLGRIND_TOGGLE_COLLECT;
  VDPOnVblankIn();
  CALLGRIND_TOGGLE_COLLECT;
  countingAllocations = false;
  meter.vblankInSeconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  if (const dots::Picture* p = plugin::drawingDots->ComposedPicture()) {
    meter.pictureDots += static_cast<uint64_t>(p->width) * static_cast<uint64_t>(p->height);
    meter.pictureWidth = p->width;
    meter.pictureHeight = p->height;
  }
}

// The plugin's frame entry, timed and counted while the meter is on. In a scene played dot
// by dot, a frame the OpenGL renderer drew before the switch acted is not measured.
void MeteredVblankOut() {
  const bool otherRenderer = drawDots && plugin::drawingDots == nullptr;
  if (!meter.on || plugin::display == nullptr || otherRenderer) return VDPOnVblankOut();
  const DisplayWorkCounters before = plugin::display->counters;
  // V-blank in started the frame's count when it was measured.
  if (meter.vblankInSeconds == 0) {
    meter.allocationsBefore = allocations;
    meter.outsideMesaBefore = allocationsOutsideMesa;
  }
  countingAllocations = true;
  const auto start = std::chrono::steady_clock::now();
  CALLGRIND_TOGGLE_COLLECT;
  VDPOnVblankOut();
  CALLGRIND_TOGGLE_COLLECT;
  countingAllocations = false;
  const uint64_t frameAllocations = allocations - meter.allocationsBefore;
  meter.allocations += frameAllocations;
  meter.allocatingFrames += frameAllocations != 0 ? 1 : 0;
  meter.frameAllocations.push_back(static_cast<double>(frameAllocations));
  meter.outsideMesa += allocationsOutsideMesa - meter.outsideMesaBefore;
  meter.seconds.push_back(
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() +
      meter.vblankInSeconds + meter.hostSeconds);
  meter.vblankInSeconds = 0;
  meter.hostSeconds = 0;
  AddWork(meter.work, plugin::display->counters, before);
  ++meter.frames;
}

void MeteredFrame() {
  MeteredVblankIn();
  MeteredVblankOut();
}

// The display period's lines as a host plays them: before each line, the scene's writes
// (when asked), then H-blank in and out. Timed and counted with the frame they belong to:
// the host's accessor calls, the logging of the writes, the H-blank events.
void MeteredLines(PlaneScene& scene, bool write) {
  const auto start = std::chrono::steady_clock::now();
  if (meter.on) CALLGRIND_TOGGLE_COLLECT;
  for (int y = 0; y < PlaneScene::kLines; ++y) {
    if (write) scene.WriteLine(y);
    VDPOnHblankIn();
    VDPOnHblankOut();
  }
  if (!meter.on) return;
  CALLGRIND_TOGGLE_COLLECT;
  meter.hostSeconds +=
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The plugin's start as the host makes it, then the renderer chosen: its first period is
// drawn by the renderer the settings file named (OpenGL here), as in a player's session.
bool StartInRenderer(vdphost::InitInfo* info) {
  const bool started = InitVDPPlugin(reinterpret_cast<PluginInitInfo*>(info));
  ChooseRenderer();
  return started;
}

// The linked-in plugin as vdphost's scenes and replayer call it, with the frame entry
// metered.
vdphost::PluginApi LinkedPlugin() {
  vdphost::PluginApi api{};
  api.InitVDPPlugin = &StartInRenderer;
#define VDP_LINK(name) api.name = &name
  VDP_LINK(DeInitPlugin), VDP_LINK(Reset), VDP_LINK(SetupPlugin), VDP_LINK(DisplayPluginInfo);
  VDP_LINK(VDPOnVblankIn), VDP_LINK(VDPOnHblankIn), VDP_LINK(VDPOnHblankOut);
  VDP_LINK(WriteWordVDP1Regs), VDP_LINK(ReadWordVDP1Regs), VDP_LINK(WriteByteVDP1VRAM);
  VDP_LINK(WriteWordVDP1VRAM), VDP_LINK(WriteLongVDP1VRAM), VDP_LINK(ReadByteVDP1VRAM);
  VDP_LINK(ReadWordVDP1VRAM), VDP_LINK(ReadLongVDP1VRAM), VDP_LINK(WriteByteVDP1FrameBuffer);
  VDP_LINK(WriteWordVDP1FrameBuffer), VDP_LINK(WriteLongVDP1FrameBuffer);
  VDP_LINK(ReadByteVDP1FrameBuffer), VDP_LINK(ReadWordVDP1FrameBuffer);
  VDP_LINK(ReadLongVDP1FrameBuffer), VDP_LINK(WriteWordVDP2Regs), VDP_LINK(WriteLongVDP2Regs);
  VDP_LINK(ReadWordVDP2Regs), VDP_LINK(ReadLongVDP2Regs), VDP_LINK(WriteByteVDP2VRAM);
  VDP_LINK(WriteWordVDP2VRAM), VDP_LINK(WriteLongVDP2VRAM), VDP_LINK(ReadByteVDP2VRAM);
  VDP_LINK(ReadWordVDP2VRAM), VDP_LINK(ReadLongVDP2VRAM), VDP_LINK(WriteWordVDP2CRAM);
  VDP_LINK(WriteLongVDP2CRAM), VDP_LINK(ReadWordVDP2CRAM), VDP_LINK(ReadLongVDP2CRAM);
#undef VDP_LINK
  api.VDPOnVblankIn = &MeteredVblankIn;
  api.VDPOnVblankOut = &MeteredVblankOut;
  return api;
}

struct Options {
  std::string scene;
  std::string trace;
  uint32_t frames = 100;
  uint32_t reps = 1;
  bool baseline = true;
  bool dots = false;
  int threads = 1;
};

std::string TempDirectory() {
  char pattern[] = "/tmp/vdpframes-XXXXXX";
  const char* made = mkdtemp(pattern);
  return made != nullptr ? made : "";
}

// Nothing on screen: the display on in 352 x 240, no plane, an empty command table.
bool PlayEmpty(const Options& o) {
  BenchPlugin plugin;
  if (!plugin.running()) return false;
  WriteWordVDP1VRAM(0, 0x8000);
  WriteWordVDP2Regs(vdp2reg::TVMD, 0x8011);
  for (int f = 0; f < 3; ++f) BenchPlugin::Frame();
  meter.on = true;
  for (uint32_t f = 0; f < o.frames; ++f) MeteredFrame();
  return true;
}

bool PlaySprites(const Options& o, bool changing, uint32_t polygons = 0) {
  SpriteScene scene(polygons);
  if (!scene.running()) return false;
  meter.vdp1Dots = scene.DrawnDots();
  ChooseRenderer();
  // The first frame decodes and uploads every texture; by the third, whatever the window
  // thread had to say at start has been taken up too.
  for (int f = 0; f < 3; ++f) BenchPlugin::Frame();
  meter.on = true;
  for (uint32_t f = 0; f < o.frames; ++f) {
    if (changing) scene.ChangeEveryTexture();
    MeteredFrame();
  }
  return true;
}

enum class PlaneChange { kNone, kScroll, kClearCache, kScrollAndCharacter };

// What a plane scene adds to its planes.
struct PlaneExtras {
  uint16_t planes = 0x000F;  // BGON
  int composition = -1;      // PlaneScene::Compose(composition != 0) when 0 or 1
  int lines = -1;            // H-blank events, with the writes of every line when 1
};

bool PlayPlanes(const Options& o, PlaneChange change, PlaneExtras extras = {}) {
  PlaneScene scene(extras.planes);
  if (!scene.running()) return false;
  ChooseRenderer();
  if (extras.composition >= 0) scene.Compose(extras.composition != 0);
  // The scene drew its first frames in the OpenGL renderer; the switch acts at the next.
  if (drawDots) BenchPlugin::Frame();
  if (change == PlaneChange::kScroll || change == PlaneChange::kScrollAndCharacter) {
    // Half a plane away, the screen spans the planes' edges: the usual case in a game,
    // and the one that needs the most quads.
    for (int i = 0; i < 256; ++i) scene.Scroll();
    BenchPlugin::Frame();
  }
  // VDP1's sprites show from the second frame change on.
  if (extras.composition >= 0) BenchPlugin::Frame();
  meter.on = true;
  for (uint32_t f = 0; f < o.frames; ++f) {
    if (change == PlaneChange::kScroll || change == PlaneChange::kScrollAndCharacter) {
      scene.Scroll();
    }
    if (change == PlaneChange::kScrollAndCharacter) scene.ChangeCharacter();
    // What the menu's "Clear VDP2 cache" leads to when the host thread applies it.
    if (change == PlaneChange::kClearCache) plugin::vdp2->ClearCache();
    if (extras.lines >= 0) MeteredLines(scene, extras.lines != 0);
    MeteredFrame();
  }
  return true;
}

bool PlayRotation(const Options& o) {
  RotationScene scene;
  if (!scene.running()) return false;
  ChooseRenderer();
  BenchPlugin::Frame();
  meter.on = true;
  for (uint32_t f = 0; f < o.frames; ++f) {
    scene.Turn();
    MeteredFrame();
  }
  return true;
}

// The animated demo from its first frame, every frame measured.
bool PlayDemo(const Options& o) {
  const std::string dir = TempDirectory();
  if (dir.empty()) return false;
  BenchPlugin::WriteThreads(dir.c_str());
  vdphost::PluginApi api = LinkedPlugin();
  vdphost::InitInfo info{0, nullptr, nullptr, dir.c_str()};
  bool started = api.InitVDPPlugin(&info);
  if (started) {
    const vdphost::ScreenCapture noScreen("");
    vdphost::SceneBus bus(api, noScreen, [](const std::string&) {});
    bus.outputDirectory = dir;
    bus.demoFrames = static_cast<int>(o.frames);
    meter.on = true;
    vdphost::PlayAnimatedDemo(bus);
  }
  api.DeInitPlugin();
  std::error_code ignored;
  std::filesystem::remove_all(dir, ignored);
  return started;
}

// A recorded trace replayed as vdphost --play does, without saving pictures.
bool PlayTrace(const Options& o) {
  const std::string dir = TempDirectory();
  vdptrace::TraceReader reader;
  if (dir.empty() || !reader.OpenFile(o.trace)) {
    std::fprintf(stderr, "vdp_frame_costs: %s\n", reader.error().c_str());
    return false;
  }
  BenchPlugin::WriteThreads(dir.c_str());
  vdphost::PluginApi api = LinkedPlugin();
  vdphost::TraceReplayer replayer(api, vdphost::InitInfo{0, nullptr, nullptr, dir.c_str()});
  vdptrace::Record record;
  meter.on = true;
  while (reader.Next(record)) replayer.Apply(record);
  replayer.Finish();
  std::error_code ignored;
  std::filesystem::remove_all(dir, ignored);
  return true;
}

bool PlayScene(const Options& o) {
  if (o.scene == "empty") return PlayEmpty(o);
  if (o.scene == "demo") return PlayDemo(o);
  if (o.scene == "sprites-cached") return PlaySprites(o, false);
  if (o.scene == "sprites-changing") return PlaySprites(o, true);
  if (o.scene == "planes-still") return PlayPlanes(o, PlaneChange::kNone);
  if (o.scene == "planes-scrolling") return PlayPlanes(o, PlaneChange::kScroll);
  if (o.scene == "planes-character") return PlayPlanes(o, PlaneChange::kScrollAndCharacter);
  if (o.scene == "after-cache-clear") return PlayPlanes(o, PlaneChange::kClearCache);
  if (o.scene == "replay") return PlayTrace(o);
  if (o.scene == "plane-one") return PlayPlanes(o, PlaneChange::kScroll, {0x0001});
  if (o.scene == "rotation") return PlayRotation(o);
  if (o.scene == "composition-off") return PlayPlanes(o, PlaneChange::kScroll, {0x000F, 0});
  if (o.scene == "composition-on") return PlayPlanes(o, PlaneChange::kScroll, {0x000F, 1});
  if (o.scene == "hblank-only") return PlayPlanes(o, PlaneChange::kScroll, {0x000F, -1, 0});
  if (o.scene == "line-writes") return PlayPlanes(o, PlaneChange::kScroll, {0x000F, -1, 1});
  if (o.scene == "sprites-polygons") return PlaySprites(o, false, 500);
  std::fprintf(stderr, "vdp_frame_costs: no scene %s\n", o.scene.c_str());
  return false;
}

bool ParseOptions(int argc, char** argv, Options& o) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--scene" && hasValue)
      o.scene = argv[++i];
    else if (arg == "--trace" && hasValue)
      o.trace = argv[++i];
    else if (arg == "--frames" && hasValue)
      o.frames = static_cast<uint32_t>(std::strtoul(argv[++i], nullptr, 10));
    else if (arg == "--reps" && hasValue)
      o.reps = static_cast<uint32_t>(std::strtoul(argv[++i], nullptr, 10));
    else if (arg == "--threads" && hasValue)
      o.threads = static_cast<int>(std::strtol(argv[++i], nullptr, 10));
    else if (arg == "--no-baseline")
      o.baseline = false;
    else if (arg == "--attribute-allocations")
      attributeAllocations = true;
    else if (arg == "--renderer" && hasValue) {
      const std::string renderer = argv[++i];
      if (renderer != "opengl" && renderer != "dots") return false;
      o.dots = renderer == "dots";
    } else
      return false;
  }
  return !o.scene.empty() && o.frames > 0 && o.reps > 0;
}

// Plays the scene with the meter off before and after it; the meter's sums afterwards.
Meter Measure(const Options& o, bool (*play)(const Options&), bool dots, bool& ok) {
  meter = Meter{};
  drawDots = dots;
  ok = play(o) && meter.frames > 0;
  meter.on = false;
  return meter;
}

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// The median frame time in nanoseconds: a frame that the scheduler interrupted on this
// shared machine moves the mean, not the median.
double MedianNs(const std::vector<double>& seconds) { return Median(seconds) * 1e9; }

double MeanNs(const std::vector<double>& seconds) {
  double sum = 0;
  for (double s : seconds) sum += s;
  return seconds.empty() ? 0 : sum * 1e9 / static_cast<double>(seconds.size());
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  if (!ParseOptions(argc, argv, o)) {
    std::fprintf(stderr,
                 "usage: vdp_frame_costs --scene <empty|demo|sprites-cached|sprites-changing|"
                 "planes-still|planes-scrolling|after-cache-clear|replay|plane-one|rotation|"
                 "composition-off|composition-on|hblank-only|line-writes|sprites-polygons|"
                 "planes-character> "
                 "[--renderer opengl|dots] [--frames N] [--reps R] [--trace FILE] "
                 "[--threads N] [--no-baseline] [--attribute-allocations]\n");
    return 2;
  }
  BenchPlugin::dotThreads = o.threads;
  for (uint32_t rep = 0; rep < o.reps; ++rep) {
    bool ok = true;
    Meter base{}, opengl{};
    if (o.baseline) base = Measure(o, PlayEmpty, false, ok);
    if (!ok) return 1;
    // The same scene's frames in the OpenGL renderer, the yardstick of the dot-by-dot ones.
    if (o.baseline && o.dots) opengl = Measure(o, PlayScene, false, ok);
    if (!ok) return 1;
    const Meter m = Measure(o, PlayScene, o.dots, ok);
    if (!ok) return 1;
    const double n = m.frames;
    std::printf(
        "scene=%s renderer=%s rep=%u frames=%u median_ns=%.0f mean_ns=%.0f "
        "baseline_median_ns=%.0f opengl_median_ns=%.0f picture=%dx%d picture_dots=%.0f "
        "tex_image=%.2f "
        "tex_sub_image=%.2f sprite_quads=%.2f plane_quads=%.2f shapes=%.2f allocations=%llu "
        "allocating_frames=%u allocations_median=%.0f allocations_outside_mesa=%lld "
        "vdp1_dots=%llu\n",
        o.scene.c_str(), o.dots ? "dots" : "opengl", rep, m.frames, MedianNs(m.seconds),
        MeanNs(m.seconds), MedianNs(base.seconds), MedianNs(opengl.seconds), m.pictureWidth,
        m.pictureHeight, m.pictureDots / n, m.work.texturesUploaded / n,
        m.work.texSubImageCalls / n, m.work.texturedQuadsDrawn / n, m.work.planeQuadsDrawn / n,
        m.work.shapesDrawn / n, static_cast<unsigned long long>(m.allocations), m.allocatingFrames,
        Median(m.frameAllocations),
        attributeAllocations ? static_cast<long long>(m.outsideMesa) : -1LL,
        static_cast<unsigned long long>(m.vdp1Dots));
    std::fflush(stdout);
  }
  return 0;
}
