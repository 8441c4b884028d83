// SPDX-License-Identifier: GPL-3.0-or-later
#include "validationrun.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>

#include "engine/enginetexts.h"
#include "engine/exclusionpower.h"
#include "results/resultsgrid.h"
#include "validation/formularule.h"
#include "validation/formulashape.h"
#include "validation/independentpower.h"
#include "validation/wholecasecheck.h"

namespace validation {
namespace {

std::string quoted(const std::string& text)
{
    return "«" + text + "»";
}

std::string genotypeCell(const PersonLabels& p)
{
    return results::joinGenotype(p.first, p.second);
}

const freqdb::LocusRecord* recordOf(const freqdb::LocusTable& table, const std::string& name)
{
    const freqdb::LocusRecord* found = nullptr;
    for (int k = 1; k <= table.LocusCount(); ++k)
        if (table.record(static_cast<std::uint8_t>(k)).Name == name)
            found = &table.record(static_cast<std::uint8_t>(k));
    return found;
}

long double relative(long double a, long double b)
{
    if (a == b)
        return 0;
    return std::fabs(a - b) / std::max(std::fabs(a), std::fabs(b));
}

// Half a unit of the last digit an LR text shows: the most its rounding may have moved the value.
long double halfLastDigit(const std::string& lr, const std::string& separator)
{
    const std::size_t e = lr.find_first_of("Ee");
    const std::string mantissa = lr.substr(0, e);
    const std::size_t sep = mantissa.find(separator);
    const int decimals = sep == std::string::npos ? 0 : static_cast<int>(mantissa.size() - sep - separator.size());
    int exponent = 0;
    if (e != std::string::npos)
        exponent = std::atoi(lr.c_str() + e + 1);
    return 0.5L * std::pow(10.0L, static_cast<long double>(exponent - decimals));
}

// Half the step of the fifth significant digit of a value: an LR text keeps at most five (1294.753
// reads 1294,80), so from 1000 on that step, not the last decimal, is what its rounding allows.
long double halfFifthSignificant(long double value)
{
    value = std::fabs(value);
    if (!(value > 0) || !std::isfinite(value))
        return 0;
    return 0.5L * std::pow(10.0L, std::floor(std::log10(value)) - 4);
}

// The frequency text "p(L)=V": its label and value.
std::optional<std::pair<std::string, long double>> readFrequencyText(const std::string& text,
                                                                     const text::NumberFormat& format)
{
    const std::size_t close = text.rfind(")=");
    if (text.rfind("p(", 0) != 0 || close == std::string::npos)
        return std::nullopt;
    const auto value = format.parse(text.substr(close + 2));
    if (!value)
        return std::nullopt;
    return std::pair{text.substr(2, close - 2), *value};
}

class CaseChecker {
public:
    CaseChecker(const freqdb::LocusTable& table, const text::NumberFormat& format,
                const freqdb::LabSettings& independent)
        : m_table(table), m_format(format), m_settings(table.settings()), m_independent(independent)
    {
    }

    // The case's PE beside the sum over every random man's genotype.
    void checkExclusionPower(CaseResult& c) const
    {
        const freqdb::LocusRecord* record = recordOf(m_table, c.drawn.locus);
        if (record)
            c.independentPe = independentExclusionPower(*record, m_independent, c.drawn.child, c.drawn.mother);
        if (c.pe.has_value() != c.independentPe.has_value())
            c.problems.push_back(c.pe ? "PE программы " + m_format.general(*c.pe) + ", независимо PE нет"
                                      : "программа не дала PE, независимо " + m_format.general(*c.independentPe));
        else if (c.pe && !(std::fabs(*c.pe - *c.independentPe) <= 1e-12L))
            c.problems.push_back("PE программы " + m_format.general(*c.pe) + ", независимо (сумма по генотипам) "
                                 + m_format.general(*c.independentPe));
    }

