// SPDX-License-Identifier: GPL-3.0-or-later
#include "tablesfingerprint.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <charconv>

namespace report {

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
    const std::string text = fingerprintText(table);
    const QByteArray digest = QCryptographicHash::hash(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())),
                                                       QCryptographicHash::Sha256);
    return digest.toHex().left(16).toStdString();
}

} // namespace report
