// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// skipped-loci.txt in a data folder names the loci that have no worksheet for a population on
// purpose, one "<population code> <locus>" a line ("white D99S1"; '#' starts a comment):
// `import --new-loci` writes it for the other populations of a locus it adds, `import --prune`
// into the lab's folder for the installed workbooks the lab's table does not cover. The loader
// leaves such a locus out for that population and says so; a worksheet missing from a locus not
// named here still fails the load.
#include <filesystem>
#include <set>
#include <string>
#include <utility>

#include "freqdb/population.h"

namespace freqdb {

inline constexpr const char* kSkippedLociName = "skipped-loci.txt";

class SkippedLoci {
public:
    // The list of a folder; an absent file is an empty list.
    static SkippedLoci read(const std::filesystem::path& folder);

    bool contains(Population population, const std::string& locus) const;
    void add(Population population, const std::string& locus);
    void remove(Population population, const std::string& locus);
    bool empty() const { return m_entries.empty(); }
    // The whole file, with its header comment.
    std::string text() const;

    bool operator==(const SkippedLoci& other) const { return m_entries == other.m_entries; }

private:
    std::set<std::pair<std::string, std::string>> m_entries; // (population code, locus)
};

} // namespace freqdb
