// SPDX-License-Identifier: GPL-3.0-or-later
#include "formularule.h"

#include <set>

namespace validation {
namespace {

using Set = std::set<std::string>;

Set setOf(const PersonLabels& p)
{
    return {p.first, p.second};
}

bool in(const std::string& x, const Set& s)
{
    return s.count(x) > 0;
}

std::string duoRule(const PersonLabels& f, const PersonLabels& c)
{
    const Set fs = setOf(f), cs = setOf(c);
    const bool fHom = f.first == f.second, cHom = c.first == c.second;
    if (fs == cs)
        return fHom ? "D1" : "D2";
    if (fHom != cHom) {
        if (in(f.first, cs))
            return "D3";
        if (in(f.second, cs))
            return "D4";
        return "D5";
    }
    if (fHom)
        return "D6";
    if (in(f.first, cs))
        return "D7";
    if (in(f.second, cs))
        return "D8";
    return "D9";
}

std::string trioRule(const PersonLabels& f, const PersonLabels& c, const PersonLabels& m)
{
    const Set fs = setOf(f), cs = setOf(c), ms = setOf(m);
    const bool fHet = f.first != f.second, cHet = c.first != c.second;
    if (m.first == m.second && fs == ms && cHet)
        return "T1";
    if (!in(c.first, ms) && !in(c.second, ms))
        return "T2";
    if (fHet && fs == ms && cHet && cs != fs)
        return "T3";
    if (in(c.first, fs) && in(c.first, ms) && !in(c.second, fs) && !in(c.second, ms))
        return "T4";
    if (in(c.second, fs) && in(c.second, ms) && !in(c.first, fs) && !in(c.first, ms))
        return "T5";
    if (!in(c.first, fs) && !in(c.second, fs))
        return "T6";
    if (!fHet && !cHet && c.first == f.first && in(f.first, ms))
        return "T7";
    if (!fHet && in(f.first, cs) && (in(m.first, cs) || in(m.second, cs)) && !in(m.first, fs) && !in(m.second, fs))
        return "T8";
    if (fHet && cHet && fs != ms && fs != cs && ms != cs)
        return "T9";
    if (fHet && !cHet)
        return "T10";
    if (cHet && cs == ms && (!in(f.first, ms) || !in(f.second, ms)))
        return "T11";
    if (cHet && cs == ms)
        return "T12";
    if (fHet && cHet && fs == cs && ms != fs)
        return "T13";
    return "T?";
}

} // namespace

const std::vector<FormulaRule>& formulaRules()
{
    // a = 0, b = 1, c = 2, d = 3, e = 4; a mother of {-1, -1} is untyped.
    static const std::vector<FormulaRule> all = {
        {"D1", "отец и ребенок — одна гомозигота", {0, 0}, {0, 0}, {-1, -1}},
        {"D2", "отец и ребенок — одна гетерозигота", {0, 1}, {1, 0}, {-1, -1}},
        {"D3", "один гомозиготен, первая аллель отца у ребенка", {0, 1}, {0, 0}, {-1, -1}},
        {"D4", "один гомозиготен, вторая аллель отца у ребенка", {1, 0}, {0, 0}, {-1, -1}},
        {"D5", "один гомозиготен, общей аллели нет", {0, 0}, {1, 2}, {-1, -1}},
        {"D6", "оба гомозиготны, аллели разные", {0, 0}, {1, 1}, {-1, -1}},
        {"D7", "оба гетерозиготны, первая аллель отца у ребенка", {0, 1}, {0, 2}, {-1, -1}},
        {"D8", "оба гетерозиготны, вторая аллель отца у ребенка", {1, 0}, {2, 0}, {-1, -1}},
        {"D9", "оба гетерозиготны, общей аллели нет", {0, 1}, {2, 3}, {-1, -1}},
        {"T1", "мать и отец — одна гомозигота, ребенок гетерозиготен", {0, 0}, {0, 1}, {0, 0}},
        {"T2", "у ребенка нет аллели матери", {2, 3}, {2, 3}, {0, 1}},
        {"T3", "отец и мать — одна гетерозигота, ребенок другой", {0, 1}, {0, 2}, {1, 0}},
        {"T4", "первая аллель ребенка у обоих родителей, вторая ни у кого", {0, 2}, {0, 3}, {0, 1}},
        {"T5", "вторая аллель ребенка у обоих родителей, первая ни у кого", {0, 2}, {3, 0}, {0, 1}},
        {"T6", "у ребенка нет аллели отца", {2, 3}, {0, 4}, {0, 1}},
        {"T7", "все трое несут a, отец и ребенок гомозиготны", {0, 0}, {0, 0}, {0, 1}},
        {"T8", "отец гомозиготен, у матери нет его аллели", {0, 0}, {0, 1}, {1, 2}},
        {"T9", "генотипы трех попарно различны", {0, 3}, {0, 1}, {1, 2}},
        {"T10", "отец гетерозиготен, ребенок гомозиготен", {0, 1}, {0, 0}, {0, 2}},
        {"T11", "мать и ребенок — одна гетерозигота, у отца аллель не от них", {0, 2}, {0, 1}, {1, 0}},
        {"T12", "мать и ребенок — одна гетерозигота, у отца только их аллели", {0, 0}, {0, 1}, {0, 1}},
        {"T13", "отец и ребенок — одна гетерозигота, мать другая", {0, 2}, {0, 2}, {2, 3}},
    };
    return all;
}

std::string formulaRule(const PersonLabels& father, const PersonLabels& child,
                        const std::optional<PersonLabels>& mother)
{
    return mother ? trioRule(father, child, *mother) : duoRule(father, child);
}

} // namespace validation
