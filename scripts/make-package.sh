#!/usr/bin/env bash
# Makes the Debian package build-package/paternity-index_<version>_amd64.deb with CPack's DEB
# generator, from the normal build folder (build/, as ./run.sh and ./test.sh leave it; configured
# and built here when needed, so only what changed is compiled). Install it with
#   sudo apt install ./build-package/paternity-index_*_amd64.deb
# BUILD_DIR=... takes another build folder; it must not be a sanitizer build.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${BUILD_DIR:-build}
out=build-package

if [ -f "$build/CMakeCache.txt" ]; then
  if grep -q '^PI_SANITIZE:BOOL=ON' "$build/CMakeCache.txt"; then
    echo "make-package.sh: $build is a sanitizer build; give a normal one with BUILD_DIR=..." >&2
    exit 2
  fi
  cmake "$build" >/dev/null
else
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$build" -j "$(nproc)" --target paternity-index pi_package_files pi_shipped_list

rm -f "$out"/paternity-index_*.deb
cpack --config "$build/CPackConfig.cmake" -B "$out" >/dev/null
rm -rf "$out/_CPack_Packages"
ls "$out"/paternity-index_*.deb
