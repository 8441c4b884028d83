// SPDX-License-Identifier: GPL-3.0-or-later
// The command line in process: arguments, exit codes, the three output formats over the bundled
// data and the example cases, and --output.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "automation/workbook.h"
#include "automation/xlsxworkbookwriter.h"
#include "cli/batchreport.h"
#include "cli/commandline.h"
#include "exchange/resultsworkbookreader.h"
#include "freqdb/loadmessages.h"
#include "results/exclusionpowers.h"
#include "version/projectversion.h"

#include "support/pdftext.h"
#include "support/programrun.h"
#include "support/tempdir.h"

namespace cli {
namespace {

const std::string kSource = PI_SOURCE_DIR;
const std::string kData = kSource + "/data";

// The expected texts carry the decimal comma of the operators' locale, whatever the machine's.
const bool kRussianLocale = setenv("LC_ALL", "ru_RU.UTF-8", 1) == 0;

Run batch(const std::string& workbook, std::vector<std::string> more = {})
{
    std::vector<std::string> args = {"batch", workbook, "--population", "white", "--data", kData};
    args.insert(args.end(), more.begin(), more.end());
    return runProgram(args);
}

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        out.push_back(line);
    return out;
}

using TempDir = testsupport::TempDir;

// The columns every line of a CSV summary ends with: what the run was computed with.
constexpr const char* kIdentityColumns = ",population,fingerprint,prior,mutation_model,min_allele_frequency,theta";

// A line of a CSV summary without those six columns: the case's own fields.
std::string caseColumns(std::string line)
{
    for (int i = 0; i < 6 && !line.empty(); ++i) {
        // A field ends quoted when it holds a comma ("0,5"); these never hold a quote.
        const std::size_t open = line.back() == '"' ? line.rfind('"', line.size() - 2) : line.size();
        line.erase(line.rfind(',', open - 1));
    }
    return line;
}

struct UsageCase {
    const char* name;
    std::vector<std::string> args;
    std::string message; // part of the error text
};

class UsageErrors : public ::testing::TestWithParam<UsageCase> {};

TEST_P(UsageErrors, ExitTwoWithTheReasonAndTheUsageOnStderr)
{
    const auto r = runProgram(GetParam().args);
    EXPECT_EQ(r.status, kExitUsage);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find(GetParam().message), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("paternity-index batch GENOTYPES"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, UsageErrors,
    ::testing::Values(
        UsageCase{"NoArguments", {}, "Не указана команда"},
        UsageCase{"UnknownCommand", {"run"}, "Неизвестная команда «run»"},
        UsageCase{"NoWorkbook", {"batch", "--population", "white"}, "Не указана книга генотипов"},
        UsageCase{"NoPopulation", {"batch", "a.xlsx"}, "Не указана популяция"},
        UsageCase{"UnknownPopulation", {"batch", "a.xlsx", "--population", "other"}, "rus, white или black"},
        UsageCase{"UnknownFormat", {"batch", "a.xlsx", "--population", "rus", "--format", "xml"}, "text, csv или json"},
        UsageCase{"UnknownOption",
                  {"batch", "a.xlsx", "--population", "rus", "--fast"},
                  "Неизвестный параметр «--fast»"},
        UsageCase{"OptionWithoutValue", {"batch", "a.xlsx", "--population"}, "нужно значение"},
        UsageCase{"OutputAsXls",
                  {"batch", "a.xls", "--population", "rus", "--output", "a.xls"},
                  "оканчиваться на .xlsx"},
        UsageCase{"OutputAsOds", {"batch", "a.xlsx", "--population", "rus", "--output=r.ods"}, "оканчиваться на .xlsx"},
        UsageCase{"OutputWithoutExtension",
                  {"batch", "a.xlsx", "--population", "rus", "--output", "results"},
                  "оканчиваться на .xlsx"},
        UsageCase{"ReportAsXlsx",
                  {"batch", "a.xlsx", "--population", "rus", "--report", "a.xlsx"},
                  "оканчиваться на .pdf, а не «a.xlsx»"},
        UsageCase{"OptionAtTheEndWithoutValue", {"batch", "a.xlsx", "--population=rus", "--data"}, "--data нужно"},
        UsageCase{"PriorNoNumber", {"batch", "a.xlsx", "--population", "rus", "--prior", "0,9x"}, "«0,9x»"},
        UsageCase{"PriorAboveOne", {"batch", "a.xlsx", "--population", "rus", "--prior=1.5"}, "от 0 до 1, а не «1.5»"},
        UsageCase{"PriorBelowZero", {"batch", "a.xlsx", "--population", "rus", "--prior", "-0,1"}, "«-0,1»"},
        UsageCase{"PriorWithBothSeparators", {"batch", "a.xlsx", "--population", "rus", "--prior", "0,5.1"}, "«0,5.1»"},
        UsageCase{"OutputForTwoCases",
                  {"batch", "a.xlsx", "b.xlsx", "--population", "rus", "--output", "r.xlsx"},
                  "--output-dir"},
        UsageCase{"OutputAndOutputDir",
                  {"batch", "a.xlsx", "--population", "rus", "--output", "r.xlsx", "--output-dir", "out"},
                  "вместе не указываются"},
        UsageCase{"ReportAndReportDir",
                  {"batch", "a.xlsx", "--population", "rus", "--report", "r.pdf", "--report-dir", "reports"},
                  "--report и --report-dir вместе не указываются"},
        // A one-case file beside a folder option, or for a folder of cases, would not be written.
        UsageCase{"OutputWithReportDir",
                  {"batch", "a.xlsx", "--population", "rus", "--output", "r.xlsx", "--report-dir", "reports"},
                  "--output и --report-dir вместе не указываются"},
        UsageCase{"ReportWithOutputDir",
                  {"batch", "a.xlsx", "--population", "rus", "--report", "r.pdf", "--output-dir", "out"},
                  "--report и --output-dir вместе не указываются"},
        UsageCase{"OutputForAFolder",
                  {"batch", ".", "--population", "rus", "--output", "r.xlsx"},
                  "«.» - папка; для папки - --output-dir"},
        UsageCase{"ReportForAFolder",
                  {"batch", ".", "--population", "rus", "--report", "r.pdf"},
                  "«.» - папка; для папки - --report-dir"},
        UsageCase{"OptionBeforeTheCommand",
                  {"--population", "rus", "batch", "a.xlsx"},
                  "Неизвестный параметр «--population»"},
        UsageCase{"MutationRateOutOfRange",
                  {"batch", "a.xlsx", "--population", "rus", "--mutation", "proportional:2"},
                  "--mutation: частота мутаций «2»"},
        UsageCase{"UnknownMutationModel",
                  {"batch", "a.xlsx", "--population", "rus", "--mutation=stepwise"},
                  "off или proportional"},
        UsageCase{"MinimumFrequencyNotANumber",
                  {"batch", "a.xlsx", "--population", "rus", "--min-frequency", "5/2N"},
                  "--min-frequency: минимальная частота"},
        UsageCase{"ThetaAsPercent", {"batch", "a.xlsx", "--population", "rus", "--theta", "1%"}, "--theta: θ"},
        UsageCase{"ThetaWithMutation",
                  {"batch", "a.xlsx", "--population", "rus", "--mutation", "proportional", "--theta=0.01"},
                  "вместе не применяются"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CommandLine, HelpAndVersion)
{
    for (const char* help : {"--help", "-h"}) {
        const auto r = runProgram({help});
        EXPECT_EQ(r.status, kExitOk);
        EXPECT_NE(r.out.find("--population rus|white|black"), std::string::npos);
    }
    EXPECT_EQ(runProgram({"batch", "--help"}).status, kExitOk);
    const auto v = runProgram({"--version"});
    EXPECT_EQ(v.status, kExitOk);
    EXPECT_EQ(v.out, std::string("paternity-index ") + version::kVersion + "\n");
}

// "--" ends the options: what follows is a genotype workbook, whatever its name looks like; an
// option given twice takes its last value; the results workbook is .xlsx in any case of letters.
TEST(CommandLine, ArgumentsReachTheBatchAsWritten)
{
    const auto dashed
        = runProgram({"batch", "--population", "white", "--population", "black", "--data", kData, "--", "--case.xlsx"});
    EXPECT_EQ(dashed.status, kExitFailure) << dashed.err;
    EXPECT_NE(dashed.err.find("--case.xlsx"), std::string::npos) << dashed.err;
    EXPECT_EQ(runProgram({"batch", "--population", "white", "--"}).status, kExitUsage) << "no workbook after --";

    TempDir dir;
    const auto upper = dir.path() / "ДЕЛО.XLSX";
    const auto r = batch(kSource + "/examples/duo.xlsx", {"--output=" + upper.string(), "--format", "csv"});
    ASSERT_EQ(r.status, kExitOk) << r.err;
    EXPECT_TRUE(std::filesystem::exists(upper));
}

// A report lost on the way out (a full disk, a closed descriptor) is a failure, not a success.
TEST(CommandLine, OutputThatCannotBeWrittenExitsOne)
{
    const std::vector<std::vector<std::string>> cases
        = {{"--help"},
           {"--version"},
           {"batch", kSource + "/examples/duo.xlsx", "--population", "white", "--data", kData, "--format", "json"}};
    for (auto args : cases) {
        args.insert(args.begin(), "paternity-index");
        std::vector<char*> argv;
        for (auto& a : args)
            argv.push_back(a.data());
        std::ostream lost(nullptr); // every write fails
        std::ostringstream err;
        EXPECT_EQ(runCommandLine(static_cast<int>(argv.size()), argv.data(), lost, err), kExitFailure) << args[1];
        EXPECT_NE(err.str().find("Не удалось вывести результаты"), std::string::npos) << err.str();
    }
}

TEST(CommandLine, UnreadableWorkbookOrDataExitsOneWithTheWindowsMessage)
{
    const auto missing = batch("/no/such/case.xlsx");
    EXPECT_EQ(missing.status, kExitFailure);
    EXPECT_EQ(missing.out, "");
    EXPECT_EQ(missing.err.rfind(std::string(freqdb::kReadFailed) + "\n", 0), 0u) << missing.err;
    EXPECT_NE(missing.err.find("/no/such/case.xlsx"), std::string::npos);

    TempDir empty;
    const auto noData = runProgram(
        {"batch", kSource + "/examples/trio.xlsx", "--population", "rus", "--data", empty.path().string()});
    EXPECT_EQ(noData.status, kExitFailure);
    EXPECT_EQ(noData.err.rfind(std::string(freqdb::kFilesNotFound), 0), 0u) << noData.err;
}

TEST(CommandLine, ExclusionCaseInJson)
{
    const auto r = batch(kSource + "/examples/exclusion.xlsx", {"--format", "json"});
    ASSERT_EQ(r.status, kExitOk) << r.err;
    EXPECT_EQ(r.out.rfind("{\n  \"population\": \"white\",\n  \"rows\": [\n    {\"row\": \"1\", \"locus\": "
                          "\"D3S1358\", \"father\": \"14/15\", \"child\": \"16/17\", \"mother\": \"17/18\", "
                          "\"formula\": \"Отцовство исключается\", \"freq1\": \"\", \"freq2\": \"\", \"lr\": \"0\", "
                          "\"pe\": \"0,5803\"},",
                          0),
              0u)
        << r.out;
    EXPECT_NE(r.out.find("\"cpi\": \"Индекс отцовства (Combined Paternity Index) CPI=0,0\""), std::string::npos);
    EXPECT_NE(r.out.find("\"probability\": \"Вероятность отцовства P=0,0000% (априор.вероятность pp=0,5)\""),
              std::string::npos);
    std::size_t exclusions = 0;
    for (std::size_t p = 0; (p = r.out.find("Отцовство исключается", p)) != std::string::npos; ++p)
        ++exclusions;
    EXPECT_EQ(exclusions, 4u);
}

TEST(CommandLine, JsonIsValidAndHasTheDocumentedShape)
{
    if (std::system("/usr/bin/python3 -c 'import json' 2>/dev/null") != 0)
        GTEST_SKIP() << "/usr/bin/python3 is not installed";
    TempDir dir;
    for (const char* example : {"trio", "duo", "exclusion"}) {
        const auto r = batch(kSource + "/examples/" + example + ".xlsx", {"--format", "json"});
        ASSERT_EQ(r.status, kExitOk) << r.err;
        const auto file = dir.path() / "out.json";
        std::ofstream(file) << r.out;
        const std::string check
            = "/usr/bin/python3 -c 'import json,sys; d=json.load(open(sys.argv[1])); "
              "assert list(d)==[\"population\",\"rows\",\"cpi\",\"probability\",\"cpe\"]; "
              "assert "
              "all(list(x)==[\"row\",\"locus\",\"father\",\"child\",\"mother\",\"formula\",\"freq1\",\"freq2\",\"lr\","
              "\"pe\"]"
              " and all(isinstance(v,str) for v in x.values()) for x in d[\"rows\"]); "
              "assert len(d[\"rows\"])>=10' '"
              + file.string() + "'";
        EXPECT_EQ(std::system(check.c_str()), 0) << example << ":\n" << r.out;
    }
}

TEST(CommandLine, TrioAndDuoGiveAnIndexForEveryLocus)
{
    for (const char* example : {"trio", "duo"}) {
        const auto r = batch(kSource + "/examples/" + example + ".xlsx", {"--format", "csv"});
        ASSERT_EQ(r.status, kExitOk) << r.err;
        const auto rows = lines(r.out);
        ASSERT_GE(rows.size(), 14u);
        EXPECT_EQ(rows[0], "row,locus,father,child,mother,formula,freq1,freq2,lr,mark,pe");
        for (std::size_t i = 1; i < rows.size(); ++i) {
            EXPECT_EQ(rows[i].find("исключается"), std::string::npos) << rows[i];
            EXPECT_NE(rows[i].find(",++,\"0,"), std::string::npos) << "every row with an LR is marked: " << rows[i];
        }
        // The two result lines go to stderr in csv mode; the CPI of a consistent case is large.
        EXPECT_NE(r.err.find("CPI="), std::string::npos);
        EXPECT_EQ(r.err.find("CPI=0,0"), std::string::npos);
    }
}

TEST(CommandLine, TextTableAndResultLines)
{
    const auto r = batch(kSource + "/examples/duo.xlsx", {"--prior", "0,9"});
    ASSERT_EQ(r.status, kExitOk) << r.err;
    const auto out = lines(r.out);
    ASSERT_GE(out.size(), 4u);
    EXPECT_EQ(out[0].rfind("№", 0), 0u);
    EXPECT_NE(out[1].find("D3S1358"), std::string::npos);
    EXPECT_EQ(out[out.size() - 3].rfind("Индекс отцовства (Combined Paternity Index) CPI=", 0), 0u);
    EXPECT_NE(out[out.size() - 2].find("pp=0,9)"), std::string::npos);
    EXPECT_EQ(out.back().rfind(results::kCpePrefix, 0), 0u);
}

// The prior is read with a comma or a point whatever the locale, and written with the locale's.
TEST(CommandLine, PriorWithCommaOrPoint)
{
    for (const char* prior : {"0,9", "0.9", "0.90"}) {
        const auto r = batch(kSource + "/examples/duo.xlsx", {"--prior", prior, "--format", "json"});
        ASSERT_EQ(r.status, kExitOk) << r.err;
        EXPECT_NE(r.out.find("pp=0,9"), std::string::npos) << prior;
        EXPECT_EQ(r.err, "");
    }
}

TEST(CommandLine, BadRowsShowTheirVerdictAndStayOutOfTheIndexAndNoIndexIsAFailure)
{
    TempDir dir;
    const auto file = dir.path() / "bad.xlsx";
    automation::XlsxWorkbookWriter writer;
    writer.addWorksheet("Лист1");
    writer.setValues({1, 1, 6, 5}, {{"№", "Локус", "Отец", "Ребенок", "Мать"},
                                    {"1", "D99", "15/16", "15/17", "17/18"},
                                    {"2", "D3S1358", "15/16", "15/17", "17/18"},
                                    {"", "a"},
                                    {"", "b"},
                                    {"", "c"}});
    writer.save(file);
    // A row without an index makes the case incomplete: status 3, the row named on stderr.
    const auto r = batch(file.string(), {"--format", "csv"});
    ASSERT_EQ(r.status, kExitIncomplete) << r.err;
    EXPECT_NE(r.err.find("bad.xlsx: неполный расчет: не рассчитано строк: 1 (№1 «Локус D99 не загружен»)"),
              std::string::npos)
        << r.err;
    const auto rows = lines(r.out);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[1], "1,D99,15/16,15/17,17/18,Локус D99 не загружен,,,,,");
    EXPECT_EQ(rows[2].rfind("2,D3S1358,15/16,15/17,17/18,1/2p(15),\"p(15)=", 0), 0u) << rows[2];

    // No row with an LR: the rows are still shown, but there is no index and the run fails, alone
    // and in an archive run.
    const auto none = dir.path() / "none.xlsx";
    automation::XlsxWorkbookWriter noIndexWriter;
    noIndexWriter.addWorksheet("Лист1");
    noIndexWriter.setValues({1, 1, 5, 5}, {{"№", "Локус", "Отец", "Ребенок", "Мать"},
                                           {"1", "D99", "15/16", "15/17", "17/18"},
                                           {"", "a"},
                                           {"", "b"},
                                           {"", "c"}});
    noIndexWriter.save(none);
    const auto alone = batch(none.string(), {"--format", "csv"});
    EXPECT_EQ(alone.status, kExitFailure);
    EXPECT_EQ(lines(alone.out).size(), 2u) << alone.out;
    EXPECT_NE(alone.err.find("none.xlsx: ни в одной строке нет LR"), std::string::npos) << alone.err;
    const auto run = batch(none.string(), {file.string(), "--output-dir", dir.path().string(), "--format", "csv"});
    EXPECT_EQ(run.status, kExitFailure);
    const auto summary = lines(run.out);
    ASSERT_EQ(summary.size(), 3u) << run.out;
    EXPECT_TRUE(caseColumns(summary[1]).ends_with(",ни в одной строке нет LR: CPI не рассчитан,1,0,"))
        << summary[1]; // no CPE
    EXPECT_NE(summary[2].find(",неполный расчет: не рассчитано строк: 1 (№1 «Локус D99 не загружен»),1,0,"),
              std::string::npos)
        << summary[2];
}

// Cells that could not be split show as they were read, not as labels joined by "/".
TEST(CommandLine, UnsplitGenotypeCellsShowAsRead)
{
    TempDir dir;
    const auto file = dir.path() / "unsplit.xlsx";
    automation::XlsxWorkbookWriter writer;
    writer.addWorksheet("Лист1");
    writer.setValues({1, 1, 6, 5}, {{"№", "Локус", "Отец", "Ребенок", "Мать"},
                                    {"1", "D3S1358", "15/16", "15/17", "17/18"},
                                    {"2", "D3S1358", "2122", "15/17", "/7"},
                                    {"", "a"},
                                    {"", "b"},
                                    {"", "c"}});
    writer.save(file);
    const auto rows = lines(batch(file.string(), {"--format", "csv"}).out);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[2].rfind("2,D3S1358,2122,15/17,/7,", 0), 0u) << rows[2];
}

TEST(CommandLine, OutputWritesTheResultsWorkbookWithTheMarks)
{
    TempDir dir;
    const auto file = dir.path() / "результаты.xlsx";
    const auto r = batch(kSource + "/examples/exclusion.xlsx", {"--output", file.string(), "--format", "json"});
    ASSERT_EQ(r.status, kExitOk) << r.err;
    const auto loaded
        = exchange::loadResultsWorkbook(file, *automation::makeFileWorkbookReader(), text::NumberFormat(","));
    ASSERT_TRUE(loaded.ok) << loaded.error;
    EXPECT_EQ(loaded.grid.ResultCount(), 10);
    for (int row = 1; row <= 10; ++row)
        EXPECT_EQ(loaded.grid.cell(row, 6), loaded.grid.cell(row, 5).empty() ? "" : "++") << row;

    const auto failed = batch(kSource + "/examples/exclusion.xlsx", {"--output", (dir.path() / "no/x.xlsx").string()});
    EXPECT_EQ(failed.status, kExitFailure);
    EXPECT_NE(failed.err.find("не сохранена"), std::string::npos) << failed.err;
}

std::string fileBytes(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// --output naming the case's own workbook, however spelled: the table is printed, the genotype
// workbook stays as it was, and the run fails naming the file.
TEST(CommandLine, OutputNeverReplacesTheCasesOwnWorkbook)
{
    TempDir dir;
    const auto input = dir.path() / "дело.xlsx";
    std::filesystem::copy_file(kSource + "/examples/trio.xlsx", input);
    const std::string before = fileBytes(input);
    for (const auto& output : {input, dir.path() / "." / "дело.xlsx"}) {
        const auto r = batch(input.string(), {"--output", output.string(), "--format", "csv"});
        EXPECT_EQ(r.status, kExitFailure) << output;
        EXPECT_NE(r.err.find("книга результатов не записана: " + output.string()), std::string::npos) << r.err;
        EXPECT_GT(lines(r.out).size(), 1u) << r.out;
        EXPECT_EQ(fileBytes(input), before) << output;
    }
    // A workbook is known by its content: one named .pdf is no report to write over either.
    const auto named = dir.path() / "дело.pdf";
    std::filesystem::copy_file(input, named);
    const auto r = batch(named.string(), {"--report", named.string(), "--format", "csv"});
    EXPECT_EQ(r.status, kExitFailure);
    EXPECT_NE(r.err.find("отчёт не записан: " + named.string()), std::string::npos) << r.err;
    EXPECT_EQ(fileBytes(named), before);
}

// Three cases in one run, one of them unreadable: a summary line for each, the two others
// evaluated as a run of their own evaluates them, their results workbooks and reports written,
// nothing overwritten, the inputs unchanged, and exit 1 after all ran.
TEST(ArchiveRun, EveryCaseAccountedForAndAnUnreadableOneFailsTheRun)
{
    TempDir dir;
    const auto in = dir.path() / "дела";
    std::filesystem::create_directories(in);
    for (const char* example : {"trio", "duo"})
        std::filesystem::copy_file(kSource + "/examples/" + example + ".xlsx", in / (std::string(example) + ".xlsx"));
    std::ofstream(in / "broken.xlsx") << "not a workbook";
    std::ofstream(in / "notes.txt") << "not a case";
    std::map<std::string, std::string> before;
    for (const auto& entry : std::filesystem::directory_iterator(in))
        before[entry.path().filename().string()] = fileBytes(entry.path());

    const auto out = dir.path() / "out";
    std::filesystem::create_directories(out);
    std::ofstream(out / "broken.results.xlsx") << "results of an earlier run";
    const auto r = batch((in / "trio.xlsx").string(),
                         {(in / "broken.xlsx").string(), (in / "duo.xlsx").string(), "--output-dir", out.string(),
                          "--report-dir", (dir.path() / "reports").string(), "--format", "csv"});
    EXPECT_EQ(r.status, kExitFailure) << r.err;
    const auto rows = lines(r.out);
    ASSERT_EQ(rows.size(), 4u) << r.out;
    EXPECT_EQ(rows[0], std::string("file,loci,marked,excluded,cpi,probability,status,not_evaluated,left_out,cpe")
                           + kIdentityColumns);
    EXPECT_EQ(rows[2].rfind((in / "broken.xlsx").string() + ",,,,,,", 0), 0u) << rows[2];
    EXPECT_NE(rows[2].find("broken.xlsx"), rows[2].rfind("broken.xlsx")) << "the reason names the file";
    EXPECT_EQ(rows[2].find(freqdb::kReadFailed), std::string::npos) << "the reason, not the error box's heading";
    EXPECT_EQ(fileBytes(out / "broken.results.xlsx"), "results of an earlier run");
    EXPECT_NE(rows[2].find("broken.results.xlsx - от прежнего запуска, не обновлен"), std::string::npos) << rows[2];
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "reports/broken.report.pdf"));
    for (const char* name : {"trio", "duo"})
        EXPECT_EQ(fileBytes(dir.path() / "reports" / (std::string(name) + ".report.pdf")).substr(0, 4), "%PDF") << name;
    for (const auto& [row, name] : {std::pair{1, "trio"}, std::pair{3, "duo"}}) {
        const auto single = batch((in / (std::string(name) + ".xlsx")).string(), {"--format", "json"});
        ASSERT_EQ(single.status, kExitOk);
        const auto cpi = single.out.substr(single.out.find("\"cpi\": \"") + 8);
        EXPECT_NE(rows[row].find("," + cpi.substr(0, cpi.find('"')) + ","), std::string::npos) << rows[row];
        EXPECT_NE(rows[row].find(",ok,0,0,\""), std::string::npos) << rows[row];
        const auto loaded
            = exchange::loadResultsWorkbook(out / (std::string(name) + ".results.xlsx"),
                                            *automation::makeFileWorkbookReader(), text::NumberFormat(","));
        ASSERT_TRUE(loaded.ok) << loaded.error;
        const std::string loci = std::to_string(loaded.grid.ResultCount());
        EXPECT_EQ(rows[row].rfind((in / (std::string(name) + ".xlsx")).string() + "," + loci + "," + loci + ",0,", 0),
                  0u)
            << rows[row];
    }
    for (const auto& [name, bytes] : before)
        EXPECT_EQ(fileBytes(in / name), bytes) << name;
}

// A folder is its workbooks in the order of their names; results written into the folder itself
// are not taken for cases on the next run, never replace an input, and two cases of one name do
// not share a results workbook.
TEST(ArchiveRun, FolderAsCase)
{
    TempDir dir;
    for (const char* example : {"trio", "duo", "exclusion"})
        std::filesystem::copy_file(kSource + "/examples/" + example + ".xlsx",
                                   dir.path() / (std::string(example) + ".xlsx"));
    const std::string folder = dir.path().string();
    for (int pass = 0; pass < 2; ++pass) {
        const auto r = batch(folder, {"--output-dir", folder, "--format", "json"});
        ASSERT_EQ(r.status, kExitOk) << r.err;
        EXPECT_EQ(r.out.rfind("{\n  \"population\": \"white\",\n  \"identity\": {\"version\": ", 0), 0u) << r.out;
        EXPECT_NE(r.out.find("},\n  \"cases\": [\n    {\"file\": \"" + folder + "/duo.xlsx\", "), std::string::npos)
            << r.out;
        EXPECT_NE(r.out.find("/exclusion.xlsx\", \"loci\": 10, \"marked\": 10, \"excluded\": 4, "), std::string::npos)
            << r.out;
        EXPECT_EQ(lines(r.out).size(), 9u) << "three cases, also on the second pass:\n" << r.out;
    }
    EXPECT_TRUE(std::filesystem::exists(dir.path() / "trio.results.xlsx"));

    TempDir other;
    std::filesystem::copy_file(kSource + "/examples/duo.xlsx", other.path() / "trio.xlsx");
    std::filesystem::copy_file(dir.path() / "trio.results.xlsx", other.path() / "duo.results.xlsx");
    const std::string input = fileBytes(other.path() / "duo.results.xlsx");
    const auto clash = batch(folder + "/trio.xlsx",
                             {(other.path() / "trio.xlsx").string(), (other.path() / "duo.results.xlsx").string(),
                              folder + "/duo.xlsx", "--output-dir", other.path().string(), "--format", "csv"});
    EXPECT_EQ(clash.status, kExitFailure);
    const auto rows = lines(clash.out);
    ASSERT_EQ(rows.size(), 5u) << clash.out;
    EXPECT_NE(rows[1].find(",ok,0,0,\""), std::string::npos) << rows[1];
    EXPECT_NE(rows[2].find("уже записан для другого дела"), std::string::npos) << rows[2];
    EXPECT_NE(rows[3].find(",ok,0,0,\""), std::string::npos) << rows[3];
    EXPECT_NE(rows[4].find("одна из книг генотипов"), std::string::npos) << rows[4];
    EXPECT_EQ(fileBytes(other.path() / "duo.results.xlsx"), input);
}

// Two cases whose names differ only in case would share one results file on a folder that does not
// tell them apart (a FAT or exFAT stick): the second is refused as any second case of one name.
TEST(ArchiveRun, CaseNamesDifferingOnlyInCaseShareNoResultsFile)
{
    TempDir dir;
    std::filesystem::create_directories(dir.path() / "a");
    std::filesystem::create_directories(dir.path() / "b");
    std::filesystem::copy_file(kSource + "/examples/trio.xlsx", dir.path() / "a/Дело.xlsx");
    std::filesystem::copy_file(kSource + "/examples/duo.xlsx", dir.path() / "b/дело.xlsx");
    const auto r = batch((dir.path() / "a/Дело.xlsx").string(), {(dir.path() / "b/дело.xlsx").string(), "--output-dir",
                                                                 (dir.path() / "out").string(), "--format", "csv"});
    EXPECT_EQ(r.status, kExitFailure);
    const auto rows = lines(r.out);
    ASSERT_EQ(rows.size(), 3u) << r.out;
    EXPECT_NE(rows[1].find(",ok,0,0,\""), std::string::npos) << rows[1];
    EXPECT_NE(rows[2].find("уже записан для другого дела"), std::string::npos) << rows[2];
    const auto written = exchange::loadResultsWorkbook(dir.path() / "out/Дело.results.xlsx",
                                                       *automation::makeFileWorkbookReader(), text::NumberFormat(","));
    ASSERT_TRUE(written.ok) << written.error;
    EXPECT_EQ(written.grid.ResultCount(), 15) << "the first case's results";
}

// A genotype workbook of `rows` after the header row.
void writeCase(const std::filesystem::path& file, std::vector<std::vector<std::string>> rows)
{
    rows.insert(rows.begin(), {"№", "Локус", "Отец", "Ребенок", "Мать"});
    for (auto& row : rows)
        row.resize(5);
    automation::XlsxWorkbookWriter writer;
    writer.addWorksheet("Лист1");
    writer.setValues({1, 1, static_cast<int>(rows.size()), 5}, rows);
    writer.save(file);
}

// Cases that were evaluated but not whole are not "ok": a row without an index (named with its
// verdict in every output), a locus on a second row (its index would count twice: only the first
// enters the CPI), rows beyond 99 (counted), a probability without a value (said). Such a run ends
// with status 3; a dangling link among the cases is a failure line (status 1). A blank row is no
// locus.
TEST(ArchiveRun, CasesWithReservationsAreNotOk)
{
    TempDir dir;
    const std::vector<std::string> locus = {"", "D3S1358", "15/16", "15/17", "17/18"};
    writeCase(dir.path() / "a typo.xlsx", {locus, {"", "vWA", "17/l7", "17/18", "18/18"}, {}, {}, {}});
    writeCase(dir.path() / "b blank row.xlsx", {locus, {}, {"", "TH01", "6/7", "7/8", "8/9"}, {}, {}, {}});
    writeCase(dir.path() / "c 120 rows.xlsx", std::vector<std::vector<std::string>>(120, locus));
    writeCase(dir.path() / "e twice.xlsx", {locus, {"", "D3S1358", "15/16", "16/17", "17/18"}, {}, {}, {}});
    const std::string typo = "неполный расчет: не рассчитано строк: 1 (№2 «Аллеля l7 (отца) нет в локусе vWA»)";
    const std::string big = "№99 «D3S1358»; не загружено строк сверх 99: 21";
    const std::string twice = "неполный расчет: локус повторен, строка не вошла в CPI: №2 «D3S1358»";
    for (const char* format : {"text", "csv", "json"}) {
        const auto r = batch(dir.path().string(), {"--format", format});
        EXPECT_EQ(r.status, kExitIncomplete) << format << r.err;
        EXPECT_NE(r.out.find(typo), std::string::npos) << format << r.out;
        EXPECT_NE(r.out.find(big), std::string::npos) << format << r.out;
        EXPECT_NE(r.out.find(twice), std::string::npos) << format << r.out;
    }
    const auto csv = lines(batch(dir.path().string(), {"--format", "csv"}).out);
    ASSERT_EQ(csv.size(), 5u);
    EXPECT_TRUE(caseColumns(csv[1]).ends_with("," + typo + ",1,0,\"0,5287\"")) << csv[1];
    EXPECT_EQ(csv[2].rfind((dir.path() / "b blank row.xlsx").string() + ",2,2,0,", 0), 0u) << csv[2];
    EXPECT_TRUE(caseColumns(csv[2]).ends_with(",ok,0,0,\"0,8349\"")) << csv[2];
    // The same locus 99 times and once give one CPI.
    const std::string once = ",\"Индекс отцовства (Combined Paternity Index) CPI=1,8\",";
    EXPECT_EQ(csv[3].rfind((dir.path() / "c 120 rows.xlsx").string() + ",99,1,0" + once, 0), 0u) << csv[3];
    EXPECT_TRUE(caseColumns(csv[3]).ends_with(big + "\",0,21,\"0,5287\"")) << csv[3];
    EXPECT_EQ(csv[4].rfind((dir.path() / "e twice.xlsx").string() + ",2,1,0" + once, 0), 0u) << csv[4];
    EXPECT_TRUE(caseColumns(csv[4]).ends_with(",\"" + twice + "\",0,0,\"0,5287\"")) << csv[4];

    std::filesystem::create_symlink(dir.path() / "gone.xlsx", dir.path() / "d link.xlsx");
    const auto linked = lines(batch(dir.path().string(), {"--format", "csv"}).out);
    ASSERT_EQ(linked.size(), 6u);
    EXPECT_EQ(caseColumns(linked[4]),
              (dir.path() / "d link.xlsx").string()
                  + ",,,,,,ссылка ведет к несуществующему файлу: " + (dir.path() / "gone.xlsx").string() + ",,,");
    EXPECT_EQ(batch(dir.path().string()).status, kExitFailure);

    // A prior of 1 beside an exclusion: the probability has no value, in the summary and alone.
    const std::string undefined = "Вероятность отцовства не определена: CPI=0 при априорной вероятности 1";
    const auto exclusion = kSource + "/examples/exclusion.xlsx";
    const auto run = batch(exclusion, {kSource + "/examples/trio.xlsx", "--prior", "1", "--format", "json"});
    EXPECT_EQ(run.status, kExitIncomplete) << run.err;
    EXPECT_NE(
        run.out.find("\"probability\": \"" + undefined + "\", \"status\": \"неполный расчет: " + undefined + "\""),
        std::string::npos)
        << run.out;
    const auto alone = batch(exclusion, {"--prior", "1", "--format", "json"});
    EXPECT_EQ(alone.status, kExitIncomplete) << alone.err;
    EXPECT_NE(alone.out.find("\"probability\": \"" + undefined + "\""), std::string::npos) << alone.out;
}

// A maternity exclusion has no index either: a trio whose mother cannot be the child's is not
// "ok", alone or in a summary; its row is counted and named, and the run ends with status 3.
TEST(ArchiveRun, MaternityExclusionIsARowWithoutAnIndex)
{
    TempDir dir;
    writeCase(dir.path() / "mother.xlsx",
              {{"", "D3S1358", "15/16", "15/17", "17/18"}, {"", "vWA", "16/18", "17/18", "14/15"}, {}, {}, {}});
    const std::string status = "неполный расчет: не рассчитано строк: 1 (№2 «Материнство исключается»)";
    const auto summary = lines(batch(dir.path().string(), {"--format", "csv"}).out);
    ASSERT_GE(summary.size(), 2u);
    EXPECT_NE(summary[1].find(",2,1,0,"), std::string::npos) << summary[1];
    EXPECT_NE(summary[1].find("," + status + ",1,0,"), std::string::npos) << summary[1];
    EXPECT_EQ(batch(dir.path().string()).status, kExitIncomplete);
    const auto alone = batch((dir.path() / "mother.xlsx").string());
    EXPECT_EQ(alone.status, kExitIncomplete) << alone.err;
    EXPECT_NE(alone.err.find(status), std::string::npos) << alone.err;
}

// The report beside the workbook: written whole, with the case's result lines; a place it cannot
// be written is status 1 with the file named, and nothing is left there; the workbook is still
// written.
TEST(CommandLine, ReportIsWrittenBesideTheWorkbookOrFailsWithoutAPartialFile)
{
    TempDir dir;
    const auto pdf = dir.path() / "Отчёт.PDF";
    const auto r = batch(kSource + "/examples/trio.xlsx",
                         {"--report", pdf.string(), "--output", (dir.path() / "r.xlsx").string(), "--format", "csv"});
    ASSERT_EQ(r.status, kExitOk) << r.err;
    EXPECT_EQ(r.err.find("Qt"), std::string::npos) << r.err;
    std::string head(4, '\0');
    std::ifstream(pdf, std::ios::binary).read(head.data(), 4);
    EXPECT_EQ(head, "%PDF");
    EXPECT_TRUE(std::filesystem::exists(dir.path() / "r.xlsx"));

    const auto closed = dir.path() / "закрыта";
    std::filesystem::create_directory(closed);
    std::filesystem::permissions(closed, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    for (const auto& place : {dir.path() / "нет/отчёт.pdf", closed / "отчёт.pdf"}) {
        if (place.parent_path() == closed && ::access(closed.c_str(), W_OK) == 0)
            continue; // root writes anywhere
        const auto failed = batch(kSource + "/examples/trio.xlsx",
                                  {"--report", place.string(), "--output", (dir.path() / "r2.xlsx").string()});
        EXPECT_EQ(failed.status, kExitFailure);
        EXPECT_NE(failed.err.find("Отчёт «" + place.string() + "» не сохранён"), std::string::npos) << failed.err;
        EXPECT_FALSE(std::filesystem::exists(place.parent_path()) && !std::filesystem::is_empty(place.parent_path()));
        EXPECT_TRUE(std::filesystem::exists(dir.path() / "r2.xlsx"));
    }
}

struct EscapeCase {
    const char* name;
    std::string text, json, csv;
};

class Escaping : public ::testing::TestWithParam<EscapeCase> {};

TEST_P(Escaping, JsonAndCsvFields)
{
    EXPECT_EQ(jsonString(GetParam().text), GetParam().json);
    EXPECT_EQ(csvField(GetParam().text), GetParam().csv);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, Escaping,
    ::testing::Values(
        EscapeCase{"Plain", "D3S1358", "\"D3S1358\"", "D3S1358"},
        EscapeCase{"Cyrillic", "Отцовство исключается", "\"Отцовство исключается\"", "Отцовство исключается"},
        EscapeCase{"DecimalComma", "p(9,3)=0,300", "\"p(9,3)=0,300\"", "\"p(9,3)=0,300\""},
        EscapeCase{"Quotes", "a\"b", "\"a\\\"b\"", "\"a\"\"b\""}, EscapeCase{"Backslash", "a\\b", "\"a\\\\b\"", "a\\b"},
        EscapeCase{"LineBreak", "a\nb", "\"a\\nb\"", "\"a\nb\""},
        EscapeCase{"ControlCharacter", std::string("a\x01z"), "\"a\\u0001z\"", std::string("a\x01z")},
        EscapeCase{"InvalidUtf8", std::string("a\xFF\xD0"), "\"a\xEF\xBF\xBD\xEF\xBF\xBD\"", std::string("a\xFF\xD0")},
        EscapeCase{"Empty", "", "\"\"", ""},
        EscapeCase{"Formula", "=HYPERLINK(\"http://x\";\"y\")", "\"=HYPERLINK(\\\"http://x\\\";\\\"y\\\")\"",
                   "\"'=HYPERLINK(\"\"http://x\"\";\"\"y\"\")\""},
        EscapeCase{"Plus", "+7/8", "\"+7/8\"", "'+7/8"}, EscapeCase{"Minus", "-1", "\"-1\"", "'-1"},
        EscapeCase{"At", "@SUM(A1)", "\"@SUM(A1)\"", "'@SUM(A1)"},
        EscapeCase{"LeadingTab", "\t=1", "\"\\t=1\"", "'\t=1"}, EscapeCase{"TheMark", "++", "\"++\"", "++"},
        EscapeCase{"LeadingReturn", "\r=1", "\"\\r=1\"", "\"'\r=1\""}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace cli

namespace cli {
namespace {

// The bundled data folder without its settings file, and with a settings file of one's own.
std::string dataCopy(const TempDir& dir, const std::string& settings)
{
    const auto data = dir.path() / "data";
    std::filesystem::create_directories(data);
    for (const auto& entry : std::filesystem::directory_iterator(kData)) {
        if (entry.path().extension() == ".xls")
            std::filesystem::copy_file(entry.path(), data / entry.path().filename());
    }
    if (!settings.empty())
        std::ofstream(data / "settings.ini") << settings;
    return data.string();
}

TEST(LabSettings, OffGivesEveryOutputAsWithoutTheFile)
{
    TempDir dir;
    const std::string bare = dataCopy(dir, "");
    for (const char* format : {"text", "csv", "json"}) {
        const auto bundled = batch(kSource + "/examples/exclusion.xlsx", {"--format", format});
        const auto withoutFile = runProgram({"batch", kSource + "/examples/exclusion.xlsx", "--population", "white",
                                             "--data", bare, "--format", format});
        const auto overriddenOff
            = batch(kSource + "/examples/exclusion.xlsx",
                    {"--format", format, "--mutation", "off", "--min-frequency", "off", "--theta", "off"});
        ASSERT_EQ(bundled.status, kExitOk) << bundled.err;
        EXPECT_EQ(withoutFile.out, bundled.out) << format;
        EXPECT_EQ(withoutFile.err, bundled.err) << format;
        EXPECT_EQ(overriddenOff.out, bundled.out) << format;
        EXPECT_EQ(overriddenOff.err, bundled.err) << format;
    }
}

TEST(LabSettings, MutationModelFromTheCommandLineInJsonAndCsv)
{
    auto r = batch(kSource + "/examples/exclusion.xlsx", {"--format", "json", "--mutation", "proportional:0,002"});
    ASSERT_EQ(r.status, kExitOk) << r.err;
    EXPECT_NE(r.out.find("\"settings\": {\"mutation_model\": \"proportional\", \"mutation_rate\": \"0,002\", "
                         "\"min_allele_frequency\": null, \"source\": \""
                         + kData + "/settings.ini и командная строка\"},"),
              std::string::npos)
        << r.out;
    EXPECT_EQ(r.out.find("Отцовство исключается"), std::string::npos);
    std::size_t flagged = 0;
    for (std::size_t p = 0; (p = r.out.find("\"formula\": \"мутация μ=0,002\"", p)) != std::string::npos; ++p) {
        EXPECT_EQ(r.out.find('}', p), r.out.find("\"mutation\": true, \"pe\": \"0,", p) + 32)
            << "the flag is in the same row";
        ++flagged;
    }
    EXPECT_EQ(flagged, 4u);

    r = batch(kSource + "/examples/exclusion.xlsx", {"--format", "csv", "--mutation", "proportional:0,002"});
    ASSERT_EQ(r.status, kExitOk) << r.err;
    const auto rows = lines(r.out);
    EXPECT_EQ(rows[0], "row,locus,father,child,mother,formula,freq1,freq2,lr,mark,mutation,pe");
    std::size_t ones = 0;
    for (std::size_t i = 1; i < rows.size(); ++i)
        ones += rows[i].find(",1,\"0,") != std::string::npos;
    EXPECT_EQ(ones, 4u);
    EXPECT_NE(r.err.find("Настройки лаборатории: модель мутаций пропорциональная, μ=0,002; минимальная частота "
                         "аллеля не применяется"),
              std::string::npos)
        << r.err;
}

// Four inconsistent loci under the mutation model: a small CPI that is no exclusion is written
// as a number, never as the 0,0 of an exclusion, and the four loci are counted wherever a case's
// counts are: the JSON, the summary of a run and the report.
TEST(LabSettings, MutationLociAreCountedAndTheirSmallIndexIsNoZero)
{
    TempDir dir;
    const auto pdf = dir.path() / "exclusion.pdf";
    const auto r = batch(kSource + "/examples/exclusion.xlsx",
                         {"--format", "json", "--mutation", "proportional:0,002", "--report", pdf.string()});
    ASSERT_EQ(r.status, kExitOk) << r.err;
    const std::string cpi = "Индекс отцовства (Combined Paternity Index) CPI=8,86E-10";
    const std::string probability = "Вероятность отцовства P=8,86E-08% (априор.вероятность pp=0,5)";
    EXPECT_NE(r.out.find("\"cpi\": \"" + cpi + "\",\n  \"probability\": \"" + probability
                         + "\",\n  \"mutation_loci\": 4,\n  \"cpe\": \"0,9999\"\n}"),
              std::string::npos)
        << r.out;
    const std::string report = testsupport::pdfText(pdf);
    for (const std::string& line : {cpi, probability, std::string("Локусов с несовпадением (модель мутаций): 4"),
                                    std::string("Вероятность отцовства P=7,97E-07% (априор.вероятность pp=0,9)")})
        EXPECT_NE(report.find(line), std::string::npos) << line << "\n" << report;

    const auto run = batch(kSource + "/examples/exclusion.xlsx",
                           {kSource + "/examples/trio.xlsx", "--format", "csv", "--mutation", "proportional:0,002"});
    ASSERT_EQ(run.status, kExitOk) << run.err;
    const auto rows = lines(run.out);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0],
              std::string("file,loci,marked,excluded,cpi,probability,status,not_evaluated,left_out,cpe,mutation")
                  + kIdentityColumns);
    EXPECT_TRUE(caseColumns(rows[1]).ends_with(",\"" + cpi + "\",\"" + probability + "\",ok,0,0,\"0,9999\",4"))
        << rows[1];
    EXPECT_TRUE(caseColumns(rows[2]).ends_with(",ok,0,0,\"0,99999\",0")) << rows[2];
    EXPECT_TRUE(rows[2].ends_with(",\"0,5\",\"proportional:0,002\",off,off")) << rows[2];
}

TEST(LabSettings, SettingsFileIsUsedAndABadOneIsRefusedWithItsLine)
{
    TempDir dir;
    const std::string data = dataCopy(dir, "; лаборатория\nmutation_model = proportional\nmutation_rate = 0,003\n");
    auto r = runProgram({"batch", kSource + "/examples/exclusion.xlsx", "--population", "white", "--data", data});
    ASSERT_EQ(r.status, kExitOk) << r.err;
    EXPECT_NE(r.out.find("мутация μ=0,003"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\nНастройки лаборатории: модель мутаций пропорциональная, μ=0,003;"), std::string::npos)
        << r.out;

    std::ofstream(std::filesystem::path(data) / "settings.ini") << "mutation_model = proportional\nmutation_rate = 3\n";
    r = runProgram({"batch", kSource + "/examples/exclusion.xlsx", "--population", "white", "--data", data});
    EXPECT_EQ(r.status, kExitFailure);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err.rfind(std::string(freqdb::kReadFailed) + "\nФайл настроек «settings.ini», строка 2: ", 0), 0u)
        << r.err;
}

// θ from the command line: every index row names it, the settings say it, the table's frequencies
// stay; beside the lab's mutation model it is refused before any case is read.
TEST(LabSettings, ThetaFromTheCommandLine)
{
    const auto plain = batch(kSource + "/examples/trio.xlsx", {"--format", "json"});
    const auto r = batch(kSource + "/examples/trio.xlsx", {"--format", "json", "--theta", "0,03"});
    ASSERT_EQ(r.status, kExitOk) << r.err;
    EXPECT_NE(r.out.find("\"min_allele_frequency\": null, \"source\": \"" + kData
                         + "/settings.ini и командная строка\", \"theta\": \"0,03\"},"),
              std::string::npos)
        << r.out;
    std::size_t rows = 0;
    for (std::size_t p = 0; (p = r.out.find("\"formula\": \"θ=0,03 1/", p)) != std::string::npos; ++p)
        ++rows;
    EXPECT_EQ(rows, 15u);
    EXPECT_NE(plain.out.find("\"freq1\": \"p(15)=0,273\""), std::string::npos);
    EXPECT_NE(r.out.find("\"freq1\": \"p(15)=0,273\""), std::string::npos);
    EXPECT_NE(r.out.find("\"cpe\": \"0,99999\"\n}"), std::string::npos) << r.out;

    TempDir dir;
    const std::string data = dataCopy(dir, "mutation_model = proportional\n");
    const auto refused = runProgram(
        {"batch", kSource + "/examples/trio.xlsx", "--population", "white", "--data", data, "--theta", "0,01"});
    EXPECT_EQ(refused.status, kExitUsage);
    EXPECT_EQ(refused.out, "");
    EXPECT_NE(refused.err.find("θ и модель мутаций вместе не применяются"), std::string::npos) << refused.err;
}

// A number typed on the command line with a point is printed as the program prints numbers, with
// the locale's comma: in the formulas and in the settings stated beside the results.
TEST(LabSettings, NumbersOfTheCommandLineArePrintedWithTheLocalesSeparator)
{
    const struct {
        std::vector<std::string> option;
        std::string printed;
    } cases[] = {
        {{"--theta", "0.01"}, "\"formula\": \"θ=0,01 1/"},
        {{"--mutation", "proportional:0.002"}, "\"formula\": \"мутация μ=0,002\""},
        {{"--min-frequency", "0.0069"}, "\"min_allele_frequency\": \"0,0069\""},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = {"--format", "json"};
        args.insert(args.end(), c.option.begin(), c.option.end());
        const auto r = batch(kSource + "/examples/exclusion.xlsx", args);
        EXPECT_EQ(r.status, kExitOk) << r.err;
        EXPECT_NE(r.out.find(c.printed), std::string::npos) << c.option.back() << '\n' << r.out;
        EXPECT_EQ(r.out.find(c.option.back()), std::string::npos) << r.out;
    }
}

// A summary of many cases says what its figures were computed with, in every format: the
// population, the tables' fingerprint, the prior and the settings (θ changes the CPIs).
TEST(ArchiveRun, SummaryStatesTheTablesAndTheSettings)
{
    const std::vector<std::string> cases = {kSource + "/examples/trio.xlsx", kSource + "/examples/duo.xlsx"};
    const std::vector<std::string> settings = {"--theta", "0.01", "--min-frequency", "0,0069", "--prior", "0.9"};
    const auto args = [&](const char* format) {
        std::vector<std::string> all = {cases[1], "--format", format};
        all.insert(all.end(), settings.begin(), settings.end());
        return all;
    };
    const auto text = batch(cases[0], args("text"));
    ASSERT_EQ(text.status, kExitOk) << text.err;
    const std::string fingerprint = text.out.substr(text.out.find("(SHA-256): ") + 11, 16);
    EXPECT_EQ(fingerprint.find_first_not_of("0123456789abcdef"), std::string::npos) << text.out;
    EXPECT_EQ(
        text.out.rfind("Популяция: Европеоиды США (white); папка данных: " + kData
                           + "; отпечаток таблиц частот "
                             "(SHA-256): "
                           + fingerprint
                           + "; априорная вероятность 0,9\n"
                             "Настройки лаборатории: модель мутаций не применяется; минимальная частота аллеля 0,0069; "
                             "θ=0,01\n\nФайл ",
                       0),
        0u)
        << text.out;

    const auto csv = lines(batch(cases[0], args("csv")).out);
    ASSERT_EQ(csv.size(), 3u);
    EXPECT_TRUE(csv[0].ends_with(",cpe" + std::string(kIdentityColumns))) << csv[0];
    for (const std::string& line : {csv[1], csv[2]})
        EXPECT_TRUE(line.ends_with(",white," + fingerprint + ",\"0,9\",off,\"0,0069\",\"0,01\"")) << line;

    const auto json = batch(cases[0], args("json"));
    EXPECT_NE(json.out.find("\n  \"identity\": {\"version\": \"" + std::string(version::kVersion) + "\", \"data\": \""
                            + kData + "\", \"population\": \"white\", \"fingerprint\": \"" + fingerprint
                            + "\", \"prior\": \"0,9\", \"mutation_model\": \"off\", \"min_allele_frequency\": "
                              "\"0,0069\", \"theta\": \"0,01\", \"settings_source\": \""),
              std::string::npos)
        << json.out;
}

// A genotype's 9.3 is the table's 9,3: the minimum frequency is not given to it as to a new allele.
TEST(LabSettings, MinimumFrequencyLeavesAnAlleleWrittenWithAPoint)
{
    TempDir dir;
    const auto file = dir.path() / "th01.xlsx";
    automation::XlsxWorkbookWriter writer;
    writer.addWorksheet("Лист1");
    writer.setValues({1, 1, 2, 5}, {{"№", "Локус", "Отец", "Ребенок", "Мать"}, {"1", "TH01", "6/9.3", "9.3/7", "7/7"}});
    writer.save(file);
    for (const char* floor : {"off", "0,0069"}) {
        const auto r = batch(file.string(), {"--format", "csv", "--min-frequency", floor});
        ASSERT_EQ(r.status, kExitOk) << r.err;
        const auto rows = lines(r.out);
        ASSERT_EQ(rows.size(), 2u) << r.out;
        EXPECT_EQ(rows[1].rfind("1,TH01,6/9.3,9.3/7,7/7,\"1/2p(9,3)\",\"p(9,3)=0,345\",,\"1,45\",++", 0), 0u)
            << floor << ": " << rows[1];
    }
}

} // namespace
} // namespace cli

namespace cli {
namespace {

// A FIFO, a link to a device and a folder, each named like a case: none is opened to read (a FIFO
// would block the run for ever), each gets a summary line saying why it is no case, and a FIFO
// given as the case fails at once.
TEST(ArchiveRun, WhatIsNoRegularFileIsRefusedUnopenedWithItsLine)
{
    TempDir dir;
    std::filesystem::copy_file(kSource + "/examples/trio.xlsx", dir / "a.xlsx");
    ASSERT_EQ(::mkfifo((dir / "pipe.xlsx").c_str(), 0600), 0);
    std::filesystem::create_symlink("/dev/zero", dir / "zero.xlsx");
    std::filesystem::create_directory(dir / "folder.xlsx");
    ::alarm(60); // the earlier program waited on the FIFO for ever
    const auto one = batch((dir / "pipe.xlsx").string());
    EXPECT_EQ(one.status, kExitFailure);
    EXPECT_NE(one.err.find("это не обычный файл"), std::string::npos) << one.err;
    const auto all = batch(dir.path().string(), {"--format", "csv"});
    ::alarm(0);
    EXPECT_EQ(all.status, kExitFailure);
    const auto rows = lines(all.out);
    ASSERT_EQ(rows.size(), 5u) << all.out;
    const std::vector<std::pair<std::string, std::string>> expected
        = {{"/a.xlsx,", ",ok,"},
           {"/folder.xlsx,", ",\"это папка, а не файл книги\","},
           {"/pipe.xlsx,", ",это не обычный файл,"},
           {"/zero.xlsx,", ",это не обычный файл,"}};
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_NE(rows[i + 1].find(expected[i].first), std::string::npos) << rows[i + 1];
        EXPECT_NE(rows[i + 1].find(expected[i].second), std::string::npos) << rows[i + 1];
    }
}

} // namespace
} // namespace cli
