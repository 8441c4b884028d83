// SPDX-License-Identifier: GPL-3.0-or-later
// The BIFF8 record reader on streams assembled record by record: what the writers' files do not
// show (texts cut between records, both date systems, RK encodings) and damage a file may carry.
#include <gtest/gtest.h>

#include <bit>
#include <string>
#include <vector>

#include "automation/biffreader.h"
#include "automation/workbook.h"

using namespace automation;

namespace {

std::string le16(unsigned v)
{
    return {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8 & 0xFF)};
}
std::string le32(std::uint32_t v)
{
    return le16(v & 0xFFFF) + le16(v >> 16);
}
std::string leDouble(double v)
{
    const auto bits = std::bit_cast<std::uint64_t>(v);
    return le32(static_cast<std::uint32_t>(bits)) + le32(static_cast<std::uint32_t>(bits >> 32));
}
std::string record(unsigned type, const std::string& data)
{
    return le16(type) + le16(static_cast<unsigned>(data.size())) + data;
}
std::string cellHead(unsigned row, unsigned column, unsigned xf = 0)
{
    return le16(row) + le16(column) + le16(xf);
}

const std::string kBof = record(0x0809, le16(0x0600) + le16(0x0005) + std::string(12, '\0'));
const std::string kEof = record(0x000A, "");
// XF 0 General, XF 1 built-in date format 14, XF 2 a custom date and time, XF 3 a percent.
const std::string kFormats = record(0x041E, le16(164) + le16(16) + '\0' + "DD.MM.YYYY HH:MM")
                             + record(0x00E0, le16(0) + le16(0)) + record(0x00E0, le16(0) + le16(14))
                             + record(0x00E0, le16(0) + le16(164)) + record(0x00E0, le16(0) + le16(9));

// A workbook of one worksheet "S" holding `cells` (records), after the globals `globals`.
std::string workbook(const std::string& globals, const std::string& cells)
{
    const std::string sheetRecordTail = std::string("\0\0", 2) + '\x01' + '\0' + "S";
    const std::size_t sheetAt = kBof.size() + globals.size() + 4 + 4 + sheetRecordTail.size() + kEof.size();
    return kBof + globals + record(0x0085, le32(static_cast<std::uint32_t>(sheetAt)) + sheetRecordTail) + kEof + kBof
           + cells + kEof;
}

std::string sst(const std::vector<std::string>& pieces, unsigned count)
{
    std::string out = record(0x00FC, le32(count) + le32(count) + pieces.at(0));
    for (std::size_t i = 1; i < pieces.size(); ++i)
        out += record(0x003C, pieces[i]);
    return out;
}

std::string show(const CellValue& v)
{
    if (const auto* s = std::get_if<std::string>(&v))
        return "t:" + *s;
    if (const auto* d = std::get_if<double>(&v))
        return "n:" + std::to_string(*d);
    if (const auto* e = std::get_if<CellError>(&v))
        return "e:" + e->reason;
    return "empty";
}

struct Case {
    const char* what;
    std::string stream;
    std::vector<std::string> cells; // "A1 t:text" in reading order
    const char* error = nullptr; // part of the message when the stream is refused
};

std::string rk(std::uint32_t value)
{
    return le32(value);
}

