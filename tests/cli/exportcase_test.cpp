// SPDX-License-Identifier: GPL-3.0-or-later
// batch on a genotyping export against batch on the genotype workbook of the same alleles: random
// trios and duos drawn from the bundled tables are written as a long export (per marker), a long
// export per allele and a wide export, with every variation the exports bring (homozygotes once
// and twice, marker names in lower case, "9.3" for "9,3", amelogenin and a Y marker, an
// off-ladder allele, three alleles at a locus, a locus not typed), and each must give the rows,
// LRs and CPI of the workbook; the rows the export marks as not evaluable must say why.
#include <algorithm>
#include <fstream>
#include <map>
#include <random>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "automation/workbook.h"
#include "automation/xlsxworkbookwriter.h"
#include "exchange/resultsworkbookreader.h"
#include "freqdb/locusworkbookfiles.h"
#include "profiles/profilecase.h"

#include "cli/exitstatus.h"
#include "support/pdftext.h"
#include "support/programrun.h"
#include "support/tempdir.h"

namespace cli {
namespace {

const std::string kSource = PI_SOURCE_DIR;
const std::string kData = kSource + "/data";
const bool kRussianLocale = setenv("LC_ALL", "ru_RU.UTF-8", 1) == 0;

using Alleles = std::vector<std::string>; // labels as exports write them ("9.3")

std::map<std::string, std::vector<std::pair<std::string, double>>> bundledAlleles()
{
    std::map<std::string, std::vector<std::pair<std::string, double>>> out;
    std::ifstream in(kSource + "/data/source/us_caucasians.csv");
    std::string line;
    std::getline(in, line);
    while (std::getline(in, line)) {
        const auto a = line.find(','), b = line.rfind(',');
        out[line.substr(0, a)].push_back({line.substr(a + 1, b - a - 1), std::stod(line.substr(b + 1))});
    }
    return out;
}

std::string comma(std::string label)
{
    std::replace(label.begin(), label.end(), '.', ',');
    return label;
}

std::string lower(std::string s)
{
    for (char& c : s)
        c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    return s;
}

// One drawn case: per locus of the data folder (in its order) the persons' alleles, and the
// variations placed at fixed loci.
struct DrawnCase {
    bool trio = true;
    std::vector<std::string> loci;
    std::vector<Alleles> father, child, mother;
    std::size_t offLadder = 2, threeAlleles = 4, untyped = 6; // loci where the export says so
};

DrawnCase draw(unsigned seed, bool trio)
{
    static const auto table = bundledAlleles();
    std::mt19937 rng(seed);
    DrawnCase c;
    c.trio = trio;
    for (const auto& file : freqdb::findLocusWorkbooks(kData))
        c.loci.push_back(freqdb::locusNameOf(file));
    auto pick = [&](const std::string& locus) {
        const auto& alleles = table.at(locus);
        std::vector<double> weights;
        for (const auto& a : alleles)
            weights.push_back(a.second);
        return alleles[std::discrete_distribution<std::size_t>(weights.begin(), weights.end())(rng)].first;
    };
    for (const auto& locus : c.loci) {
        Alleles f{pick(locus), pick(locus)}, m{pick(locus), pick(locus)};
        // Mostly inherited, sometimes not: exclusions are rows too.
        const bool inherits = std::uniform_int_distribution<int>(0, 9)(rng) < 8;
        Alleles ch{trio ? m[rng() % 2] : pick(locus), inherits ? f[rng() % 2] : pick(locus)};
        c.father.push_back(f);
        c.child.push_back(ch);
        c.mother.push_back(m);
    }
    c.father[c.offLadder][1] = "OL";
    c.child[c.threeAlleles] = {c.child[c.threeAlleles][0], "96", "99"}; // no locus of the table has 96 or 99
    (trio ? c.mother : c.father)[c.untyped].clear();
    return c;
}

// The alleles of a person as distinct labels, a homozygote once.
Alleles distinct(const Alleles& a)
{
    Alleles out;
    for (const auto& x : a)
        if (std::find(out.begin(), out.end(), x) == out.end())
            out.push_back(x);
    return out;
}

struct Person {
    std::string name;
    const std::vector<Alleles>* alleles;
};

std::vector<Person> persons(const DrawnCase& c)
{
    std::vector<Person> p{{"F-1", &c.father}, {"C-1", &c.child}};
    if (c.trio)
        p.push_back({"M-1", &c.mother});
    return p;
}

// Marker names as kits and programs spell them: every third in lower case, "Penta D" as "PENTA_D".
std::string marker(const std::string& locus, std::size_t k)
{
    if (k % 3 == 0)
        return lower(locus);
    std::string name = locus;
    std::replace(name.begin(), name.end(), ' ', '_');
    return k % 3 == 1 ? name : locus;
}

void writeLong(const DrawnCase& c, const std::filesystem::path& file)
{
    std::ofstream out(file, std::ios::binary);
    out << "Genotypes Table\tRun 118\r\n"
        << "Sample File\tSample Name\tPanel\tMarker\tDye\tAllele 1\tAllele 2\tAllele 3\tSize 1\tSize 2\tSize "
           "3\tHeight 1\tHeight 2\tHeight 3\r\n";
    for (const Person& p : persons(c)) {
        for (std::size_t k = 0; k < c.loci.size(); ++k) {
            Alleles a = (*p.alleles)[k];
            // The father's homozygotes once, the others' twice.
            if (p.name == "F-1")
                a = distinct(a);
            if (a.empty() && k == c.untyped && p.name != "F-1")
                continue; // the mother's row is missing; the father's is there with no alleles
            out << p.name << ".fsa\t" << p.name << "\tKit\t" << marker(c.loci[k], k) << "\tB";
            for (std::size_t i = 0; i < 3; ++i)
                out << '\t' << (i < a.size() ? a[i] : "");
            out << "\t101.5\t105.2\t\t2100\t1900\t\r\n";
        }
        out << p.name << ".fsa\t" << p.name << "\tKit\tAMEL\tB\tX\tY\t\t\t\t\t\t\t\r\n";
        out << p.name << ".fsa\t" << p.name << "\tKit\tDYS391\tR\t10\t\t\t\t\t\t\t\t\r\n";
    }
}

void writePerAllele(const DrawnCase& c, const std::filesystem::path& file)
{
    std::ofstream out(file, std::ios::binary);
    out << "SampleName,Marker,Allele,Height\n";
    for (const Person& p : persons(c)) {
        for (std::size_t k = 0; k < c.loci.size(); ++k) {
            const Alleles a = distinct((*p.alleles)[k]);
            if (a.empty())
                out << p.name << ',' << marker(c.loci[k], k) << ",,\n";
            for (const auto& x : a)
                out << p.name << ',' << marker(c.loci[k], k) << ',' << x << ",1500\n";
        }
        out << p.name << ",AMEL,X,1200\n";
    }
}

void writeWide(const DrawnCase& c, const std::filesystem::path& file)
{
    std::ofstream out(file, std::ios::binary);
    out << "Case;Sample";
    for (std::size_t k = 0; k < c.loci.size(); ++k)
        out << ';' << marker(c.loci[k], k);
    out << ";DYS391\n";
    for (const Person& p : persons(c)) {
        out << "118;" << p.name;
        for (std::size_t k = 0; k < c.loci.size(); ++k) {
            std::string cell;
            for (const auto& x : (*p.alleles)[k])
                cell += (cell.empty() ? "" : "/") + x;
            out << ';' << cell;
        }
        out << ";10\n";
    }
}

// The genotype workbook of the same rows. A row the export marks as not evaluable gets an empty
// father cell there, so it has no LR in either.
void writeWorkbook(const DrawnCase& c, const std::filesystem::path& file)
{
    std::vector<std::vector<std::string>> rows{{"№", "Локус", "Отец", "Ребенок", "Мать"}};
    auto cell = [](const Alleles& a) { return a.empty() ? "" : comma(a[0]) + "/" + comma(a[a.size() > 1 ? 1 : 0]); };
    for (std::size_t k = 0; k < c.loci.size(); ++k) {
        const bool stated = k == c.offLadder || k == c.threeAlleles || k == c.untyped;
        rows.push_back({std::to_string(k + 1), c.loci[k], stated ? "" : cell(c.father[k]), cell(c.child[k]),
                        c.trio ? cell(c.mother[k]) : "Нет/Нет"});
    }
    automation::XlsxWorkbookWriter writer;
    writer.addWorksheet("Лист1");
    writer.setValues({1, 1, static_cast<int>(rows.size()), 5}, rows);
    writer.save(file);
}

nlohmann::json runJson(std::vector<std::string> args)
{
    args.insert(args.end(), {"--population", "white", "--data", kData, "--format", "json"});
    const cli::Run r = runProgram(args);
    // The cases hold rows stated but not evaluated (OL, three alleles, untyped): not plain "ok".
    EXPECT_EQ(r.status, cli::kExitIncomplete) << r.err;
    return nlohmann::json::parse(r.out);
}

TEST(ExportCase, EveryLayoutGivesTheRowsLrsAndCpiOfTheGenotypeWorkbook)
{
    ASSERT_TRUE(kRussianLocale);
    testsupport::TempDir dir;
    for (unsigned seed = 1; seed <= 6; ++seed) {
        const DrawnCase c = draw(seed, seed % 2 == 1);
        SCOPED_TRACE("seed " + std::to_string(seed) + (c.trio ? " trio" : " duo"));
        writeWorkbook(c, dir.path() / "case.xlsx");
        writeLong(c, dir.path() / "long.txt");
        writePerAllele(c, dir.path() / "alleles.csv");
        writeWide(c, dir.path() / "wide.csv");
        const nlohmann::json expected = runJson({"batch", (dir.path() / "case.xlsx").string()});
        std::vector<std::string> samples{"--father", "F-1", "--child", "C-1"};
        if (c.trio)
            samples.insert(samples.end(), {"--mother", "M-1"});
        std::vector<std::string> args{"batch", (dir.path() / "long.txt").string()};
        args.insert(args.end(), samples.begin(), samples.end());
        const nlohmann::json got = runJson(args);

        ASSERT_EQ(got["rows"].size(), expected["rows"].size());
        for (std::size_t k = 0; k < c.loci.size(); ++k) {
            const auto& row = got["rows"][k];
            if (k == c.offLadder || k == c.threeAlleles || k == c.untyped) {
                const std::string why
                    = k == c.offLadder ? profiles::offLadderVerdict(results::Person::Father, "OL")
                      : k == c.threeAlleles
                          ? profiles::tooManyAllelesVerdict(results::Person::Child, 3)
                          : profiles::untypedVerdict(c.trio ? results::Person::Mother : results::Person::Father);
                EXPECT_EQ(row["formula"], why);
                EXPECT_EQ(row["lr"], "");
                EXPECT_EQ(row["locus"], expected["rows"][k]["locus"]);
                EXPECT_EQ(expected["rows"][k]["lr"], "");
            } else {
                EXPECT_EQ(row, expected["rows"][k]);
            }
        }
        for (const auto& [key, value] : expected.items()) {
            if (key != "rows") {
                EXPECT_EQ(got[key], value) << key;
            }
        }
        // The other layouts of the same alleles: the same output to the byte.
        for (const char* other : {"alleles.csv", "wide.csv"}) {
            std::vector<std::string> more{"batch", (dir.path() / other).string()};
            more.insert(more.end(), samples.begin(), samples.end());
            EXPECT_EQ(runJson(more), got) << other;
        }
    }
}

} // namespace
} // namespace cli

