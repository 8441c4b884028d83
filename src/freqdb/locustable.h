// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// LocusTable: the loci of the chosen population, in ascending order of their workbook names.
// Slots 1 to LocusCount are the loaded loci; storage grows to the highest slot set (at most 100), so
// a table of 29 loci holds 29 records, not 100.
// The loader builds a whole new table and hands it over only when every workbook was read, so a
// table never mixes two populations. Lookups compare texts exactly (bytes, case-sensitive, no
// trimming) and take the last equal entry.
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "freqdb/labsettings.h"
#include "freqdb/locusrecord.h"
#include "freqdb/population.h"

namespace freqdb {

// Two labels name one allele: the same text, or the same decimal number written with either
// separator or other zeros ("9.3", "9,3", "9,30"), the rule of LocusTable::matchAllele.
bool sameAlleleLabel(std::string_view a, std::string_view b);

class LocusTable {
public:
    LocusTable();

    std::uint8_t LocusCount() const { return m_count; }
    Population population() const { return m_population; }

    // The lab's calculation settings loaded with the table (all off for a table built by hand).
    const LabSettings& settings() const { return m_settings; }
    void setSettings(LabSettings settings) { m_settings = std::move(settings); }

    // Record k, 1 <= k <= LocusCount. Any other k gives an empty record, never a read outside.
    const LocusRecord& record(std::uint8_t k) const;

    // Locus number of the last record named exactly `name`, 0 when there is none.
    std::uint8_t LocusIndexOf(std::string_view name) const;

    // Allele number of the last allele of locus `currentLocus` labelled exactly `label`, 0 when
    // there is none (or the locus number is not loaded); "Нет" always gives NoAllele.
    std::uint8_t AlleleIndexOf(std::uint8_t currentLocus, std::string_view label) const;

    // The allele a typed label names, for labels that come from outside the table (a genotype
    // workbook, the genotypes of a loaded results workbook): AlleleIndexOf, and when that finds
    // nothing, the last allele whose label is the same decimal number written with the other
    // separator or other zeros ("9.3" is the table's "9,3", as the import writes it). Only a
    // label truly absent from the locus gives 0.
    std::uint8_t matchAllele(std::uint8_t currentLocus, std::string_view label) const;

    // For the loader (and tests filling a table by hand).
    void setPopulation(Population population) { m_population = population; }
    void setLocusCount(std::uint8_t count);
    void replaceRecord(std::uint8_t k, LocusRecord record);
    // Loci 1..n are records[0..n-1], LocusCount n: a loaded table handed over without copying.
    void setRecords(std::vector<LocusRecord> records);

private:
    std::vector<LocusRecord> m_records; // slot k at [k - 1]; never shrinks
    std::uint8_t m_count = 0;
    Population m_population = Population::Unset;
    LabSettings m_settings;
};

// The number an allele label writes: digits with at most one decimal point or comma between
// digits ("9,3", "9.3", "10", "09.30"); nullopt for any other label ("<8", "Нет", "l7", "1e1").
std::optional<long double> alleleLabelNumber(std::string_view label);

// A label typed outside the table without the blanks a spreadsheet cell may carry around it
// (spaces, tabs, line ends, no-break spaces): "15 " is 15.
std::string_view withoutBlanks(std::string_view label);

} // namespace freqdb
