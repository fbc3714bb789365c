#!/usr/bin/env bash
# Runs every test: unit and render natively (AddressSanitizer + UBSan, real Mesa), and
# the Windows DLL under Wine. Installs what it needs first.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh windows native
ctest --test-dir build/native --output-on-failure
