#!/usr/bin/env bash
# Runs the test executables of the calculation core and the spreadsheet layer (tests/text, freqdb,
# engine, results, automation, exchange) under valgrind's memcheck. Fails on any memory error or
# definite/indirect leak. Needs a build without sanitizers (./test.sh makes one in build).
#
# Valgrind computes long double (x87, 80-bit) arithmetic in 64-bit precision, so the few tests
# that check results at long double precision (rounding just below a decimal half, the range
# of long double, infinities) cannot pass under it while the program is right; they are left
# out here by name (the normal and sanitizer runs check them). Any other failing test, any
# memcheck error (exit status 99) and any definite or indirect leak fails this script.
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
  else
    echo "FAILED  $exe (log: $log)"
    grep -E "^==[0-9]+== ([A-Z]|   (at|by) )|definitely lost|indirectly lost|^\[  FAILED  \]" "$log" | head -30
    return 1
  fi
}
# Tests whose expected values need 80-bit long double arithmetic.
export GTEST_FILTER="-CombineIndex.HugeProductsStayWellFormed:CombineIndex.NoTextReadsZeroOrCertaintyThatIsNot:EvaluateLocus.D2KeepsItsOrderOfOperations:\
EvaluateLocus.InvalidFrequencyIsRefused:Worksheet/LocusTableRefusedTest.FailsWithTheFileAndTheReason/InfiniteFrequency:\
NumberFormat/FixedTest.Writes/FrequencyBinaryBelowHalf:NumberFormat/FixedTest.Writes/InfinityIsWrittenAsZero:\
ExclusionPowers.BelowOneNeverReadsOneAboveZeroNeverZero"
export -f run_one
export ROOT LOGS

echo "== valgrind memcheck: ${#executables[@]} core test executables =="
printf '%s\n' "${executables[@]}" | xargs -P "$(nproc)" -I{} bash -c 'run_one "$@"' _ {}
