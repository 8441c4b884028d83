// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The cases of a validation run, drawn from the lab's own tables: trios and duos with a true
// father and with a random man, persons sharing alleles, inconsistencies with the mother and
// single one-step inconsistencies with the father (what the mutation model is for),
// microvariants, rare alleles and, when the lab has a minimum frequency, alleles below it or
// missing from the table. A fixed rotation of these kinds, plus one recipe per outcome the
// program can give (so every formula is reached), each filled with alleles drawn from a seeded
// generator: the same seed and tables give the same cases.
#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "freqdb/locustable.h"
#include "validation/independentindex.h"

namespace validation {

// The alleles of a locus a drawn case may take: labelled, each label once, with a frequency a
// likelihood can use (raised to the lab's minimum frequency where it is below). A label the
// lookups cannot reach (empty, twice, "Нет") and a frequency no index can use are warnings about
// the table (tablecheck.h), not cases.
struct DrawableAlleles {
    std::vector<std::string> labels;
    std::vector<long double> weights;
};
DrawableAlleles drawableAlleles(const freqdb::LocusRecord& record, const freqdb::LabSettings& settings);

struct DrawnCase {
    std::string locus;
    PersonLabels father;
    PersonLabels child;
    std::optional<PersonLabels> mother; // nullopt: not typed
    std::string kind; // how it was drawn, in Russian
};

// What a recipe is made to give: an index formula of the given shape, or an inconsistency.
enum class Expected { Formula, PaternalInconsistency, MaternalInconsistency };

struct Recipe {
    bool trio = false;
    Expected expected = Expected::Formula;
    std::string shape; // Formula: "1/2p(a)" and the like (formulashape.h)
};

// What a whole case (several loci) has besides true-father loci: nothing, one locus of a random
// man (an exclusion or an index), or one single-step inconsistency with the father.
enum class WholeCaseTwist { None, RandomMan, Mutation };

// Every outcome the program gives for a duo and for a trio, each with a constellation that gives it.
const std::vector<Recipe>& recipes();

class CaseDrawer {
public:
    CaseDrawer(const freqdb::LocusTable& table, std::uint64_t seed);

    // False when no locus has two alleles that can be drawn: there is nothing to validate.
    bool canDraw() const { return !m_loci.empty(); }

    // The next case of the rotation.
    DrawnCase next();

    // A case made to give recipes()[r].
    DrawnCase fromRecipe(std::size_t r);

    // A case made to meet formulaRules()[r] (formularule.h).
    DrawnCase fromRule(std::size_t r);

    // A whole case: one drawn case per locus over several different loci.
    std::vector<DrawnCase> wholeCase(bool trio, WholeCaseTwist twist);

private:
    // A locus and the alleles a case may take from it: labelled, each label once, with a
    // frequency a likelihood can use.
    struct DrawableLocus {
        std::string name;
        std::vector<std::string> labels;
        std::vector<long double> weights;
        std::vector<std::size_t> microvariants; // labels with a decimal part ("9,3")
        std::vector<std::size_t> rare; // below the lab's minimum, or the rarest without one
        std::vector<std::string> allLabels; // every label of the table, to make one it lacks
    };

    std::size_t below(std::size_t n); // 0..n-1
    DrawnCase ofKind(std::uint64_t kind, const DrawableLocus& locus);
    const DrawableLocus& richLocus();
    std::vector<std::string> fiveAlleles(const DrawableLocus& locus);
    const DrawableLocus& anyLocus();
    std::size_t allele(const DrawableLocus& locus); // by frequency or uniformly, in turn
    PersonLabels person(const DrawableLocus& locus);
    PersonLabels ordered(std::string a, std::string b); // in a random order
    std::string neighbour(const DrawableLocus& locus, const PersonLabels& avoid, const std::string& of);
    std::string absentLabel(const DrawableLocus& locus);
    DrawnCase trueTrio(const DrawableLocus& locus, std::optional<std::string> paternal, std::string kind);

    std::vector<DrawableLocus> m_loci;
    std::vector<std::size_t> m_microvariantLoci; // indices into m_loci
    std::vector<std::size_t> m_richLoci; // loci with at least five alleles, for the recipes
    bool m_minimum = false;
    std::mt19937_64 m_random;
    std::uint64_t m_drawn = 0;
    bool m_byFrequency = false;
};

} // namespace validation
