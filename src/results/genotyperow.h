// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A results row evaluated from texts: the locus name and the six allele labels as a genotype
// workbook or RowGenotypes hold them. The batch evaluation of a genotype workbook and the
// recomputation after a change of population both come here, so a row whose texts do not name
// a loaded locus and its alleles is shown the same way everywhere: with a verdict in column 2
// that says what is wrong and no LR, so it can never enter the combined index. No lookup result
// that does not name an allele (0, or NoAllele for the father or the child) reaches
// EvaluateLocus.
//
// Genotype cells read "a/b": allele label 1, "/", allele label 2, split at the first "/" at
// character position 2 or later (so a label may itself start with "/"), each label cut to 5
// characters. An absent mother is "Нет/Нет". A person with no label at all (an empty cell, a
// genotyping export's empty call) was not typed at the locus: the row says so, however it was
// read or recomputed.
#include <optional>
#include <string>
#include <string_view>

#include "engine/evaluatelocus.h"
#include "freqdb/locustable.h"
#include "results/resultsgrid.h"
#include "text/numberformat.h"

namespace results {

struct AllelePair {
    std::string first;
    std::string second;
    bool operator==(const AllelePair&) const = default;
};

// The two labels of a genotype cell, or nullopt when the text has no "/" at character position
// 2 or later (an empty cell included).
std::optional<AllelePair> splitGenotype(std::string_view cell);

// "a/b": the text of a genotype cell.
std::string joinGenotype(std::string_view first, std::string_view second);

// The text a genotype cell is saved as: `ownCell` when the row kept one (a cell that could not
// be split), else "first/second".
std::string genotypeCellText(std::string_view first, std::string_view second, std::string_view ownCell);

enum class Person { Father, Child, Mother };

// The three genotype cells of a row as texts, in the order of a genotype workbook.
struct GenotypeCells {
    std::string father;
    std::string child;
    std::string mother;
};

// A row read from genotype cells: the labels kept for RowGenotypes (none for an empty cell), and
// the person whose cell could not be split (its labels are then the cell's text cut to 5
// characters and an empty second label, and the cell's whole text is kept in RowGenotype, so
// saving the row writes the cell back as it was). A cell of three or more alleles is kept whole
// the same way, beside its first two labels; such a row is not evaluated.
struct GenotypeRowTexts {
    RowGenotype genotype;
    std::optional<Person> unsplit;
};
GenotypeRowTexts genotypeFromCells(const GenotypeCells& cells);

// Verdict texts of rows that cannot be evaluated (column 2).
std::string locusNotLoadedVerdict(std::string_view locusName);
std::string noSlashVerdict(Person person);
std::string missingGenotypeVerdict(Person person);
// "Локус не типирован у ребенка": the person has no label at this locus.
std::string untypedLocusVerdict(Person person);
std::string unknownAlleleVerdict(Person person, std::string_view label, std::string_view locusName);
std::string offLadderVerdict(Person person, std::string_view label);
// A cell of three or more alleles ("15/16/17"): "Три аллеля у ребенка: не рассчитывается".
std::string tooManyAllelesVerdict(Person person, std::size_t count);
// A label that writes a number but no number of repeats ("9,33", "11,12"; "99.10" is 99,1).
std::string unrecognisedAlleleVerdict(Person person, std::string_view label);

// "15", "9,3", "9.3": a number of repeats, whose part is one digit. "9,33" or "15,16" is not.
bool isRepeatNumberLabel(std::string_view label);

// The labels of a genotype cell split at every "/" as splitGenotype splits at the first: 3 for
// "15/16/17", 2 for "15/16", 1 for a cell without a split.
std::size_t genotypeLabelCount(std::string_view cell);

// "OL", "off-ladder", "<8", ">33": a call outside the allelic ladder, not an allele label. Two
// such calls need not be the same allele, so a row holding one the table lacks is not evaluated,
// with or without a minimum frequency.
bool isOffLadderLabel(std::string_view label);

// Evaluates one row: finds the locus (LocusIndexOf) and the six alleles (matchAllele) and calls
// EvaluateLocus. A locus that is not loaded, a label that is not an allele of the locus, "Нет" or
// an empty label for the father or the child, or a half-"Нет" mother whose other label is no
// allele, gives Verdict::Failed with the verdict text in `formula` and no LR (a person with no
// label at all: untypedLocusVerdict). Checks go locus,
// father, child, mother; the first problem found is the one reported. The table's settings
// apply; with a minimum frequency set, a label the locus lacks is an allele of that frequency
// (added after the table's own alleles) rather than a failed row.
engine::LocusOutcome evaluateGenotypeRow(const freqdb::LocusTable& table, std::string_view locusName,
                                         const RowGenotype& genotype, const text::NumberFormat& format);

// The same for a row read from cells: a cell without "/" is reported by noSlashVerdict.
engine::LocusOutcome evaluateGenotypeRow(const freqdb::LocusTable& table, std::string_view locusName,
                                         const GenotypeRowTexts& row, const text::NumberFormat& format);

// The power of exclusion of a row (engine/exclusionpower.h), its alleles found as above: nullopt
// for a row that cannot be evaluated or whose child shares no allele with the typed mother.
std::optional<long double> rowExclusionPower(const freqdb::LocusTable& table, std::string_view locusName,
                                             const RowGenotype& genotype);

} // namespace results
