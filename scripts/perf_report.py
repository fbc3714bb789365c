#!/usr/bin/env python3
"""Measures the reference scenes and writes docs/performance.md (run by scripts/bench.sh).

Every figure in the report comes from this run: frame times and GL work from
vdp_frame_costs, the plugin's instructions from callgrind dumps of the same program, the
accessor and proxy times from vdp_bench. Usage:
  perf_report.py --build build/native-release --out docs/performance.md [--reps 5]
                 [--before-bench OLD/bench/vdp_bench [--before-label TEXT] [--rounds 3]]
With --before-bench, the accessor benchmarks of an older build are run interleaved with
this build's, and the report compares the two (times, and WriteWordVDP1VRAM's machine code).
"""
import argparse
import collections
import datetime
import json
import os
import re
import statistics
import subprocess
import sys
import tempfile

# (name in vdp_frame_costs, what the report calls it, frames timed, frames under callgrind)
# None: every frame the scene has (the demo's first 360, the trace's all).
SCENES = [
    ("empty", "Empty frame (the baseline): display on, nothing to draw", 120, 10),
    ("demo", "Animated demo, its first 360 frames", None, None),
    ("sprites-cached", "2,000 16 x 16 sprites, textures cached", 60, 10),
    ("sprites-changing", "2,000 sprites, every texture changed before each frame", 30, 5),
    ("planes-still", "Four 352 x 240 cell planes, unchanged", 60, 10),
    ("planes-scrolling", "Four cell planes across their edges, each scrolled one dot right and down", 60, 10),
    ("after-cache-clear", "Four cell planes, VDP2 cache cleared before each frame", 60, 10),
    ("replay", "The demo's recorded trace replayed (vdphost --record, then replay)", None, None),
]

# The same scenes drawn by the dot-by-dot renderer (--renderer dots), each repetition timed
# beside the OpenGL renderer's frames of the scene. Its planes are not cached, so the still
# and cache-cleared plane scenes would repeat the scrolling one. They are timed with the
# settings file's default of two threads composing lines (the host's and one worker) and
# counted on one, so that the host thread's count is the whole frame's.
DOT_THREADS = 2
DOT_SCENES = [
    ("demo", "Animated demo, its 359 frames after the first (drawn before the switch acts)",
     None, None),
    ("sprites-cached", "2,000 16 x 16 sprites", 60, 10),
    ("planes-scrolling", "Four cell planes across their edges, each scrolled one dot right and down",
     60, 10),
]
# Dot-by-dot frames beside the frame they are compared with: (scene, its title, the
# compared scene, its title, target). Each repetition plays the compared scene, then the
# scene, one process each, so that both see the same load; callgrind counts both.
DOT_PAIRS = [
    ("rotation", "RBG0 alone, full screen, in perspective, coefficients (kx, ky) read per dot",
     "plane-one", "NBG0 alone (one cell plane, scrolled)",
     "per displayed dot at most 2x the compared frame's"),
    ("composition-on", "Four cell planes (scrolled), 6 shadow sprites, with two windows, colour "
     "calculation of NBG0 and NBG1 and shadows on the four planes",
     "composition-off", "the same without windows, colour calculation and shadows",
     "at most 30% more per displayed dot"),
    ("line-writes", "Four cell planes (scrolled), H-blank events, SCXIN0 and a colour RAM word "
     "written before each of the 240 lines",
     "hblank-only", "the same H-blank events without the writes", "at most 20% more"),
    ("planes-character", "Four cell planes (scrolled), one word of one character's dots "
     "changed before each frame", "planes-scrolling", "the same with only the scroll changed",
     "at most 5% more (what changed is one word to decode)"),
    ("sprites-polygons", "2,000 16 x 16 sprites and 500 16 x 16 gouraud polygons, display on",
     None, None, "at most 30 plugin instructions per drawn VDP1 dot"),
]
DOT_PAIR_FRAMES = (60, 10)  # timed per repetition, counted under callgrind
# What a demo frame drawn dot by dot may cost with two threads (and no more than the
# OpenGL renderer's frame); what a frame of four normal screens and sprites may cost per
# displayed dot.
DOT_DEMO_TARGET_MS = 1.5
DOT_PER_DOT_TARGET = 60
ACCESSOR_FILTER = "BM_Vdp1Vram|BM_Vdp2Vram|BM_Vdp2Cram|BM_Register"

# Objects whose instructions are Mesa's: its OSMesa library, the GL dispatch and the
# code llvmpipe compiles at run time (callgrind names it "???", reached only from Mesa).
MESA_OBJECT = re.compile(r"OSMesa|libGL|glapi|gallium|LLVM|_dri|swrast")
SWAP_FUNCTION = "platform::SwapSurfaceBuffers(void*)"
# VDP1's command walker in the dot-by-dot renderer: all of VDP1's drawing happens under it.
VDP1_DRAW_FUNCTION = "dots::Vdp1Raster::Draw(dots::ChipView const&, dots::DrawTarget const&)"

