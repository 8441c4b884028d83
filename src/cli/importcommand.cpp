// SPDX-License-Identifier: GPL-3.0-or-later
#include "importcommand.h"

#include <cmath>

#include "automation/readmessages.h"
#include "cli/exitstatus.h"
#include "freqdb/datafolder.h"
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
                  const ImportOptions& options, const std::filesystem::path& dataDir, const text::NumberFormat& format,
                  std::ostream& out)
{
    out << "Таблица " << automation::fileLabel(options.table) << ": " << table.layout << "\n";
    out << "Популяция " << freqdb::populationCode(options.population) << ", листы «<локус>"
        << freqdb::sheetSuffix(options.population) << "» в папке " << automation::validUtf8(dataDir.string()) << "\n";
    for (const auto& update : plan.updates) {
        const popimport::ImportedLocus& locus = table.loci[update.locus];
        out << automation::validUtf8(locus.name) << " → ";
        if (update.original.empty())
            out << "новая книга " << fileName(update.target);
        else if (update.original != update.target)
            out << fileName(update.target) << " (вместо " << fileName(update.original) << ")";
        else
            out << fileName(update.target);
        out << ", лист " << inQuotes(update.sheet)
            << (update.original.empty() ? ""
                : update.sheetReplaced  ? " заменён"
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
    bool created = false;
    for (const auto& update : plan.updates)
        created = created || update.original.empty();
    if (created)
        out << "Внимание: в новых книгах есть только лист «<локус>" << freqdb::sheetSuffix(options.population)
            << "»; для других популяций программа эти книги не загрузит\n";
    if (!plan.pruned.empty()) {
        std::vector<std::string> names;
        for (const auto& p : plan.pruned)
            names.push_back(p.filename().string());
        out << "Нет в таблице, убираются в резервную папку (--prune): " << joined(names) << "\n";
    }
}

} // namespace

int runImport(const ImportOptions& options, std::ostream& out, std::ostream& err)
{
    // Labels are written with the decimal comma whatever the locale, as in the bundled workbooks
    // and the genotype workbooks: "9,3" must name the same allele in every population.
    const text::NumberFormat format(",");
    const auto reader = automation::makeFileWorkbookReader();
    // A dry run writes nothing, not even the lab's copy of the installed folder: it plans against
    // the folder the window would load.
    const freqdb::DataFolderPlaces places = freqdb::dataFolderPlaces(std::filesystem::current_path());
    std::filesystem::path dataDir;
    if (options.dataDir || !options.dryRun) {
        try {
            const freqdb::WritableDataFolder writable = freqdb::writableDataFolder(places, options.dataDir);
            dataDir = writable.folder;
            if (!writable.note.empty())
                err << writable.note << "\n";
        } catch (const std::runtime_error& e) {
            err << e.what() << "\nНичего не записано.\n";
            return kExitFailure;
        }
    } else {
        const freqdb::DataFolderLookup found = freqdb::findDataFolder(places);
        if (!found.folder) {
            err << freqdb::dataFolderMissingMessage(found.lookedIn) << '\n';
            return kExitFailure;
        }
        dataDir = *found.folder;
    }
    try {
        const popimport::FrequencyTable table
            = popimport::readFrequencyTable(options.table, options.origin, *reader, format);
        const popimport::ImportRequest request{dataDir, options.population, options.newLoci, options.prune};
        const popimport::ImportPlan plan = popimport::planImport(table, request, *reader);
        writeSummary(table, plan, options, dataDir, format, out);
        if (options.dryRun) {
            out << "Проверка (--dry-run): ничего не записано.\n";
            return kExitOk;
        }
        out.flush();
        const popimport::UpdateResult done = popimport::applyImport(plan, dataDir);
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
