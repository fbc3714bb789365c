#!/usr/bin/env bash
# The main job: builds the Windows DLL and the native library with the stand-in host,
# then plays the animated demo through the native library and writes chosen frames and a
# contact sheet of the run as PNG files into out/. Arguments go to the stand-in host
# (try --list; --scene polygons plays one of the still scenes).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh windows native-release
mkdir -p out
build/native-release/host/vdphost --plugin build/native-release/libvdp_plugin.so --out out "$@"
echo "Pictures: $(pwd)/out/"
echo "Windows plugin: $(pwd)/build/windows/VDP_dll.dll"