ACCESSORS = [
    ("BM_Vdp1VramWordWriteUnchanged", "VDP1 VRAM word write, same value"),
    ("BM_Vdp1VramWordWriteChanging", "VDP1 VRAM word write, new value"),
    ("BM_Vdp2VramLongWriteUnchanged", "VDP2 VRAM long write, same value"),
    ("BM_Vdp2VramLongWriteChanging", "VDP2 VRAM long write, new value"),
    ("BM_Vdp2CramWordWrite", "VDP2 colour RAM word write"),
    ("BM_RegisterWrites", "register write (mean of EWDR, SCXIN0, PRISA)"),
]


def run(cmd, **kw):
    return subprocess.run(cmd, check=True, capture_output=True, text=True, **kw).stdout


def parse_callgrind(path):
    """Instructions of one thread's dump: (total, Mesa's, the headless swap's own, VDP1's
    drawing in the dot-by-dot renderer).

    Mesa's cost is the inclusive cost of every call made from outside Mesa into it, so
    what Mesa does in the C library (a memcpy inside glTexImage2D) stays Mesa's."""
    kinds = {"ob": "ob", "cob": "ob", "fl": "fl", "fi": "fl", "fe": "fl", "cfi": "fl",
             "cfl": "fl", "fn": "fn", "cfn": "fn"}
    names = {"ob": {}, "fl": {}, "fn": {}}

    def resolve(key, value):
        m = re.match(r"\((\d+)\)\s*(.*)", value)
        if not m:
            return value
        table = names[kinds[key]]
        if m.group(2):
            table[m.group(1)] = m.group(2)
        return table.get(m.group(1), "")

    obj = fn = callee_obj = callee_fn = None
    in_call = False
    total = mesa = swap_in = swap_to_mesa = vdp1 = 0
    with open(path) as f:
        for line in f:
            if not line.strip() or line.startswith("#"):
                continue
            c = line[0]
            if c.isdigit() or c in "+-*":
                fields = line.split()
                cost = int(fields[-1]) if len(fields) > 1 else 0
                if not in_call:
                    total += cost
                    continue
                in_call = False
                target_obj = callee_obj or obj
                callee_obj = None
                caller_mesa = bool(MESA_OBJECT.search(obj or ""))
                if not caller_mesa and MESA_OBJECT.search(target_obj or ""):
                    mesa += cost
                    if fn == SWAP_FUNCTION:
                        swap_to_mesa += cost
                if callee_fn == SWAP_FUNCTION:
                    swap_in += cost
                if callee_fn == VDP1_DRAW_FUNCTION:
                    vdp1 += cost
                continue
            key, _, value = line.rstrip("\n").partition("=")
            if key == "ob":
                obj = resolve(key, value)
            elif key == "fn":
                fn = resolve(key, value)
                callee_obj = None
            elif key == "cob":
                callee_obj = resolve(key, value)
            elif key == "cfn":
                callee_fn = resolve(key, value)
            elif key in kinds:
                resolve(key, value)
            elif key == "calls":
                in_call = True
    return total, mesa, swap_in - swap_to_mesa, vdp1


def frame_costs(exe, scene, frames, reps, trace, workdir, wrapper=None, dots=False,
                extra=(), threads=1):
    cmd = (wrapper or []) + [exe, "--scene", scene, "--reps", str(reps),
                             "--threads", str(threads)]
    # The demo is timed over its first 360 frames; a trace is replayed whole, and the
    # baseline takes as many.
    cmd += ["--frames", str(frames or 360)]
    if scene == "replay":
        cmd += ["--trace", trace]
    if dots:
        cmd += ["--renderer", "dots"]
    if wrapper or extra:
        cmd += ["--no-baseline"]
    cmd += list(extra)
    # llvmpipe rasterises on the calling thread: on a shared two-core machine its worker
    # threads made the frame times depend on how they were scheduled.
    env = dict(os.environ, LP_NUM_THREADS="0")
    out = run(cmd, cwd=workdir, env=env)
    rows = []
    for line in out.splitlines():
        if line.startswith("scene="):
            rows.append(dict(kv.split("=", 1) for kv in line.split()))
    if len(rows) != reps:
        sys.exit(f"perf_report: {scene}: expected {reps} result lines, got:\n{out}")
    return rows