    void check(CaseResult& c) const
    {
        const freqdb::LocusRecord* record = recordOf(m_table, c.drawn.locus);
        if (!record) {
            c.problems.push_back("локус " + c.drawn.locus + " не загружен");
            return;
        }
        c.independent = independentIndex(*record, m_independent, c.drawn.father, c.drawn.child, c.drawn.mother);
        const IndependentResult& ind = c.independent;
        auto frequency = [&](const std::string& label) { return usedFrequency(*record, m_independent, label); };
        // With θ an index formula reads "θ=0,01 1/2p(15)": the table's formula behind the prefix.
        const std::string thetaPrefix
            = m_settings.theta ? std::string(engine::kThetaFormulaPrefix) + m_settings.thetaText + " " : std::string();
        const bool prefixed = !thetaPrefix.empty() && c.formula.rfind(thetaPrefix, 0) == 0;
        const FormulaShape shape = formulaShape(prefixed ? c.formula.substr(thetaPrefix.size()) : c.formula);
        c.outcome = shape.shape;

        switch (ind.finding) {
        case Finding::MaternityInconsistent:
            expectVerdict(c, std::string(engine::kMaternityExcluded), std::string(engine::kMaternityExcludedLr));
            return;
        case Finding::PaternityInconsistent:
            expectVerdict(c, std::string(engine::kPaternityExcluded), std::string(engine::kPaternityExcludedLr));
            return;
        case Finding::NotComputable:
            // The program must not give a number where none exists.
            if (!c.lr.empty())
                c.problems.push_back("независимый расчёт невозможен (" + ind.reason + "), а программа дала LR " + c.lr);
            return;
        case Finding::Index:
            break;
        }
        if (c.lr.empty()) {
            c.problems.push_back("программа не дала LR (" + c.formula + "), независимый LR "
                                 + m_format.general(ind.lr));
            return;
        }
        c.relativeDifference = relative(c.programLr, ind.lr);
        if (!(c.relativeDifference <= kAgreement))
            c.problems.push_back("LR программы " + m_format.general(c.programLr) + ", независимый "
                                 + m_format.general(ind.lr));
        checkLrText(c);

        std::vector<std::string> frequencyLabels;
        if (ind.mutation) {
            const std::string expected = paternalOutcome(m_settings);
            if (c.formula != expected)
                c.problems.push_back("формула " + quoted(c.formula) + ", ожидалась " + quoted(expected)
                                     + " (несовпадение с отцом, модель мутаций)");
            frequencyLabels.push_back(c.drawn.child.first);
            if (c.drawn.child.second != c.drawn.child.first)
                frequencyLabels.push_back(c.drawn.child.second);
        } else {
            if (m_settings.theta && !prefixed)
                c.problems.push_back("формула " + quoted(c.formula) + " не начинается с " + quoted(thetaPrefix));
            const auto value
                = shapeValue(shape, [&](const std::string& label) { return corrected(c, label, frequency); });
            if (!value)
                c.problems.push_back("формула " + quoted(c.formula) + " не из формул программы");
            else if (!(relative(*value, ind.lr) <= kAgreement))
                c.problems.push_back("формула " + quoted(c.formula) + " даёт " + m_format.general(*value)
                                     + ", независимый LR " + m_format.general(ind.lr));
            // A formula of two alleles names the child's, in the order they were entered.
            if (shape.labels.size() == 2
                && (shape.labels[0] != c.drawn.child.first || shape.labels[1] != c.drawn.child.second))
                c.problems.push_back("формула " + quoted(c.formula) + " называет аллели не в порядке ребенка "
                                     + c.child);
            frequencyLabels = shape.labels;
        }
        checkFrequencyTexts(c, frequencyLabels, frequency);
    }

private:
    // The frequency a formula divides by: the one used, or with θ the Balding-Nichols probability
    // of the allele after those it is conditioned on, (n θ + (1 - θ) p) / (1 + 3θ) after the
    // mother's and the alleged father's in a trio, / (1 + 2θ) after the alleged father's and
    // the child's other allele in a duo, n the copies of the label among them.
    std::optional<long double> corrected(
        const CaseResult& c, const std::string& label,
        const std::function<std::optional<long double>(const std::string&)>& frequency) const
    {
        const auto p = frequency(label);
        if (!p || !m_independent.theta)
            return p;
        const DrawnCase& d = c.drawn;
        std::vector<const std::string*> before = {&d.father.first, &d.father.second};
        if (d.mother) {
            before.push_back(&d.mother->first);
            before.push_back(&d.mother->second);
        } else {
            before.push_back(d.child.first == label ? &d.child.second : &d.child.first);
        }
        long double copies = 0;
        for (const std::string* allele : before)
            copies += *allele == label ? 1 : 0;
        const long double theta = *m_independent.theta;
        return (copies * theta + (1 - theta) * *p) / (1 + (static_cast<long double>(before.size()) - 1) * theta);
    }

