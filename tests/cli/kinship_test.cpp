// SPDX-License-Identifier: GPL-3.0-or-later
// `paternity-index kinship` in process over the bundled data: the example relatives workbooks
// with their outputs and report, the refusals that name the cell or the argument, θ refused, the
// export route and the exit status of rows without an LR.
#include <fstream>

#include <gtest/gtest.h>

#include "automation/xlsxworkbookwriter.h"
#include "kinship/kinshiptexts.h"

#include "support/pdftext.h"
#include "support/programrun.h"
#include "support/tempdir.h"

namespace cli {
namespace {

using testsupport::pdfText;
using testsupport::squeezed;
using testsupport::TempDir;

const std::string kSource = PI_SOURCE_DIR;
const std::string kData = kSource + "/data";

std::string example(const std::string& name)
{
    return kSource + "/examples/" + name;
}

void writeBook(const std::filesystem::path& file, const std::vector<std::vector<std::string>>& values)
{
    automation::XlsxWorkbookWriter writer;
    writer.addWorksheet("Лист1");
    const int rows = static_cast<int>(values.size()), columns = static_cast<int>(values[0].size());
    writer.setTextFormat({1, 1, rows, columns});
    writer.setValues({1, 1, rows, columns}, values);
    writer.save(file);
}

TEST(KinshipCommand, TheExamplesGiveAnIndexEveryOutputAndTheReport)
{
    const TempDir dir("pi-kinship");
    for (const char* name : {"relatives-grandparents.xlsx", "relatives-brother.xlsx", "relatives-half-sibling.xlsx"}) {
        const auto pdf = dir.path() / "report.pdf";
        const auto book = dir.path() / "results.xlsx";
        const cli::Run run = runProgram({"kinship", example(name), "--population", "white", "--data", kData, "--format",
                                         "json", "--report", pdf.string(), "--output", book.string()});
        EXPECT_EQ(run.status, 0) << name << ": " << run.err;
        EXPECT_NE(run.out.find("\"cpi\": \"Индекс отцовства (Combined Paternity Index) CPI="), std::string::npos);
        EXPECT_NE(run.out.find("\"typed\": ["), std::string::npos);
        EXPECT_TRUE(std::filesystem::file_size(book) > 0);
        const std::string text = squeezed(pdfText(pdf));
        for (std::string_view part :
             {kinship::kHypothesisP, std::string_view("Отпечаток таблиц частот"), std::string_view("Эксперт")})
            EXPECT_NE(text.find(squeezed(std::string(part))), std::string::npos) << name << ": " << part;
    }
}

TEST(KinshipCommand, RefusalsNameTheCellOrTheArgument)
{
    const TempDir dir("pi-kinship");
    const auto book = dir.path() / "case.xlsx";
    struct Refusal {
        std::vector<std::string> header;
        std::string named;
    };
    const std::vector<Refusal> refusals = {
        {{"№", "Локус", "Ребенок", "Дядя"}, "D1"},
        {{"№", "Локус", "Ребенок", "Брат предполагаемого отца", "Брат предполагаемого отца"}, "E1"},
        {{"№", "Локус", "Ребенок", "Брат предполагаемого отца", "Мать ребенка предполагаемого отца 3"}, "E1"},
        {{"№", "Локус", "Мать", "Брат предполагаемого отца"}, std::string(kinship::kNoChild)},
        {{"№", "Локус", "Ребенок", "Мать"}, std::string(kinship::kNoRelative)},
        {{"№", "Locus", "Ребенок", "Брат предполагаемого отца"}, "B1"},
    };
    for (const Refusal& r : refusals) {
        std::vector<std::string> row{"1", "D3S1358"};
        row.resize(r.header.size(), "15/16");
        writeBook(book, {r.header, row});
        const cli::Run run = runProgram({"kinship", book.string(), "--population", "white", "--data", kData});
        EXPECT_EQ(run.status, 1) << r.named;
        EXPECT_NE(run.err.find(r.named), std::string::npos) << run.err;
    }
    const cli::Run theta = runProgram(
        {"kinship", example("relatives-brother.xlsx"), "--population", "white", "--data", kData, "--theta", "0,01"});
    EXPECT_EQ(theta.status, 1);
    EXPECT_NE(theta.err.find(kinship::kThetaRefused), std::string::npos);
}

TEST(KinshipCommand, AnExportsSamplesByRoleAndARowWithoutLr)
{
    const TempDir dir("pi-kinship");
    const auto file = dir.path() / "export.txt";
    std::ofstream(file) << "Sample Name\tMarker\tAllele 1\tAllele 2\n"
                           "CH\tD3S1358\t15\t16\nMO\tD3S1358\t16\t17\nBR\tD3S1358\t15\t18\n"
                           "CH\tvWA\t17\t18\nMO\tvWA\t17\t17\nBR\tvWA\t14\t14\n"
                           "CH\tFGA\t20\t22\nBR\tFGA\t21\t22\n";
    const std::vector<std::string> common
        = {"kinship", file.string(), "--population", "white", "--data", kData, "--format", "csv"};
    auto with = [&](std::vector<std::string> more) {
        std::vector<std::string> args = common;
        args.insert(args.end(), more.begin(), more.end());
        return runProgram(args);
    };
    // FGA: the mother was not typed there; the row is a duo. All three rows have an LR.
    const cli::Run ok = with({"--child", "CH", "--mother", "MO", "--person", "Брат предполагаемого отца 1=BR"});
    EXPECT_EQ(ok.status, 0) << ok.err;
    EXPECT_NE(ok.out.find("дуо: брат ПО 1"), std::string::npos) << ok.out;
    const cli::Run unknown = with({"--child", "CH", "--person", "Дядя=BR"});
    EXPECT_EQ(unknown.status, 1);
    EXPECT_NE(unknown.err.find("--person «Дядя=BR»"), std::string::npos) << unknown.err;
    const cli::Run missing = with({"--child", "CH", "--person", "Брат предполагаемого отца=XX"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("«XX»"), std::string::npos) << missing.err;
    // The child untyped at a locus: its row has no LR, the case ends with status 3.
    std::ofstream(file, std::ios::app) << "MO\tTH01\t6\t7\nBR\tTH01\t6\t9\n";
    const cli::Run partial = with({"--child", "CH", "--mother", "MO", "--person", "Брат предполагаемого отца 1=BR"});
    EXPECT_EQ(partial.status, 3) << partial.err;
    EXPECT_NE(partial.out.find(kinship::kChildUntyped), std::string::npos) << partial.out;
}

} // namespace
} // namespace cli
