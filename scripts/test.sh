#!/usr/bin/env bash
# Runs every test: unit and render natively (AddressSanitizer + UBSan, real Mesa), the
# threading tests under ThreadSanitizer, and the Windows DLL under Wine. Installs what it
# needs first. Fails also when the tests have grown past 35% of the code
# (scripts/test_ratio.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh windows native tsan
ctest --test-dir build/native --output-on-failure
ctest --test-dir build/tsan --output-on-failure
scripts/test_ratio.sh 35
