// SPDX-License-Identifier: GPL-3.0-or-later
#include "pedigreesum.h"

#include <algorithm>
#include <functional>
#include <numeric>

namespace validation {
namespace {

using Genotype = std::pair<int, int>;

// The sum over the genotypes of `members` (persons after their parents) with the rest of
// `persons` left alone.
long double componentSum(const std::vector<PedigreePerson>& persons, const std::vector<std::size_t>& members,
                         const std::vector<long double>& p, long double a, const std::vector<Genotype>& all)
{
    auto kernel = [&](int i, int j, bool mutates) -> long double {
        if (!mutates)
            return i == j ? 1 : 0;
        return i == j ? 1 - a + a * p[static_cast<std::size_t>(j)] : a * p[static_cast<std::size_t>(j)];
    };
    std::vector<Genotype> g(persons.size());
    std::function<long double(std::size_t)> sum = [&](std::size_t m) -> long double {
        if (m == members.size())
            return 1;
        const std::size_t k = members[m];
        const PedigreePerson& person = persons[k];
        long double total = 0;
        const Genotype typed = person.typed.value_or(Genotype{});
        const Genotype* begin = person.typed ? &typed : all.data();
        const Genotype* end = person.typed ? &typed + 1 : all.data() + all.size();
        for (const Genotype* c = begin; c != end; ++c) {
            const Genotype choice{std::min(c->first, c->second), std::max(c->first, c->second)};
            long double factor = 0;
            const auto [u, v] = choice;
            if (person.father < 0) {
                const long double pu = p[static_cast<std::size_t>(u)], pv = p[static_cast<std::size_t>(v)];
                factor = u == v ? pu * pu : 2 * pu * pv;
            } else {
                const Genotype f = g[static_cast<std::size_t>(person.father)];
                const Genotype mo = g[static_cast<std::size_t>(person.mother)];
                auto fromFather = [&](int j) {
                    return (kernel(f.first, j, person.mutates) + kernel(f.second, j, person.mutates)) / 2;
                };
                auto fromMother = [&](int j) {
                    return (kernel(mo.first, j, person.mutates) + kernel(mo.second, j, person.mutates)) / 2;
                };
                factor = u == v ? fromFather(u) * fromMother(u)
                                : fromFather(u) * fromMother(v) + fromFather(v) * fromMother(u);
            }
            if (factor == 0)
                continue;
            g[k] = choice;
            total += factor * sum(m + 1);
        }
        return total;
    };
    return sum(0);
}

} // namespace

std::vector<long double> foundersFrequencies(const std::vector<PedigreePerson>& persons,
                                             const std::vector<long double>& p)
{
    std::vector<bool> carried(p.size(), false);
    for (const PedigreePerson& person : persons)
        if (person.typed) {
            carried[static_cast<std::size_t>(person.typed->first)] = true;
            carried[static_cast<std::size_t>(person.typed->second)] = true;
        }
    long double carriedSum = 0, otherSum = 0;
    for (std::size_t i = 1; i < p.size(); ++i)
        (carried[i] ? carriedSum : otherSum) += p[i];
    const long double left = std::max(0.0L, 1 - carriedSum);
    std::vector<long double> out = p;
    if (otherSum > 0) {
        for (std::size_t i = 1; i < p.size(); ++i)
            if (!carried[i])
                out[i] = p[i] * left / otherSum;
    } else if (left > 0) {
        out.push_back(left);
    }
    return out;
}

long double pedigreeSum(const std::vector<PedigreePerson>& persons, const std::vector<long double>& p, long double a)
{
    const int n = static_cast<int>(p.size()) - 1;
    std::vector<Genotype> all;
    for (int x = 1; x <= n; ++x) {
        for (int y = x; y <= n; ++y)
            all.push_back({x, y});
    }
    // Persons not joined by any parent-child link are independent: the likelihood is the product
    // of the sums over each group of related persons (an unrelated man and the child's mother
    // apart from the alleged father's family under Hd).
    std::vector<std::size_t> group(persons.size());
    std::iota(group.begin(), group.end(), std::size_t{0});
    std::function<std::size_t(std::size_t)> root
        = [&](std::size_t i) { return group[i] == i ? i : group[i] = root(group[i]); };
    for (std::size_t i = 0; i < persons.size(); ++i) {
        for (int parent : {persons[i].father, persons[i].mother})
            if (parent >= 0)
                group[root(i)] = root(static_cast<std::size_t>(parent));
    }
    long double product = 1;
    for (std::size_t r = 0; r < persons.size(); ++r) {
        std::vector<std::size_t> members;
        for (std::size_t i = 0; i < persons.size(); ++i)
            if (root(i) == r)
                members.push_back(i);
        if (!members.empty())
            product *= componentSum(persons, members, p, a, all);
    }
    return product;
}

} // namespace validation
