#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Builds the bundled locus workbooks data/<locus>.xls from the published allele frequencies in
data/source/*.csv (see data/SOURCES.md).

One workbook per locus, named after the locus. Each holds the worksheets "<locus>-white"
(US Caucasians) and "<locus>-black" (US African Americans); there is no "-rus" worksheet,
because no published Russian table is bundled. A worksheet is the table the loader reads:
no header row; column A the allele label, column B its frequency as a number; one row per
allele in the published order; and a closing row "Сумма" with the column's total, which the
loader never counts as an allele.

Labels are written as text, exactly as the program shows them: "10", and microvariants with a
decimal comma, "9,3". A text label reads the same under every locale, so the labels the
operator picks, the ones saved in results workbooks and the ones read back always agree.
Frequencies are numbers with the published four decimals; nothing is rounded or renormalised.

Run with Debian's python3 (python3-xlwt), from anywhere:
    /usr/bin/python3 scripts/make-frequency-workbooks.py
The output is byte-for-byte reproducible.
"""
import csv
import decimal
import pathlib
import sys

import xlwt

ROOT = pathlib.Path(__file__).resolve().parent.parent
DATA = ROOT / "data"
SOURCES = [
    ("-white", DATA / "source" / "us_caucasians.csv"),
    ("-black", DATA / "source" / "us_african_americans.csv"),
]
CLOSING_LABEL = "Сумма"


def read_population(path):
    """{locus: [(allele text as published, frequency text as published)]}, in file order."""
    loci = {}
    with path.open(encoding="utf-8", newline="") as f:
        reader = csv.reader(f)
        if next(reader) != ["locus", "allele", "frequency"]:
            sys.exit(f"{path}: unexpected header")
        for locus, allele, frequency in reader:
            value = decimal.Decimal(frequency)
            if not (0 < value <= 1):
                sys.exit(f"{path}: {locus} {allele}: frequency {frequency} outside (0, 1]")
            loci.setdefault(locus, []).append((allele, frequency))
    return loci


def label_text(allele):
    return allele.replace(".", ",")


def main():
    populations = [(suffix, read_population(path)) for suffix, path in SOURCES]
    names = list(populations[0][1])
    for suffix, loci in populations[1:]:
        if list(loci) != names:
            sys.exit(f"the populations do not cover the same loci in the same order ({suffix})")

    label_style = xlwt.easyxf(num_format_str="@")
    frequency_style = xlwt.easyxf(num_format_str="0.0000")
    closing_label_style = xlwt.easyxf("font: bold on", num_format_str="@")
    closing_style = xlwt.easyxf("font: bold on", num_format_str="0.0000")

    for locus in names:
        book = xlwt.Workbook(encoding="utf-8")
        for suffix, loci in populations:
            sheet = book.add_sheet(locus + suffix)
            sheet.col(0).width = 10 * 256
            sheet.col(1).width = 10 * 256
            rows = loci[locus]
            for i, (allele, frequency) in enumerate(rows):
                if len(label_text(allele)) > 5:
                    sys.exit(f"{locus} {allele}: a label holds at most 5 characters")
                sheet.write(i, 0, label_text(allele), label_style)
                sheet.write(i, 1, float(frequency), frequency_style)
            total = sum(decimal.Decimal(f) for _, f in rows)
            sheet.write(len(rows), 0, CLOSING_LABEL, closing_label_style)
            sheet.write(len(rows), 1, float(total), closing_style)
        book.save(str(DATA / f"{locus}.xls"))
    print(f"{len(names)} workbooks written to {DATA}")


if __name__ == "__main__":
    main()
