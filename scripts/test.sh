#!/usr/bin/env bash
# Runs every test: unit and render natively (AddressSanitizer + UBSan, real Mesa), the
# threading tests under ThreadSanitizer, the Windows DLL under Wine, and a minute of
# fuzzing binary traces (scripts/fuzz.sh runs longer). Installs what it needs first.
# Fails also when the tests have grown past 35% of the code (scripts/test_ratio.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh windows native tsan fuzz
ctest --test-dir build/native --output-on-failure
ctest --test-dir build/tsan --output-on-failure
ctest --test-dir build/fuzz --output-on-failure
scripts/test_ratio.sh 35