def callgrind_scene(exe, scene, frames, trace, workdir, dots=False):
    out = os.path.join(workdir, f"callgrind.{'dots.' if dots else ''}{scene}")
    rows = frame_costs(exe, scene, frames, 1, trace, workdir,
                       wrapper=["valgrind", "--tool=callgrind", "--collect-atstart=no",
                                "--separate-threads=yes", f"--callgrind-out-file={out}"],
                       dots=dots)
    # Thread 1 is the host's: it makes every measured call.
    total, mesa, swap, vdp1 = parse_callgrind(out + "-01")
    if total == 0:
        sys.exit("perf_report: callgrind counted nothing: vdp_frame_costs was built without "
                 "valgrind's header (install valgrind, then rebuild it)")
    n = int(rows[0]["frames"])
    return {"frames": n, "own": (total - mesa) / n, "mesa": mesa / n, "swap": swap / n,
            "picture_dots": float(rows[0]["picture_dots"]),
            "vdp1_dots": int(rows[0].get("vdp1_dots", 0)), "vdp1": vdp1 / n}


def google_benchmarks(exe, pattern, reps, workdir):
    out = os.path.join(workdir, "bench.json")
    if os.path.exists(out):
        os.remove(out)
    subprocess.run([exe, f"--benchmark_filter={pattern}", f"--benchmark_repetitions={reps}",
                    "--benchmark_format=json", f"--benchmark_out={out}"],
                   check=True, stdout=subprocess.DEVNULL, cwd=workdir)
    runs = collections.defaultdict(list)
    # A filter that matches nothing leaves the output file empty.
    if os.path.getsize(out) == 0:
        return runs
    with open(out) as f:
        data = json.load(f)
    for b in data["benchmarks"]:
        if b.get("run_type") != "iteration":
            continue
        # ns per call: items_per_second when a benchmark counts its calls.
        if "items_per_second" in b:
            ns = 1e9 / b["items_per_second"]
        else:
            ns = b["cpu_time"] * {"ns": 1, "us": 1e3, "ms": 1e6}[b["time_unit"]]
        runs[b["name"]].append(ns)
    return runs


def accessor_rounds(before_exe, after_exe, reps, rounds, workdir):
    """The accessor benchmarks of two builds, alternating, so that both see the same load."""
    before = collections.defaultdict(list)
    after = collections.defaultdict(list)
    for i in range(rounds):
        print(f"accessors before/after: round {i + 1} of {rounds}", flush=True)
        for exe, into in ((before_exe, before), (after_exe, after)):
            for name, ns in google_benchmarks(exe, ACCESSOR_FILTER, reps, workdir).items():
                into[name] += ns
    return before, after


def disassembly(exe, function):
    """The function's instructions as gdb prints them, without their addresses."""
    try:
        out = run(["gdb", "-batch", "-ex", f"disassemble {function}", exe])
    except (OSError, subprocess.CalledProcessError):
        return []
    lines = []
    for line in out.splitlines():
        m = re.match(r"\s+0x[0-9a-f]+ <\+(\d+)>:\s+(.*)", line)
        if m:
            # Jump targets and RIP-relative comments carry addresses that differ by build.
            text = re.sub(r"0x[0-9a-f]+ <", "<", m.group(2))
            text = re.sub(r"-?0x[0-9a-f]+\(%rip\)", "(%rip)", text)
            text = re.sub(r"\s+# 0x[0-9a-f]+", " #", text)
            lines.append(f"+{m.group(1)}: {' '.join(text.split())}")
    return lines


def machine():
    cpu = "unknown"
    with open("/proc/cpuinfo") as f:
        for line in f:
            if line.startswith("model name"):
                cpu = line.split(":", 1)[1].strip()
                break
    load = open("/proc/loadavg").read().split()[:3]

    def first_line(cmd):
        try:
            return run(cmd).splitlines()[0]
        except (OSError, subprocess.CalledProcessError, IndexError):
            return "unknown"

    return {
        "nproc": run(["nproc"]).strip(),
        "cpu": cpu,
        "load": " ".join(load),
        "compiler": first_line(["c++", "--version"]),
        "mesa": first_line(["dpkg-query", "-W", "-f=${Version}", "libosmesa6"]),
        "valgrind": first_line(["valgrind", "--version"]),
        "commit": first_line(["git", "describe", "--always", "--dirty"]),
        "date": datetime.datetime.now(datetime.timezone.utc).strftime("%Y-%m-%d %H:%M UTC"),
    }


def previous_counts(path):
    try:
        with open(path) as f:
            m = re.search(r"<!-- instruction-counts: (\{.*\}) -->", f.read())
        return json.loads(m.group(1)) if m else {}
    except OSError:
        return {}


