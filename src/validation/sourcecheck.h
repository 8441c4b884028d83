// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The tables read a second way: the file a population's table was written from (its note in
// source/, freqdb/tablesource.h) read with the import's own text reader, and every allele's label
// and frequency compared with what the locus workbook loader read. Any difference fails the
// validation and is named: the locus, the allele and both values. A table without a source is
// stated as such, never passed in silence.
#include <string>
#include <vector>

#include "automation/workbook.h"
#include "freqdb/datafolder.h"
#include "freqdb/locustable.h"
#include "freqdb/population.h"

namespace validation {

inline constexpr const char* kNoSourceText = "таблица без источника: сверка не проводилась";

struct SourceCheck {
    bool found = false; // a source note exists for the population
    std::string file, original, origin, date, sha256; // as the note gives them
    std::size_t allelesCompared = 0;
    std::vector<std::string> lociWithoutSource; // loaded loci the source does not hold
    std::vector<std::string> differences; // in Russian, each naming the locus and the allele

    bool agrees() const { return differences.empty(); }
    // The cover's line: the file and what came of the comparison, or kNoSourceText.
    std::string summary() const;
};

SourceCheck checkSource(const freqdb::DataFolder& data, freqdb::Population population, const freqdb::LocusTable& table,
                        const automation::WorkbookReader& reader);

} // namespace validation
