#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes the locus workbooks that the loader's real-file tests read, into
tests/freqdb/fixtures/. Run with Debian's python3 (python3-xlwt, python3-openpyxl):
    /usr/bin/python3 scripts/make-loader-fixtures.py

.xls is written with xlwt, .xlsx with openpyxl (as many lab systems export them) and .ods as
plain OpenDocument XML in a zip, the way a spreadsheet program stores it. Every archive entry
gets a fixed time stamp, so the output does not change from run to run.

fixtures/order/data/   a data folder of six workbooks in the three formats, listed by the file
                       system in no particular order; each worksheet "<locus>-white" exercises
                       one rule of the locus table (see the tables below)
fixtures/books/        single workbooks read one by one: the same table at an offset in each
                       format, a one-cell used range in each format, a text frequency that is no
                       number, a workbook without the chosen worksheet
"""
import datetime
import io
import pathlib
import zipfile
from xml.sax.saxutils import escape, quoteattr

import openpyxl
import xlwt

ROOT = pathlib.Path(__file__).resolve().parent.parent
OUT = ROOT / "tests" / "freqdb" / "fixtures"
FIXED_TIME = (2024, 1, 1, 0, 0, 0)
E = None  # an empty cell

# Tables: rows of (label, frequency); a cell is a str (text), a float/int (number) or None.
TABLES = {
    # number labels, a microvariant as number and as text, text frequencies with a comma
    "D3S1358": [(12, 0.25), (9.3, "0,125"), ("9,3", 0.125), ("14", 0.5), ("Сумма", 1.0)],
    # empty label rows before the closing row are not counted: 3 alleles
    "FGA": [("20", 0.5), ("21", 0.25), ("22", 0.25), (E, E), (E, 0.3), (E, E), ("Итого", 1.0)],
    # a label of six characters keeps five; the closing row is an allele-looking row
    "TPOX": [("123456", 0.5), ("8", 0.5), ("9", 0.1)],
    # an empty label row inside the table is an allele with an empty label and frequency 0
    "vWA": [(16, 0.5), (E, "abc"), (18, "0,5"), ("Сумма", 1.0)],
    "AB": [("1", 1.0), ("Сумма", 1.0)],
    "AB-1": [("2", 1.0), ("Сумма", 1.0)],
}
ORDER_FORMATS = {"D3S1358": ".xls", "FGA": ".XLS", "TPOX": ".ods", "vWA": ".xlsx", "AB": ".xls", "AB-1": ".xls"}

OFFSET_TABLE = [(10, 0.25), (E, E), (9.3, "0,125"), ("11", 0.625), ("Сумма", 1.0)]


def xls(path, sheets):
    """sheets: [(name, rows, first_row, first_column)], 1-based first cell."""
    book = xlwt.Workbook(encoding="utf-8")
    for name, rows, top, left in sheets:
        sheet = book.add_sheet(name)
        for r, row in enumerate(rows):
            for c, value in enumerate(row):
                if value is not None:
                    sheet.write(top - 1 + r, left - 1 + c, value)
    book.save(str(path))


def restamp(data):
    """The zip archive `data` with every entry's time set to FIXED_TIME, in the same order."""
    source = zipfile.ZipFile(io.BytesIO(data))
    out = io.BytesIO()
    with zipfile.ZipFile(out, "w") as target:
        for info in source.infolist():
            stamped = zipfile.ZipInfo(info.filename, FIXED_TIME)
            stamped.compress_type = info.compress_type
            stamped.external_attr = info.external_attr
            target.writestr(stamped, source.read(info.filename))
    return out.getvalue()


def xlsx(path, sheets):
    book = openpyxl.Workbook()
    book.remove(book.active)
    fixed = datetime.datetime(*FIXED_TIME)
    book.properties.created = fixed
    book.properties.modified = fixed
    for name, rows, top, left in sheets:
        sheet = book.create_sheet(name)
        for r, row in enumerate(rows):
            for c, value in enumerate(row):
                if value is not None:
                    sheet.cell(row=top + r, column=left + c, value=value)
    buffer = io.BytesIO()
    book.save(buffer)
    path.write_bytes(restamp(buffer.getvalue()))


