// SPDX-License-Identifier: GPL-3.0-or-later
#include "relativescheck.h"

#include <cmath>

#include "engine/enginetexts.h"
#include "kinship/kinshiptexts.h"
#include "results/genotyperow.h"
#include "validation/validationprotocol.h"
#include "validation/validationrun.h"

namespace validation {
namespace {

using kinship::Role;
using kinship::RoleKind;

// The persons of the case in column order, each with its genotype at one locus (nullopt: the
// person is not in this constellation).
std::vector<std::pair<Role, const PersonLabels*>> personsOf(const RelativesLabels& f)
{
    std::vector<std::pair<Role, const PersonLabels*>> out;
    out.push_back({{RoleKind::Child, 0}, &f.child});
    if (f.mother)
        out.push_back({{RoleKind::Mother, 0}, &*f.mother});
    if (f.allegedFather)
        out.push_back({{RoleKind::AllegedFather, 0}, &*f.allegedFather});
    if (f.fathersFather)
        out.push_back({{RoleKind::FathersFather, 0}, &*f.fathersFather});
    if (f.fathersMother)
        out.push_back({{RoleKind::FathersMother, 0}, &*f.fathersMother});
    // The first sibling a brother, the second a sister.
    for (std::size_t i = 0; i < f.siblings.size(); ++i)
        out.push_back(
            {{i % 2 == 0 ? RoleKind::Brother : RoleKind::Sister, static_cast<int>(i / 2 + 1)}, &f.siblings[i]});
    for (std::size_t i = 0; i < f.otherChildren.size(); ++i) {
        const int number = static_cast<int>(i + 1);
        out.push_back({{RoleKind::OtherChild, number}, &f.otherChildren[i].child});
        if (f.otherChildren[i].mother)
            out.push_back({{RoleKind::OtherChildsMother, number}, &*f.otherChildren[i].mother});
    }
    return out;
}

long double relative(long double a, long double b)
{
    if (a == b)
        return 0;
    return std::fabs(a - b) / std::max(std::fabs(a), std::fabs(b));
}

// What the program's row says, beside what the second computation found.
void compare(RelativesRow& row, const kinship::KinshipRow& program)
{
    const RelativesIndependent& ind = row.independent;
    const std::string shown = "«" + program.formula + "», LR «" + program.lr + "»";
    auto expect = [&](bool holds, const std::string& expected) {
        if (!holds)
            row.problems.push_back("программа: " + shown + "; второй расчёт: " + expected);
    };
    switch (ind.finding) {
    case RelativesFinding::Index:
        if (program.verdict != engine::Verdict::Index || program.lr.empty()) {
            expect(false, "LR " + numberText(ind.lr));
            return;
        }
        if (program.mutation != ind.mutation)
            row.problems.push_back(std::string(ind.mutation ? "второй расчёт дал LR с мутацией, программа - без"
                                                            : "программа дала LR с мутацией, второй расчёт - без"));
        if (!(relative(program.lrValue, ind.lr) <= kAgreement))
            row.problems.push_back("LR программы " + numberText(program.lrValue) + ", второй расчёт "
                                   + numberText(ind.lr));
        return;
    case RelativesFinding::PaternityExcluded:
        expect(program.verdict == engine::Verdict::PaternityExcluded, std::string(engine::kPaternityExcluded));
        return;
    case RelativesFinding::MaternityExcluded:
        expect(program.verdict == engine::Verdict::MaternityExcluded, std::string(engine::kMaternityExcluded));
        return;
    case RelativesFinding::RelativesInconsistent:
        expect(program.verdict == engine::Verdict::Failed
                   && program.formula.rfind(std::string(kinship::kRelativesInconsistent), 0) == 0,
               std::string(kinship::kRelativesInconsistent));
        return;
    case RelativesFinding::NotComputable:
        expect(program.verdict == engine::Verdict::Failed && program.lr.empty(), "не вычисляется: " + ind.reason);
        return;
    }
}

} // namespace

kinship::KinshipCase relativesCaseOf(const DrawnRelatives& drawn)
{
    kinship::KinshipCase out;
    if (drawn.loci.empty())
        return out;
    for (const auto& [role, genotype] : personsOf(drawn.loci.front().family))
        out.persons.push_back({role, {}});
    for (std::size_t i = 0; i < drawn.loci.size(); ++i) {
        kinship::CaseLocusRow row;
        row.number = std::to_string(i + 1);
        row.locus = drawn.loci[i].locus;
        for (const auto& [role, genotype] : personsOf(drawn.loci[i].family))
            row.genotypes.push_back(results::joinGenotype(genotype->first, genotype->second));
        out.rows.push_back(std::move(row));
    }
    return out;
}

RelativesCase checkRelativesCase(const DrawnRelatives& drawn, const freqdb::LocusTable& table,
                                 const freqdb::LabSettings& independent, const text::NumberFormat& format,
                                 const EvaluateKinship& program)
{
    RelativesCase out;
    out.drawn = drawn;
    const kinship::KinshipCase kinshipCase = relativesCaseOf(drawn);
    for (const kinship::CasePerson& person : kinshipCase.persons)
        out.persons.push_back(person.role.shortName());
    const kinship::KinshipResult result = program(kinshipCase, table, format, "0,5");
    for (std::size_t i = 0; i < drawn.loci.size(); ++i) {
        RelativesRow row;
        row.locus = drawn.loci[i].locus;
        row.genotypes = kinshipCase.rows[i].genotypes;
        const std::uint8_t k = table.LocusIndexOf(row.locus);
        if (i >= result.rows.size() || k == 0) {
            row.problems.push_back("программа не дала строку локуса " + row.locus);
            out.rows.push_back(std::move(row));
            continue;
        }
        const kinship::KinshipRow& programRow = result.rows[i];
        row.formula = programRow.formula;
        row.lr = programRow.lr;
        row.programLr = programRow.lrValue;
        row.independent = independentRelativesIndex(table.record(k), independent, drawn.loci[i].family);
        compare(row, programRow);
        out.rows.push_back(std::move(row));
    }
    return out;
}

std::string constellationText(const DrawnRelatives& drawn)
{
    return std::string(drawn.trio ? "трио" : "дуо") + ": " + relativesConstellations()[drawn.constellation].name;
}

std::string independentText(const RelativesIndependent& value)
{
    switch (value.finding) {
    case RelativesFinding::Index:
        return numberText(value.lr) + (value.mutation ? " (с мутацией)" : "");
    case RelativesFinding::PaternityExcluded:
        return "0 (отцовство исключается)";
    case RelativesFinding::MaternityExcluded:
        return "материнство исключается";
    case RelativesFinding::RelativesInconsistent:
        return "родственники несовместимы";
    case RelativesFinding::NotComputable:
        return "не вычисляется: " + value.reason;
    }
    return {};
}

} // namespace validation
