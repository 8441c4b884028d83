// SPDX-License-Identifier: GPL-3.0-or-later
#include "kinshipoutput.h"

#include <algorithm>
#include <vector>

#include <nlohmann/json.hpp>

#include "archive/summaryformat.h"
#include "cli/textcolumns.h"
#include "text/shorttext.h"

namespace cli {
namespace {

std::string typedList(const kinship::KinshipRow& row)
{
    std::string list;
    for (const auto& role : row.typedRoles)
        list += (list.empty() ? "" : ", ") + role;
    return list;
}

// The table as lines of fields: the header, then a line per row.
std::vector<std::vector<std::string>> tableLines(const KinshipOutput& output)
{
    std::vector<std::string> header{"№", "Локус"};
    for (const auto& person : output.kinshipCase->persons)
        header.push_back(person.role.header());
    header.insert(header.end(), {"Формула", "LR", "Типированы"});
    std::vector<std::vector<std::string>> lines{header};
    for (const auto& row : output.result->rows) {
        std::vector<std::string> line{row.number, row.locus};
        line.insert(line.end(), row.genotypes.begin(), row.genotypes.end());
        line.insert(line.end(), {row.formula, row.lr, typedList(row)});
        lines.push_back(std::move(line));
    }
    return lines;
}

} // namespace

void writeKinshipText(const KinshipOutput& output, std::ostream& out)
{
    const auto lines = tableLines(output);
    writeTextColumns(lines, out);
    out << '\n' << output.result->combined.cpiText << '\n' << output.probability << '\n';
    if (output.settings && output.settings->any())
        out << freqdb::settingsSummary(*output.settings) << '\n';
}

void writeKinshipCsv(const KinshipOutput& output, std::ostream& out)
{
    for (const auto& line : tableLines(output)) {
        for (std::size_t c = 0; c < line.size(); ++c)
            out << (c ? "," : "") << archive::csvField(line[c]);
        out << '\n';
    }
}

void writeKinshipJson(const KinshipOutput& output, std::ostream& out)
{
    using json = nlohmann::ordered_json;
    const auto& persons = output.kinshipCase->persons;
    json document = {{"population", output.population}};
    auto people = json::array();
    for (const auto& person : persons)
        people.push_back({{"role", person.role.header()}, {"sample", person.sample}});
    document["persons"] = std::move(people);
    if (output.settings && output.settings->any()) {
        const freqdb::LabSettings& s = *output.settings;
        document["settings"] = {{"mutation_model", s.mutationOn() ? "proportional" : "off"},
                                {"mutation_rate", s.mutationOn() ? json(s.mutationRateText) : nullptr},
                                {"min_allele_frequency", s.minFrequency ? json(s.minFrequencyText) : nullptr},
                                {"source", s.source}};
    }
    auto rows = json::array();
    for (const auto& row : output.result->rows) {
        auto genotypes = json::object();
        for (std::size_t i = 0; i < persons.size(); ++i)
            genotypes[persons[i].role.header()] = row.genotypes[i];
        rows.push_back({{"row", row.number},
                        {"locus", row.locus},
                        {"genotypes", std::move(genotypes)},
                        {"formula", row.formula},
                        {"lr", row.lr.empty() ? json(nullptr) : json(row.lr)},
                        {"typed", row.typedRoles},
                        {"mutation", row.mutation}});
    }
    document["rows"] = std::move(rows);
    document["cpi"] = output.result->combined.cpiText;
    document["probability"] = output.probability;
    archive::writeJsonLines(document, out);
}

} // namespace cli
