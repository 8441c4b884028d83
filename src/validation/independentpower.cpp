// SPDX-License-Identifier: GPL-3.0-or-later
#include "independentpower.h"

#include <algorithm>
#include <string>
#include <vector>

namespace validation {

std::optional<long double> independentExclusionPower(const freqdb::LocusRecord& locus,
                                                     const freqdb::LabSettings& settings, const PersonLabels& child,
                                                     const std::optional<PersonLabels>& mother)
{
    freqdb::LabSettings plain;
    plain.minFrequency = settings.minFrequency;

    std::vector<std::string> labels;
    for (int i = 1; i <= locus.AlleleCount; ++i)
        labels.push_back(locus.Labels[static_cast<std::size_t>(i)]);
    for (const std::string* l : {&child.first, &child.second})
        labels.push_back(*l);
    if (mother)
        for (const std::string* l : {&mother->first, &mother->second})
            labels.push_back(*l);
    std::sort(labels.begin(), labels.end());
    labels.erase(std::unique(labels.begin(), labels.end()), labels.end());

    // Each allele: its weight and whether a man homozygous for it could be the father. A man of
    // two alleles can be when either allele can.
    std::vector<long double> weight;
    std::vector<bool> canBeFather;
    long double total = 0;
    for (const std::string& label : labels) {
        const auto w = usedFrequency(locus, plain, label);
        const bool ofCase = label == child.first || label == child.second
                            || (mother && (label == mother->first || label == mother->second));
        if (!w && ofCase)
            return std::nullopt; // a person's allele the table lacks, with no minimum to give it
        if (!w || !(*w > 0))
            continue; // a genotype of probability 0
        const IndependentResult man = independentIndex(locus, plain, {label, label}, child, mother);
        if (man.finding == Finding::MaternityInconsistent || man.finding == Finding::NotComputable)
            return std::nullopt;
        weight.push_back(*w);
        canBeFather.push_back(man.finding == Finding::Index);
        total += *w;
    }
    weight.push_back(1 - total); // every allele the table does not list
    canBeFather.push_back(false);

    long double excluded = 0;
    for (std::size_t x = 0; x < weight.size(); ++x)
        for (std::size_t y = x; y < weight.size(); ++y)
            if (!canBeFather[x] && !canBeFather[y])
                excluded += (x == y ? 1 : 2) * weight[x] * weight[y];
    return excluded;
}

} // namespace validation
