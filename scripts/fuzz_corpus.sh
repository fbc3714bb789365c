#!/usr/bin/env bash
# Makes the hand-made scenes of the fuzz target's seed corpus, tests/fuzz/corpus/: text
# traces written here, recorded as binary traces by vdphost (scripts/fuzz.sh records the
# demo's seeds itself). Needs the native-release build (scripts/build.sh native-release).
# Usage: scripts/fuzz_corpus.sh
set -euo pipefail
cd "$(dirname "$0")/.."
H=build/native-release/host/vdphost P=build/native-release/libvdp_plugin.so
out=tests/fuzz/corpus tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mkdir -p "$out"
record() { # name, vdphost arguments...
  local name=$1
  shift
  "$H" --plugin "$P" --out "$tmp" --settings "$tmp" "$@" --record "$out/$name.vdptrace" >/dev/null
}

# A command table that jumps to itself, then a call whose return lands on another return.
cat >"$tmp/loops.txt" <<'T'
w16 vdp2regs 0 8000
w16 vdp1regs 4 2
w16 vdp1vram 0 1000
w16 vdp1vram 2 0
frame
w16 vdp1vram 0 2000
w16 vdp1vram 2 4
w16 vdp1vram 20 3000
frame
T
# The largest normal sprite far off screen, a distorted sprite with corners at the ends of
# the coordinate range, a scaled sprite with zoom point codes, in the 16-bit RGB mode.
cat >"$tmp/big_sprites.txt" <<'T'
w16 vdp2regs 0 8000
w16 vdp1regs 4 2
w16 vdp1vram 0 0
w16 vdp1vram 4 28
w16 vdp1vram 8 100
w16 vdp1vram a 3fff
w16 vdp1vram c fe00
w16 vdp1vram e fe00
w16 vdp1vram 20 2
w16 vdp1vram 24 8
w16 vdp1vram 2a 3fff
w16 vdp1vram 2c 7fff
w16 vdp1vram 2e 8000
w16 vdp1vram 30 8000
w16 vdp1vram 34 7fff
w16 vdp1vram 36 7fff
w16 vdp1vram 40 f01
w16 vdp1vram 4a 3fff
w16 vdp1vram 50 7fff
w16 vdp1vram 52 7fff
w16 vdp1vram 60 8000
frame
T
# Every plane on, NBG0 in a colour mode that does not exist, bitmaps and the largest plane
# sizes, all priorities high.
cat >"$tmp/planes.txt" <<'T'
w16 vdp2regs 0 8000
w16 vdp2regs 20 1f
w16 vdp2regs 28 7f7f
w16 vdp2regs 2a 7f33
w16 vdp2regs 3a ffff
w16 vdp2regs f8 707
w16 vdp2regs fa 707
w16 vdp2regs fc 7
w16 vdp2cram 2 7fff
frame
w16 vdp2regs 28 3232
frame
T
for scene in loops big_sprites planes; do record "$scene" --trace "$tmp/$scene.txt"; done
ls -l "$out"
