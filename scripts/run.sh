#!/usr/bin/env bash
# The main job: builds the Windows DLL and the native library with the stand-in host,
# then plays the demo scenes through the native library and writes what it presented
# as PNG files into out/. Arguments go to the stand-in host (try --list).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh windows native-release
mkdir -p out
build/native-release/host/vdphost --plugin build/native-release/libvdp_plugin.so --out out "$@"
echo "Windows plugin: build/windows/VDP_dll.dll"
