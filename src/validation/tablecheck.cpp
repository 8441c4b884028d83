// SPDX-License-Identifier: GPL-3.0-or-later
#include "tablecheck.h"

#include <cmath>
#include <map>
#include <sstream>

namespace validation {
namespace {

// "12", "9,3", "9.3": digits, then at most one decimal part.
bool isAlleleDesignation(const std::string& label)
{
    std::size_t i = 0, digits = 0;
    while (i < label.size() && label[i] >= '0' && label[i] <= '9')
        ++i, ++digits;
    if (digits == 0)
        return false;
    if (i == label.size())
        return true;
    if (label[i] != ',' && label[i] != '.')
        return false;
    ++i;
    const std::size_t decimals = i;
    while (i < label.size() && label[i] >= '0' && label[i] <= '9')
        ++i;
    return i == label.size() && i > decimals;
}

std::string number(long double value)
{
    std::ostringstream out;
    out.precision(6);
    out << static_cast<double>(value);
    std::string text = out.str();
    for (char& c : text)
        c = c == '.' ? ',' : c;
    return text;
}

} // namespace

TableCheck checkTables(const freqdb::LocusTable& table)
{
    TableCheck check;
    const auto& minimum = table.settings().minFrequency;
    for (int k = 1; k <= table.LocusCount(); ++k) {
        const freqdb::LocusRecord& record = table.record(static_cast<std::uint8_t>(k));
        LocusSummary summary;
        summary.locus = record.Name;
        summary.alleles = record.AlleleCount;
        const std::string at = "Локус " + record.Name + ": ";
        std::map<std::string, int> uses;
        int belowMinimum = 0;
        bool first = true;
        for (int i = 1; i <= record.AlleleCount; ++i) {
            const std::string& label = record.Labels[static_cast<std::size_t>(i)];
            const long double f = record.Frequencies[static_cast<std::size_t>(i)];
            const std::string shown = label.empty() ? "№" + std::to_string(i) : label;
            ++uses[label];
            summary.frequencies.emplace_back(label, f);
            if (std::isfinite(f))
                summary.sum += f;
            if (std::isfinite(f) && (first || f < summary.smallest)) {
                summary.smallest = f;
                summary.smallestLabel = shown;
                first = false;
            }
            if (!std::isfinite(f) || f < 0 || f > 1)
                check.warnings.push_back(at + "частота аллеля " + shown + " не доля от 0 до 1");
            else if (f == 0 && !minimum)
                check.warnings.push_back(at + "частота аллеля " + shown + " равна 0: LR с ним не вычисляется");
            else if (minimum && f < *minimum)
                ++belowMinimum;
            if (label.empty())
                check.warnings.push_back(at + "аллель №" + std::to_string(i) + " без обозначения");
            else if (label == freqdb::kNoAlleleLabel)
                check.warnings.push_back(at + "аллель «Нет» совпадает с пунктом «мать не типирована»");
            else if (!isAlleleDesignation(label))
                check.warnings.push_back(at + "обозначение аллеля «" + label + "» не число");
        }
        for (const auto& [label, count] : uses)
            if (count > 1 && !label.empty())
                check.warnings.push_back(at + "аллель «" + label + "» встречается в таблице несколько раз ("
                                         + std::to_string(count) + "): выбрать можно только последний");
        if (belowMinimum > 0)
            check.warnings.push_back(at + "аллелей с частотой ниже минимальной: " + std::to_string(belowMinimum)
                                     + " (в расчёте частота поднимается до минимальной)");
        if (record.AlleleCount == 0)
            check.warnings.push_back(at + "нет аллелей");
        else if (std::fabs(summary.sum - 1) > kSumTolerance)
            check.warnings.push_back(at + "сумма частот " + number(summary.sum) + " отличается от 1 более чем на 0,01");
        check.loci.push_back(std::move(summary));
    }
    return check;
}

} // namespace validation
