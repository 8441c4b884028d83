#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, every library instrumented, ASan + UBSan) in build-fuzz and
# runs each for a bounded time on a corpus seeded from the project's own workbooks.
#
#   scripts/fuzz.sh            short run, 15 s per target
#   scripts/fuzz.sh runs=8000  reproducible run: 8000 inputs per target from a fixed random seed
#                              (part of ./test.sh, so that CI tries the same inputs every time)
#   scripts/fuzz.sh 1800       release check: half an hour per target
#   scripts/fuzz.sh 60 fuzz_workbook_xlsx    one target only
#
# The corpus grows in build-fuzz/corpus/<target> and is reused by the next run. A crash, a hang
# (over 10 s for one input; 30 s in the reproducible run) or an input needing over 2 GB stops the target, leaves the input in
# build-fuzz/findings/<target>/ and makes the script fail. Every finding is fixed, and its input
# is kept under tests/hostile/regressions/ (the hostile tests read every file there).
# Reproduce one: build-fuzz/fuzz/<target> build-fuzz/findings/<target>/crash-...
set -euo pipefail
cd "$(dirname "$0")/.."

SECONDS_PER_TARGET="${1:-15}"
ONLY="${2:-}"
if [[ "$SECONDS_PER_TARGET" =~ ^runs=([0-9]+)$ ]]; then
  # A slower machine must not turn a slow input into a failure: only a real hang should fail CI.
  LIMIT=(-runs="${BASH_REMATCH[1]}" -seed=1 -timeout=30)
  LIMIT_TEXT="${BASH_REMATCH[1]} inputs, seed 1"
else
  LIMIT=(-max_total_time="$SECONDS_PER_TARGET" -timeout=10)
  LIMIT_TEXT="${SECONDS_PER_TARGET} s"
fi
BUILD=build-fuzz

cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link" \
  -DPI_SANITIZE=ON -DPI_WITH_FUZZERS=ON -DPI_WITH_GUI=OFF -DPI_WITH_BENCHMARKS=OFF \
  -DBUILD_TESTING=OFF >/dev/null
# One target asked for: build only that one.
cmake --build "$BUILD" --target "${ONLY:-fuzzers}" -j "$(nproc)"

# Seeds: the project's workbooks by format. Zip-based ones also go in a second copy with every
# entry stored uncompressed, so that mutations reach the XML instead of breaking the deflate stream.
SEEDS="$BUILD/seeds"
rm -rf "$SEEDS"
mkdir -p "$SEEDS/xls" "$SEEDS/xlsx" "$SEEDS/ods"
SOURCES=(tests/automation/fixtures tests/freqdb/fixtures tests/exchange/fixtures tests/cli/fixtures
         tests/hostile/files tests/hostile/regressions data examples)
n=0
for dir in "${SOURCES[@]}"; do
  [ -d "$dir" ] || continue
  while IFS= read -r -d '' f; do
    size=$(stat -c %s "$f")
    [ "$size" -le 1048576 ] || continue
    # A few kilobytes that spell out millions of cells: every mutation of them would take a
    # second to read through, so they would crowd out everything else.
    case "$(basename "$f")" in far-corner-sheets.* | million-cell-sheets.* | carried-corner-sheets.*) continue ;; esac
    ext="${f##*.}"; ext="${ext,,}"
    n=$((n + 1))
    cp "$f" "$SEEDS/$ext/seed-$n.$ext"
  done < <(find "$dir" -type f \( -iname '*.xls' -o -iname '*.xlsx' -o -iname '*.ods' \) -print0)
done
# Frequency tables for the import's reader: delimited texts and XML exports.
mkdir -p "$SEEDS/tables"
for f in tests/popimport/fixtures/*.csv tests/popimport/fixtures/*.xml data/source/*.csv; do
  [ -f "$f" ] && cp "$f" "$SEEDS/tables/"
done
# Genotyping exports for their reader: the example exports.
mkdir -p "$SEEDS/exports"
for f in examples/*.txt examples/*.csv; do
  [ -f "$f" ] && cp "$f" "$SEEDS/exports/"
done
python3 - "$SEEDS" <<'PY'
import pathlib, sys, zipfile
root = pathlib.Path(sys.argv[1])
for ext in ("xlsx", "ods"):
    for path in sorted((root / ext).glob("seed-*")):
        try:
            with zipfile.ZipFile(path) as src, \
                 zipfile.ZipFile(path.with_name("stored-" + path.name), "w", zipfile.ZIP_STORED) as dst:
                for info in src.infolist():
                    dst.writestr(info.filename, src.read(info), zipfile.ZIP_STORED)
        except (zipfile.BadZipFile, OSError, EOFError, ValueError):
            pass  # a hostile file in the seeds stays as it is
PY

seeds_for() {
  case "$1" in
    fuzz_workbook_xls) echo "$SEEDS/xls" ;;
    fuzz_workbook_xlsx) echo "$SEEDS/xlsx" ;;
    fuzz_workbook_ods) echo "$SEEDS/ods" ;;
    fuzz_frequency_table) echo "$SEEDS/tables $SEEDS/xlsx" ;;
    fuzz_genotype_export) echo "$SEEDS/exports $SEEDS/tables" ;;
    *) echo "$SEEDS/xls $SEEDS/xlsx $SEEDS/ods" ;;
  esac
}

status=0
for exe in "$BUILD"/fuzz/fuzz_*; do
  [ -x "$exe" ] || continue
  target=$(basename "$exe")
  [ -z "$ONLY" ] || [ "$ONLY" = "$target" ] || continue
  mkdir -p "$BUILD/corpus/$target" "$BUILD/findings/$target"
  echo "== $target: ${LIMIT_TEXT} =="
  # shellcheck disable=SC2046
  if ! ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=0 \
       UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
       "$exe" "${LIMIT[@]}" -rss_limit_mb=2048 \
         -max_len=262144 -dict=fuzz/workbook.dict -print_final_stats=1 \
         -artifact_prefix="$BUILD/findings/$target/" \
         "$BUILD/corpus/$target" $(seeds_for "$target") >"$BUILD/findings/$target.log" 2>&1; then
    status=1
    echo "FAILED: $target (log: $BUILD/findings/$target.log; input in $BUILD/findings/$target/)"
    grep -E "ERROR|SUMMARY|==[0-9]+==|threw|escaped" "$BUILD/findings/$target.log" | head -20 || true
  else
    grep -E "stat::number_of_executed_units|cov:" "$BUILD/findings/$target.log" | tail -2 || true
  fi
done
exit "$status"
