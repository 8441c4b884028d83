// SPDX-License-Identifier: GPL-3.0-or-later
// The .xlsx reader on small packages built at test time: each cell type and the package
// shapes real writers produce (absolute and relative targets, namespace prefixes, cells without
// addresses, rich and phonetic text).
#include <gtest/gtest.h>

#include "automation/workbook.h"
#include "automation/xlsxpackage.h"
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

struct CellCase {
    const char* name;
    const char* cellXml; // one <c r="B2" ...> element
    CellValue expected;
};

const char* const kSharedStrings = "<si><t>первая</t></si>"
                                   "<si><r><rPr><b/></rPr><t>Ал</t></r><r><t xml:space=\"preserve\">лель </t></r><rPh "
                                   "sb=\"0\" eb=\"1\"><t>фон</t></rPh></si>";

const std::vector<CellCase> kCells = {
    {"SharedString", "<c r=\"B2\" t=\"s\"><v>0</v></c>", std::string("первая")},
    {"RichSharedStringWithoutPhoneticRun", "<c r=\"B2\" t=\"s\"><v>1</v></c>", std::string("Аллель ")},
    {"InlineString", "<c r=\"B2\" t=\"inlineStr\"><is><t>0,125</t></is></c>", std::string("0,125")},
    {"RichInlineString", "<c r=\"B2\" t=\"inlineStr\"><is><r><t>a</t></r><r><t>б</t></r></is></c>", std::string("aб")},
    {"Number", "<c r=\"B2\"><v>0.0125</v></c>", 0.0125},
    {"NumberWithExponent", "<c r=\"B2\" t=\"n\"><v>1.5E-3</v></c>", 0.0015},
    {"FormulaWithStoredNumber", "<c r=\"B2\"><f>A1*2</f><v>4</v></c>", 4.0},
    {"FormulaWithStoredText", "<c r=\"B2\" t=\"str\"><f>A1&amp;\"x\"</f><v>2x</v></c>", std::string("2x")},
    {"FormulaWithStoredEmptyText", "<c r=\"B2\" t=\"str\"><f>\"\"</f><v></v></c>", std::string("")},
    {"FormulaWithoutValue", "<c r=\"B2\"><f>A1*2</f></c>", CellError{"формула без сохраненного значения"}},
    {"FormulaWithEmptyValue", "<c r=\"B2\"><f>A1*2</f><v></v></c>", CellError{"формула без сохраненного значения"}},
    {"ErrorValue", "<c r=\"B2\" t=\"e\"><f>1/0</f><v>#DIV/0!</v></c>", CellError{"#DIV/0!"}},
    {"BooleanTrue", "<c r=\"B2\" t=\"b\"><v>1</v></c>", CellError{"логическое значение ИСТИНА"}},
    {"IsoDateText", "<c r=\"B2\" t=\"d\"><v>2023-03-15</v></c>", std::string("2023-03-15")},
};

void PrintTo(const CellCase& c, std::ostream* os)
{
    *os << c.name;
}

class CellTypeTest : public ::testing::TestWithParam<CellCase> {};

