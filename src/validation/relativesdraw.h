// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The deficiency cases of a validation run: families drawn at random in every constellation of
// relatives the program takes (both of the alleged father's parents, one of them, his brother and
// sister, his other children with and without their mothers, a parent with a brother, the alleged
// father typed as a control), each as a trio and as a duo. Most families are simulated (founders
// drawn from the table, children inheriting from their parents; the child is the alleged father's
// in half of them, a random man's in the other half); every third has every genotype drawn apart,
// so that relatives who cannot be and maternal exclusions come up too.
//
// The second computation sums over every untyped person's genotype over the whole allele table,
// so the cases are drawn at the loci with the fewest alleles only (kRelativesLoci of them).
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "freqdb/locustable.h"
#include "validation/independentkinship.h"

namespace validation {

inline constexpr std::size_t kRelativesLoci = 3;

// Which of the alleged father's relatives are typed.
struct RelativesConstellation {
    std::string name; // in Russian
    bool fathersFather = false, fathersMother = false;
    int siblings = 0;
    int otherChildren = 0;
    bool otherMothers = false; // his other children's mothers typed
    bool allegedFather = false; // typed as a control
};

const std::vector<RelativesConstellation>& relativesConstellations();

struct RelativesLocus {
    std::string locus;
    RelativesLabels family;
};

struct DrawnRelatives {
    std::size_t constellation = 0; // into relativesConstellations()
    bool trio = false;
    std::string kind; // how it was drawn, in Russian
    std::vector<RelativesLocus> loci;
};

class RelativesDrawer {
public:
    RelativesDrawer(const freqdb::LocusTable& table, std::uint64_t seed);

    bool canDraw() const { return !m_loci.empty(); }
    // The loci the families are typed at.
    std::vector<std::string> loci() const;
    // The n-th family of the rotation: constellation and trio or duo in turn.
    DrawnRelatives next();

private:
    struct Locus {
        std::string name;
        std::vector<std::string> labels;
        std::vector<long double> weights;
    };

    PersonLabels draw(const Locus& locus);
    PersonLabels childOf(const PersonLabels& a, const PersonLabels& b);

    std::vector<Locus> m_loci;
    std::mt19937_64 m_random;
    std::uint64_t m_drawn = 0;
};

} // namespace validation
