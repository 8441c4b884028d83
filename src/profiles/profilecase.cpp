// SPDX-License-Identifier: GPL-3.0-or-later
#include "profilecase.h"

#include <algorithm>
#include <array>
#include <map>

#include "automation/readmessages.h"
#include "exchange/genotypeworkbook.h"
#include "exchange/sheetcells.h"
#include "exchange/workbooklayout.h"
#include "profiles/allelecells.h"
#include "tabletext/locuskey.h"

namespace profiles {
namespace {

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

// "15/16/17": the labels as a genotype cell writes them.
std::string joinedCall(const std::vector<std::string>& labels)
{
    std::string cell;
    for (const auto& label : labels)
        cell += (cell.empty() ? "" : "/") + label;
    return cell;
}

// A locus key with the letters O and I as the digits they are mistaken for: "tho1" is "th01".
std::string lookalikeKey(std::string key)
{
    for (char& c : key)
        c = c == 'o' ? '0' : c == 'i' ? '1' : c;
    return key;
}

struct PersonCall {
    std::string cell;
    std::string problem;
};

} // namespace

const std::vector<std::string>& readingForTable(const MarkerCall& call, const std::string& sampleName,
                                                const freqdb::LocusTable& table, std::uint8_t locus)
{
    // "5,4" is the microvariant when the table has it, or the alleles 5 and 4 when it has those
    // and not the microvariant; otherwise it stays what it reads as (a rare microvariant). A cell
    // with two readings that both name alleles of the table is refused, not guessed.
    if (!call.other)
        return call.alleles;
    const auto inTable = [&](const std::string& label) { return table.matchAllele(locus, label) != 0; };
    std::vector<const std::vector<std::string>*> fitting;
    if (std::all_of(call.alleles.begin(), call.alleles.end(), inTable))
        fitting.push_back(&call.alleles);
    for (const auto& reading : call.other->readings) {
        if (std::all_of(reading.begin(), reading.end(), inTable))
            fitting.push_back(&reading);
    }
    if (fitting.size() > 1)
        throw ExportError("строка " + std::to_string(call.line) + ": образец «" + sampleName + "», маркер «"
                          + table.record(locus).Name + "»: «" + call.other->written + "» читается и как "
                          + joinedCall(*fitting[0]) + ", и как " + joinedCall(*fitting[1])
                          + " — запишите аллели через «/» (микровариант — с точкой)");
    return fitting.size() == 1 ? *fitting.front() : call.alleles;
}

namespace {

PersonCall personCall(const GenotypeExport& data, const ExportedSample* sample, const std::string& key,
                      results::Person person, const freqdb::LocusTable& table, std::uint8_t locus)
{
    PersonCall out;
    const std::optional<MarkerCall> call = data.findCall(*sample, key);
    if (!call || call->alleles.empty()) {
        out.problem = untypedVerdict(person);
        return out;
    }
    const std::vector<std::string>& alleles = readingForTable(*call, sample->name, table, locus);
    // Every allele as read, so a row stated for three alleles is saved with all three.
    std::vector<std::string> labels;
    for (const auto& a : alleles)
        labels.push_back(tableLabel(table, locus, a));
    if (labels.size() == 1)
        labels.push_back(labels.front());
    out.cell = joinedCall(labels);
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
    for (const ExportedSample* s : {father, child, mother}) {
        if (s && !s->conflict.empty())
            throw ExportError("образец «" + s->name + "» дан дважды с разными аллелями, " + s->conflict
                              + " — выберите один из повторов или исправьте экспорт");
    }

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
        const PersonCall f = personCall(data, father, key, results::Person::Father, table, k);
        const PersonCall c = personCall(data, child, key, results::Person::Child, table, k);
        PersonCall m{results::joinGenotype("Нет", "Нет"), {}};
        if (mother)
            m = personCall(data, mother, key, results::Person::Mother, table, k);
        row.cells = {f.cell, c.cell, m.cell};
        row.statedVerdict = !f.problem.empty() ? f.problem : !c.problem.empty() ? c.problem : m.problem;
        out.rows.push_back(std::move(row));
    }
    // The markers of the chosen samples that no loaded locus names: a probable misspelling is
    // named with the locus it was meant to be.
    for (const auto& key : data.markerKeys) {
        if (lociByKey.count(key))
            continue;
        const std::array<const ExportedSample*, 3> chosen{father, child, mother};
        const bool typed = std::any_of(chosen.begin(), chosen.end(),
                                       [&](const ExportedSample* s) { return s && data.findCall(*s, key); });
        if (!typed)
            continue;
        std::string marker = data.markerNames.at(key);
        for (const auto& [locusKey, locus] : lociByKey) {
            if (lookalikeKey(locusKey) == lookalikeKey(key))
                marker += " (вероятно, " + locus + " с опечаткой: буква O или I вместо цифры 0 или 1)";
        }
        out.markersWithoutTable.push_back(std::move(marker));
    }
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
    // What the export said beyond the rows goes with the case into its report and workbook.
    std::vector<std::string> exportNotes = data.notes;
    if (!formed.markersWithoutTable.empty())
        exportNotes.insert(exportNotes.begin(), markersWithoutTableNote(formed.markersWithoutTable));
    out.notes = exportNotes;
    if (leftOut > 0)
        out.notes.push_back(std::string(exchange::kRowsLeftOutNote) + std::to_string(leftOut));
    out.ok = true;
    out.sourceSamples = choiceText(choice);
    out.exportLines.push_back(std::string(exchange::kExportLinePrefix) + ": " + exchange::fullPathText(path) + "; "
                              + out.sourceSamples);
    for (const auto& note : exportNotes)
        out.exportLines.push_back(std::string(exchange::kExportLinePrefix) + ": " + note);
    out.caption = std::string(exchange::kCaptionPrefix) + exchange::fullPathText(path);
    return out;
}

} // namespace profiles
