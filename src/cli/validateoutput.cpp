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

// "8 0,0055; 9 0,0139; ...": every allele of a locus as the loader read it.
std::string allelesLine(const validation::LocusSummary& locus)
{
    std::string out;
    for (const auto& [label, frequency] : locus.frequencies)
        out += (out.empty() ? "" : "; ") + label + " " + commaNumber(frequency, 4);
    return out;
}

void writeCombinedLine(std::size_t number, const validation::CombinedCase& c, std::ostream& out)
{
    out << "  " << number << ". " << c.kind << ", локусов " << c.loci.size() << ": " << c.cpiText << '\n';
    for (const std::string& problem : c.problems)
        out << "     - " << problem << '\n';
}

// Every deficiency case: the constellation, the persons, and per locus the genotypes, the
// program's row and the second computation's value.
void writeRelatives(const validation::ValidationResult& r, std::ostream& out)
{
    out << "\nДела с родственниками (предполагаемый отец не типирован)\n";
    if (!r.relativesSkipped.empty()) {
        out << "  " << r.relativesSkipped << '\n';
        return;
    }
    out << "  второй расчёт: сумма по генотипам всех нетипированных лиц по всей таблице локуса; по локусам с "
           "наименьшим числом аллелей: ";
    for (std::size_t i = 0; i < r.relativesLoci.size(); ++i)
        out << (i ? ", " : "") << r.relativesLoci[i];
    out << "\n  дел: " << r.relatives.size() << ", расхождений: " << r.relativesDisagreements.size() << '\n';
    for (std::size_t i = 0; i < r.relatives.size(); ++i) {
        const validation::RelativesCase& c = r.relatives[i];
        out << "  " << i + 1 << ". " << validation::constellationText(c.drawn) << " (" << c.drawn.kind << ")\n";
        for (const validation::RelativesRow& row : c.rows) {
            out << "     " << row.locus << ":";
            for (std::size_t p = 0; p < c.persons.size() && p < row.genotypes.size(); ++p)
                out << (p ? ", " : " ") << c.persons[p] << ' ' << row.genotypes[p];
            out << "\n       программа: " << row.formula << "; LR " << (row.lr.empty() ? "нет" : row.lr)
                << "; второй расчёт: " << validation::independentText(row.independent) << "; "
                << (row.problems.empty() ? "совпадает" : "РАСХОЖДЕНИЕ") << '\n';
            for (const std::string& problem : row.problems)
                out << "       - " << problem << '\n';
        }
    }
}

nlohmann::ordered_json relativesJson(const validation::RelativesCase& c)
{
    nlohmann::ordered_json loci = nlohmann::ordered_json::array();
    for (const validation::RelativesRow& row : c.rows) {
        nlohmann::ordered_json genotypes = nlohmann::ordered_json::object();
        for (std::size_t p = 0; p < c.persons.size() && p < row.genotypes.size(); ++p)
            genotypes[c.persons[p]] = row.genotypes[p];
        const bool index = row.independent.finding == validation::RelativesFinding::Index
                           || row.independent.finding == validation::RelativesFinding::PaternityExcluded;
        nlohmann::ordered_json item = {{"locus", row.locus},
                                       {"genotypes", genotypes},
                                       {"formula", row.formula},
                                       {"lr", row.lr},
                                       {"programLr", row.lr.empty() ? nlohmann::ordered_json(nullptr)
                                                                    : nlohmann::ordered_json(double(row.programLr))},
                                       {"independent", index ? nlohmann::ordered_json(double(row.independent.lr))
                                                             : nlohmann::ordered_json(nullptr)},
                                       {"independentText", validation::independentText(row.independent)},
                                       {"agrees", row.problems.empty()}};
        if (!row.problems.empty())
            item["problems"] = row.problems;
        loci.push_back(std::move(item));
    }
    return {{"constellation", validation::constellationText(c.drawn)},
            {"kind", c.drawn.kind},
            {"persons", c.persons},
            {"loci", loci},
            {"agrees", c.agrees()}};
}

nlohmann::ordered_json optionalNumber(const std::optional<long double>& value)
{
    return value ? nlohmann::ordered_json(static_cast<double>(*value)) : nlohmann::ordered_json(nullptr);
}

nlohmann::ordered_json allelesJson(const validation::LocusSummary& locus)
{
    nlohmann::ordered_json out = nlohmann::ordered_json::array();
    for (const auto& [label, frequency] : locus.frequencies)
        out.push_back({{"label", label}, {"frequency", static_cast<double>(frequency)}});
    return out;
}

nlohmann::ordered_json combinedJson(const validation::CombinedCase& c)
{
    nlohmann::ordered_json loci = nlohmann::ordered_json::array();
    for (std::size_t i = 0; i < c.loci.size(); ++i) {
        const auto& d = c.loci[i];
        loci.push_back({{"locus", d.locus},
                        {"father", d.father.first + "/" + d.father.second},
                        {"child", d.child.first + "/" + d.child.second},
                        {"mother", d.mother ? d.mother->first + "/" + d.mother->second : std::string("Нет/Нет")},
                        {"lr", c.lrTexts[i]}});
    }
    nlohmann::ordered_json probability = nlohmann::ordered_json::array();
    for (const auto& p : c.probabilities)
        probability.push_back({{"prior", static_cast<double>(p.prior)},
                               {"text", p.text},
                               {"independent", static_cast<double>(p.independent)}});
    nlohmann::ordered_json item = {{"kind", c.kind},
                                   {"loci", loci},
                                   {"cpi", c.cpiText},
                                   {"independentCpi", static_cast<double>(c.independentCpi)},
                                   {"probability", probability},
                                   {"cpe", optionalNumber(c.cpe)},
                                   {"independentCpe", optionalNumber(c.independentCpe)},
                                   {"agrees", c.agrees()}};
    if (!c.agrees())
        item["problems"] = c.problems;
    return item;
}

} // namespace

