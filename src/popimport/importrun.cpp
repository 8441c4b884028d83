// SPDX-License-Identifier: GPL-3.0-or-later
#include "importrun.h"

#include <cmath>
#include <sstream>

#include "automation/readmessages.h"
#include "freqdb/skippedloci.h"
#include "popimport/tablereader.h"

namespace popimport {
namespace {

// A published table rounds each frequency; a sum further from 1 than this is worth a look.
constexpr double kSumTolerance = 0.01;

std::string inQuotes(const std::string& s)
{
    return "«" + automation::validUtf8(s) + "»";
}

std::string fileName(const std::filesystem::path& p)
{
    return automation::validUtf8(p.filename().string());
}

std::string joined(const std::vector<std::string>& names)
{
    std::string list;
    for (const auto& n : names)
        list += (list.empty() ? "" : ", ") + automation::validUtf8(n);
    return list;
}

} // namespace

const text::NumberFormat& importNumberFormat()
{
    static const text::NumberFormat format(",");
    return format;
}

PreparedImport prepareImport(const ImportChoice& choice, const freqdb::DataFolderPlaces& places,
                             const std::optional<std::filesystem::path>& dataDir,
                             const automation::WorkbookReader& reader)
{
    PreparedImport prepared;
    prepared.table = readFrequencyTable(choice.table, choice.origin, reader, importNumberFormat());
    try {
        prepared.data = freqdb::importDataFolder(places, dataDir);
    } catch (const std::runtime_error& e) {
        throw ImportError(e.what());
    }
    const ImportRequest request{prepared.data.folder, choice.population,       choice.newLoci,
                                choice.prune,         prepared.data.installed, !dataDir};
    prepared.plan = planImport(prepared.table, request, reader);
    return prepared;
}

std::string importSummary(const PreparedImport& prepared, const ImportChoice& choice)
{
    const text::NumberFormat& format = importNumberFormat();
    const FrequencyTable& table = prepared.table;
    const ImportPlan& plan = prepared.plan;
    const freqdb::DataFolder& data = prepared.data;
    std::ostringstream out;
    out << "Таблица " << automation::fileLabel(choice.table) << ": " << table.layout << "\n";
    out << "Популяция " << freqdb::populationCode(choice.population) << ", листы «<локус>"
        << freqdb::sheetSuffix(choice.population) << "» в папке " << automation::validUtf8(data.folder.string())
        << (data.layered() ? " (поверх установленной " + automation::validUtf8(data.installed.string()) + ")" : "")
        << "\n";
    for (const auto& update : plan.updates) {
        const ImportedLocus& locus = table.loci[update.locus];
        out << automation::validUtf8(locus.name) << " → ";
        if (update.overInstalled)
            out << "своя книга лаборатории " << fileName(update.target) << " (над установленной)";
        else if (update.original.empty())
            out << "новая книга " << fileName(update.target);
        else if (update.original != update.target)
            out << fileName(update.target) << " (вместо " << fileName(update.original) << ")";
        else
            out << fileName(update.target);
        out << ", лист " << inQuotes(update.sheet)
            << (update.original.empty() || update.overInstalled ? ""
                : update.sheetReplaced                          ? " заменён"
                                                                : " добавлен")
            << ": аллелей " << locus.alleles.size() << ", сумма " << format.fixed(locus.sum, 15, 4) << "\n";
        if (std::fabs(locus.sum - 1) > kSumTolerance)
            out << "  Внимание: сумма частот " << format.fixed(locus.sum, 15, 4)
                << " отличается от 1 больше чем на 0,01; частоты записаны как есть\n";
    }
    if (!plan.leftOut.empty())
        out << "Нет книги в папке данных, пропущены (--new-loci создаст книги): " << joined(plan.leftOut) << "\n";
    if (!table.emptyLoci.empty())
        out << "В таблице без единой частоты, пропущены: " << joined(table.emptyLoci) << "\n";
    if (!plan.skippedElsewhere.empty())
        out << "Новые локусы есть только у популяции " << freqdb::populationCode(choice.population)
            << "; для других популяций программа их пропустит (" << freqdb::kSkippedLociName
            << "): " << joined(plan.skippedElsewhere) << "\n";
    if (!plan.skipped.empty())
        out << "Нет в таблице, для популяции " << freqdb::populationCode(choice.population)
            << " пропускаются (--prune, " << freqdb::kSkippedLociName << "): " << joined(plan.skipped) << "\n";
    if (!plan.pruned.empty()) {
        std::vector<std::string> names;
        for (const auto& p : plan.pruned)
            names.push_back(p.filename().string());
        out << "Нет в таблице, убираются в резервную папку (--prune): " << joined(names) << "\n";
    }
    return out.str();
}

std::string importDoneLine(const PreparedImport& prepared, const std::filesystem::path& backupDir)
{
    std::string line = "Записано книг: " + std::to_string(prepared.plan.updates.size()) + ".";
    if (!backupDir.empty())
        line += " Прежние книги — в папке " + automation::validUtf8(backupDir.string()) + ".";
    return line;
}

} // namespace popimport
