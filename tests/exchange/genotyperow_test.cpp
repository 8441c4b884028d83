// SPDX-License-Identifier: GPL-3.0-or-later
#include "results/genotyperow.h"

#include <gtest/gtest.h>

#include <tuple>

#include "exchangetesting.h"
#include "results/exclusionpowers.h"

namespace results {
namespace {

struct SplitCase {
    const char* name;
    std::string cell;
    std::optional<AllelePair> expected;
};

class SplitGenotype : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitGenotype, SplitsAtTheFirstSlashFromPositionTwo)
{
    EXPECT_EQ(splitGenotype(GetParam().cell), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cells, SplitGenotype,
    ::testing::Values(SplitCase{"Plain", "15/16", AllelePair{"15", "16"}},
                      SplitCase{"DecimalCommaLabel", "9,3/10", AllelePair{"9,3", "10"}},
                      SplitCase{"AbsentMother", "Нет/Нет", AllelePair{"Нет", "Нет"}},
                      SplitCase{"LeadingSlashBelongsToLabel", "/1/2", AllelePair{"/1", "2"}},
                      SplitCase{"CyrillicFirstCharacterThenSlash", "Ж/Ж", AllelePair{"Ж", "Ж"}},
                      SplitCase{"LabelsCutToFiveCharacters", "1234567/ЖЖЖЖЖЖЖ", AllelePair{"12345", "ЖЖЖЖЖ"}},
                      SplitCase{"SecondLabelMayBeEmpty", "15/", AllelePair{"15", ""}},
                      SplitCase{"SecondSlashStaysInLabel2", "1/2/3", AllelePair{"1", "2/3"}},
                      SplitCase{"NoSlash", "15", std::nullopt}, SplitCase{"Empty", "", std::nullopt},
                      SplitCase{"OnlySlashAtPositionOne", "/15", std::nullopt},
                      SplitCase{"LoneSlash", "/", std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(GenotypeRow, JoinIsTheInverseOfSplit)
{
    EXPECT_EQ(joinGenotype("9,3", "Нет"), "9,3/Нет");
    EXPECT_EQ(splitGenotype(joinGenotype("9,3", "10")), (AllelePair{"9,3", "10"}));
}

TEST(GenotypeRow, UnsplittableCellKeepsItsTextAndIsReported)
{
    const auto row = genotypeFromCells({"15/16", "1516171819", ""});
    EXPECT_EQ(row.genotype.father1, "15");
    EXPECT_EQ(row.genotype.child1, "15161");
    EXPECT_EQ(row.genotype.child2, "");
    ASSERT_TRUE(row.unsplit);
    EXPECT_EQ(*row.unsplit, Person::Child); // the first bad cell in father, child, mother order
}

// A row loaded from a genotype workbook and saved again writes every cell as it stood: a cell
// that could not be split is not given a "/" it never had ("2122" stayed "2122/", "/7" "/7/").
TEST(GenotypeRow, SavedCellTextIsTheCellRead)
{
    for (const std::string cell : {"15/16", "15/", "Нет/Нет", "/1/2", "2122", "/7", "/", "1516171819", "Ж"}) {
        const auto row = genotypeFromCells({cell, cell, cell});
        const RowGenotype& g = row.genotype;
        EXPECT_EQ(genotypeCellText(g.father1, g.father2, g.fatherCell), cell);
        EXPECT_EQ(genotypeCellText(g.child1, g.child2, g.childCell), cell);
        EXPECT_EQ(genotypeCellText(g.mother1, g.mother2, g.motherCell), cell);
    }
}

RowGenotype trio(std::string f1, std::string f2, std::string c1, std::string c2, std::string m1, std::string m2)
{
    return RowGenotype{std::move(m1), std::move(m2), std::move(c1), std::move(c2), std::move(f1), std::move(f2)};
}

struct RowCase {
    const char* name;
    std::string locus;
    RowGenotype genotype;
    std::string formula; // column 2
    std::string lr; // column 5
    engine::Verdict verdict;
};

class EvaluateRow : public ::testing::TestWithParam<RowCase> {};

TEST_P(EvaluateRow, GivesTheFormulaOrAVerdictWithoutLr)
{
    const text::NumberFormat format(",");
    const auto& c = GetParam();
    const auto outcome = evaluateGenotypeRow(exchange::testing::makeTable(), c.locus, c.genotype, format);
    EXPECT_EQ(outcome.formula, c.formula);
    EXPECT_EQ(outcome.lr, c.lr);
    EXPECT_EQ(outcome.verdict, c.verdict);
    if (outcome.verdict == engine::Verdict::Failed) {
        EXPECT_FALSE(outcome.frequency1);
        EXPECT_FALSE(outcome.frequency2);
    }
}

using engine::Verdict;
INSTANTIATE_TEST_SUITE_P(
    Rows, EvaluateRow,
    ::testing::Values(
        RowCase{"Trio", "D3S1358", trio("15", "16", "15", "17", "17", "18"), "1/2p(15)", "2,00", Verdict::Index},
        RowCase{"DuoWithAbsentMother", "D3S1358", trio("15", "15", "15", "15", "Нет", "Нет"), "1/p(15)", "4,00",
                Verdict::Index},
        RowCase{"HalfAbsentMotherIsADuo", "D3S1358", trio("15", "15", "15", "15", "Нет", "14"), "1/p(15)", "4,00",
                Verdict::Index},
        RowCase{"CyrillicLocusAndCommaLabel", "ТН01-Ж", trio("9,3", "6", "9,3", "7", "7", "10"), "1/2p(9,3)", "1,67",
                Verdict::Index},
        RowCase{"PointLabelIsTheTablesCommaLabel", "ТН01-Ж", trio("9.3", "6", "9.3", "7", "7", "10"), "1/2p(9,3)",
                "1,67", Verdict::Index},
        RowCase{"Exclusion", "D3S1358", trio("14", "14", "16", "17", "17", "18"), "Отцовство исключается", "0",
                Verdict::PaternityExcluded},
        RowCase{"LocusNotLoaded", "D99", trio("15", "16", "15", "17", "17", "18"), "Локус D99 не загружен", "",
                Verdict::Failed},
        RowCase{"LocusNameIsCaseSensitive", "d3s1358", trio("15", "16", "15", "17", "17", "18"),
                "Локус d3s1358 не загружен", "", Verdict::Failed},
        RowCase{"EmptyLocus", "", trio("15", "16", "15", "17", "17", "18"), "Не указан локус", "", Verdict::Failed},
        RowCase{"FatherAlleleUnknown", "D3S1358", trio("15", "99", "15", "17", "17", "18"),
                "Аллеля 99 (отца) нет в локусе D3S1358", "", Verdict::Failed},
        RowCase{"MotherAlleleUnknown", "D3S1358", trio("15", "16", "15", "17", "17", "9,3"),
                "Аллеля 9,3 (матери) нет в локусе D3S1358", "", Verdict::Failed},
        RowCase{"FatherNet", "D3S1358", trio("Нет", "Нет", "15", "17", "17", "18"), "Не указан генотип отца", "",
                Verdict::Failed},
        RowCase{"ChildNet", "D3S1358", trio("15", "16", "15", "Нет", "17", "18"), "Не указан генотип ребенка", "",
                Verdict::Failed},
        RowCase{"ChildEmptyLabel", "D3S1358", trio("15", "16", "15", "", "17", "18"), "Не указан генотип ребенка", "",
                Verdict::Failed},
        RowCase{"MotherEmptyLabel", "D3S1358", trio("15", "16", "15", "17", "", "18"), "Не указан генотип матери", "",
                Verdict::Failed}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(GenotypeRow, UnsplitCellIsNamedBeforeItsLabelsAreLookedUp)
{
    const text::NumberFormat format(",");
    const auto row = genotypeFromCells({"15/16", "15/17", "17"});
    const auto outcome = evaluateGenotypeRow(exchange::testing::makeTable(), "D3S1358", row, format);
    EXPECT_EQ(outcome.formula, noSlashVerdict(Person::Mother));
    EXPECT_EQ(outcome.lr, "");
}

// An off-ladder call is no allele label: "OL" of the father and "OL" of the child need not be one
// allele. With a minimum frequency it used to be one, and father 15/OL, child OL/16 read 1/2p(OL)
// = 100,00 with status 0; with or without it the row is now stated and not evaluated.
TEST(GenotypeRow, OffLadderCallIsNeverAnAllele)
{
    const text::NumberFormat format(",");
    freqdb::LocusTable withMinimum = exchange::testing::makeTable();
    freqdb::LabSettings settings;
    settings.minFrequency = 0.005L;
    settings.minFrequencyText = "0,005";
    withMinimum.setSettings(settings);
    const std::pair<RowGenotype, std::string> cases[] = {
        {trio("15", "OL", "OL", "16", "16", "17"), offLadderVerdict(Person::Father, "OL")},
        {trio("15", "16", "15", "ol", "Нет", "Нет"), offLadderVerdict(Person::Child, "ol")},
        {trio("15", "16", "15", ">33", ">33", "17"), offLadderVerdict(Person::Child, ">33")},
        {trio("15", "16", "15", "17", "<8", "17"), offLadderVerdict(Person::Mother, "<8")},
    };
    for (const freqdb::LocusTable& table : {exchange::testing::makeTable(), withMinimum}) {
        for (const auto& [genotype, verdict] : cases) {
            const auto outcome = evaluateGenotypeRow(table, "D3S1358", genotype, format);
            EXPECT_EQ(outcome.formula, verdict);
            EXPECT_EQ(outcome.lr, "");
            EXPECT_EQ(rowExclusionPower(table, "D3S1358", genotype), std::nullopt) << verdict;
        }
    }
}

// With a minimum frequency a label the table lacks became an allele whatever it was: "15 " with a
// stray blank, or "16.3" of the father beside "16,3" of the child (two alleles), gave a false
// "Отцовство исключается" with status 0, and the typing error "l7" an LR of 100. Blanks are now
// no part of a label, an added allele is one number however written, and only a number is one.
TEST(GenotypeRow, TypedLabelsMeanTheAlleleTheyWrite)
{
    const text::NumberFormat format(",");
    freqdb::LocusTable withMinimum = exchange::testing::makeTable();
    freqdb::LabSettings settings;
    settings.minFrequency = 0.005L;
    settings.minFrequencyText = "0,005";
    withMinimum.setSettings(settings);
    struct Case {
        bool minimum;
        RowGenotype genotype;
        std::string formula;
        const char* lr;
    };
    const Case cases[] = {
        {false, trio(" 15", "16", "15 ", "17", "	17", "18\xC2\xA0"), "1/2p(15)", "2,00"},
        {true, trio(" 15", "16", "15 ", "17", "	17", "18\xC2\xA0"), "1/2p(15)", "2,00"},
        {true, trio(" Нет", "16", "15", "17", "17", "18"), missingGenotypeVerdict(Person::Father), ""},
        {true, trio("16", "99.1", "99,1", "17", "17", "18"), "1/2p(99.1)", "100,00"},
        {true, trio("16", "99,1 ", "99.10", "99,1", "Нет", "Нет"), "1/2p(99,1)", "100,00"},
        {true, trio("16", "l7", "l7", "17", "17", "18"), unknownAlleleVerdict(Person::Father, "l7", "D3S1358"), ""},
        {true, trio("15", "16", "15", "+17", "17", "18"), unknownAlleleVerdict(Person::Child, "+17", "D3S1358"), ""},
    };
    for (const Case& c : cases) {
        const auto outcome = evaluateGenotypeRow(c.minimum ? withMinimum : exchange::testing::makeTable(), "D3S1358",
                                                 c.genotype, format);
        EXPECT_EQ(outcome.formula, c.formula) << c.genotype.father1 << "/" << c.genotype.father2;
        EXPECT_EQ(outcome.lr, c.lr) << c.formula;
    }
}

// With a minimum frequency, a label the locus lacks is an allele of that frequency.
TEST(GenotypeRow, UnknownAlleleTakesTheMinimumFrequency)
{
    const text::NumberFormat format(",");
    freqdb::LocusTable table = exchange::testing::makeTable();
    freqdb::LabSettings settings;
    settings.minFrequency = 0.005L;
    settings.minFrequencyText = "0,005";
    table.setSettings(settings);
    struct Case {
        RowGenotype genotype;
        const char* formula;
        const char* frequency1;
        const char* lr;
    };
    const Case cases[] = {
        {trio("15", "99", "15", "17", "17", "18"), "1/2p(15)", "p(15)=0,250", "2,00"}, // not the one passed on
        {trio("16", "99", "99", "17", "17", "18"), "1/2p(99)", "p(99)=0,005", "100,00"},
        {trio("99", "99", "99", "99", "Нет", "Нет"), "1/p(99)", "p(99)=0,005", "200,00"},
        {trio("98", "99", "99", "98", "Нет", "Нет"), "(p(99)+p(98))/4p(99)p(98)", "p(99)=0,005", "100,00"},
        // One absent allele in both of its spellings is one allele: no exclusion of the mother.
        {trio("15", "16", "8.1", "15", "8,1", "17"), "1/2p(15)", "p(15)=0,250", "2,00"},
        {trio("8.1", "16", "8,1", "17", "17", "18"), "1/2p(8.1)", "p(8.1)=0,005", "100,00"},
    };
    for (const Case& c : cases) {
        const auto outcome = evaluateGenotypeRow(table, "D3S1358", c.genotype, format);
        EXPECT_EQ(outcome.formula, c.formula);
        EXPECT_EQ(outcome.frequency1, c.frequency1);
        EXPECT_EQ(outcome.lr, c.lr);
    }
    // A label the table writes with the other separator is the table's allele, not a new rare one.
    const Case written[] = {
        {trio("6", "9.3", "9.3", "7", "7", "7"), "1/2p(9,3)", "p(9,3)=0,300", "1,67"},
        {trio("9.30", "9.3", "9,3", "9.3", "Нет", "Нет"), "1/p(9,3)", "p(9,3)=0,300", "3,33"},
    };
    for (const Case& c : written) {
        const auto outcome = evaluateGenotypeRow(table, "ТН01-Ж", c.genotype, format);
        EXPECT_EQ(outcome.formula, c.formula);
        EXPECT_EQ(outcome.frequency1, c.frequency1);
        EXPECT_EQ(outcome.lr, c.lr);
    }
    // The table itself is untouched: the window's allele lists still offer only its alleles.
    EXPECT_EQ(table.record(1).AlleleCount, 5);
}

// A row as the table holds it once evaluated: its index in the LR column.
int appendEvaluated(ResultsGrid& grid, const RowGenotype& genotype, const std::string& lr = "1,00")
{
    const int r = grid.AppendRow("D3S1358", genotype);
    grid.setCell(r, kColumnLr, lr);
    return r;
}

// PE by hand from the definition, (1 - P)^2 with P the frequencies of the alleles the child may
// have from its father; CPE over the rows the CPI multiplies: marked, with an index.
TEST(ExclusionPowers, PerRowAndOverTheMarkedRows)
{
    const text::NumberFormat format(",");
    ResultsGrid grid;
    const std::tuple<RowGenotype, bool, std::string> rows[] = {
        {trio("15", "16", "15", "17", "17", "18"), true, "2,00"}, // paternal 15: (1 - 0,25)^2
        {trio("15", "16", "15", "16", "Нет", "Нет"), false, "1,11"}, // duo, 15 or 16: (1 - 0,45)^2, not marked
        {trio("16", "17", "14", "14", "14", "15"), true, "0"}, // excluded, paternal 14: (1 - 0,1)^2
        {trio("15", "16", "15", "16", "17", "18"), true, ""}, // the mother gives neither: no PE
        {trio("14", "15", "16", "15", "15", "16"), true, "1,11"}, // either: (1 - 0,45)^2
        {trio("15", "99", "15", "16", "15", "16"), true, ""}, // the father's allele unknown: no PE
        {trio("15", "16", "15", "17", "17", "18"), true, ""}, // without an index (not evaluated): no PE
    };
    for (const auto& [genotype, marked, lr] : rows) {
        const int r = appendEvaluated(grid, genotype, lr);
        if (marked)
            grid.ToggleMark(r);
    }
    const auto powers = exclusionPowers(exchange::testing::makeTable(), grid, format);
    EXPECT_EQ(powers.rows, (std::vector<std::string>{"0,5625", "0,3025", "0,8100", "", "0,3025", "", ""}));
    EXPECT_EQ(powers.combined, "0,9420"); // 1 - 0,4375 * 0,19 * 0,6975 = 0,94202
    EXPECT_EQ(powers.line(), std::string(kCpePrefix) + "0,9420");
    EXPECT_EQ(exclusionPowers(exchange::testing::makeTable(), ResultsGrid(), format).line(), "");
}

// Four decimals, but never a certainty that is not one: fifteen loci or more bring the CPE within
// 0,00005 of 1, and it used to read 1,0000; past the digits of long double it used to read 1,0000
// as well.
TEST(ExclusionPowers, BelowOneNeverReadsOneAboveZeroNeverZero)
{
    const text::NumberFormat format(",");
    const std::pair<long double, std::string> written[] = {
        {0.76354L, "0,7635"},
        {0.99994L, "0,9999"},
        {0.99995L, "0,99995"},
        {1 - 6.13e-8L, "0,9999999"},
        {1 - 3e-17L, "0,99999999999999997"},
        {1 - 1e-19L, "> 0,99999999999999999"},
        {1.0L, "1,0000"},
        {3.7e-5L, "3,70E-05"},
        {0.0L, "0,0000"},
    };
    for (const auto& [value, text] : written)
        EXPECT_EQ(exclusionPowerText(value, format), text) << static_cast<double>(value);

    // Paternal 14 at each row: 1 - PE = 0,19, so 10 rows leave 6,1E-08 and 40 rows 1,4E-29.
    for (const auto& [rows, cpe] : {std::pair{10, "0,9999999"}, std::pair{40, "> 0,99999999999999999"}}) {
        ResultsGrid grid;
        for (int i = 0; i < rows; ++i)
            grid.ToggleMark(appendEvaluated(grid, trio("16", "17", "14", "14", "14", "15"), "0"));
        EXPECT_EQ(exclusionPowers(exchange::testing::makeTable(), grid, format).combined, cpe) << rows;
    }
}

} // namespace
} // namespace results
