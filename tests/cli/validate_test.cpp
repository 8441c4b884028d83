// SPDX-License-Identifier: GPL-3.0-or-later
// `paternity-index validate` over the bundled data: its JSON, its refusals, and a deliberately wrong
// engine caught with status 1 and the cases listed; the protocol PDF read back (text and pages).
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>

#include "cli/validaterun.h"
#include "support/pdftext.h"
#include "support/programrun.h"
#include "support/tempdir.h"

namespace {

const std::string kData = std::string(PI_SOURCE_DIR) + "/data";

TEST(ValidateCommand, JsonHoldsEveryCaseToRecompute)
{
    const auto run = cli::runProgram(
        {"validate", "--population", "white", "--data", kData, "--cases", "300", "--seed", "2", "--format", "json"});
    ASSERT_EQ(run.status, 0) << run.err;
    const auto doc = nlohmann::json::parse(run.out);
    EXPECT_EQ(doc["identity"]["seed"], "2");
    EXPECT_EQ(doc["identity"]["fingerprint"].get<std::string>().find_first_not_of("0123456789abcdef"),
              std::string::npos);
    EXPECT_EQ(doc["identity"]["fingerprint"].get<std::string>().size(), 16u);
    EXPECT_EQ(doc["agreement"]["disagreeing"], 0);
    EXPECT_TRUE(doc["unreached"].empty());
    ASSERT_EQ(doc["cases"].size(), 300u);
    for (const auto& c : doc["cases"]) {
        for (const char* key : {"locus", "father", "child", "mother", "formula", "lr", "independent"})
            ASSERT_TRUE(c.contains(key)) << key;
        // A number wherever the program shows an LR, the same to its rounding.
        if (!c["lr"].get<std::string>().empty()) {
            ASSERT_TRUE(c["independent"].is_number()) << c.dump();
            std::string lr = c["lr"];
            if (const auto comma = lr.find(','); comma != std::string::npos)
                lr[comma] = '.';
            EXPECT_NEAR(std::stod(lr), c["independent"].get<double>(), 0.0051 + 5e-5 * std::stod(lr)) << c.dump();
        }
    }
}

// The pack's own acceptance: on both bundled populations, with the mutation model off and on and
// with and without a minimum frequency, 20000 cases agree and reach every outcome.
TEST(ValidateCommand, BundledTablesAgreeUnderEverySetting)
{
    for (const char* population : {"white", "black"})
        for (const char* mutation : {"off", "proportional:0,002"})
            for (const char* minimum : {"off", "0,0069"}) {
                SCOPED_TRACE(std::string(population) + " " + mutation + " " + minimum);
                const auto run
                    = cli::runProgram({"validate", "--population", population, "--data", kData, "--cases", "20000",
                                       "--seed", "20000", "--mutation", mutation, "--min-frequency", minimum});
                EXPECT_EQ(run.status, 0) << run.err;
                EXPECT_NE(run.out.find("во всех 20000 случаях"), std::string::npos);
                EXPECT_NE(run.out.find("не достигнуты: нет"), std::string::npos);
            }
}

TEST(ValidateCommand, RefusesWrongArguments)
{
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"validate", "--population", "white", "--cases", "0"},
          {"validate", "--population", "white", "--cases", "-5"},
          {"validate", "--population", "white", "--seed", "x"},
          {"validate", "--population", "white", "--report", "protocol.txt"},
          {"validate", "--population", "white", "--format", "csv"},
          {"validate", "--cases", "10"}}) {
        const auto run = cli::runProgram(args);
        EXPECT_EQ(run.status, 2) << args.back();
    }
}

// The engine with one formula swapped (mother and child the same heterozygote, a father with
// another allele gets the index of a father without one), as a test build of a faulty release.
validation::RowEvaluator swappedFormula()
{
    return [](const freqdb::LocusTable& table, std::string_view locus, const results::GenotypeRowTexts& row,
              const text::NumberFormat& format) {
        engine::LocusOutcome outcome = results::evaluateGenotypeRow(table, locus, row, format);
        if (outcome.formula.rfind("1/(2p(", 0) == 0) {
            outcome.lrValue *= 2;
            outcome.lr = format.lr(outcome.lrValue);
        }
        return outcome;
    };
}

TEST(ValidateCommand, WrongEngineIsCaughtWithTheCasesListedInTextAndPdf)
{
    testsupport::TempDir dir;
    cli::ValidateOptions options;
    options.population = freqdb::Population::UsBlacks;
    options.dataDir = kData;
    options.cases = 500;
    options.seed = 9;
    options.report = dir / "protocol.pdf";
    std::ostringstream out, err;
    EXPECT_EQ(cli::runValidate(options, out, err, swappedFormula()), 1);
    const std::string text = out.str();
    const auto listed = text.find("\nРасхождения\n");
    ASSERT_NE(listed, std::string::npos) << text;
    EXPECT_NE(err.str().find("РАСХОЖДЕНИЯ"), std::string::npos);
    // Every listed case is one of the swapped formula.
    std::size_t cases = 0;
    for (std::size_t at = text.find("программа: ", listed); at != std::string::npos;
         at = text.find("программа: ", at + 1), ++cases)
        EXPECT_EQ(text.compare(at + std::string("программа: ").size(), 6, "1/(2p("), 0);
    EXPECT_GT(cases, 0u);

    const std::string pdf = testsupport::pdfText(*options.report);
    EXPECT_NE(pdf.find("Протокол валидации расчёта индекса отцовства"), std::string::npos);
    EXPECT_NE(pdf.find("Расхождения: " + std::to_string(cases)), std::string::npos);
    EXPECT_NE(pdf.find("Валидацию провёл"), std::string::npos);
}

TEST(ValidateCommand, ProtocolPdfReadsBack)
{
    testsupport::TempDir dir;
    const auto pdfPath = dir / "protocol.pdf";
    const auto run = cli::runProgram({"validate", "--population", "white", "--data", kData, "--cases", "1000", "--seed",
                                      "4", "--mutation", "proportional:0,002", "--report", pdfPath.string()});
    ASSERT_EQ(run.status, 0) << run.err;
    const int pages = testsupport::pdfPages(pdfPath);
    ASSERT_GE(pages, 3);
    for (int p = 1; p <= pages; ++p)
        EXPECT_NE(
            testsupport::pdfText(pdfPath, p, p).find("Страница " + std::to_string(p) + " из " + std::to_string(pages)),
            std::string::npos);
    const std::string text = testsupport::squeezed(testsupport::pdfText(pdfPath));
    for (const char* expected :
         {"Протоколвалидациирасчётаиндексаотцовства", "Расчётпрограммысовпадаетснезависимымрасчётомвовсех1000случаях.",
          "Европеоиды США", "мутацияμ=0,002", "Охват:исходыпрограммы", "Таблицычастот", "Случаи:первые50",
          "Валидациюпровёл"})
        EXPECT_NE(text.find(testsupport::squeezed(expected)), std::string::npos) << expected;
}

} // namespace