def ods_cell(value):
    if value is None:
        return "<table:table-cell/>"
    if isinstance(value, str):
        return f'<table:table-cell office:value-type="string"><text:p>{escape(value)}</text:p></table:table-cell>'
    shown = repr(float(value)).replace(".", ",").removesuffix(",0")
    return (f'<table:table-cell office:value-type="float" office:value="{value!r}">'
            f"<text:p>{shown}</text:p></table:table-cell>")


def ods(path, sheets):
    tables = []
    for name, rows, top, left in sheets:
        xml = [f"<table:table table:name={quoteattr(name)}>"]
        if top > 1:
            xml.append(f'<table:table-row table:number-rows-repeated="{top - 1}"><table:table-cell/></table:table-row>')
        for row in rows:
            lead = f'<table:table-cell table:number-columns-repeated="{left - 1}"/>' if left > 1 else ""
            xml.append("<table:table-row>" + lead + "".join(ods_cell(v) for v in row) + "</table:table-row>")
        xml.append("</table:table>")
        tables.append("".join(xml))
    content = (
        '<?xml version="1.0" encoding="UTF-8"?>\n'
        '<office:document-content xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" '
        'xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0" '
        'xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0" office:version="1.2">'
        "<office:body><office:spreadsheet>" + "".join(tables) + "</office:spreadsheet></office:body>"
        "</office:document-content>\n")
    manifest = (
        '<?xml version="1.0" encoding="UTF-8"?>\n'
        '<manifest:manifest xmlns:manifest="urn:oasis:names:tc:opendocument:xmlns:manifest:1.0" manifest:version="1.2">'
        '<manifest:file-entry manifest:full-path="/" manifest:version="1.2" '
        'manifest:media-type="application/vnd.oasis.opendocument.spreadsheet"/>'
        '<manifest:file-entry manifest:full-path="content.xml" manifest:media-type="text/xml"/>'
        "</manifest:manifest>\n")
    with zipfile.ZipFile(path, "w") as archive:
        # The media type comes first and uncompressed, so that it can be recognised by its bytes.
        archive.writestr(zipfile.ZipInfo("mimetype", FIXED_TIME), "application/vnd.oasis.opendocument.spreadsheet",
                         compress_type=zipfile.ZIP_STORED)
        for name, text in (("META-INF/manifest.xml", manifest), ("content.xml", content)):
            archive.writestr(zipfile.ZipInfo(name, FIXED_TIME), text, compress_type=zipfile.ZIP_DEFLATED)


WRITERS = {".xls": xls, ".xlsx": xlsx, ".ods": ods}


def write(path, sheets):
    path.parent.mkdir(parents=True, exist_ok=True)
    WRITERS[path.suffix.lower()](path, sheets)


def main():
    for locus, rows in TABLES.items():
        write(OUT / "order" / "data" / (locus + ORDER_FORMATS[locus]),
              [(locus + "-white", rows, 1, 1), (locus + "-black", [("1", 0.5), ("Сумма", 0.5)], 1, 1)])
    books = OUT / "books"
    for extension in (".xls", ".xlsx", ".ods"):
        write(books / ("Offset" + extension), [("Offset-white", OFFSET_TABLE, 3, 3)])
        write(books / ("OneCell" + extension), [("OneCell-white", [("10",)], 2, 2)])
    write(books / "BadText.xls",
          [("BadText-white", [("10", 0.1), ("11", 0.1), ("12", 0.1), ("13", 0.1), ("14", 0.1), ("15", 0.1),
                              ("16", "abc"), ("Сумма", 0.7)], 1, 1)])
    write(books / "NoSheet.xls", [("NoSheet-black", [("10", 1.0), ("Сумма", 1.0)], 1, 1)])
    print(f"fixtures written to {OUT}")


if __name__ == "__main__":
    main()
