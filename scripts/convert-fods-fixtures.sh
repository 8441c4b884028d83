#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Writes NAME.ods, NAME.xlsx and NAME.xls beside each NAME.fods given: LibreOffice opens the flat
# OpenDocument file and saves it in each format, so a test fixture holds cells as a spreadsheet
# program writes them (a label typed as 9.3 that became the date 09.03.26, for one).
# Needs libreoffice-calc-nogui (not a build dependency; the generated files are committed):
#   sh scripts/convert-fods-fixtures.sh tests/popimport/fixtures/datelabel.fods
set -eu
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME="$work"
for fods in "$@"; do
    here=$(cd "$(dirname "$fods")" && pwd)
    name=$(basename "$fods" .fods)
    cp "$fods" "$work/"
    (cd "$work" &&
        soffice --headless --convert-to ods "$name.fods" >/dev/null 2>&1 &&
        soffice --headless --convert-to xlsx "$name.fods" >/dev/null 2>&1 &&
        soffice --headless --convert-to 'xls:MS Excel 97' "$name.fods" >/dev/null 2>&1)
    cp "$work/$name.ods" "$work/$name.xlsx" "$work/$name.xls" "$here/"
done