TEST_P(CellTypeTest, ReadsAsASpreadsheetProgramShowsIt)
{
    TempDir dir;
    const std::string row
        = std::string("<row r=\"1\"><c r=\"A1\"><v>2</v></c></row><row r=\"2\">") + GetParam().cellXml + "</row>";
    writeZip(dir / "book.xlsx", xlsxEntries({{"Лист1", row}}, kSharedStrings));
    const CellArray cells = makeFileWorkbookReader()->open(dir / "book.xlsx")->usedRange(1);
    ASSERT_EQ(cells.rows(), 2);
    ASSERT_EQ(cells.columns(), 2);
    EXPECT_EQ(show(cells.at(2, 2)), show(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(Cells, CellTypeTest, ::testing::ValuesIn(kCells),
                         [](const auto& info) { return info.param.name; });

TEST(XlsxReader, CellsAndRowsWithoutAddressFollowThePreviousOne)
{
    TempDir dir;
    writeZip(dir / "book.xlsx",
             xlsxEntries({{"S", "<row r=\"3\"><c r=\"C3\"><v>1</v></c><c><v>2</v></c></row>"
                                "<row><c r=\"C4\" t=\"inlineStr\"><is><t>x</t></is></c><c/><c><v>5</v></c></row>"}}));
    const CellArray cells = makeFileWorkbookReader()->open(dir / "book.xlsx")->usedRange(1);
    ASSERT_EQ(cells.rows(), 2);
    ASSERT_EQ(cells.columns(), 3);
    EXPECT_EQ(cells.firstRow(), 3);
    EXPECT_EQ(cells.firstColumn(), 3);
    EXPECT_EQ(show(cells.at(1, 2)), show(2.0));
    EXPECT_EQ(show(cells.at(2, 1)), show(std::string("x")));
    EXPECT_EQ(show(cells.at(2, 3)), show(5.0));
}

TEST(XlsxReader, RecalculationOnLoadMakesStoredResultsUntrusted)
{
    TempDir dir;
    writeZip(dir / "book.xlsx",
             xlsxEntries({{"S", "<row r=\"1\"><c r=\"A1\"><f>1/0</f><v>0</v></c><c r=\"B1\"><v>3</v></c></row>"}}, "",
                         "<calcPr calcId=\"124519\" fullCalcOnLoad=\"1\"/>"));
    const CellArray cells = makeFileWorkbookReader()->open(dir / "book.xlsx")->usedRange(1);
    EXPECT_EQ(show(cells.at(1, 1)), show(CellError{"формула без сохраненного значения"}));
    EXPECT_EQ(show(cells.at(1, 2)), show(3.0));
}

TEST(XlsxReader, PrefixedNamespacesAbsoluteTargetsAndChartSheets)
{
    // The shape of files from the OpenXML SDK: prefixed elements, absolute targets, a chart sheet.
    TempDir dir;
    const std::string rel = "http://schemas.openxmlformats.org/package/2006/relationships";
    writeZip(
        dir / "book.xlsx",
        {{"[Content_Types].xml", "<Types/>"},
         {"_rels/.rels", "<Relationships xmlns=\"" + rel + "\"><Relationship Id=\"a\" Type=\"" + kRelNs
                             + "/officeDocument\" Target=\"/xl/book.xml\"/></Relationships>"},
         {"xl/book.xml", std::string("<x:workbook xmlns:x=\"") + kMainNs + "\" xmlns:r=\"" + kRelNs
                             + "\"><x:sheets><x:sheet name=\"Диаграмма\" sheetId=\"1\" r:id=\"c\"/>"
                               "<x:sheet name=\"Данные\" sheetId=\"2\" r:id=\"w\"/></x:sheets></x:workbook>"},
         {"xl/_rels/book.xml.rels", "<Relationships xmlns=\"" + rel + "\"><Relationship Id=\"w\" Type=\"" + kRelNs
                                        + "/worksheet\" Target=\"/xl/sheets/data.xml\"/><Relationship Id=\"c\" Type=\""
                                        + kRelNs + "/chartsheet\" Target=\"charts/c.xml\"/></Relationships>"},
         {"xl/sheets/data.xml", std::string("<x:worksheet xmlns:x=\"") + kMainNs
                                    + "\"><x:sheetData><x:row r=\"2\"><x:c r=\"B2\" t=\"inlineStr\"><x:is><x:t>да</x:t>"
                                      "</x:is></x:c></x:row></x:sheetData></x:worksheet>"}});
    const auto book = makeFileWorkbookReader()->open(dir / "book.xlsx");
    ASSERT_EQ(book->sheetCount(), 1);
    EXPECT_EQ(book->sheetName(1), "Данные");
    const CellArray cells = book->usedRange(1);
    EXPECT_EQ(cells.sheetCellName(1, 1), "B2");
    EXPECT_EQ(show(cells.at(1, 1)), show(std::string("да")));
}

struct TargetCase {
    const char* source;
    const char* target;
    const char* resolved;
};

TEST(XlsxReader, RelationshipTargetsResolveToEntryNames)
{
    const TargetCase cases[] = {
        {"xl/workbook.xml", "worksheets/sheet1.xml", "xl/worksheets/sheet1.xml"},
        {"xl/workbook.xml", "/xl/worksheets/sheet1.xml", "xl/worksheets/sheet1.xml"},
        {"xl/workbook.xml", "../xl/./worksheets//sheet1.xml", "xl/worksheets/sheet1.xml"},
        {"xl/workbook.xml", "worksheets/sheet%201.xml", "xl/worksheets/sheet 1.xml"},
        {"", "xl/workbook.xml", "xl/workbook.xml"},
        {"xl/workbook.xml", "../../../etc/passwd", "etc/passwd"},
    };
    for (const TargetCase& c : cases)
        EXPECT_EQ(resolvePartTarget(c.source, c.target), c.resolved) << c.source << " + " << c.target;
}

struct BrokenCase {
    const char* name;
    const char* rowsXml;
    const char* messagePart;
};

TEST(XlsxReader, BrokenCellsFailNamingSheetAndCell)
{
    const BrokenCase cases[] = {
        {"NumberNotANumber", "<row r=\"7\"><c r=\"B7\"><v>abc</v></c></row>", "B7"},
        {"MissingSharedString", "<row r=\"2\"><c r=\"A2\" t=\"s\"><v>5</v></c></row>", "A2"},
        {"BadAddress", "<row r=\"1\"><c r=\"1A\"><v>1</v></c></row>", "1A"},
        {"AddressBeyondSheet", "<row r=\"1\"><c r=\"XFE1\"><v>1</v></c></row>", "XFE1"},
        {"RowBeyondSheet", "<row r=\"1048577\"><c><v>1</v></c></row>", "1048577"},
    };
    for (const BrokenCase& c : cases) {
        TempDir dir;
        writeZip(dir / "book.xlsx", xlsxEntries({{"Лист 7", c.rowsXml}}));
        try {
            (void)makeFileWorkbookReader()->open(dir / "book.xlsx")->usedRange(1);
            ADD_FAILURE() << c.name << ": no error";
        } catch (const WorkbookError& e) {
            const std::string message = e.what();
            EXPECT_NE(message.find("«book.xlsx», лист «Лист 7»"), std::string::npos) << c.name << ": " << message;
            EXPECT_NE(message.find(c.messagePart), std::string::npos) << c.name << ": " << message;
        }
    }
}

TEST(XlsxReader, AMissingWorksheetPartFailsOnOpen)
{
    TempDir dir;
    ZipEntries entries = xlsxEntries({{"Данные", "<row r=\"1\"><c r=\"A1\"><v>1</v></c></row>"}});
    std::erase_if(entries, [](const auto& e) { return e.first == "xl/worksheets/sheet1.xml"; });
    writeZip(dir / "book.xlsx", entries);
    try {
        (void)makeFileWorkbookReader()->open(dir / "book.xlsx");
        ADD_FAILURE() << "opened a workbook whose sheet has no data";
    } catch (const WorkbookError& e) {
        EXPECT_NE(std::string(e.what()).find("лист «Данные»"), std::string::npos) << e.what();
    }
}

} // namespace
