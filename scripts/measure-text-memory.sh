#!/usr/bin/env bash
# Peak memory of reading a text table, as a whole process: `profiles`, `batch EXPORT` and
# `kinship EXPORT` (the genotyping exports' reader) and `import --dry-run` (the import's reader)
# on texts of a few megabytes:
#
#   - refused, the header is no reader's: a 4 MB file of short lines (three cells each), and a
#     long-layout export of 2 million cells without its header line;
#   - read whole: a long-layout and a wide-layout export of 2 million cells (each listed, and a
#     case of two of its samples evaluated), and a long frequency table of 2 million cells,
#     which the import reads to its end and refuses for a locus's alleles beyond the 99 a locus
#     sheet holds.
#
# Prints each file's size, each command's peak resident size and its ratio to the file over the
# bare process (`--version`). With --check, exits 1 when a ratio is above 10× the file.
#
#   scripts/measure-text-memory.sh [--check] [PROGRAM [DATA_DIR]]
#   default PROGRAM: build/src/app/paternity-index (BUILD_DIR=build-x for another build)
set -euo pipefail
cd "$(dirname "$0")/.."
CHECK=0
if [ "${1:-}" = "--check" ]; then
  CHECK=1
  shift
fi
PI="${1:-$PWD/${BUILD_DIR:-build}/src/app/paternity-index}"
DATA="${2:-$PWD/data}"
exec /usr/bin/python3 - "$PI" "$DATA" "$CHECK" <<'PY'
import os
import subprocess
import sys
import tempfile

program, data, check = sys.argv[1], sys.argv[2], sys.argv[3] == "1"
MARKERS = ["D3S1358", "vWA", "D16S539", "CSF1PO", "TPOX", "D8S1179", "D21S11", "D18S51", "D2S441", "D19S433",
           "TH01", "FGA", "D22S1045", "D5S818", "D13S317", "D7S820", "SE33", "D10S1248", "D1S1656", "D12S391",
           "D2S1338", "Penta E", "Penta D", "Amelogenin"]
CELLS = 2_000_000


def short_lines(path):
    line = b"a;1;2\n"
    with open(path, "wb") as f:
        f.write(line * (4 * 1024 * 1024 // len(line)))


def long_export(path, header=True):
    with open(path, "w") as f:
        if header:
            f.write("Sample Name,Marker,Allele 1,Allele 2\n")
        for i in range(CELLS // 4 - 1):
            sample, marker = divmod(i, len(MARKERS))
            f.write(f"S{sample:06d},{MARKERS[marker]},{10 + sample % 7},{12 + sample % 5}\n")


def wide_export(path):
    with open(path, "w") as f:
        f.write("Sample Name," + ",".join(MARKERS) + "\n")
        for s in range(CELLS // (len(MARKERS) + 1) - 1):
            f.write(f"S{s:06d}," + ",".join(f"{10 + (s + i) % 7}/{12 + s % 5}" for i in range(len(MARKERS))) + "\n")


def frequency_table(path):
    with open(path, "w") as f:
        f.write("Locus;Allele;Frequency\n")
        for i in range(CELLS // 3 - 1):
            allele, marker = divmod(i, len(MARKERS) - 1)
            f.write(f"{MARKERS[marker]};{5 + allele // 10}.{allele % 10};0,01\n")


def peak_kib(args):
    """The peak resident size of one run of the program, in KiB. Through time(1): a child of this
    Python process would count the interpreter's pages it starts with."""
    with tempfile.NamedTemporaryFile("r") as peak:
        subprocess.run(["/usr/bin/time", "-o", peak.name, "-f", "%M", program] + args,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        return int(peak.read().split()[-1])


# What follows the file in each command: the case's samples are in both exports.
OPTIONS = {
    "profiles": ["--data", data],
    "batch": ["--father", "S000001", "--child", "S000002", "--population", "white", "--data", data],
    "kinship": ["--child", "S000002", "--person", "Предполагаемый отец=S000001", "--population", "white",
                "--data", data],
    "import": ["--population", "white", "--data", data, "--dry-run"],
}
# (file, how it is made, command, the bound of --check or None: measured only)
CASES = [
    ("short-lines.txt", short_lines, "profiles", 10),
    ("short-lines.txt", short_lines, "import", 10),
    ("export-without-header.txt", lambda p: long_export(p, header=False), "profiles", 10),
    ("export-without-header.txt", lambda p: long_export(p, header=False), "import", 10),
    ("frequency-table.txt", frequency_table, "import", 10),
] + [(name, make, command, 10) for name, make in (("long-export.txt", long_export), ("wide-export.txt", wide_export))
     for command in ("profiles", "batch", "kinship")]

with tempfile.TemporaryDirectory() as work:
    bare = peak_kib(["--version"])
    print(f"| command | file | peak RSS | over the bare process ({bare} KB) | ratio to the file |")
    print("|---|---|---|---|---|")
    over = []
    for name, make, command, bound in CASES:
        if check and bound is None:
            continue
        path = os.path.join(work, name)
        if not os.path.exists(path):
            make(path)
        size = os.path.getsize(path)
        peak = peak_kib([command, path] + OPTIONS[command])
        ratio = (peak - bare) * 1024 / size
        print(f"| {command} | {name}, {size / 1048576:.1f} MB | {peak / 1024:.0f} MB | {(peak - bare) / 1024:.0f} MB "
              f"| {ratio:.1f}× |")
        if bound is not None and ratio > bound:
            over.append(f"{command} {name}: {ratio:.1f}× the file, above {bound}×")
    for line in over:
        print(line, file=sys.stderr)
    sys.exit(1 if check and over else 0)
PY