std::vector<Case> cases()
{
    const std::string wideA = std::string("\x01", 1) + le16(0x0416); // "Ж" stored two bytes wide
    return {
        {"a shared string cut between records, its width restated in the continuation",
         workbook(sst({le16(4) + '\0' + "ab", wideA + le16(0x0436) + le16(1) + '\0' + "z"}, 2),
                  record(0x00FD, cellHead(0, 0) + le32(0)) + record(0x00FD, cellHead(1, 0) + le32(1))),
         {"A1 t:abЖж", "A2 t:z"}},
        {"a surrogate pair cut between records",
         workbook(sst({le16(1 + 1) + '\x01' + le16(0xD83D), std::string("\x01", 1) + le16(0xDE00)}, 1),
                  record(0x00FD, cellHead(0, 0) + le32(0))),
         {"A1 t:😀"}},
        {"a shared-string index beyond the table",
         workbook(sst({le16(1) + '\0' + "a"}, 1), record(0x00FD, cellHead(0, 0) + le32(1))),
         {},
         "вне таблицы строк"},
        {"a table declaring more strings than it holds",
         workbook(sst({le16(1) + '\0' + "a"}, 1000000), ""),
         {},
         "обрывается"},
        {"numbers in date formats, in the 1900 date system",
         workbook(kFormats, record(0x0203, cellHead(0, 0, 1) + leDouble(45000))
                                + record(0x027E, cellHead(1, 0, 1) + rk(60 << 2 | 2))
                                + record(0x027E, cellHead(2, 0, 1) + rk(61 << 2 | 2))
                                + record(0x027E, cellHead(3, 0, 1) + rk(1 << 2 | 2))
                                + record(0x0203, cellHead(4, 0, 2) + leDouble(45000.125))
                                + record(0x0203, cellHead(5, 0, 3) + leDouble(0.25))),
         {"A1 t:2023-03-15", "A2 t:1900-02-29", "A3 t:1900-03-01", "A4 t:1900-01-01", "A5 t:2023-03-15 03:00:00",
          "A6 n:0.250000"}},
        {"the 1904 date system",
         workbook(record(0x0022, le16(1)) + kFormats, record(0x027E, cellHead(0, 0, 1) + rk(2))),
         {"A1 t:1904-01-01"}},
        {"RK integers, hundredths and doubles; MULRK across columns",
         workbook("", record(0x027E, cellHead(0, 0) + rk(static_cast<std::uint32_t>(-7) << 2 | 2))
                          + record(0x027E, cellHead(0, 1) + rk(1234 << 2 | 3))
                          + record(0x027E, cellHead(0, 2) + rk(0x3FF80000)) // 1.5
                          + record(0x00BD,
                                   le16(1) + le16(2) + le16(0) + rk(5 << 2 | 2) + le16(0) + rk(6 << 2 | 2) + le16(3))),
         {"A1 n:-7.000000", "B1 n:12.340000", "C1 n:1.500000", "C2 n:5.000000", "D2 n:6.000000"}},
        {"a formula's text result in the STRING record; booleans and errors after the plain cells",
         workbook("", record(0x0006, cellHead(0, 0) + std::string("\0\0\0\0\0\0\xFF\xFF", 8) + std::string(6, '\0'))
                          + record(0x0207, le16(2) + '\0' + "ok") + record(0x0205, cellHead(1, 0) + '\x07' + '\x01')
                          + record(0x0204, cellHead(2, 0) + le16(1) + '\0' + "x")),
         {"A3 t:x", "A1 t:ok", "A2 e:#DIV/0!"}},
        {"a LABEL text longer than its record",
         workbook("", record(0x0204, cellHead(0, 0) + le16(50) + '\0' + "x")),
         {},
         "текст длиннее своей записи"},
        {"an encrypted workbook", workbook(record(0x002F, std::string(6, '\0')), ""), {}, "защищена паролем"},
        {"a sheet offset beyond the stream",
         kBof + record(0x0085, le32(1 << 20) + std::string("\0\0", 2) + '\x01' + '\0' + "S") + kEof,
         {},
         "обрывается"},
        {"a record longer than the format allows", workbook("", record(0x00FD, std::string(9000, '\0'))), {}, "BIFF"},
        {"a sheet without its end", workbook("", "").substr(0, workbook("", "").size() - 4), {}, "обрывается"},
    };
}

TEST(BiffReader, ReadsRecordsAndRefusesDamage)
{
    for (const Case& c : cases()) {
        SCOPED_TRACE(c.what);
        try {
            const auto sheets = readBiffWorkbook(c.stream, "«t.xls»");
            ASSERT_EQ(c.error, nullptr) << "read instead of refused";
            ASSERT_EQ(sheets.size(), 1u);
            EXPECT_EQ(sheets[0].name, "S");
            std::vector<std::string> got;
            for (const BiffCell& cell : sheets[0].cells)
                got.push_back(cellName(cell.row, cell.column) + " " + show(cell.value));
            EXPECT_EQ(got, c.cells);
        } catch (const WorkbookError& e) {
            ASSERT_NE(c.error, nullptr) << e.what();
            EXPECT_NE(std::string(e.what()).find(c.error), std::string::npos) << e.what();
        }
    }
}

// One long shared string behind many cells: the texts of a workbook are bounded as a whole, not
// only by what the file stores.
TEST(BiffReader, ManyCellsSharingALongStringAreBounded)
{
    std::string cells;
    for (unsigned row = 0; row < 9000; ++row)
        cells += record(0x00FD, cellHead(row, 0) + le32(0));
    EXPECT_THROW(readBiffWorkbook(workbook(sst({le16(8000) + '\0' + std::string(8000, 'x')}, 1), cells), "«t.xls»"),
                 WorkbookError);
}

} // namespace
