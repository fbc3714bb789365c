#!/usr/bin/env bash
# Builds the optimised native tree and regenerates docs/performance.md from measurements:
# frame times, the plugin's instructions per frame under callgrind and the GL work of each
# reference scene, the accessors and the recording proxy. Slow (10 to 20 minutes on two
# cores): not part of scripts/test.sh.
# Usage: scripts/bench.sh [repetitions]   (default 5)
# With VDP_BENCH_BEFORE=<an older optimised build>/bench/vdp_bench (and VDP_BENCH_BEFORE_LABEL
# saying what it is), the accessor benchmarks of both builds run alternately and are compared.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh bench
cmake --preset native-release >/dev/null
# Two jobs at most: the machine is shared, and the timings run right after.
cmake --build --preset native-release -j2 --target VDP_dll vdphost vdp_bench vdp_frame_costs
before=()
if [[ -n "${VDP_BENCH_BEFORE:-}" ]]; then
  before=(--before-bench "$VDP_BENCH_BEFORE" --before-label "${VDP_BENCH_BEFORE_LABEL:-an older build}")
fi
python3 scripts/perf_report.py --build build/native-release --out docs/performance.md \
  --reps "${1:-5}" "${before[@]}"
