// SPDX-License-Identifier: GPL-3.0-or-later
#include "genotyperow.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

#include "engine/exclusionpower.h"
#include "text/casefold.h"
#include "text/shorttext.h"

namespace results {
namespace {

// A number that writes repeats and one digit of a partial repeat at most ("99.10" is 99.1), or no
// number at all; "9,33" is a number but no allele call.
bool isRepeatValue(std::optional<long double> number)
{
    if (!number)
        return true;
    const long double tenths = *number * 10;
    return std::fabs(tenths - std::round(tenths)) < 1e-6L;
}

std::string_view genitive(Person person)
{
    switch (person) {
    case Person::Father:
        return "отца";
    case Person::Child:
        return "ребенка";
    case Person::Mother:
        return "матери";
    }
    return {};
}

engine::LocusOutcome failed(std::string verdict)
{
    engine::LocusOutcome out;
    out.verdict = engine::Verdict::Failed;
    out.formula = std::move(verdict);
    return out;
}

// One person's labels and the allele numbers they give.
struct PersonAlleles {
    Person person;
    const std::string& first;
    const std::string& second;
    std::uint8_t a = 0;
    std::uint8_t b = 0;
};

} // namespace

std::optional<AllelePair> splitGenotype(std::string_view cell)
{
    if (cell.empty())
        return std::nullopt;
    // Position 2 in characters: skip the whole first character. "/" is ASCII and never part of
    // a multi-byte UTF-8 character, so a byte search finds only real slashes.
    const std::size_t firstLength = text::cutToCharacters(cell, 1).size();
    const std::size_t slash = cell.find('/', firstLength);
    if (slash == std::string_view::npos)
        return std::nullopt;
    return AllelePair{text::cutToCharacters(cell.substr(0, slash), text::kMaxLabelChars),
                      text::cutToCharacters(cell.substr(slash + 1), text::kMaxLabelChars)};
}

std::string joinGenotype(std::string_view first, std::string_view second)
{
    std::string out(first);
    out += '/';
    out += second;
    return out;
}

std::string genotypeCellText(std::string_view first, std::string_view second, std::string_view ownCell)
{
    if (!ownCell.empty())
        return std::string(ownCell);
    // A person not typed at the locus: an empty cell, as the export had it.
    return first.empty() && second.empty() ? std::string() : joinGenotype(first, second);
}

GenotypeRowTexts genotypeFromCells(const GenotypeCells& cells)
{
    GenotypeRowTexts row;
    auto take
        = [&row](Person person, const std::string& cell, std::string& first, std::string& second, std::string& own) {
              // An empty cell: the person was not typed at the locus, no label at all.
              if (freqdb::withoutBlanks(cell).empty())
                  return;
              if (auto pair = splitGenotype(cell)) {
                  first = std::move(pair->first);
                  second = std::move(pair->second);
                  if (genotypeLabelCount(cell) > 2)
                      own = cell;
                  return;
              }
              first = text::cutToCharacters(cell, text::kMaxLabelChars);
              second.clear();
              own = cell;
              if (!row.unsplit)
                  row.unsplit = person;
          };
    auto& g = row.genotype;
    take(Person::Father, cells.father, g.father1, g.father2, g.fatherCell);
    take(Person::Child, cells.child, g.child1, g.child2, g.childCell);
    take(Person::Mother, cells.mother, g.mother1, g.mother2, g.motherCell);
    return row;
}

std::string locusNotLoadedVerdict(std::string_view locusName)
{
    if (locusName.empty())
        return "Не указан локус";
    return "Локус " + std::string(locusName) + " не загружен";
}

std::string noSlashVerdict(Person person)
{
    return "Генотип " + std::string(genitive(person)) + " записан не как «аллель/аллель»";
}

std::string missingGenotypeVerdict(Person person)
{
    return "Не указан генотип " + std::string(genitive(person));
}

std::string untypedLocusVerdict(Person person)
{
    return "Локус не типирован у " + std::string(genitive(person));
}

std::string unknownAlleleVerdict(Person person, std::string_view label, std::string_view locusName)
{
    return "Аллеля " + std::string(label) + " (" + std::string(genitive(person)) + ") нет в локусе "
           + std::string(locusName);
}

std::string offLadderVerdict(Person person, std::string_view label)
{
    return "Аллель " + std::string(label) + " " + std::string(genitive(person))
           + " вне аллельной лестницы: не рассчитывается";
}

std::string tooManyAllelesVerdict(Person person, std::size_t count)
{
    const std::string number = count == 3 ? "Три аллеля" : std::to_string(count) + (count < 5 ? " аллеля" : " аллелей");
    return number + " у " + std::string(genitive(person)) + ": не рассчитывается";
}

std::string unrecognisedAlleleVerdict(Person person, std::string_view label)
{
    return "Аллель " + std::string(label) + " " + std::string(genitive(person)) + " не распознан: не рассчитывается";
}

bool isRepeatNumberLabel(std::string_view label)
{
    label = freqdb::withoutBlanks(label);
    const auto digit = [](char c) { return c >= '0' && c <= '9'; };
    const std::size_t point = label.find_first_of(".,");
    const std::string_view whole = label.substr(0, point);
    const std::string_view part = point == std::string_view::npos ? std::string_view() : label.substr(point + 1);
    return !whole.empty() && std::all_of(whole.begin(), whole.end(), digit)
           && (point == std::string_view::npos || (part.size() == 1 && digit(part.front())));
}

std::size_t genotypeLabelCount(std::string_view cell)
{
    std::size_t count = 1;
    while (splitGenotype(cell)) {
        ++count;
        cell = cell.substr(cell.find('/', text::cutToCharacters(cell, 1).size()) + 1);
    }
    return count;
}

bool isOffLadderLabel(std::string_view label)
{
    const std::string word = text::foldCase(freqdb::withoutBlanks(label));
    return word == "ol" || word == "off-ladder" || word == "off ladder" || word == "offladder" || word == "omr"
           || (!word.empty() && (word.front() == '<' || word.front() == '>'));
}

engine::LocusOutcome evaluateGenotypeRow(const freqdb::LocusTable& table, std::string_view locusName,
                                         const RowGenotype& genotype, const text::NumberFormat& format)
{
    return evaluateGenotypeRow(table, locusName, GenotypeRowTexts{genotype, std::nullopt}, format);
}

namespace {

// A row's locus and allele numbers, found from its texts, or the verdict of a row that cannot be
// evaluated.
struct ResolvedRow {
    std::optional<engine::LocusOutcome> failure;
    std::optional<freqdb::LocusRecord> extended; // the locus with the labels it lacks, when any
    const freqdb::LocusRecord* record = nullptr; // the locus the numbers below belong to
    std::uint8_t f1 = 0, f2 = 0, m1 = 0, m2 = 0, c1 = 0, c2 = 0;
};

ResolvedRow resolveRow(const freqdb::LocusTable& table, std::string_view locusName, const GenotypeRowTexts& row)
{
    ResolvedRow out;
    const std::uint8_t locus = table.LocusIndexOf(locusName);
    if (locus == 0) {
        out.failure = failed(locusNotLoadedVerdict(locusName));
        return out;
    }
    const freqdb::LocusRecord& record = table.record(locus);
    const freqdb::LabSettings& settings = table.settings();
    const RowGenotype& g = row.genotype;

    // With a minimum frequency, an allele the table lacks is an allele of that frequency: the
    // row is evaluated on a copy of the locus with such alleles added after the table's own. One
    // such allele written "8.1" by one person and "8,1" by another is one allele, as it would be
    // if the table had it.
    auto addAllele = [&](const std::string& label) -> std::uint8_t {
        if (!out.extended)
            out.extended = record;
        freqdb::LocusRecord& r = *out.extended;
        for (int i = record.AlleleCount + 1; i <= r.AlleleCount; ++i) {
            if (freqdb::sameAlleleLabel(r.Labels[i], label))
                return static_cast<std::uint8_t>(i);
        }
        if (r.AlleleCount >= freqdb::kMaxAlleles)
            return 0;
        ++r.AlleleCount;
        r.Labels[r.AlleleCount] = label;
        r.Frequencies[r.AlleleCount] = 0; // raised to the minimum where it is used
        return r.AlleleCount;
    };

    std::array<PersonAlleles, 3> people = {{{Person::Father, g.father1, g.father2},
                                            {Person::Child, g.child1, g.child2},
                                            {Person::Mother, g.mother1, g.mother2}}};
    const std::array<const std::string*, 3> ownCells{&g.fatherCell, &g.childCell, &g.motherCell};
    for (auto& p : people) {
        if (row.unsplit == p.person) {
            out.failure = failed(noSlashVerdict(p.person));
            return out;
        }
        // All of a cell's alleles, as an export gave them: a third is no typing a row can evaluate.
        if (const std::size_t count = genotypeLabelCount(*ownCells[static_cast<std::size_t>(p.person)]); count > 2) {
            out.failure = failed(tooManyAllelesVerdict(p.person, count));
            return out;
        }
        if (freqdb::withoutBlanks(p.first).empty() && freqdb::withoutBlanks(p.second).empty()) {
            out.failure = failed(untypedLocusVerdict(p.person));
            return out;
        }
        const bool mother = p.person == Person::Mother;
        for (auto [cell, index] : {std::pair{&p.first, &p.a}, std::pair{&p.second, &p.b}}) {
            // Blanks a spreadsheet cell carries around a label are no part of it: "15 " is 15.
            const std::string label(freqdb::withoutBlanks(*cell));
            // "Нет" stands for an absent mother; for the father and the child it means nothing was
            // typed, like an empty label.
            if (label.empty() || (!mother && label == freqdb::kNoAlleleLabel)) {
                out.failure = failed(missingGenotypeVerdict(p.person));
                return out;
            }
            *index = table.matchAllele(locus, label);
            if (*index == 0 && isOffLadderLabel(label)) {
                out.failure = failed(offLadderVerdict(p.person, label));
                return out;
            }
            // A number that is no number of repeats ("9,33": a microvariant's part is one digit)
            // is no allele call, with or without a minimum frequency.
            if (*index == 0 && !isRepeatValue(freqdb::alleleLabelNumber(label))) {
                out.failure = failed(unrecognisedAlleleVerdict(p.person, label));
                return out;
            }
            // Only a label that writes an allele number is a new allele: "l7" is a typing error,
            // and with the minimum frequency it would be an allele no one else carries.
            if (*index == 0 && settings.minFrequency && freqdb::alleleLabelNumber(label))
                *index = addAllele(label);
            if (*index == 0) {
                out.failure = failed(unknownAlleleVerdict(p.person, label, record.Name));
                return out;
            }
        }
    }
    const auto& [father, child, mother] = people;
    out.record = out.extended ? &*out.extended : &record;
    out.f1 = father.a, out.f2 = father.b, out.c1 = child.a, out.c2 = child.b, out.m1 = mother.a, out.m2 = mother.b;
    return out;
}

} // namespace

engine::LocusOutcome evaluateGenotypeRow(const freqdb::LocusTable& table, std::string_view locusName,
                                         const GenotypeRowTexts& row, const text::NumberFormat& format)
{
    const ResolvedRow r = resolveRow(table, locusName, row);
    if (r.failure)
        return *r.failure;
    return engine::EvaluateLocus(*r.record, r.f1, r.f2, r.m1, r.m2, r.c1, r.c2, format, table.settings());
}

std::optional<long double> rowExclusionPower(const freqdb::LocusTable& table, std::string_view locusName,
                                             const RowGenotype& genotype)
{
    const ResolvedRow r = resolveRow(table, locusName, GenotypeRowTexts{genotype, std::nullopt});
    if (r.failure)
        return std::nullopt;
    return engine::exclusionPower(*r.record, r.m1, r.m2, r.c1, r.c2, table.settings());
}

} // namespace results