def fmt_int(x):
    return f"{round(x):,}"


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--build", required=True)
    ap.add_argument("--out", required=True)
    ap.add_argument("--reps", type=int, default=5)
    ap.add_argument("--before-bench", help="vdp_bench of an older build, for the accessors")
    ap.add_argument("--before-label", default="the older build")
    ap.add_argument("--rounds", type=int, default=3,
                    help="before/after alternations of the accessor benchmarks")
    args = ap.parse_args()
    build = os.path.abspath(args.build)
    costs = os.path.join(build, "bench", "vdp_frame_costs")
    bench = os.path.join(build, "bench", "vdp_bench")
    vdphost = os.path.join(build, "host", "vdphost")
    plugin = os.path.join(build, "libvdp_plugin.so")
    build_type = "unknown"
    with open(os.path.join(build, "CMakeCache.txt")) as f:
        for line in f:
            if line.startswith("CMAKE_BUILD_TYPE:"):
                build_type = line.split("=", 1)[1].strip()
    info = machine()
    before = previous_counts(args.out)

    with tempfile.TemporaryDirectory(prefix="vdpperf-") as work:
        trace = os.path.join(work, "demo.vdptrace")
        print("recording the demo's trace", flush=True)
        pictures = os.path.join(work, "pictures")
        os.mkdir(pictures)
        run([vdphost, "--plugin", plugin, "--out", pictures, "--record", trace], cwd=work)
        trace_bytes = os.path.getsize(trace)

        results = {}
        for scene, title, frames, cg_frames in SCENES:
            print(f"{scene}: timing", flush=True)
            rows = frame_costs(costs, scene, frames, args.reps, trace, work)
            print(f"{scene}: callgrind", flush=True)
            cg = callgrind_scene(costs, scene, cg_frames, trace, work)
            times = [float(r["median_ns"]) / 1e6 for r in rows]
            ratios = [float(r["median_ns"]) / float(r["baseline_median_ns"]) for r in rows]
            results[scene] = {"title": title, "rows": rows, "times": times, "ratios": ratios,
                              "cg": cg}

        dot_results = {}
        for scene, title, frames, cg_frames in DOT_SCENES:
            print(f"{scene} dot by dot: timing", flush=True)
            rows = frame_costs(costs, scene, frames, args.reps, trace, work, dots=True,
                               threads=DOT_THREADS)
            print(f"{scene} dot by dot: callgrind", flush=True)
            cg = callgrind_scene(costs, scene, cg_frames, trace, work, dots=True)
            print(f"{scene} dot by dot: allocations", flush=True)
            attributed = frame_costs(costs, scene, cg_frames, 1, trace, work, dots=True,
                                     extra=["--attribute-allocations"])[0]
            dot_results[scene] = {
                "title": title, "rows": rows, "cg": cg, "attributed": attributed,
                "times": [float(r["median_ns"]) / 1e6 for r in rows],
                "opengl": [float(r["opengl_median_ns"]) / 1e6 for r in rows],
                "ratios": [float(r["median_ns"]) / float(r["opengl_median_ns"]) for r in rows]}

        pair_results = dot_pairs(costs, args.reps, trace, work)

        print("accessors and proxy: vdp_bench", flush=True)
        acc = google_benchmarks(bench, ACCESSOR_FILTER, args.reps, work)
        proxy = google_benchmarks(bench, "BM_Proxy", args.reps, work)
        compare = None
        if args.before_bench:
            old, new = accessor_rounds(os.path.abspath(args.before_bench), bench, args.reps,
                                       args.rounds, work)
            compare = {"before": old, "after": new,
                       "before_code": disassembly(args.before_bench, "WriteWordVDP1VRAM"),
                       "after_code": disassembly(bench, "WriteWordVDP1VRAM")}

    counts = {s: round(r["cg"]["own"]) for s, r in results.items()}
    counts.update({f"dots/{s}": round(r["cg"]["own"]) for s, r in dot_results.items()})
    counts.update({f"dots/{s}": round(r["own"]) for s, r in pair_results["cg"].items()})
    write_report(args, info, build_type, results, counts, before, acc, proxy, trace_bytes,
                 dot_results, compare, pair_results)
    print(f"wrote {args.out}")
    for s, c in counts.items():
        same = "" if s not in before else (" (same as before)" if before[s] == c else
                                           f" (was {before[s]:,})")
        print(f"  {s}: {c:,} plugin instructions per frame{same}")


def dot_pairs(costs, reps, trace, work):
    """Times and counts of the DOT_PAIRS scenes: per repetition, the compared scene's median
    frame time then the scene's, each run alone (one repetition, no baseline)."""
    frames, cg_frames = DOT_PAIR_FRAMES
    times = collections.defaultdict(list)
    ratios = collections.defaultdict(list)
    for rep in range(reps):
        print(f"dot-by-dot comparisons: repetition {rep + 1} of {reps}", flush=True)
        for scene, _, other, _, _ in DOT_PAIRS:
            pair = [other, scene] if other else [scene]
            ms = {}
            for s in pair:
                row = frame_costs(costs, s, frames, 1, trace, work, dots=True,
                                  extra=["--no-baseline"])[0]
                ms[s] = float(row["median_ns"]) / 1e6
                times[s].append(ms[s])
            if other:
                ratios[scene].append(ms[scene] / ms[other])
    cg = {}
    for scene, _, other, _, _ in DOT_PAIRS:
        for s in [other, scene] if other else [scene]:
            print(f"{s} dot by dot: callgrind", flush=True)
            cg[s] = callgrind_scene(costs, s, cg_frames, trace, work, dots=True)
    return {"times": times, "ratios": ratios, "cg": cg}


