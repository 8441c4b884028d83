#!/usr/bin/env bash
# Measures the writing path of a batch over a folder of N copies of examples/trio.xlsx, per case:
# the summary only, a results workbook each (--output-dir) and a results workbook and a PDF report
# each (--output-dir --report-dir). Prints a Markdown table for the README: wall time and CPU time
# (user + system, hyperfine's means; on a shared machine CPU time is the steadier figure) of the
# whole run and per case.
#
#   scripts/measure-writing-path.sh [CASES] [RUNS]     defaults: 300 cases, 5 runs
#   BUILD_DIR=build-x scripts/measure-writing-path.sh  an existing build (default: build)
#
# Goals: ≤ 1 ms a case for a results workbook, ≤ 10 ms a case for a report. Each workbook and
# report is synced to disk before it replaces anything, so the disk's sync time bounds both.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD="${BUILD_DIR:-build}"
CASES="${1:-300}"
RUNS="${2:-5}"
PI="$PWD/$BUILD/src/app/paternity-index"
PYTHON=/usr/bin/python3
[ -x "$PYTHON" ] || PYTHON=python3

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
mkdir "$WORK/cases" "$WORK/out"
for i in $(seq -w 1 "$CASES"); do cp examples/trio.xlsx "$WORK/cases/trio-$i.xlsx"; done

RUNS_OF=(
  "batch FOLDER (summary only)|$PI batch $WORK/cases --population white --format csv"
  "… --output-dir OUT (a results workbook each)|$PI batch $WORK/cases --population white --format csv --output-dir $WORK/out"
  "… --output-dir OUT --report-dir OUT (and a PDF each)|$PI batch $WORK/cases --population white --format csv --output-dir $WORK/out --report-dir $WORK/out"
)
for entry in "${RUNS_OF[@]}"; do
  cmd="${entry#*|}"
  if ! $cmd >/dev/null 2>"$WORK/err"; then
    echo "command failed: $cmd" >&2
    cat "$WORK/err" >&2
    exit 1
  fi
done

echo "| run ($CASES cases, $RUNS runs, $(date +%Y-%m-%d), load $(cut -d' ' -f1 /proc/loadavg)) | wall, median | CPU time, mean | CPU time a case |"
echo "|---|---|---|---|"
i=0
for entry in "${RUNS_OF[@]}"; do
  i=$((i + 1))
  hyperfine -N --style none --warmup 1 --runs "$RUNS" --export-json "$WORK/h$i.json" "${entry#*|}" >/dev/null 2>&1
  "$PYTHON" - "$WORK/h$i.json" "$CASES" "${entry%%|*}" <<'PY'
import json, sys
r = json.load(open(sys.argv[1]))["results"][0]
cases = int(sys.argv[2])
cpu = r["user"] + r["system"]
print("| %s | %.2f s | %.2f s | %.2f ms |" % (sys.argv[3], r["median"], cpu, cpu / cases * 1000))
PY
done
