// SPDX-License-Identifier: GPL-3.0-or-later
// The case report as a reader sees it: the PDF's text extracted with pdftotext, its pages counted
// with pdfinfo and its fonts listed with pdffonts (poppler-utils, an independent PDF reader).
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <regex>
#include <unistd.h>

#include <gtest/gtest.h>

#include "automation/workbook.h"
#include "engine/combinedindex.h"
#include "engine/enginetexts.h"
#include "exchange/genotypeworkbook.h"
#include "freqdb/locusloader.h"
#include "freqdb/tablesfingerprint.h"
#include "report/casereport.h"
#include "report/offscreengui.h"
#include "report/pdfpages.h"
#include "report/reportpdf.h"
#include "report/reporttexts.h"
#include "results/exclusionpowers.h"
#include "results/genotyperow.h"
#include "version/projectversion.h"

#include "support/pdftext.h"
#include "support/smallfolder.h"
#include "support/tempdir.h"

namespace report {
namespace {

const std::string kSource = PI_SOURCE_DIR;
const text::NumberFormat kFormat(",");

using testsupport::pdfPages;
using testsupport::pdfText;
using testsupport::shellOutput;
using testsupport::squeezed;

bool contains(const std::string& haystack, const std::string& needle)
{
    return squeezed(haystack).find(squeezed(needle)) != std::string::npos;
}

// A whole table row, its cells in order.
std::string rowText(const ReportRow& row)
{
    std::string text;
    for (const auto& cell : row)
        text += cell;
    return text;
}

// What the command line does with a genotype workbook: evaluate it over the bundled data, mark
// every row with an LR and combine them with the prior 0,5.
struct EvaluatedCase {
    freqdb::LocusTable table;
    results::ResultsGrid grid;
    engine::CombinedIndexResult combined;
};

EvaluatedCase evaluateExample(const std::string& name)
{
    const auto reader = automation::makeFileWorkbookReader();
    EvaluatedCase c;
    auto loaded
        = freqdb::LoadLocusTableFromFolder(kSource + "/data", freqdb::Population::UsCaucasians, *reader, kFormat);
    if (loaded.status != freqdb::LoadStatus::Loaded)
        throw std::runtime_error(loaded.message);
    c.table = std::move(loaded.table);
    auto evaluated = exchange::evaluateGenotypeWorkbook(kSource + "/examples/" + name, *reader, c.table, kFormat);
    if (!evaluated.ok)
        throw std::runtime_error(evaluated.error);
    c.grid = evaluated.grid;
    std::vector<engine::CombinedIndexRow> rows;
    for (int r = 1; r <= c.grid.ResultCount(); ++r) {
        if (!c.grid.cell(r, results::kColumnLr).empty())
            c.grid.setCell(r, results::kColumnMark, std::string(results::kMark));
        rows.push_back({c.grid.cell(r, 0), c.grid.cell(r, results::kColumnLr), c.grid.cell(r, results::kColumnMark)});
    }
    c.combined = engine::CombineIndex(rows, "0,5", kFormat);
    return c;
}

CaseInputs inputsOf(const EvaluatedCase& c, const std::filesystem::path& source = {})
{
    CaseInputs in;
    in.grid = &c.grid;
    in.cpiLine = c.combined.cpiText;
    in.probabilityLine = c.combined.probabilityText;
    in.population = freqdb::Population::UsCaucasians;
    in.table = &c.table;
    in.dataFolder = kSource + "/data";
    in.source = source;
    in.sourceLoadedAt = "08.12.2026 09:15";
    in.format = &kFormat;
    return in;
}

class ExampleReport : public ::testing::TestWithParam<const char*> {};

TEST_P(ExampleReport, HoldsEveryRowTheResultLinesThePriorsAndTheFingerprint)
{
    const EvaluatedCase c = evaluateExample(GetParam());
    const CaseReport report = describeCase(inputsOf(c, kSource + "/examples/" + GetParam()), "08.12.2026 10:30");
    testsupport::TempDir dir;
    const auto pdf = dir / "report.pdf";
    writeReportPdf(report, pdf);

    const std::string text = pdfText(pdf);
    EXPECT_TRUE(contains(text, std::string(kTitle)));
    EXPECT_TRUE(contains(text, "Европеоиды США"));
    EXPECT_TRUE(contains(text, std::string(GetParam())));
    ASSERT_EQ(report.rows.size(), c.grid.ResultCount());
    for (const ReportRow& row : report.rows)
        EXPECT_TRUE(contains(text, rowText(row))) << rowText(row);
    EXPECT_TRUE(contains(text, c.combined.cpiText)) << c.combined.cpiText;
    EXPECT_TRUE(contains(text, c.combined.probabilityText)) << c.combined.probabilityText;
    // The power of exclusion: a column of the table (in the rows above) and the CPE beside the CPI.
    const auto powers = results::exclusionPowers(c.table, c.grid, kFormat);
    ASSERT_FALSE(powers.combined.empty());
    EXPECT_EQ(report.cpeLine, powers.line());
    EXPECT_EQ(report.rows.front().back(), powers.rows.front());
    EXPECT_TRUE(contains(text, powers.line())) << powers.line();
    ASSERT_EQ(report.priorLines.size(), 3u);
    for (const char* prior : {"pp=0,1)", "pp=0,5)", "pp=0,9)"}) {
        bool found = false;
        for (const std::string& line : report.priorLines)
            found = found || (line.ends_with(prior) && contains(text, line));
        EXPECT_TRUE(found) << prior;
    }
    EXPECT_EQ(report.fingerprint.size(), 16u);
    EXPECT_TRUE(contains(text, report.fingerprint));
    EXPECT_TRUE(contains(text, "Страница 1 из 1"));
    // The version as --version and validate print it.
    EXPECT_EQ(report.program, std::string("Paternity Index, версия ") + version::kVersion);
    EXPECT_TRUE(contains(text, report.program)) << report.program;

    // The face is embedded, so the Cyrillic reads the same on any machine.
    const std::string fonts = shellOutput("pdffonts " + testsupport::quotedPath(pdf));
    EXPECT_TRUE(std::regex_search(fonts, std::regex("DejaVuSans\\S*\\s.*\\byes\\b"))) << fonts;
}

INSTANTIATE_TEST_SUITE_P(Examples, ExampleReport, ::testing::Values("trio.xlsx", "duo.xlsx", "exclusion.xlsx"),
                         [](const auto& info) {
                             const std::string name = info.param;
                             return name.substr(0, name.find('.'));
                         });

// 99 rows over Cyrillic locus names and microvariant alleles, both verdicts, and a text longer
// than its column: several pages, each numbered and each with the table's header.
TEST(LongReport, EveryRowOnNumberedPagesUnderARepeatedHeader)
{
    freqdb::LocusTable table;
    table.setLocusCount(1);
    freqdb::LocusRecord locus;
    locus.Name = "ТН01-Ж";
    locus.AlleleCount = 5;
    const std::pair<const char*, long double> alleles[]
        = {{"6", 0.2L}, {"7", 0.15L}, {"9,3", 0.3L}, {"31,2", 0.1L}, {"10", 0.05L}};
    for (int a = 0; a < 5; ++a) {
        locus.Labels[a + 1] = alleles[a].first;
        locus.Frequencies[a + 1] = alleles[a].second;
    }
    table.replaceRecord(1, locus);
    results::ResultsGrid grid;
    const results::RowGenotype genotypes[] = {{"7", "10", "9,3", "7", "9,3", "6"},
                                              {"Нет", "Нет", "31,2", "9,3", "31,2", "31,2"},
                                              {"7", "7", "6", "7", "9,3", "10"},
                                              {"6", "6", "7", "10", "9,3", "31,2"}};
    for (int r = 1; r <= results::kLastDataRow; ++r) {
        const results::RowGenotype& g = genotypes[r % 4];
        const int row = grid.AppendRow(locus.Name, g);
        grid.applyOutcome(row, results::evaluateGenotypeRow(table, locus.Name, g, kFormat));
        if (!grid.cell(row, results::kColumnLr).empty())
            grid.ToggleMark(row);
    }
    grid.setCell(40, results::kColumnLocus, "ОченьДлинноеИмяЛокусаБезПробелов");
    std::vector<engine::CombinedIndexRow> rows;
    for (int r = 1; r <= grid.ResultCount(); ++r)
        rows.push_back({grid.cell(r, 0), grid.cell(r, results::kColumnLr), grid.cell(r, results::kColumnMark)});
    const auto combined = engine::CombineIndex(rows, "0,5", kFormat);

    CaseInputs in;
    in.grid = &grid;
    in.cpiLine = combined.cpiText;
    in.probabilityLine = combined.probabilityText;
    in.population = freqdb::Population::Russians;
    in.table = &table;
    in.dataFolder = "/srv/лаборатория/data";
    in.format = &kFormat;
    freqdb::LabSettings settings;
    freqdb::applyMutationSetting(settings, "proportional:0,0025");
    table.setSettings(settings);
    const CaseReport report = describeCase(in, "08.12.2026 10:30");
    EXPECT_EQ(report.counts.loci, 99);
    EXPECT_GT(report.counts.paternityExcluded, 0);
    EXPECT_GT(report.counts.maternityExcluded, 0);

    testsupport::TempDir dir;
    const auto pdf = dir / "отчёт.pdf";
    writeReportPdf(report, pdf);
    const int pages = pdfPages(pdf);
    ASSERT_GE(pages, 3);
    const std::string text = pdfText(pdf);
    for (const ReportRow& row : report.rows)
        EXPECT_TRUE(contains(text, rowText(row))) << rowText(row);
    for (const std::string& line :
         {combined.cpiText, combined.probabilityText, std::string("Русские"), std::string("/srv/лаборатория/data"),
          std::string("пропорциональная, μ=0,0025"), std::string("Локусов с «Отцовство исключается»:")})
        EXPECT_TRUE(contains(text, line)) << line;
    for (const std::string& line : report.priorLines)
        EXPECT_TRUE(contains(text, line)) << line;
    const std::string header = rowText(report.header);
    for (int p = 1; p <= pages; ++p) {
        const std::string page = pdfText(pdf, p, p);
        EXPECT_TRUE(contains(page, "Страница " + std::to_string(p) + " из " + std::to_string(pages))) << p;
        if (p < pages || contains(page, "ТН01-Ж")) {
            EXPECT_TRUE(contains(page, header)) << "page " << p;
        }
    }
}

// θ is stated among the lab's settings when on, and only then.
TEST(ReportSettings, ThetaIsStatedWhenOn)
{
    EvaluatedCase c = evaluateExample("duo.xlsx");
    const auto thetaLines = [&] {
        int found = 0;
        for (const ReportSetting& s : describeCase(inputsOf(c), "08.12.2026 10:30").labSettings)
            found += s.value == "θ=0,02" && s.label.find("Balding") != std::string::npos;
        return found;
    };
    EXPECT_EQ(thetaLines(), 0);
    EXPECT_EQ(describeCase(inputsOf(c), "08.12.2026 10:30").thetaNote, "");
    freqdb::LabSettings settings;
    freqdb::applyThetaSetting(settings, "0,02");
    c.table.setSettings(settings);
    EXPECT_EQ(thetaLines(), 1);
    // With θ the page says what p in the formulas stands for, so no reader recomputes 1/2p from
    // the table's frequency shown beside it.
    EXPECT_EQ(describeCase(inputsOf(c), "08.12.2026 10:30").thetaNote, freqdb::kThetaNote);
}

// The result fields are reported only for the rows they were computed from.
TEST(ResultLines, TakenOnlyWhenTheyBelongToTheRows)
{
    const EvaluatedCase c = evaluateExample("trio.xlsx");
    CaseInputs in = inputsOf(c);
    EXPECT_EQ(describeCase(in, "").cpiLine, c.combined.cpiText);

    results::ResultsGrid remarked = c.grid;
    remarked.ToggleMark(2); // the index was formed before this mark changed
    in.grid = &remarked;
    CaseReport stale = describeCase(in, "");
    EXPECT_EQ(stale.cpiLine, "");
    EXPECT_EQ(stale.probabilityLine, "");
    EXPECT_TRUE(stale.priorLines.empty());

    // A marked row that lost its LR (its locus is missing from a newly chosen population) keeps its
    // mark but does not enter the index: it is not counted among the rows marked for the CPI.
    results::ResultsGrid unevaluated = c.grid;
    engine::LocusOutcome notLoaded;
    notLoaded.formula = results::locusNotLoadedVerdict("D3S1358");
    unevaluated.applyOutcome(2, notLoaded);
    ASSERT_TRUE(unevaluated.isMarked(2));
    EXPECT_EQ(countRows(unevaluated).marked, countRows(c.grid).marked - 1);

    in.grid = &c.grid;
    in.probabilityLine = "Вероятность отцовства P=50,0000% (априор.вероятность pp=0,5)"; // from other rows
    EXPECT_EQ(describeCase(in, "").cpiLine, "");

    // Prior 0,9 typed by the operator: the line stands as shown, the report adds its three priors.
    std::vector<engine::CombinedIndexRow> rows;
    for (int r = 1; r <= c.grid.ResultCount(); ++r)
        rows.push_back({c.grid.cell(r, 0), c.grid.cell(r, results::kColumnLr), c.grid.cell(r, results::kColumnMark)});
    in.probabilityLine = engine::CombineIndex(rows, "0,9", kFormat).probabilityText;
    const CaseReport ninety = describeCase(in, "");
    EXPECT_EQ(ninety.probabilityLine, in.probabilityLine);
    ASSERT_EQ(ninety.priorLines.size(), 3u);
    EXPECT_EQ(ninety.priorLines[2], in.probabilityLine);

    // A prior of 1 beside an exclusion: the probability has no value, and the report says so; a
    // probability line merely missing beside a CPI above 0 is not read as that.
    const EvaluatedCase excluded = evaluateExample("exclusion.xlsx");
    CaseInputs atOne = inputsOf(excluded);
    atOne.probabilityLine.clear();
    EXPECT_EQ(describeCase(atOne, "").probabilityLine, engine::kUndefinedProbability);
    in.probabilityLine.clear();
    EXPECT_EQ(describeCase(in, "").probabilityLine, "");

    // An empty table still gives a whole report, saying there are no rows and no index.
    const results::ResultsGrid empty;
    in.grid = &empty;
    testsupport::TempDir dir;
    writeReportPdf(describeCase(in, "08.12.2026 10:30"), dir / "empty.pdf");
    const std::string text = pdfText(dir / "empty.pdf");
    for (const std::string_view line : {kNoRows, kNotCombined, kSignature, std::string_view("Страница 1 из 1")})
        EXPECT_TRUE(contains(text, std::string(line))) << line;
}

// The fingerprint's scheme is part of every report a lab has signed: a change of it would make
// old and new reports of the same database disagree. The value was computed independently:
// printf 'D1\n\t9,3\t0.25\n\t10\t0.75\n' | sha256sum
TEST(TablesFingerprint, KnownValueAndEveryFrequencyCounts)
{
    freqdb::LocusTable table;
    table.setLocusCount(1);
    freqdb::LocusRecord locus;
    locus.Name = "D1";
    locus.AlleleCount = 2;
    locus.Labels[1] = "9,3";
    locus.Frequencies[1] = 0.25L;
    locus.Labels[2] = "10";
    locus.Frequencies[2] = 0.75L;
    table.replaceRecord(1, locus);
    EXPECT_EQ(fingerprintText(table), "D1\n\t9,3\t0.25\n\t10\t0.75\n");
    EXPECT_EQ(tablesFingerprint(table), "659b70d441519925");

    locus.Frequencies[2] = 0.7500000001L;
    table.replaceRecord(1, locus);
    EXPECT_NE(tablesFingerprint(table), "659b70d441519925");
}

TEST(WritingTheReport, AnUnwritablePlaceLeavesNoFile)
{
    const EvaluatedCase c = evaluateExample("duo.xlsx");
    const CaseReport report = describeCase(inputsOf(c), "");
    testsupport::TempDir dir;
    EXPECT_THROW(writeReportPdf(report, dir / "нет-папки/отчёт.pdf"), ReportError);
    EXPECT_THROW(writeReportPdf(report, dir.path()), ReportError);
    std::filesystem::create_directory(dir / "закрыта");
    std::filesystem::permissions(dir / "закрыта",
                                 std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    if (::access((dir / "закрыта").c_str(), W_OK) != 0) { // root writes anywhere
        try {
            writeReportPdf(report, dir / "закрыта/отчёт.pdf");
            ADD_FAILURE() << "no error";
        } catch (const ReportError& e) {
            EXPECT_NE(std::string(e.what()).find("отчёт.pdf"), std::string::npos) << e.what();
        }
        EXPECT_TRUE(std::filesystem::is_empty(dir / "закрыта"));
    }
}

// A full disk is named as such ("ошибка записи (Unknown error)" before), and leaves no file.
TEST(WritingTheReport, AFullDiskIsNamedAndLeavesNoFile)
{
    testsupport::TempDir dir;
    const std::filesystem::path folder = dir / "disk";
    std::filesystem::create_directory(folder);
    const auto wrong = testsupport::inSmallFolder(folder, 4096, {}, [&]() -> std::string {
        try {
            writePdfFile(
                folder / "отчёт.pdf", [] { return QByteArray(40000, '%'); },
                [](const std::string& reason) { return "Отчёт не записан: " + reason; });
            return "no error";
        } catch (const ReportError& e) {
            const std::string message = e.what();
            if (message.find(std::strerror(ENOSPC)) == std::string::npos)
                return message;
        }
        for (const auto& entry : std::filesystem::directory_iterator(folder))
            if (entry.path().filename() != ".filler")
                return "left behind: " + entry.path().filename().string();
        return "";
    });
    if (!wrong)
        GTEST_SKIP() << "no mount namespace of a child's own here";
    EXPECT_EQ(*wrong, "");
}

} // namespace
} // namespace report

int main(int argc, char** argv)
{
    report::OffscreenGui gui;
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
