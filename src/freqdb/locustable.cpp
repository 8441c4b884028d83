// SPDX-License-Identifier: GPL-3.0-or-later
#include "locustable.h"

#include <optional>
#include <stdexcept>
#include <string>
#include <utility>

#include "text/numberformat.h"

namespace freqdb {
namespace {

std::optional<long double> labelNumber(std::string_view label)
{
    std::string digits(label);
    const std::size_t separator = digits.find_first_of(".,");
    if (separator != std::string::npos) {
        if (separator == 0 || separator + 1 == digits.size())
            return std::nullopt;
        digits[separator] = ',';
    }
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i != separator && (digits[i] < '0' || digits[i] > '9'))
            return std::nullopt;
    }
    if (digits.empty())
        return std::nullopt;
    return text::NumberFormat(",").parse(digits);
}

} // namespace

std::optional<long double> alleleLabelNumber(std::string_view label)
{
    return labelNumber(label);
}

std::string_view withoutBlanks(std::string_view label)
{
    constexpr std::string_view kNoBreakSpace = "\xC2\xA0";
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    for (;;) {
        if (!label.empty() && blank(label.front()))
            label.remove_prefix(1);
        else if (label.starts_with(kNoBreakSpace))
            label.remove_prefix(kNoBreakSpace.size());
        else
            break;
    }
    for (;;) {
        if (!label.empty() && blank(label.back()))
            label.remove_suffix(1);
        else if (label.ends_with(kNoBreakSpace))
            label.remove_suffix(kNoBreakSpace.size());
        else
            break;
    }
    return label;
}

bool sameAlleleLabel(std::string_view a, std::string_view b)
{
    if (a == b)
        return true;
    const auto number = labelNumber(a);
    return number && labelNumber(b) == number;
}

LocusTable::LocusTable() = default;

const LocusRecord& LocusTable::record(std::uint8_t k) const
{
    static const LocusRecord empty;
    if (k < 1 || k > m_count)
        return empty;
    return m_records[k - 1];
}

std::uint8_t LocusTable::LocusIndexOf(std::string_view name) const
{
    std::uint8_t result = 0;
    for (int k = 1; k <= m_count; ++k) {
        if (m_records[k - 1].Name == name)
            result = static_cast<std::uint8_t>(k);
    }
    return result;
}

std::uint8_t LocusTable::AlleleIndexOf(std::uint8_t currentLocus, std::string_view label) const
{
    std::uint8_t result = 0;
    const LocusRecord& locus = record(currentLocus);
    for (int i = 1; i <= locus.AlleleCount; ++i) {
        if (locus.Labels[i] == label)
            result = static_cast<std::uint8_t>(i);
    }
    if (label == kNoAlleleLabel)
        result = NoAllele;
    return result;
}

std::uint8_t LocusTable::matchAllele(std::uint8_t currentLocus, std::string_view label) const
{
    const std::uint8_t exact = AlleleIndexOf(currentLocus, label);
    if (exact != 0)
        return exact;
    const auto number = labelNumber(label);
    if (!number)
        return 0;
    std::uint8_t result = 0;
    const LocusRecord& locus = record(currentLocus);
    for (int i = 1; i <= locus.AlleleCount; ++i) {
        if (labelNumber(locus.Labels[i]) == number)
            result = static_cast<std::uint8_t>(i);
    }
    return result;
}

void LocusTable::setLocusCount(std::uint8_t count)
{
    if (count > kMaxLoci)
        throw std::out_of_range("LocusTable holds at most 100 loci");
    // A slot below the count that was never set reads as an empty record, as before any load.
    if (m_records.size() < count)
        m_records.resize(count);
    m_count = count;
}

void LocusTable::replaceRecord(std::uint8_t k, LocusRecord record)
{
    if (k < 1 || k > kMaxLoci)
        throw std::out_of_range("locus number outside 1..100");
    if (record.AlleleCount > kMaxAlleles)
        throw std::out_of_range("a locus holds at most 100 alleles");
    if (m_records.size() < k)
        m_records.resize(k);
    m_records[k - 1] = std::move(record);
}

void LocusTable::setRecords(std::vector<LocusRecord> records)
{
    if (records.size() > static_cast<std::size_t>(kMaxLoci))
        throw std::out_of_range("LocusTable holds at most 100 loci");
    for (const LocusRecord& record : records)
        if (record.AlleleCount > kMaxAlleles)
            throw std::out_of_range("a locus holds at most 100 alleles");
    m_count = static_cast<std::uint8_t>(records.size());
    m_records = std::move(records);
}

} // namespace freqdb
