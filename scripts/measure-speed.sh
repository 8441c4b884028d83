#!/usr/bin/env bash
# Measures the program's speed and prints a Markdown table for the README: whole-process figures
# with hyperfine (median of 20 runs after 3 warm-ups, started without a shell) and in-process
# figures with the Google Benchmark programs of bench/ (median of 5 repetitions), on a Release
# build, with the machine.
#
#   scripts/measure-speed.sh            builds build-bench (Release) and measures
#   BUILD_DIR=build-x scripts/measure-speed.sh   measures an existing Release build
#   BEFORE_DIR=/path/to/other/build-bench scripts/measure-speed.sh
#                                       also measures the whole-process rows of another Release
#                                       build (an earlier commit, built with its own sources) in the
#                                       same hyperfine runs, side by side: "before → now"
#
# Targets: under 10 ms per locus workbook, under 100 ms for the batch evaluation of 99 rows.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT="$PWD"
BUILD="${BUILD_DIR:-build-bench}"
PYTHON=/usr/bin/python3
[ -x "$PYTHON" ] || PYTHON=python3

cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release -DPI_WITH_BENCHMARKS=ON >/dev/null
cmake --build "$BUILD" -j "$(nproc)" --target paternity-index startup_probe \
  loader_benchmark datafolder_benchmark batch_benchmark engine_benchmark >/dev/null

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
"$PYTHON" bench/make_benchmark_files.py case "$WORK/case99.xlsx"
"$PYTHON" bench/make_benchmark_files.py datafolder xls "$WORK/folder100"
"$PYTHON" - "$WORK/case1.xlsx" <<'PY'
import os, sys
sys.path.insert(0, os.path.join("tests", "hostile"))
import make_hostile as mh
mh.write_case_xlsx(sys.argv[1], [["№", "  Локус"], ["1", "D3S1358", "15/16", "15/17", "16/17"],
                                 [None, "CPI"], [None, "W"], [None, "population"]])
PY
# A case over the generated folder's loci, for the 100-workbook load through the command line.
"$PYTHON" - "$WORK/case-folder.xlsx" <<'PY'
import os, sys
sys.path.insert(0, os.path.join("tests", "hostile"))
import make_hostile as mh
mh.write_case_xlsx(sys.argv[1], [["№", "  Локус"], ["1", "L000", "5/5,5", "5/6", "6/6,5"],
                                 [None, "CPI"], [None, "W"], [None, "population"]])
PY

# An archive: 1000 copies of a 29-locus trio over the bundled loci (the two commonest alleles of
# each locus in the US Caucasian table), evaluated in one run.
"$PYTHON" - "$WORK/archive" <<'PY'
import csv, os, shutil, sys
sys.path.insert(0, os.path.join("tests", "hostile"))
import make_hostile as mh
loci = {}
for row in csv.DictReader(open(os.path.join("data", "source", "us_caucasians.csv"), encoding="utf-8")):
    loci.setdefault(row["locus"], []).append((float(row["frequency"]), row["allele"].replace(".", ",")))
rows = [["№", "  Локус"]]
for n, (locus, alleles) in enumerate(sorted(loci.items()), 1):
    a, b = [label for _, label in sorted(alleles, reverse=True)[:2]]
    rows.append([str(n), locus, f"{a}/{b}", f"{a}/{b}", f"{a}/{a}"])
rows += [[None, "CPI"], [None, "W"], [None, "population"]]
os.makedirs(sys.argv[1])
first = os.path.join(sys.argv[1], "case0000.xlsx")
mh.write_case_xlsx(first, rows)
for i in range(1, 1000):
    shutil.copyfile(first, os.path.join(sys.argv[1], "case%04d.xlsx" % i))
PY

PI="$ROOT/$BUILD/src/app/paternity-index"
PROBE="$ROOT/$BUILD/bench/startup_probe"
BEFORE="${BEFORE_DIR:-}"
export QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$WORK}"
chmod 700 "$XDG_RUNTIME_DIR" 2>/dev/null || true

# Whole process: name|command, run from the project folder (./data is the bundled database).
WHOLE=(
  "A process that does nothing (\`/bin/true\`), the unit of the start-up figures|/bin/true"
  "Process start and exit (\`paternity-index --version\`)|$PI --version"
  "Start-up to the population dialog (offscreen)|$PROBE"
  "Batch, 1-row case: loading the bundled database (29 workbooks) + evaluation|$PI batch $WORK/case1.xlsx --population white"
  "Batch, 99-row case, JSON output|$PI batch $WORK/case99.xlsx --population white --format json"
  "Batch, 99-row case, with the results workbook saved|$PI batch $WORK/case99.xlsx --population white --output $WORK/out.xlsx"
  "Batch, 99-row case, with the case report (PDF)|$PI batch $WORK/case99.xlsx --population white --report $WORK/out.pdf"
  "Batch, 1-row case over a folder of 100 workbooks × 99 alleles (.xls)|$PI batch $WORK/case-folder.xlsx --population white --data $WORK/folder100/data"
  "Batch over an archive: 1000 cases × 29 loci in one run, CSV summary|$PI batch $WORK/archive --population white --format csv"
  "Validation, 1000 cases on the bundled US Caucasian tables with the PDF protocol|$PI validate --population white --seed 1 --cases 1000 --report $WORK/validation.pdf"
  "Validation, 100000 cases, text output|$PI validate --population white --seed 1 --cases 100000"
)

