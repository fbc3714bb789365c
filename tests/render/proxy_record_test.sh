#!/bin/sh
# The demo through the native proxy: the trace it leaves beside itself, a new file at each
# start, replays through the plain plugin to the live run's pictures. Without its real
# plugin the proxy refuses to start and says why in red.
set -eu
host=$1 proxy_dir=$2 dir=$3
rm -rf "$dir" && mkdir -p "$dir/lib" "$dir/replay"
cp "$proxy_dir/libvdp_plugin.so" "$proxy_dir/libvdp_plugin.real.so" "$dir/lib/"
for run in 1 2; do
  "$host" --plugin "$dir/lib/libvdp_plugin.so" --out "$dir" --scene sprites --scene bitmap_plane >/dev/null
done
[ "$(ls "$dir"/lib/*.vdptrace | wc -l)" -eq 2 ] || { echo "expected two traces"; exit 1; }
"$host" --plugin "$dir/lib/libvdp_plugin.real.so" --play "$(ls "$dir"/lib/*.vdptrace | head -n 1)" \
  --out "$dir/replay" >/dev/null
cmp "$dir/sprites.png" "$dir/replay/frame_000000.png"
cmp "$dir/bitmap_plane.png" "$(ls "$dir"/replay/frame_*.png | tail -n 1)"
rm "$dir/lib/libvdp_plugin.real.so"
if "$host" --plugin "$dir/lib/libvdp_plugin.so" --scene sprites --out "$dir" >"$dir/missing" 2>&1; then
  echo "the proxy started without its real plugin" && exit 1
fi
grep "libvdp_plugin.real.so.*(colour 0000FF)" "$dir/missing"
