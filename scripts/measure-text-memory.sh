#!/usr/bin/env bash
# Peak memory of reading a text table: a 4 MB file of short lines (three cells each) given to
# `profiles` (genotyping exports' reader) and to `import --dry-run` (the import's reader).
# Prints the file's size, each command's peak resident size and its ratio to the file; the goal
# is a small multiple of the file (≤ 10×). The header is not one the readers know, so both
# commands refuse the file: what is measured is the reading up to that refusal.
#
#   scripts/measure-text-memory.sh [MEGABYTES]     default: 4
#   BUILD_DIR=build-x scripts/measure-text-memory.sh
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD="${BUILD_DIR:-build}"
MB="${1:-4}"
PI="$PWD/$BUILD/src/app/paternity-index"
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
/usr/bin/python3 - "$WORK/short-lines.txt" "$MB" <<'PY'
import sys
line = b"a;1;2\n"
with open(sys.argv[1], "wb") as f:
    f.write(line * (int(sys.argv[2]) * 1024 * 1024 // len(line)))
PY
SIZE=$(stat -c %s "$WORK/short-lines.txt")
/usr/bin/time -o "$WORK/peak" -f %M "$PI" --version >/dev/null
base=$(cat "$WORK/peak")
echo "| command | file | peak RSS | over the bare process ($base KB) | ratio to the file |"
echo "|---|---|---|---|---|"
for cmd in "profiles $WORK/short-lines.txt" "import $WORK/short-lines.txt --population white --data data --dry-run"; do
  # shellcheck disable=SC2086 # the command is split into its words on purpose
  /usr/bin/time -o "$WORK/peak" -f %M "$PI" $cmd >/dev/null 2>&1 || true
  peak=$(tail -1 "$WORK/peak")
  echo "${cmd//$WORK\//}|$SIZE|$peak|$base" | awk -F'|' '{ printf "| %s | %.1f MB | %.0f MB | %.0f MB | %.0f× |\n", $1, $2/1048576, $3/1024, ($3-$4)/1024, ($3-$4)*1024/$2 }'
done
