#!/usr/bin/env bash
# The main job: builds the Windows DLL and the native library with the stand-in host,
# then plays the animated demo through the native library twice, with the OpenGL renderer
# and with the dot-by-dot one, and writes chosen frames and a contact sheet of each run as
# PNG files into out/. Arguments go to the stand-in host (try --list; --scene polygons
# plays one of the still scenes, with the OpenGL renderer unless --renderer dots is given).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh windows native-release
mkdir -p out
started=$(mktemp)
trap 'rm -f "$started"' EXIT
host=(build/native-release/host/vdphost --plugin build/native-release/libvdp_plugin.so --out out)
# The settings file in out/ keeps the last run's renderer: each run names its own. Scenes,
# traces and a --renderer of the caller's play once (the caller's --renderer comes last
# and wins).
if [[ " $* " =~ \ --(renderer|list|scene|trace|play)\  ]]; then
  "${host[@]}" --renderer gl "$@"
else
  "${host[@]}" --renderer gl "$@"
  "${host[@]}" --renderer dots "$@"
fi
echo "Pictures: $(pwd)/out/"
# The contact sheets this run wrote, and which renderer drew each.
if [ out/demo_contact_sheet.png -nt "$started" ]; then
  echo "  demo_contact_sheet.png       the demo drawn by the OpenGL renderer (the default)"
fi
if [ out/demo_contact_sheet_dots.png -nt "$started" ]; then
  echo "  demo_contact_sheet_dots.png  the demo drawn dot by dot (menu: Dot by dot (accurate))"
fi
echo "Windows plugin: $(pwd)/build/windows/VDP_dll.dll"
