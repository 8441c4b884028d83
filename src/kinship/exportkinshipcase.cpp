// SPDX-License-Identifier: GPL-3.0-or-later
#include "exportkinshipcase.h"

#include <algorithm>
#include <optional>

#include "freqdb/locustable.h"
#include "kinship/kinshiptexts.h"
#include "kinship/relativesworkbook.h"
#include "profiles/profilecase.h"
#include "results/genotyperow.h"
#include "tabletext/locuskey.h"

namespace kinship {
namespace {

std::string sampleList(const profiles::GenotypeExport& data)
{
    std::string list;
    for (const auto& name : data.sampleNames())
        list += (list.empty() ? "«" : ", «") + name + "»";
    return list;
}

// The genotype text of one call: "a/b", "a/a" for a homozygote, with a one-column "5,4" read as
// the table decides. A third allele is not evaluated: its row states so.
std::string callText(const profiles::MarkerCall& call, const std::string& sampleName, const freqdb::LocusTable& table,
                     std::uint8_t locus)
{
    const std::vector<std::string>& alleles = profiles::readingForTable(call, sampleName, table, locus);
    return results::joinGenotype(alleles[0], alleles.size() > 1 ? alleles[1] : alleles[0]);
}

} // namespace

KinshipCase formExportCase(const profiles::GenotypeExport& data, const ExportChoice& choice,
                           const freqdb::LocusTable& table)
{
    KinshipCase out;
    std::vector<std::string> arguments; // how each person was named, for refusals
    std::vector<const profiles::ExportedSample*> samples;
    const auto add = [&](Role role, const std::string& sample, const std::string& argument) {
        const profiles::ExportedSample* s = data.sample(sample);
        if (!s)
            throw CaseError(argument + ": в экспорте нет образца «" + sample + "». Образцы: " + sampleList(data));
        if (!s->conflict.empty())
            throw CaseError(argument + ": образец «" + s->name + "» дан дважды с разными аллелями, " + s->conflict);
        out.persons.push_back({role, sample});
        arguments.push_back(argument);
        samples.push_back(s);
    };
    add({RoleKind::Child}, choice.child, "--child");
    if (choice.mother)
        add({RoleKind::Mother}, *choice.mother, "--mother");
    for (const std::string& typed : choice.persons) {
        const auto equals = typed.find('=');
        const std::string argument = "--person «" + typed + "»";
        if (equals == std::string::npos)
            throw CaseError(argument + ": ожидается РОЛЬ=ОБРАЗЕЦ");
        const auto role = roleFromHeader(typed.substr(0, equals));
        if (!role)
            throw CaseError(argument + ": " + std::string(kNotRole));
        add(*role, std::string(freqdb::withoutBlanks(typed.substr(equals + 1))), argument);
    }
    if (const auto problem = personsProblem(out.persons, [&](std::size_t i) { return arguments[i]; }))
        throw CaseError(*problem);

    for (std::uint8_t k = 1; k <= table.LocusCount(); ++k) {
        const std::string& name = table.record(k).Name;
        const std::string key = tabletext::locusKey(name);
        CaseLocusRow row;
        row.locus = name;
        bool any = false;
        for (std::size_t i = 0; i < samples.size(); ++i) {
            const std::optional<profiles::MarkerCall> call = data.findCall(*samples[i], key);
            if (!call || call->alleles.empty()) {
                row.genotypes.emplace_back();
                continue;
            }
            any = true;
            row.genotypes.push_back(callText(*call, samples[i]->name, table, k));
            if (call->alleles.size() > 2 && row.statedVerdict.empty())
                row.statedVerdict = "Не рассчитывается: больше двух аллелей (" + out.persons[i].role.shortName() + ")";
        }
        if (!any)
            continue;
        row.number = std::to_string(out.rows.size() + 1);
        out.rows.push_back(std::move(row));
    }
    // Markers of the export no locus of the data folder names.
    std::vector<std::string> names;
    for (std::uint8_t k = 1; k <= table.LocusCount(); ++k)
        names.push_back(table.record(k).Name);
    const auto left = profiles::markersWithoutTable(data, names);
    if (!left.empty())
        out.notes.push_back(profiles::markersWithoutTableNote(left));
    return out;
}

} // namespace kinship