    void expectVerdict(CaseResult& c, const std::string& formula, const std::string& lr) const
    {
        if (c.formula != formula || c.lr != lr)
            c.problems.push_back("программа: " + quoted(c.formula) + ", LR " + quoted(c.lr) + "; ожидалось "
                                 + quoted(formula) + ", LR " + quoted(lr));
        if (!c.frequency1.empty() || !c.frequency2.empty())
            c.problems.push_back("у вердикта есть частоты: " + c.frequency1 + " " + c.frequency2);
    }

    void checkLrText(CaseResult& c) const
    {
        const auto shown = m_format.parse(c.lr);
        const long double x = c.independent.lr;
        if (!shown) {
            c.problems.push_back("текст LR " + quoted(c.lr) + " не число");
            return;
        }
        const long double step = std::max(
            {halfLastDigit(c.lr, m_format.decimalSeparator()), halfFifthSignificant(*shown), halfFifthSignificant(x)});
        const long double tolerance = step * (1 + 1e-6L) + std::fabs(x) * kAgreement;
        if (!(std::fabs(*shown - x) <= tolerance))
            c.problems.push_back("текст LR " + quoted(c.lr) + " не округление независимого LR " + m_format.general(x));
        // Below 1 the mutation index is written in exponent form, so it never reads 0,00.
        if (x > 0 && *shown == 0)
            c.problems.push_back("текст LR " + quoted(c.lr) + " читается как 0");
    }

    void checkFrequencyTexts(CaseResult& c, const std::vector<std::string>& labels,
                             const std::function<std::optional<long double>(const std::string&)>& frequency) const
    {
        const std::string* texts[2] = {&c.frequency1, &c.frequency2};
        for (std::size_t i = 0; i < 2; ++i) {
            const std::string& text = *texts[i];
            if (i >= labels.size()) {
                if (!text.empty())
                    c.problems.push_back("лишняя частота " + quoted(text));
                continue;
            }
            const auto read = readFrequencyText(text, m_format);
            const auto used = frequency(labels[i]);
            if (!read || read->first != labels[i] || !used)
                c.problems.push_back("частота " + quoted(text) + ", ожидалась частота аллеля " + labels[i]);
            else if (!(std::fabs(read->second - *used) <= 0.0005L * (1 + 1e-6L)))
                c.problems.push_back("частота " + quoted(text) + ", в расчёте " + m_format.general(*used));
        }
    }

