#!/usr/bin/env bash
# The main job: builds the Windows DLL and the native library with the stand-in host,
# then plays the demo scenes through the native library and writes what it presented
# as PNG files into out/.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh all
jobs=$(nproc 2>/dev/null || echo 2)
cmake --preset windows >/dev/null
cmake --build build/windows -j"$jobs"
cmake --preset native-release >/dev/null
cmake --build build/native-release -j"$jobs"
mkdir -p out
build/native-release/host/vdphost --plugin build/native-release/libvdp_plugin.so --out out "$@"
echo "Windows plugin: build/windows/VDP_dll.dll"
