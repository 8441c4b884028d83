// SPDX-License-Identifier: GPL-3.0-or-later
#include "freqdb/tablesfingerprint.h"

#include <charconv>

#include "freqdb/filedigest.h"

namespace freqdb {

std::string fingerprintText(const freqdb::LocusTable& table)
{
    std::string text;
    for (int k = 1; k <= table.LocusCount(); ++k) {
        const freqdb::LocusRecord& locus = table.record(static_cast<std::uint8_t>(k));
        text += locus.Name;
        text += '\n';
        for (int a = 1; a <= locus.AlleleCount; ++a) {
            char number[64];
            const auto written = std::to_chars(number, number + sizeof number, locus.Frequencies[a]);
            text += '\t';
            text += locus.Labels[a];
            text += '\t';
            text.append(number, written.ptr);
            text += '\n';
        }
    }
    return text;
}

std::string tablesFingerprint(const freqdb::LocusTable& table)
{
    return textSha256(fingerprintText(table)).substr(0, 16);
}

} // namespace freqdb
