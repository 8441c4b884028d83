// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A genotyping program's export of sample profiles, as read from its text file. The pipeline:
// the file read within a size limit and decoded (tabletext), split at its separator into rows
// that keep their lines, the header found and its layout recognised (exportlayouts.h), and each
// row's allele cells read into calls of one sample at one marker (allelecells.h). The case of
// father, child and mother is formed from it against the data folder's loci in profilecase.h.
//
// Labels are kept in the program's form: "9.3" and "9,3" are both "9,3"; an off-ladder call
// ("OL", "<8", ">33") is kept as written, so the row can say why it is not evaluated.
#include <cstddef>
#include <filesystem>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "profiles/samplecalls.h"

namespace profiles {

struct ExportedSample {
    std::string name; // as written, trimmed
    SampleCalls calls; // by the marker's place in GenotypeExport::markerKeys
    // Markers given in two rows with different alleles (a control injected twice): the first
    // such marker, "маркер «vWA»: строка 2 — 17/18, строка 4 — 17/19". A case refuses the sample.
    std::string conflict;
    // Markers with at least one allele.
    std::size_t typedMarkers() const { return calls.typedCount(); }
};

struct GenotypeExport {
    std::string layout; // how the file was read, for the operator ("текст UTF-8, ...")
    // The markers in the order of the file: each key once, with its first spelling.
    std::vector<std::string> markerKeys;
    std::map<std::string, std::string> markerNames;
    std::map<std::string, std::size_t> markerPlaces; // by key: the place in markerKeys
    std::vector<ExportedSample> samples; // in the order of their first row
    // What the reader noticed and the case must state: lines after the table that were not
    // read, a last line without a line end.
    std::vector<std::string> notes;

    // The sample of that exact name, or null.
    const ExportedSample* sample(const std::string& name) const;
    std::vector<std::string> sampleNames() const;
    // The sample's call at the marker of that key (tabletext::locusKey); none when no row gives one.
    std::optional<MarkerCall> findCall(const ExportedSample& sample, const std::string& markerKey) const;
};

// A file that is not a genotype export this reader understands. what() names the file, the line
// where one is at fault, and the reason, in Russian.
class ExportError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Exports of a whole run are a few megabytes; a far larger file is not one.
inline constexpr std::uintmax_t kMaxExportBytes = 16u << 20;
inline constexpr std::size_t kMaxExportCells = 2'000'000;

GenotypeExport readGenotypeExport(const std::filesystem::path& path);

// The same for the bytes of a file; `fileLabel` names it in refusals.
GenotypeExport readGenotypeExportText(const std::string& bytes, const std::string& fileLabel);

// False for a workbook (.xlsx/.ods zip or .xls compound file, by its first bytes): those are
// genotype or results workbooks. A file that cannot be read is no export either.
bool isGenotypeExportFile(const std::filesystem::path& path);

} // namespace profiles
