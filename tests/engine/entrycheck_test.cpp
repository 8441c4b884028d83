// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/entrycheck.h"

#include <gtest/gtest.h>

#include <string>

#include "testlocus.h"

namespace {

using engine::CheckEntry;
using engine::EntryProblem;

struct EntryCase {
    const char* name;
    engine::EntryTexts entry; // father 1, father 2, child 1, child 2, mother 1, mother 2
    EntryProblem problem;
};

class EntryTest : public testing::TestWithParam<EntryCase> {};

TEST_P(EntryTest, FirstFailingCheck)
{
    const auto locus = enginetest::makeLocus({{"12", 0.1L}, {"14", 0.2L}, {"9,3", 0.05L}});
    EXPECT_EQ(CheckEntry(GetParam().entry, locus), GetParam().problem);
}

INSTANTIATE_TEST_SUITE_P(
    CheckEntry, EntryTest,
    testing::Values(
        EntryCase{"Complete", {{"12", "14", "12", "9,3", "14", "9,3"}}, EntryProblem::None},
        EntryCase{"MotherNotTyped", {{"12", "14", "12", "12", "Нет", "Нет"}}, EntryProblem::None},
        EntryCase{"MotherNotTypedInOneList", {{"12", "14", "12", "12", "Нет", "14"}}, EntryProblem::None},
        EntryCase{"NothingChosen", {{"", "", "", "", "", ""}}, EntryProblem::MissingGenotype},
        EntryCase{"FatherAndMotherMissing", {{"", "14", "12", "12", "", ""}}, EntryProblem::MissingGenotype},
        EntryCase{"ChildMissing", {{"12", "14", "12", "", "Нет", "Нет"}}, EntryProblem::MissingGenotype},
        EntryCase{"MotherMissing", {{"12", "14", "12", "12", "Нет", ""}}, EntryProblem::MissingMother},
        EntryCase{"UnknownLabel", {{"12", "15", "12", "12", "Нет", "Нет"}}, EntryProblem::WrongGenotype},
        EntryCase{"FatherNotTyped", {{"Нет", "14", "12", "12", "12", "12"}}, EntryProblem::WrongGenotype},
        EntryCase{"ChildNotTyped", {{"12", "14", "12", "Нет", "12", "12"}}, EntryProblem::WrongGenotype},
        EntryCase{"CaseMatters", {{"12", "14", "12", "12", "нет", "12"}}, EntryProblem::WrongGenotype},
        EntryCase{"NoTrimming", {{"12 ", "14", "12", "12", "12", "12"}}, EntryProblem::WrongGenotype},
        EntryCase{"MissingBeforeWrong", {{"15", "14", "", "12", "12", "12"}}, EntryProblem::MissingGenotype}),
    [](const testing::TestParamInfo<EntryCase>& info) { return std::string(info.param.name); });

TEST(CheckEntry, EmptyLocusAcceptsNoAllele)
{
    EXPECT_EQ(CheckEntry({{"12", "12", "12", "12", "Нет", "Нет"}}, freqdb::LocusRecord{}), EntryProblem::WrongGenotype);
}

TEST(CheckEntry, Messages)
{
    EXPECT_EQ(engine::entryMessage(EntryProblem::MissingGenotype), "Введите все генотипы");
    EXPECT_EQ(engine::entryMessage(EntryProblem::MissingMother), "Нет генотипа матери");
    EXPECT_EQ(engine::entryMessage(EntryProblem::WrongGenotype), "Неправильно введены генотипы");
    EXPECT_EQ(engine::entryMessage(EntryProblem::None), "");
}

} // namespace
