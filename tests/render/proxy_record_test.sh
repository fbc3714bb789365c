#!/bin/sh
# The demo and a few reads through the native proxy, its real plugin chosen by
# VDP_PROXY_PLUGIN (relative to the proxy, then absolute): the trace it leaves beside
# itself, a new file at each start, replays through the plain plugin to the live run's
# pictures with every read as recorded. Without its real plugin (by default
# libvdp_plugin.real.so) the proxy refuses to start and says why in red.
set -eu
host=$1 proxy_dir=$2 dir=$3
rm -rf "$dir" && mkdir -p "$dir/lib" "$dir/replay"
cp "$proxy_dir/libvdp_plugin.so" "$dir/lib/"
cp "$proxy_dir/libvdp_plugin.real.so" "$dir/lib/chosen.so"
printf 'w16 vdp1vram 100 1234\nr16 vdp1vram 100\nw32 vdp2cram 20 7fff001f\nr32 vdp2cram 20\n' \
  >"$dir/reads.trace"
for real in chosen.so "$dir/lib/chosen.so"; do
  VDP_PROXY_PLUGIN=$real "$host" --plugin "$dir/lib/libvdp_plugin.so" --out "$dir" \
    --scene sprites --scene bitmap_plane --trace "$dir/reads.trace" >/dev/null
done
[ "$(ls "$dir"/lib/*.vdptrace | wc -l)" -eq 2 ] || { echo "expected two traces"; exit 1; }
"$host" --plugin "$dir/lib/chosen.so" --play "$(ls "$dir"/lib/*.vdptrace | head -n 1)" \
  --out "$dir/replay" >"$dir/replay.log"
grep "^0 recorded reads returned a different value" "$dir/replay.log"
cmp "$dir/sprites.png" "$dir/replay/frame_000000.png"
cmp "$dir/bitmap_plane.png" "$dir/replay/frame_000008.png"
if "$host" --plugin "$dir/lib/libvdp_plugin.so" --scene sprites --out "$dir" >"$dir/missing" 2>&1; then
  echo "the proxy started without its real plugin" && exit 1
fi
grep "libvdp_plugin.real.so.*(colour 0000FF)" "$dir/missing"