def write_dot_pairs(add, reps, pairs, dot_results, counts, before):
    frames, cg_frames = DOT_PAIR_FRAMES
    cg, times, ratios = pairs["cg"], pairs["times"], pairs["ratios"]
    add("### Dot-by-dot frames beside the frame they are compared with")
    add("")
    add(f"`vdp_frame_costs --renderer dots --no-baseline`, each scene in its own process: in "
        f"each of {reps} repetitions the compared frame, then the frame, {frames} frames "
        "timed each; the time ratio is taken within a repetition (median and range of the "
        f"repetitions). Instructions from callgrind over {cg_frames} frames, as above; per "
        "displayed dot divides them by the picture's width x height. Frames are composed on "
        "one thread (`--threads 1`, the settings file's `[RENDERER] threads`). In the line "
        "scenes the host's calls of the display period (its register and colour RAM writes "
        "and the H-blank events) are timed and counted with the frame; the write log is "
        "replayed at V-blank in.")
    add("")
    add("| Frame | plugin instructions per frame | per displayed dot | compared with | its "
        "instructions per frame | its per displayed dot | instructions, ratio | time, ratio "
        "(range) | ms per frame, median | target | same count as before |")
    add("|---|---|---|---|---|---|---|---|---|---|---|")
    def per_dot(c):
        return c["own"] / c["picture_dots"] if c["picture_dots"] else float("nan")
    for scene, title, other, other_title, target in DOT_PAIRS:
        c = cg[scene]
        key = f"dots/{scene}"
        same = "first run" if key not in before else ("yes" if before[key] == counts[key]
                                                       else f"no (was {before[key]:,})")
        t = times[scene]
        if other:
            o = cg[other]
            ratio = per_dot(c) / per_dot(o)
            cells = (f"{other_title} | {fmt_int(o['own'])} | {per_dot(o):.0f} | {ratio:.2f} | "
                     f"{spread(ratios[scene])}")
        else:
            cells = "- | | | | "
        add(f"| {title} | {fmt_int(c['own'])} | {per_dot(c):.0f} | {cells} | "
            f"{statistics.median(t):.2f} | {target} | {same} |")
    add("")
    notes = []
    rot, one = cg.get("rotation"), cg.get("plane-one")
    if rot and one:
        r = per_dot(rot) / per_dot(one)
        line = (f"RBG0: {per_dot(rot):.0f} instructions per displayed dot against "
                f"{per_dot(one):.0f} for a frame of NBG0 alone, {r:.2f}x "
                f"({'within' if r <= 2 else 'over'} 2x)")
        four = dot_results.get("planes-scrolling")
        if four and four["cg"]["picture_dots"]:
            share = four["cg"]["own"] / four["cg"]["picture_dots"] / 4
            line += (f"; a quarter of the four-plane frame's per dot (one NBG's share, the "
                     f"composition of four layers included) is {share:.0f}, against which "
                     f"RBG0 is {per_dot(rot) / share:.2f}x")
        notes.append(line + ".")
    for scene, limit in (("composition-on", 1.3), ("line-writes", 1.2),
                         ("planes-character", 1.05)):
        other = dict((p[0], p[2]) for p in DOT_PAIRS)[scene]
        if scene in cg and other in cg:
            r = per_dot(cg[scene]) / per_dot(cg[other])
            notes.append(f"{scene}: {100 * (r - 1):+.1f}% instructions per displayed dot, time "
                         f"{100 * (statistics.median(ratios[scene]) - 1):+.1f}% "
                         f"({'within' if r <= limit else 'over'} "
                         f"{100 * (limit - 1):.0f}% by the instructions).")
    four = cg.get("composition-off")
    if four:
        d = per_dot(four)
        notes.append(f"Four normal screens and sprites (composition-off: four scrolled cell "
                     f"planes and 6 sprites): {d:.0f} plugin instructions per displayed dot "
                     f"({'within' if d <= DOT_PER_DOT_TARGET else 'over'} "
                     f"{DOT_PER_DOT_TARGET}).")
    for scene in [p[0] for p in DOT_PAIRS]:
        drawn = cg.get(scene, {}).get("vdp1_dots", 0)
        if drawn:
            vdp1 = cg[scene]["vdp1"] / drawn
            whole = cg[scene]["own"] / drawn
            notes.append(f"{scene}: {drawn:,} dots drawn by VDP1 a frame (the sprites' and "
                         f"polygons' areas less the textures' transparent dots); VDP1's drawing "
                         f"(the inclusive count of its command walker, `Vdp1Raster::Draw`) "
                         f"costs {vdp1:.1f} plugin instructions per drawn dot "
                         f"({'within' if vdp1 <= 30 else 'over'} 30); the whole frame, the "
                         f"composition of the {cg[scene]['picture_dots']:,.0f}-dot picture "
                         f"included, {whole:.1f} per drawn dot.")
    for n in notes:
        add(f"- {n}")
    add("")


