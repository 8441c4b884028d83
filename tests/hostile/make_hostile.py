#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Makes the hostile and broken workbooks of tests/hostile.

    make_hostile.py small DIR   the small files, committed under tests/hostile/files
    make_hostile.py big DIR     the big ones (zip bombs, a 50 MB cell, thousands of sheets),
                                made at test time in a temporary folder

Every locus workbook here is the locus D3S1358 with the worksheet "D3S1358-white", so the tests
put a file into a data folder as D3S1358.<ext> and load it for the US Caucasians. The good_*
files are the controls: each hostile file differs from them in the one thing it tests, so a
hostile file that fails to load fails for its own reason. Genotype workbooks (case_*) follow the
results workbook layout: a header row, one row per locus, three closing rows.

The xlsx and ods files are written part by part with zipfile, so that each can carry exactly the
broken detail it needs; the xls files come from xlwt (python3-xlwt). Run with Debian's python3.
"""
import os
import sys
import zipfile
from xml.sax.saxutils import escape

import xlwt

LOCUS = "D3S1358"
SHEET = LOCUS + "-white"
# Allele rows of the control table, then the closing row.
GOOD_ROWS = [("12", 0.002), ("13", 0.003), ("14", 0.102), ("15", 0.262), ("16", 0.253),
             ("17", 0.211), ("18", 0.147), ("19", 0.015), ("Сумма", 1.0)]

# ---------------------------------------------------------------------------------------------
# xlsx, part by part

CONTENT_TYPES = """<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">
<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>
<Default Extension="xml" ContentType="application/xml"/>
<Override PartName="/xl/workbook.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"/>
{sheets}<Override PartName="/xl/sharedStrings.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml"/>
</Types>"""
SHEET_TYPE = ('<Override PartName="/xl/worksheets/sheet{n}.xml" ContentType="application/'
              'vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"/>\n')
ROOT_RELS = """<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">
<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="xl/workbook.xml"/>
</Relationships>"""
WORKBOOK = """<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">
<sheets>{sheets}</sheets>
</workbook>"""
WORKBOOK_RELS = """<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">
{rels}<Relationship Id="rIdS" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings" Target="sharedStrings.xml"/>
</Relationships>"""
SHEET_REL = ('<Relationship Id="rId{n}" Type="http://schemas.openxmlformats.org/officeDocument/2006/'
             'relationships/worksheet" Target="worksheets/sheet{n}.xml"/>\n')
WORKSHEET_HEAD = ('<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n{doctype}'
                  '<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">'
                  '{dimension}<sheetData>')
WORKSHEET_TAIL = '</sheetData></worksheet>'


def put(z, name, data, compression=None):
    """One zip entry with a fixed date, so that the files come out the same on every run."""
    info = zipfile.ZipInfo(name, date_time=(2024, 1, 1, 0, 0, 0))
    info.compress_type = z.compression if compression is None else compression
    z.writestr(info, data)


def column_name(column):
    name = ""
    while column:
        column, rest = divmod(column - 1, 26)
        name = chr(ord("A") + rest) + name
    return name


class Strings:
    """The shared strings table of one xlsx."""

    def __init__(self):
        self.items = []

    def index(self, text):
        self.items.append(text)
        return len(self.items) - 1

    def xml(self, doctype=""):
        body = "".join(f'<si><t xml:space="preserve">{t}</t></si>' for t in self.items)
        return ('<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n' + doctype +
                '<sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" '
                f'count="{len(self.items)}" uniqueCount="{len(self.items)}">{body}</sst>')


def xlsx_cell(ref, value, strings, raw=False):
    """One <c>: a str goes to the shared strings (escaped unless raw), a number to <v>, a
    ("v", text) pair is written as the raw text of <v> (NaN, INF, 1e400)."""
    if isinstance(value, tuple):
        return f'<c r="{ref}"><v>{value[1]}</v></c>'
    if isinstance(value, str):
        text = value if raw else escape(value)
        return f'<c r="{ref}" t="s"><v>{strings.index(text)}</v></c>'
    return f'<c r="{ref}"><v>{value!r}</v></c>'


def xlsx_rows(rows, strings, first_row=1, raw=False):
    out = []
    for i, row in enumerate(rows):
        r = first_row + i
        cells = "".join(xlsx_cell(f"{column_name(c + 1)}{r}", v, strings, raw)
                        for c, v in enumerate(row) if v is not None)
        out.append(f'<row r="{r}">{cells}</row>')
    return "".join(out)


def write_xlsx(path, sheets, strings, doctype="", strings_doctype="", compression=zipfile.ZIP_DEFLATED):
    """sheets: list of (name, worksheet xml). The name goes into workbook.xml unescaped when it is
    bytes (for broken encodings)."""
    with zipfile.ZipFile(path, "w", compression) as z:
        put(z, "[Content_Types].xml", CONTENT_TYPES.format(
            sheets="".join(SHEET_TYPE.format(n=n + 1) for n in range(len(sheets)))))
        put(z, "_rels/.rels", ROOT_RELS)
        entries = []
        for n, (name, _) in enumerate(sheets):
            shown = name.decode("latin-1") if isinstance(name, bytes) else escape(name, {'"': "&quot;"})
            entries.append(f'<sheet name="{shown}" sheetId="{n + 1}" r:id="rId{n + 1}"/>')
        workbook = WORKBOOK.format(sheets="".join(entries))
        if any(isinstance(name, bytes) for name, _ in sheets):
            put(z, "xl/workbook.xml", workbook.encode("latin-1"))
        else:
            put(z, "xl/workbook.xml", workbook)
        put(z, "xl/_rels/workbook.xml.rels", WORKBOOK_RELS.format(
            rels="".join(SHEET_REL.format(n=n + 1) for n in range(len(sheets)))))
        for n, (_, xml) in enumerate(sheets):
            put(z, f"xl/worksheets/sheet{n + 1}.xml", xml)
        put(z, "xl/sharedStrings.xml", strings.xml(strings_doctype))


def worksheet(rows_xml, dimension="", doctype=""):
    dim = f'<dimension ref="{dimension}"/>' if dimension else ""
    return WORKSHEET_HEAD.format(doctype=doctype, dimension=dim) + rows_xml + WORKSHEET_TAIL


def simple_xlsx(path, rows, extra_rows_xml="", dimension="", raw=False):
    strings = Strings()
    xml = worksheet(xlsx_rows(rows, strings, raw=raw) + extra_rows_xml, dimension)
    write_xlsx(path, [(SHEET, xml)], strings)


# ---------------------------------------------------------------------------------------------
# ods, part by part

ODS_MANIFEST = """<?xml version="1.0" encoding="UTF-8"?>
<manifest:manifest xmlns:manifest="urn:oasis:names:tc:opendocument:xmlns:manifest:1.0" manifest:version="1.2">
<manifest:file-entry manifest:full-path="/" manifest:media-type="application/vnd.oasis.opendocument.spreadsheet"/>
<manifest:file-entry manifest:full-path="content.xml" manifest:media-type="text/xml"/>
</manifest:manifest>"""
ODS_HEAD = ('<?xml version="1.0" encoding="UTF-8"?>\n{doctype}<office:document-content '
            'xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" '
            'xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0" '
            'xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0" office:version="1.2">'
            '<office:body><office:spreadsheet>')
ODS_TAIL = '</office:spreadsheet></office:body></office:document-content>'


def ods_cell(value, repeat=1):
    rep = f' table:number-columns-repeated="{repeat}"' if repeat > 1 else ""
    if value is None:
        return f"<table:table-cell{rep}/>"
    if isinstance(value, tuple):
        return f'<table:table-cell{rep} office:value-type="float" office:value="{value[1]}"><text:p>{value[1]}</text:p></table:table-cell>'
    if isinstance(value, str):
        return f'<table:table-cell{rep} office:value-type="string"><text:p>{escape(value)}</text:p></table:table-cell>'
    return f'<table:table-cell{rep} office:value-type="float" office:value="{value!r}"><text:p>{value}</text:p></table:table-cell>'


def ods_rows(rows):
    return "".join("<table:table-row>" + "".join(ods_cell(v) for v in row) + "</table:table-row>" for row in rows)


def ods_table(name, rows_xml):
    return f'<table:table table:name="{escape(name, {chr(34): "&quot;"})}">{rows_xml}</table:table>'


class Unseekable:
    """A file zipfile cannot seek back in: it then writes each entry's CRC and sizes after its
    data, in a data descriptor, and zeros in the local header, as LibreOffice does."""

    def __init__(self, f):
        self.f = f

    def write(self, data):
        return self.f.write(data)

    def flush(self):
        self.f.flush()

    def tell(self):
        raise OSError("unseekable")

    def seekable(self):
        return False


def write_ods(path, tables_xml, doctype="", compression=zipfile.ZIP_DEFLATED, descriptors=False):
    with open(path, "wb") as f, zipfile.ZipFile(Unseekable(f) if descriptors else f, "w", compression) as z:
        put(z, "mimetype", "application/vnd.oasis.opendocument.spreadsheet", zipfile.ZIP_STORED)
        put(z, "META-INF/manifest.xml", ODS_MANIFEST)
        put(z, "content.xml", ODS_HEAD.format(doctype=doctype) + tables_xml + ODS_TAIL)


def zip64_copy(source, path):
    """The same entries with every ZIP64 record a small archive can carry: sizes only in ZIP64
    fields of the local headers (all ones in their own fields), and the ZIP64 end records, as
    writers that stream large files do."""
    limit = zipfile.ZIP_FILECOUNT_LIMIT
    zipfile.ZIP_FILECOUNT_LIMIT = 0  # makes zipfile write the ZIP64 end records
    try:
        with zipfile.ZipFile(source) as src, zipfile.ZipFile(path, "w") as dst:
            for info in src.infolist():
                data = src.read(info)
                copy = zipfile.ZipInfo(info.filename, date_time=info.date_time)
                copy.compress_type = info.compress_type
                with dst.open(copy, "w", force_zip64=True) as f:
                    f.write(data)
            offsets = [info.header_offset for info in dst.infolist()]
    finally:
        zipfile.ZIP_FILECOUNT_LIMIT = limit
    data = bytearray(open(path, "rb").read())
    for offset in offsets:  # zipfile also repeats the sizes in the local header's own fields
        data[offset + 18:offset + 26] = b"\xff" * 8
    open(path, "wb").write(data)


def simple_ods(path, rows, extra_rows_xml="", descriptors=False):
    write_ods(path, ods_table(SHEET, ods_rows(rows) + extra_rows_xml), descriptors=descriptors)


# ---------------------------------------------------------------------------------------------
# xls through xlwt

def simple_xls(path, rows, sheet=SHEET, extra=None):
    book = xlwt.Workbook(encoding="utf-8")
    ws = book.add_sheet(sheet)
    for r, row in enumerate(rows):
        for c, v in enumerate(row):
            if v is None:
                continue
            ws.write(r, c, float(v[1]) if isinstance(v, tuple) else v)
    if extra:
        extra(ws)
    book.save(path)


def truncate_copies(out, name):
    data = open(os.path.join(out, name), "rb").read()
    stem, ext = os.path.splitext(name)
    stem = stem.replace("good", "truncated")
    open(os.path.join(out, f"{stem}-half{ext}"), "wb").write(data[: len(data) // 2])
    open(os.path.join(out, f"{stem}-header{ext}"), "wb").write(data[:64])
    open(os.path.join(out, f"{stem}-last-byte{ext}"), "wb").write(data[:-1])
    open(os.path.join(out, f"empty{ext}"), "wb").write(b"")


# Entity expansion: ten levels of ten, 10^10 copies of "lol" if a parser expands them.
BILLION_LAUGHS = ('<!DOCTYPE lolz [<!ENTITY lol "lol">' +
                  "".join(f'<!ENTITY lol{i} "{("&lol" + (str(i - 1) if i > 1 else "") + ";") * 10}">'
                          for i in range(1, 10)) + "]>\n")
EXTERNAL_ENTITY = '<!DOCTYPE x [<!ENTITY secret SYSTEM "file:///etc/passwd">]>\n'


def make_small(out):
    os.makedirs(out, exist_ok=True)
    p = lambda name: os.path.join(out, name)

    # Controls.
    simple_xlsx(p("good.xlsx"), GOOD_ROWS)
    simple_ods(p("good.ods"), GOOD_ROWS)
    simple_ods(p("good-descriptors.ods"), GOOD_ROWS, descriptors=True)
    zip64_copy(p("good.xlsx"), p("good-zip64.xlsx"))
    simple_xls(p("good.xls"), GOOD_ROWS)
    for name in ("good.xlsx", "good.ods", "good.xls"):
        truncate_copies(out, name)

    # Zips and texts that are no workbook.
    for name in ("not-a-workbook.xlsx", "not-a-workbook.ods", "zip-as.xls"):
        with zipfile.ZipFile(p(name), "w") as z:
            put(z, "readme.txt", "Это не книга.\n")
    open(p("text-as.xlsx"), "w").write("12;0,1\n13;0,2\n")
    open(p("text-as.xls"), "w").write("12\t0,1\n13\t0,2\n")
    # An xlsx whose zip holds the workbook but no worksheet part the workbook names.
    strings = Strings()
    with zipfile.ZipFile(p("missing-part.xlsx"), "w") as z:
        put(z, "[Content_Types].xml", CONTENT_TYPES.format(sheets=SHEET_TYPE.format(n=1)))
        put(z, "_rels/.rels", ROOT_RELS)
        put(z, "xl/workbook.xml", WORKBOOK.format(sheets=f'<sheet name="{SHEET}" sheetId="1" r:id="rId1"/>'))
        put(z, "xl/_rels/workbook.xml.rels", WORKBOOK_RELS.format(rels=SHEET_REL.format(n=1)))
        put(z, "xl/sharedStrings.xml", strings.xml())

    # XML entity bombs and an external entity, in the sheet, the shared strings and content.xml.
    strings = Strings()
    rows = xlsx_rows([("&lol9;", 0.5)] + GOOD_ROWS, strings, raw=True)
    write_xlsx(p("entity-bomb-sheet.xlsx"), [(SHEET, worksheet(rows, doctype=BILLION_LAUGHS))], strings)
    strings = Strings()
    rows = xlsx_rows([("&lol9;", 0.5)] + GOOD_ROWS, strings, raw=True)
    write_xlsx(p("entity-bomb-strings.xlsx"), [(SHEET, worksheet(rows))], strings, strings_doctype=BILLION_LAUGHS)
    strings = Strings()
    rows = xlsx_rows([("&secret;", 0.5)] + GOOD_ROWS, strings, raw=True)
    write_xlsx(p("external-entity.xlsx"), [(SHEET, worksheet(rows))], strings, strings_doctype=EXTERNAL_ENTITY)
    table = ods_table(SHEET, '<table:table-row><table:table-cell office:value-type="string"><text:p>&lol9;'
                      '</text:p></table:table-cell></table:table-row>' + ods_rows(GOOD_ROWS))
    write_ods(p("entity-bomb.ods"), table, doctype=BILLION_LAUGHS)

    # Huge declared and real dimensions.
    simple_xlsx(p("declared-dimension.xlsx"), GOOD_ROWS, dimension="A1:XFD1048576")
    strings = Strings()
    far = xlsx_rows([("x",)], strings, first_row=1048576)
    simple_xlsx(p("far-row.xlsx"), GOOD_ROWS, extra_rows_xml=far)
    strings = Strings()
    far_corner = '<row r="1048576"><c r="XFD1048576"><v>1</v></c></row>'
    simple_xlsx(p("far-corner.xlsx"), GOOD_ROWS, extra_rows_xml=far_corner)
    # LibreOffice ends every table with repeated empty rows and columns: harmless, must load.
    empty_tail = ('<table:table-row table:number-rows-repeated="1048567"><table:table-cell '
                  'table:number-columns-repeated="16384"/></table:table-row>')
    simple_ods(p("repeated-empty.ods"), GOOD_ROWS, extra_rows_xml=empty_tail)
    # Repeats of a value: 1,048,576 rows of 16,384 cells, all holding a number.
    filled = ('<table:table-row table:number-rows-repeated="1048567">' + ods_cell((None, "1"), 16384) +
              '</table:table-row>')
    simple_ods(p("repeated-values.ods"), GOOD_ROWS, extra_rows_xml=filled)
    far_row_ods = ('<table:table-row table:number-rows-repeated="1048566"><table:table-cell/></table:table-row>'
                   '<table:table-row>' + ods_cell("x") + '</table:table-row>')
    simple_ods(p("far-row.ods"), GOOD_ROWS, extra_rows_xml=far_row_ods)
    # A few kilobytes that hold gigabytes if every sheet is spelled out at once: sheets with two
    # cells at A1 and ALL1000 (a used range of a million cells each) before the locus's sheet,
    # and sheets of a million repeated numbers each.
    corners = ('<table:table-row>' + ods_cell("a") + '</table:table-row>'
               '<table:table-row table:number-rows-repeated="998"/>'
               '<table:table-row>' + ods_cell(None, 999) + ods_cell("b") + '</table:table-row>')
    write_ods(p("far-corner-sheets.ods"),
              "".join(ods_table(f"S{n}", corners) for n in range(8)) + ods_table(SHEET, ods_rows(GOOD_ROWS)))
    million = '<table:table-row table:number-rows-repeated="10">' + ods_cell((None, "1"), 1000) + '</table:table-row>'
    write_ods(p("million-cell-sheets.ods"),
              "".join(ods_table(f"M{n}", million * 100) for n in range(3)) + ods_table(SHEET, ods_rows(GOOD_ROWS)))
    # About a kilobyte naming 400 sheets that all share one part with cells at A1 and ALL1000:
    # the loader reads the locus's sheet only, an import that carries every other sheet into
    # the new workbook must not spell out 400 million cells.
    write_shared_corner_sheets(p("carried-corner-sheets.xlsx"), 400)
    simple_xls(p("far-corner.xls"), GOOD_ROWS, extra=lambda ws: ws.write(65535, 255, 1.0))
    simple_xls(p("far-row.xls"), GOOD_ROWS, extra=lambda ws: ws.write(65535, 0, "x"))

    # Labels of six characters and more: kept as their first five characters.
    long_rows = [("ABCDEFGH", 0.1), ("Аллель-12", 0.2), (123456.5, 0.3), ("12", 0.4), ("Сумма", 1.0)]
    simple_xlsx(p("long-labels.xlsx"), long_rows)
    simple_ods(p("long-labels.ods"), long_rows)
    simple_xls(p("long-labels.xls"), long_rows)

    # Frequencies that are no proportion: NaN, infinities, negative, beyond double.
    bad = {"nan": "NaN", "inf": "INF", "minus-inf": "-INF", "negative": "-0.25", "1e400": "1e400"}
    for key, raw in bad.items():
        rows = GOOD_ROWS[:3] + [("15", ("v", raw))] + GOOD_ROWS[4:]
        simple_xlsx(p(f"freq-{key}.xlsx"), rows)
        simple_ods(p(f"freq-{key}.ods"), rows)
    texts = {"nan": "NaN", "inf": "inf", "negative": "-0,25", "1e400": "1e400"}
    for key, text in texts.items():
        rows = GOOD_ROWS[:3] + [("15", text)] + GOOD_ROWS[4:]
        simple_xlsx(p(f"freq-text-{key}.xlsx"), rows)
        simple_xls(p(f"freq-text-{key}.xls"), rows)
    for key, value in {"nan": float("nan"), "inf": float("inf"), "negative": -0.25}.items():
        rows = GOOD_ROWS[:3] + [("15", ("v", value))] + GOOD_ROWS[4:]
        simple_xls(p(f"freq-{key}.xls"), rows)

    # Names and texts that are not UTF-8.
    strings = Strings()
    xml = worksheet(xlsx_rows(GOOD_ROWS, strings), "")
    write_xlsx(p("sheet-name-cp1251.xlsx"), [("D3S1358-\xe1\xe5\xeb".encode("latin-1"), xml)], strings)
    strings = Strings()
    rows = '<row r="1"><c r="A1" t="inlineStr"><is><t>\xc0\xe1</t></is></c><c r="B1"><v>0.5</v></c></row>'
    xml = (WORKSHEET_HEAD.format(doctype="", dimension="") + rows).encode("latin-1") + \
        xlsx_rows(GOOD_ROWS, strings, first_row=2).encode("utf-8") + WORKSHEET_TAIL.encode()
    write_xlsx(p("label-cp1251.xlsx"), [(SHEET, xml)], strings)

    # Genotype workbooks (header row, locus rows, three closing rows) for the batch evaluation.
    header = ["№", "  Локус", "Генотип отца", "Генотип ребенка", "Генотип матери"]
    closing = [[None, "CPI"], [None, "W"], [None, "Использовались референтные частоты аллелей для европеоидов США"]]
    case = [header, ["1", "D3S1358", "15/16", "15/17", "16/17"], ["2", "vWA", "14/17", "17/18", "Нет/Нет"],
            ["3", "FGA", "20/22", "22/24", "23/24"]] + closing
    write_case_xlsx(p("case-good.xlsx"), case)
    write_case_xlsx(p("case-far-row.xlsx"), case, extra='<row r="1048576"><c r="A1048576"><v>1</v></c></row>')
    write_case_xlsx(p("case-far-corner.xlsx"), case, extra='<row r="1048576"><c r="XFD1048576"><v>1</v></c></row>')
    odd = [header, ["1", "D3S1358", "/", "15", "/15/"], ["2", "", "", "", ""], ["3", "Нет", "Нет/Нет", "Нет/Нет", "Нет/Нет"],
           ["4", "vWA", "14/17/18", "17" * 40 + "/18", "ab/cd"], ["5", "FGA", 20, 22.5, "23/24"]] + closing
    write_case_xlsx(p("case-odd-cells.xlsx"), odd)
    nan = [header, ["1", "D3S1358", "15/16", "15/17", ("v", "NaN")]] + closing
    write_case_xlsx(p("case-nan-cell.xlsx"), nan)
    many = [header] + [[str(i), "D3S1358", "15/16", "15/17", "16/17"] for i in range(1, 1001)] + closing
    write_case_xlsx(p("case-1000-rows.xlsx"), many)
    strings = Strings()
    rows = xlsx_rows([["&lol9;", "D3S1358", "15/16", "15/17", "16/17"]] + case, strings, raw=True)
    write_xlsx(p("case-entity-bomb.xlsx"), [("Лист1", worksheet(rows))], strings, strings_doctype=BILLION_LAUGHS)
    data = open(p("case-good.xlsx"), "rb").read()
    open(p("case-truncated.xlsx"), "wb").write(data[: len(data) // 2])


def write_shared_corner_sheets(path, count):
    strings = Strings()
    locus = worksheet(xlsx_rows(GOOD_ROWS, strings))
    corners = worksheet('<row r="1"><c r="A1"><v>1</v></c></row><row r="1000"><c r="ALL1000"><v>2</v></c></row>')
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as z:
        put(z, "[Content_Types].xml", CONTENT_TYPES.format(sheets=SHEET_TYPE.format(n=1) + SHEET_TYPE.format(n=2)))
        put(z, "_rels/.rels", ROOT_RELS)
        entries = [f'<sheet name="{SHEET}" sheetId="1" r:id="rId1"/>']
        entries += [f'<sheet name="C{n}" sheetId="{n + 2}" r:id="rId2"/>' for n in range(count)]
        put(z, "xl/workbook.xml", WORKBOOK.format(sheets="".join(entries)))
        put(z, "xl/_rels/workbook.xml.rels", WORKBOOK_RELS.format(rels=SHEET_REL.format(n=1) + SHEET_REL.format(n=2)))
        put(z, "xl/worksheets/sheet1.xml", locus)
        put(z, "xl/worksheets/sheet2.xml", corners)
        put(z, "xl/sharedStrings.xml", strings.xml())


def write_case_xlsx(path, rows, extra=""):
    strings = Strings()
    write_xlsx(path, [("Лист1", worksheet(xlsx_rows(rows, strings) + extra))], strings)


# ---------------------------------------------------------------------------------------------
# Big files, made at test time

def zip_bomb_xlsx(path, expanded):
    """A valid xlsx whose sheet part expands to `expanded` bytes of blanks between its rows."""
    strings = Strings()
    rows = xlsx_rows(GOOD_ROWS, strings)
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as z:
        put(z, "[Content_Types].xml", CONTENT_TYPES.format(sheets=SHEET_TYPE.format(n=1)))
        put(z, "_rels/.rels", ROOT_RELS)
        put(z, "xl/workbook.xml", WORKBOOK.format(sheets=f'<sheet name="{SHEET}" sheetId="1" r:id="rId1"/>'))
        put(z, "xl/_rels/workbook.xml.rels", WORKBOOK_RELS.format(rels=SHEET_REL.format(n=1)))
        put(z, "xl/sharedStrings.xml", strings.xml())
        with z.open("xl/worksheets/sheet1.xml", "w", force_zip64=True) as f:
            f.write(WORKSHEET_HEAD.format(doctype="", dimension="").encode())
            blank = b" " * (1 << 20)
            for _ in range(expanded >> 20):
                f.write(blank)
            f.write((rows + WORKSHEET_TAIL).encode())


def zip_bomb_ods(path, expanded):
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as z:
        put(z, "mimetype", "application/vnd.oasis.opendocument.spreadsheet", zipfile.ZIP_STORED)
        put(z, "META-INF/manifest.xml", ODS_MANIFEST)
        with z.open("content.xml", "w", force_zip64=True) as f:
            f.write(ODS_HEAD.format(doctype="").encode())
            blank = b" " * (1 << 20)
            for _ in range(expanded >> 20):
                f.write(blank)
            f.write((ods_table(SHEET, ods_rows(GOOD_ROWS)) + ODS_TAIL).encode())


BIG_FILES = ("zip-bomb.xlsx", "zip-bomb.ods", "big-cell.xlsx", "big-cell.ods", "case-big-cell.xlsx",
             "many-sheets.xlsx", "many-sheets.ods", "many-sheets.xls")


def make_big(out):
    """Each file is made once per folder (they take seconds) and appears only when complete."""
    os.makedirs(out, exist_ok=True)
    made = []

    def p(name):
        path = os.path.join(out, name)
        made.append(path)
        return path + ".part"

    def done():
        for path in made:
            if os.path.exists(path + ".part"):
                os.replace(path + ".part", path)
        made.clear()

    if all(os.path.exists(os.path.join(out, n)) for n in BIG_FILES):
        return
    # About 1 MB on disk, 1 GiB expanded.
    zip_bomb_xlsx(p("zip-bomb.xlsx"), 1 << 30)
    zip_bomb_ods(p("zip-bomb.ods"), 1 << 30)

    # A 50 MB cell: the label of the first allele.
    big = "A" * (50 << 20)
    strings = Strings()
    write_xlsx(p("big-cell.xlsx"), [(SHEET, worksheet(xlsx_rows([(big, 0.5)] + GOOD_ROWS, strings)))], strings)
    simple_ods(p("big-cell.ods"), [(big, 0.5)] + GOOD_ROWS)
    strings = Strings()
    case = [["№", "  Локус"], ["1", "D3S1358", big, "15/17", "16/17"], [None, "a"], [None, "b"], [None, "c"]]
    write_xlsx(p("case-big-cell.xlsx"), [("Лист1", worksheet(xlsx_rows(case, strings)))], strings)

    # Thousands of worksheets, the population's one last.
    count = 3000
    strings = Strings()
    filler = worksheet(xlsx_rows([("1", 0.1), ("end", 1)], strings))
    sheets = [(f"S{n}-white", filler) for n in range(count - 1)]
    sheets.append((SHEET, worksheet(xlsx_rows(GOOD_ROWS, strings))))
    write_xlsx(p("many-sheets.xlsx"), sheets, strings)
    tables = [ods_table(f"S{n}-white", ods_rows([("1", 0.1), ("end", 1)])) for n in range(count - 1)]
    tables.append(ods_table(SHEET, ods_rows(GOOD_ROWS)))
    write_ods(p("many-sheets.ods"), "".join(tables))
    book = xlwt.Workbook(encoding="utf-8")
    for n in range(count - 1):
        ws = book.add_sheet(f"S{n}-white")
        ws.write(0, 0, "1")
        ws.write(0, 1, 0.1)
        ws.write(1, 0, "end")
    ws = book.add_sheet(SHEET)
    for r, (label, freq) in enumerate(GOOD_ROWS):
        ws.write(r, 0, label)
        ws.write(r, 1, freq)
    book.save(p("many-sheets.xls"))
    done()


if __name__ == "__main__":
    if len(sys.argv) != 3 or sys.argv[1] not in ("small", "big"):
        sys.exit(__doc__)
    (make_small if sys.argv[1] == "small" else make_big)(sys.argv[2])
