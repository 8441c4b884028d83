// SPDX-License-Identifier: GPL-3.0-or-later
#include "casesummary.h"

#include <algorithm>
#include <array>

#include "cli/batchreport.h"
#include "text/shorttext.h"

namespace cli {
namespace {

constexpr std::array<std::string_view, 8> kKeys
    = {"file", "loci", "marked", "excluded", "cpi", "probability", "status", "cpe"};

// A case not read has no counts: empty fields rather than zeros that would read as a result.
std::array<std::string, 8> fields(const CaseSummary& c)
{
    const auto count = [&](int n) { return c.read ? std::to_string(n) : std::string(); };
    return {c.file.string(), count(c.loci), count(c.marked), count(c.excluded), c.cpi, c.probability, c.status, c.cpe};
}

} // namespace

void writeSummaryText(const std::vector<CaseSummary>& cases, std::ostream& out)
{
    std::vector<std::array<std::string, 8>> lines
        = {{"Файл", "Локусов", "Отмечено", "Исключений", "CPI", "Вероятность", "Итог", "CPE"}};
    for (const auto& c : cases)
        lines.push_back(fields(c));
    std::array<std::size_t, 8> widths{};
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
        lines.push_back(nlohmann::ordered_json{
            {"file", c.file.string()},
            {"loci", count(c.loci)},
            {"marked", count(c.marked)},
            {"excluded", count(c.excluded)},
            {"cpi", c.cpi},
            {"probability", c.probability},
            {"status", c.status},
            {"cpe", c.cpe.empty() ? nlohmann::ordered_json(nullptr) : nlohmann::ordered_json(c.cpe)}});
    }
    writeJsonLines({{"population", population}, {"cases", std::move(lines)}}, out);
}

} // namespace cli
