// SPDX-License-Identifier: GPL-3.0-or-later
#include "wholecasecheck.h"

#include <cmath>

#include "engine/enginetexts.h"
#include "results/resultsgrid.h"
#include "validation/independentpower.h"

namespace validation {
namespace {

// Half a unit of the last digit a number text shows ("99,99" 0.005; "1,23E+21" 5e18; "12346" 0.5).
long double halfLastDigit(const std::string& number, const std::string& separator)
{
    const std::size_t e = number.find_first_of("Ee");
    const std::string mantissa = number.substr(0, e);
    const std::size_t sep = mantissa.find(separator);
    const int decimals = sep == std::string::npos ? 0 : static_cast<int>(mantissa.size() - sep - separator.size());
    const int exponent = e == std::string::npos ? 0 : std::atoi(number.c_str() + e + 1);
    return 0.5L * std::pow(10.0L, static_cast<long double>(exponent - decimals));
}

// Whether a number text is `value` as rounded to what it shows; a text "> x" stands for any value
// above x.
bool shows(const std::string& text, long double value, const text::NumberFormat& format)
{
    std::string number = text;
    const bool above = number.rfind("> ", 0) == 0;
    if (above)
        number.erase(0, 2);
    const auto shown = format.parse(number);
    if (!shown)
        return false;
    if (above)
        return value >= *shown;
    const long double tolerance
        = halfLastDigit(number, format.decimalSeparator()) * (1 + 1e-6L) + std::fabs(value) * 1e-12L;
    return std::fabs(*shown - value) <= tolerance;
}

const freqdb::LocusRecord* recordOf(const freqdb::LocusTable& table, const std::string& name)
{
    const std::uint8_t k = table.LocusIndexOf(name);
    return k == 0 ? nullptr : &table.record(k);
}

} // namespace

CombinedCase checkWholeCase(std::vector<DrawnCase> loci, std::string kind, const freqdb::LocusTable& table,
                            const freqdb::LabSettings& independent, const text::NumberFormat& format,
                            const ProgramComputations& program)
{
    CombinedCase out;
    out.kind = std::move(kind);
    out.loci = std::move(loci);
    results::ResultsGrid grid;
    std::vector<engine::CombinedIndexRow> rows;
    std::vector<long double> programPowers;
    long double product = 1;
    long double notExcluded = 1;
    bool anyPower = false, powersComplete = true;
    for (const DrawnCase& d : out.loci) {
        const std::string mother = d.mother ? results::joinGenotype(d.mother->first, d.mother->second)
                                            : results::joinGenotype(freqdb::kNoAlleleLabel, freqdb::kNoAlleleLabel);
        const results::GenotypeRowTexts row
            = results::genotypeFromCells({results::joinGenotype(d.father.first, d.father.second),
                                          results::joinGenotype(d.child.first, d.child.second), mother});
        const int r = grid.AppendRow(d.locus, row.genotype);
        grid.applyOutcome(r, program.evaluate(table, d.locus, row, format));
        const std::string lr = grid.cell(r, results::kColumnLr);
        out.lrTexts.push_back(lr);
        rows.push_back({grid.cell(r, results::kColumnNumber), lr, "++"});
        if (lr.empty())
            continue; // a maternity exclusion: not among the rows the CPI multiplies
        const auto factor = format.parse(lr);
        if (!factor) {
            out.problems.push_back("LR " + lr + " локуса " + d.locus + " не число");
            continue;
        }
        product *= *factor;
        const auto pe = program.exclusionPower(table, d.locus, row.genotype);
        const freqdb::LocusRecord* record = recordOf(table, d.locus);
        const auto independentPe
            = record ? independentExclusionPower(*record, independent, d.child, d.mother) : std::nullopt;
        if (pe)
            programPowers.push_back(*pe);
        if (independentPe) {
            notExcluded *= 1 - *independentPe;
            anyPower = true;
        }
        powersComplete = powersComplete && pe.has_value() == independentPe.has_value();
    }
    out.independentCpi = product;

    for (const long double prior : kPriors) {
        const engine::CombinedIndexResult combined = program.combine(rows, format.general(prior), format);
        CombinedCase::Probability p;
        p.prior = prior;
        p.independent = 100 * (product * prior) / (product * prior + 1 - prior);
        if (combined.status != engine::CombinedIndexStatus::Ok) {
            out.problems.push_back("программа не дала вероятность при pp=" + format.general(prior) + ": "
                                   + combined.message);
            out.probabilities.push_back(p);
            continue;
        }
        p.text = combined.probabilityText;
        if (out.cpiText.empty()) {
            out.cpiText = combined.cpiText;
            const std::string cpi
                = combined.cpiText.substr(std::min(combined.cpiText.size(), engine::kCpiPrefix.size()));
            if (combined.cpiText.rfind(engine::kCpiPrefix, 0) != 0 || !shows(cpi, product, format))
                out.problems.push_back("«" + combined.cpiText + "», а произведение текстов LR "
                                       + format.general(product));
        }
        const std::string prefix(engine::kProbabilityPrefix);
        const std::size_t middle = p.text.find(engine::kProbabilityMiddle);
        const std::string w = middle == std::string::npos || p.text.rfind(prefix, 0) != 0
                                  ? std::string()
                                  : p.text.substr(prefix.size(), middle - prefix.size());
        const std::string statedPrior
            = middle == std::string::npos
                  ? std::string()
                  : p.text.substr(middle + engine::kProbabilityMiddle.size(),
                                  p.text.size() - middle - engine::kProbabilityMiddle.size() - 1);
        if (w.empty() || !shows(w, p.independent, format) || format.parse(statedPrior) != prior)
            out.problems.push_back("«" + p.text + "», а по формуле Байеса при pp=" + format.general(prior)
                                   + " W=" + format.general(p.independent) + "%");
        out.probabilities.push_back(p);
    }

    out.cpe = program.combinedPower(programPowers);
    if (anyPower && powersComplete)
        out.independentCpe = 1 - notExcluded;
    if (!powersComplete)
        out.problems.push_back("PE есть не у тех же локусов, что в независимом расчёте");
    else if (out.cpe.has_value() != out.independentCpe.has_value()
             || (out.cpe && !(std::fabs(*out.cpe - *out.independentCpe) <= 1e-12L)))
        out.problems.push_back("CPE программы " + (out.cpe ? format.general(*out.cpe) : std::string("нет"))
                               + ", независимо " + (out.independentCpe ? format.general(*out.independentCpe) : "нет"));
    return out;
}

} // namespace validation
