#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: once in a normal build and once under
# AddressSanitizer + UndefinedBehaviorSanitizer. Prints ctest's summary of each run.
set -euo pipefail
cd "$(dirname "$0")"

./scripts/install-deps.sh

JOBS=$(nproc)
export QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"
chmod 700 "$XDG_RUNTIME_DIR"

echo "== Formatting (scripts/check-format.sh) =="
./scripts/check-format.sh

echo "== Build (RelWithDebInfo) =="
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$JOBS"
echo "== Tests =="
ctest --test-dir build --output-on-failure -j "$JOBS"

echo "== Debian package (scripts/make-package.sh), unpacked and checked (scripts/check-package.sh) =="
./scripts/make-package.sh
./scripts/check-package.sh

echo "== Build (AddressSanitizer + UndefinedBehaviorSanitizer) =="
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DPI_SANITIZE=ON \
  -DPI_WITH_BENCHMARKS=OFF >/dev/null
cmake --build build-asan -j "$JOBS"
echo "== Tests under sanitizers =="
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  LSAN_OPTIONS=suppressions="$PWD/tests/lsan.supp" \
  ctest --test-dir build-asan --output-on-failure -j "$JOBS"

echo "== valgrind memcheck of the core tests (scripts/valgrind-core.sh) =="
./scripts/valgrind-core.sh build

echo "== Fuzzing, reproducible short run: 8000 inputs per target (release check: scripts/fuzz.sh 1800) =="
./scripts/fuzz.sh runs=8000
