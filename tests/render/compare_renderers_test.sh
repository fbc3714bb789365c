#!/bin/sh
# vdphost --compare: a still scene both renderers draw alike comes out the same but for
# polygon edges; the demo's stretch (line scroll, mosaic, back screen: dot by dot only)
# is reported as differing.
host=$1 plugin=$2 traces=$3 out=$4
rm -rf "$out" && mkdir -p "$out/agree" "$out/stretch" || exit 1
"$host" --plugin "$plugin" --out "$out/agree" --compare --range 2- \
  --trace "$traces/renderers_agree.trace" >"$out/agree.txt" || exit 1
"$host" --plugin "$plugin" --out "$out/stretch" --compare --scene demo --frames 411 \
  --range 400-410 >"$out/stretch.txt" || exit 1
total() { sed -n "s/^compared \([0-9]*\) frames: mean \([0-9.]*\)%, worst \([0-9.]*\)%.*/\1 \2 \3/p" "$1"; }
agree=$(total "$out/agree.txt")
stretch=$(total "$out/stretch.txt")
echo "still scene (frames, mean %, worst %): $agree; stretch: $stretch"
[ -f "$out/stretch/compare_000405.png" ] || { echo "FAILED: no compare_000405.png"; exit 1; }
echo "$agree $stretch" | awk '{
  if ($1 != 2 || $3 >= 1) { print "FAILED: still scene: expected 2 frames under 1% apart"; exit 1 }
  if ($4 != 11 || $5 < 30) { print "FAILED: stretch: expected 11 frames over 30% apart"; exit 1 }
}'
