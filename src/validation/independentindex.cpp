// SPDX-License-Identifier: GPL-3.0-or-later
#include "independentindex.h"

#include <cmath>
#include <vector>

namespace validation {
namespace {

// The alleles a likelihood ranges over: the table's, then the case's labels the table lacks.
struct AlleleSpace {
    std::vector<std::string> labels;
    std::vector<long double> weights; // the frequencies as the index uses them

    // The last allele of that label, as the program's lookups take it; -1 when there is none.
    int find(std::string_view label) const
    {
        int found = -1;
        for (std::size_t i = 0; i < labels.size(); ++i)
            if (labels[i] == label)
                found = static_cast<int>(i);
        return found;
    }
};

long double raised(long double frequency, const freqdb::LabSettings& settings)
{
    if (settings.minFrequency && frequency >= 0 && frequency < *settings.minFrequency)
        return *settings.minFrequency;
    return frequency;
}

AlleleSpace tableSpace(const freqdb::LocusRecord& locus, const freqdb::LabSettings& settings)
{
    AlleleSpace space;
    for (int i = 1; i <= locus.AlleleCount; ++i) {
        space.labels.push_back(locus.Labels[static_cast<std::size_t>(i)]);
        space.weights.push_back(raised(locus.Frequencies[static_cast<std::size_t>(i)], settings));
    }
    return space;
}

// What a parent passes on: K(s, j) for a gene s, either unchanged or under the proportional model.
struct Transmission {
    bool mutation = false;
    long double rate = 0; // a of the model
    const std::vector<long double>* pool = nullptr; // w, or the normalised distribution q

    long double operator()(std::size_t s, std::size_t j) const
    {
        if (!mutation)
            return s == j ? 1.0L : 0.0L;
        const std::vector<long double>& q = *pool;
        return s == j ? 1 - rate + rate * q[s] : rate * q[j];
    }
};

// A parent of the pedigree: typed with two alleles, or a random member of the population.
struct Parent {
    bool typed = false;
    std::size_t x = 0, y = 0;
};

long double passesOn(const Parent& parent, std::size_t j, const Transmission& k)
{
    if (parent.typed)
        return (k(parent.x, j) + k(parent.y, j)) / 2;
    long double sum = 0;
    for (std::size_t s = 0; s < k.pool->size(); ++s)
        sum += (*k.pool)[s] * k(s, j);
    return sum;
}

// P(child | father, mother): the sum over which parent passed on which of the child's alleles.
long double childLikelihood(const Parent& father, const Parent& mother, std::size_t c1, std::size_t c2,
                            const Transmission& k)
{
    if (c1 == c2)
        return passesOn(father, c1, k) * passesOn(mother, c1, k);
    return passesOn(father, c1, k) * passesOn(mother, c2, k) + passesOn(father, c2, k) * passesOn(mother, c1, k);
}

IndependentResult notComputable(std::string reason)
{
    IndependentResult out;
    out.finding = Finding::NotComputable;
    out.reason = std::move(reason);
    return out;
}

} // namespace

std::optional<long double> usedFrequency(const freqdb::LocusRecord& locus, const freqdb::LabSettings& settings,
                                         std::string_view label)
{
    const AlleleSpace space = tableSpace(locus, settings);
    if (const int i = space.find(label); i >= 0)
        return space.weights[static_cast<std::size_t>(i)];
    return settings.minFrequency;
}

IndependentResult independentIndex(const freqdb::LocusRecord& locus, const freqdb::LabSettings& settings,
                                   const PersonLabels& father, const PersonLabels& child,
                                   const std::optional<PersonLabels>& mother)
{
    AlleleSpace space = tableSpace(locus, settings);
    std::string missing;
    auto index = [&](const std::string& label) -> std::size_t {
        int i = space.find(label);
        if (i < 0 && settings.minFrequency) {
            space.labels.push_back(label);
            space.weights.push_back(*settings.minFrequency);
            i = static_cast<int>(space.labels.size()) - 1;
        }
        if (i < 0) {
            if (missing.empty())
                missing = label;
            return 0;
        }
        return static_cast<std::size_t>(i);
    };
    const Parent alleged{true, index(father.first), index(father.second)};
    const std::size_t c1 = index(child.first), c2 = index(child.second);
    const Parent mum = mother ? Parent{true, index(mother->first), index(mother->second)} : Parent{};
    if (!missing.empty())
        return notComputable("аллеля " + missing + " нет в таблице локуса");
    for (std::size_t c : {c1, c2})
        if (!(space.weights[c] > 0) || !std::isfinite(space.weights[c]))
            return notComputable("частота аллеля " + space.labels[c] + " не больше 0");

    const Parent randomMan{};
    const Transmission plain{false, 0, &space.weights};
    // The mother cannot have passed on either of the child's alleles: whoever the father is.
    if (mother && passesOn(mum, c1, plain) + passesOn(mum, c2, plain) == 0) {
        IndependentResult out;
        out.finding = Finding::MaternityInconsistent;
        return out;
    }
    const long double hp = childLikelihood(alleged, mum, c1, c2, plain);
    const long double hd = childLikelihood(randomMan, mum, c1, c2, plain);
    IndependentResult out;
    if (hp > 0) {
        out.finding = Finding::Index;
        out.lr = hp / hd;
        return out;
    }
    if (!settings.mutationOn()) {
        out.finding = Finding::PaternityInconsistent;
        return out;
    }

    // The proportional model needs a distribution: a remainder allele (never anyone's) or a scale.
    long double sum = 0;
    for (long double w : space.weights)
        sum += w;
    std::vector<long double> q = space.weights;
    if (sum > 1) {
        for (long double& x : q)
            x /= sum;
    } else if (sum < 1) {
        q.push_back(1 - sum);
    }
    long double variation = 0;
    for (long double x : q)
        variation += x * (1 - x);
    if (!(variation > 0))
        return notComputable("частоты локуса не дают изменчивости");
    const Transmission mutating{true, settings.mutationRate / variation, &q};
    for (const Parent& parent : {alleged, mum}) {
        if (!parent.typed)
            continue;
        for (std::size_t s : {parent.x, parent.y})
            if (mutating(s, s) < 0)
                return notComputable("частота мутаций слишком велика для частот локуса");
    }
    out.finding = Finding::Index;
    out.mutation = true;
    out.lr = childLikelihood(alleged, mum, c1, c2, mutating) / childLikelihood(randomMan, mum, c1, c2, mutating);
    return out;
}

} // namespace validation
