#!/usr/bin/env bash
# Tests VDP_dll.dll as a Windows host sees it:
#  1. its export table (exactly the 37 names a host looks up) and import table (Windows
#     system DLLs only), read from the file;
#  2. the release ZIP made by CPack, by its file list;
#  3. vdp_windows_tests.exe run under Wine on a private Xvfb display, loading the DLL by
#     name from its own directory;
#  4. given the native vdphost, plugin and compare_pictures: the recording proxy under
#     Wine in the plugin's place, and pictures of one trace from Wine against native ones.
# Usage: run_windows_tests.sh <build dir of the windows preset>
#          [<native vdphost> <native plugin> <compare_pictures>]
#
# Some machines cannot run 32-bit x86 code at all (the kernel or hypervisor offers no
# compatibility mode, so the 32-bit Wine loader fails with "Exec format error"). There
# step 3 runs on an x86-64 build of the same sources (toolchain
# cmake/x86_64-w64-mingw32.cmake, built under <build dir>/x86_64-check): the Windows
# platform layer, resources and exports are the same code; only the 32-bit calling
# conventions go untested at run time, and step 1 still checks the 32-bit DLL's names.
set -uo pipefail

if [ $# -ne 1 ] && [ $# -ne 4 ]; then
  echo "usage: $0 <windows build dir> [<native vdphost> <native plugin> <compare_pictures>]" >&2
  exit 2
fi
build=$(cd "$1" 2>/dev/null && pwd) || { echo "no build directory $1" >&2; exit 2; }
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
dll="$build/VDP_dll.dll"
objdump=i686-w64-mingw32-objdump
failures=0

fail() {
  echo "FAILED: $*"
  failures=$((failures + 1))
}

[ -f "$dll" ] || { echo "no $dll: build the windows preset first" >&2; exit 1; }

# --- 1. the DLL's tables -------------------------------------------------------------------
lifecycle=(InitVDPPlugin DeInitPlugin Reset SetupPlugin DisplayPluginInfo VDPOnVblankIn
  VDPOnVblankOut VDPOnHblankIn VDPOnHblankOut)
readers=(ReadWordVDP1Regs ReadByteVDP1VRAM ReadWordVDP1VRAM ReadLongVDP1VRAM
  ReadByteVDP1FrameBuffer ReadWordVDP1FrameBuffer ReadLongVDP1FrameBuffer ReadWordVDP2Regs
  ReadLongVDP2Regs ReadByteVDP2VRAM ReadWordVDP2VRAM ReadLongVDP2VRAM ReadWordVDP2CRAM
  ReadLongVDP2CRAM)
writers=(WriteWordVDP1Regs WriteByteVDP1VRAM WriteWordVDP1VRAM WriteLongVDP1VRAM
  WriteByteVDP1FrameBuffer WriteWordVDP1FrameBuffer WriteLongVDP1FrameBuffer WriteWordVDP2Regs
  WriteLongVDP2Regs WriteByteVDP2VRAM WriteWordVDP2VRAM WriteLongVDP2VRAM WriteWordVDP2CRAM
  WriteLongVDP2CRAM)
expected=$({
  printf '%s\n' "${lifecycle[@]}"
  printf '@%s@4\n' "${readers[@]}"
  printf '@%s@8\n' "${writers[@]}"
} | LC_ALL=C sort)

dump=$("$objdump" -p "$dll") || { echo "objdump cannot read $dll" >&2; exit 1; }
exported=$(echo "$dump" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
  sed -n 's/^[[:space:]]*\[[[:space:]]*[0-9]*\][[:space:]]*//p' | LC_ALL=C sort)
if [ "$exported" == "$expected" ]; then
  echo "exports: the 37 names, fastcall accessors decorated"
else
  fail "export table differs (< expected, > found):"
  diff <(echo "$expected") <(echo "$exported") | grep '^[<>]'
fi
if ! grep -q '^Name .*VDP_dll\.dll$' <<<"$dump"; then
  fail "export directory name is not VDP_dll.dll"
fi

system_dlls='^(kernel32|user32|gdi32|opengl32|msvcrt|advapi32|shell32|ole32|comdlg32|winmm|ntdll)\.dll$'
imports=$(echo "$dump" | sed -n 's/^[[:space:]]*DLL Name: //p')
for imported in $imports; do
  if ! grep -Eq "$system_dlls" <<<"${imported,,}"; then
    fail "imports $imported, which is not a Windows system DLL (static runtime expected)"
  fi
done
echo "imports: $(echo $imports)"

# --- 2. the release ZIP: the DLL, the guide and the licence; the host and proxy if built ------
if cmake --build "$build" --target package >"$build/package.log" 2>&1; then
  zip=$(ls "$build"/package/VDP_plugin-*-win32.zip 2>/dev/null | head -1)
  listed=$(cmake -E tar tf "$zip" 2>/dev/null | sed 's|^[^/]*/||' | grep -v '/$' | LC_ALL=C sort | tr '\n' ' ')
  for want in LICENSE VDP_dll.dll user-guide.md; do
    [[ " $listed" == *" $want "* ]] || fail "the ZIP lacks $want (holds: $listed)"
  done
  extra=$(tr ' ' '\n' <<<"$listed" | grep -Ev '^(LICENSE|VDP_dll\.dll|user-guide.*|vdphost\.exe|recording-proxy/.*\.dll|)$')
  [ -z "$extra" ] || fail "the ZIP holds more than a player needs: $extra"
  echo "package: $listed"
else
  tail -20 "$build/package.log"
  fail "cannot build the package"
fi

# --- 3. the DLL under Wine -----------------------------------------------------------------
wine32=/usr/lib/wine/wine
wine64=/usr/lib/wine/wine64
if [ -x "$wine32" ] && "$wine32" --version >/dev/null 2>&1; then
  wine=$wine32
  tests_dir="$build"
  arch=32
else
  echo "this machine cannot run 32-bit x86 code: running the Wine tests on the x86-64 build"
  [ -x "$wine64" ] || { echo "no Wine (scripts/setup.sh all installs it)" >&2; exit 1; }
  wine=$wine64
  arch=64
  check_build="$build/x86_64-check"
  if [ ! -f "$check_build/build.ninja" ]; then
    cmake -S "$source_dir" -B "$check_build" -G Ninja \
      -DCMAKE_TOOLCHAIN_FILE="$source_dir/cmake/x86_64-w64-mingw32.cmake" \
      -DCMAKE_BUILD_TYPE=Release -DVDP_TESTS=ON >"$build/x86_64-check.log" 2>&1 ||
      { cat "$build/x86_64-check.log"; echo "cannot configure the x86-64 build" >&2; exit 1; }
  fi
  cmake --build "$check_build" -j2 >"$build/x86_64-check-build.log" 2>&1 ||
    { tail -40 "$build/x86_64-check-build.log"; echo "cannot build the x86-64 build" >&2; exit 1; }
  tests_dir="$check_build"
fi
test_exe="$tests_dir/vdp_windows_tests.exe"
[ -f "$test_exe" ] || { echo "no $test_exe: configure with -DVDP_TESTS=ON" >&2; exit 1; }

export WINEPREFIX="$build/wine-prefix-$arch"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
xvfb_pid=""
cleanup() {
  "${wine%/*}/wineserver" -k >/dev/null 2>&1 || true
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
  fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

for display in $(seq 90 199); do
  [ -e "/tmp/.X$display-lock" ] || [ -e "/tmp/.X11-unix/X$display" ] && continue
  Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp >"$build/xvfb.log" 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 50); do
    [ -e "/tmp/.X11-unix/X$display" ] && break
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.1
  done
  if [ -e "/tmp/.X11-unix/X$display" ] && kill -0 "$xvfb_pid" 2>/dev/null; then break; fi
  xvfb_pid=""
done
[ -n "$xvfb_pid" ] || { echo "cannot start Xvfb" >&2; exit 1; }
export DISPLAY=":$display"

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "initialising the Wine prefix (the first start takes a while)"
  timeout 300 "$wine" wineboot -i >"$build/wineboot.log" 2>&1 ||
    { cat "$build/wineboot.log"; echo "wineboot failed" >&2; exit 1; }
  # A crash prints its backtrace and ends the process, instead of a crash dialog that
  # nobody answers suspending every thread of the test.
  "$wine" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
    >>"$build/wineboot.log" 2>&1
fi

run_dir="$build/windows-test-run"
rm -rf "$run_dir" && mkdir -p "$run_dir"
echo "running $test_exe under Wine ($arch-bit) on display :$display"
(cd "$run_dir" && timeout 600 "$wine" "$test_exe")
status=$?
[ $status -eq 0 ] || fail "vdp_windows_tests.exe exited with $status"
echo "running vdp_stress_tests.exe: the demo under random menu commands, 100 starts"
(cd "$run_dir" && timeout 900 "$wine" "$tests_dir/vdp_stress_tests.exe" >stress.log 2>&1)
status=$?
grep -v '^demo: frame\|^wrote ' "$run_dir/stress.log"
[ $status -eq 0 ] || fail "vdp_stress_tests.exe exited with $status"

# --- 4. the recording proxy under Wine -----------------------------------------------------
# The same tests with the proxy in the plugin's place must all pass through it. Then
# vdphost.exe plays two scenes through the proxy; the trace it leaves is replayed natively
# and by vdphost.exe through the plain DLL, and the pictures must agree within 8 per
# channel but for at most 0.5% of their pixels (Mesa draws on both sides, but scaled
# sprites and edges may fall a pixel apart). The window's first frame is left out: under
# Wine it is drawn before the window takes its size.
if [ $# -eq 4 ]; then
  native_host=$2 native_plugin=$3 compare=$4
  proxy_run="$build/proxy-test-run"
  rm -rf "$proxy_run" && mkdir -p "$proxy_run"/{native,suite/live,suite/wine}
  cp "$tests_dir/proxy/VDP_dll.dll" "$tests_dir/proxy/VDP_dll.real.dll" "$proxy_run/suite/"
  cp "$tests_dir/host/vdphost.exe" "$proxy_run/suite/"
  cp "$test_exe" "$proxy_run/suite/"
  echo "running vdp_windows_tests.exe through the proxy"
  (cd "$proxy_run/suite" && timeout 600 "$wine" ./vdp_windows_tests.exe >../suite.log 2>&1) ||
    { cat "$proxy_run/suite.log"; fail "the Windows tests through the proxy"; }
  rm -f "$proxy_run"/suite/*.vdptrace
  (cd "$proxy_run/suite" && timeout 300 "$wine" ./vdphost.exe --plugin VDP_dll.dll \
    --scene bitmap_plane --scene sprites --out live >../live.log 2>&1 &&
    timeout 300 "$wine" ./vdphost.exe --plugin VDP_dll.real.dll --play VDP_dll-*.vdptrace \
      --out wine >../wine.log 2>&1) || { cat "$proxy_run"/*.log; fail "vdphost.exe through the proxy"; }
  "$native_host" --plugin "$native_plugin" --play "$proxy_run"/suite/VDP_dll-*.vdptrace \
    --out "$proxy_run/native" >"$proxy_run/native.log" 2>&1 ||
    { cat "$proxy_run/native.log"; fail "the proxy's trace does not replay natively"; }
  frames=($(cd "$proxy_run/native" && ls frame_*.png))
  if [ ${#frames[@]} -lt 3 ]; then
    fail "the proxy's trace replayed to ${#frames[@]} frames natively"
  else
    pairs=(live/bitmap_plane.png "${frames[-2]}" live/sprites.png "${frames[-1]}")
    for frame in "${frames[@]:1}"; do pairs+=("wine/$frame" "$frame"); done
    for ((i = 0; i < ${#pairs[@]}; i += 2)); do
      pairs[i]="$proxy_run/suite/${pairs[i]}" pairs[i+1]="$proxy_run/native/${pairs[i+1]}"
    done
    "$compare" 8 "${pairs[@]}" ||
      fail "pictures under Wine differ from the native replay of the proxy's trace"
  fi
fi

if [ $failures -ne 0 ]; then
  echo "$failures failure(s)"
  exit 1
fi
echo "windows tests passed"
