#!/usr/bin/env bash
# Installs what is missing, then configures and builds the given presets.
# Usage: scripts/build.sh <preset> [<preset>...]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh all
jobs=$(nproc 2>/dev/null || echo 2)
for preset in "$@"; do
  extra=()
  [ "$preset" = native ] && extra=(-DVDP_TESTS=ON)
  cmake --preset "$preset" "${extra[@]}" >/dev/null
  echo "VDP plugin $(cat "build/$preset/version.txt"), preset $preset"
  cmake --build --preset "$preset" -j"$jobs"
done
