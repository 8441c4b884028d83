// SPDX-License-Identifier: GPL-3.0-or-later
#include "independentkinship.h"

#include <cmath>

#include "validation/pedigreesum.h"

namespace validation {
namespace {

using Genotype = std::pair<int, int>;

// The allele numbers 1..n a sum runs over: the table's, then the case's labels it lacks.
struct Alleles {
    std::vector<std::string> labels{""}; // entry 0 unused
    std::vector<long double> p{0};
    std::string missing; // a label neither the table nor the minimum frequency gives

    int number(const std::string& label, const freqdb::LabSettings& settings)
    {
        int found = 0;
        for (std::size_t i = 1; i < labels.size(); ++i)
            found = labels[i] == label ? static_cast<int>(i) : found;
        if (found == 0 && settings.minFrequency) {
            labels.push_back(label);
            p.push_back(*settings.minFrequency);
            found = static_cast<int>(labels.size()) - 1;
        }
        if (found == 0 && missing.empty())
            missing = label;
        return found;
    }
};

struct Numbered {
    std::optional<Genotype> child, mother, allegedFather, fathersFather, fathersMother;
    std::vector<Genotype> siblings;
    std::vector<std::pair<Genotype, std::optional<Genotype>>> otherChildren;
};

// The persons of the pedigree: the alleged father's parents, himself, his siblings, his other
// children with their mothers; with `withChild`, then the mother, under Hd an unrelated man, and
// the child, whose two transmissions go through the mutation model.
std::vector<PedigreePerson> pedigree(const Numbered& f, bool withChild, bool hp)
{
    std::vector<PedigreePerson> persons;
    persons.push_back({-1, -1, f.fathersFather, false});
    persons.push_back({-1, -1, f.fathersMother, false});
    persons.push_back({0, 1, f.allegedFather, false});
    for (const Genotype& s : f.siblings)
        persons.push_back({0, 1, s, false});
    for (const auto& [child, mother] : f.otherChildren) {
        persons.push_back({-1, -1, mother, false});
        persons.push_back({2, static_cast<int>(persons.size()) - 1, child, false});
    }
    if (!withChild)
        return persons;
    persons.push_back({-1, -1, f.mother, false});
    const int mother = static_cast<int>(persons.size()) - 1;
    int father = 2;
    if (!hp) {
        persons.push_back({-1, -1, std::nullopt, false});
        father = static_cast<int>(persons.size()) - 1;
    }
    persons.push_back({father, mother, f.child, true});
    return persons;
}

RelativesIndependent finding(RelativesFinding what, std::string reason = {})
{
    RelativesIndependent out;
    out.finding = what;
    out.reason = std::move(reason);
    return out;
}

} // namespace

RelativesIndependent independentRelativesIndex(const freqdb::LocusRecord& locus, const freqdb::LabSettings& settings,
                                               const RelativesLabels& family)
{
    Alleles alleles;
    for (int i = 1; i <= locus.AlleleCount; ++i) {
        alleles.labels.push_back(locus.Labels[static_cast<std::size_t>(i)]);
        long double f = locus.Frequencies[static_cast<std::size_t>(i)];
        if (settings.minFrequency && f >= 0 && f < *settings.minFrequency)
            f = *settings.minFrequency;
        alleles.p.push_back(f);
    }
    auto numbered = [&](const PersonLabels& g) {
        return Genotype{alleles.number(g.first, settings), alleles.number(g.second, settings)};
    };
    auto maybe = [&](const std::optional<PersonLabels>& g) {
        return g ? std::optional<Genotype>(numbered(*g)) : std::nullopt;
    };
    Numbered f;
    f.child = numbered(family.child);
    f.mother = maybe(family.mother);
    f.allegedFather = maybe(family.allegedFather);
    f.fathersFather = maybe(family.fathersFather);
    f.fathersMother = maybe(family.fathersMother);
    for (const PersonLabels& s : family.siblings)
        f.siblings.push_back(numbered(s));
    for (const auto& other : family.otherChildren)
        f.otherChildren.emplace_back(numbered(other.child), maybe(other.mother));
    if (!alleles.missing.empty())
        return finding(RelativesFinding::NotComputable, "аллеля " + alleles.missing + " нет в таблице локуса");

    const std::vector<long double>& table = alleles.p;
    // Founders draw from the table as the typed persons' alleles leave it (pedigreesum.h).
    const std::vector<long double> p = foundersFrequencies(pedigree(f, true, true), table);
    if (!(pedigreeSum(pedigree(f, false, true), p) > 0))
        return finding(RelativesFinding::RelativesInconsistent);
    if (family.mother) {
        const auto [c1, c2] = *f.child;
        const auto [m1, m2] = *f.mother;
        if (c1 != m1 && c1 != m2 && c2 != m1 && c2 != m2)
            return finding(RelativesFinding::MaternityExcluded);
    }
    if (family.allegedFather) {
        const IndependentResult trio
            = independentIndex(locus, settings, *family.allegedFather, family.child, family.mother);
        RelativesIndependent out;
        out.lr = trio.lr;
        out.mutation = trio.mutation;
        out.reason = trio.reason;
        out.finding = trio.finding == Finding::Index                   ? RelativesFinding::Index
                      : trio.finding == Finding::PaternityInconsistent ? RelativesFinding::PaternityExcluded
                      : trio.finding == Finding::MaternityInconsistent ? RelativesFinding::MaternityExcluded
                                                                       : RelativesFinding::NotComputable;
        return out;
    }
    for (int c : {f.child->first, f.child->second})
        if (!(p[static_cast<std::size_t>(c)] > 0))
            return finding(RelativesFinding::NotComputable,
                           "частота аллеля " + alleles.labels[static_cast<std::size_t>(c)] + " не больше 0");

    const long double hp = pedigreeSum(pedigree(f, true, true), p);
    const long double hd = pedigreeSum(pedigree(f, true, false), p);
    if (!(hd > 0))
        return finding(RelativesFinding::NotComputable, "L(Hd) = 0");
    RelativesIndependent out;
    if (hp > 0) {
        out.finding = RelativesFinding::Index;
        out.lr = hp / hd;
        return out;
    }
    if (!settings.mutationOn())
        return finding(RelativesFinding::PaternityExcluded);

    long double sum = 0;
    for (std::size_t i = 1; i < table.size(); ++i)
        sum += table[i];
    std::vector<long double> q = table;
    long double variation = sum < 1 ? (1 - sum) * sum : 0; // the remainder allele R: R(1 - R)
    for (std::size_t i = 1; i < q.size(); ++i) {
        q[i] = sum > 1 ? table[i] / sum : table[i];
        variation += q[i] * (1 - q[i]);
    }
    if (!(variation > 0))
        return finding(RelativesFinding::NotComputable, "частоты локуса не дают изменчивости");
    const long double a = settings.mutationRate / variation;
    for (std::size_t i = 1; i < q.size(); ++i)
        if (a * (1 - q[i]) > 1)
            return finding(RelativesFinding::NotComputable, "частота мутаций слишком велика для частот локуса");
    const std::vector<long double> founders = foundersFrequencies(pedigree(f, true, true), q);
    const long double mutatedHd = pedigreeSum(pedigree(f, true, false), founders, a);
    if (!(mutatedHd > 0))
        return finding(RelativesFinding::NotComputable, "L(Hd) = 0");
    out.finding = RelativesFinding::Index;
    out.mutation = true;
    out.lr = pedigreeSum(pedigree(f, true, true), founders, a) / mutatedHd;
    return out;
}

} // namespace validation
