// SPDX-License-Identifier: GPL-3.0-or-later
#include "freqdb/locustable.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using freqdb::LocusRecord;
using freqdb::LocusTable;

LocusRecord locus(const std::string& name, const std::vector<std::string>& labels)
{
    LocusRecord r;
    r.Name = name;
    for (const auto& label : labels) {
        ++r.AlleleCount;
        r.Labels[r.AlleleCount] = label;
        r.Frequencies[r.AlleleCount] = 0.1L;
    }
    return r;
}

LocusTable tableOf(const std::vector<LocusRecord>& records)
{
    LocusTable table;
    table.setLocusCount(static_cast<std::uint8_t>(records.size()));
    for (std::size_t k = 0; k < records.size(); ++k)
        table.replaceRecord(static_cast<std::uint8_t>(k + 1), records[k]);
    return table;
}

TEST(LocusTable, EmptyTableFindsNothing)
{
    const LocusTable table;
    EXPECT_EQ(table.LocusCount(), 0);
    for (const char* name : {"", "vWA", "Нет"})
        EXPECT_EQ(table.LocusIndexOf(name), 0) << name;
    EXPECT_EQ(table.AlleleIndexOf(1, "12"), 0);
    EXPECT_EQ(table.AlleleIndexOf(0, "Нет"), freqdb::NoAllele);
}

TEST(LocusTable, LocusIndexOfComparesExactlyAndTakesTheLast)
{
    const LocusTable table = tableOf({locus("vWA", {}), locus("TPOX", {}), locus("vWA", {}), locus("VWA", {})});
    EXPECT_EQ(table.LocusIndexOf("vWA"), 3);
    EXPECT_EQ(table.LocusIndexOf("VWA"), 4);
    EXPECT_EQ(table.LocusIndexOf("TPOX"), 2);
    EXPECT_EQ(table.LocusIndexOf("TPOX "), 0);
    EXPECT_EQ(table.LocusIndexOf("tpox"), 0);
}

TEST(LocusTable, SlotsAboveTheCountAreNotSearched)
{
    LocusTable table = tableOf({locus("A", {"12"}), locus("B", {"12"})});
    table.setLocusCount(1);
    EXPECT_EQ(table.LocusIndexOf("B"), 0);
    EXPECT_EQ(table.AlleleIndexOf(2, "12"), 0);
    EXPECT_EQ(table.record(2).AlleleCount, 0); // never a record of an earlier load

    // A count raised over records never set reads empty slots, whichever way the table was filled.
    table.setRecords({locus("C", {"7"})});
    table.setLocusCount(3);
    EXPECT_EQ(table.record(3).Name, "");
    EXPECT_EQ(table.LocusIndexOf("C"), 1);
    EXPECT_EQ(table.AlleleIndexOf(3, "7"), 0);
}

TEST(LocusTable, AlleleIndexOf)
{
    const LocusTable table
        = tableOf({locus("D8", {"12", "13", "12", "Нет", "", "9,3", ""}), locus("Empty", {}), locus("X", {"9"})});
    EXPECT_EQ(table.AlleleIndexOf(1, "12"), 3); // the later of two equal labels
    EXPECT_EQ(table.AlleleIndexOf(1, "13"), 2);
    EXPECT_EQ(table.AlleleIndexOf(1, "Нет"), freqdb::NoAllele); // even with an allele labelled so
    EXPECT_EQ(table.AlleleIndexOf(1, ""), 7); // the last empty label
    EXPECT_EQ(table.AlleleIndexOf(1, "9,3"), 6);
    EXPECT_EQ(table.AlleleIndexOf(1, "9.3"), 0);
    EXPECT_EQ(table.AlleleIndexOf(1, "9"), 0); // a label of another locus
    EXPECT_EQ(table.AlleleIndexOf(2, "12"), 0); // no alleles
    EXPECT_EQ(table.AlleleIndexOf(2, "Нет"), freqdb::NoAllele);
    EXPECT_EQ(table.AlleleIndexOf(2, ""), 0);
    EXPECT_EQ(table.AlleleIndexOf(0, "12"), 0); // no locus chosen
    EXPECT_EQ(table.AlleleIndexOf(200, "12"), 0);
}

// A typed label names the allele of the same number whichever separator either side wrote.
TEST(LocusTable, MatchAlleleTakesTheOtherDecimalSeparator)
{
    const LocusTable table = tableOf({locus("TH01", {"6", "9,3", "10", "<8", "Нет", "13.2", "9.3"})});
    const std::pair<const char*, int> cases[] = {
        {"9,3", 2}, // exact, before any equal number
        {"9.3", 7}, // exact
        {"9.30", 7}, // the last of the labels of that number
        {"6", 1},    {"6,0", 1}, {"06", 1},   {"10.", 0},  {",3", 0},  {"13,2", 6},
        {"13.2", 6}, {"<8", 4},  {"<8.0", 0}, {"9,3,", 0}, {"1e1", 0}, {"Нет", freqdb::NoAllele},
        {"11", 0},   {"", 0},
    };
    for (const auto& [label, expected] : cases)
        EXPECT_EQ(table.matchAllele(1, label), expected) << label;
    EXPECT_EQ(table.matchAllele(2, "9.3"), 0); // no locus there
}

TEST(LocusTable, CutLabelIsFoundOnlyInItsCutForm)
{
    const LocusTable table = tableOf({locus("D8", {"12345"})});
    EXPECT_EQ(table.AlleleIndexOf(1, "12345"), 1);
    EXPECT_EQ(table.AlleleIndexOf(1, "123456"), 0);
}

TEST(LocusTable, RefusesMoreThanItHolds)
{
    LocusTable table;
    EXPECT_THROW(table.setLocusCount(101), std::out_of_range);
    EXPECT_THROW(table.replaceRecord(0, LocusRecord{}), std::out_of_range);
    LocusRecord tooMany;
    tooMany.AlleleCount = 101;
    EXPECT_THROW(table.replaceRecord(1, tooMany), std::out_of_range);
    EXPECT_THROW(table.setRecords({tooMany}), std::out_of_range);
    EXPECT_THROW(table.setRecords(std::vector<LocusRecord>(101)), std::out_of_range);
    EXPECT_EQ(table.LocusCount(), 0);
}

} // namespace
