// SPDX-License-Identifier: GPL-3.0-or-later
#include "casesummary.h"

#include <algorithm>
#include <array>

#include "archive/summaryformat.h"
#include "freqdb/population.h"
#include "text/shorttext.h"

namespace archive {
namespace {

// The CSV and JSON keys: the counts and the CPE added after the status, so the columns that were
// there keep their places; "mutation" only while the mutation model is on, last.
constexpr std::array<std::string_view, 11> kKeys
    = {"file",   "loci",          "marked",   "excluded", "cpi",     "probability",
       "status", "not_evaluated", "left_out", "cpe",      "mutation"};

// A case not read has no counts: empty fields rather than zeros that would read as a result.
std::vector<std::string> fields(const CaseSummary& c, bool withMutation)
{
    const auto count = [&](int n) { return c.read ? std::to_string(n) : std::string(); };
    std::vector<std::string> out = {c.file.string(), count(c.loci), count(c.marked),       count(c.excluded), c.cpi,
                                    c.probability,   c.status,      count(c.notEvaluated), count(c.leftOut),  c.cpe};
    if (withMutation)
        out.push_back(count(c.mutation));
    return out;
}

// The identity's CSV columns, after the case's own: the tables, the prior and the settings.
std::vector<std::pair<std::string, std::string>> identityColumns(const RunIdentity& identity)
{
    std::vector<std::pair<std::string, std::string>> columns
        = {{"population", std::string(freqdb::populationCode(identity.population))},
           {"fingerprint", identity.fingerprint},
           {"prior", identity.prior}};
    for (auto& setting : settingValues(identity.settings))
        columns.push_back(std::move(setting));
    return columns;
}

} // namespace

void writeSummaryText(const RunIdentity& identity, const std::vector<CaseSummary>& cases, std::ostream& out)
{
    const bool withMutation = identity.settings.mutationOn();
    out << identityHeading(identity) << '\n';
    // The readable table keeps the counts together, before the result lines, the CPE and the status.
    std::vector<std::size_t> order = {0, 1, 2, 3, 7, 8};
    if (withMutation)
        order.push_back(10);
    order.insert(order.end(), {4, 5, 9, 6});
    const std::vector<std::string> header = {"Файл", "Локусов",       "Отмечено", "Исключений", "CPI",    "Вероятность",
                                             "Итог", "Не рассчитано", "Сверх 99", "CPE",        "Мутаций"};
    const auto ordered = [&](const std::vector<std::string>& line) {
        std::vector<std::string> shown;
        for (const std::size_t i : order)
            shown.push_back(line[i]);
        return shown;
    };
    std::vector<std::vector<std::string>> lines = {ordered(header)};
    for (const auto& c : cases) {
        auto line = fields(c, withMutation);
        line.resize(header.size());
        lines.push_back(ordered(line));
    }
    std::vector<std::size_t> widths(order.size());
    for (const auto& line : lines) {
        for (std::size_t i = 0; i < line.size(); ++i)
            widths[i] = std::max(widths[i], text::characterCount(line[i]));
    }
    for (const auto& line : lines) {
        std::string s;
        for (std::size_t i = 0; i < line.size(); ++i) {
            s += line[i];
            if (i + 1 < line.size())
                s += std::string(widths[i] - text::characterCount(line[i]) + 2, ' ');
        }
        s.erase(s.find_last_not_of(' ') + 1);
        out << s << '\n';
    }
}

void writeSummaryCsv(const RunIdentity& identity, const std::vector<CaseSummary>& cases, std::ostream& out)
{
    const bool withMutation = identity.settings.mutationOn();
    const std::size_t columns = withMutation ? kKeys.size() : kKeys.size() - 1;
    const auto run = identityColumns(identity);
    for (std::size_t i = 0; i < columns; ++i)
        out << (i ? "," : "") << kKeys[i];
    for (const auto& [key, value] : run)
        out << ',' << key;
    out << '\n';
    for (const auto& c : cases) {
        const auto line = fields(c, withMutation);
        for (std::size_t i = 0; i < line.size(); ++i)
            out << (i ? "," : "") << csvField(line[i]);
        for (const auto& [key, value] : run)
            out << ',' << csvField(value);
        out << '\n';
    }
}

void writeSummaryJson(const RunIdentity& identity, const std::vector<CaseSummary>& cases, std::ostream& out)
{
    const bool withMutation = identity.settings.mutationOn();
    auto lines = nlohmann::ordered_json::array();
    for (const auto& c : cases) {
        const auto count = [&](int n) { return c.read ? nlohmann::ordered_json(n) : nlohmann::ordered_json(nullptr); };
        nlohmann::ordered_json line{
            {"file", c.file.string()},
            {"loci", count(c.loci)},
            {"marked", count(c.marked)},
            {"excluded", count(c.excluded)},
            {"cpi", c.cpi},
            {"probability", c.probability},
            {"status", c.status},
            {"not_evaluated", count(c.notEvaluated)},
            {"left_out", count(c.leftOut)},
            {"cpe", c.cpe.empty() ? nlohmann::ordered_json(nullptr) : nlohmann::ordered_json(c.cpe)}};
        if (withMutation)
            line["mutation"] = count(c.mutation);
        lines.push_back(std::move(line));
    }
    nlohmann::ordered_json run = {{"version", identity.version},
                                  {"data", identity.dataFolder},
                                  {"population", freqdb::populationCode(identity.population)},
                                  {"fingerprint", identity.fingerprint},
                                  {"prior", identity.prior}};
    for (const auto& [key, value] : settingValues(identity.settings))
        run[key] = value;
    run["settings_source"] = identity.settings.source;
    writeJsonLines({{"population", freqdb::populationCode(identity.population)},
                    {"identity", std::move(run)},
                    {"cases", std::move(lines)}},
                   out);
}

} // namespace archive
