#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Prints the first worksheet of an .xlsx file as canonical lines, for the exchange tests:

  sheet <name>
  cell <A1> <number format> <horizontal alignment or -> <wrap 0|1> <value as JSON>
  merge <A1:B2>
  width <first column> <last column> <width>

Merged cells other than the top-left one are left out (openpyxl loads them unstyled)."""
import json
import sys

import openpyxl
from openpyxl.utils import get_column_letter

wb = openpyxl.load_workbook(sys.argv[1])
ws = wb.worksheets[0]
print("sheet", ws.title)
merged_rest = set()
for rng in ws.merged_cells.ranges:
    for row in range(rng.min_row, rng.max_row + 1):
        for col in range(rng.min_col, rng.max_col + 1):
            if (row, col) != (rng.min_row, rng.min_col):
                merged_rest.add((row, col))
for row in ws.iter_rows(min_row=1, max_row=ws.max_row, max_col=ws.max_column):
    for cell in row:
        if (cell.row, cell.column) in merged_rest:
            continue
        if cell.value is None and not cell.has_style:
            continue
        print("cell", cell.coordinate, cell.number_format, cell.alignment.horizontal or "-",
              int(bool(cell.alignment.wrap_text)), json.dumps(cell.value, ensure_ascii=False))
for rng in sorted(ws.merged_cells.ranges, key=lambda r: (r.min_row, r.min_col)):
    print("merge", rng.coord)
for key, dim in sorted(ws.column_dimensions.items(), key=lambda kv: kv[1].min or 0):
    if dim.width and dim.customWidth:
        print("width", get_column_letter(dim.min), get_column_letter(dim.max), repr(float(dim.width)))
