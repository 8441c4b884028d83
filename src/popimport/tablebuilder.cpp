// SPDX-License-Identifier: GPL-3.0-or-later
#include "tablebuilder.h"

#include <algorithm>
#include <cmath>

#include "freqdb/datelabel.h"
#include "popimport/locusnames.h"
#include "text/shorttext.h"

namespace popimport {
namespace {

constexpr std::size_t kMaxAlleles = 99; // a locus worksheet holds 100 rows with its closing row

std::string inQuotes(std::string_view s)
{
    return "«" + std::string(s) + "»";
}

[[noreturn]] void refuse(const std::string& where, const std::string& reason)
{
    throw ImportError(where + ": " + reason);
}

bool hasDigit(std::string_view s)
{
    return std::any_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

} // namespace

std::optional<double> readDecimal(std::string_view s)
{
    for (const char* separator : {".", ","}) {
        if (auto v = text::NumberFormat(separator).parse(s))
            return static_cast<double>(*v);
    }
    return std::nullopt;
}

std::size_t TableBuilder::locus(const std::string& name, const std::string& where, bool repeatAllowed)
{
    const std::string key = locusKey(name);
    if (key.empty())
        refuse(where, "пустое имя локуса");
    if (auto it = m_byKey.find(key); it != m_byKey.end()) {
        const Locus& known = m_loci[it->second];
        if (!repeatAllowed || known.name != name)
            refuse(where,
                   "локус " + inQuotes(name) + " уже указан (" + known.where + ", " + inQuotes(known.name) + ")");
        return it->second;
    }
    m_byKey.emplace(key, m_loci.size());
    m_loci.push_back({name, where, {}});
    return m_loci.size() - 1;
}

void TableBuilder::add(std::size_t index, const GridCell& allele, const std::string& alleleWhere,
                       const GridCell& frequency, const std::string& frequencyWhere, bool absentWhenZero)
{
    Locus& locus = m_loci[index];
    double value = 0;
    if (!frequency.error.empty())
        refuse(frequencyWhere, "ячейка не читается: " + frequency.error);
    if (frequency.number) {
        value = *frequency.number;
    } else if (frequency.text.empty()) {
        if (absentWhenZero)
            return;
        refuse(frequencyWhere, "пустая частота аллели локуса " + inQuotes(locus.name));
    } else if (auto v = readDecimal(frequency.text)) {
        value = *v;
    } else {
        refuse(frequencyWhere, "частота " + inQuotes(frequency.text) + " — не число");
    }
    if (!std::isfinite(value) || value < 0 || value > 1)
        refuse(frequencyWhere, "частота " + (frequency.number ? m_format.general(value) : inQuotes(frequency.text))
                                   + " лежит вне пределов от 0 до 1 (частоты — доли, не проценты)");
    if (absentWhenZero && value == 0)
        return;

    if (!allele.error.empty())
        refuse(alleleWhere, "ячейка не читается: " + allele.error);
    Entry entry;
    entry.where = alleleWhere;
    entry.allele.frequency = value;
    std::optional<double> number = allele.number;
    if (!number && !allele.text.empty())
        number = readDecimal(allele.text);
    // A label a spreadsheet program made a date is no allele (freqdb/datelabel.h).
    if (const std::string refusal = freqdb::dateLabelRefusal(allele.text, number, m_format); !refusal.empty())
        refuse(alleleWhere, refusal);
    if (number && std::isfinite(*number)) {
        entry.allele.label = m_format.general(*number);
        entry.order = *number;
        entry.numeric = true;
    } else if (allele.text.empty()) {
        refuse(alleleWhere, "пустое имя аллели локуса " + inQuotes(locus.name));
    } else if (!hasDigit(allele.text)) {
        refuse(alleleWhere, inQuotes(allele.text) + " — не аллель: в метке аллели нет числа");
    } else {
        entry.allele.label = allele.text; // "<8", ">30.2": kept as written
    }
    if (text::characterCount(entry.allele.label) > text::kMaxLabelChars)
        refuse(alleleWhere, "метка аллели " + inQuotes(entry.allele.label) + " длиннее 5 знаков");
    for (const auto& known : locus.entries) {
        if (known.allele.label == entry.allele.label)
            refuse(alleleWhere, "аллель " + inQuotes(entry.allele.label) + " локуса " + inQuotes(locus.name)
                                    + " указана дважды (уже " + known.where + ")");
    }
    if (locus.entries.size() == kMaxAlleles)
        refuse(alleleWhere,
               "у локуса " + inQuotes(locus.name) + " больше 99 аллелей, а лист локуса держит не более 99");
    locus.entries.push_back(std::move(entry));
}

FrequencyTable TableBuilder::finish(std::string layout)
{
    FrequencyTable table;
    table.layout = std::move(layout);
    for (auto& locus : m_loci) {
        if (locus.entries.empty()) {
            table.emptyLoci.push_back(locus.name);
            continue;
        }
        // Ascending repeat number; labels that are no plain number keep their place after them.
        std::stable_sort(locus.entries.begin(), locus.entries.end(), [](const Entry& a, const Entry& b) {
            if (a.numeric != b.numeric)
                return a.numeric;
            return a.numeric && a.order < b.order;
        });
        ImportedLocus out;
        out.name = locus.name;
        for (const auto& e : locus.entries) {
            out.alleles.push_back(e.allele);
            out.sum += e.allele.frequency;
        }
        table.loci.push_back(std::move(out));
    }
    return table;
}

} // namespace popimport