def write_report(args, info, build_type, results, counts, before, acc, proxy, trace_bytes,
                 dot_results, compare, pairs):
    reps = args.reps
    L = []
    add = L.append
    add("# Performance")
    add("")
    add("Written by `scripts/bench.sh` from the measurements of one run; nothing here is "
        "edited by hand. Run it again to refresh every figure (it takes 10 to 20 minutes).")
    add("")
    add("## Where and how")
    add("")
    add("| | |")
    add("|---|---|")
    add(f"| Measured | {info['date']}, commit `{info['commit']}` |")
    add(f"| Machine | {info['nproc']} CPUs (`nproc`), {info['cpu']}; load average "
        f"{info['load']} at the start, shared with other work |")
    add(f"| Build | preset `native-release`, CMake build type {build_type}, "
        f"{info['compiler']} |")
    add(f"| GL | Mesa's offscreen library (libosmesa6 {info['mesa']}, llvmpipe with "
        "`LP_NUM_THREADS=0`: it rasterises on the plugin's thread), through the headless "
        "platform |")
    add(f"| Instruction counts | {info['valgrind']}, tool callgrind |")
    add("")
    add("**Time per frame** is the wall time spent in `VDPOnVblankOut`, where the plugin draws "
        "the frame, presents it and erases for the next, measured around each call with "
        f"`steady_clock` by `build/native-release/bench/vdp_frame_costs` in {reps} "
        "repetitions; a repetition's figure is the median of its frames, so that a frame the "
        "scheduler interrupted does not move it. The host's writes between frames are not in it "
        "(their cost is in the accessor table). Each repetition first times as many empty "
        "frames, then the scene, in the same process: the ratio to that empty frame is the "
        "figure to compare between runs, since the machine is shared and its speed changes from "
        "minute to minute. The table gives the median of the repetitions and their range. Mesa "
        "draws in software, so most of a frame's time is Mesa's, not the plugin's; the "
        "instruction counts separate the two.")
    add("")
    add("**Plugin instructions per frame** are counted by callgrind on the same program "
        "(`valgrind --tool=callgrind --collect-atstart=no`, `LP_NUM_THREADS=0`): the program "
        "switches collection on only around its calls of `VDPOnVblankOut` for the measured "
        "frames, so set-up and warm-up frames are not counted. From the host thread's dump, "
        "the inclusive cost of every call made from outside Mesa into Mesa's objects "
        "(libOSMesa, libglapi, and the code llvmpipe compiles) is taken away; what remains is "
        "the plugin's own code and the C library work it asks for. That figure does not depend "
        "on the machine's load, and two runs give the same number; the last column says "
        "whether it equals the one in the report this run replaced. *Headless swap* is the "
        "part spent in the headless platform's buffer swap (a copy of the picture for tools "
        "to read back, and clearing the next buffer), which a Windows build does not do. "
        "*Mesa* is shown for scale only: it includes llvmpipe's rasterising.")
    add("")
    add("**GL work per frame** is the plugin's own count of its GL calls "
        "(`DisplayWorkCounters`), over the timed frames: textures created is `glTexImage2D` "
        "(a sprite texture or plane texture given new storage), sub-images is "
        "`glTexSubImage2D`, quads are textured sprite quads plus plane quads; shapes are "
        "untextured polygons, polylines and lines.")
    add("")
    add("## Frames")
    add("")
    add("| Scene | ms per frame, median (range) | x empty frame, median | plugin instructions per "
        "frame | of which headless swap | Mesa instructions per frame | textures created | "
        "sub-images | quads (sprites + planes) | shapes | same count as before |")
    add("|---|---|---|---|---|---|---|---|---|---|---|")
    for scene, r in results.items():
        row0 = r["rows"][0]
        t = r["times"]
        cg = r["cg"]
        sprites = float(row0["sprite_quads"])
        planes = float(row0["plane_quads"])
        quads = f"{sprites + planes:g} ({sprites:g} + {planes:g})"
        same = "first run" if scene not in before else ("yes" if before[scene] == counts[scene]
                                                          else f"no (was {before[scene]:,})")
        ratio = "1 (baseline)" if scene == "empty" else f"{statistics.median(r['ratios']):.1f}"
        add(f"| {r['title']} | {statistics.median(t):.2f} ({min(t):.2f}-{max(t):.2f}) | {ratio} | "
            f"{fmt_int(cg['own'])} | {fmt_int(cg['swap'])} | {fmt_int(cg['mesa'])} | "
            f"{float(row0['tex_image']):g} | {float(row0['tex_sub_image']):g} | {quads} | "
            f"{float(row0['shapes']):g} | {same} |")
    add("")
    add("Frames timed per repetition, and counted under callgrind:")
    for scene, r in results.items():
        add(f"- {scene}: {r['rows'][0]['frames']} timed, {r['cg']['frames']} counted")
    add("")
    add(f"The replayed trace is the animated demo recorded by `vdphost --record` in this run "
        f"({trace_bytes:,} bytes); it is replayed through vdphost's replayer, so its figures "
        "should match the demo's: the replay differs only in the order of the host's calls "
        "within a frame.")
    add("")
    write_dot_frames(add, reps, dot_results, counts, before)
    write_dot_pairs(add, reps, pairs, dot_results, counts, before)
    add("## Accessors")
    add("")
    add(f"CPU time per call, from `vdp_bench` (Google Benchmark, `--benchmark_repetitions={reps}`"
        "), median and range of the repetitions. The benchmark calls the exports of the "
        "plugin linked in, in a loop over 4 KB or 64 KB of addresses.")
    add("")
    add("| Call | ns per call, median (range) |")
    add("|---|---|")
    for name, title in ACCESSORS:
        ns = acc.get(name)
        if not ns:
            add(f"| {title} | not measured: `{name}` missing from vdp_bench |")
            continue
        add(f"| {title} | {statistics.median(ns):.2f} ({min(ns):.2f}-{max(ns):.2f}) |")
    add("")
    if compare:
        write_accessor_comparison(add, args, compare)
    add("## Recording proxy")
    add("")
    pairs = collections.defaultdict(dict)
    for name, ns in proxy.items():
        m = re.match(r"(BM_Proxy\w+)/proxied:(\d)", name)
        if m:
            pairs[m.group(1)][m.group(2)] = ns
    if not pairs:
        add("Not measured: this build's `vdp_bench` has no recording proxy benchmark "
            "(`BM_Proxy...`). With the proxy in the tree, this section gives the same call "
            "made directly and through the proxy, and their difference.")
    else:
        add(f"CPU time per call from `vdp_bench --benchmark_filter=BM_Proxy` (Google Benchmark, "
            f"{reps} repetitions, median): the same accessor called in the real plugin and "
            "through the proxy, which forwards it and records it; the difference is the "
            "proxy's cost on the emulation thread, taken within each repetition.")
        add("")
        add("| Call | direct, ns | proxied, ns | overhead, ns per call (range) |")
        add("|---|---|---|---|")
        for name, p in sorted(pairs.items()):
            if "0" not in p or "1" not in p:
                continue
            diffs = [b - a for a, b in zip(p["0"], p["1"])]
            add(f"| {name[len('BM_Proxy'):]} | {statistics.median(p['0']):.2f} | "
                f"{statistics.median(p['1']):.2f} | {statistics.median(diffs):.2f} "
                f"({min(diffs):.2f}-{max(diffs):.2f}) |")
    add("")
    add(f"<!-- instruction-counts: {json.dumps(counts, sort_keys=True)} -->")
    with open(args.out, "w") as f:
        f.write("\n".join(L) + "\n")


