#!/usr/bin/env bash
# Takes the user guide's picture, docs/user-guide-menu.png: the real VDP_dll.dll under Wine
# (in a Wine desktop window, so that Wine draws the title bar) on a private Xvfb display,
# playing the animated demo in its render window with "Display > Resolution" open
# (scripts/guide_screenshot.cpp does the clicking). The screen is captured with xwd and
# cut out with ImageMagick; the menus, which Wine leaves unpainted on the screen where
# they lie wholly over the OpenGL picture, are laid on top as they drew themselves.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh docs
scripts/build.sh windows
build=$(pwd)/build/windows
cmake --build --preset windows --target guide_screenshot

export WINEPREFIX="$build/wine-prefix-guide" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine=/usr/lib/wine/wine
xvfb_pid=""
cleanup() {
  /usr/lib/wine/wineserver -k >/dev/null 2>&1 || true
  [ -z "$xvfb_pid" ] || kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT
for display in $(seq 90 199); do
  [ -e "/tmp/.X$display-lock" ] || [ -e "/tmp/.X11-unix/X$display" ] && continue
  Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 50); do
    [ -e "/tmp/.X11-unix/X$display" ] && break
    sleep 0.1
  done
  [ -e "/tmp/.X11-unix/X$display" ] && kill -0 "$xvfb_pid" 2>/dev/null && break
  xvfb_pid=""
done
[ -n "$xvfb_pid" ] || { echo "cannot start Xvfb" >&2; exit 1; }
export DISPLAY=":$display"
[ -f "$WINEPREFIX/system.reg" ] || timeout 300 "$wine" wineboot -i >/dev/null 2>&1

run=$build/guide-run
rm -rf "$run" && mkdir -p "$run"
cp "$build/VDP_dll.dll" "$build/host/guide_screenshot.exe" "$run/"
(cd "$run" && timeout 180 "$wine" explorer /desktop=guide,1024x768 guide_screenshot.exe VDP_dll.dll) &
player=$!
for _ in $(seq 600); do
  [ -s "$run/guide_rect.txt" ] && break
  kill -0 "$player" 2>/dev/null || break
  sleep 0.2
done
[ -s "$run/guide_rect.txt" ] || { echo "the render window's menu did not open" >&2; exit 1; }
read -r x y w h <"$run/guide_rect.txt"
menus=()
for menu in "$run"/guide_menu_*.bmp; do  # guide_menu_<order>_<left>_<top>.bmp
  IFS=_ read -r _ _ _ left top <<<"$(basename "$menu" .bmp)"
  menus+=("(" "$menu" -alpha off ")" -geometry "+$((left - x))+$((top - y))" -composite)
done
mkdir -p docs
xwd -root -silent | convert xwd:- -crop "${w}x${h}+${x}+${y}" +repage "${menus[@]}" \
  docs/user-guide-menu.png
touch "$run/guide_done"
wait "$player" || { echo "the screenshot program failed" >&2; exit 1; }
echo "wrote docs/user-guide-menu.png (${w}x${h})"
