#!/usr/bin/env bash
# Adds to data/shipped-files.sha256 the SHA-256 of every version in the git history of every file
# the package installs into its data folder (the locus workbooks, help.html and settings.ini). The program
# takes a file of the lab's folder whose content is listed there for a copy of the program's own
# (a lab folder copied whole by an earlier version), not for the lab's table, so a package update
# is not hidden behind it. Lines are only ever added. Run it before a release; the build adds the
# files of the tree being built in any case (packaging/shippedfiles.cmake).
set -euo pipefail
cd "$(dirname "$0")/.."
list=data/shipped-files.sha256
tmp=$(mktemp)
trap 'rm -f "$tmp"' EXIT
[ -f "$list" ] && cat "$list" >"$tmp"
for file in data/*.xls data/help.html data/settings.ini; do
  name=$(basename "$file")
  for commit in $(git log --format=%H -- "$file"); do
    hash=$(git show "$commit:$file" 2>/dev/null | sha256sum | cut -d' ' -f1) || continue
    echo "$hash  $name" >>"$tmp"
  done
  echo "$(sha256sum <"$file" | cut -d' ' -f1)  $name" >>"$tmp"
done
LC_ALL=C sort -u -k2 -k1 "$tmp" >"$list"
