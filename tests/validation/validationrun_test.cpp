// SPDX-License-Identifier: GPL-3.0-or-later
// The validation run over a hand-made table: the program agrees with the independent likelihood
// under every setting, every outcome is reached even by a tiny run, a seed repeats its cases, and
// a deliberately wrong engine is caught case by case.
#include <gtest/gtest.h>

#include <set>

#include "testtable.h"
#include "validation/formulashape.h"
#include "validation/validationrun.h"

namespace {

using validation::runValidation;

freqdb::LabSettings settingsOf(bool mutation, bool minimum)
{
    freqdb::LabSettings settings;
    if (mutation)
        settings.mutationModel = freqdb::MutationModel::Proportional;
    if (minimum) {
        settings.minFrequency = 0.02L;
        settings.minFrequencyText = "0,02";
    }
    return settings;
}

TEST(ValidationRun, AgreesAndReachesEveryOutcomeUnderEachSetting)
{
    const text::NumberFormat format(",");
    for (const auto& [mutation, minimum] : {std::pair{false, false}, {true, false}, {false, true}, {true, true}}) {
        SCOPED_TRACE(testing::Message() << "mutation " << mutation << ", minimum " << minimum);
        const freqdb::LocusTable table = validationtest::runTable(settingsOf(mutation, minimum));
        const auto result = runValidation(table, format, {600, 11, {}});
        EXPECT_TRUE(result.allAgree());
        for (std::size_t i : result.disagreements) {
            const auto& c = result.cases[i];
            ADD_FAILURE() << c.drawn.locus << " " << c.father << " " << c.child << " " << c.mother << ": "
                          << c.problems.front();
        }
        EXPECT_TRUE(result.unreached.empty());
        EXPECT_EQ(result.drawnOnPurpose, 0u);
        for (const auto& line : result.coverage)
            EXPECT_TRUE(line.expected) << line.outcome; // nothing but the program's own outcomes
        EXPECT_LE(result.largestRelativeDifference, validation::kAgreement);
        // Deficiency cases: every constellation as a trio and a duo, every locus agreeing.
        EXPECT_EQ(result.relatives.size(), validation::relativesCaseCount(600));
        std::set<std::pair<std::size_t, bool>> reached;
        for (const auto& c : result.relatives) {
            reached.insert({c.drawn.constellation, c.drawn.trio});
            for (const auto& row : c.rows)
                for (const std::string& problem : row.problems)
                    ADD_FAILURE() << validation::constellationText(c.drawn) << ", " << row.locus << ": " << problem;
        }
        EXPECT_EQ(reached.size(), 2 * validation::relativesConstellations().size());
    }
}

// A rare allele of a large database (1,65399E-04 in 6046 alleles) gives indices from 1000 on,
// whose texts keep five significant digits: 3022,99 reads 3023,00, as the program writes it.
TEST(ValidationRun, IndicesFromAThousandOnAgree)
{
    freqdb::LocusTable table;
    table.setPopulation(freqdb::Population::UsCaucasians);
    table.setLocusCount(1);
    table.replaceRecord(
        1, validationtest::makeLocus(
               "SE33",
               {{"7,3", 0.000165399L}, {"19", 0.3L}, {"28,2", 0.3L}, {"35,2", 0.000165399L}, {"12,1", 0.399669202L}}));
    const auto result = runValidation(table, text::NumberFormat(","), {300, 3, {}});
    EXPECT_TRUE(result.allAgree());
    for (std::size_t i : result.disagreements)
        ADD_FAILURE() << result.cases[i].father << " " << result.cases[i].child << ": "
                      << result.cases[i].problems.front();
}

TEST(ValidationRun, TinyRunDrawsUnreachedOutcomesOnPurpose)
{
    const auto result = runValidation(validationtest::runTable({}), text::NumberFormat(","), {2, 5, {}});
    EXPECT_GT(result.drawnOnPurpose, 0u);
    EXPECT_TRUE(result.unreached.empty());
    EXPECT_TRUE(result.allAgree());
}

TEST(ValidationRun, SeedRepeatsTheCases)
{
    const auto table = validationtest::runTable(settingsOf(false, true));
    const text::NumberFormat format(",");
    auto cases = [&](std::uint64_t seed) {
        std::vector<std::string> out;
        for (const auto& c : runValidation(table, format, {200, seed, {}}).cases)
            out.push_back(c.drawn.locus + c.father + c.child + c.mother);
        return out;
    };
    EXPECT_EQ(cases(42), cases(42));
    EXPECT_NE(cases(42), cases(43));
}

// The engine with one formula swapped: where the mother and child share a heterozygous genotype
// and the father carries another allele, it gives the index of a father without one (doubled).
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

TEST(ValidationRun, CatchesEveryCaseOfASwappedFormula)
{
    const auto result
        = runValidation(validationtest::runTable({}), text::NumberFormat(","), {600, 3, {}}, swappedFormula());
    ASSERT_FALSE(result.allAgree());
    std::size_t swapped = 0;
    for (const auto& line : result.coverage)
        swapped += line.outcome == "1/(2p(a)+2p(b))" ? line.cases : 0;
    EXPECT_EQ(result.disagreements.size(), swapped);
    for (std::size_t i : result.disagreements)
        EXPECT_EQ(validation::formulaShape(result.cases[i].formula).shape, "1/(2p(a)+2p(b))");
}

// A formula text naming the wrong allele, with the right number: caught by reading the text back.
TEST(ValidationRun, CatchesAFormulaTextThatNamesTheWrongAllele)
{
    const auto wrongLabel = [](const freqdb::LocusTable& table, std::string_view locus,
                               const results::GenotypeRowTexts& row, const text::NumberFormat& format) {
        engine::LocusOutcome outcome = results::evaluateGenotypeRow(table, locus, row, format);
        if (outcome.rule == "D7")
            outcome.formula = "1/4p(" + row.genotype.child2 + ")";
        return outcome;
    };
    const auto result = runValidation(validationtest::runTable({}), text::NumberFormat(","), {600, 3, {}},
                                      validation::RowEvaluator(wrongLabel));
    ASSERT_FALSE(result.allAgree());
}

} // namespace