namespace cli {
namespace {

struct ArgumentCase {
    const char* name;
    std::vector<std::string> args;
    int status;
    std::string message; // part of stderr
};

class ExportArguments : public ::testing::TestWithParam<ArgumentCase> {};

TEST_P(ExportArguments, AreCheckedBeforeAnyCaseIsEvaluated)
{
    std::vector<std::string> args = GetParam().args;
    args.insert(args.end(), {"--population", "white", "--data", kData});
    const cli::Run r = runProgram(args);
    EXPECT_EQ(r.status, GetParam().status);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find(GetParam().message), std::string::npos) << r.err;
}

const std::string kExport = kSource + "/examples/trio-export.txt";
const std::string kSamples = "Образцы: «Ladder», «Father-2026-118», «Mother-2026-118», «Child-2026-118», «NEG»";

INSTANTIATE_TEST_SUITE_P(
    Batch, ExportArguments,
    ::testing::Values(
        ArgumentCase{"FatherWithoutChild", {"batch", kExport, "--father", "F"}, 2, "и --father, и --child"},
        ArgumentCase{"MotherAlone", {"batch", kExport, "--mother", "M"}, 2, "и --father, и --child"},
        ArgumentCase{"OneSampleForTwoPersons",
                     {"batch", kExport, "--father", "F", "--child", "C", "--mother", "F"},
                     2,
                     "Один образец указан для двух лиц: «F»"},
        ArgumentCase{"OneSampleWithBlanksForTwoPersons",
                     {"batch", kExport, "--father", "F", "--child", " F\t"},
                     2,
                     "Один образец указан для двух лиц: «F»"},
        ArgumentCase{"SeveralCases",
                     {"batch", kExport, kExport, "--father", "F", "--child", "C"},
                     2,
                     "одного экспорта генотипов"},
        ArgumentCase{"OutputDir",
                     {"batch", kExport, "--father", "F", "--child", "C", "--output-dir", "x"},
                     2,
                     "не --output-dir"},
        ArgumentCase{"NameNotInTheExport",
                     {"batch", kExport, "--father", "Father-2026-118", "--child", "child-2026-118"},
                     2,
                     "нет образца «child-2026-118». " + kSamples},
        ArgumentCase{"ExportWithoutSamples",
                     {"batch", kExport},
                     2,
                     "укажите --father и --child (и --mother). " + kSamples},
        ArgumentCase{"WorkbookAsExport",
                     {"batch", kSource + "/examples/trio.xlsx", "--father", "F", "--child", "C"},
                     1,
                     "это книга электронной таблицы, а не текстовый экспорт генотипов"}),
    [](const auto& info) { return info.param.name; });

// The signed report names the samples the case took from the run's export.
TEST(ExportCaseReport, NamesTheSamplesTaken)
{
    testsupport::TempDir dir;
    const auto pdf = dir.path() / "case.pdf";
    const cli::Run r
        = runProgram({"batch", kSource + "/examples/duo-alleles.csv", "--father", "Father-2026-118", "--child",
                      "Child-2026-118", "--population", "white", "--data", kData, "--report", pdf.string()});
    if (r.err.find("не составляет отчёты") != std::string::npos)
        GTEST_SKIP() << "a build without reports";
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string text = testsupport::pdfText(pdf);
    EXPECT_NE(text.find("duo-alleles.csv"), std::string::npos) << text;
    EXPECT_NE(text.find("Экспорт генотипов: " + kSource + "/examples/duo-alleles.csv"), std::string::npos) << text;
    EXPECT_NE(text.find("Образцы экспорта генотипов: отец «Father-2026-118», ребенок «Child-2026-118»\n"),
              std::string::npos)
        << text;
}

// Calls that are no allele label are stated, never given the minimum frequency; a number of
// repeats missing from the table is a rare allele and gets it.
TEST(ExportCase, CallsThatAreNoAlleleAreNotEvaluatedWithAMinimumFrequency)
{
    testsupport::TempDir dir;
    const auto file = dir.path() / "run.txt";
    std::ofstream(file, std::ios::binary) << "Sample Name\tMarker\tAllele 1\tAllele 2\n"
                                             "F\tvWA\tOMR\t18\nC\tvWA\tOMR\t17\nM\tvWA\t17\t19\n"
                                             "F\tTH01\t6\t9.3\nC\tTH01\t?\t7\nM\tTH01\t7\t7\n"
                                             "F\tTPOX\t8\t99\nC\tTPOX\t99\t11\nM\tTPOX\t11\t11\n"
                                             "F\tD5S818\t11,12\t\nC\tD5S818\t11\t12\nM\tD5S818\t12\t12\n";
    const cli::Run r
        = runProgram({"batch", file.string(), "--father", "F", "--child", "C", "--mother", "M", "--population", "white",
                      "--data", kData, "--min-frequency", "0.0069", "--format", "json"});
    ASSERT_EQ(r.status, kExitIncomplete) << r.err;
    std::map<std::string, std::string> formulas;
    const auto doc = nlohmann::json::parse(r.out);
    for (const auto& row : doc["rows"])
        formulas[row["locus"]] = std::string(row["formula"]) + " " + std::string(row["lr"]);
    EXPECT_EQ(formulas, (std::map<std::string, std::string>{
                            {"D5S818", profiles::unrecognisedAlleleVerdict(results::Person::Father, "11,12") + " "},
                            {"TH01", profiles::unrecognisedAlleleVerdict(results::Person::Child, "?") + " "},
                            {"TPOX", "1/2p(99) 72,46"},
                            {"vWA", profiles::offLadderVerdict(results::Person::Father, "OMR") + " "}}));
}

// A sample name from the export that a spreadsheet would run as a formula is listed as text.
TEST(ProfilesCommand, CsvNamesNeverRunAsFormulas)
{
    testsupport::TempDir dir;
    const auto file = dir.path() / "run.csv";
    std::ofstream(file, std::ios::binary) << "Sample;vWA\n=HYPERLINK(\"http://x\");17/18\n\"a,b\";17\n";
    const cli::Run r = runProgram({"profiles", file.string(), "--data", kData, "--format", "csv"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "sample,typed_markers\n\"'=HYPERLINK(\"\"http://x\"\")\",1\n\"a,b\",1\n");
}

// A one-column cell "a,d" is the microvariant when the table has it, else the two alleles when
// the table has both: father's cells against the genotypes the rows show.
TEST(ExportCase, ACommaCellIsReadAgainstTheTable)
{
    testsupport::TempDir dir;
    const auto file = dir.path() / "wide.csv";
    std::ofstream(file, std::ios::binary) << "Sample;F13A01;TH01;Penta D;D3S1358\nF;5,4;9,3;2,2;4,4\nC;5;9;12;15\n";
    const cli::Run r = runProgram({"batch", file.string(), "--father", "F", "--child", "C", "--population", "white",
                                   "--data", kData, "--format", "json"});
    const auto doc = nlohmann::json::parse(r.out);
    std::map<std::string, std::string> father;
    for (const auto& row : doc["rows"])
        father[row["locus"]] = row["father"];
    EXPECT_EQ(father, (std::map<std::string, std::string>{
                          {"D3S1358", "4,4/4,4"}, // neither 4,4 nor 4 in the table: read as written
                          {"F13A01", "5/4"},
                          {"Penta D", "2,2/2,2"},
                          {"TH01", "9,3/9,3"}}));
}

// Names are the export's names without blanks around them, whichever side had the blanks.
TEST(ExportCase, SampleNamesAreTakenWithoutSurroundingBlanks)
{
    const cli::Run r = runProgram({"batch", kExport, "--father", " Father-2026-118 ", "--child", "Child-2026-118\t",
                                   "--population", "white", "--data", kData, "--format", "csv"});
    EXPECT_EQ(r.status, 0) << r.err;
}

TEST(ProfilesCommand, ListsTheSamplesAndTheMarkersWithoutATable)
{
    const cli::Run text = runProgram({"profiles", kExport, "--data", kData});
    ASSERT_EQ(text.status, 0) << text.err;
    EXPECT_NE(text.out.find("  Father-2026-118\t26\n  Mother-2026-118\t24\n"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("(не рассчитываются): AMEL, DYS391, Yindel\n"), std::string::npos) << text.out;
    const cli::Run json
        = runProgram({"profiles", kSource + "/examples/duo-alleles.csv", "--data", kData, "--format=json"});
    ASSERT_EQ(json.status, 0) << json.err;
    const auto doc = nlohmann::json::parse(json.out);
    EXPECT_EQ(doc["samples"], nlohmann::json::parse(R"([{"sample": "Father-2026-118", "typed_markers": 23},
                                                        {"sample": "Child-2026-118", "typed_markers": 23}])"));
    EXPECT_EQ(doc["markers_without_table"], nlohmann::json::array());
    const cli::Run bad = runProgram({"profiles", kSource + "/examples/trio.xlsx", "--data", kData});
    EXPECT_EQ(bad.status, 1);
}

} // namespace
} // namespace cli

namespace cli {
namespace {

// The rows of a batch run as "locus: father child formula LR PE", for comparing runs.
std::map<std::string, std::string> rowsOf(const nlohmann::json& doc)
{
    std::map<std::string, std::string> rows;
    for (const auto& row : doc["rows"]) {
        const std::string pe = row["pe"].is_null() ? "-" : std::string(row["pe"]);
        rows[row["locus"]] = std::string(row["father"]) + " " + std::string(row["child"]) + " "
                             + std::string(row["formula"]) + " " + std::string(row["lr"]) + " " + pe;
    }
    return rows;
}

nlohmann::json batchJson(const std::vector<std::string>& head, const std::vector<std::string>& tail,
                         int status = kExitOk)
{
    std::vector<std::string> args = head;
    args.insert(args.end(), tail.begin(), tail.end());
    args.insert(args.end(), {"--data", kData, "--format", "json"});
    const cli::Run r = runProgram(args);
    EXPECT_EQ(r.status, status) << r.err;
    return r.out.empty() ? nlohmann::json() : nlohmann::json::parse(r.out);
}

// A one-column cell whose microvariant comes first, in every spelling, is the genotype the same
// alleles give written with "/".
TEST(ExportCase, AMicrovariantCellReadsAsItsSlashSpelling)
{
    testsupport::TempDir dir;
    const std::vector<std::string> options{"--father", "F", "--child", "C", "--population", "black"};
    for (const char* minimum : {"off", "0,0069"}) {
        SCOPED_TRACE(minimum);
        std::vector<std::string> more = options;
        more.insert(more.end(), {"--min-frequency", minimum});
        std::ofstream(dir.path() / "slash.csv") << "Sample;Penta D;TH01;D21S11\nF;2,2/13;9,3/6;30,2/31\n"
                                                   "C;2,2/9;6/7;30,2/30\n";
        const auto expected = rowsOf(batchJson({"batch", (dir.path() / "slash.csv").string()}, more));
        for (const char* cells :
             {"F;2,2, 13;9,3, 6;30,2, 31\nC;2,2, 9;6, 7;30,2, 30\n", "F;2,2,13;9,3,6;30,2,31\nC;2,2,9;6,7;30,2,30\n",
              "F;13,2,2;6,9,3;31,30,2\nC;9,2,2;7,6;30,30,2\n"}) {
            std::ofstream(dir.path() / "commas.csv") << "Sample;Penta D;TH01;D21S11\n" << cells;
            const auto got = rowsOf(batchJson({"batch", (dir.path() / "commas.csv").string()}, more));
            ASSERT_EQ(got.size(), expected.size()) << cells;
            for (const auto& [locus, row] : expected) // the order of a cell's alleles may differ
                EXPECT_EQ(got.at(locus).substr(got.at(locus).find(' ', got.at(locus).find(' ') + 1)),
                          row.substr(row.find(' ', row.find(' ') + 1)))
                    << cells << locus;
        }
    }
}

// Calls the export marks as not evaluable keep every allele as read, get no PE, and read back
// from the saved workbook with the same verdicts.
TEST(ExportCase, WhatTheExportSaidSurvivesTheSavedWorkbook)
{
    testsupport::TempDir dir;
    const auto file = dir.path() / "run.txt";
    std::ofstream(file, std::ios::binary) << "Sample Name\tMarker\tAllele 1\tAllele 2\tAllele 3\n"
                                             "F\tvWA\t15\t17\t\nC\tvWA\t15\t16\t17\n"
                                             "F\tTH01\t9.33\t7\t\nC\tTH01\t6\t7\t\n"
                                             "F\tTPOX\t8\t11\t\nC\tTPOX\t8\t9\t\n";
    const auto saved = dir.path() / "saved.xlsx";
    const std::vector<std::string> options{"--population", "white", "--min-frequency", "0,0069"};
    const auto fromExport
        = batchJson({"batch", file.string(), "--father", "F", "--child", "C", "--output", saved.string()}, options,
                    kExitIncomplete);
    const std::map<std::string, std::string> rows = rowsOf(fromExport);
    EXPECT_EQ(rows.at("vWA"), "15/17 15/16/17 " + profiles::tooManyAllelesVerdict(results::Person::Child, 3) + "  -");
    EXPECT_EQ(rows.at("TH01"),
              "9,33/7 6/7 " + profiles::unrecognisedAlleleVerdict(results::Person::Father, "9,33") + "  -");
    EXPECT_NE(rows.at("TPOX").back(), '-');
    const auto readBack = batchJson({"batch", saved.string()}, options, kExitIncomplete);
    EXPECT_EQ(rowsOf(readBack), rows);
    EXPECT_EQ(readBack["cpi"], fromExport["cpi"]);
}

// "NA" is no call: the locus is untyped for that person, and a negative control of NA types nothing.
TEST(ExportCase, NaIsNoCall)
{
    testsupport::TempDir dir;
    const auto file = dir.path() / "run.txt";
    std::ofstream(file, std::ios::binary) << "Sample.Name\tMarker\tAllele.1\tAllele.2\n"
                                             "F\tvWA\t15\tNA\nC\tvWA\t15\t16\nNEG\tvWA\tNA\tNA\n"
                                             "F\tTH01\tNA\tNA\nC\tTH01\t6\t7\nNEG\tTH01\tNA\tNA\n";
    const auto doc = batchJson({"batch", file.string(), "--father", "F", "--child", "C"}, {"--population", "white"},
                               kExitIncomplete);
    const auto rows = rowsOf(doc);
    EXPECT_EQ(rows.at("vWA").substr(0, 17), "15/15 15/16 1/2p(");
    EXPECT_EQ(rows.at("TH01"), " 6/7 " + profiles::untypedVerdict(results::Person::Father) + "  -");
    const cli::Run listed = runProgram({"profiles", file.string(), "--data", kData, "--format", "csv"});
    EXPECT_EQ(listed.out, "sample,typed_markers\nF,1\nC,2\nNEG,0\n");
}

// Markers of the chosen samples left out are named with why, a probable misspelling with the
// locus meant, on standard error, in the saved workbook and in the report; so are the file's
// notes (here its last line without a line end).
TEST(ExportCase, MarkersLeftOutAndTheFilesNotesReachTheWorkbookAndTheReport)
{
    testsupport::TempDir dir;
    const auto file = dir.path() / "run.txt";
    std::ofstream(file, std::ios::binary) << "Sample Name\tMarker\tAllele 1\tAllele 2\n"
                                             "F\tvWA\t15\t17\nC\tvWA\t15\t16\nF\tTHO1\t6\t7\nC\tTHO1\t6\t9\n"
                                             "POS\tCSFIPO\t10\t12\nF\tTPOX\t8\t11\nC\tTPOX\t8\t9";
    const auto saved = dir.path() / "saved.xlsx";
    const auto pdf = dir.path() / "case.pdf";
    const cli::Run r = runProgram({"batch", file.string(), "--father", "F", "--child", "C", "--population", "white",
                                   "--data", kData, "--output", saved.string(), "--report", pdf.string()});
    const std::string leftOut = "Маркеры экспорта без таблицы частот в папке данных (не рассчитываются): THO1 "
                                "(вероятно, TH01 с опечаткой: буква O или I вместо цифры 0 или 1)";
    const std::string lastLine
        = "последняя строка файла (строка 8) без конца строки: проверьте, что файл записан полностью";
    EXPECT_NE(r.err.find(leftOut + "\n" + lastLine + "\n"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("CSFIPO"), std::string::npos) << "a marker of no chosen sample: " << r.err;

    const auto loaded
        = exchange::loadResultsWorkbook(saved, *automation::makeFileWorkbookReader(), text::NumberFormat(","));
    ASSERT_TRUE(loaded.ok) << loaded.error;
    EXPECT_EQ(loaded.notes, std::vector<std::string>()); // the lines are no locus rows
    EXPECT_EQ(loaded.exportLines,
              (std::vector<std::string>{"Экспорт генотипов: " + std::filesystem::absolute(file).string()
                                            + "; отец «F», ребенок «C»",
                                        "Экспорт генотипов: " + leftOut, "Экспорт генотипов: " + lastLine}));
    if (r.err.find("не составляет отчёты") != std::string::npos)
        return; // a build without reports
    const std::string text = testsupport::pdfText(pdf);
    EXPECT_NE(text.find("Экспорт генотипов: " + file.string()), std::string::npos) << text;
    EXPECT_NE(text.find("THO1 (вероятно, TH01"), std::string::npos) << text;
    EXPECT_NE(text.find("без конца строки"), std::string::npos) << text;
}

// A control typed twice with different calls: a case of other samples is evaluated, one that
// takes it is refused with the marker and both calls, and profiles lists it.
TEST(ExportCase, ASampleTypedTwiceDifferentlyRefusesOnlyItsCase)
{
    testsupport::TempDir dir;
    const auto file = dir.path() / "run.txt";
    std::ofstream(file, std::ios::binary) << "Sample Name\tMarker\tAllele 1\tAllele 2\n"
                                             "F\tvWA\t15\t17\nC\tvWA\t15\t16\nPOS\tvWA\t17\t18\nPOS\tvWA\t17\t19\n";
    const std::vector<std::string> options{"--population", "white"};
    batchJson({"batch", file.string(), "--father", "F", "--child", "C"}, options);
    const cli::Run refused = runProgram(
        {"batch", file.string(), "--father", "POS", "--child", "C", "--population", "white", "--data", kData});
    EXPECT_EQ(refused.status, kExitFailure);
    EXPECT_NE(refused.err.find("образец «POS» дан дважды с разными аллелями, маркер «vWA»: строка 4 — 17/18, "
                               "строка 5 — 17/19"),
              std::string::npos)
        << refused.err;
    const cli::Run listed = runProgram({"profiles", file.string(), "--data", kData});
    EXPECT_NE(listed.out.find("Образцы, данные дважды с разными аллелями (для дела не берутся): «POS»"),
              std::string::npos)
        << listed.out;
}

} // namespace
} // namespace cli
