#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Makes the inputs of the speed measurements.

    make_benchmark_files.py datafolder FORMAT DIR [COUNT] [ALLELES]
        DIR/data/ with COUNT locus workbooks (default 100) of ALLELES alleles (default 99) each,
        in FORMAT (xls, xlsx or ods), with the worksheets -rus, -white and -black, each table
        closed by a total row.
    make_benchmark_files.py case FILE
        A 99-row genotype workbook (.xlsx) over loci of the bundled data.

Written with the workbook writers of tests/hostile/make_hostile.py (xlsx and ods part by part,
xls through python3-xlwt). Run with Debian's python3.
"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "hostile"))
import make_hostile as mh  # noqa: E402
import xlwt  # noqa: E402

SUFFIXES = ("-rus", "-white", "-black")


def locus_rows(alleles, shift):
    rows = [(str(5 + i * 0.5).replace(".", ",").removesuffix(",0"), round((i + 1 + shift) / 10000.0, 6))
            for i in range(alleles)]
    rows.append(("Сумма", 1.0))
    return rows


def write_locus(path, fmt, locus, alleles):
    sheets = [(locus + suffix, locus_rows(alleles, n)) for n, suffix in enumerate(SUFFIXES)]
    if fmt == "xls":
        book = xlwt.Workbook(encoding="utf-8")
        for name, rows in sheets:
            ws = book.add_sheet(name)
            for r, (label, freq) in enumerate(rows):
                ws.write(r, 0, label)
                ws.write(r, 1, freq)
        book.save(path)
    elif fmt == "xlsx":
        strings = mh.Strings()
        mh.write_xlsx(path, [(name, mh.worksheet(mh.xlsx_rows(rows, strings))) for name, rows in sheets], strings)
    elif fmt == "ods":
        mh.write_ods(path, "".join(mh.ods_table(name, mh.ods_rows(rows)) for name, rows in sheets))
    else:
        sys.exit("unknown format " + fmt)


def make_datafolder(fmt, out, count=100, alleles=99):
    data = os.path.join(out, "data")
    os.makedirs(data, exist_ok=True)
    for k in range(count):
        locus = f"L{k:03d}"
        write_locus(os.path.join(data, f"{locus}.{fmt}"), fmt, locus, alleles)


def make_case(path):
    trios = [("D3S1358", "15/16", "15/17", "16/17"), ("vWA", "14/17", "17/18", "Нет/Нет"),
             ("FGA", "20/22", "22/24", "23/24")]
    rows = [["№", "  Локус", "Генотип отца", "Генотип ребенка", "Генотип матери"]]
    for i in range(99):
        locus, father, child, mother = trios[i % len(trios)]
        rows.append([str(i + 1), locus, father, child, mother])
    rows += [[None, "CPI"], [None, "W"], [None, "Использовались референтные частоты аллелей для европеоидов США"]]
    mh.write_case_xlsx(path, rows)


if __name__ == "__main__":
    if len(sys.argv) >= 4 and sys.argv[1] == "datafolder":
        make_datafolder(sys.argv[2], sys.argv[3], *(int(a) for a in sys.argv[4:6]))
    elif len(sys.argv) == 3 and sys.argv[1] == "case":
        make_case(sys.argv[2])
    else:
        sys.exit(__doc__)
