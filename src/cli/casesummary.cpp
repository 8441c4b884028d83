// SPDX-License-Identifier: GPL-3.0-or-later
#include "casesummary.h"

#include <algorithm>
#include <array>

#include "cli/batchreport.h"
#include "text/shorttext.h"

namespace cli {
namespace {

// The CSV and JSON keys: the counts added after the status, so the columns that were there keep
// their places.
constexpr std::array<std::string_view, 9> kKeys
    = {"file", "loci", "marked", "excluded", "cpi", "probability", "status", "not_evaluated", "left_out"};

// A case not read has no counts: empty fields rather than zeros that would read as a result.
std::array<std::string, 9> fields(const CaseSummary& c)
{
    const auto count = [&](int n) { return c.read ? std::to_string(n) : std::string(); };
    return {c.file.string(), count(c.loci), count(c.marked),       count(c.excluded), c.cpi,
            c.probability,   c.status,      count(c.notEvaluated), count(c.leftOut)};
}

} // namespace

void writeSummaryText(const std::vector<CaseSummary>& cases, std::ostream& out)
{
    // The readable table keeps the counts together, before the result lines and the status.
    constexpr std::array<std::size_t, 9> kOrder = {0, 1, 2, 3, 7, 8, 4, 5, 6};
    const auto ordered = [&](const std::array<std::string, 9>& line) {
        std::array<std::string, 9> shown;
        for (std::size_t i = 0; i < kOrder.size(); ++i)
            shown[i] = line[kOrder[i]];
        return shown;
    };
    std::vector<std::array<std::string, 9>> lines = {ordered(
        {"Файл", "Локусов", "Отмечено", "Исключений", "CPI", "Вероятность", "Итог", "Не рассчитано", "Сверх 99"})};
    for (const auto& c : cases)
        lines.push_back(ordered(fields(c)));
    std::array<std::size_t, 9> widths{};
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

void writeSummaryCsv(const std::vector<CaseSummary>& cases, std::ostream& out)
{
    for (std::size_t i = 0; i < kKeys.size(); ++i)
        out << (i ? "," : "") << kKeys[i];
    out << '\n';
    for (const auto& c : cases) {
        const auto line = fields(c);
        for (std::size_t i = 0; i < line.size(); ++i)
            out << (i ? "," : "") << csvField(line[i]);
        out << '\n';
    }
}

void writeSummaryJson(const std::string& population, const std::vector<CaseSummary>& cases, std::ostream& out)
{
    auto lines = nlohmann::ordered_json::array();
    for (const auto& c : cases) {
        const auto count = [&](int n) { return c.read ? nlohmann::ordered_json(n) : nlohmann::ordered_json(nullptr); };
        lines.push_back(nlohmann::ordered_json{{"file", c.file.string()},
                                               {"loci", count(c.loci)},
                                               {"marked", count(c.marked)},
                                               {"excluded", count(c.excluded)},
                                               {"cpi", c.cpi},
                                               {"probability", c.probability},
                                               {"status", c.status},
                                               {"not_evaluated", count(c.notEvaluated)},
                                               {"left_out", count(c.leftOut)}});
    }
    writeJsonLines({{"population", population}, {"cases", std::move(lines)}}, out);
}

} // namespace cli
