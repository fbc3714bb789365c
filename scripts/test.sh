#!/usr/bin/env bash
# Runs every test: unit and render natively (AddressSanitizer + UBSan, real Mesa), and
# the Windows DLL under Wine. Installs what it needs first.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh all
jobs=$(nproc 2>/dev/null || echo 2)
cmake --preset windows >/dev/null
cmake --build build/windows -j"$jobs"
cmake --preset native -DVDP_TESTS=ON >/dev/null
cmake --build build/native -j"$jobs"
ctest --test-dir build/native --output-on-failure
