#!/usr/bin/env bash
# Installs what the build and the tests need from Debian's packages, only when missing.
# Usage: scripts/setup.sh [native|all|docs|bench]   (native: no cross compiler, no Wine; docs:
# all, and the screenshot tools of scripts/guide_screenshot.sh; bench: native, and what
# scripts/bench.sh measures with)
set -euo pipefail
want=${1:-all}

native_pkgs=(g++ cmake ninja-build pkg-config libgtest-dev libgmock-dev libbenchmark-dev
  libosmesa6-dev libgl1-mesa-dev libpng-dev clang libclang-rt-14-dev)
# The x86-64 cross compiler builds the same DLL for the Wine tests on machines that cannot
# run 32-bit code (tests/windows/run_windows_tests.sh).
windows_pkgs=(g++-mingw-w64-i686-posix binutils-mingw-w64-i686 g++-mingw-w64-x86-64-posix
  binutils-mingw-w64-x86-64 libz-mingw-w64-dev xvfb xauth)

docs_pkgs=(x11-apps imagemagick)
bench_pkgs=(valgrind python3)

missing=()
for p in "${native_pkgs[@]}"; do dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p"); done
case "$want" in native | bench) cross=0 ;; *) cross=1 ;; esac
if [ $cross -eq 1 ]; then
  for p in "${windows_pkgs[@]}"; do dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p"); done
fi
if [ "$want" = docs ]; then
  for p in "${docs_pkgs[@]}"; do dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p"); done
fi
if [ "$want" = bench ]; then
  for p in "${bench_pkgs[@]}"; do dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p"); done
fi
need_wine=0
# 32-bit Wine draws OpenGL through the i386 Mesa libraries; without them pictures stay black.
wine_pkgs=(wine32:i386 libgl1:i386 libglx-mesa0:i386 libgl1-mesa-dri:i386)
if [ $cross -eq 1 ]; then
  for p in "${wine_pkgs[@]}"; do dpkg -s "$p" >/dev/null 2>&1 || need_wine=1; done
fi
if [ ${#missing[@]} -eq 0 ] && [ $need_wine -eq 0 ]; then exit 0; fi

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO=sudo
export DEBIAN_FRONTEND=noninteractive
if [ $need_wine -eq 1 ]; then
  $SUDO dpkg --add-architecture i386
fi
# A lagging mirror index (often the i386 security one) makes update fail for that index
# alone; the others are current, so go on and let install decide.
$SUDO apt-get update -qq || $SUDO apt-get update -qq || true
codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
install() {
  # The i386 index can lag behind the amd64 one; pinning the release resolves the skew.
  $SUDO apt-get install -y -qq --no-install-recommends "$@" ||
    $SUDO apt-get install -y -qq --no-install-recommends -o APT::Default-Release="$codename" "$@"
}
[ ${#missing[@]} -eq 0 ] || install "${missing[@]}"
if [ $need_wine -eq 1 ]; then
  install wine wine64 "${wine_pkgs[@]}"
fi
