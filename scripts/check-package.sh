#!/usr/bin/env bash
# Checks the Debian package made by scripts/make-package.sh as a workstation gets it: unpacked into
# a temporary root, the program started from a folder without data/ finds the installed tables and
# evaluates examples/trio.xlsx exactly as the build does from the source tree, and finds its report
# and writer modules to write the case report and the results workbook; the desktop entry, the
# AppStream metainfo and the manual page are there and valid; lintian finds no error (its warnings
# are printed).
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD
build=${BUILD_DIR:-build}

debs=(build-package/paternity-index_*_amd64.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || { echo "check-package.sh: expected one package in build-package/" >&2; exit 1; }
deb=$repo/${debs[0]}

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
root=$tmp/root
dpkg-deb -x "$deb" "$root"
fail() { echo "check-package.sh: $*" >&2; exit 1; }

# Dependencies come from the linked libraries, plus the platform plugins Qt loads at run time.
depends=$(dpkg-deb -f "$deb" Depends)
for needed in libqt6widgets6 libminizip1 libxlsxwriter qt6-qpa-plugins; do
  [[ $depends == *"$needed"* ]] || fail "Depends lacks $needed: $depends"
done
# Every workbook format is read by the program itself: no spreadsheet library may come back in
# through a stray link.
for gone in liborcus libixion libfreexl; do
  [[ $depends != *"$gone"* ]] || fail "Depends names $gone, which the program does not use: $depends"
done

# The installed data folder, read-only, found from the executable's own place.
modules=usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)/paternity-index
for f in usr/bin/paternity-index $modules/paternity-index-window.so $modules/paternity-index-report.so $modules/paternity-index-xlsx.so usr/share/paternity-index/data/D3S1358.xls usr/share/paternity-index/data/help.html \
         usr/share/paternity-index/data/settings.ini \
         usr/share/paternity-index/data/shipped-files.sha256 \
         usr/share/paternity-index/SOURCES.md usr/share/doc/paternity-index/copyright; do
  [ -f "$root/$f" ] || fail "$f missing from the package"
done
mkdir "$tmp/home" "$tmp/elsewhere"
expected=$(cd "$repo" && "$build/src/app/paternity-index" batch examples/trio.xlsx --population white --data data)
got=$(cd "$tmp/elsewhere" && env -u XDG_DATA_HOME HOME="$tmp/home" \
  "$root/usr/bin/paternity-index" batch "$repo/examples/trio.xlsx" --population white)
[ "$got" = "$expected" ] || fail "the unpacked program gave another result:
$got"
[ ! -e "$tmp/home/.local" ] || fail "reading the installed data wrote into the home folder"
# Every installed file is in the list of shipped files, so a lab's whole copy of this package's
# folder never hides a later package's tables.
for f in "$root"/usr/share/paternity-index/data/*.xls "$root"/usr/share/paternity-index/data/help.html; do
  grep -qx "$(sha256sum <"$f" | cut -d' ' -f1)  $(basename "$f")" "$root/usr/share/paternity-index/data/shipped-files.sha256" \
    || fail "$(basename "$f") is not in shipped-files.sha256"
done
# A package update reaches a lab whose folder is a whole copy of the installed one (what earlier
# versions advised): a second package with one frequency corrected (D3S1358 p(15) of the white
# table, 0,2729 -> 0,1729), made by the same workbook script, installed over the first.
installed=$root/usr/share/paternity-index/data
lab=$tmp/home/.local/share/paternity-index/data
mkdir -p "$(dirname "$lab")" "$tmp/second/scripts" "$tmp/second/data/source"
cp -r "$installed" "$lab"
cp scripts/make-frequency-workbooks.py "$tmp/second/scripts/"
cp data/source/*.csv "$tmp/second/data/source/"
sed -i 's/^D3S1358,15,0.2729$/D3S1358,15,0.1729/' "$tmp/second/data/source/us_caucasians.csv"
/usr/bin/python3 "$tmp/second/scripts/make-frequency-workbooks.py"
chmod u+w "$installed" "$installed/D3S1358.xls" "$installed/shipped-files.sha256"
cp "$tmp/second/data/D3S1358.xls" "$installed/D3S1358.xls"
echo "$(sha256sum <"$installed/D3S1358.xls" | cut -d' ' -f1)  D3S1358.xls" >>"$installed/shipped-files.sha256"
updated=$(cd "$tmp/elsewhere" && env -u XDG_DATA_HOME HOME="$tmp/home" \
  "$root/usr/bin/paternity-index" batch "$repo/examples/trio.xlsx" --population white --format csv 2>"$tmp/update.err")
grep -q '^1,D3S1358,.*0,173' <<<"$updated" || fail "the lab's copy hid the updated D3S1358 table:
$updated"
grep -q 'Установленные таблицы обновлены' "$tmp/update.err" || fail "the update was not reported: $(cat "$tmp/update.err")"
rm -rf "$lab"

# The report module is found from the executable's place, in the package's private folder.
report=$(cd "$tmp/elsewhere" && env -u XDG_DATA_HOME HOME="$tmp/home" QT_QPA_PLATFORM=offscreen \
  "$root/usr/bin/paternity-index" batch "$repo/examples/trio.xlsx" --population white --report "$tmp/trio.pdf" 2>&1 >/dev/null) \
  || fail "the unpacked program wrote no report: $report"
[ "$(head -c 4 "$tmp/trio.pdf")" = "%PDF" ] || fail "the unpacked program's report is no PDF"
# The writer module too, for the results workbook.
saved=$(cd "$tmp/elsewhere" && env -u XDG_DATA_HOME HOME="$tmp/home" \
  "$root/usr/bin/paternity-index" batch "$repo/examples/trio.xlsx" --population white --output "$tmp/trio.results.xlsx" 2>&1 >/dev/null) \
  || fail "the unpacked program wrote no results workbook: $saved"
[ "$(head -c 2 "$tmp/trio.results.xlsx")" = "PK" ] || fail "the unpacked program's results workbook is no .xlsx"
version=$("$root/usr/bin/paternity-index" --version)
[ "$version" = "paternity-index $(dpkg-deb -f "$deb" Version)" ] || fail "--version says '$version'"

# Desktop integration.
desktop=("$root"/usr/share/applications/*.desktop)
desktop-file-validate "${desktop[@]}"
grep -qx 'Name\[ru\]=Индекс отцовства' "${desktop[@]}" || fail "desktop entry without its Russian name"
metainfo=("$root"/usr/share/metainfo/*.metainfo.xml)
appstreamcli validate --no-net "${metainfo[@]}" >/dev/null || appstreamcli validate --no-net "${metainfo[@]}"
[ -f "$root/usr/share/icons/hicolor/scalable/apps/paternity-index.svg" ] || fail "SVG icon missing"
file "$root/usr/share/icons/hicolor/48x48/apps/paternity-index.png" | grep -q '48 x 48' || fail "48x48 icon missing"

# The manual page: formats without a warning and has a whatis line for apropos.
man=$root/usr/share/man/man1/paternity-index.1.gz
warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$man" 2>&1 >/dev/null)
[ -z "$warnings" ] || fail "man page warnings: $warnings"
zcat "$man" | LC_ALL=C.UTF-8 groff -k -Tutf8 -man -z -ww 2>&1 | { ! grep .; } || fail "groff warnings"
lexgrog "$man" | grep -q 'paternity-index - ' || fail "no whatis line"

echo "lintian $(basename "$deb"):"
lintian --fail-on error --tag-display-limit 0 "$deb" || fail "lintian reports errors"
echo "package checks passed"
