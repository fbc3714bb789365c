#!/bin/sh
# Demo scenes recorded by vdphost replay to the live run's pictures, and to the same files
# twice; a damaged trace is refused with the reader's message and a failure status.
set -eu
host=$1 plugin=$2 dir=$3
rm -rf "$dir" && mkdir -p "$dir/a" "$dir/b"
"$host" --plugin "$plugin" --out "$dir" --scene sprites --scene bitmap_plane \
  --record "$dir/demo.vdptrace" >/dev/null
for run in a b; do
  "$host" --plugin "$plugin" --play "$dir/demo.vdptrace" --out "$dir/$run" >/dev/null
done
cmp "$dir/sprites.png" "$dir/a/frame_000000.png"
cmp "$dir/bitmap_plane.png" "$(ls "$dir"/a/frame_*.png | tail -n 1)"
for f in "$dir"/a/frame_*.png; do cmp "$f" "$dir/b/${f##*/}"; done
head -c 100 "$dir/demo.vdptrace" >"$dir/cut.vdptrace"
if "$host" --plugin "$plugin" --play "$dir/cut.vdptrace" --out "$dir" 2>"$dir/error"; then
  echo "a cut trace was played" && exit 1
fi
grep "cut.vdptrace: byte [0-9]*: truncated" "$dir/error"