    const freqdb::LocusTable& m_table;
    const text::NumberFormat& m_format;
    const freqdb::LabSettings& m_settings; // the program's: the texts it shows
    const freqdb::LabSettings& m_independent; // the plain reading's numbers
};

// The features of a case that coverage counts beside the outcomes.
std::vector<std::string> featuresOf(const CaseResult& c, const freqdb::LocusTable& table)
{
    std::vector<std::string> out;
    const DrawnCase& d = c.drawn;
    out.push_back(c.trio() ? "трио" : "дуо");
    out.push_back(d.child.first == d.child.second ? "ребенок гомозиготен" : "ребенок гетерозиготен");
    out.push_back(d.father.first == d.father.second ? "отец гомозиготен" : "отец гетерозиготен");
    std::vector<const std::string*> labels = {&d.father.first, &d.father.second, &d.child.first, &d.child.second};
    if (d.mother) {
        labels.push_back(&d.mother->first);
        labels.push_back(&d.mother->second);
        const bool shared = d.father.first == d.mother->first || d.father.first == d.mother->second
                            || d.father.second == d.mother->first || d.father.second == d.mother->second;
        if (shared)
            out.push_back("общая аллель отца и матери");
    }
    if (std::any_of(labels.begin(), labels.end(),
                    [](const std::string* l) { return l->find(',') != std::string::npos; }))
        out.push_back("микровариант");
    switch (c.independent.finding) {
    case Finding::MaternityInconsistent:
        out.push_back("несовпадение с матерью");
        break;
    case Finding::PaternityInconsistent:
        out.push_back("несовпадение с отцом");
        break;
    case Finding::Index:
        if (c.independent.mutation) {
            out.push_back("несовпадение с отцом");
            out.push_back("LR с мутацией");
        }
        break;
    case Finding::NotComputable:
        out.push_back("расчёт невозможен");
        break;
    }
    const auto& minimum = table.settings().minFrequency;
    if (minimum) {
        const freqdb::LocusRecord* record = recordOf(table, d.locus);
        bool raised = false, absent = false;
        for (const std::string* label : labels) {
            int found = 0;
            for (int i = 1; record && i <= record->AlleleCount; ++i)
                if (record->Labels[static_cast<std::size_t>(i)] == *label)
                    found = i;
            if (found == 0)
                absent = true;
            else if (record->Frequencies[static_cast<std::size_t>(found)] < *minimum)
                raised = true;
        }
        if (raised)
            out.push_back("частота поднята до минимальной");
        if (absent)
            out.push_back("аллели нет в таблице (минимальная частота)");
    }
    return out;
}

} // namespace

ProgramComputations::ProgramComputations() : ProgramComputations(programEvaluator()) {}

ProgramComputations::ProgramComputations(RowEvaluator evaluator)
    : evaluate(std::move(evaluator)), exclusionPower(results::rowExclusionPower), combine(engine::CombineIndex),
      combinedPower(engine::combinedExclusionPower), evaluateRelatives(kinship::evaluateKinshipCase)
{
}

RowEvaluator programEvaluator()
{
    return [](const freqdb::LocusTable& table, std::string_view locus, const results::GenotypeRowTexts& row,
              const text::NumberFormat& format) { return results::evaluateGenotypeRow(table, locus, row, format); };
}

std::size_t relativesCaseCount(std::size_t cases)
{
    if (cases == 0)
        return 0;
    return std::clamp(cases / 25, 2 * relativesConstellations().size(),
                      std::max(kMaxRelativesCases, 2 * relativesConstellations().size()));
}

std::string paternalOutcome(const freqdb::LabSettings& settings)
{
    if (settings.mutationOn())
        return std::string(engine::kMutationFormulaPrefix) + settings.mutationRateText;
    return std::string(engine::kPaternityExcluded);
}

ValidationResult runValidation(const freqdb::LocusTable& table, const text::NumberFormat& format,
                               const ValidationOptions& options, const ProgramComputations& program,
                               const std::optional<freqdb::LabSettings>& independentSettings)
{
    ValidationResult result;
    CaseDrawer drawer(table, options.seed);
    if (!drawer.canDraw())
        return result;
    const freqdb::LabSettings independent = independentSettings.value_or(table.settings());
    const CaseChecker checker(table, format, independent);
    results::ResultsGrid grid; // one grid, its rows reused: as the window and batch fill theirs

    // The outcomes the program gives for these settings, duo then trio, in recipe order.
    std::vector<std::pair<bool, std::string>> expected;
    for (const Recipe& recipe : recipes())
        expected.emplace_back(recipe.trio, recipe.expected == Expected::Formula ? recipe.shape
                                           : recipe.expected == Expected::PaternalInconsistency
                                               ? paternalOutcome(table.settings())
                                               : std::string(engine::kMaternityExcluded));
    std::map<std::pair<bool, std::string>, std::size_t> counts;
    std::map<std::string, std::size_t> ruleCounts;

    auto evaluate = [&](DrawnCase drawn) {
        CaseResult c;
        c.drawn = std::move(drawn);
        c.father = genotypeCell(c.drawn.father);
        c.child = genotypeCell(c.drawn.child);
        c.mother = c.drawn.mother ? genotypeCell(*c.drawn.mother)
                                  : results::joinGenotype(freqdb::kNoAlleleLabel, freqdb::kNoAlleleLabel);
        const results::GenotypeRowTexts row = results::genotypeFromCells({c.father, c.child, c.mother});
        if (grid.ResultCount() >= results::kLastDataRow)
            grid.EmptyAllRows();
        const int r = grid.AppendRow(c.drawn.locus, row.genotype);
        const engine::LocusOutcome outcome = program.evaluate(table, c.drawn.locus, row, format);
        grid.applyOutcome(r, outcome);
        c.formula = grid.cell(r, results::kColumnFormula);
        c.frequency1 = grid.cell(r, results::kColumnFrequency1);
        c.frequency2 = grid.cell(r, results::kColumnFrequency2);
        c.lr = grid.cell(r, results::kColumnLr);
        c.programLr = outcome.lrValue;
        checker.check(c);
        c.pe = program.exclusionPower(table, c.drawn.locus, row.genotype);
        checker.checkExclusionPower(c);
        c.rule = formulaRule(c.drawn.father, c.drawn.child, c.drawn.mother);
        ++ruleCounts[c.rule];
        ++counts[{c.trio(), c.outcome}];
        result.cases.push_back(std::move(c));
    };

    result.cases.reserve(options.cases + expected.size());
    for (std::size_t i = 0; i < options.cases; ++i) {
        evaluate(drawer.next());
        if (options.progress && (i + 1) % 1000 == 0)
            options.progress(i + 1, options.cases);
    }
    // An outcome the rotation did not reach (a small run) is drawn on purpose from its recipe.
    for (std::size_t r = 0; r < expected.size() && options.cases > 0; ++r) {
        for (int tries = 0; tries < 20 && counts[expected[r]] == 0; ++tries) {
            evaluate(drawer.fromRecipe(r));
            ++result.drawnOnPurpose;
        }
    }
    // So is every rule of the formula table, each constellation on its own.
    for (std::size_t r = 0; r < formulaRules().size() && options.cases > 0; ++r) {
        for (int tries = 0; tries < 20 && ruleCounts[formulaRules()[r].id] == 0; ++tries) {
            evaluate(drawer.fromRule(r));
            ++result.drawnForRules;
        }
    }
    // Whole cases: trios and duos, plain, with a random man's locus, with a single-step inconsistency.
    for (std::size_t w = 0; w < kWholeCases && options.cases > 0; ++w) {
        const bool trio = w % 2 == 0;
        const auto twist = static_cast<WholeCaseTwist>(w / 2 % 3);
        const std::string kind = std::string(trio ? "трио" : "дуо")
                                 + (twist == WholeCaseTwist::RandomMan ? ", локус случайного мужчины"
                                    : twist == WholeCaseTwist::Mutation ? ", одно несовпадение с отцом"
                                                                        : ", отец истинный");
        result.combined.push_back(
            checkWholeCase(drawer.wholeCase(trio, twist), kind, table, independent, format, program));
        if (!result.combined.back().agrees())
            result.combinedDisagreements.push_back(w);
    }
    // Deficiency cases, every constellation as a trio and a duo in each round of the rotation.
    if (table.settings().theta) {
        result.relativesSkipped = "дела с родственниками не проверялись: с поправкой θ программа их не рассчитывает";
    } else if (options.cases > 0) {
        RelativesDrawer relatives(table, options.seed ^ 0x6b696e736869ULL);
        result.relativesLoci = relatives.loci();
        for (std::size_t n = relativesCaseCount(options.cases); relatives.canDraw() && n > 0; --n) {
            result.relatives.push_back(
                checkRelativesCase(relatives.next(), table, independent, format, program.evaluateRelatives));
            if (!result.relatives.back().agrees())
                result.relativesDisagreements.push_back(result.relatives.size() - 1);
        }
    }
    if (options.progress)
        options.progress(options.cases, options.cases);

    std::map<std::string, std::size_t> features;
    std::vector<std::string> featureOrder;
    for (std::size_t i = 0; i < result.cases.size(); ++i) {
        const CaseResult& c = result.cases[i];
        if (c.pe && c.independentPe)
            ++result.peCompared;
        if (c.agrees())
            ++result.agreeing;
        else
            result.disagreements.push_back(i);
        if (c.independent.finding == Finding::Index && !c.lr.empty()
            && (result.largestAt == 0 || c.relativeDifference > result.largestRelativeDifference)) {
            result.largestRelativeDifference = c.relativeDifference;
            result.largestAt = i + 1;
        }
        for (const std::string& f : featuresOf(c, table))
            if (features[f]++ == 0)
                featureOrder.push_back(f);
    }
    for (const std::string& f : featureOrder)
        result.features.push_back({f, features[f]});

    for (const FormulaRule& rule : formulaRules()) {
        result.rules.push_back({rule.id, rule.condition, ruleCounts[rule.id]});
        if (ruleCounts[rule.id] == 0)
            result.unreached.push_back("правило " + rule.id + " (" + rule.condition + ")");
    }
    for (const auto& key : expected) {
        result.coverage.push_back({key.first, key.second, counts[key], true});
        if (counts[key] == 0)
            result.unreached.push_back(std::string(key.first ? "трио: " : "дуо: ") + key.second);
    }
    for (const auto& [key, n] : counts)
        if (std::find(expected.begin(), expected.end(), key) == expected.end())
            result.coverage.push_back({key.first, key.second, n, false});
    return result;
}

} // namespace validation