void writeValidationText(const validation::ValidationProtocol& protocol, std::ostream& out)
{
    const validation::ValidationResult& r = protocol.result;
    out << validation::kProtocolTitle << "\n\n";
    for (const auto& line : protocol.identity)
        out << line.label << ": " << line.value << '\n';
    out << '\n' << validation::verdictText(protocol) << "\n\n";

    out << "Сверка таблиц с источником\n  " << protocol.source.summary() << '\n';
    for (const std::string& d : protocol.source.differences)
        out << "  - " << d << '\n';
    out << "\nНастройки, как их поняла программа (строка; программа; второе чтение)\n";
    for (const auto& line : protocol.settings.lines)
        out << "  " << line.line << "; " << line.program << "; " << line.plain << (line.agrees ? "" : "  РАСХОЖДЕНИЕ")
            << '\n';
    if (!protocol.settings.problem.empty())
        out << "  - " << protocol.settings.problem << '\n';
    out << '\n';

    out << "Согласие\n";
    out << "  случаев: " << r.cases.size();
    if (r.drawnOnPurpose > 0)
        out << " (из них " << r.drawnOnPurpose << " составлены для недостигнутых исходов)";
    out << "\n  совпали: " << r.agreeing << "\n  расхождений: " << r.disagreements.size() << '\n';
    out << "  наибольшее относительное расхождение LR: " << validation::differenceText(r.largestRelativeDifference);
    if (r.largestAt > 0)
        out << " (случай " << r.largestAt << ")";
    out << "; допуск " << validation::differenceText(validation::kAgreement) << '\n';
    out << "  PE сверена с суммой по генотипам случайного мужчины: " << r.peCompared << '\n';
    out << "  сложенных случаев (CPI, W при pp 0,1/0,5/0,9, CPE): " << r.combined.size() << ", расхождений "
        << r.combinedDisagreements.size() << '\n';
    out << "  дел с родственниками (LR каждого локуса, вердикт): " << r.relatives.size() << ", расхождений "
        << r.relativesDisagreements.size() << "\n\n";

    out << "Охват: правила таблицы формул";
    if (r.drawnForRules > 0)
        out << " (для недостигнутых правил составлено случаев: " << r.drawnForRules << ")";
    out << '\n';
    for (const auto& line : r.rules)
        out << "  " << padded(line.rule, 4) << ' ' << padded(line.condition, 64) << ' ' << line.cases << '\n';
    out << '\n';

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
            << commaNumber(locus.smallest, 4) << " (" << locus.smallestLabel << ")\n"
            << "    " << allelesLine(locus) << '\n';
    out << "\nПредупреждения о таблицах:" << (protocol.warnings.empty() ? " нет" : "") << '\n';
    for (const std::string& w : protocol.warnings)
        out << "  " << w << '\n';

    writeRelatives(r, out);

    if (!r.disagreements.empty()) {
        out << "\nРасхождения\n";
        for (std::size_t i : r.disagreements)
            writeCaseLine(i + 1, r.cases[i], out);
    }
    if (!r.combinedDisagreements.empty()) {
        out << "\nРасхождения в сложенных случаях\n";
        for (std::size_t i : r.combinedDisagreements)
            writeCombinedLine(i + 1, r.combined[i], out);
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
    doc["verdict"] = validation::verdictText(protocol);
    doc["passed"] = protocol.passed();
    doc["source"] = {{"found", protocol.source.found},
                     {"summary", protocol.source.summary()},
                     {"file", protocol.source.file},
                     {"original", protocol.source.original},
                     {"origin", protocol.source.origin},
                     {"date", protocol.source.date},
                     {"sha256", protocol.source.sha256},
                     {"allelesCompared", protocol.source.allelesCompared},
                     {"lociWithoutSource", protocol.source.lociWithoutSource},
                     {"differences", protocol.source.differences}};
    doc["settings"] = nlohmann::ordered_json::array();
    for (const auto& line : protocol.settings.lines)
        doc["settings"].push_back({{"key", line.key},
                                   {"line", line.line},
                                   {"program", line.program},
                                   {"plain", line.plain},
                                   {"agrees", line.agrees}});
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
    doc["rules"] = nlohmann::ordered_json::array();
    for (const auto& line : r.rules)
        doc["rules"].push_back({{"rule", line.rule}, {"condition", line.condition}, {"cases", line.cases}});
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
                                 {"smallestAllele", locus.smallestLabel},
                                 {"alleles", allelesJson(locus)}});
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
        item["rule"] = c.rule;
        item["pe"] = c.pe ? nlohmann::ordered_json(static_cast<double>(*c.pe)) : nlohmann::ordered_json(nullptr);
        item["independentPe"] = c.independentPe ? nlohmann::ordered_json(static_cast<double>(*c.independentPe))
                                                : nlohmann::ordered_json(nullptr);
        item["agrees"] = c.agrees();
        if (!c.agrees())
            item["problems"] = c.problems;
        doc["cases"].push_back(std::move(item));
    }
    doc["combined"] = nlohmann::ordered_json::array();
    for (const auto& c : r.combined)
        doc["combined"].push_back(combinedJson(c));
    doc["relatives"] = {{"loci", r.relativesLoci},
                        {"skipped", r.relativesSkipped},
                        {"disagreeing", r.relativesDisagreements.size()},
                        {"cases", nlohmann::ordered_json::array()}};
    for (const auto& c : r.relatives)
        doc["relatives"]["cases"].push_back(relativesJson(c));
    writeJsonLines(doc, out);
}

} // namespace cli
