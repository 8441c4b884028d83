// SPDX-License-Identifier: GPL-3.0-or-later
#include "freqdb/skippedloci.h"

#include <fstream>
#include <sstream>

namespace freqdb {

SkippedLoci SkippedLoci::read(const std::filesystem::path& folder)
{
    SkippedLoci list;
    std::ifstream in(folder / kSkippedLociName);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line.front() == '#')
            continue;
        const auto space = line.find(' ');
        if (space == std::string::npos || space + 1 >= line.size())
            continue;
        list.m_entries.emplace(line.substr(0, space), line.substr(space + 1));
    }
    return list;
}

bool SkippedLoci::contains(Population population, const std::string& locus) const
{
    return m_entries.count({std::string(populationCode(population)), locus}) > 0;
}

void SkippedLoci::add(Population population, const std::string& locus)
{
    m_entries.emplace(std::string(populationCode(population)), locus);
}

void SkippedLoci::remove(Population population, const std::string& locus)
{
    m_entries.erase({std::string(populationCode(population)), locus});
}

std::string SkippedLoci::text() const
{
    std::ostringstream out;
    out << "# Локусы, у которых нет листа популяции намеренно: «<популяция> <локус>» в строке.\n"
           "# Для этой популяции программа их пропускает и говорит об этом. Пишет команда import.\n";
    for (const auto& [population, locus] : m_entries)
        out << population << ' ' << locus << '\n';
    return out.str();
}

} // namespace freqdb
