// SPDX-License-Identifier: GPL-3.0-or-later
// The table readers on files made the way labs get them: each case is a file's bytes and the
// whole table read from it, dumped as text, so a lost or extra allele, a wrong label or order,
// or a frequency misread fails.
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>

#include <gtest/gtest.h>

#include "automation/cellworkbookwriter.h"
#include "popimport/locusnames.h"
#include "popimport/tablereader.h"

#include "support/tempdir.h"

namespace popimport {
namespace {

const text::NumberFormat kComma(",");

std::string dump(const FrequencyTable& table)
{
    std::ostringstream out;
    for (const auto& locus : table.loci) {
        out << locus.name << ":";
        for (const auto& a : locus.alleles) {
            char value[32];
            std::snprintf(value, sizeof value, "%.10g", a.frequency);
            out << " " << a.label << "=" << value;
        }
        out << "\n";
    }
    for (const auto& name : table.emptyLoci)
        out << name << ": -\n";
    return out.str();
}

FrequencyTable readBytes(const testsupport::TempDir& dir, const std::string& name, const std::string& bytes,
                         const std::optional<std::string>& origin = std::nullopt)
{
    const auto path = dir / name;
    std::ofstream(path, std::ios::binary) << bytes;
    const auto reader = automation::makeFileWorkbookReader();
    return readFrequencyTable(path, origin, *reader, kComma);
}

struct LayoutCase {
    const char* name;
    const char* file;
    std::string bytes;
    std::string expected;
    std::optional<std::string> origin;
};

class Layouts : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(Layouts, ReadAsTheTableMeansIt)
{
    testsupport::TempDir dir;
    const auto& c = GetParam();
    EXPECT_EQ(dump(readBytes(dir, c.file, c.bytes, c.origin)), c.expected);
}

// A text as UTF-16LE with its byte-order mark.
std::string utf16le(std::string_view ascii)
{
    std::string bytes = "\xff\xfe";
    for (char c : ascii) {
        bytes += c;
        bytes += '\0';
    }
    return bytes;
}

const std::string kXml = R"(<?xml version="1.0" encoding="UTF-8"?>
<frequencies><marker><name>VWA</name><alleles>14, 15</alleles>
<origin name="AUSTRIA" n="222"><frequency allele="15">7.5e-1</frequency><frequency allele="14">2.5e-1</frequency></origin>
<origin name="Entire Database" n="9000"><frequency allele="14">0.5</frequency><frequency allele="15">0.5</frequency></origin>
</marker><marker><name>PENTA_E</name><alleles/>
<origin name="austria" n="220"><frequency allele="9.3">1.0</frequency></origin></marker>
<marker><name>D6S1043</name><alleles/></marker></frequencies>)";

INSTANTIATE_TEST_SUITE_P(
    Files, Layouts,
    ::testing::Values(
        // Windows-1251, Russian header words, semicolons, decimal commas, CRLF; rows of one locus
        // need not be together; alleles come out in repeat order, "10.0" as "10".
        LayoutCase{"LongWindows1251DecimalCommas", "rus.csv",
                   "\xcb\xee\xea\xf3\xf1;\xc0\xeb\xeb\xe5\xeb\xfc;\xd7\xe0\xf1\xf2\xee\xf2\xe0\r\n"
                   "TH01;9.3;0,25\r\nTH01;10.0;0,5\r\nvWA;14;1\r\nTH01;6;2,5E-01\r\n",
                   "TH01: 6=0.25 9,3=0.25 10=0.5\nvWA: 14=1\n", std::nullopt},
        // Comma separated with quoted decimal commas, a title line above the header.
        LayoutCase{"LongCommaQuoted", "t.csv",
                   "Frequencies of lab X\n\nMarker,Allele,Freq\nFGA,\"22,2\",\"0,125\"\nFGA,21,\"0,875\"\n",
                   "FGA: 21=0.875 22,2=0.125\n", std::nullopt},
        // A title line above the header does not decide the separator.
        LayoutCase{"TitleLineAboveSemicolons", "t.csv", "Lab X, 2026\nLocus;Allele;Frequency\nFGA;22.2;1\n",
                   "FGA: 22,2=1\n", std::nullopt},
        // Tab-separated UTF-16 with a mark, as a spreadsheet saves "Unicode text".
        LayoutCase{"LongUtf16Tabs", "t.txt", utf16le("Locus\tAllele\tFreq\r\nTPOX\t8\t1\r\n"), "TPOX: 8=1\n",
                   std::nullopt},
        // A ladder with statistics rows above and below, empty and zero cells for alleles not seen.
        LayoutCase{"WideWithStatistics", "w.csv",
                   "\xEF\xBB\xBFSTR;CSF1PO;Penta_E\r\nN;361;361\r\nAllele;;\r\n5.0;;0.0762\r\n8.0;0.5;0\r\n"
                   "9.1;;\r\n10.0;0.5;0.9238\r\nHobs;0.73;0.89\r\nPI;0.12;0.02;\r\n",
                   "CSF1PO: 8=0.5 10=0.5\nPenta_E: 5=0.0762 10=0.9238\n", std::nullopt},
        // A column repeated with the same values is a copy, not a choice.
        LayoutCase{"LongAlleleColumnRepeated", "r.csv", "allele;locus;frequency;allele\n9;TH01;0,5;9\n10;TH01;0,5;10\n",
                   "TH01: 9=0.5 10=0.5\n", std::nullopt},
        // One row per locus, "freq_" headers, 0.000 for alleles not seen, statistics columns.
        LayoutCase{"TransposedPopStr", "p.csv",
                   "STR;population;N;freq_9;freq_9.3;freq_10;Hobs;Hexp\n"
                   "TH01;EUROPE;655;0.100;0.600;0.300;0.771;-\nD6S474;EUROPE;157;0.000;0.000;0.000;;\n",
                   "TH01: 9=0.1 9,3=0.6 10=0.3\nD6S474: -\n", std::nullopt},
        // The XML export: the origin picked regardless of letter case; markers without it left out.
        LayoutCase{"XmlOneOrigin", "s.xml", kXml, "VWA: 14=0.25 15=0.75\nPENTA_E: 9,3=1\n", std::string("Austria")}),
    [](const auto& info) { return std::string(info.param.name); });

// A workbook's first worksheet: numbers as numbers, a text label as typed.
TEST(TableReader, WorkbookFirstSheet)
{
    testsupport::TempDir dir;
    automation::CellArray cells(4, 3, 2, 2); // starts at B2
    cells.set(1, 1, std::string("Locus"));
    cells.set(1, 2, std::string("Allele"));
    cells.set(1, 3, std::string("Frequency"));
    cells.set(2, 1, std::string("D3S1358"));
    cells.set(2, 2, 15.0);
    cells.set(2, 3, 0.75);
    cells.set(3, 1, std::string("D3S1358"));
    cells.set(3, 2, std::string("14"));
    cells.set(3, 3, std::string("0,25"));
    cells.set(4, 1, std::string("D3S1358"));
    cells.set(4, 2, std::string("16.1"));
    cells.set(4, 3, std::string("2.5x"));
    automation::CellArray other(1, 1);
    other.set(1, 1, std::string("ignored"));
    automation::saveCellWorkbook(dir / "book.xlsx", {{"Table", cells}, {"Other", other}});
    const auto reader = automation::makeFileWorkbookReader();
    try {
        readFrequencyTable(dir / "book.xlsx", std::nullopt, *reader, kComma);
        FAIL() << "a text that is no number was read";
    } catch (const ImportError& e) {
        EXPECT_STREQ(e.what(), "Таблица «book.xlsx», ячейка D5: частота «2.5x» — не число");
    }
    cells.set(4, 3, 0.0);
    automation::saveCellWorkbook(dir / "book.xlsx", {{"Table", cells}});
    EXPECT_EQ(dump(readFrequencyTable(dir / "book.xlsx", std::nullopt, *reader, kComma)),
              "D3S1358: 14=0.25 15=0.75 16,1=0\n");
}

// A label LibreOffice turned into a date reads the same from all three formats and is refused
// with its cell named: the .xlsx once gave the allele "46090", its date's serial day.
TEST(TableReader, DateLabelIsRefusedAlikeInEveryFormat)
{
    const auto reader = automation::makeFileWorkbookReader();
    for (const char* file : {"datelabel.ods", "datelabel.xlsx", "datelabel.xls"}) {
        try {
            const auto table = readFrequencyTable(std::string(PI_TEST_DATA_DIR) + "/fixtures/" + file, std::nullopt,
                                                  *reader, kComma);
            ADD_FAILURE() << file << " read: " << dump(table);
        } catch (const ImportError& e) {
            EXPECT_EQ(e.what(), "Таблица «" + std::string(file)
                                    + "», ячейка B3: «2026-03-09» — дата, а не метка аллели: метку вроде 9.3 "
                                      "таблица превратила в дату; задайте ячейкам меток текстовый формат и впишите "
                                      "метки заново (например, 9,3)");
        }
    }
}

// The NIST export as published (a ladder with statistics rows) gives the very figures of the
// bundled long table they were converted from; only "Penta_C" is written "Penta C" there.
TEST(TableReader, RealWideExportAgreesWithTheBundledSource)
{
    const auto reader = automation::makeFileWorkbookReader();
    const auto wide = readFrequencyTable(std::string(PI_TEST_DATA_DIR) + "/fixtures/nist-caucasian-export.csv",
                                         std::nullopt, *reader, kComma);
    const auto source = readFrequencyTable(std::string(PI_SOURCE_DIR) + "/data/source/us_caucasians.csv", std::nullopt,
                                           *reader, kComma);
    ASSERT_EQ(wide.loci.size(), 29u);
    std::map<std::string, std::string> bySourceName;
    for (const auto& locus : source.loci)
        bySourceName[locusKey(locus.name)] = dump({"", {locus}, {}}).substr(locus.name.size());
    for (const auto& locus : wide.loci) {
        EXPECT_EQ(dump({"", {locus}, {}}).substr(locus.name.size()), bySourceName[locusKey(locus.name)]) << locus.name;
        EXPECT_NEAR(locus.sum, 1.0, 0.0005) << locus.name;
    }
}

struct RefusalCase {
    const char* name;
    const char* file;
    std::string bytes;
    std::string message; // the whole message
    std::optional<std::string> origin;
};

class Refusals : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(Refusals, NameTheFileThePlaceAndTheReason)
{
    testsupport::TempDir dir;
    const auto& c = GetParam();
    try {
        const auto table = readBytes(dir, c.file, c.bytes, c.origin);
        FAIL() << "read: " << dump(table);
    } catch (const ImportError& e) {
        EXPECT_EQ(e.what(), c.message);
    }
}

std::string manyAlleles()
{
    std::string text = "locus;allele;frequency\n";
    for (int i = 1; i <= 100; ++i)
        text += "SE33;" + std::to_string(i) + ";0,01\n";
    return text;
}

INSTANTIATE_TEST_SUITE_P(
    Files, Refusals,
    ::testing::Values(
        RefusalCase{"NotANumber", "a.csv", "locus;allele;frequency\nTH01;9;abc\n",
                    "Таблица «a.csv», строка 2, поле 3: частота «abc» — не число", std::nullopt},
        RefusalCase{"Percent", "a.csv", "locus;allele;frequency\nTH01;9;25,5\n",
                    "Таблица «a.csv», строка 2, поле 3: частота «25,5» лежит вне пределов от 0 до 1 (частоты — "
                    "доли, не проценты)",
                    std::nullopt},
        RefusalCase{"AlleleTwice", "a.csv", "locus;allele;frequency\nTH01;9;0,5\nTH01;9.0;0,5\n",
                    "Таблица «a.csv», строка 3, поле 2: аллель «9» локуса «TH01» указана дважды (уже строка 2, "
                    "поле 2)",
                    std::nullopt},
        // Unquoted decimal commas in a comma-separated text: "0,2" splits into "0" and "2".
        RefusalCase{"DecimalCommasInACommaText", "a.csv", "Locus,Allele,Frequency\nTH01,6,0,2\nTH01,7,0,8\n",
                    "Таблица «a.csv», строка 2: полей в строке 4, а в заголовке (строка 1) 3 — столбцы строки не "
                    "совпадают с заголовком; похоже, дробные числа записаны с десятичной запятой без кавычек: «0,2» "
                    "разделилось на поля «0» и «2». Сохраните таблицу с разделителем «;» или возьмите такие числа в "
                    "кавычки",
                    std::nullopt},
        RefusalCase{"RowWiderThanItsHeader", "a.csv", "Allele;TH01\n6;0,2\n7;0,8;x\n",
                    "Таблица «a.csv», строка 3: полей в строке 3, а в заголовке (строка 1) 2 — столбцы строки не "
                    "совпадают с заголовком",
                    std::nullopt},
        RefusalCase{"EveryFrequencyZero", "a.csv", "locus;allele;frequency\nTH01;6;0\nTH01;7;0,0\n",
                    "Таблица «a.csv», строка 1, поле 3: в столбце частот во всех строках 0 — таблица прочитана "
                    "неверно; проверьте разделители и десятичные запятые",
                    std::nullopt},
        RefusalCase{"DateSerialLabel", "a.csv", "locus;allele;frequency\nTH01;46090;1\n",
                    "Таблица «a.csv», строка 2, поле 2: «46090» — не аллель: это порядковый номер даты 2026-03-09, в "
                    "которую таблица превратила метку вроде 9.3; задайте ячейкам меток текстовый формат и впишите "
                    "метки заново (например, 9,3)",
                    std::nullopt},
        // Two columns under one header word: the table does not say which is meant.
        RefusalCase{"FrequencyColumnTwice", "a.csv",
                    "locus;allele;frequency;frequency\nTH01;9;0,5;0,5\nTH01;10;0,5;0,25\n",
                    "Таблица «a.csv», строка 3, поле 4: столбец «frequency» в заголовке дважды (строка 1, поле 3 и "
                    "строка 1, поле 4), а в этой строке в них разное: «0,5» и «0,25»; неясно, какой читать — "
                    "оставьте в таблице один такой столбец",
                    std::nullopt},
        RefusalCase{"LocusColumnTwice", "a.csv", "Marker;Allele;Freq;Locus\nTH01;9;1;vWA\n",
                    "Таблица «a.csv», строка 2, поле 4: столбец «Locus» в заголовке дважды (строка 1, поле 1 и строка "
                    "1, поле 4), а в этой строке в них разное: «TH01» и «vWA»; неясно, какой читать — оставьте в "
                    "таблице один такой столбец",
                    std::nullopt},
        RefusalCase{"LocusColumnTwiceInARowPerLocus", "a.csv", "Locus;N;freq_9;freq_10;Marker\nTH01;100;0,5;0,5;FGA\n",
                    "Таблица «a.csv», строка 2, поле 5: столбец «Marker» в заголовке дважды (строка 1, поле 1 и строка "
                    "1, поле 5), а в этой строке в них разное: «TH01» и «FGA»; неясно, какой читать — оставьте в "
                    "таблице один такой столбец",
                    std::nullopt},
        RefusalCase{"EmptyLocus", "a.csv", "locus;allele;frequency\n;9;0,5\n",
                    "Таблица «a.csv», строка 2, поле 1: пустое имя локуса", std::nullopt},
        RefusalCase{"EmptyAllele", "a.csv", "locus;allele;frequency\nTH01;;0,5\n",
                    "Таблица «a.csv», строка 2, поле 2: пустое имя аллели локуса «TH01»", std::nullopt},
        RefusalCase{"LocusTwiceInALadder", "a.csv", "Allele;PentaE;Penta_E\n9;0,5;0,5\n",
                    "Таблица «a.csv», строка 1, поле 3: локус «Penta_E» уже указан (строка 1, поле 2, «PentaE»)",
                    std::nullopt},
        RefusalCase{"HundredAlleles", "a.csv", manyAlleles(),
                    "Таблица «a.csv», строка 101, поле 2: у локуса «SE33» больше 99 аллелей, а лист локуса держит не "
                    "более 99",
                    std::nullopt},
        RefusalCase{"NoLayout", "a.csv", "name;value\nx;1\n",
                    "Таблица «a.csv»: таблица ни в одном из понятных форматов: нужна строка заголовка — либо столбцы "
                    "«локус», «аллель», «частота» (строка на аллель), либо «Allele» и имена локусов (столбец на "
                    "локус), либо имя локуса и аллели «10», «9.3» (строка на локус)",
                    std::nullopt},
        RefusalCase{"MillionsOfSeparators", "a.csv", "locus;allele;frequency\n" + std::string(2'000'001, ';'),
                    "Таблица «a.csv»: в таблице больше 2000000 ячеек — это не таблица частот", std::nullopt},
        RefusalCase{"XmlSeveralOrigins", "s.xml", kXml,
                    "Таблица «s.xml»: популяций в выгрузке: 2; выберите одну с --origin ИМЯ:\n  AUSTRIA (n = "
                    "220–222)\n  Entire Database (n = 9000)",
                    std::nullopt},
        RefusalCase{"XmlUnknownOrigin", "s.xml", kXml,
                    "Таблица «s.xml»: в выгрузке нет популяции «Poland»; есть:\n  AUSTRIA (n = 220–222)\n  Entire "
                    "Database (n = 9000)",
                    std::string("Poland")},
        // A one-line export: the message names the marker, the origin and the allele.
        RefusalCase{"XmlFrequencyOutOfRange", "s.xml",
                    "<frequencies><marker><name>TH01</name><origin name=\"POLAND\" n=\"206\"><frequency "
                    "allele=\"6\">0.5</frequency><frequency allele=\"7\">-1.0e-2</frequency></origin></marker>"
                    "</frequencies>",
                    "Таблица «s.xml», строка 1, маркер «TH01», популяция «POLAND», аллель «7»: частота «-1.0e-2» "
                    "лежит вне пределов от 0 до 1 (частоты — доли, не проценты)",
                    std::nullopt},
        RefusalCase{"XmlDamaged", "s.xml", "<?xml version=\"1.0\"?>\n<frequencies><marker>\n</frequencies>",
                    "Таблица «s.xml», строка 3: XML повреждён (mismatched tag)", std::nullopt},
        RefusalCase{"TwoOriginsInAColumn", "a.csv", "locus;allele;frequency;population\nTH01;9;1;A\nTH01;9;1;B\n",
                    "Таблица «a.csv»: в таблице несколько популяций; выберите одну с --origin: A (строк: 1), B "
                    "(строк: 1)",
                    std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace popimport
