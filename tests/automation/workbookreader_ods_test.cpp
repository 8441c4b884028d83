// SPDX-License-Identifier: GPL-3.0-or-later
// The .ods reader on content written here: every value type (percentage, currency, boolean,
// time), formula results, repeated rows and cells, merged cells and the text of a cell.
#include <gtest/gtest.h>

#include "automation/workbook.h"
#include "testfiles.h"

using namespace automation;
using namespace automationtest;

namespace {

std::string show(const CellValue& v)
{
    if (const auto* s = std::get_if<std::string>(&v))
        return "text \"" + *s + "\"";
    if (const auto* d = std::get_if<double>(&v))
        return "number " + std::to_string(*d);
    if (const auto* e = std::get_if<CellError>(&v))
        return "error <" + e->reason + ">";
    return "empty";
}

// An .ods with one table named `name` holding `rows` (table:table-row elements).
fs::path writeOds(const TempDir& dir, const std::string& file, const std::string& name, const std::string& rows)
{
    const std::string content
        = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
          "<office:document-content xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
          "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
          "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\" "
          "xmlns:calcext=\"urn:org:documentfoundation:names:experimental:calc:xmlns:calcext:1.0\" "
          "office:version=\"1.3\">"
          "<office:body><office:spreadsheet><table:table table:name=\""
          + name + "\">" + rows + "</table:table></office:spreadsheet></office:body></office:document-content>";
    const fs::path path = dir / file;
    writeZip(path, {{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"}, {"content.xml", content}});
    return path;
}

std::string cell(const std::string& attributes, const std::string& text = "")
{
    return "<table:table-cell " + attributes + "><text:p>" + text + "</text:p></table:table-cell>";
}

TEST(OdsReader, ValueTypesBesidesFloatAndStringAreRead)
{
    TempDir dir;
    const std::string rows
        = "<table:table-row>" + cell("office:value-type=\"percentage\" office:value=\"0.25\"", "25%")
          + cell("office:value-type=\"currency\" office:currency=\"RUB\" office:value=\"1.5\"", "1,50")
          + cell("office:value-type=\"boolean\" office:boolean-value=\"false\"", "ЛОЖЬ")
          + "</table:table-row>"
            "<table:table-row>"
          + cell("office:value-type=\"float\" office:value=\"9.3\"", "9,3")
          + cell("office:value-type=\"string\"", "Аллель")
          + cell("table:formula=\"of:=1/0\" office:value-type=\"string\" office:string-value=\"\" "
                 "calcext:value-type=\"error\"",
                 "#DIV/0!")
          + "</table:table-row>";
    const CellArray cells = makeFileWorkbookReader()->open(writeOds(dir, "types.ods", "Лист", rows))->usedRange(1);
    ASSERT_EQ(cells.rows(), 2);
    ASSERT_EQ(cells.columns(), 3);
    EXPECT_EQ(show(cells.at(1, 1)), show(0.25));
    EXPECT_EQ(show(cells.at(1, 2)), show(1.5));
    EXPECT_EQ(show(cells.at(1, 3)), show(CellError{"логическое значение ЛОЖЬ"}));
    EXPECT_EQ(show(cells.at(2, 1)), show(9.3));
    EXPECT_EQ(show(cells.at(2, 2)), show(std::string("Аллель")));
    EXPECT_EQ(show(cells.at(2, 3)), show(CellError{"#DIV/0!"}));
}

TEST(OdsReader, RepeatedRowsAndCellsArePlacedAndCopied)
{
    TempDir dir;
    const std::string rows
        = "<table:table-row table:number-rows-repeated=\"2\"><table:table-cell "
          "table:number-columns-repeated=\"1024\"/></table:table-row>"
          "<table:table-row table:number-rows-repeated=\"3\"><table:table-cell table:number-columns-repeated=\"2\"/>"
          + cell("office:value-type=\"float\" office:value=\"0.1\" table:number-columns-repeated=\"2\"", "0,1")
          + cell("office:value-type=\"percentage\" office:value=\"0.5\"", "50%")
          + "</table:table-row>"
            "<table:table-row table:number-rows-repeated=\"1048570\"><table:table-cell/></table:table-row>";
    const CellArray cells = makeFileWorkbookReader()->open(writeOds(dir, "repeat.ods", "R", rows))->usedRange(1);
    ASSERT_EQ(cells.rows(), 3);
    ASSERT_EQ(cells.columns(), 3);
    EXPECT_EQ(cells.sheetCellName(1, 1), "C3");
    for (int r = 1; r <= 3; ++r) {
        EXPECT_EQ(show(cells.at(r, 1)), show(0.1)) << r;
        EXPECT_EQ(show(cells.at(r, 2)), show(0.1)) << r;
        EXPECT_EQ(show(cells.at(r, 3)), show(0.5)) << r;
    }
}

// As LibreOffice writes them: merges leave covered cells that still take their place; a cell's
// text is its paragraphs with their spaces, tabs, line breaks and spans, not its annotation.
TEST(OdsReader, MergedCellsAndCellTextAreReadAsShown)
{
    TempDir dir;
    const std::string rows
        = "<table:table-header-rows><table:table-row>"
          "<table:table-cell office:value-type=\"string\" table:number-columns-spanned=\"2\"><text:p>Локус</text:p>"
          "</table:table-cell><table:covered-table-cell/>"
          + cell("office:value-type=\"float\" office:value=\"0.125\"", "0,125")
          + "</table:table-row></table:table-header-rows>"
            "<table:table-row><table:table-cell office:value-type=\"string\" table:number-rows-spanned=\"2\">"
            "<office:annotation><text:p>примечание</text:p></office:annotation>"
            "<text:p>строка1</text:p><text:p>стр<text:span>ока</text:span>2</text:p></table:table-cell>"
          + cell("office:value-type=\"string\"", "<text:s text:c=\"2\"/>два <text:s/>пробела")
          + cell("office:value-type=\"string\"", "a<text:tab/>b<text:line-break/>c")
          + "</table:table-row><table:table-row><table:covered-table-cell/>"
          + cell("office:value-type=\"string\" office:string-value=\"значение\"", "показ")
          + "<table:table-cell table:formula=\"of:=[.Z99]\"/></table:table-row><table:table-row>"
          + cell("office:value-type=\"date\" office:date-value=\"2023-03-15T00:00:00\"", "15.03.2023")
          + cell("table:formula=\"of:=&quot;&quot;\"") + "</table:table-row>";
    const CellArray cells = makeFileWorkbookReader()->open(writeOds(dir, "merged.ods", "M", rows))->usedRange(1);
    ASSERT_EQ(cells.rows(), 4);
    ASSERT_EQ(cells.columns(), 3);
    const std::pair<const char*, CellValue> expected[] = {
        {"A1", std::string("Локус")},
        {"B1", CellValue()},
        {"C1", 0.125},
        {"A2", std::string("строка1\nстрока2")},
        {"B2", std::string("  два  пробела")},
        {"C2", std::string("a\tb\nc")},
        {"A3", CellValue()},
        {"B3", std::string("значение")},
        {"C3", CellError{"формула без сохраненного значения"}},
        {"A4", std::string("2023-03-15")},
        {"B4", std::string()}, // LibreOffice's empty text result of a formula
    };
    for (const auto& [name, value] : expected) {
        const int row = name[1] - '0';
        const int column = name[0] - 'A' + 1;
        EXPECT_EQ(show(cells.at(row, column)), show(value)) << name;
    }
}

TEST(OdsReader, UnreadableDatesAndTimesFailTheirSheetNamingTheCell)
{
    TempDir dir;
    const std::pair<std::string, std::string> cases[] = {
        {"office:value-type=\"time\" office:time-value=\"12:30\"", "ячейка B1: время «12:30» не читается"},
        {"office:value-type=\"date\" office:date-value=\"2023-03-15T12:30\"", "ячейка B1: дата «2023-03-15T12:30»"},
        {"office:value-type=\"date\" office:date-value=\"21e4003-15\"", "ячейка B1: дата «21e4003-15» не"},
    };
    for (const auto& [attributes, message] : cases) {
        const std::string rows
            = "<table:table-row><table:table-cell/>" + cell(attributes, "12:30") + "</table:table-row>";
        const auto book = makeFileWorkbookReader()->open(writeOds(dir, "time.ods", "Время", rows));
        try {
            (void)book->usedRange(1);
            ADD_FAILURE() << "read: " << attributes;
        } catch (const WorkbookError& e) {
            EXPECT_NE(std::string(e.what()).find("«time.ods», лист «Время»: " + message), std::string::npos)
                << e.what();
        }
    }
}

// Values as other writers spell them: xsd:double and xsd:boolean allow a leading '+', spaces
// around the value, and 1/0 for true/false; LibreOffice reads all of them so.
TEST(OdsReader, NumbersAndBooleansInEveryLexicalFormAreRead)
{
    TempDir dir;
    const std::pair<std::string, CellValue> cases[] = {
        {"office:value-type=\"float\" office:value=\"+5\"", 5.0},
        {"office:value-type=\"float\" office:value=\" 7 \"", 7.0},
        {"office:value-type=\"float\" office:value=\"-1.5E-07\"", -1.5e-07},
        {"office:value-type=\"percentage\" office:value=\"+.5\"", 0.5},
        {"office:value-type=\"boolean\" office:boolean-value=\"1\"", CellError{"логическое значение ИСТИНА"}},
        {"office:value-type=\"boolean\" office:boolean-value=\"0\"", CellError{"логическое значение ЛОЖЬ"}},
    };
    for (const auto& [attributes, value] : cases) {
        const std::string rows = "<table:table-row>" + cell(attributes, "x") + "</table:table-row>";
        try {
            const CellArray cells = makeFileWorkbookReader()->open(writeOds(dir, "forms.ods", "F", rows))->usedRange(1);
            ASSERT_EQ(cells.rows(), 1) << attributes;
            EXPECT_EQ(show(cells.at(1, 1)), show(value)) << attributes;
        } catch (const WorkbookError& e) {
            ADD_FAILURE() << attributes << ": " << e.what();
        }
    }
    for (const char* bad : {"+-5", "++5", "5 5", "+", "", "0x10"}) {
        const std::string rows = "<table:table-row>"
                                 + cell(std::string("office:value-type=\"float\" office:value=\"") + bad + "\"", "x")
                                 + "</table:table-row>";
        EXPECT_THROW((void)makeFileWorkbookReader()->open(writeOds(dir, "bad.ods", "F", rows))->usedRange(1),
                     WorkbookError)
            << bad;
    }
}

// Excel saves a formula's error result as office:value-type="float" office:value="0" with the
// error in the cell's text; other writers may give it as a string, LibreOffice marks it with
// calcext:value-type="error" whatever the office type. None of them is the number 0 or a text.
TEST(OdsReader, FormulaErrorsAreErrorsWhateverTheirStoredType)
{
    TempDir dir;
    const std::pair<std::string, CellValue> cases[] = {
        {cell("table:formula=\"of:=0/0\" office:value-type=\"float\" office:value=\"0\"", "#DIV/0!"),
         CellError{"#DIV/0!"}},
        {cell("table:formula=\"of:=NA()\" office:value-type=\"percentage\" office:value=\"0\"", "#N/A"),
         CellError{"#N/A"}},
        {cell("table:formula=\"of:=VLOOKUP(1;[.Z1:.Z2];2)\" office:value-type=\"string\"", "#N/A"), CellError{"#N/A"}},
        {cell("table:formula=\"of:=1/0\" office:value-type=\"float\" office:value=\"0\" "
              "calcext:value-type=\"error\"",
              "#DIV/0!"),
         CellError{"#DIV/0!"}},
        {cell("table:formula=\"of:=1/\" office:value-type=\"string\" calcext:value-type=\"error\"", "Err:502"),
         CellError{"ошибка в формуле"}},
        {cell("table:formula=\"of:=2+3\" office:value-type=\"float\" office:value=\"5\"", "5"), 5.0},
        {cell("office:value-type=\"string\"", "#N/A"), std::string("#N/A")},
    };
    for (const auto& [xml, value] : cases) {
        const std::string rows = "<table:table-row>" + xml + "</table:table-row>";
        const CellArray cells = makeFileWorkbookReader()->open(writeOds(dir, "errors.ods", "E", rows))->usedRange(1);
        ASSERT_EQ(cells.rows(), 1) << xml;
        EXPECT_EQ(show(cells.at(1, 1)), show(value)) << xml;
    }
}

// A few bytes of text:s and repeats spell out megabytes of text; the whole workbook's text is
// bounded, as in the .xls reader, so thousands of such sheets cannot exhaust memory.
TEST(OdsReader, TextSpelledOutAcrossSheetsIsBounded)
{
    TempDir dir;
    const std::string big = "<table:table-row><table:table-cell office:value-type=\"string\" "
                            "table:number-columns-repeated=\"40\"><text:p><text:s text:c=\"1000000\"/>"
                            "</text:p></table:table-cell></table:table-row>";
    const std::string sheets = big + "</table:table><table:table table:name=\"B\">" + big;
    try {
        (void)makeFileWorkbookReader()->open(writeOds(dir, "spaces.ods", "A", sheets));
        ADD_FAILURE() << "80 MB of spaces were accepted";
    } catch (const WorkbookError& e) {
        EXPECT_NE(std::string(e.what()).find("слишком много текста в книге"), std::string::npos) << e.what();
    }
}

TEST(OdsReader, ManyRepeatedValueCellsAreRefused)
{
    TempDir dir;
    const std::string rows
        = "<table:table-row table:number-rows-repeated=\"1048576\">"
          + cell("office:value-type=\"float\" office:value=\"1\" table:number-columns-repeated=\"1024\"", "1")
          + "</table:table-row>";
    try {
        (void)makeFileWorkbookReader()->open(writeOds(dir, "flood.ods", "F", rows))->usedRange(1);
        ADD_FAILURE() << "a billion cells were accepted";
    } catch (const WorkbookError& e) {
        EXPECT_NE(std::string(e.what()).find("слишком много ячеек"), std::string::npos) << e.what();
    }
}

} // namespace