def spread(values, digits=2):
    return (f"{statistics.median(values):.{digits}f} "
            f"({min(values):.{digits}f}-{max(values):.{digits}f})")


def write_dot_frames(add, reps, dot_results, counts, before):
    add("## Frames drawn dot by dot")
    add("")
    add("The same program with `--renderer dots`: the menu's switch set once the plugin runs, so "
        "each scene is drawn by the dot-by-dot renderer from its next frame on. A frame's time "
        "is then `VDPOnVblankIn` (where that renderer composes the display period's picture) "
        "plus `VDPOnVblankOut` (where it shows the picture, one texture upload and one quad, and "
        "runs VDP1's frame change into its frame buffer); callgrind collects both. Each "
        f"repetition ({reps}) times the scene first in the OpenGL renderer, then dot by dot, in "
        "the same process: the ratio of the two medians is the figure to compare between runs. "
        f"Lines are composed by {DOT_THREADS} threads in the timed runs (`--threads "
        f"{DOT_THREADS}`, the settings file's default: the host's and one worker) and by one "
        "under callgrind, whose count of the host thread is then the whole frame's. "
        "*Per displayed dot* divides the plugin's instructions per frame by the picture's width "
        "x height. *Allocations* are the heap allocations the host thread made during the "
        "measured calls (the program's own malloc family counts them), in one more run with "
        "`--attribute-allocations`, which also counts those made with no Mesa object on the "
        "call stack: the plugin's own.")
    add("")
    add("| Scene | picture | ms per frame, median (range) | x OpenGL frame of the scene, median "
        "(range) | OpenGL ms per frame, median | plugin instructions per frame | per displayed "
        "dot | Mesa instructions per frame | allocations per frame, median (the plugin's, mean) | same count "
        "as before |")
    add("|---|---|---|---|---|---|---|---|---|---|")
    for scene, r in dot_results.items():
        cg = r["cg"]
        a = r["attributed"]
        dots = cg["picture_dots"]
        picture = r["rows"][0]["picture"].replace("x", " x ")
        key = f"dots/{scene}"
        same = "first run" if key not in before else ("yes" if before[key] == counts[key]
                                                       else f"no (was {before[key]:,})")
        frames = int(a["frames"])
        allocs = (f"{float(a['allocations_median']):g} "
                  f"({int(a['allocations_outside_mesa']) / frames:g})")
        per_dot = f"{cg['own'] / dots:.0f}" if dots else "no picture"
        add(f"| {r['title']} | {picture} | {spread(r['times'])} | "
            f"{spread(r['ratios'])} | {statistics.median(r['opengl']):.2f} | "
            f"{fmt_int(cg['own'])} | {per_dot} | {fmt_int(cg['mesa'])} | {allocs} | {same} |")
    add("")
    add("Frames timed per repetition, counted under callgrind, and in the allocation run:")
    for scene, r in dot_results.items():
        add(f"- {scene}: {r['rows'][0]['frames']} timed, {r['cg']['frames']} counted, "
            f"{r['attributed']['frames']} in the allocation run, of which "
            f"{r['attributed']['allocating_frames']} allocated")
    add("")
    demo = dot_results.get("demo")
    if demo:
        ms = statistics.median(demo["times"])
        verdict = ("within it" if ms <= DOT_DEMO_TARGET_MS else "over it") + \
            f" by {abs(DOT_DEMO_TARGET_MS - ms):.2f} ms"
        own = sum(int(r["attributed"]["allocations_outside_mesa"]) for r in dot_results.values())
        gl = statistics.median(demo["opengl"])
        ratio = statistics.median(demo["ratios"])
        add(f"Targets: a demo frame drawn dot by dot with {DOT_THREADS} threads in at most "
            f"{DOT_DEMO_TARGET_MS:g} ms and no longer than the OpenGL renderer's frame: the "
            f"median is {ms:.2f} ms, {verdict} (the slowest repetition: "
            f"{max(demo['times']):.2f} ms), {ratio:.2f}x the OpenGL frame of the same "
            f"repetition ({gl:.2f} ms, {'within' if ratio <= 1 else 'over'} it). No allocation "
            f"per frame in the dot-by-dot renderer: "
            f"{own} allocations made outside Mesa over the measured frames of these scenes; "
            "the others are Mesa's (the picture's `glTexSubImage2D` and the headless swap), "
            "and, in the demo's first measured frame, llvmpipe compiling the picture's shader.")
        add("")


