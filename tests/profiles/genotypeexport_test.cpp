// SPDX-License-Identifier: GPL-3.0-or-later
// The genotype export reader: each layout and spelling read into one canonical dump (sample:
// marker=alleles), and each malformed file refused with its line and reason.
#include <fstream>

#include <gtest/gtest.h>

#include "exchange/exchangetesting.h"
#include "profiles/genotypeexport.h"
#include "profiles/profilecase.h"
#include "support/tempdir.h"

namespace profiles {
namespace {

// "F:D3S1358=15,16 vWA=17 | C:..." with the markers in the order of the file and their first
// spelling; an untyped marker is "-".
std::string dump(const GenotypeExport& data)
{
    std::string out;
    for (const auto& s : data.samples) {
        out += (out.empty() ? "" : " | ") + s.name + ":";
        for (const auto& key : data.markerKeys) {
            const auto call = data.findCall(s, key);
            if (!call)
                continue;
            std::string alleles;
            for (const auto& a : call->alleles)
                alleles += (alleles.empty() ? "" : "+") + a;
            out += " " + data.markerNames.at(key) + "=" + (alleles.empty() ? "-" : alleles);
        }
    }
    return out;
}

struct ReadCase {
    const char* name;
    std::string bytes;
    std::string expected;
};

class Layouts : public ::testing::TestWithParam<ReadCase> {};

TEST_P(Layouts, ReadIntoTheSameCalls)
{
    EXPECT_EQ(dump(readGenotypeExportText(GetParam().bytes, "e.txt")), GetParam().expected);
}

const std::string kTrio = "F: D3S1358=15+16 TH01=9,3 | C: D3S1358=16 TH01=9,3+7";

std::string utf16le(const std::string& ascii)
{
    std::string out = "\xFF\xFE";
    for (char c : ascii)
        out += std::string{c, '\0'};
    return out;
}

INSTANTIATE_TEST_SUITE_P(
    Export, Layouts,
    ::testing::Values(
        ReadCase{"LongWithMetadataCrlfAndSizes",
                 "Run 118\tKit\r\nSample File\tSample Name\tMarker\tAllele 1\tAllele 2\tSize 1\tHeight 1\r\n"
                 "f.fsa\tF\tD3S1358\t15\t16\t101.2\t900\r\nf.fsa\tF\tTH01\t9.3\t\t\t\r\n"
                 "c.fsa\tC\tD3S1358\t16\t16\t\t\r\nc.fsa\tC\tTH01\t9.3\t7\t\t\r\n",
                 kTrio},
        ReadCase{"LongUtf16WithSyntacticNames",
                 utf16le("Sample.Name\tMarker\tAllele.1\tAllele.2\nF\tD3S1358\t15\t16\nF\tTH01\t9,3\t9.3\n"
                         "C\tD3S1358\t16\t\nC\tTH01\t9.3\t7\n"),
                 kTrio},
        ReadCase{"LongWithMarkerName",
                 "Sample Name;Marker Name;Allele 1;Allele 2\nF;D3S1358;15;16\nF;TH01;9,3;\nC;D3S1358;16;\n"
                 "C;TH01;9,3;7\n",
                 kTrio},
        ReadCase{"PerAllele",
                 "SampleName,Marker,Allele,Height\nF,D3S1358,15,1\nF,D3S1358,16,1\nF,TH01,9.3,1\nC,D3S1358,16,1\n"
                 "C,TH01,9.3,1\nC,TH01,7,1\n",
                 kTrio},
        // A sample's rows of one marker apart, each marker's alleles still together and in order;
        // a label of any length kept whole.
        ReadCase{"PerAlleleRowsApart",
                 "SampleName,Marker,Allele\nF,TH01,9.3\nC,D3S1358,16\nF,D3S1358,15\nF,vWA," + std::string(300, 'x')
                     + "\nF,TH01,6\nC,TH01,7\nF,D3S1358,16\nF,vWA,17\nF,TH01,9.3\nC,TH01,9.3\n",
                 "F: TH01=9,3+6 D3S1358=15+16 vWA=" + std::string(300, 'x') + "+17 | C: TH01=7+9,3 D3S1358=16"},
        ReadCase{"WideTwoColumnsSameName", "Sample;D3S1358;D3S1358;TH01;TH01\nF;15;16;9,3;\nC;16;16;9.3;7\n", kTrio},
        // A header cell merged over a marker's two columns: the name, then an empty cell or none.
        ReadCase{"WideMergedHeaderCells", "Sample;D3S1358;;TH01\nF;15;16;9,3;\nC;16;;9.3;7\n", kTrio},
        ReadCase{"WideNumberedColumns",
                 "Sample\tD3S1358 1\tD3S1358 2\tTH01.1\tTH01.2\nF\t15\t16\t9.3\t9.3\nC\t16\t\t9.3\t7\n", kTrio},
        // One column per marker: "/", blank and comma separate, but "9,3" alone is the microvariant.
        ReadCase{"WideOneColumn", "Case;Sample;D3S1358;TH01\n1;F;15,16;9,3\n1;C;16;9.3 7\n", kTrio},
        // A comma between two alleles of one digit each ("6,9") or followed by a blank separates;
        // only a part of 1 to 4 not above the whole ("2,2", "13,4") is a microvariant.
        ReadCase{"WideOneColumnCommas",
                 "Sample;TH01;TPOX;vWA;Penta D;FGA;D7S820\nF;6,9;8,9;15, 16;2,2;22,2/23;13,4 9\n",
                 "F: TH01=6+9 TPOX=8+9 vWA=15+16 Penta D=2,2 FGA=22,2+23 D7S820=13,4+9"},
        // A cell that begins with a decimal-comma microvariant reads it first, whatever follows.
        ReadCase{"WideOneColumnMicrovariantFirst",
                 "Sample;Penta D;Penta E;TH01;D21S11\nF;2,2, 13;2,2,13;9,3, 6;29,2, 18\n",
                 "F: Penta D=2,2+13 Penta E=2,2+13 TH01=9,3+6 D21S11=29,2+18"},
        // NA (R's empty call), N/A and "-" are no call, as an empty cell is.
        ReadCase{"NoCallWords",
                 "Sample Name\tMarker\tAllele 1\tAllele 2\nF\tvWA\tNA\tNA\nF\tTH01\t6\tNA\nC\tvWA\tN/A\t-\n"
                 "C\tTH01\tna\t\n",
                 "F: vWA=- TH01=6 | C: vWA=- TH01=-"},
        ReadCase{"WideNoCallWords", "Sample;vWA;TH01\nF;NA;N/A\nC;17/18;-\n", "F: vWA=- TH01=- | C: vWA=17+18 TH01=-"},
        // A ";" file whose cells hold more commas than the header has semicolons.
        ReadCase{"SeparatorOfTheHeader", "Sample;vWA;TH01\nF;15, 16;6, 9,3\nC;15, 17;6, 7\nM;15,17;6,7\n",
                 "F: vWA=15+16 TH01=6+9,3 | C: vWA=15+17 TH01=6+7 | M: vWA=15+17 TH01=6+7"},
        // A line after the table narrower than its header and without alleles is not a sample.
        ReadCase{"TrailingMetadataLines", "Sample;vWA;TH01\nF;17/18;6\nPrinted by:;Ivanov\nPage 1\n",
                 "F: vWA=17+18 TH01=6"},
        ReadCase{"TrailingMetadataLongLayout",
                 "Sample Name\tMarker\tAllele 1\tAllele 2\r\nF\tvWA\t17\t18\r\nPrinted by:\tIvanov\r\n",
                 "F: vWA=17+18"},
        // Text after a closing quote belongs to the name: two samples stay two. A quoted name's
        // blanks around it are no part of it.
        ReadCase{"QuotedNamesWithText",
                 "Sample Name,Marker,Allele 1,Allele 2\n\"Иванов\" отец,vWA,17,18\n\"Иванов\" сын,vWA,17,\n"
                 "\" Мать \",vWA,17,\n",
                 "Иванов отец: vWA=17+18 | Иванов сын: vWA=17 | Мать: vWA=17"},
        ReadCase{"LongUtf16WithoutMark",
                 utf16le("Sample Name\tMarker\tAllele 1\tAllele 2\r\nF\tD3S1358\t15\t16\r\nF\tTH01\t9.3\t\r\n"
                         "C\tD3S1358\t16\t16\r\nC\tTH01\t9.3\t7\r\n")
                     .substr(2),
                 kTrio},
        ReadCase{"MarkersKeepTheirOwnDigitsAndAnEmptyCellIsUntyped", "Sample,TH01,D2S1338,Penta D\nF,6/9.3,17/20,\n",
                 "F: TH01=6+9,3 D2S1338=17+20 Penta D=-"},
        ReadCase{"Windows1251Names", "\xCE\xE1\xF0\xE0\xE7\xE5\xF6;vWA\n\xCE\xF2\xE5\xF6;17/18\n", "Отец: vWA=17+18"},
        // A sample named twice with the same alleles (a rerun) is one call; spellings of one
        // marker are one marker.
        // A UTF-8 file cut inside the last letter of a remark is still UTF-8, not Windows-1251.
        ReadCase{"Utf8CutInsideItsLastLetter", "Sample;vWA;Примечание\nОтец;17/18;повтор\nСын;17;пов\xD1",
                 "Отец: vWA=17+18 | Сын: vWA=17"},
        ReadCase{"RepeatedRowsAndSpellings",
                 "Sample Name\tMarker\tAllele 1\tAllele 2\nF\tvWA\t17\t18\nF\tVWA\t18\t17\nF\tPENTA_D\tOL\t9\n",
                 "F: vWA=17+18 PENTA_D=OL+9"}),
    [](const auto& info) { return info.param.name; });

struct RefusalCase {
    const char* name;
    std::string bytes;
    std::string message; // the whole message
};

class Refusals : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(Refusals, NameTheFileTheLineAndTheReason)
{
    try {
        readGenotypeExportText(GetParam().bytes, "e.txt");
        FAIL() << "read";
    } catch (const ExportError& e) {
        EXPECT_EQ(std::string(e.what()), GetParam().message);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Export, Refusals,
    ::testing::Values(
        RefusalCase{"NoSampleColumn", "Sample File\tMarker\tAllele 1\nf.fsa\tvWA\t17\n",
                    "Экспорт генотипов e.txt: в первых 10 строках нет заголовка со столбцом образца (Sample Name, "
                    "SampleName, Образец)"},
        RefusalCase{"RowWithoutSample", "Sample Name\tMarker\tAllele 1\nF\tvWA\t17\n\tvWA\t18\n",
                    "Экспорт генотипов e.txt, строка 3, поле 1: нет имени образца"},
        RefusalCase{"MarkerWithoutAlleleColumns", "Sample Name\tMarker\tHeight 1\nF\tvWA\t17\n",
                    "Экспорт генотипов e.txt, строка 1: есть столбец маркера, но нет столбцов аллелей (Allele 1, "
                    "Allele 2 или Allele)"},
        // A file cut short: the rest taken as one quoted name, or a last row whose missing
        // "Allele 2" would read as a homozygote.
        RefusalCase{"UnclosedQuote", "Sample Name,Marker,Allele 1\n\"F,vWA,17\nC,vWA,18\n",
                    "Экспорт генотипов e.txt, строка 2: кавычка в начале поля не закрыта до конца файла — файл "
                    "обрезан или в поле одна кавычка"},
        RefusalCase{"CutLastLine", "Sample Name\tMarker\tAllele 1\tAllele 2\r\nF\tvWA\t17\t18\r\nC\tvWA\t17",
                    "Экспорт генотипов e.txt, строка 3: файл обрывается на этой строке, полей в ней 3, в "
                    "заголовке 4 — похоже, файл записан не полностью"},
        // An allele past the header would be lost: a heterozygote read as a homozygote.
        RefusalCase{"FieldPastTheHeader", "SampleName,Marker,Allele\nF,vWA,17\nC,vWA,17,18\n",
                    "Экспорт генотипов e.txt, строка 3, поле 4: «18» стоит за последним столбцом заголовка (строка "
                    "1)"},
        RefusalCase{"AlleleColumnsWithoutMarkerColumn", "Sample Name\tMarker Id\tAllele 1\tAllele 2\nF\tvWA\t17\t18\n",
                    "Экспорт генотипов e.txt, строка 1: есть столбцы аллелей, но нет столбца маркера (Marker, Locus "
                    "или Маркер)"},
        RefusalCase{"HeaderOnly", "Sample;vWA\n",
                    "Экспорт генотипов e.txt: под заголовком (строка 1) нет ни одного образца"},
        RefusalCase{"Workbook", std::string("PK\x03\x04\x14\0\0\0", 8),
                    "Экспорт генотипов e.txt: это книга электронной таблицы, а не текстовый экспорт генотипов"},
        RefusalCase{"BinaryGarbage", std::string("\x00\x01\x9F\xFF\xFE\x80\x00\x12garbage\x00", 16),
                    "Экспорт генотипов e.txt: в первых 10 строках нет заголовка со столбцом образца (Sample Name, "
                    "SampleName, Образец)"},
        RefusalCase{"DamagedUtf16", std::string("\xFF\xFE\x00\xD8", 4),
                    "Экспорт генотипов e.txt: текст в UTF-16 повреждён"}),
    [](const auto& info) { return info.param.name; });

// A sample typed twice with different calls (a control injected again) does not refuse the file:
// the sample carries the conflict, and only a case that takes it is refused (exportcase_test).
TEST(GenotypeExport, ASampleTypedTwiceDifferentlyIsMarkedNotRefused)
{
    const GenotypeExport longLayout = readGenotypeExportText(
        "Sample Name\tMarker\tAllele 1\tAllele 2\nF\tvWA\t17\t18\nC\tvWA\t17\t17\nF\tvwa\t17\t19\n", "e.txt");
    EXPECT_EQ(longLayout.sample("F")->conflict, "маркер «vwa»: строка 2 — 17/18, строка 4 — 17/19");
    EXPECT_EQ(longLayout.sample("C")->conflict, "");
    const GenotypeExport wide = readGenotypeExportText("Sample;vWA\nF;17/18\nF;17/19\nC;17\n", "e.txt");
    EXPECT_EQ(wide.sample("F")->conflict, "маркер «vWA»: строка 2 — 17/18, строка 3 — 17/19");
}

// What the reader passes over or cannot vouch for is said in the export's notes.
TEST(GenotypeExport, NotesTrailingLinesAndALastLineWithoutItsEnd)
{
    struct NoteCase {
        std::string bytes;
        std::vector<std::string> notes;
    };
    const std::vector<NoteCase> cases{
        {"Sample;vWA;TH01\nF;17/18;6\n", {}},
        {"Sample;vWA;TH01\nF;17/18;6\nPrinted by:;Ivanov\n",
         {"строка 3 после таблицы не прочитана: полей меньше, чем в заголовке, и нет аллелей («Printed by: Ivanov»)"}},
        {"Sample;vWA;TH01\nF;17/18;6\nPrinted by:;Ivanov\nPage 1",
         {"строки 3–4 после таблицы не прочитаны: полей меньше, чем в заголовке, и нет аллелей («Printed by: "
          "Ivanov»)"}},
        // Real exports end without a line end; a copy cut inside its last allele looks the same.
        {"Sample;vWA;TH01\nF;17/18;6\nC;17/18;29",
         {"последняя строка файла (строка 3) без конца строки: проверьте, что файл записан полностью"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(readGenotypeExportText(c.bytes, "e.txt").notes, c.notes) << c.bytes;
}

// A cell with two readings that both name alleles of the locus's table is refused, not guessed.
TEST(GenotypeExport, ACellOfTwoFittingReadingsRefusesTheCase)
{
    freqdb::LocusTable table;
    table.setLocusCount(1);
    table.replaceRecord(1, exchange::testing::makeLocus("TPOX", {{"3", 0.1L}, {"9", 0.4L}, {"9,3", 0.5L}}));
    const GenotypeExport data = readGenotypeExportText("Sample;TPOX\nF;9,3\nC;9\n", "e.txt");
    try {
        formCase(data, {"F", "C", std::nullopt}, table);
        FAIL() << "formed";
    } catch (const ExportError& e) {
        EXPECT_EQ(std::string(e.what()), "строка 2: образец «F», маркер «TPOX»: «9,3» читается и как 9,3, и как 9/3 — "
                                         "запишите аллели через «/» (микровариант — с точкой)");
    }
    // With one reading in the table, that one: 9,3 alone.
    table.replaceRecord(1, exchange::testing::makeLocus("TPOX", {{"9", 0.4L}, {"9,3", 0.5L}}));
    EXPECT_EQ(formCase(data, {"F", "C", std::nullopt}, table).rows.front().cells.father, "9,3/9,3");
}

TEST(GenotypeExportFile, AFileBeyondTheLimitIsRefusedBeforeItIsRead)
{
    testsupport::TempDir dir;
    const auto file = dir.path() / "run.txt";
    {
        std::ofstream out(file, std::ios::binary);
        out << "Sample Name\tMarker\tAllele 1\n";
        out.seekp(50 << 20);
        out << '\n';
    }
    try {
        readGenotypeExport(file);
        FAIL() << "read";
    } catch (const ExportError& e) {
        EXPECT_NE(std::string(e.what()).find("файл слишком велик для экспорта генотипов (более 16 МБ)"),
                  std::string::npos)
            << e.what();
    }
    EXPECT_TRUE(isGenotypeExportFile(file));
    EXPECT_FALSE(isGenotypeExportFile(std::string(PI_SOURCE_DIR) + "/examples/trio.xlsx"));
    EXPECT_FALSE(isGenotypeExportFile(std::string(PI_SOURCE_DIR) + "/data/vWA.xls"));
}

} // namespace
} // namespace profiles
