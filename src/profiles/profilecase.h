// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A case formed from a genotype export: the operator names the samples of the alleged father,
// the child and (when she was typed) the mother, and each locus of the data folder that the
// export holds becomes a row, in the order of the loaded loci, exactly as a genotype workbook
// with the same alleles gives it (exchange/genotypeworkbook.h). A homozygote "14" is "14/14".
//
// A call the export itself marks as not evaluable is stated on its row instead of evaluated, the
// first found of father, child, mother: an allele outside the allelic ladder, a call that is no
// allele label ("?"), more than two alleles, or no alleles at all (the locus was not typed for that person; for the
// mother too, since evaluating such a locus without her would be another case than the one asked for). Markers of the
// export that no locus workbook of the data folder names (amelogenin, Y markers, loci of another kit) are left out and
// listed once in a note.
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "exchange/loadedresults.h"
#include "freqdb/locustable.h"
#include "profiles/genotypeexport.h"
#include "results/genotyperow.h"
#include "text/numberformat.h"

namespace profiles {

struct CaseChoice {
    std::string father;
    std::string child;
    std::optional<std::string> mother; // none: a duo
};

// The names of the choice that the export does not hold; empty when it holds them all.
std::vector<std::string> missingSamples(const GenotypeExport& data, const CaseChoice& choice);

// The export's markers, by their first spelling, that match none of `locusNames` (locusKey).
std::vector<std::string> markersWithoutTable(const GenotypeExport& data, const std::vector<std::string>& locusNames);

struct CaseRow {
    std::string locus; // the name of the loaded locus
    results::GenotypeCells cells; // "a/b", "Нет/Нет" for a duo's mother
    std::string statedVerdict; // not empty: the row is shown with it, not evaluated
};

struct ProfileCase {
    std::vector<CaseRow> rows;
    std::vector<std::string> markersWithoutTable;
};

// The rows of the case. Throws ExportError when a marker matches two loaded loci (two workbooks
// "vWA" and "VWA" in the data folder). The names must be in the export (missingSamples).
ProfileCase formCase(const GenotypeExport& data, const CaseChoice& choice, const freqdb::LocusTable& table);

// The case evaluated as the genotype workbook of its rows is: the rows (at most 99, with the
// workbook's note beyond), the caption with the export's path, and notes for the markers left
// out. A failure (missing names, an ambiguous marker) is a LoadedResults that is not ok.
exchange::LoadedResults evaluateProfileCase(const GenotypeExport& data, const CaseChoice& choice,
                                            const freqdb::LocusTable& table, const text::NumberFormat& format,
                                            const std::filesystem::path& path);

// The alleles of a call as the locus's table reads them: a one-column "5,4" is the microvariant
// when the table has it, the alleles 5 and 4 when it has those instead. Throws ExportError naming
// the line, sample and marker when two readings both name alleles of the table.
const std::vector<std::string>& readingForTable(const MarkerCall& call, const std::string& sampleName,
                                                const freqdb::LocusTable& table, std::uint8_t locus);

// Verdicts of rows the export marks as not evaluable (column 2).
std::string offLadderVerdict(results::Person person, const std::string& label);
// A call of three or more alleles and a call that is neither a number of repeats nor a label of
// the locus's table ("?"): the genotype workbook's own verdicts, so a saved case reads back so.
using results::tooManyAllelesVerdict;
using results::unrecognisedAlleleVerdict;
std::string untypedVerdict(results::Person person);
// "отец «F», ребенок «C», мать «M»" (without the mother for a duo): the persons' samples.
std::string choiceText(const CaseChoice& choice);
// The note listing the markers left out.
std::string markersWithoutTableNote(const std::vector<std::string>& markers);

} // namespace profiles
