// SPDX-License-Identifier: GPL-3.0-or-later
#include "importcommand.h"

#include "automation/readmessages.h"
#include "cli/exitstatus.h"
#include "freqdb/datafolder.h"
#include "freqdb/unfinishedimport.h"
#include "popimport/folderupdate.h"
#include "popimport/importrun.h"
#include "popimport/sourcecopy.h"

namespace cli {
namespace {

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
    const auto reader = automation::makeFileWorkbookReader();
    try {
        const popimport::ImportChoice choice{options.table, options.population, options.origin, options.newLoci,
                                             options.prune};
        const popimport::PreparedImport prepared = popimport::prepareImport(choice, places, options.dataDir, *reader);
        out << popimport::importSummary(prepared, choice);
        if (options.dryRun) {
            out << "Проверка (--dry-run): ничего не записано.\n";
            return kExitOk;
        }
        // What is about to change reaches the operator before anything changes: a standard output
        // that takes nothing (a full disk, a closed pipe) stops the import here.
        out.flush();
        if (!out) {
            err << "Не удалось вывести сводку вноса: стандартный вывод не принимает данные.\nНичего не записано.\n";
            return kExitFailure;
        }
        const popimport::UpdateResult done = popimport::applyImport(prepared.plan, prepared.data.folder);
        const std::string doneLine = popimport::importDoneLine(prepared, done.backupDir);
        const popimport::SourceKept kept = popimport::keepTableSource(prepared, choice, done.backupDir);
        out << doneLine << "\n";
        (kept.ok ? out : err) << kept.line << "\n";
        out.flush();
        if (!out) {
            // The import is whole; the operator learns so on standard error.
            err << doneLine << "\n" << kept.line << "\n(стандартный вывод не принимает данные)\n";
            return kExitFailure;
        }
        return kept.ok ? kExitOk : kExitFailure;
    } catch (const popimport::ImportUnfinished& e) {
        err << e.what() << '\n';
        return kExitFailure;
    } catch (const popimport::ImportError& e) {
        err << e.what() << "\nНичего не записано.\n";
        return kExitFailure;
    }
}

} // namespace cli
