// SPDX-License-Identifier: GPL-3.0-or-later
#include "casedraw.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "validation/formularule.h"

namespace validation {
namespace {

bool isMicrovariant(const std::string& label)
{
    return label.find(',') != std::string::npos || label.find('.') != std::string::npos;
}

bool has(const PersonLabels& p, const std::string& label)
{
    return p.first == label || p.second == label;
}

// The kinds of the rotation; the last stands for the next recipe.
enum Kind : std::uint64_t {
    TrueTrio,
    TrueDuo,
    RandomManTrio,
    RandomManDuo,
    SharedTrio,
    SharedDuo,
    MotherInconsistent,
    OneStepTrio,
    OneStepDuo,
    Microvariant,
    RareAllele,
    FromRecipe,
    KindCount
};

} // namespace

const std::vector<Recipe>& recipes()
{
    static const std::vector<Recipe> all = {
        {false, Expected::Formula, "1/p(a)"},         {false, Expected::Formula, "(p(a)+p(b))/4p(a)p(b)"},
        {false, Expected::Formula, "1/2p(a)"},        {false, Expected::Formula, "1/4p(a)"},
        {false, Expected::PaternalInconsistency, {}}, {true, Expected::Formula, "1/p(a)"},
        {true, Expected::Formula, "1/2p(a)"},         {true, Expected::Formula, "1/(2p(a)+2p(b))"},
        {true, Expected::Formula, "1/(p(a)+p(b))"},   {true, Expected::PaternalInconsistency, {}},
        {true, Expected::MaternalInconsistency, {}},
    };
    return all;
}

DrawableAlleles drawableAlleles(const freqdb::LocusRecord& record, const freqdb::LabSettings& settings)
{
    DrawableAlleles out;
    std::map<std::string, int> uses;
    for (int i = 1; i <= record.AlleleCount; ++i)
        ++uses[record.Labels[static_cast<std::size_t>(i)]];
    for (int i = 1; i <= record.AlleleCount; ++i) {
        const std::string& label = record.Labels[static_cast<std::size_t>(i)];
        long double f = record.Frequencies[static_cast<std::size_t>(i)];
        if (settings.minFrequency && f >= 0 && f < *settings.minFrequency)
            f = *settings.minFrequency;
        if (label.empty() || label == freqdb::kNoAlleleLabel || uses[label] > 1 || !std::isfinite(f) || !(f > 0)
            || f > 1)
            continue;
        out.labels.push_back(label);
        out.weights.push_back(f);
    }
    return out;
}

CaseDrawer::CaseDrawer(const freqdb::LocusTable& table, std::uint64_t seed) : m_random(seed)
{
    const auto& settings = table.settings();
    m_minimum = settings.minFrequency.has_value();
    for (int k = 1; k <= table.LocusCount(); ++k) {
        const freqdb::LocusRecord& record = table.record(static_cast<std::uint8_t>(k));
        DrawableLocus locus;
        locus.name = record.Name;
        DrawableAlleles drawable = drawableAlleles(record, settings);
        locus.labels = std::move(drawable.labels);
        locus.weights = std::move(drawable.weights);
        for (int i = 1; i <= record.AlleleCount; ++i)
            locus.allLabels.push_back(record.Labels[static_cast<std::size_t>(i)]);
        if (locus.labels.size() < 2)
            continue;
        long double rarest = 2;
        for (std::size_t i = 0; i < locus.labels.size(); ++i) {
            if (isMicrovariant(locus.labels[i]))
                locus.microvariants.push_back(i);
            const long double stored = record.Frequencies[static_cast<std::size_t>(
                table.AlleleIndexOf(static_cast<std::uint8_t>(k), locus.labels[i]))];
            if (settings.minFrequency && stored < *settings.minFrequency)
                locus.rare.push_back(i);
            rarest = std::min(rarest, locus.weights[i]);
        }
        if (locus.rare.empty())
            for (std::size_t i = 0; i < locus.labels.size(); ++i)
                if (locus.weights[i] == rarest)
                    locus.rare.push_back(i);
        if (!locus.microvariants.empty())
            m_microvariantLoci.push_back(m_loci.size());
        if (locus.labels.size() >= 5)
            m_richLoci.push_back(m_loci.size());
        m_loci.push_back(std::move(locus));
    }
}

std::size_t CaseDrawer::below(std::size_t n)
{
    return n == 0 ? 0 : static_cast<std::size_t>(m_random() % n);
}

const CaseDrawer::DrawableLocus& CaseDrawer::anyLocus()
{
    return m_loci[below(m_loci.size())];
}

std::size_t CaseDrawer::allele(const DrawableLocus& locus)
{
    // Half the alleles as a population gives them, half uniformly, so rare ones come up too.
    m_byFrequency = !m_byFrequency;
    if (!m_byFrequency)
        return below(locus.labels.size());
    long double total = 0;
    for (long double w : locus.weights)
        total += w;
    long double at = total * static_cast<long double>(m_random() >> 11) / static_cast<long double>(1ULL << 53);
    for (std::size_t i = 0; i < locus.weights.size(); ++i) {
        if (at < locus.weights[i])
            return i;
        at -= locus.weights[i];
    }
    return locus.weights.size() - 1;
}

PersonLabels CaseDrawer::ordered(std::string a, std::string b)
{
    if (below(2) == 1)
        std::swap(a, b);
    return {std::move(a), std::move(b)};
}

PersonLabels CaseDrawer::person(const DrawableLocus& locus)
{
    return {locus.labels[allele(locus)], locus.labels[allele(locus)]};
}

// An allele next to one of a person's in the table's order (a one-step change), that the
// person does not carry; a random one when there is none.
std::string CaseDrawer::neighbour(const DrawableLocus& locus, const PersonLabels& avoid, const std::string& of)
{
    const auto at
        = static_cast<std::size_t>(std::find(locus.labels.begin(), locus.labels.end(), of) - locus.labels.begin());
    std::vector<std::string> choices;
    for (std::size_t i : {at + 1, at - 1})
        if (i < locus.labels.size() && !has(avoid, locus.labels[i]))
            choices.push_back(locus.labels[i]);
    if (choices.empty())
        for (const std::string& label : locus.labels)
            if (!has(avoid, label))
                choices.push_back(label);
    return choices.empty() ? of : choices[below(choices.size())];
}

// A whole-number label the locus's table does not have (a new allele a lab may meet).
std::string CaseDrawer::absentLabel(const DrawableLocus& locus)
{
    for (int n = 1 + static_cast<int>(below(40));; ++n) {
        const std::string label = std::to_string(n);
        if (std::find(locus.allLabels.begin(), locus.allLabels.end(), label) == locus.allLabels.end())
            return label;
    }
}

DrawnCase CaseDrawer::trueTrio(const DrawableLocus& locus, std::optional<std::string> paternal, std::string kind)
{
    DrawnCase c{locus.name, person(locus), {}, person(locus), std::move(kind)};
    if (paternal)
        c.father = ordered(*paternal, locus.labels[allele(locus)]);
    const std::string& fromMother = below(2) ? c.mother->first : c.mother->second;
    const std::string& fromFather = below(2) ? c.father.first : c.father.second;
    c.child = ordered(fromMother, fromFather);
    return c;
}

DrawnCase CaseDrawer::next()
{
    const std::uint64_t kind = m_drawn++ % KindCount;
    return ofKind(kind, anyLocus());
}

DrawnCase CaseDrawer::ofKind(std::uint64_t kind, const DrawableLocus& locus)
{
    switch (kind) {
    case TrueTrio:
        return trueTrio(locus, std::nullopt, "трио, отец истинный");
    case TrueDuo: {
        DrawnCase c{locus.name, person(locus), {}, std::nullopt, "дуо, отец истинный"};
        c.child = ordered(below(2) ? c.father.first : c.father.second, locus.labels[allele(locus)]);
        return c;
    }
    case RandomManTrio: {
        DrawnCase c{locus.name, person(locus), {}, person(locus), "трио, случайный мужчина"};
        c.child = ordered(below(2) ? c.mother->first : c.mother->second, locus.labels[allele(locus)]);
        return c;
    }
    case RandomManDuo:
        return {locus.name, person(locus), person(locus), std::nullopt, "дуо, случайный мужчина"};
    case SharedTrio:
    case SharedDuo: {
        // Two or three alleles for everyone: persons that share alleles, homozygotes among them.
        const std::size_t size = 2 + below(2);
        std::vector<std::string> pool;
        for (std::size_t i = 0; i < size; ++i)
            pool.push_back(locus.labels[allele(locus)]);
        auto from = [&] { return PersonLabels{pool[below(size)], pool[below(size)]}; };
        DrawnCase c{locus.name, from(), from(), std::nullopt, "дуо, общие аллели"};
        if (kind == SharedTrio) {
            c.mother = from();
            c.kind = "трио, общие аллели";
        }
        return c;
    }
    case MotherInconsistent: {
        DrawnCase c{locus.name, person(locus), {}, person(locus), "трио, несовпадение с матерью"};
        PersonLabels child{locus.labels[allele(locus)], locus.labels[allele(locus)]};
        for (int tries = 0; tries < 20 && (has(*c.mother, child.first) || has(*c.mother, child.second)); ++tries)
            child = {locus.labels[allele(locus)], locus.labels[allele(locus)]};
        c.child = child;
        return c;
    }
    case OneStepTrio: {
        DrawnCase c{locus.name, person(locus), {}, person(locus), "трио, одно несовпадение с отцом"};
        const std::string fromMother = below(2) ? c.mother->first : c.mother->second;
        c.child = ordered(fromMother, neighbour(locus, c.father, below(2) ? c.father.first : c.father.second));
        return c;
    }
    case OneStepDuo: {
        DrawnCase c{locus.name, person(locus), {}, std::nullopt, "дуо, одно несовпадение с отцом"};
        c.child = ordered(neighbour(locus, c.father, below(2) ? c.father.first : c.father.second),
                          locus.labels[allele(locus)]);
        if (has(c.father, c.child.first) || has(c.father, c.child.second))
            c.child.first = c.child.second = neighbour(locus, c.father, c.father.first);
        return c;
    }
    case Microvariant: {
        if (m_microvariantLoci.empty())
            return trueTrio(locus, std::nullopt, "трио, отец истинный");
        const DrawableLocus& withVariant = m_loci[m_microvariantLoci[below(m_microvariantLoci.size())]];
        const std::string variant
            = withVariant.labels[withVariant.microvariants[below(withVariant.microvariants.size())]];
        DrawnCase c = trueTrio(withVariant, variant, "микровариант у отца и ребенка");
        c.child = ordered(below(2) ? c.mother->first : c.mother->second, variant);
        if (below(2) == 1) { // as a duo as often
            c.mother.reset();
            c.kind = "микровариант у отца и ребенка, дуо";
        }
        return c;
    }
    case RareAllele: {
        std::string paternal = locus.labels[locus.rare[below(locus.rare.size())]];
        std::string kindText = m_minimum ? "аллель ниже минимальной частоты" : "самая редкая аллель локуса";
        if (m_minimum && below(2) == 1) {
            paternal = absentLabel(locus);
            kindText = "аллели нет в таблице (минимальная частота)";
        }
        DrawnCase c = trueTrio(locus, paternal, kindText);
        c.child = ordered(below(2) ? c.mother->first : c.mother->second, paternal);
        return c;
    }
    default:
        return fromRecipe(m_drawn / KindCount % recipes().size());
    }
}

const CaseDrawer::DrawableLocus& CaseDrawer::richLocus()
{
    return m_richLoci.empty() ? anyLocus() : m_loci[m_richLoci[below(m_richLoci.size())]];
}

// Five different alleles a..e (fewer when the locus has fewer: they then repeat).
std::vector<std::string> CaseDrawer::fiveAlleles(const DrawableLocus& locus)
{
    std::vector<std::string> x;
    for (int tries = 0; x.size() < 5 && tries < 200; ++tries) {
        std::string label = locus.labels[allele(locus)];
        if (std::find(x.begin(), x.end(), label) == x.end() || tries > 100)
            x.push_back(std::move(label));
    }
    return x;
}

DrawnCase CaseDrawer::fromRule(std::size_t r)
{
    const FormulaRule& rule = formulaRules()[r % formulaRules().size()];
    const DrawableLocus& locus = richLocus();
    const std::vector<std::string> x = fiveAlleles(locus);
    auto person = [&](const int(&pair)[2]) { return PersonLabels{x[pair[0]], x[pair[1]]}; };
    DrawnCase out{locus.name, person(rule.father), person(rule.child), std::nullopt, "по правилу " + rule.id};
    if (rule.trio())
        out.mother = person(rule.mother);
    return out;
}

std::vector<DrawnCase> CaseDrawer::wholeCase(bool trio, WholeCaseTwist twist)
{
    // Four to nine different loci, each with the true father (so that the probability of paternity
    // still shows its decimals), then one locus changed.
    std::vector<std::size_t> order(m_loci.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::shuffle(order.begin(), order.end(), m_random);
    order.resize(std::min(order.size(), 4 + below(6)));
    std::vector<DrawnCase> loci;
    for (std::size_t i : order)
        loci.push_back(ofKind(trio ? TrueTrio : TrueDuo, m_loci[i]));
    if (!loci.empty() && twist != WholeCaseTwist::None) {
        const std::size_t at = below(loci.size());
        const std::uint64_t kind = twist == WholeCaseTwist::Mutation ? (trio ? OneStepTrio : OneStepDuo)
                                                                     : (trio ? RandomManTrio : RandomManDuo);
        loci[at] = ofKind(kind, m_loci[order[at]]);
    }
    return loci;
}

DrawnCase CaseDrawer::fromRecipe(std::size_t r)
{
    const Recipe& recipe = recipes()[r % recipes().size()];
    const DrawableLocus& locus = richLocus();
    const std::vector<std::string> x = fiveAlleles(locus);
    const std::string &a = x[0], &b = x[1], &c = x[2], &d = x[3], &e = x[4];
    DrawnCase out{locus.name, {}, {}, std::nullopt, "по рецепту: "};
    if (!recipe.trio) {
        out.kind += "дуо, ";
        switch (r % recipes().size()) {
        case 0:
            out.father = {a, a}, out.child = {a, a};
            break;
        case 1:
            out.father = {a, b}, out.child = ordered(a, b);
            break;
        case 2:
            out.father = ordered(a, a), out.child = ordered(a, b);
            if (below(2))
                std::swap(out.father, out.child);
            break;
        case 3:
            out.father = ordered(a, b), out.child = ordered(a, c);
            break;
        default:
            out.father = ordered(a, b), out.child = ordered(c, d);
            break;
        }
    } else {
        out.kind += "трио, ";
        switch (r % recipes().size()) {
        case 5:
            out.father = {a, a}, out.mother = ordered(b, c), out.child = ordered(a, b);
            break;
        case 6:
            out.father = ordered(a, d), out.mother = ordered(b, c), out.child = ordered(a, b);
            break;
        case 7:
            out.father = ordered(a, c), out.mother = ordered(a, b), out.child = ordered(a, b);
            break;
        case 8:
            out.father = below(2) ? PersonLabels{a, a} : ordered(a, b), out.mother = ordered(a, b),
            out.child = ordered(a, b);
            break;
        case 9:
            out.father = ordered(c, d), out.mother = ordered(a, b), out.child = ordered(a, e);
            break;
        default:
            out.father = ordered(a, c), out.mother = ordered(b, d), out.child = ordered(a, c);
            break;
        }
    }
    out.kind += recipe.expected == Expected::Formula                 ? recipe.shape
                : recipe.expected == Expected::PaternalInconsistency ? "несовпадение с отцом"
                                                                     : "несовпадение с матерью";
    return out;
}

} // namespace validation
