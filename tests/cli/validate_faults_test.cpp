// SPDX-License-Identifier: GPL-3.0-or-later
// Seeded faults the validation pack must catch, each injected where it would live: the locus
// workbook loader (a frequency taken from the neighbouring row), the settings parser (θ scaled),
// a row's PE (1 - P instead of (1 - P)^2), the CPI (a factor dropped) and the probability of
// paternity (the prior inverted). Each fails the run (exit 1) and shows in the protocol. So does a
// copy of the bundled folder in which one workbook has two alleles' frequencies swapped.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "automation/cellworkbookwriter.h"
#include "automation/workbook.h"
#include "cli/validateoutput.h"
#include "cli/validaterun.h"
#include "engine/combinedindex.h"
#include "engine/exclusionpower.h"
#include "freqdb/locusloader.h"
#include "kinship/kinshipevaluation.h"
#include "results/genotyperow.h"
#include "support/programrun.h"
#include "support/tempdir.h"
#include "validation/protocolbuild.h"

namespace {

namespace fs = std::filesystem;
const fs::path kData = fs::path(PI_SOURCE_DIR) / "data";

// A copy of the bundled folder: the workbooks, the settings file and the sources.
fs::path copyOfData(const testsupport::TempDir& dir, const std::string& settings = {})
{
    const fs::path data = dir / "data";
    fs::create_directories(data);
    for (const auto& entry : fs::directory_iterator(kData))
        if (entry.path().extension() == ".xls" || entry.path().filename() == "settings.ini")
            fs::copy_file(entry.path(), data / entry.path().filename());
    fs::copy(kData / "source", data / "source");
    if (!settings.empty())
        std::ofstream(data / "settings.ini") << settings;
    return data;
}

std::string protocolText(const validation::ValidationProtocol& protocol)
{
    std::ostringstream out;
    cli::writeValidationText(protocol, out);
    return out.str();
}

// A workbook whose allele rows each give the frequency of the row below (the last allele the
// first's): a loader that reads the neighbouring row.
class NeighbourRowWorkbook : public automation::Workbook {
public:
    explicit NeighbourRowWorkbook(std::unique_ptr<automation::Workbook> inner) : m_inner(std::move(inner)) {}
    int sheetCount() const override { return m_inner->sheetCount(); }
    std::string sheetName(int index) const override { return m_inner->sheetName(index); }
    automation::CellArray usedRange(int index) const override
    {
        automation::CellArray cells = m_inner->usedRange(index);
        const int alleles = cells.rows() - 1; // the last row closes the table
        for (int r = 1; r <= alleles && alleles > 1; ++r)
            cells.set(r, 2, m_inner->usedRange(index).at(r % alleles + 1, 2));
        return cells;
    }

private:
    std::unique_ptr<automation::Workbook> m_inner;
};

class NeighbourRowReader : public automation::WorkbookReader {
public:
    std::unique_ptr<automation::Workbook> open(const fs::path& path) const override
    {
        return std::make_unique<NeighbourRowWorkbook>(m_files->open(path));
    }

private:
    std::unique_ptr<automation::WorkbookReader> m_files = automation::makeFileWorkbookReader();
};

validation::ProtocolRequest requestFor(const freqdb::DataFolder& data, const freqdb::LocusTable& table)
{
    validation::ProtocolRequest request;
    request.data = &data;
    request.population = freqdb::Population::UsCaucasians;
    request.table = &table;
    request.cases = 300;
    request.seed = 11;
    return request;
}

TEST(ValidateFaults, LoaderReadingTheNeighbouringRowFailsAgainstTheSource)
{
    const text::NumberFormat format(",");
    const freqdb::DataFolder data{kData, {}};
    const NeighbourRowReader faulty;
    const freqdb::LoadResult loaded = freqdb::LoadDataFolder(data, freqdb::Population::UsCaucasians, faulty, format);
    ASSERT_EQ(loaded.status, freqdb::LoadStatus::Loaded) << loaded.message;
    const auto files = automation::makeFileWorkbookReader();
    const validation::ValidationProtocol protocol
        = validation::buildProtocol(requestFor(data, loaded.table), *files, format);
    EXPECT_FALSE(protocol.passed());
    // The cases agree with each other (they share the table); the source does not.
    EXPECT_TRUE(protocol.result.allAgree());
    const std::string text = protocolText(protocol);
    EXPECT_NE(text.find("РАСХОЖДЕНИЯ: таблицы частот не совпадают с источником"), std::string::npos);
    EXPECT_NE(text.find("Локус D3S1358, аллель 15: в таблице"), std::string::npos) << text.substr(0, 3000);
}

TEST(ValidateFaults, SettingsParserScalingThetaFailsAgainstThePlainReading)
{
    testsupport::TempDir dir;
    const freqdb::DataFolder data{copyOfData(dir, "theta = 0,02\n"), {}};
    const text::NumberFormat format(",");
    const auto files = automation::makeFileWorkbookReader();
    freqdb::LoadResult loaded = freqdb::LoadDataFolder(data, freqdb::Population::UsCaucasians, *files, format);
    ASSERT_EQ(loaded.status, freqdb::LoadStatus::Loaded) << loaded.message;
    // What a parser that stores a tenth of the typed value would hand over, the typed text kept.
    freqdb::LabSettings misread = loaded.table.settings();
    ASSERT_TRUE(misread.theta);
    *misread.theta /= 10;
    loaded.table.setSettings(misread);
    const validation::ValidationProtocol protocol
        = validation::buildProtocol(requestFor(data, loaded.table), *files, format);
    EXPECT_FALSE(protocol.passed());
    EXPECT_FALSE(protocol.settings.agrees());
    EXPECT_FALSE(protocol.result.allAgree()); // the cases computed with the plain reading disagree too
    const std::string text = protocolText(protocol);
    EXPECT_NE(text.find("theta = 0,02 (settings.ini, строка 1); 0,002; 0,02  РАСХОЖДЕНИЕ"), std::string::npos)
        << text.substr(0, 3000);
}

// The program's computations with one fault each, as a test build of a faulty release would have.
validation::ProgramComputations peAsOneMinusP()
{
    validation::ProgramComputations program;
    program.exclusionPower = [](const freqdb::LocusTable& table, std::string_view locus,
                                const results::RowGenotype& genotype) -> std::optional<long double> {
        const auto pe = results::rowExclusionPower(table, locus, genotype);
        return pe ? std::optional<long double>(std::sqrt(*pe)) : std::nullopt; // 1 - P, not (1 - P)^2
    };
    return program;
}

validation::ProgramComputations cpiDroppingAFactor()
{
    validation::ProgramComputations program;
    program.combine
        = [](std::vector<engine::CombinedIndexRow> rows, const std::string& prior, const text::NumberFormat& format) {
              for (auto row = rows.rbegin(); row != rows.rend(); ++row)
                  if (!row->lr.empty()) {
                      row->mark.clear(); // the last marked row is left out of the product
                      break;
                  }
              return engine::CombineIndex(rows, prior, format);
          };
    return program;
}

validation::ProgramComputations priorInverted()
{
    validation::ProgramComputations program;
    program.combine = [](const std::vector<engine::CombinedIndexRow>& rows, const std::string& prior,
                         const text::NumberFormat& format) {
        const long double pp = *format.parse(prior);
        engine::CombinedIndexResult result = engine::CombineIndex(rows, format.general(1 - pp), format);
        // The line states the prior typed, as a fault inside the formula would leave it.
        const std::string wrong = "pp=" + format.general(1 - pp) + ")";
        if (const auto at = result.probabilityText.rfind(wrong); at != std::string::npos)
            result.probabilityText.replace(at, wrong.size(), "pp=" + prior + ")");
        return result;
    };
    return program;
}

TEST(ValidateFaults, PeCpiAndProbabilityFaultsFailTheRun)
{
    struct Fault {
        const char* name;
        validation::ProgramComputations program;
        const char* shown; // what the protocol says
    };
    const std::vector<Fault> faults = {
        {"PE = 1 - P", peAsOneMinusP(), "независимо (сумма по генотипам)"},
        {"CPI без одного множителя", cpiDroppingAFactor(), "а произведение текстов LR"},
        {"W с обращённой априорной вероятностью", priorInverted(), "а по формуле Байеса при pp=0,1"},
    };
    for (const Fault& fault : faults) {
        SCOPED_TRACE(fault.name);
        cli::ValidateOptions options;
        options.population = freqdb::Population::UsCaucasians;
        options.dataDir = kData;
        options.cases = 200;
        options.seed = 3;
        std::ostringstream out, err;
        EXPECT_EQ(cli::runValidate(options, out, err, fault.program), 1);
        EXPECT_NE(out.str().find(fault.shown), std::string::npos) << out.str().substr(0, 4000);
        EXPECT_NE(err.str().find("РАСХОЖДЕНИЯ"), std::string::npos);
    }
}

// The deficiency cases' evaluation with a fault: one locus's LR 0.1 % off, or a sister of the
// alleged father taken for his mother (a wrong constellation).
validation::ProgramComputations relativesFault(bool sisterAsMother)
{
    validation::ProgramComputations program;
    program.evaluateRelatives = [sisterAsMother](kinship::KinshipCase kinshipCase, const freqdb::LocusTable& table,
                                                 const text::NumberFormat& format, const std::string& prior) {
        if (sisterAsMother)
            for (auto& person : kinshipCase.persons)
                if (person.role.kind == kinship::RoleKind::Sister)
                    person.role = {kinship::RoleKind::FathersMother, 0};
        kinship::KinshipResult result = kinship::evaluateKinshipCase(kinshipCase, table, format, prior);
        if (!sisterAsMother && result.rows.front().verdict == engine::Verdict::Index)
            result.rows.front().lrValue *= 1.001L;
        return result;
    };
    return program;
}

TEST(ValidateFaults, AWrongIndexOfADeficiencyCaseFailsTheRun)
{
    for (const bool sisterAsMother : {false, true}) {
        SCOPED_TRACE(sisterAsMother ? "сестра ПО принята за мать ПО" : "LR локуса x1,001");
        cli::ValidateOptions options;
        options.population = freqdb::Population::UsCaucasians;
        options.dataDir = kData;
        options.cases = 200;
        options.seed = 5;
        std::ostringstream out, err;
        EXPECT_EQ(cli::runValidate(options, out, err, relativesFault(sisterAsMother)), 1);
        EXPECT_NE(err.str().find("дел с родственниками"), std::string::npos) << err.str();
        // The first disagreement under its case's constellation, at its locus, with both values.
        const std::string text = out.str();
        const std::size_t at = text.find("РАСХОЖДЕНИЕ\n       - LR программы");
        ASSERT_NE(at, std::string::npos) << text.substr(0, 3000);
        const std::size_t trio = text.rfind(". трио: ", at), duo = text.rfind(". дуо: ", at);
        const std::size_t header = trio == std::string::npos  ? duo
                                   : duo == std::string::npos ? trio
                                                              : std::max(trio, duo);
        ASSERT_NE(header, std::string::npos);
        const std::string shown = text.substr(header, at - header);
        EXPECT_NE(shown.find(sisterAsMother ? "брат и сестра ПО" : "CSF1PO:"), std::string::npos) << shown;
        EXPECT_NE(text.find(", второй расчёт ", at), std::string::npos);
    }
}

// A lab edits a workbook and swaps two alleles' figures: sum, count and smallest stay the same.
TEST(ValidateFaults, TwoFrequenciesSwappedInOneWorkbookAreNamed)
{
    testsupport::TempDir dir;
    const fs::path data = copyOfData(dir);
    const auto files = automation::makeFileWorkbookReader();
    const auto original = files->open(data / "D3S1358.xls");
    std::vector<automation::NamedSheet> sheets;
    for (int s = 1; s <= original->sheetCount(); ++s) {
        automation::CellArray cells = original->usedRange(s);
        if (original->sheetName(s) == "D3S1358-white") {
            const automation::CellValue first = cells.at(3, 2);
            cells.set(3, 2, cells.at(4, 2));
            cells.set(4, 2, first);
        }
        sheets.push_back({original->sheetName(s), cells});
    }
    fs::remove(data / "D3S1358.xls");
    automation::saveCellWorkbook(data / "D3S1358.xlsx", sheets);

    const auto run = cli::runProgram(
        {"validate", "--population", "white", "--data", data.string(), "--cases", "100", "--seed", "1"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("Локус D3S1358, аллель 14: в таблице 0,2729, в источнике 0,1066"), std::string::npos)
        << run.out.substr(0, 3000);
    EXPECT_NE(run.out.find("Локус D3S1358, аллель 15: в таблице 0,1066, в источнике 0,2729"), std::string::npos);
    // The other population of the same workbooks still agrees with its source.
    EXPECT_EQ(cli::runProgram({"validate", "--population", "black", "--data", data.string(), "--cases", "100"}).status,
              0);
}

// A table with no source is stated on the cover, not passed in silence.
TEST(ValidateFaults, TableWithoutSourceIsStated)
{
    testsupport::TempDir dir;
    const fs::path data = copyOfData(dir);
    fs::remove_all(data / "source");
    const auto run = cli::runProgram(
        {"validate", "--population", "white", "--data", data.string(), "--cases", "100", "--format", "json"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("таблица без источника: сверка не проводилась"), std::string::npos);
}

} // namespace

namespace {

// `import` keeps the file a table came from, with its note; validate compares the workbooks with
// it, and a copy changed after the import fails the run.
TEST(ValidateFaults, ImportKeepsTheSourceThatValidateComparesWith)
{
    testsupport::TempDir dir;
    const fs::path data = copyOfData(dir);
    const fs::path table = dir / "lab-table.csv";
    fs::copy_file(kData / "source" / "us_caucasians.csv", table);
    const auto imported = cli::runProgram({"import", table.string(), "--population", "rus", "--data", data.string()});
    ASSERT_EQ(imported.status, 0) << imported.err;
    EXPECT_NE(imported.out.find("Копия исходной таблицы для сверки"), std::string::npos) << imported.out;
    const fs::path copy = data / "source" / "rus-lab-table.csv";
    ASSERT_TRUE(fs::exists(copy));
    ASSERT_TRUE(fs::exists(data / "source" / "rus.ini"));

    const auto checked = cli::runProgram(
        {"validate", "--population", "rus", "--data", data.string(), "--cases", "100", "--format", "json"});
    EXPECT_EQ(checked.status, 0) << checked.err;
    EXPECT_NE(checked.out.find("rus-lab-table.csv"), std::string::npos);
    EXPECT_NE(checked.out.find("совпадает, аллелей сверено 344"), std::string::npos) << checked.out.substr(0, 2000);

    std::string text;
    {
        std::ifstream in(copy, std::ios::binary);
        text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    const std::string from = "D3S1358,15,0.2729", to = "D3S1358,15,0.1729";
    ASSERT_NE(text.find(from), std::string::npos);
    text.replace(text.find(from), from.size(), to);
    std::ofstream(copy, std::ios::binary | std::ios::trunc) << text;
    const auto tampered
        = cli::runProgram({"validate", "--population", "rus", "--data", data.string(), "--cases", "100"});
    EXPECT_EQ(tampered.status, 1);
    EXPECT_NE(tampered.out.find("изменён: SHA-256"), std::string::npos);
    EXPECT_NE(tampered.out.find("Локус D3S1358, аллель 15: в таблице 0,2729, в источнике 0,1729"), std::string::npos);
}

} // namespace
