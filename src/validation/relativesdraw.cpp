// SPDX-License-Identifier: GPL-3.0-or-later
#include "relativesdraw.h"

#include <algorithm>
#include <cmath>

#include "validation/casedraw.h"

namespace validation {

const std::vector<RelativesConstellation>& relativesConstellations()
{
    static const std::vector<RelativesConstellation> all = {
        {"оба родителя ПО", true, true, 0, 0, false, false},
        {"отец ПО", true, false, 0, 0, false, false},
        {"мать ПО", false, true, 0, 0, false, false},
        {"брат и сестра ПО", false, false, 2, 0, false, false},
        {"дети ПО с их матерями", false, false, 0, 2, true, false},
        {"ребенок ПО без матери", false, false, 0, 1, false, false},
        {"отец и брат ПО", true, false, 1, 0, false, false},
        {"ПО типирован (контроль) и его мать", false, true, 0, 0, false, true},
    };
    return all;
}

RelativesDrawer::RelativesDrawer(const freqdb::LocusTable& table, std::uint64_t seed) : m_random(seed)
{
    const freqdb::LabSettings& settings = table.settings();
    for (int k = 1; k <= table.LocusCount(); ++k) {
        const freqdb::LocusRecord& record = table.record(static_cast<std::uint8_t>(k));
        DrawableAlleles drawable = drawableAlleles(record, settings);
        Locus locus{record.Name, std::move(drawable.labels), std::move(drawable.weights)};
        if (locus.labels.size() >= 2)
            m_loci.push_back(std::move(locus));
    }
    // The loci with the fewest alleles in the table (the sum's cost grows with them), in table order.
    std::vector<std::size_t> order(m_loci.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    auto size = [&](std::size_t i) { return table.record(table.LocusIndexOf(m_loci[i].name)).AlleleCount; };
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return size(a) < size(b); });
    order.resize(std::min(order.size(), kRelativesLoci));
    std::sort(order.begin(), order.end());
    std::vector<Locus> kept;
    for (std::size_t i : order)
        kept.push_back(std::move(m_loci[i]));
    m_loci = std::move(kept);
}

std::vector<std::string> RelativesDrawer::loci() const
{
    std::vector<std::string> out;
    for (const Locus& locus : m_loci)
        out.push_back(locus.name);
    return out;
}

PersonLabels RelativesDrawer::draw(const Locus& locus)
{
    std::discrete_distribution<std::size_t> d(locus.weights.begin(), locus.weights.end());
    return {locus.labels[d(m_random)], locus.labels[d(m_random)]};
}

PersonLabels RelativesDrawer::childOf(const PersonLabels& a, const PersonLabels& b)
{
    const bool first = m_random() % 2 == 0, second = m_random() % 2 == 0;
    return {first ? a.first : a.second, second ? b.first : b.second};
}

DrawnRelatives RelativesDrawer::next()
{
    const auto& all = relativesConstellations();
    DrawnRelatives out;
    const std::uint64_t n = m_drawn++;
    out.constellation = static_cast<std::size_t>(n / 2 % all.size());
    out.trio = n % 2 == 0;
    const RelativesConstellation& c = all[out.constellation];
    // Every third family has every genotype drawn apart (over 48 families every constellation, as
    // a trio and a duo, is drawn so once).
    const bool related = n % 3 != 2;
    const bool fathers = related && m_random() % 2 == 0;
    out.kind = !related ? "генотипы независимы" : fathers ? "ребенок ПО" : "ребенок случайного мужчины";
    for (const Locus& locus : m_loci) {
        auto inherit
            = [&](const PersonLabels& a, const PersonLabels& b) { return related ? childOf(a, b) : draw(locus); };
        const PersonLabels ff = draw(locus), fm = draw(locus);
        const PersonLabels af = inherit(ff, fm);
        RelativesLabels f;
        if (c.fathersFather)
            f.fathersFather = ff;
        if (c.fathersMother)
            f.fathersMother = fm;
        if (c.allegedFather)
            f.allegedFather = af;
        for (int i = 0; i < c.siblings; ++i)
            f.siblings.push_back(inherit(ff, fm));
        for (int i = 0; i < c.otherChildren; ++i) {
            const PersonLabels w = draw(locus);
            f.otherChildren.push_back({inherit(af, w), c.otherMothers ? std::optional<PersonLabels>(w) : std::nullopt});
        }
        const PersonLabels mother = draw(locus);
        if (out.trio)
            f.mother = mother;
        f.child = inherit(fathers ? af : draw(locus), mother);
        out.loci.push_back({locus.name, std::move(f)});
    }
    return out;
}

} // namespace validation
