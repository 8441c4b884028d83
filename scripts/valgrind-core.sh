#!/usr/bin/env bash
# Runs the test executables of the calculation core and the spreadsheet layer (tests/text, freqdb,
# engine, results, automation, exchange) under valgrind's memcheck. Fails on any memory error or
# definite/indirect leak. Needs a build without sanitizers (./test.sh makes one in build).
#
# Valgrind computes long double (x87, 80-bit) arithmetic in 64-bit precision, so tests that
# check rounding at long double precision fail under it while the program is right (the normal
# and sanitizer runs check those results). A failing test is therefore listed as a note; what
# fails this script is a memcheck error (exit status 99) or a leak.
#
#   scripts/valgrind-core.sh [BUILD_DIR]     default: build
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT="$PWD"
BUILD="${1:-build}"
LOGS="$BUILD/valgrind"
mkdir -p "$LOGS"

mapfile -t executables < <(for lib in text freqdb engine results automation exchange; do
  [ -d "$BUILD/tests/$lib" ] && find "$BUILD/tests/$lib" -maxdepth 1 -type f -executable -name '*test*'
done | sort)
if [ ${#executables[@]} -eq 0 ]; then
  echo "no core test executables in $BUILD/tests" >&2
  exit 1
fi

run_one() {
  local exe="$1" log
  log="$LOGS/$(basename "$exe").log"
  # Each test executable runs in its own folder, as ctest runs it.
  if (cd "$(dirname "$exe")" && valgrind --quiet --error-exitcode=99 --leak-check=full \
        --errors-for-leak-kinds=definite,indirect --show-leak-kinds=definite,indirect \
        --num-callers=30 --suppressions="$ROOT/scripts/valgrind-core.supp" \
        "$ROOT/$exe" --gtest_brief=1) >"$log" 2>&1; then
    echo "ok      $exe"
  elif [ "$?" -ne 99 ] && ! grep -qE "^==[0-9]+== [A-Z]" "$log"; then
    echo "ok      $exe (memcheck clean; tests failing only under valgrind's 64-bit x87 arithmetic:)"
    grep -E "^\[  FAILED  \] [A-Za-z]" "$log" | sed 's/, where GetParam.*//; s/^/          /' | sort -u
  else
    echo "FAILED  $exe (log: $log)"
    grep -E "^==[0-9]+== ([A-Z]|   (at|by) )|definitely lost|indirectly lost" "$log" | head -30
    return 1
  fi
}
export -f run_one
export ROOT LOGS

echo "== valgrind memcheck: ${#executables[@]} core test executables =="
printf '%s\n' "${executables[@]}" | xargs -P "$(nproc)" -I{} bash -c 'run_one "$@"' _ {}
