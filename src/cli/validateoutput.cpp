// SPDX-License-Identifier: GPL-3.0-or-later
#include "validateoutput.h"

#include <iomanip>
#include <sstream>

#include <nlohmann/json.hpp>

#include "cli/batchreport.h"

namespace cli {
namespace {

using validation::CaseResult;
using validation::Finding;

std::string commaNumber(long double value, int decimals)
{
    std::ostringstream text;
    text << std::fixed << std::setprecision(decimals) << static_cast<double>(value);
    std::string out = text.str();
    for (char& c : out)
        c = c == '.' ? ',' : c;
    return out;
}

// The text followed by blanks up to `width` characters (UTF-8: a character is not a byte).
std::string padded(const std::string& text, std::size_t width)
{
    std::size_t characters = 0;
    for (unsigned char c : text)
        characters += (c & 0xC0) != 0x80 ? 1 : 0;
    return text + std::string(width > characters ? width - characters : 0, ' ');
}

std::string kindOf(bool trio)
{
    return trio ? "трио" : "дуо";
}

void writeCaseLine(std::size_t number, const CaseResult& c, std::ostream& out)
{
    out << "  " << number << ". " << c.drawn.locus << ": отец " << c.father << ", ребенок " << c.child << ", мать "
        << c.mother << " (" << c.drawn.kind << ")\n"
        << "     программа: " << c.formula << "; " << c.frequency1 << (c.frequency2.empty() ? "" : "; ") << c.frequency2
        << "; LR " << (c.lr.empty() ? "нет" : c.lr) << "\n"
        << "     независимо: " << validation::independentText(c) << '\n';
    for (const std::string& problem : c.problems)
        out << "     - " << problem << '\n';
}

} // namespace

void writeValidationText(const validation::ValidationProtocol& protocol, std::ostream& out)
{
    const validation::ValidationResult& r = protocol.result;
    out << validation::kProtocolTitle << "\n\n";
    for (const auto& line : protocol.identity)
        out << line.label << ": " << line.value << '\n';
    out << '\n' << validation::verdictText(r) << "\n\n";

    out << "Согласие\n";
    out << "  случаев: " << r.cases.size();
    if (r.drawnOnPurpose > 0)
        out << " (из них " << r.drawnOnPurpose << " составлены для недостигнутых исходов)";
    out << "\n  совпали: " << r.agreeing << "\n  расхождений: " << r.disagreements.size() << '\n';
    out << "  наибольшее относительное расхождение LR: " << validation::differenceText(r.largestRelativeDifference);
    if (r.largestAt > 0)
        out << " (случай " << r.largestAt << ")";
    out << "; допуск " << validation::differenceText(validation::kAgreement) << "\n\n";

    out << "Охват: исходы программы (формула или вердикт)\n";
    for (const auto& line : r.coverage)
        out << "  " << kindOf(line.trio) << "  " << padded(line.outcome, 28) << ' ' << line.cases
            << (line.expected ? "" : "  (вне перечня)") << '\n';
    out << "  не достигнуты: ";
    if (r.unreached.empty())
        out << "нет";
    for (std::size_t i = 0; i < r.unreached.size(); ++i)
        out << (i ? "; " : "") << r.unreached[i];
    out << "\n\nОхват: особенности случаев\n";
    for (const auto& f : r.features)
        out << "  " << f.feature << ": " << f.cases << '\n';

    out << "\nТаблицы частот (локус: аллелей, сумма частот, наименьшая частота)\n";
    for (const auto& locus : protocol.tables.loci)
        out << "  " << locus.locus << ": " << locus.alleles << ", " << commaNumber(locus.sum, 4) << ", "
            << commaNumber(locus.smallest, 4) << " (" << locus.smallestLabel << ")\n";
    out << "\nПредупреждения о таблицах:" << (protocol.warnings.empty() ? " нет" : "") << '\n';
    for (const std::string& w : protocol.warnings)
        out << "  " << w << '\n';

    if (!r.disagreements.empty()) {
        out << "\nРасхождения\n";
        for (std::size_t i : r.disagreements)
            writeCaseLine(i + 1, r.cases[i], out);
    }
}

void writeValidationJson(const validation::ValidationProtocol& protocol, std::ostream& out)
{
    const validation::ValidationResult& r = protocol.result;
    nlohmann::ordered_json doc;
    nlohmann::ordered_json identity = nlohmann::ordered_json::object();
    for (const auto& line : protocol.identity)
        identity[line.key] = line.value;
    doc["identity"] = identity;
    doc["verdict"] = validation::verdictText(r);
    doc["agreement"] = {{"cases", r.cases.size()},
                        {"drawnOnPurpose", r.drawnOnPurpose},
                        {"agreeing", r.agreeing},
                        {"disagreeing", r.disagreements.size()},
                        {"largestRelativeDifference", static_cast<double>(r.largestRelativeDifference)},
                        {"largestAtCase", r.largestAt},
                        {"tolerance", static_cast<double>(validation::kAgreement)}};
    doc["coverage"] = nlohmann::ordered_json::array();
    for (const auto& line : r.coverage)
        doc["coverage"].push_back({{"kind", kindOf(line.trio)},
                                   {"outcome", line.outcome},
                                   {"cases", line.cases},
                                   {"expected", line.expected}});
    doc["unreached"] = r.unreached;
    doc["features"] = nlohmann::ordered_json::array();
    for (const auto& f : r.features)
        doc["features"].push_back({{"feature", f.feature}, {"cases", f.cases}});
    doc["tables"] = nlohmann::ordered_json::array();
    for (const auto& locus : protocol.tables.loci)
        doc["tables"].push_back({{"locus", locus.locus},
                                 {"alleles", locus.alleles},
                                 {"sum", static_cast<double>(locus.sum)},
                                 {"smallest", static_cast<double>(locus.smallest)},
                                 {"smallestAllele", locus.smallestLabel}});
    doc["warnings"] = protocol.warnings;
    doc["cases"] = nlohmann::ordered_json::array();
    for (std::size_t i = 0; i < r.cases.size(); ++i) {
        const CaseResult& c = r.cases[i];
        nlohmann::ordered_json item = {{"case", i + 1},          {"kind", c.drawn.kind},
                                       {"locus", c.drawn.locus}, {"father", c.father},
                                       {"child", c.child},       {"mother", c.mother},
                                       {"formula", c.formula},   {"freq1", c.frequency1},
                                       {"freq2", c.frequency2},  {"lr", c.lr}};
        switch (c.independent.finding) {
        case Finding::Index:
            item["independent"] = static_cast<double>(c.independent.lr);
            break;
        case Finding::PaternityInconsistent:
            item["independent"] = 0;
            break;
        default:
            item["independent"] = nullptr;
            break;
        }
        item["agrees"] = c.agrees();
        if (!c.agrees())
            item["problems"] = c.problems;
        doc["cases"].push_back(std::move(item));
    }
    writeJsonLines(doc, out);
}

} // namespace cli
