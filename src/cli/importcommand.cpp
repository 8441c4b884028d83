// SPDX-License-Identifier: GPL-3.0-or-later
#include "importcommand.h"

#include <cmath>

#include "automation/readmessages.h"
#include "cli/exitstatus.h"
#include "freqdb/datafolder.h"
#include "freqdb/skippedloci.h"
#include "freqdb/unfinishedimport.h"
#include "popimport/folderupdate.h"
#include "popimport/importplan.h"
#include "popimport/tablereader.h"
#include "text/numberformat.h"

namespace cli {
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

void writeSummary(const popimport::FrequencyTable& table, const popimport::ImportPlan& plan,
                  const ImportOptions& options, const freqdb::DataFolder& data, const text::NumberFormat& format,
                  std::ostream& out)
{
    out << "Таблица " << automation::fileLabel(options.table) << ": " << table.layout << "\n";
    out << "Популяция " << freqdb::populationCode(options.population) << ", листы «<локус>"
        << freqdb::sheetSuffix(options.population) << "» в папке " << automation::validUtf8(data.folder.string())
        << (data.layered() ? " (поверх установленной " + automation::validUtf8(data.installed.string()) + ")" : "")
        << "\n";
    for (const auto& update : plan.updates) {
        const popimport::ImportedLocus& locus = table.loci[update.locus];
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
        out << "Новые локусы есть только у популяции " << freqdb::populationCode(options.population)
            << "; для других популяций программа их пропустит (" << freqdb::kSkippedLociName
            << "): " << joined(plan.skippedElsewhere) << "\n";
    if (!plan.skipped.empty())
        out << "Нет в таблице, для популяции " << freqdb::populationCode(options.population)
            << " пропускаются (--prune, " << freqdb::kSkippedLociName << "): " << joined(plan.skipped) << "\n";
    if (!plan.pruned.empty()) {
        std::vector<std::string> names;
        for (const auto& p : plan.pruned)
            names.push_back(p.filename().string());
        out << "Нет в таблице, убираются в резервную папку (--prune): " << joined(names) << "\n";
    }
}

// The folder an unfinished import was left in: the one given, else the writable data folder.
int runUndo(const freqdb::DataFolderPlaces& places, const ImportOptions& options, std::ostream& out, std::ostream& err)
{
    std::filesystem::path folder;
    try {
        folder = freqdb::importDataFolder(places, options.dataDir).folder;
    } catch (const std::runtime_error& e) {
        err << e.what() << '\n';
        return kExitFailure;
    }
    if (!freqdb::unfinishedImport(folder)) {
        out << "В папке " << automation::validUtf8(folder.string())
            << " нет незавершённого вноса; ничего не сделано.\n";
        return kExitOk;
    }
    try {
        out << popimport::undoImport(folder) << '\n';
        return kExitOk;
    } catch (const popimport::ImportError& e) {
        err << e.what() << '\n';
        return kExitFailure;
    }
}

} // namespace

int runImport(const ImportOptions& options, std::ostream& out, std::ostream& err)
{
    const freqdb::DataFolderPlaces places = freqdb::dataFolderPlaces(std::filesystem::current_path());
    if (options.undo)
        return runUndo(places, options, out, err);
    // Labels are written with the decimal comma whatever the locale, as in the bundled workbooks
    // and the genotype workbooks: "9,3" must name the same allele in every population.
    const text::NumberFormat format(",");
    const auto reader = automation::makeFileWorkbookReader();
    try {
        // The table first: a table that cannot be used leaves every folder as it was.
        const popimport::FrequencyTable table
            = popimport::readFrequencyTable(options.table, options.origin, *reader, format);
        freqdb::DataFolder data;
        try {
            data = freqdb::importDataFolder(places, options.dataDir);
        } catch (const std::runtime_error& e) {
            throw popimport::ImportError(e.what());
        }
        const popimport::ImportRequest request{data.folder,   options.population, options.newLoci,
                                               options.prune, data.installed,     !options.dataDir};
        const popimport::ImportPlan plan = popimport::planImport(table, request, *reader);
        writeSummary(table, plan, options, data, format, out);
        if (options.dryRun) {
            out << "Проверка (--dry-run): ничего не записано.\n";
            return kExitOk;
        }
        out.flush();
        const popimport::UpdateResult done = popimport::applyImport(plan, data.folder);
        out << "Записано книг: " << plan.updates.size() << ".";
        if (!done.backupDir.empty())
            out << " Прежние книги — в папке " << automation::validUtf8(done.backupDir.string()) << ".";
        out << "\n";
        return kExitOk;
    } catch (const popimport::ImportError& e) {
        err << e.what() << "\nНичего не записано.\n";
        return kExitFailure;
    }
}

} // namespace cli
