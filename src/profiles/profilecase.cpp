// SPDX-License-Identifier: GPL-3.0-or-later
#include "profilecase.h"

#include <algorithm>
#include <map>

#include "automation/readmessages.h"
#include "exchange/genotypeworkbook.h"
#include "exchange/sheetcells.h"
#include "exchange/workbooklayout.h"
#include "profiles/allelecells.h"
#include "tabletext/locuskey.h"

namespace profiles {
namespace {

std::string_view genitive(results::Person person)
{
    switch (person) {
    case results::Person::Father:
        return "отца";
    case results::Person::Child:
        return "ребенка";
    case results::Person::Mother:
        return "матери";
    }
    return {};
}

std::string joined(const std::vector<std::string>& names)
{
    std::string out;
    for (const auto& n : names)
        out += (out.empty() ? "" : ", ") + n;
    return out;
}

// The label as the locus writes it: "9,3" also finds a lab's own table that writes "9.3".
std::string tableLabel(const freqdb::LocusTable& table, std::uint8_t locus, const std::string& label)
{
    if (table.AlleleIndexOf(locus, label) != 0)
        return label;
    std::string pointed = label;
    for (char& c : pointed)
        c = c == ',' ? '.' : c;
    return table.AlleleIndexOf(locus, pointed) != 0 ? pointed : label;
}

struct PersonCall {
    std::string cell;
    std::string problem;
};

PersonCall personCall(const ExportedSample* sample, const std::string& key, results::Person person,
                      const freqdb::LocusTable& table, std::uint8_t locus)
{
    PersonCall out;
    const auto it = sample->calls.find(key);
    if (it == sample->calls.end() || it->second.alleles.empty()) {
        out.problem = untypedVerdict(person);
        return out;
    }
    // "5,4" is the microvariant when the table has it, or the alleles 5 and 4 when it has those
    // and not the microvariant; otherwise it stays what it reads as (a rare microvariant).
    const MarkerCall& call = it->second;
    const auto inTable = [&](const std::string& label) { return table.matchAllele(locus, label) != 0; };
    const bool pair = !call.pairReading.empty() && !inTable(call.alleles.front())
                      && std::all_of(call.pairReading.begin(), call.pairReading.end(), inTable);
    const std::vector<std::string>& alleles = pair ? call.pairReading : call.alleles;
    const std::string first = tableLabel(table, locus, alleles[0]);
    const std::string second = alleles.size() > 1 ? tableLabel(table, locus, alleles[1]) : first;
    out.cell = results::joinGenotype(first, second);
    for (const auto& a : alleles) {
        if (isOffLadder(a)) {
            out.problem = offLadderVerdict(person, a);
            return out;
        }
    }
    // A call that is no number of repeats and no label of the table ("?", "F") would otherwise
    // be a missing allele, and with a minimum frequency set it would get that frequency and an LR.
    for (const auto& a : alleles) {
        if (!isRepeatNumber(a) && table.matchAllele(locus, tableLabel(table, locus, a)) == 0) {
            out.problem = unrecognisedAlleleVerdict(person, a);
            return out;
        }
    }
    if (alleles.size() > 2)
        out.problem = tooManyAllelesVerdict(person, alleles.size());
    return out;
}

} // namespace

std::string offLadderVerdict(results::Person person, const std::string& label)
{
    return results::offLadderVerdict(person, label);
}

std::string unrecognisedAlleleVerdict(results::Person person, const std::string& label)
{
    return "Аллель " + label + " " + std::string(genitive(person)) + " не распознан: не рассчитывается";
}

std::string tooManyAllelesVerdict(results::Person person, std::size_t count)
{
    const std::string number = count == 3 ? "Три аллеля" : std::to_string(count) + (count < 5 ? " аллеля" : " аллелей");
    return number + " у " + std::string(genitive(person)) + ": не рассчитывается";
}

std::string untypedVerdict(results::Person person)
{
    return results::untypedLocusVerdict(person);
}

std::string markersWithoutTableNote(const std::vector<std::string>& markers)
{
    // A kit has a few such markers; a file of thousands is named by its first ones and a count,
    // so the note still fits a message box.
    constexpr std::size_t kNamed = 30;
    if (markers.size() <= kNamed)
        return "Маркеры экспорта без таблицы частот в папке данных (не рассчитываются): " + joined(markers);
    return "Маркеры экспорта без таблицы частот в папке данных (не рассчитываются): "
           + joined(std::vector<std::string>(markers.begin(), markers.begin() + kNamed)) + " и еще "
           + std::to_string(markers.size() - kNamed);
}

std::string choiceText(const CaseChoice& choice)
{
    std::string text = "отец «" + choice.father + "», ребенок «" + choice.child + "»";
    if (choice.mother)
        text += ", мать «" + *choice.mother + "»";
    return text;
}

std::vector<std::string> missingSamples(const GenotypeExport& data, const CaseChoice& choice)
{
    std::vector<std::string> missing;
    for (const std::string* name : {&choice.father, &choice.child, choice.mother ? &*choice.mother : nullptr}) {
        if (name && !data.sample(*name))
            missing.push_back(*name);
    }
    return missing;
}

std::vector<std::string> markersWithoutTable(const GenotypeExport& data, const std::vector<std::string>& locusNames)
{
    std::map<std::string, bool> known;
    for (const auto& name : locusNames)
        known[tabletext::locusKey(name)] = true;
    std::vector<std::string> out;
    for (const auto& key : data.markerKeys) {
        if (!known.count(key))
            out.push_back(data.markerNames.at(key));
    }
    return out;
}

ProfileCase formCase(const GenotypeExport& data, const CaseChoice& choice, const freqdb::LocusTable& table)
{
    const ExportedSample* father = data.sample(choice.father);
    const ExportedSample* child = data.sample(choice.child);
    const ExportedSample* mother = choice.mother ? data.sample(*choice.mother) : nullptr;
    if (!father || !child || (choice.mother && !mother))
        throw ExportError("в экспорте нет образцов: " + joined(missingSamples(data, choice)));

    ProfileCase out;
    std::vector<std::string> locusNames;
    std::map<std::string, std::string> lociByKey;
    for (std::uint8_t k = 1; k <= table.LocusCount(); ++k) {
        const std::string& name = table.record(k).Name;
        locusNames.push_back(name);
        const auto [it, added] = lociByKey.emplace(tabletext::locusKey(name), name);
        if (!added && data.markerNames.count(it->first))
            throw ExportError("маркеру «" + data.markerNames.at(it->first) + "» подходят два локуса папки данных: "
                              + it->second + " и " + name + "; оставьте одну из книг");
    }
    for (std::uint8_t k = 1; k <= table.LocusCount(); ++k) {
        const std::string& name = table.record(k).Name;
        const std::string key = tabletext::locusKey(name);
        if (!data.markerNames.count(key))
            continue;
        CaseRow row;
        row.locus = name;
        const PersonCall f = personCall(father, key, results::Person::Father, table, k);
        const PersonCall c = personCall(child, key, results::Person::Child, table, k);
        PersonCall m{results::joinGenotype("Нет", "Нет"), {}};
        if (mother)
            m = personCall(mother, key, results::Person::Mother, table, k);
        row.cells = {f.cell, c.cell, m.cell};
        row.statedVerdict = !f.problem.empty() ? f.problem : !c.problem.empty() ? c.problem : m.problem;
        out.rows.push_back(std::move(row));
    }
    out.markersWithoutTable = markersWithoutTable(data, locusNames);
    return out;
}

exchange::LoadedResults evaluateProfileCase(const GenotypeExport& data, const CaseChoice& choice,
                                            const freqdb::LocusTable& table, const text::NumberFormat& format,
                                            const std::filesystem::path& path)
{
    ProfileCase formed;
    try {
        formed = formCase(data, choice, table);
    } catch (const ExportError& e) {
        return exchange::LoadedResults::failed("Экспорт генотипов " + automation::fileLabel(path) + ": " + e.what());
    }
    exchange::LoadedResults out;
    int leftOut = 0;
    const int rows = exchange::keptRows(static_cast<int>(formed.rows.size()), leftOut);
    for (int r = 1; r <= rows; ++r) {
        const CaseRow& row = formed.rows[static_cast<std::size_t>(r - 1)];
        exchange::putGenotypeRow(out.grid, r, std::to_string(r), row.locus, row.cells, table, format,
                                 row.statedVerdict);
    }
    out.grid.setResultCount(static_cast<std::uint16_t>(rows));
    if (!formed.markersWithoutTable.empty())
        out.notes.push_back(markersWithoutTableNote(formed.markersWithoutTable));
    if (leftOut > 0)
        out.notes.push_back(std::string(exchange::kRowsLeftOutNote) + std::to_string(leftOut));
    out.ok = true;
    out.sourceSamples = choiceText(choice);
    out.caption = std::string(exchange::kCaptionPrefix) + exchange::fullPathText(path);
    return out;
}

} // namespace profiles
