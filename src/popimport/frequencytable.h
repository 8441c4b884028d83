// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A published allele-frequency table as the import reads it, whatever its layout: loci, each
// with its alleles in ascending order of their repeat number, labels already in the program's
// form ("9,3", "10"), frequencies as proportions.
#include <stdexcept>
#include <string>
#include <vector>

namespace popimport {

struct ImportedAllele {
    std::string label; // as the program shows it, at most 5 characters
    double frequency = 0;
};

struct ImportedLocus {
    std::string name; // as the table writes it
    std::vector<ImportedAllele> alleles; // at most 99, none twice
    double sum = 0; // the total of the frequencies, as given
};

struct FrequencyTable {
    std::string layout; // how the table was read, for the summary
    std::vector<ImportedLocus> loci; // in the order of the table
    std::vector<std::string> emptyLoci; // named in the table without a single frequency
};

// Input refused before anything is written. what() names the file, the line or cell and the
// reason, in Russian.
class ImportError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace popimport
