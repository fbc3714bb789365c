#!/usr/bin/env bash
# Fuzzes the plugin through binary traces: tests/fuzz/trace_fuzzer.cpp (libFuzzer, with
# AddressSanitizer and UndefinedBehaviorSanitizer, Debian's clang) replays each input as a
# trace against the plugin over the headless platform and a real Mesa context.
#
# Usage: scripts/fuzz.sh [SECONDS [JOBS]]     default 3600 s, 1 job (the machine has 2 cores)
#   FUZZ_DIR=<dir>   where the run keeps its corpus and findings (default build/fuzz/run)
#   FUZZ_NO_BUILD=1  use build/fuzz as it is (the test command builds it first)
#
# The run starts from the seeds (the hand-made scenes of tests/fuzz/corpus, the files of
# tests/fuzz/regressions, and the animated demo's first 3 frames and two still scenes
# recorded by vdphost) with tests/fuzz/trace.dict; what it
# finds that is new stays in $FUZZ_DIR/corpus for the next run. Crashes, sanitizer reports,
# hangs (over 10 s an input) and leaks land in $FUZZ_DIR/findings/ as crash-<sha1>,
# timeout-<sha1>, leak-<sha1>, oom-<sha1>, with the report in $FUZZ_DIR/fuzz-*.log; the run
# goes on past them and the script fails at the end when there is any.
# One finding, reproduced and minimised:
#   build/fuzz/tests/fuzz/trace_fuzzer FILE
#   build/fuzz/tests/fuzz/trace_fuzzer -minimize_crash=1 -max_total_time=120 \
#     -exact_artifact_path=tests/fuzz/regressions/<what-it-does>.vdptrace FILE
# Once fixed, the file stays in tests/fuzz/regressions: the unit tests replay every file
# there (FuzzRegressions), and every later fuzz run starts from them.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-3600} jobs=${2:-1}
dir=${FUZZ_DIR:-build/fuzz/run}
[ "${FUZZ_NO_BUILD:-0}" = 1 ] || scripts/build.sh fuzz
bin=build/fuzz/tests/fuzz
mkdir -p "$dir/corpus" "$dir/findings" "$dir/seeds" "$dir/scratch"
dir=$(realpath "$dir")
rm -f "$dir"/findings/* "$dir"/fuzz-*.log
export LSAN_OPTIONS=suppressions=$PWD/tests/support/lsan.supp
# Seeds recorded by vdphost rather than kept in the repository, where they would be large
# (the demo's first frame loads 120 KB of VRAM): the demo's first 3 frames, still scenes.
seed() { # name, vdphost arguments...
  local name=$1
  shift
  [ -s "$dir/seeds/$name.vdptrace" ] ||
    build/fuzz/host/vdphost --plugin build/fuzz/libvdp_plugin.so --out "$dir/scratch" "$@" \
      --record "$dir/seeds/$name.vdptrace" >/dev/null 2>&1 || rm -f "$dir/seeds/$name.vdptrace"
}
seed demo_3_frames --frames 3
seed polygons --scene polygons
seed sprites --scene sprites
seeds=("$dir/seeds")
for d in tests/fuzz/corpus tests/fuzz/regressions; do
  if [ -d "$d" ]; then seeds+=("$PWD/$d"); fi
done
# Fork mode keeps fuzzing past a finding; -close_fd_mask=2 silences the plugin's message
# boxes (the children's reports still reach the logs).
rc=0
(cd "$dir" && exec "$OLDPWD/$bin/trace_fuzzer" -fork="$jobs" -ignore_crashes=1 \
  -ignore_timeouts=1 -ignore_ooms=1 -max_total_time="$seconds" -timeout=10 -rss_limit_mb=4096 \
  -max_len=200000 -dict="$OLDPWD/tests/fuzz/trace.dict" -artifact_prefix=findings/ \
  -close_fd_mask=2 corpus "${seeds[@]}") >"$dir/fuzz.log" 2>&1 || rc=$?
grep "^#" "$dir/fuzz.log" | tail -n 1 || true
found=$(ls "$dir/findings")
if [ -n "$found" ]; then
  echo "findings in $dir/findings:" $found >&2
  exit 1
fi
if [ $rc -ne 0 ]; then
  echo "the fuzzer failed (status $rc) without a finding: see $dir/fuzz.log" >&2
  exit 1
fi
echo "no findings in $seconds s ($jobs job(s)); corpus: $(ls "$dir/corpus" | wc -l) inputs"
