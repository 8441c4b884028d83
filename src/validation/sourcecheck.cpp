// SPDX-License-Identifier: GPL-3.0-or-later
#include "sourcecheck.h"

#include <cmath>
#include <map>
#include <stdexcept>

#include "freqdb/filedigest.h"
#include "freqdb/tablesource.h"
#include "popimport/importrun.h"
#include "popimport/locusnames.h"
#include "popimport/tablereader.h"
#include "validation/validationprotocol.h"

namespace validation {
namespace {

// A frequency the workbook holds is the double the import wrote: they agree to the last bit but
// for the long double the loader widens it to.
bool sameFrequency(long double loaded, double source)
{
    return std::fabs(loaded - static_cast<long double>(source)) <= 1e-12L * std::max(1.0L, std::fabs(loaded));
}

void compareLocus(const freqdb::LocusRecord& record, const popimport::ImportedLocus& source, SourceCheck& check)
{
    const std::string at = "Локус " + record.Name + ", аллель ";
    std::map<std::string, double> published;
    for (const auto& allele : source.alleles)
        published[allele.label] = allele.frequency;
    std::map<std::string, bool> seen;
    for (int i = 1; i <= record.AlleleCount; ++i) {
        const std::string& label = record.Labels[static_cast<std::size_t>(i)];
        const long double f = record.Frequencies[static_cast<std::size_t>(i)];
        ++check.allelesCompared;
        const auto it = published.find(label);
        if (it == published.end()) {
            check.differences.push_back(at + "«" + label + "»: в таблице " + numberText(f)
                                        + ", в источнике такой аллели нет");
            continue;
        }
        seen[label] = true;
        if (!sameFrequency(f, it->second))
            check.differences.push_back(at + label + ": в таблице " + numberText(f) + ", в источнике "
                                        + numberText(it->second));
    }
    for (const auto& allele : source.alleles)
        if (!seen[allele.label])
            check.differences.push_back(at + allele.label + ": в источнике " + numberText(allele.frequency)
                                        + ", в таблице такой аллели нет");
}

} // namespace

std::string SourceCheck::summary() const
{
    if (!found)
        return kNoSourceText;
    std::string out = file + " (" + original + (origin.empty() ? "" : ", происхождение " + origin) + ", " + date
                      + ", SHA-256 " + sha256.substr(0, 16) + "…): ";
    if (!agrees())
        return out + "РАСХОЖДЕНИЙ " + std::to_string(differences.size());
    out += "совпадает, аллелей сверено " + std::to_string(allelesCompared);
    if (!lociWithoutSource.empty())
        out += "; локусов без источника " + std::to_string(lociWithoutSource.size());
    return out;
}

SourceCheck checkSource(const freqdb::DataFolder& data, freqdb::Population population, const freqdb::LocusTable& table,
                        const automation::WorkbookReader& reader)
{
    SourceCheck check;
    std::optional<freqdb::TableSource> source;
    try {
        source = freqdb::findTableSource(data, population);
    } catch (const std::runtime_error& e) {
        check.found = true;
        check.differences.push_back(e.what());
        return check;
    }
    if (!source)
        return check;
    check.found = true;
    check.file = source->file.string();
    check.original = source->original;
    check.origin = source->origin;
    check.date = source->date;
    check.sha256 = source->sha256;
    // The copy must be the file the note was written for.
    const auto digest = freqdb::fileSha256(source->file);
    if (!digest) {
        check.differences.push_back("Файл источника " + check.file + " не читается");
        return check;
    }
    if (*digest != source->sha256)
        check.differences.push_back("Файл источника " + check.file + " изменён: SHA-256 " + *digest
                                    + ", в записи об источнике " + source->sha256);
    popimport::FrequencyTable published;
    try {
        published = popimport::readFrequencyTable(
            source->file, source->origin.empty() ? std::nullopt : std::optional<std::string>(source->origin), reader,
            popimport::importNumberFormat());
    } catch (const std::exception& e) {
        check.differences.push_back(std::string("Источник не прочитан: ") + e.what());
        return check;
    }
    std::map<std::string, const popimport::ImportedLocus*> byKey;
    for (const auto& locus : published.loci)
        byKey[popimport::locusKey(locus.name)] = &locus;
    for (int k = 1; k <= table.LocusCount(); ++k) {
        const freqdb::LocusRecord& record = table.record(static_cast<std::uint8_t>(k));
        const auto it = byKey.find(popimport::locusKey(record.Name));
        if (it == byKey.end())
            check.lociWithoutSource.push_back(record.Name);
        else
            compareLocus(record, *it->second, check);
    }
    return check;
}

} // namespace validation
