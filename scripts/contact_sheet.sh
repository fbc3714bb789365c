#!/usr/bin/env bash
# Makes the picture the README shows: plays the whole animated demo through the native
# library with the OpenGL renderer and copies its contact sheet to
# docs/demo-contact-sheet.png.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh native-release
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
build/native-release/host/vdphost --plugin build/native-release/libvdp_plugin.so --out "$out" \
  --scene demo --renderer gl
mkdir -p docs
cp "$out/demo_contact_sheet.png" docs/demo-contact-sheet.png
echo "wrote docs/demo-contact-sheet.png"