# The generated 99-row case repeats its loci: its batch ends with status 3 (incomplete), as it should.
echo "Checking the commands..." >&2
for entry in "${WHOLE[@]}"; do
  cmd="${entry#*|}"
  status=0
  $cmd >/dev/null 2>"$WORK/err" || status=$?
  if [ "$status" != 0 ] && [ "$status" != 3 ]; then
    echo "command failed: $cmd" >&2
    cat "$WORK/err" >&2
    exit 1
  fi
done

ROWS=()
i=0
for entry in "${WHOLE[@]}"; do
  name="${entry%%|*}"
  cmd="${entry#*|}"
  i=$((i + 1))
  cmds=("$cmd")
  # The same command on the other build: its executable and its start-up probe.
  [ -z "$BEFORE" ] || cmds+=("$(echo "$cmd" | sed "s|$PI|$BEFORE/src/app/paternity-index|; s|$PROBE|$BEFORE/bench/startup_probe|")")
  hyperfine -N --ignore-failure --style none --warmup 3 --runs 20 --export-json "$WORK/h$i.json" "${cmds[@]}" >/dev/null 2>&1
  median=$("$PYTHON" -c "
import json, sys
r = [x['median'] * 1000 for x in json.load(open(sys.argv[1]))['results']]
print('%.1f ms' % r[0] if len(r) == 1 else '%.1f ms → %.1f ms' % (r[1], r[0]))" "$WORK/h$i.json")
  ROWS+=("| $name | whole process (hyperfine) | $median |")
done

# In process: Google Benchmark medians.
for exe in loader_benchmark datafolder_benchmark batch_benchmark engine_benchmark; do
  "$ROOT/$BUILD/bench/$exe" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
    --benchmark_format=json >"$WORK/$exe.json" 2>/dev/null
done
while IFS= read -r row; do ROWS+=("$row"); done < <("$PYTHON" - "$WORK" <<'PY'
import json, os, sys
work = sys.argv[1]
names = {
    "BM_LoadBundledDatabaseWhite": "Loading the bundled database, US Caucasians (29 .xls workbooks)",
    "BM_LoadBundledDatabaseBlack": "Loading the bundled database, US African Americans (29 .xls workbooks)",
    "BM_LoadDataFolder100x99Xls": "Loading 100 locus workbooks × 99 alleles, .xls",
    "BM_LoadDataFolder100x99Xlsx": "Loading 100 locus workbooks × 99 alleles, .xlsx",
    "BM_LoadDataFolder100x99Ods": "Loading 100 locus workbooks × 99 alleles, .ods",
    "BM_EvaluateGenotypeWorkbook": "Batch evaluation of a 99-row genotype workbook (read + evaluate)",
    "BM_SaveResultsWorkbook": "Saving a 99-row results workbook",
    "BM_BatchCommand": "Batch command, 99 rows (load database, evaluate, combine, JSON)",
    "BM_EvaluateLocusTrio": "One locus index, trio",
    "BM_EvaluateLocusDuo": "One locus index, duo",
    "BM_CombineIndex99Rows": "Combined index of 99 marked rows",
}
def fmt(ns):
    if ns >= 1e6:
        return "%.2f ms" % (ns / 1e6)
    if ns >= 1e3:
        return "%.1f µs" % (ns / 1e3)
    return "%.0f ns" % ns
scale = {"ns": 1, "us": 1e3, "ms": 1e6, "s": 1e9}
for exe in ("loader_benchmark", "datafolder_benchmark", "batch_benchmark", "engine_benchmark"):
    data = json.load(open(os.path.join(work, exe + ".json")))
    for b in data["benchmarks"]:
        if b.get("aggregate_name") != "median":
            continue
        base = b["run_name"]
        label = names.get(base, base)
        value = fmt(b["real_time"] * scale[b["time_unit"]])
        if "workbook" in b:
            value += " (%s per workbook)" % fmt(b["workbook"] * 1e9)
        print("| %s | in process (Google Benchmark) | %s |" % (label, value))
PY
)

CPU=$(grep -m1 "model name" /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//')
OS=$(. /etc/os-release && echo "$PRETTY_NAME")
echo
echo "Machine: $CPU, $(nproc) logical CPUs, $(free -g | awk '/Mem:/ {print $2}') GB RAM, $OS; Release build, $(date +%Y-%m-%d)."
echo
echo "| What | How | Median |"
echo "|---|---|---|"
printf '%s\n' "${ROWS[@]}"
