#!/usr/bin/env bash
# Makes the pictures the README shows: plays the whole animated demo through the native
# library with each renderer and copies its contact sheet to docs/demo-contact-sheet.png
# (OpenGL) and docs/demo-contact-sheet-dots.png (dot by dot).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh native-release
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
mkdir -p docs
for renderer in gl dots; do
  mkdir -p "$out/$renderer"
  build/native-release/host/vdphost --plugin build/native-release/libvdp_plugin.so \
    --out "$out/$renderer" --scene demo --renderer "$renderer" >/dev/null
done
cp "$out/gl/demo_contact_sheet.png" docs/demo-contact-sheet.png
cp "$out/dots/demo_contact_sheet_dots.png" docs/demo-contact-sheet-dots.png
echo "wrote docs/demo-contact-sheet.png (OpenGL) and docs/demo-contact-sheet-dots.png (dot by dot)"