def write_accessor_comparison(add, args, compare):
    old, new = compare["before"], compare["after"]
    rounds = args.rounds
    add(f"### Before and after: {args.before_label}")
    add("")
    add(f"The same benchmarks from `{args.before_bench}` (before) and this build (after), run "
        f"alternately, {rounds} times each with {args.reps} repetitions, so that both saw the "
        "same load; median and range of all repetitions, ns per call.")
    add("")
    add("| Call | before | after | after - before, medians |")
    add("|---|---|---|---|")
    for name, title in ACCESSORS:
        if not old.get(name) or not new.get(name):
            add(f"| {title} | not measured | | |")
            continue
        diff = statistics.median(new[name]) - statistics.median(old[name])
        add(f"| {title} | {spread(old[name])} | {spread(new[name])} | {diff:+.2f} |")
    add("")
    before_code, after_code = compare["before_code"], compare["after_code"]
    if not before_code or not after_code:
        add("The machine code of `WriteWordVDP1VRAM` could not be read (gdb missing?).")
        add("")
        return
    def ops(lines):
        return [line.split(": ", 1)[1] for line in lines]

    def executed(lines):
        # From the entry to the first unconditional jump or return, conditional jumps not
        # taken: the path of a call made while the core exists.
        n = 0
        for op in ops(lines):
            n += 1
            if op.startswith(("jmp", "ret")):
                break
        return n

    added = collections.Counter(ops(after_code)) - collections.Counter(ops(before_code))
    add(f"`WriteWordVDP1VRAM` in machine code (`gdb -batch -ex 'disassemble WriteWordVDP1VRAM'`): "
        f"{len(before_code)} instructions before, {len(after_code)} after; "
        f"{executed(before_code)} and {executed(after_code)} executed on the way to the core "
        "when it exists (the exit when it does not is a branch that a running emulator never "
        f"takes). The ones the later build has and the earlier lacks: "
        f"{', '.join(f'`{a}`' for a in added.elements()) or 'none'}.")
    add("")
    for label, code in (("before", before_code), ("after", after_code)):
        add(f"{label}:")
        add("```")
        for line in code:
            add(line)
        add("```")
    add("")


if __name__ == "__main__":
    main()
